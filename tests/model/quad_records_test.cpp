#include "model/quad_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace rectest;

const std::string kSLdWide =
    "         1         5         9         2  1.500000                        1\r\n"
    "  2.500000 -3.500000         0\r\n";
const std::string kSLdNarrow =
    "    1    5    9    2  1.500000                        1\r\n"
    "  2.500000 -3.500000         0\r\n";

TEST(QuadRecords, LinesReadAndWriteBackUnchanged) {
  struct Case {
    const char* name;
    int mode;
    std::function<std::string(const std::string&, int)> trip;
    std::string text;
  } cases[] = {
      {"cquad wide", 1, RoundTrip<CIpQuad>,
       "$ slab\r\n        10         0         1         3         1         2        12        11\r\n"},
      {"cquad narrow", 0, RoundTrip<CIpQuad>, "   10    0    1    3    1    2   12   11\r\n$ \r\n"},
      {"sufload wide", 1, RoundTrip<CIpSLd>, kSLdWide + "$\x89\xd7\x8f\x64\r\n"},
      {"sufload narrow", 0, RoundTrip<CIpSLd>, kSLdNarrow},
      {"cqline wide", 1, RoundTrip<CIpQline>, "        20         0         1         3         5         6         7\r\n"},
      {"cqline narrow", 0, RoundTrip<CIpQline>, "$c\r\n   20    0    1    3    5    6    7\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.trip(c.text, c.mode), c.text) << c.name;
}

TEST(QuadRecords, SurfaceLoadValuesInBothLayouts) {
  for (int mode : {0, 1}) {
    ColumnModeScope scope(mode);
    std::string line;
    auto recs = ReadSection<CIpSLd>((mode ? kSLdWide : kSLdNarrow) + "/next\n", line);
    ASSERT_EQ(recs.size(), 1u) << mode;
    EXPECT_EQ(line, "/next");
    const CIpSLd& s = *recs[0];
    EXPECT_EQ(s.m_nKey, 1);
    EXPECT_EQ(s.m_nNo, 5);
    EXPECT_EQ(s.m_nLast, 9);
    EXPECT_EQ(s.m_nInc, 2);
    EXPECT_EQ(s.m_dValue1, 1.5);
    EXPECT_EQ(s.m_dValue2, 2.5) << mode;
    EXPECT_EQ(s.m_dValue3, -3.5) << mode;
    EXPECT_EQ(s.m_dValue4, 0.0) << mode;
    EXPECT_EQ(recs[0]->GetCount(), 3);
  }
}

TEST(QuadRecords, SurfaceLoadWithoutFlag) {
  ColumnModeScope scope(1);
  std::string line;
  // No flag, or a flag of 0: one line, four equal values.
  auto recs = ReadSection<CIpSLd>(
      "         1         5         0         0  2.000000\n"
      "         2         6         0         0  3.000000                        0\n",
      line);
  ASSERT_EQ(recs.size(), 2u);
  for (auto& r : recs) {
    EXPECT_EQ(r->m_dValue2, r->m_dValue1);
    EXPECT_EQ(r->m_dValue4, r->m_dValue1);
  }
  EXPECT_EQ(recs[1]->m_dValue3, 3.0);
  // Comments between the lines are passed over; a missing second line keeps
  // the head line's record.
  recs = ReadSection<CIpSLd>(
      "         1         5         0         0  2.000000                        1\n$ x\n  4.000000\n"
      "         1         7         0         0  2.000000                        1\n",
      line);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0]->m_dValue2, 4.0);
  EXPECT_EQ(recs[1]->m_nNo, 7);
  EXPECT_EQ(recs[1]->m_dValue2, 2.0);
}

TEST(QuadRecords, GeneratedCells) {
  CIpQuad q;
  q.m_nNo = 10;
  q.m_nInc = 1;
  q.m_nRef = 3;
  const int nodes[4] = {1, 2, 12, 11};
  for (int i = 0; i < 4; ++i) q.m_anNode[i] = nodes[i];
  const char* item3[8] = {"13", "3", "4", "5", "15", "14", "", "1"};
  for (int col = 0; col < 8; ++col) EXPECT_EQ(q.GetGenText(col, 3), item3[col]) << col;
  EXPECT_EQ(q.GetCount(), 1);
  q.m_anNode[2] = 0;
  EXPECT_EQ(q.GetGenText(4, 3), "");

  CIpQline l;
  l.m_nNo = 5;
  l.m_nInc = 2;
  l.m_nNode2 = 7;
  l.m_nThird = 9;
  for (int item = 0; item < 3; ++item) EXPECT_EQ(l.GetGenText(2, item), "") << item;
  EXPECT_EQ(l.GetGenText(3, 2), "11");
  EXPECT_EQ(l.GetGenText(4, 1), "11");
  EXPECT_EQ(l.GetGenText(6, 4), "2");
  EXPECT_EQ(l.GetText(3), "7");
  EXPECT_EQ(l.GetCount(), 1);

  CIpSLd s;
  s.m_dValue1 = 1;
  EXPECT_EQ(s.GetText(2), "");
  s.m_nNo = 3;
  s.m_nInc = -2;
  EXPECT_EQ(s.GetText(2), "    1.0000");
  EXPECT_EQ(s.GetText(3), "    0.0000");
  EXPECT_EQ(s.GetGenText(1, 4), "-5");
}

TEST(QuadRecords, SetTextAndEmptiness) {
  CIpQuad q;
  EXPECT_TRUE(q.IsEmpty());
  EXPECT_TRUE(q.SetText(4, "12"));
  EXPECT_EQ(q.m_anNode[2], 12);
  EXPECT_FALSE(q.IsEmpty());
  EXPECT_FALSE(q.SetText(8, "1"));
  EXPECT_TRUE(q.SetText(6, "4"));
  EXPECT_EQ(q.m_nSecond, 4);

  CIpQline l;
  EXPECT_TRUE(l.SetText(4, "8"));
  EXPECT_EQ(l.m_nThird, 8);
  EXPECT_FALSE(l.SetText(7, "1"));
  EXPECT_FALSE(l.IsEmpty());
  EXPECT_EQ(l.m_pNode1, nullptr);

  CIpSLd s;
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_TRUE(s.SetText(5, "2.5"));
  EXPECT_EQ(s.m_dValue4, 2.5);
  EXPECT_FALSE(s.IsEmpty());
  EXPECT_TRUE(s.SetText(0, "$ note"));
  EXPECT_FALSE(s.SetText(5, "1"));
  std::string text;
  ASSERT_TRUE(s.Write(text));
  EXPECT_EQ(text, "$ note\r\n");
}

}  // namespace
