#include "model/spring_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <memory>
#include <vector>

#include "platform/numbers.h"

namespace {

using namespace rectest;

const std::string kCurve1 = "  0.010000  0.020000  0.030000  0.040000  0.050000  0.060000\r\n";
const std::string kCurve2 = "  1.000000  2.000000  3.000000  4.000000  5.000000  6.000000\r\n";
const std::string kCurveHalf = "  7.000000  8.000000  9.000000         0         0         0\r\n";
const std::string kCurveFull = "  7.000000  8.000000  9.000000         0         01.00000E-3\r\n";
const std::string kZeroCurve = "         0         0         0         0         0         0\r\n";

TEST(SpringRecords, NSprRoundTrip) {
  ExpectRoundTrips<CIpNSpr>({
      // wide: direction flag with its '1' in column 64, last line half used
      {1, "         1         2  1.500000 -2.250000         0         5    1\r\n"
          "  1.000000         0 -0.500000\r\n" +
              kCurve1 + kCurve2 + kCurveHalf},
      // wide: comment, no direction, last line full
      {1, "$ spring\r\n         7         010000.00001.00000E20         0         6\r\n" + kCurve1 + kCurve2 +
              kCurveFull},
      {1, "        12         1         0         0         0         1\r\n" + kCurveHalf},
      // narrow: flag '1' in column 74
      {0, "    1    2  1.500000 -2.250000         0    5" + B(29) + "1\r\n  1.000000         0 -0.500000\r\n" +
              kCurve1 + kCurve2 + kCurveHalf},
      {0, "$a$b\r\n    3    0         0         0         0    2\r\n" + kCurve2},
  });
}

TEST(SpringRecords, NSprCurveCountFromLastLine) {
  ColumnModeScope wide(1);
  struct Case {
    std::vector<CValues6> curve;
    int count;
  } cases[] = {
      {{}, 0},
      {{CValues6{{1, 2, 3, 0, 0, 0}}}, 1},
      {{CValues6{{1, 2, 3, 0, 0, 0}}, CValues6{{1, 2, 3, 0, 0, 0}}, CValues6{{1, 2, 3, 0, 0, 0}}}, 5},
      {{CValues6{{1, 2, 3, 0, 0, 0}}, CValues6{{1, 2, 3, 0, 0, 0}}, CValues6{{1, 2, 3, 0, 0, 1}}}, 6},
  };
  for (const auto& c : cases) {
    CIpNSpr r;
    r.m_aCurve = c.curve;
    EXPECT_EQ(r.CurveEntryCount(), c.count);
  }
}

TEST(SpringRecords, NSprCountZeroStillReadsOneCurveLine) {
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpNSpr>("         1         0         0         0         0         0\r\n" + kCurve2 +
                                       "         2\r\n" + kCurve1,
                                   line);
  ASSERT_EQ(recs.size(), 2u);
  ASSERT_EQ(recs[0]->m_aCurve.size(), 1u);
  EXPECT_EQ(recs[0]->m_aCurve[0].v[5], 6.0);
  EXPECT_EQ(recs[1]->m_nNo, 2);
  ASSERT_EQ(recs[1]->m_aCurve.size(), 1u);
  EXPECT_EQ(recs[1]->m_aCurve[0].v[0], 0.01);
}

TEST(SpringRecords, NSprEmptyCurveLineGivesZerosNotStaleValues) {
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpNSpr>("         1         0         0         0         0         3\r\n" + kCurve2 +
                                       "\r\n",
                                   line);
  ASSERT_EQ(recs.size(), 1u);
  ASSERT_EQ(recs[0]->m_aCurve.size(), 2u);
  for (double v : recs[0]->m_aCurve[1].v) EXPECT_EQ(v, 0.0);
}

TEST(SpringRecords, NSprWithoutCurveWritesReadableText) {
  ColumnModeScope wide(1);
  std::string t;
  // An empty record: an empty line, which reads back as an empty record.
  CIpNSpr empty;
  ASSERT_TRUE(empty.Write(t));
  EXPECT_EQ(t, "\r\n");
  std::string line;
  auto back = ReadSection<CIpNSpr>(t + "/end\r\n", line);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_TRUE(back[0]->IsEmpty());
  EXPECT_EQ(line, "/end");

  // Data but no curve: count 0 and one zero curve line, which the reader takes.
  CIpNSpr r;
  r.m_nNo = 4;
  r.m_dValue1 = 2;
  ASSERT_TRUE(r.Write(t));
  EXPECT_EQ(t, "         4         0  2.000000         0         0         0\r\n" + kZeroCurve);
  back = ReadSection<CIpNSpr>(t + "         5\r\n" + kCurve1, line);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0]->m_nNo, 4);
  EXPECT_EQ(back[1]->m_nNo, 5);
}

