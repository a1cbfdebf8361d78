#include "dataset/ip_ans.h"

#include <gtest/gtest.h>

#include "ip_test_lines.h"
#include "model/columns.h"
#include "platform/numbers.h"

using iptest::Reader;

namespace {

// A wide cell of the load list.
std::string Cell(int v1, int flag, int v2) { return plat::Format("%10d%1d%9d", v1, flag, v2); }

std::string Head(int count) {
  return plat::Format("%10d%10d", 16, 3) + FormatReal10(1.5) + FormatReal10(-2.0) + plat::Format("%10d", count);
}

TEST(IpAns, EntriesAreTakenFromTheLinesTheCountAsksFor) {
  ColumnModeScope wide(1);
  struct Case {
    std::string text;
    bool result;
    int entries;
    std::string lineAfter;
  } cases[] = {
      // A count of 0 reads no cell and no further line.
      {Head(0) + "\r\n/next\r\n", true, 0, Head(0)},
      // A count of 3 is satisfied by the data line.
      {Head(3) + Cell(1, 0, 1) + Cell(2, 0, 2) + Cell(3, 0, 3) + "\r\n/next\r\n", true, 3,
       Head(3) + Cell(1, 0, 1) + Cell(2, 0, 2) + Cell(3, 0, 3)},
      // A count of 4 reads one continuation line and takes its first cell.
      {Head(4) + Cell(1, 0, 1) + Cell(2, 0, 2) + Cell(3, 0, 3) + "\r\n" + Cell(4, 1, 4) + "\r\n/next\r\n", true, 4,
       Cell(4, 1, 4)},
      // A count larger than its cells ends at the keyword line, which stays.
      // (the continuation line gives seven entries, empty cells as zeros).
      {Head(12) + Cell(1, 0, 1) + Cell(2, 0, 2) + Cell(3, 0, 3) + "\r\n" + Cell(4, 1, 4) + "\r\n/nodes\r\n", true, 10,
       "/nodes"},
      {Head(2147483647) + Cell(1, 0, 1) + Cell(2, 0, 2) + Cell(3, 0, 3) + "\r\n/nodes\r\n", true, 3, "/nodes"},
      // ... or at the end of the file.
      {Head(12) + Cell(1, 0, 1) + Cell(2, 0, 2) + Cell(3, 0, 3) + "\r\n", false, 3, ""},
      // A negative count takes no entry.
      {Head(-5) + Cell(1, 0, 1) + "\r\n", true, 0, Head(-5) + Cell(1, 0, 1)},
      // No data line.
      {"/nodes\r\n", false, 0, "/nodes"},
      {"", false, 0, ""},
      // A comment and then the keyword of the next section: that line is
      // the data line (all zeros), and it stays for the data set's reader.
      {"$ only a comment\r\n/nodes\r\n", true, 0, "/nodes"},
      {"$ only a comment\r\n", false, 0, ""},
  };
  for (const Case& c : cases) {
    CIpAns ans;
    auto ar = Reader(c.text);
    std::string line;
    EXPECT_EQ(ans.Read(*ar, line), c.result) << c.text;
    EXPECT_EQ(ans.m_LoadList.GetCount(), c.entries) << c.text;
    EXPECT_EQ(line, c.lineAfter);
  }
}

TEST(IpAns, ParsesTheFieldsInBothLayouts) {
  {
    ColumnModeScope wide(1);
    CIpAns ans;
    auto ar = Reader("$ loads\r\n" + Head(4) + Cell(11, 1, 12) + Cell(13, 0, 14) + Cell(15, 1, 16) + "\r\n" +
                     Cell(17, 0, 18) + "\r\n");
    std::string line;
    ASSERT_TRUE(ans.Read(*ar, line));
    EXPECT_EQ(ans.m_strComment, " loads");
    EXPECT_EQ(ans.m_nParam1, 16);
    EXPECT_EQ(ans.m_nParam2, 3);
    EXPECT_DOUBLE_EQ(ans.m_dParam1, 1.5);
    EXPECT_DOUBLE_EQ(ans.m_dParam2, -2.0);
    ASSERT_EQ(ans.m_LoadList.GetCount(), 4);
    const int expect[4][3] = {{11, 1, 12}, {13, 0, 14}, {15, 1, 16}, {17, 0, 18}};
    for (int i = 0; i < 4; ++i) {
      const CIpAnsSub* s = ans.m_LoadList.GetRecord(i);
      EXPECT_EQ(s->m_nValue1, expect[i][0]);
      EXPECT_EQ(s->m_nFlag, expect[i][1]);
      EXPECT_EQ(s->m_nValue2, expect[i][2]);
    }
  }
  {
    ColumnModeScope narrow(0);
    CIpAns ans;
    auto ar = Reader(plat::Format("%5d%5d%10s%10s%5d%5d%1d%4d\r\n", 2, 1, "0.5", "0.25", 1, 7, 1, 9));
    std::string line;
    ASSERT_TRUE(ans.Read(*ar, line));
    EXPECT_EQ(ans.m_nParam1, 2);
    EXPECT_DOUBLE_EQ(ans.m_dParam2, 0.25);
    ASSERT_EQ(ans.m_LoadList.GetCount(), 1);
    EXPECT_EQ(ans.m_LoadList.GetRecord(0)->m_nValue2, 9);
  }
}

TEST(IpAns, TheLineAfterACommentIsTheDataLineWhateverItBeginsWith) {
  ColumnModeScope wide(1);
  struct Case {
    std::string second;  // the line after "$ c"
    int param1;
    double real1;
  } cases[] = {
      {"/nodes", 0, 0.0},
      {"$ another", 0, 0.0},
      {Head(0), 16, 1.5},
  };
  for (const Case& c : cases) {
    CIpAns ans;
    auto ar = Reader("$ c\r\n" + c.second + "\r\n" + Head(1) + Cell(1, 0, 1) + "\r\n");
    std::string line;
    EXPECT_TRUE(ans.Read(*ar, line)) << c.second;
    EXPECT_EQ(ans.m_strComment, " c");
    EXPECT_EQ(ans.m_nParam1, c.param1) << c.second;
    EXPECT_DOUBLE_EQ(ans.m_dParam1, c.real1) << c.second;
    EXPECT_EQ(ans.m_LoadList.GetCount(), 0) << c.second;
    EXPECT_EQ(line, c.second);
  }
}

TEST(IpAns, WriteBreaksLinesAfterTheThirdAndEveryFurtherSeventhCell) {
  ColumnModeScope wide(1);
  for (int n : {1, 3, 4, 10, 11, 17}) {
    CIpAns ans;
    std::string text = Head(n);
    for (int i = 1; i <= n; ++i) {
      text += Cell(i, i % 2, 100 + i);
      if (i == 3 || (i > 3 && (i - 3) % 7 == 0)) text += "\r\n";
    }
    if (text.back() != '\n') text += "\r\n";
    auto ar = Reader(text);
    std::string line;
    ans.Read(*ar, line);
    ASSERT_EQ(ans.m_LoadList.GetCount(), n);
    std::string out;
    ASSERT_TRUE(ans.Write(out));
    EXPECT_EQ(out, "/analysis\r\n" + text) << n;
    // The line end after the last full line is written once.
    EXPECT_EQ(out.find("\r\n\r\n"), std::string::npos);
  }
}

TEST(IpAns, EntriesWithACommentAreNeitherCountedNorWritten) {
  ColumnModeScope wide(1);
  CIpAns ans;
  EXPECT_TRUE(ans.IsEmpty());
  auto a = std::make_unique<CIpAnsSub>();
  a->m_nValue1 = 4;
  a->m_strComment = "x";
  ans.m_LoadList.Append(std::move(a));
  EXPECT_TRUE(ans.IsEmpty());
  auto b = std::make_unique<CIpAnsSub>();
  b->m_nValue1 = 5;
  ans.m_LoadList.Append(std::move(b));
  EXPECT_FALSE(ans.IsEmpty());
  std::string out;
  ans.Write(out);
  EXPECT_EQ(out, "/analysis\r\n" + plat::Format("%10d%10d", 16, 0) + FormatReal10(0) + FormatReal10(0) +
                     plat::Format("%10d", 1) + Cell(5, 0, 0) + "\r\n");
}

TEST(IpAns, ResetRestoresTheDefaults) {
  ColumnModeScope wide(1);
  CIpAns ans;
  auto ar = Reader("$c\r\n" + Head(1) + Cell(1, 0, 1) + "\r\n");
  std::string line;
  ans.Read(*ar, line);
  ans.Reset();
  EXPECT_EQ(ans.m_nParam1, 16);
  EXPECT_EQ(ans.m_nParam2, 0);
  EXPECT_EQ(ans.m_dParam1, 0.0);
  EXPECT_TRUE(ans.m_strComment.empty());
  EXPECT_EQ(ans.m_LoadList.GetCount(), 0);
  EXPECT_FALSE(ans.SetText(0, "1"));
  EXPECT_EQ(ans.GetCount(), 1);
}

}  // namespace
