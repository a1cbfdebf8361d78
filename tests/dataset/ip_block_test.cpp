#include "dataset/ip_block.h"

#include <gtest/gtest.h>

#include "dataset/ip_blocks.h"
#include "ip_test_lines.h"

using iptest::Reader;

namespace {

std::string NodeLine(int no, double x) {
  ColumnModeScope wide(1);
  CIpNode n;
  n.m_nNo = no;
  n.m_dX = x;
  std::string t;
  n.Write(t);
  return t;
}

TEST(IpBlock, IsKeywordMatchesOnTheFirstFiveCharacters) {
  struct Case {
    const char* keyword;
    const char* line;
    bool accepted;
  } cases[] = {
      {"/nodes", "/nodes", true},
      {"/nodes", "   /nodes   \t", true},
      {"/nodes", "/node", true},
      {"/nodes", "/nodesXYZ", true},
      {"/nodes", "/nod", false},
      {"/nodes", "/NODES", false},
      {"/nodes", "x /nodes", false},
      {"/nodes", "", false},
      {"/gap", "/gap", true},
      {"/gap", "/ga", false},
      {"/gap", " /gap 12", true},
      {"/prestress", "/pres", true},
      {"/prestress", "/prestress", true},
      {"/prestress", "/prop", false},
      {"/property", "/prop", true},
      {"/property", "/property", true},
      {"/pres", "/prestress", true},
      {"/mass", "/mas", false},
  };
  for (const Case& c : cases) {
    CIpNodeBlock b;
    b.m_strKeyword = c.keyword;
    EXPECT_EQ(b.IsKeyword(c.line), c.accepted) << c.keyword << " / '" << c.line << "'";
  }
}

TEST(IpBlock, ReadBlockStopsAtTheNextKeywordOrTheEnd) {
  ColumnModeScope wide(1);
  struct Case {
    std::string text;
    bool result;
    int count;
    std::string lineAfter;
  } cases[] = {
      {"/elements\r\n", true, 0, "/elements"},
      {NodeLine(1, 1) + NodeLine(2, 2) + "/elements\r\n", true, 2, "/elements"},
      {NodeLine(1, 1) + NodeLine(2, 2), false, 2, ""},
      {"", false, 0, ""},
      // An empty line is an all-zero record, a "$" line a comment record.
      {NodeLine(1, 1) + "\r\n$ note\r\n" + NodeLine(2, 2), false, 4, ""},
  };
  for (const Case& c : cases) {
    CIpNodeBlock b;
    auto ar = Reader(c.text);
    std::string line;
    EXPECT_EQ(b.ReadBlock(*ar, line), c.result);
    EXPECT_EQ(b.GetCount(), c.count);
    EXPECT_EQ(line, c.lineAfter);
  }
}

TEST(IpBlock, SecondSectionFollowsTheFirst) {
  ColumnModeScope wide(1);
  CIpNodeBlock b;
  std::string line;
  auto a1 = Reader(NodeLine(1, 1) + "/x\r\n");
  b.ReadBlock(*a1, line);
  auto a2 = Reader(NodeLine(2, 2) + NodeLine(3, 3));
  b.ReadBlock(*a2, line);
  ASSERT_EQ(b.GetCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(b.GetRecord(i)->m_nNo, i + 1);
    EXPECT_EQ(b.GetRecord(i)->m_nIndex, i);
  }
  EXPECT_TRUE(b.GetRecord(2)->m_strComment.empty());
}

TEST(IpBlock, WriteGivesKeywordAndRecords) {
  ColumnModeScope wide(1);
  CIpNodeBlock b;
  std::string line;
  auto ar = Reader(NodeLine(1, 1) + "$c\r\n" + NodeLine(2, 2));
  b.ReadBlock(*ar, line);
  std::string out;
  CArchiveOut o(out);
  EXPECT_EQ(b.Write(o), 3);
  EXPECT_EQ(out, "/nodes\r\n" + NodeLine(1, 1) + "$c\r\n" + NodeLine(2, 2));

  // Without a keyword only the records' text is written; empty slots are
  // passed over.
  b.m_strKeyword.clear();
  b.RemoveRecords(1, 1, true);
  b.SetCell(3, 0, "9");
  b.SetCell(3, 0, "0");
  std::string out2;
  CArchiveOut o2(out2);
  EXPECT_EQ(b.Write(o2), 2);
  EXPECT_EQ(out2, NodeLine(1, 1) + NodeLine(2, 2));
}

TEST(IpBlock, SetCellCreatesAndRemovesRecords) {
  CIpNodeBlock b;
  EXPECT_TRUE(b.SetCell(5, 0, "12"));
  EXPECT_EQ(b.GetCount(), 6);
  EXPECT_EQ(b.GetRecord(5)->m_nNo, 12);
  EXPECT_EQ(b.GetRecord(5)->m_nIndex, 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(b.GetRecord(i), nullptr);
  // An edit that leaves the record empty removes it; the count stays.
  EXPECT_TRUE(b.SetCell(5, 0, "0"));
  EXPECT_EQ(b.GetRecord(5), nullptr);
  EXPECT_EQ(b.GetCount(), 6);
  // Rows outside the array are refused without creating anything.
  EXPECT_FALSE(b.SetCell(-1, 0, "3"));
  EXPECT_FALSE(b.SetCell(CIpRecordArray::kMaxRecords, 0, "3"));
  EXPECT_EQ(b.GetCount(), 6);
  // The comment column.
  EXPECT_TRUE(b.SetCell(0, -1, "note"));
  ASSERT_NE(b.GetRecord(0), nullptr);
  EXPECT_EQ(b.GetRecord(0)->m_strComment, "note");
}

TEST(IpBlock, RemoveRecordsRejectsBadRanges) {
  struct Case {
    int start, n;
    int result;
    std::vector<int> left;
  } cases[] = {
      {1, 2, 3, {1, 4, 5}},
      {2, 10, 2, {1, 2}},
      {0, 5, 0, {}},
      {-1, 2, 5, {1, 2, 3, 4, 5}},
      {1, -2, 5, {1, 2, 3, 4, 5}},
      {7, 2, 5, {1, 2, 3, 4, 5}},
      {5, 1, 5, {1, 2, 3, 4, 5}},
      {2, 0x7fffffff, 2, {1, 2}},
  };
  for (const Case& c : cases) {
    CIpNodeBlock b;
    for (int i = 0; i < 5; ++i) b.SetCell(i, 0, std::to_string(i + 1));
    EXPECT_EQ(b.RemoveRecords(c.start, c.n, true), c.result) << c.start << "," << c.n;
    ASSERT_EQ(b.GetCount(), static_cast<int>(c.left.size()));
    for (int i = 0; i < b.GetCount(); ++i) {
      EXPECT_EQ(b.GetRecord(i)->m_nNo, c.left[static_cast<size_t>(i)]);
      EXPECT_EQ(b.GetRecord(i)->m_nIndex, i);
    }
  }
}

TEST(IpBlock, RemoveRecordsWithoutDeleteHandsRecordsBack) {
  CIpNodeBlock b;
  b.SetCell(0, 0, "1");
  b.SetCell(1, 0, "2");
  std::unique_ptr<CIpNode> kept(b.GetRecord(0));
  EXPECT_EQ(b.RemoveRecords(0, 1, false), 1);
  EXPECT_EQ(b.GetRecord(0)->m_nNo, 2);
  EXPECT_EQ(kept->m_nNo, 1);
}

TEST(IpBlock, RecordsPastTheLastSlotAreRefused) {
  ColumnModeScope wide(1);
  CIpNodeBlock b;
  // Fill the last slot, so that the next append lies past the array.
  ASSERT_TRUE(b.SetCell(CIpRecordArray::kMaxRecords - 1, 0, "7"));
  EXPECT_EQ(b.GetCount(), CIpRecordArray::kMaxRecords);
  auto ar = Reader(NodeLine(1, 1) + NodeLine(2, 2) + "/next\r\n");
  std::string line;
  EXPECT_TRUE(b.ReadBlock(*ar, line));
  EXPECT_EQ(line, "/next");
  EXPECT_EQ(b.GetCount(), CIpRecordArray::kMaxRecords);
  EXPECT_EQ(b.GetRefused(), 2);
  auto direct = std::make_unique<CIpNode>();
  EXPECT_EQ(b.Append(std::move(direct)), nullptr);
  EXPECT_EQ(b.GetRefused(), 3);
  b.DeleteAll();
  EXPECT_EQ(b.GetRefused(), 0);
  EXPECT_EQ(b.GetCount(), 0);
}

// Records renumbered in place or stored straight into the array, as a caller
// of the block may do between two lookups.
TEST(IpBlock, FindByNoSeesRecordsChangedOutsideTheBlock) {
  for (int n : {3, CIpBlock::kScanLimit + 50}) {
    CIpPShellBlock b;
    for (int i = 0; i < n; ++i) b.SetCell(i, 0, std::to_string(100 + i));
    ASSERT_EQ(b.GetCount(), n);
    CIpPShell* first = b.GetRecord(0);
    EXPECT_EQ(b.FindByNo(100), first) << n;
    first->m_nNo = 7;
    EXPECT_EQ(b.FindByNo(100), nullptr) << n;
    EXPECT_EQ(b.FindByNo(7), first) << n;
    auto* added = new CIpPShell;
    added->m_nNo = 55;
    ASSERT_EQ(b.m_aRecords.SetAt(b.GetCount(), added), 1);
    EXPECT_EQ(b.FindRecord(55), added) << n;
    // A later record with a number taken earlier is not found.
    auto* again = new CIpPShell;
    again->m_nNo = 7;
    ASSERT_EQ(b.m_aRecords.SetAt(b.GetCount(), again), 1);
    EXPECT_EQ(b.FindByNo(7), first) << n;
  }
}

TEST(IpBlock, FindByNoFirstInIndexOrderAndFollowsChanges) {
  CIpPShellBlock b;
  b.SetCell(0, 0, "4");
  b.SetCell(2, 0, "7");
  b.SetCell(3, 0, "4");
  EXPECT_EQ(b.FindByNo(4), b.GetRecord(0));
  EXPECT_EQ(b.FindByNo(7), b.GetRecord(2));
  EXPECT_EQ(b.FindByNo(5), nullptr);
  EXPECT_EQ(b.FindRecord(7), b.GetRecord(2));
  // After an edit the lookup sees the new numbers.
  b.SetCell(0, 0, "5");
  EXPECT_EQ(b.FindByNo(4), b.GetRecord(3));
  EXPECT_EQ(b.FindByNo(5), b.GetRecord(0));
  b.RemoveRecords(0, 1, true);
  EXPECT_EQ(b.FindByNo(5), nullptr);
  EXPECT_EQ(b.FindByNo(4), b.GetRecord(2));
  b.DeleteAll();
  EXPECT_EQ(b.FindByNo(4), nullptr);
}

}  // namespace
