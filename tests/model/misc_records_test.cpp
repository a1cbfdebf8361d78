#include "model/misc_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace rectest;

const std::string kTrussWide =
    "         7         3         2         4205000.000  0.500000 12.500000              1\r\n"
    "         0         0  1.000000         2  0.300000  7.850000\r\n";
const std::string kTrussNarrow =
    "    7    3    2    4205000.000  0.500000 12.500000              1\r\n"
    "         0         0  1.000000    20.300-7.850\r\n";

TEST(MiscRecords, LinesReadAndWriteBackUnchanged) {
  struct Case {
    const char* name;
    int mode;
    std::function<std::string(const std::string&, int)> trip;
    std::string text;
  } cases[] = {
      {"creep wide", 1, RoundTrip<CIpCrp>,
       "$ creep\r\n         1         5        15         5         2  0.500000 -1.250000\r\n"},
      {"creep narrow", 0, RoundTrip<CIpCrp>, "    1    5   15    5    2  0.500000 -1.250000\r\n$ \r\n"},
      {"strain wide", 1, RoundTrip<CIpStrn>, "         1         5        15         5         2  0.500000 -1.250000\r\n"},
      {"strain narrow", 0, RoundTrip<CIpStrn>, "    1    5   15    5    2  0.500000 -1.250000\r\n"},
      {"truss wide", 1, RoundTrip<CIpTruss>, "$ steel bar\r\n" + kTrussWide},
      {"truss narrow", 0, RoundTrip<CIpTruss>, kTrussNarrow},
      {"truss narrow, codes left out", 0, RoundTrip<CIpTruss>,
       "    8    1            1.500000         0         0              1\r\n"
       "  1.000000         0         0    0123.4560.000\r\n"},
      {"rigid wide", 1, RoundTrip<CIpRigid>, "$ r\r\n        15         3\r\n        16         0\r\n"},
      {"rigid narrow", 0, RoundTrip<CIpRigid>, "   15    3\r\n"},
      {"ndequal wide", 1, RoundTrip<CIpNDEqual>, "         1         2         1         3        25\r\n"},
      {"ndequal narrow", 0, RoundTrip<CIpNDEqual>, "$\x93\xf1\r\n    1    2    1    3  136\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.trip(c.text, c.mode), c.text) << c.name;
}

TEST(MiscRecords, TrussFieldsInBothLayouts) {
  for (int mode : {0, 1}) {
    ColumnModeScope scope(mode);
    std::string line;
    auto recs = ReadSection<CIpTruss>(mode ? kTrussWide : kTrussNarrow, line);
    ASSERT_EQ(recs.size(), 1u) << mode;
    const CIpTruss& t = *recs[0];
    EXPECT_EQ(t.m_nNo, 7);
    EXPECT_EQ(t.m_nCode1, 3);
    EXPECT_EQ(t.m_nCode2, 2);
    EXPECT_EQ(t.m_nCode3, 4);
    EXPECT_EQ(t.m_dValue1, 205000.0);
    EXPECT_EQ(t.m_dValue4, 0.5);
    EXPECT_EQ(t.m_dValue5, 12.5);
    EXPECT_EQ(t.m_dVz, 1.0);
    EXPECT_EQ(t.m_nCode4, 2);
    EXPECT_EQ(t.m_dValue2, 0.3);
    EXPECT_EQ(t.m_dValue3, mode ? 7.85 : -7.85);
  }
}

TEST(MiscRecords, TrussLeftOutCodes) {
  ColumnModeScope scope(1);
  CIpTruss t;
  t.m_nNo = 1;
  t.m_nCode2 = 5;
  std::string text, line;
  ASSERT_TRUE(t.Write(text));
  EXPECT_EQ(text.substr(20, 20), "         5          ");
  auto recs = ReadSection<CIpTruss>(text, line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_nCode3, 5);  // a left-out code 3 takes code 2

  t.m_nCode2 = -1;
  t.m_nCode3 = 0;
  ASSERT_TRUE(t.Write(text));
  EXPECT_EQ(text.substr(20, 20), std::string(20, ' '));
  recs = ReadSection<CIpTruss>(text, line);
  EXPECT_EQ(recs[0]->m_nCode2, 0);
  EXPECT_EQ(recs[0]->m_nCode3, 0);

  // Without the flag the second line is not read.
  recs = ReadSection<CIpTruss>("         3         1\n         9\n", line);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[1]->m_nNo, 9);
  // A second line that never comes keeps the head line's data.
  recs = ReadSection<CIpTruss>(
      "         3         1" + std::string(20, ' ') + "  1.000000         0         0" + std::string(14, ' ') +
          "1\n$ c\n/rigid\n",
      line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_dValue1, 1.0);
  EXPECT_EQ(line, "/rigid");
  EXPECT_EQ(recs[0]->GetText(0), "");
  EXPECT_TRUE(recs[0]->SetText(0, "5"));
  EXPECT_EQ(recs[0]->GetCount(), 1);
}

TEST(MiscRecords, CreepCells) {
  CIpCrp c;
  c.m_dValue1 = 2;
  EXPECT_EQ(c.GetText(2), "");
  EXPECT_EQ(c.GetText(3), "");
  EXPECT_EQ(c.GetText(4), "");
  c.m_nNo = 4;
  c.m_nInc = 2;
  c.m_nLast = 10;
  EXPECT_EQ(c.GetText(2), "0");
  EXPECT_EQ(c.GetText(3), "    2.0000");
  EXPECT_EQ(c.GetText(4), "    0.0000");
  EXPECT_EQ(c.GetText(0), "");
  EXPECT_EQ(c.GetGenText(1, 3), "10");
  EXPECT_EQ(c.GetCount(), 4);
  CIpStrn s;
  EXPECT_TRUE(s.SetText(4, "1.5"));
  EXPECT_EQ(s.m_dValue2, 1.5);
  EXPECT_TRUE(s.IsEmpty());  // the values are not tested
  EXPECT_FALSE(s.SetText(7, "1"));
  EXPECT_TRUE(s.SetText(6, "-3"));
  EXPECT_FALSE(s.IsEmpty());
}

TEST(MiscRecords, TwoPointConstraint) {
  ColumnModeScope scope(1);
  CIpNDEqual n;
  n.m_nNo = 1;
  n.m_nDir = (1 << 1) | (1 << 4);
  std::string text, line;
  ASSERT_TRUE(n.Write(text));
  EXPECT_EQ(text.substr(40, 10), "        25");
  auto recs = ReadSection<CIpNDEqual>(text, line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_nDir, n.m_nDir);

  CIpNDEqual e;
  e.m_nSecond = 3, e.m_nInc = 1, e.m_nThird = 4, e.m_nDir = 63;
  EXPECT_TRUE(e.IsEmpty());  // only the first number counts
  EXPECT_EQ(e.GetText(1), "1");
  EXPECT_EQ(e.GetText(7), "4");
  EXPECT_EQ(e.GetText(8), "3");
  EXPECT_EQ(e.GetText(9), "1");
  EXPECT_EQ(e.GetGenText(0, 2), "");
  EXPECT_TRUE(e.SetText(0, "20"));
  EXPECT_EQ(e.GetGenText(0, 2), "22");
  EXPECT_TRUE(e.SetText(6, ""));
  EXPECT_EQ(e.GetText(6), "0");
  EXPECT_EQ(e.m_nDir, 31);
  EXPECT_EQ(e.GetCount(), 1);
}

}  // namespace
