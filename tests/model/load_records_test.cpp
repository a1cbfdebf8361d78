#include "model/load_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <climits>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace rectest;

struct RoundTripCase {
  const char* name;
  int mode;
  std::function<std::string(const std::string&, int)> trip;
  std::string text;
};

TEST(LoadRecords, LinesReadAndWriteBackUnchanged) {
  const RoundTripCase cases[] = {
      {"forces wide", 1, RoundTrip<CIpNLd>,
       "$ loads of case 1\r\n         1        10        20         2         3  5.000000\r\n"
       "         0         0         0         0         0         0\r\n"},
      {"forces narrow", 0, RoundTrip<CIpNLd>, "    1   10   20    2    3  5.000000\r\n$ \r\n"},
      {"pload wide", 1, RoundTrip<CIpPLd>,
       "         2         5         9         2         1  1.500000 -2.250000         0  1.000000\r\n"},
      {"pload narrow", 0, RoundTrip<CIpPLd>,
       "$x\r\n    2    5    9    2    1  1.500000 -2.2500001.00000E-3  1.000000\r\n"},
      {"mass wide", 1, RoundTrip<CIpMass>, "         3         7         2         31234.50000\r\n"},
      {"mass narrow", 0, RoundTrip<CIpMass>, "    3    7    2    5  0.500000\r\n$ mass\r\n"},
      {"dforce wide", 1, RoundTrip<CIpDForce>, "         4         8         2         1         6-12.250000\r\n"},
      {"dforce narrow", 0, RoundTrip<CIpDForce>, "$\x95\x5c\r\n    4    8    2    1    6-12.250000\r\n"},
      {"quake wide", 1, RoundTrip<CIpQuake>, "         1         1         2         3  0.980000\r\n"},
      {"quake narrow", 0, RoundTrip<CIpQuake>, "    1    1    2    3  0.980000\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.trip(c.text, c.mode), c.text) << c.name;
}

TEST(LoadRecords, NarrowForcesFieldsAndGeneratedCells) {
  ColumnModeScope scope(0);
  std::string line;
  auto recs = ReadSection<CIpNLd>("    1   10   20    2    3  5.000000\n", line);
  ASSERT_EQ(recs.size(), 1u);
  CIpNLd& r = *recs[0];
  EXPECT_EQ(r.m_nKey, 1);
  EXPECT_EQ(r.m_nNo, 10);
  EXPECT_EQ(r.m_nLast, 20);
  EXPECT_EQ(r.m_nInc, 2);
  EXPECT_EQ(r.m_nCode, 3);
  EXPECT_EQ(r.m_dValue, 5.0);
  EXPECT_EQ(r.GetCount(), 6);
  EXPECT_EQ(r.GetGenText(1, 2), "14");
  EXPECT_EQ(r.GetGenText(3, 2), r.GetText(3));
  EXPECT_EQ(r.GetText(3), "    5.0000");
  // Reals are "%10.4f" cells in the wide layout too.
  ColumnModeScope wide(1);
  EXPECT_EQ(r.GetText(3), "    5.0000");
}

// Every generating record counts its series the way the node records do.
TEST(LoadRecords, GeneratingCountsAndNumberCells) {
  struct Case {
    int first, last, inc, count, item;
    const char* number;  // number cell of `item`
  } cases[] = {
      {1, 10, 1, 10, 9, "10"},
      {1, 9, 2, 5, 4, "9"},
      {10, 1, -1, 10, 9, "1"},
      {5, 5, 0, 1, 0, "5"},
      // A wrong-sign increment still counts, in the increment's direction.
      {1, 10, -1, 10, 3, "-2"},
      {10, 1, 3, 4, 3, "19"},
      // Ten-column fields hold the whole 32-bit range: count in 64 bits, clamp.
      {INT_MIN, INT_MAX, 1, INT_MAX, 2, "-2147483646"},
      {INT_MAX, INT_MAX, 1, 1, 5, "2147483647"},
      {0, 10, 1, 11, 3, ""},
  };
  for (const auto& c : cases) {
    CIpNLd nld;
    nld.m_nNo = c.first, nld.m_nLast = c.last, nld.m_nInc = c.inc;
    CIpPLd pld;
    pld.m_nNo = c.first, pld.m_nLast = c.last, pld.m_nInc = c.inc;
    CIpMass mass;
    mass.m_nNo = c.first, mass.m_nLast = c.last, mass.m_nInc = c.inc;
    CIpDForce df;
    df.m_nFirst = c.first, df.m_nLast = c.last, df.m_nInc = c.inc;
    const std::string tag = std::to_string(c.first) + " " + std::to_string(c.last) + " " + std::to_string(c.inc);
    EXPECT_EQ(nld.GetCount(), c.count) << tag;
    EXPECT_EQ(pld.GetCount(), c.count) << tag;
    EXPECT_EQ(mass.GetCount(), c.count) << tag;
    EXPECT_EQ(df.GetCount(), c.count) << tag;
    EXPECT_EQ(nld.GetGenText(1, c.item), c.number) << tag;
    EXPECT_EQ(pld.GetGenText(1, c.item), c.number) << tag;
    EXPECT_EQ(mass.GetGenText(0, c.item), c.number) << tag;
    EXPECT_EQ(df.GetGenText(0, c.item), c.number) << tag;
  }
  CIpQuake q;
  q.m_nKey = 3;
  EXPECT_EQ(q.GetCount(), 1);
  EXPECT_EQ(q.GetGenText(0, 7), "3");
}

TEST(LoadRecords, MassDirectionsSplitIntoLinesAndEmptyMaskWritesNothing) {
  ColumnModeScope scope(0);
  std::string line;
  auto recs = ReadSection<CIpMass>("    3    7    2  123  0.500000\n", line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_nDir, 7);
  EXPECT_EQ(WriteAll(recs),
            "    3    7    2    1  0.500000\r\n    3    7    2    2  0.500000\r\n    3    7    2    3  0.500000\r\n");
  // Digit 0 sets nothing; digits past 6 are kept in the mask.
  recs = ReadSection<CIpMass>("    3    0    0  605  1.000000\n", line);
  EXPECT_EQ(recs[0]->m_nDir, (1 << 5) | (1 << 4));
  CIpMass none;
  none.m_nNo = 4;
  std::string t = "old";
  EXPECT_TRUE(none.Write(t));
  EXPECT_EQ(t, "");
  EXPECT_EQ(none.GetText(1), "0");
  EXPECT_TRUE(none.SetText(3, "1"));
  EXPECT_EQ(none.m_nDir, 4);
  EXPECT_EQ(none.GetText(3), "1");
  EXPECT_TRUE(none.SetText(3, "2"));
  EXPECT_EQ(none.m_nDir, 0);
}

TEST(LoadRecords, ShortLinesReadMissingFieldsAsZero) {
  ColumnModeScope scope(1);
  std::string line;
  auto p = ReadSection<CIpPLd>("         1         2\n", line);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0]->m_nNo, 2);
  EXPECT_EQ(p[0]->m_dValue4, 0.0);
  auto q = ReadSection<CIpQuake>("         1\n", line);
  EXPECT_EQ(q[0]->m_nSecond, 0);
  EXPECT_EQ(q[0]->m_dFactor, 0.0);
  // A new record keeps its defaults.
  EXPECT_EQ(CIpPLd().m_dValue4, 1.0);
  EXPECT_EQ(CIpQuake().m_nSecond, 1);
  EXPECT_EQ(CIpQuake().m_dFactor, 1.0);
}

