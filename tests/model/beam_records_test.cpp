#include "model/beam_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <memory>
#include <thread>
#include <vector>

#include "model/columns.h"
#include "platform/numbers.h"

namespace {

using namespace rectest;

TEST(SclRecords, RoundTripInBothLayouts) {
  struct Case {
    int mode;
    std::string text;
  } cases[] = {
      {1, I(10, 1) + I(10, 2) + R(1) + R(2) + R(3) + R(4) + R(5) + R(6) + "    1\r\n" + R(0) + R(0) + R(1) + R(0.5) +
              R(-0.5) + "\r\n"},
      {1, "$ spring\r\n" + I(10, 2) + I(10, 0) + R(1e10) + R(0) + R(0) + R(0) + R(0) + R(0.001) + "\r\n"},
      {0, I(5, 1) + I(5, 2) + R(1) + R(2) + R(3) + R(4) + R(5) + R(6) + "    1\r\n" + R(0) + R(0) + R(0) + R(0) +
              R(7) + "\r\n"},
  };
  for (const auto& c : cases) {
    ColumnModeScope scope(c.mode);
    std::string line;
    auto recs = ReadSection<CIpScl>(c.text, line);
    ASSERT_EQ(recs.size(), 1u) << c.text;
    EXPECT_EQ(WriteAll(recs), c.text);
  }
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpScl>(cases[0].text, line);
  const CIpScl& s = *recs[0];
  EXPECT_EQ(s.m_nSclOpt, 2);
  EXPECT_DOUBLE_EQ(s.m_dS6, 6);
  EXPECT_DOUBLE_EQ(s.m_dVz, 1);
  EXPECT_DOUBLE_EQ(s.m_dR1, 0.5);
  EXPECT_DOUBLE_EQ(s.m_dR2, -0.5);
  EXPECT_TRUE(CIpScl().IsEmpty());
}

// The three "/gproperty" lines, wide and narrow.
std::string WideGProperty() {
  return I(10, 7) + I(10, 1) + R(2e5) + R(0.3) + R(120) + R(4000) + R(5) + R(6) + "    1\r\n" + R(70) + R(30) +
         R(40) + I(10, 9) + R(0.25) + R(0.75) + " 1        11" + "   " + "    1\r\n" + R(0) + R(0) + R(1) + "\r\n";
}
std::string NarrowGProperty() {
  return I(5, 7) + I(5, 1) + R(2e5) + R(0.3) + R(120) + R(4000) + R(5) + R(6) + "    1\r\n" + R(70) + R(30) + R(40) +
         "    90.2500.750" + "     " + " 1        11" + "        " + "    1\r\n" + R(0) + R(0) + R(1) + "\r\n";
}

TEST(BeamRecords, GPropertyFormRoundTrips) {
  BeamFormatScope form(1);
  for (int mode : {1, 0}) {
    ColumnModeScope scope(mode);
    const std::string text = "$ beams\r\n" + (mode ? WideGProperty() : NarrowGProperty());
    std::string line;
    auto recs = ReadSection<CIpBeam>(text + "/elements\r\n", line);
    ASSERT_EQ(recs.size(), 1u) << mode;
    EXPECT_EQ(line, "/elements");
    EXPECT_EQ(WriteAll(recs), text) << mode;
    const CIpBeam& b = *recs[0];
    EXPECT_EQ(b.m_nBeamOpt, 1);
    EXPECT_DOUBLE_EQ(b.m_dS4, 4000);
    EXPECT_DOUBLE_EQ(b.m_dR5, 5);
    EXPECT_DOUBLE_EQ(b.m_dR6, 6);
    EXPECT_DOUBLE_EQ(b.m_dR7, 70);
    EXPECT_DOUBLE_EQ(b.m_dR3, 30);
    EXPECT_DOUBLE_EQ(b.m_dR4, 40);
    EXPECT_EQ(b.m_nBeamInt, 9);
    EXPECT_DOUBLE_EQ(b.m_dR1, 0.25);
    EXPECT_DOUBLE_EQ(b.m_dR2, 0.75);
    EXPECT_EQ(b.m_nFlags, 2 | 1024 | 2048);
    EXPECT_DOUBLE_EQ(b.m_dVz, 1);
  }
}

TEST(BeamRecords, GPropertyAlwaysWritesThreeLinesAndReadsOnlyWhatIsFlagged) {
  BeamFormatScope form(1);
  ColumnModeScope wide(1);
  CIpBeam empty;
  EXPECT_TRUE(empty.IsEmpty());
  std::string t;
  empty.Write(t);
  EXPECT_EQ(t, I(10, 0) + I(10, 0) + R(0) + R(0) + R(0) + R(0) + R(0) + R(0) + "    1\r\n" + R(0) + R(0) + R(0) +
                   I(10, 0) + R(0) + R(0) + std::string(15, ' ') + "    1\r\n" + R(0) + R(0) + R(0) + "\r\n");
  std::string line;
  auto recs = ReadSection<CIpBeam>(I(10, 3) + I(10, 0) + R(1) + "\r\n" + I(10, 4) + "\r\n", line);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_DOUBLE_EQ(recs[0]->m_dS1, 1);
  EXPECT_EQ(recs[1]->m_nNo, 4);
  // The second line without a flag: no third line.
  recs = ReadSection<CIpBeam>(I(10, 3) + std::string(70, ' ') + "    1\r\n" + R(8) + "\r\n" + I(10, 4) + "\r\n", line);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_DOUBLE_EQ(recs[0]->m_dR7, 8);
  EXPECT_EQ(recs[1]->m_nNo, 4);
}

// The "/property" lines: the first with the flags and the continuation flag,
// the second with the direction, the integer and two reals.
TEST(BeamRecords, PropertyFormRoundTrips) {
  BeamFormatScope form(0);
  struct Case {
    int mode;
    std::string text;
  } cases[] = {
      {1, I(10, 2) + I(10, 0) + R(2e5) + R(0.3) + R(120) + R(4000) + "11  1       " + "       1\r\n" + R(0) + R(1) +
              R(0) + I(10, 3) + R(0.5) + R(0.25) + "\r\n"},
      {1, "$ old\r\n" + I(10, 5) + I(10, 1) + R(1) + R(2) + R(3) + R(4) + "            \r\n"},
      // the narrow second line ends with a line feed alone
      {0, I(5, 2) + I(5, 0) + R(2e5) + R(0.3) + R(120) + R(4000) + "11  1       " + "            1\r\n" + R(0) + R(1) +
              R(0) + "    30.5000.250\n"},
  };
  for (const auto& c : cases) {
    ColumnModeScope scope(c.mode);
    std::string line;
    auto recs = ReadSection<CIpBeam>(c.text, line);
    ASSERT_EQ(recs.size(), 1u) << c.text;
    EXPECT_EQ(WriteAll(recs), c.text);
    if (c.text[0] == '$') continue;
    EXPECT_EQ(recs[0]->m_nFlags, 1 | 2 | 16);
    EXPECT_DOUBLE_EQ(recs[0]->m_dVy, 1);
    EXPECT_EQ(recs[0]->m_nBeamInt, 3);
    EXPECT_DOUBLE_EQ(recs[0]->m_dR1, 0.5);
    EXPECT_DOUBLE_EQ(recs[0]->m_dR2, 0.25);
  }
}

TEST(BeamRecords, PropertyFormKeepsSecondLineFieldsWithoutDirection) {
  BeamFormatScope form(0);
  ColumnModeScope wide(1);
  CIpBeam b;
  b.m_nNo = 1;
  b.m_nBeamInt = 4;
  b.m_dR2 = 0.5;
  std::string t;
  b.Write(t);
  std::string line;
  auto recs = ReadSection<CIpBeam>(t, line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_nBeamInt, 4);
  EXPECT_DOUBLE_EQ(recs[0]->m_dR2, 0.5);
}

TEST(BeamRecords, ContinuationBeforeKeywordOrEndDropsTheRecord) {
  struct Case {
    int form;
    std::string text;
    std::string lineAfter;
  } cases[] = {
      {0, I(10, 1) + std::string(65, ' ') + "    1\r\n/scalar\r\n", "/scalar"},
      {0, I(10, 1) + std::string(65, ' ') + "    1\r\n$ c\r\n", ""},
      {1, I(10, 1) + std::string(70, ' ') + "    1\r\n" + std::string(75, ' ') + "    1\r\n/elements\r\n", "/elements"},
  };
  ColumnModeScope wide(1);
  for (const auto& c : cases) {
    BeamFormatScope form(c.form);
    std::string line;
    auto recs = ReadSection<CIpBeam>(c.text, line);
    EXPECT_TRUE(recs.empty()) << c.text;
    EXPECT_EQ(line, c.lineAfter);
  }
  std::string line;
  auto recs = ReadSection<CIpScl>(I(10, 1) + std::string(70, ' ') + "    1\r\n/gproperty\r\n", line);
  EXPECT_TRUE(recs.empty());
  EXPECT_EQ(line, "/gproperty");
}

TEST(BeamRecords, BeamFormatIsPerThreadAndStartsAtOne) {
  BeamFormatScope form(0);
  int other = -1;
  std::thread([&] { other = g_nBeamFormat; }).join();
  EXPECT_EQ(other, 1);
  EXPECT_EQ(g_nBeamFormat, 0);
}

}  // namespace
