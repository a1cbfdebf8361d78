#include "model/node_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <memory>
#include <vector>

namespace {

using namespace rectest;

TEST(NodeRecords, RoundTripInBothLayouts) {
  struct Case {
    int mode;
    std::string text;
  } cases[] = {
      {1, "         1        10         1              0  1.50000000000-1.000000000E-5  1.000000         0         0\r\n"},
      {1, "$ a comment\r\n       123         0         01234.5678000000-99999.000000001.0000000000E20         0         0         0\r\n"},
      {0, "    1   10    1         0  1.500000-1.0000E-5  1.000000         0         0\r\n"},
      {0, "   -5    0    0 -0.2500002.50000E-812345.6789         0         0         0\r\n"},
      {0, "$\r\n"},
  };
  for (const auto& c : cases) {
    ColumnModeScope scope(c.mode);
    std::string line;
    auto recs = ReadSection<CIpNode>(c.text, line);
    std::string expect = c.text;
    if (expect == "$\r\n") expect = "$ \r\n";  // a bare "$" keeps one blank
    EXPECT_EQ(WriteAll(recs), expect);
  }
}

TEST(NodeRecords, WideLineIs105Columns) {
  ColumnModeScope scope(1);
  CIpNode n;
  n.m_nNo = 7;
  n.m_dX = 1.25;
  std::string t;
  ASSERT_TRUE(n.Write(t));
  EXPECT_EQ(t.size(), 107u);
  ColumnModeScope narrow(0);
  ASSERT_TRUE(n.Write(t));
  EXPECT_EQ(t.size(), 77u);
}

TEST(NodeRecords, SectionReadingStopsAtKeywordAndEnd) {
  std::string line;
  auto recs = ReadSection<CIpNode>("    1\n\n$x\n/support\n", line);
  ASSERT_EQ(recs.size(), 3u);
  EXPECT_TRUE(recs[1]->IsEmpty());
  EXPECT_EQ(recs[2]->m_strComment, "x");
  EXPECT_EQ(line, "/support");
  recs = ReadSection<CIpNode>("    1", line);
  EXPECT_EQ(recs.size(), 1u);
  EXPECT_EQ(line, "");
}

TEST(NodeRecords, GenerationAndCells) {
  CIpNode n;
  n.m_nNo = 1;
  n.m_nLast = 10;
  n.m_nInc = 1;
  n.m_dDX = 1;
  EXPECT_EQ(n.GetCount(), 10);
  EXPECT_EQ(n.GetGenText(1, 9), "    9.0000");
  EXPECT_EQ(n.GetGenText(0, 9), "10");
  EXPECT_EQ(n.GetText(2), "    0.0000");
  EXPECT_EQ(n.GetText(7), "    0.0000");
  EXPECT_EQ(n.GetText(9), "");
  CIpNode empty;
  for (int c = 0; c < 9; ++c) EXPECT_EQ(empty.GetText(c), "") << c;
  ColumnModeScope wide(1);
  EXPECT_EQ(n.GetText(1), "         0.0000");
}

TEST(NodeRecords, SetTextRules) {
  CIpNode n;
  EXPECT_TRUE(n.SetText(1, "2.5"));
  EXPECT_DOUBLE_EQ(n.m_dX, 2.5);
  EXPECT_TRUE(n.SetText(-1, "note"));
  EXPECT_FALSE(n.SetText(-1, "note"));
  EXPECT_FALSE(n.SetText(3, "1"));  // data column of a comment record
  EXPECT_FALSE(n.SetText(9, "1"));
  EXPECT_EQ(n.m_strComment, "note");  // a refused edit changes nothing
  EXPECT_TRUE(n.SetText(0, "$other\r\nrest"));
  EXPECT_EQ(n.m_strComment, "other");
  EXPECT_TRUE(n.SetText(0, "12"));
  EXPECT_EQ(n.m_strComment, "");
  EXPECT_EQ(n.m_nNo, 12);
}

TEST(SupportRecords, CodesAndLayouts) {
  std::string line;
  auto recs = ReadSection<CIpSup>("    51 1 1 1        0    0\n    3\n", line);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0]->m_nCode, 1 | 4 | 16);
  EXPECT_EQ(recs[1]->m_nCode, 0);
  CIpSup s;
  s.m_nNo = 5;
  s.m_nCode = 63;
  std::string t;
  s.Write(t);
  EXPECT_EQ(t, "    5111111        0    0\r\n");
  {
    ColumnModeScope wide(1);
    s.Write(t);
    EXPECT_EQ(t, "         5111111             0         0\r\n");
    auto back = ReadSection<CIpSup>(t, line);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0]->m_nCode, 63);
    EXPECT_EQ(back[0]->m_nNo, 5);
  }
  EXPECT_EQ(s.GetText(1), "1");
  EXPECT_TRUE(s.SetText(2, ""));
  EXPECT_EQ(s.GetText(2), "0");
  EXPECT_EQ(s.m_nCode, 61);
  s.m_nLast = 9;
  s.m_nInc = 2;
  EXPECT_EQ(s.GetCount(), 3);
  EXPECT_EQ(s.GetGenText(0, 2), "9");
}

}  // namespace