TEST(SpringRecords, FurtherLinesStopAtKeywordAndEnd) {
  ColumnModeScope wide(1);
  struct Case {
    const char* text;
    const char* lineAfter;
  } cases[] = {
      // the direction line is missing at the end of the file
      {"         1         0         0         0         0         1    1\r\n", ""},
      // a keyword line in place of the direction line stays for the caller
      {"         1         0         0         0         0         1    1\r\n/gap\r\n", "/gap"},
      // comment lines before the direction line are skipped
      {"         1         0         0         0         0         1    1\r\n$ x\r\n         0  1.000000\r\n/gap\r\n",
       "/gap"},
      // a curve line in place of a keyword
      {"         1         0         0         0         0         3\r\n  1.000000\r\n/gap\r\n", "/gap"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto ar = plat::LineReader::FromString(c.text);
    std::string line;
    CIpNSpr r;
    EXPECT_FALSE(r.Read(*ar, line));
    EXPECT_EQ(line, c.lineAfter);
  }
}

TEST(SpringRecords, CommentBeforeKeywordAddsNoRecord) {
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpGap>("$ first\r\n$ second\r\n/nsp2\r\n", line);
  EXPECT_TRUE(recs.empty());
  EXPECT_EQ(line, "/nsp2");
}

TEST(SpringRecords, NSpr2RoundTrip) {
  ExpectRoundTrips<CIpNSpr2>({
      {1, "         1         2         3         4         5  1.500000  2.500000    1\r\n"
          "         0  1.000000         0\r\n"},
      {1, "$ bearing\r\n        -1         0         0         0         0 -0.010000         0    1\r\n"
          "  1.000000         0         0\r\n"},
      {0, "    1    2    3    4    5  1.500000  2.500000" + B(29) + "1\r\n         0  1.000000         0\r\n"},
  });
}

TEST(SpringRecords, NSpr2DirectionDefaultsToX) {
  // No flag keeps (1, 0, 0), and the record gains a direction line on save; an
  // explicit (0, 0, 0) direction comes back as (1, 0, 0).
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpNSpr2>("         9\r\n", line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_dVx, 1.0);
  std::string t;
  ASSERT_TRUE(recs[0]->Write(t));
  EXPECT_EQ(t, "         9         0         0         0         0         0         0    1\r\n"
               "  1.000000         0         0\r\n");
  CIpNSpr2 zero;
  zero.m_nNo = 3;
  zero.m_dVx = 0;
  ASSERT_TRUE(zero.Write(t));
  recs = ReadSection<CIpNSpr2>(t, line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_dVx, 1.0);
}

TEST(SpringRecords, GapRoundTripAndJoinedComments) {
  ExpectRoundTrips<CIpGap>({
      {1, "         5  0.100000-1.0000E-3  1.000000         0         0\r\n"},
      {1, "$ first$ second\r\n         6         0         0         0         0  1.000000\r\n"},
      {0, "    5       0.100000-1.0000E-3  1.000000         0         0\r\n"},
  });
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpGap>("$ first\r\n$ second\r\n         6\r\n", line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_strComment, " first$ second");
}

// The head line's count asks for (count - 1) / 2 + 1 curve lines, the division
// truncating toward zero: a negative count asks for none.
TEST(SpringRecords, NSprCurveLinesForEveryCount) {
  struct Case {
    int count;
    size_t lines;
  } cases[] = {{-5, 0}, {-3, 0}, {-2, 0}, {-1, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}};
  for (const auto& c : cases) {
    ColumnModeScope wide(1);
    std::string text = plat::Format("%10d%10d%10d%10d%10d%10d\r\n", 1, 0, 0, 0, 0, c.count);
    for (int i = 0; i < 4; ++i) text += kCurve1;
    text += "/end\r\n";
    std::string line;
    auto recs = ReadSection<CIpNSpr>(text, line);
    ASSERT_FALSE(recs.empty()) << c.count;
    EXPECT_EQ(recs[0]->m_aCurve.size(), c.lines) << c.count;
    EXPECT_EQ(line, "/end") << c.count;
  }
}

}  // namespace
