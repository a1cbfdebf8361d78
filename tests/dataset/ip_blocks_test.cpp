#include "dataset/ip_blocks.h"

#include <gtest/gtest.h>

#include <random>

#include "ip_test_lines.h"

using iptest::Cols;
using iptest::Ints;
using iptest::Reader;

namespace {

void AddNode(CIpNodeBlock& b, int no, int last, int inc) {
  auto n = std::make_unique<CIpNode>();
  n->m_nNo = no;
  n->m_nLast = last;
  n->m_nInc = inc;
  b.Append(std::move(n));
}

// What a scan over the records in index order finds.
const CIpNode* ScanForNode(const CIpNodeBlock& b, int number) {
  if (number <= 0) return nullptr;
  for (int i = 0; i < b.GetCount(); ++i) {
    const CIpNode* n = b.GetRecord(i);
    if (!n) continue;
    if (n->m_nInc == 0) {
      if (n->m_nNo == number) return n;
      continue;
    }
    const long long d = (static_cast<long long>(n->m_nLast) - n->m_nNo) / n->m_nInc;
    const long long k = (d < 0 ? -d : d) + 1;
    for (long long j = 0; j < k; ++j)
      if (n->m_nNo + j * n->m_nInc == number) return n;
  }
  return nullptr;
}

TEST(IpNodeBlock, FindNodeInSeries) {
  struct Case {
    std::vector<std::array<int, 3>> records;  // no, last, inc
    int number;
    int found;  // slot, or -1
  } cases[] = {
      {{{1, 9, 2}}, 1, 0},
      {{{1, 9, 2}}, 5, 0},
      {{{1, 9, 2}}, 9, 0},
      {{{1, 9, 2}}, 10, -1},
      {{{1, 9, 2}}, 2, -1},
      {{{10, 1, -3}}, 10, 0},
      {{{10, 1, -3}}, 7, 0},
      {{{10, 1, -3}}, 4, 0},
      {{{10, 1, -3}}, 1, 0},
      {{{10, 1, -3}}, 13, -1},
      // A wrong-sign increment still stands for k numbers from first, in
      // the direction of the increment: 20, 23, 26, 29.
      {{{20, 10, 3}}, 23, 0},
      {{{20, 10, 3}}, 29, 0},
      {{{20, 10, 3}}, 14, -1},
      {{{20, 10, 3}}, 32, -1},
      // 0 and negative numbers find nothing, also a record numbered 0.
      {{{0, 0, 0}}, 0, -1},
      {{{-5, 5, 1}}, 0, -1},
      {{{-5, 5, 1}}, 3, 0},
      // The first record in index order wins.
      {{{7, 0, 0}, {1, 9, 2}}, 7, 0},
      {{{1, 9, 2}, {7, 0, 0}}, 7, 0},
      {{{2, 0, 0}, {1, 9, 1}, {5, 0, 0}}, 5, 1},
      {{{8, 0, 0}, {8, 0, 0}}, 8, 0},
      // Series over the whole 32-bit range.
      {{{1, 2147483647, 1}}, 2147483647, 0},
      {{{-2147483647 - 1, 2147483647, 1}}, 123456789, 0},
      {{{2147483647, 1, -1073741823}}, 1, 0},
  };
  for (const Case& c : cases) {
    CIpNodeBlock b;
    for (const auto& r : c.records) AddNode(b, r[0], r[1], r[2]);
    const CIpNode* expect = c.found < 0 ? nullptr : b.GetRecord(c.found);
    EXPECT_EQ(b.FindNode(c.number), expect) << "number " << c.number;
  }
}

// Random blocks of up to `maxRecords` records, empty slots included.
void CheckFindNodeAgainstScan(int minRecords, int maxRecords, int rounds) {
  std::mt19937 rng(12345);
  for (int round = 0; round < rounds; ++round) {
    CIpNodeBlock b;
    std::uniform_int_distribution<int> nrec(minRecords, maxRecords), no(-5, 120), inc(-7, 7), kind(0, 3);
    const int n = nrec(rng);
    for (int i = 0; i < n; ++i) {
      if (kind(rng) == 0) {
        b.SetCell(i + 3, 0, "0");  // leaves an empty slot behind
        continue;
      }
      AddNode(b, no(rng), no(rng), kind(rng) == 1 ? 0 : inc(rng));
    }
    for (int number = -3; number <= 130; ++number)
      ASSERT_EQ(b.FindNode(number), ScanForNode(b, number)) << "round " << round << " number " << number;
    // After a change the lookup follows.
    if (b.GetCount() > 2) {
      b.RemoveRecords(0, 1, true);
      for (int number = -3; number <= 130; ++number) ASSERT_EQ(b.FindNode(number), ScanForNode(b, number));
    }
  }
}

TEST(IpNodeBlock, FindNodeAgreesWithAScanOnRandomModels) { CheckFindNodeAgainstScan(1, 60, 40); }

// Blocks large enough to be looked up through their index.
TEST(IpNodeBlock, FindNodeAgreesWithAScanOnLargeRandomModels) {
  CheckFindNodeAgainstScan(CIpBlock::kScanLimit + 1, 400, 20);
}

// Records edited in place or stored straight into the array, as a caller of
// the block may do between two lookups.
TEST(IpNodeBlock, FindNodeSeesRecordsChangedOutsideTheBlock) {
  for (int n : {3, CIpBlock::kScanLimit + 50}) {
    CIpNodeBlock b;
    AddNode(b, 1, 9, 2);
    for (int i = 1; i < n; ++i) AddNode(b, 1000 + i, 0, 0);
    CIpNode* series = b.GetRecord(0);
    EXPECT_EQ(b.FindNode(5), series) << n;
    EXPECT_EQ(b.FindNode(1001), b.GetRecord(1)) << n;
    // 1, 3, 5, 7, 9 become 10, 7, 4, 1.
    series->m_nNo = 10;
    series->m_nLast = 1;
    series->m_nInc = -3;
    EXPECT_EQ(b.FindNode(7), series) << n;
    EXPECT_EQ(b.FindNode(5), nullptr) << n;
    EXPECT_EQ(b.FindNode(10), series) << n;
    EXPECT_EQ(b.FindNode(4), series) << n;
    // A record stored at the count without going through the block.
    auto* added = new CIpNode;
    added->m_nNo = 3;
    ASSERT_EQ(b.m_aRecords.SetAt(b.GetCount(), added), 1);
    EXPECT_EQ(b.FindNode(3), added) << n;
  }
}

TEST(IpMassBlock, LinesThatDifferOnlyInDirectionMerge) {
  ColumnModeScope wide(1);
  auto mass = [](int no, int dir, const char* value) {
    return Cols({{0, 10, std::to_string(no)}, {30, 10, std::to_string(dir)}, {40, 10, value}}) + "\r\n";
  };
  struct Case {
    std::string text;
    std::vector<int> masks;  // per record; -1 = comment record
  } cases[] = {
      {mass(5, 1, "2.5") + mass(5, 3, "2.5"), {1 | 4}},
      {mass(5, 1, "2.5") + "$ note\r\n" + mass(5, 3, "2.5"), {1, -1, 4}},
      {mass(5, 1, "2.5") + mass(5, 3, "2.6"), {1, 4}},
      {mass(5, 1, "2.5") + mass(6, 3, "2.5"), {1, 4}},
      {mass(5, 1, "2.5") + mass(5, 2, "2.5") + mass(5, 123, "2.5"), {7}},
      {mass(5, 1, "2.5") + mass(6, 1, "2.5") + mass(6, 2, "2.5"), {1, 3}},
  };
  for (const Case& c : cases) {
    CIpMassBlock b;
    auto ar = Reader(c.text + "/next\r\n");
    std::string line;
    EXPECT_TRUE(b.ReadBlock(*ar, line));
    ASSERT_EQ(b.GetCount(), static_cast<int>(c.masks.size())) << c.text;
    for (int i = 0; i < b.GetCount(); ++i) {
      const CIpMass* m = b.GetRecord(i);
      if (c.masks[static_cast<size_t>(i)] < 0)
        EXPECT_FALSE(m->m_strComment.empty());
      else
        EXPECT_EQ(m->m_nDir, c.masks[static_cast<size_t>(i)]);
    }
  }
}

TEST(IpMassBlock, MergingStartsAfreshInEachSection) {
  ColumnModeScope wide(1);
  const std::string line1 = Cols({{0, 10, "5"}, {30, 10, "1"}, {40, 10, "2.5"}}) + "\r\n";
  const std::string line2 = Cols({{0, 10, "5"}, {30, 10, "2"}, {40, 10, "2.5"}}) + "\r\n";
  CIpMassBlock b;
  std::string line;
  auto a1 = Reader(line1);
  b.ReadBlock(*a1, line);
  auto a2 = Reader(line2);
  b.ReadBlock(*a2, line);
  ASSERT_EQ(b.GetCount(), 2);
  EXPECT_EQ(b.GetRecord(0)->m_nDir, 1);
  EXPECT_EQ(b.GetRecord(1)->m_nDir, 2);
}

TEST(IpDForceBlock, CodeBIsMergedOtherFieldsAreNot) {
  ColumnModeScope wide(1);
  auto dforce = [](int first, int codeA, int codeB) {
    return Ints({first, 0, 0, codeA, codeB}, 10) + "    1.5000\r\n";
  };
  struct Case {
    std::string text;
    std::vector<int> codeB;
  } cases[] = {
      {dforce(1, 2, 1) + dforce(1, 2, 4), {5}},
      {dforce(1, 2, 1) + dforce(2, 2, 1), {1, 1}},
      {dforce(1, 2, 1) + dforce(1, 3, 4), {1, 4}},
      {dforce(1, 2, 1) + "$\r\n" + dforce(1, 2, 4), {1, 0, 4}},
  };
  for (const Case& c : cases) {
    CIpDForceBlock b;
    auto ar = Reader(c.text);
    std::string line;
    EXPECT_FALSE(b.ReadBlock(*ar, line));
    ASSERT_EQ(b.GetCount(), static_cast<int>(c.codeB.size()));
    for (int i = 0; i < b.GetCount(); ++i) EXPECT_EQ(b.GetRecord(i)->m_nCodeB, c.codeB[static_cast<size_t>(i)]);
  }
}

TEST(IpBeamBlock, ReadsInTheBlockForm) {
  ColumnModeScope wide(1);
  CIpBeamBlock gprop;
  EXPECT_EQ(g_nBeamFormat, 1);
  CIpBeamBlock prop;
  prop.m_strKeyword = "/property";
  prop.SetBeamFormat(0);
  EXPECT_EQ(g_nBeamFormat, 0);

  // One "/property" line without continuation, one "/gproperty" line
  // without continuation.
  const std::string line = Ints({3, 1}, 10) + "       1.0       2.0\r\n";
  std::string buf;
  auto a1 = Reader(line);
  gprop.ReadBlock(*a1, buf);
  EXPECT_EQ(g_nBeamFormat, 1);
  auto a2 = Reader(line);
  prop.ReadBlock(*a2, buf);
  auto a3 = Reader(line);
  prop.ReadBlock(*a3, buf);
  EXPECT_EQ(g_nBeamFormat, 0);
  EXPECT_EQ(prop.GetCount(), 2);
  EXPECT_EQ(prop.GetRecord(1)->m_nNo, 3);
  EXPECT_DOUBLE_EQ(prop.GetRecord(1)->m_dS2, 2.0);

  // A negative form leaves the records' line form alone.
  prop.SetBeamFormat(-1);
  g_nBeamFormat = 1;
  auto a4 = Reader(line);
  prop.ReadBlock(*a4, buf);
  EXPECT_EQ(g_nBeamFormat, 1);
}

TEST(IpDForceOldBlock, IsInert) {
  CIpDForceOldBlock b;
  EXPECT_EQ(b.m_strKeyword, "?");
  EXPECT_EQ(b.RemoveRecords(0, 3, true), 1);
  EXPECT_FALSE(b.SetCell(0, 0, "1"));
  b.DeleteAll();
  EXPECT_EQ(b.GetCount(), 0);
  EXPECT_FALSE(b.IsKeyword("/dforce"));
}

TEST(IpBlocks, KeywordsOfTheFamily) {
  struct Case {
    std::string keyword;
    std::string expect;
  } cases[] = {
      {CIpNodeBlock().m_strKeyword, "/nodes"},     {CIpElemBlock().m_strKeyword, "/elements"},
      {CIpMatBlock().m_strKeyword, "/materials"},  {CIpPropBlock().m_strKeyword, "/prop"},
      {CIpSecBlock().m_strKeyword, "/sections"},   {CIpSclBlock().m_strKeyword, "/scalar"},
      {CIpBeamBlock0().m_strKeyword, "/gproperty"}, {CIpBeamBlock().m_strKeyword, "/gproperty"},
      {CIpNSprBlock().m_strKeyword, "/nspring"},   {CIpNSpr2Block().m_strKeyword, "/nsp2"},
      {CIpHSupBlock().m_strKeyword, "/hsupport"},  {CIpPccblBlock().m_strKeyword, "/pccable"},
      {CIpGSupBlock().m_strKeyword, "/gsupport"},  {CIpRbcksBlock().m_strKeyword, "/rbcks"},
      {CIpGapBlock().m_strKeyword, "/gap"},        {CIpSupBlock().m_strKeyword, "/support"},
      {CIpNLdBlock().m_strKeyword, "/forces"},     {CIpPLdBlock().m_strKeyword, "/pload"},
      {CIpMassBlock().m_strKeyword, "/mass"},      {CIpDForceBlock().m_strKeyword, "/dforce"},
      {CIpQuakeBlock().m_strKeyword, "/quake"},    {CIpPStBlock().m_strKeyword, "/prestress"},
      {CIpAnsSubBlock().m_strKeyword, ""},         {CIpFuncBlock().m_strKeyword, "/functions"},
      {CIpCrpBlock().m_strKeyword, "/creep"},      {CIpStrnBlock().m_strKeyword, "/strain"},
      {CIpTrussBlock().m_strKeyword, "/gtruss"},   {CIpRigidBlock().m_strKeyword, "/rigid"},
      {CIpNDEqualBlock().m_strKeyword, "/ndequal"}, {CIpPSt2Block().m_strKeyword, "/pres"},
      {CIpSOutputBlock().m_strKeyword, "/soutput"}, {CIpPShellBlock().m_strKeyword, "/pshell"},
      {CIpQuadBlock().m_strKeyword, "/cquad"},     {CIpSLdBlock().m_strKeyword, "/sufload"},
      {CIpQlineBlock().m_strKeyword, "/cqline"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.keyword, c.expect);
}

TEST(IpBlocks, OwnedSubListsAreFreedWithTheirRecords) {
  // Sections, springs, prestresses, functions and shells own lists; the
  // sanitizer build checks that the blocks free them.
  ColumnModeScope wide(1);
  CIpSecBlock secs;
  std::string line;
  auto ar = Reader(Cols({{0, 10, "1"}, {10, 10, "1"}, {20, 10, "1"}, {30, 10, "1"}}) + "\r\n" +
                   Ints({4, 4}, 10) + "       0.0       0.0       1.0       1.0       0.1\r\n" + Ints({2, 1}, 10) +
                   "       0.0       0.0       1.0       0.0       0.2\r\n");
  secs.ReadBlock(*ar, line);
  ASSERT_EQ(secs.GetCount(), 1);
  EXPECT_EQ(secs.GetRecord(0)->GetBlkCount(), 1);
  EXPECT_EQ(secs.GetRecord(0)->GetDckCount(), 1);
  secs.RemoveRecords(0, 1, true);
  EXPECT_EQ(secs.GetCount(), 0);
}

TEST(IpAnsSubBlock, CountWritableSkipsEmptyAndCommentedEntries) {
  CIpAnsSubBlock b;
  auto add = [&](int v1, int flag, int v2, const char* comment) {
    auto s = std::make_unique<CIpAnsSub>();
    s->m_nValue1 = v1;
    s->m_nFlag = flag;
    s->m_nValue2 = v2;
    s->m_strComment = comment;
    b.Append(std::move(s));
  };
  add(1, 0, 2, "");
  add(0, 0, 0, "");
  add(3, 1, 4, "c");
  add(5, 1, 0, "");
  b.SetCell(7, 0, "0");
  EXPECT_EQ(b.CountWritable(), 2);
}

}  // namespace