TEST(LoadRecords, EmptinessRules) {
  EXPECT_TRUE(CIpNLd().IsEmpty());
  EXPECT_TRUE(CIpMass().IsEmpty());
  EXPECT_TRUE(CIpQuake().IsEmpty());
  CIpPLd p;
  p.m_dValue3 = 5;  // values 3 and 4 are not tested
  EXPECT_TRUE(p.IsEmpty());
  p.m_dValue2 = 1;
  EXPECT_FALSE(p.IsEmpty());
  CIpDForce d;
  EXPECT_FALSE(d.IsEmpty());  // value 0 is not the empty value
  d.m_dValue = 1.0;
  EXPECT_TRUE(d.IsEmpty());
  d.m_strComment = "c";
  EXPECT_FALSE(d.IsEmpty());
  CIpQuake q;
  q.m_nSecond = 9;  // not tested
  EXPECT_TRUE(q.IsEmpty());
  q.m_dFactor = 2;
  EXPECT_FALSE(q.IsEmpty());
}

TEST(LoadRecords, CellBlankRules) {
  CIpNLd n;
  n.m_dValue = 2;
  EXPECT_EQ(n.GetText(3), "");  // blank while the first number is 0
  n.m_nNo = 1;
  EXPECT_EQ(n.GetText(3), "    2.0000");
  EXPECT_EQ(n.GetText(0), "");
  EXPECT_EQ(n.GetText(6), "");
  CIpDForce d;
  EXPECT_EQ(d.GetText(0), "0");  // always printed
  EXPECT_EQ(d.GetGenText(0, 1), "");
  EXPECT_EQ(d.GetText(3), "");
  CIpQuake q;
  EXPECT_EQ(q.GetText(0), "0");
  EXPECT_EQ(q.GetText(3), "    1.0000");
  CIpPLd p;
  EXPECT_EQ(p.GetText(6), "");
  p.m_nNo = 3;
  EXPECT_EQ(p.GetText(6), "    1.0000");
  CIpMass m;
  m.m_nNo = 2;
  EXPECT_EQ(m.GetText(7), "");
}

TEST(LoadRecords, SetTextFollowsTheCommentRules) {
  CIpNLd n;
  EXPECT_TRUE(n.SetText(3, "2.5"));
  EXPECT_EQ(n.m_dValue, 2.5);
  EXPECT_FALSE(n.SetText(6, "1"));  // no such column
  EXPECT_TRUE(n.SetText(0, "$note\r\nrest"));
  EXPECT_EQ(n.m_strComment, "note");
  EXPECT_EQ(n.m_dValue, 2.5);
  EXPECT_FALSE(n.SetText(2, "4"));  // a comment record's data is not edited
  EXPECT_FALSE(n.SetText(-1, "note"));
  EXPECT_TRUE(n.SetText(-1, ""));
  EXPECT_TRUE(n.SetText(2, "4"));
  EXPECT_EQ(n.m_nCode, 4);
  CIpDForce d;
  EXPECT_TRUE(d.SetText(0, "12"));
  EXPECT_EQ(d.m_nFirst, 12);
  EXPECT_EQ(d.m_nNo, 0);
  CIpQuake q;
  EXPECT_FALSE(q.SetText(4, "1"));
  EXPECT_TRUE(q.SetText(3, "0.5"));
  EXPECT_EQ(q.m_dFactor, 0.5);
}

TEST(LoadRecords, SharedHelpers) {
  struct Case {
    int digits, mask, back;
  } cases[] = {{0, 0, 0}, {1, 1, 1}, {135, 0b10101, 135}, {25, 0b10010, 25}, {-12, 3, 12}, {INT_MIN, 0b11101111, 12346}};
  for (const auto& c : cases) {
    EXPECT_EQ(linerec::DigitsToMask(c.digits), c.mask) << c.digits;
    EXPECT_EQ(linerec::MaskToDigits(c.mask), c.back) << c.digits;
  }
}

}  // namespace
