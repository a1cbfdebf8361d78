#include "model/sec_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <cmath>
#include <memory>
#include <vector>

#include "model/columns.h"
#include "platform/numbers.h"

namespace {

using namespace rectest;

// A wide head line: number 3, material 2, the given counts, flags of bits 0,
// 2 and 11, option 5, direction (0, 1, 0), coefficients, option 2, values.
std::string WideHead(int blocks, int decks) {
  return I(10, 3) + I(10, 2) + I(10, blocks) + I(10, decks) + "1 1        1" + "   " + I(10, 5) + R(0) + R(1) + R(0) +
         R(0.85) + R(1.2) + I(10, 2) + R(100) + R(-0.5) + R(0.001) + "\r\n";
}
const std::string kWideStraight = I(10, 4) + I(10, 2) + R(0) + R(-150) + R(0) + R(150) + R(12) + R(12) + I(10, 0) +
                                  I(10, 0) + "\r\n";
const std::string kWideArc = I(10, 8) + I(10, 3) + R(1) + R(-45) + R(3) + R(45) + R(0.5) + R(-2) + I(10, 7) +
                             I(10, -1) + "\r\n";
const std::string kWideDeck = I(10, 6) + I(10, 1) + R(-200) + R(160) + R(200) + R(160) + R(75) + "\r\n";
const std::string kWideArcDeck =
    I(10, 6) + I(10, 1) + R(2) + R(0) + R(4) + R(180) + R(50) + R(1.5) + R(2.5) + I(10, -1) + "\r\n";

TEST(SecRecords, WideRoundTripWithBlocksAndDecks) {
  ColumnModeScope wide(1);
  const std::string text =
      "$ column C1\r\n" + WideHead(2, 2) + kWideStraight + kWideArc + kWideDeck + kWideArcDeck + WideHead(0, 0);
  EXPECT_EQ(WideHead(0, 0).size(), 157u);
  std::string line;
  auto recs = ReadSection<CIpSec>(text, line);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(WriteAll(recs), text);

  const CIpSec& s = *recs[0];
  EXPECT_EQ(s.m_strComment, " column C1");
  EXPECT_EQ(s.m_nNo, 3);
  EXPECT_EQ(s.m_nMat, 2);
  EXPECT_EQ(s.m_nFlags, 1 | 4 | 2048);
  EXPECT_EQ(s.GetFlags(), "1 1        1");
  EXPECT_EQ(s.m_nSecOpt1, 5);
  EXPECT_DOUBLE_EQ(s.m_dVy, 1);
  EXPECT_DOUBLE_EQ(s.m_dCoef1, 0.85);
  EXPECT_DOUBLE_EQ(s.m_dCoef2, 1.2);
  EXPECT_EQ(s.m_nSecOpt2, 2);
  EXPECT_DOUBLE_EQ(s.m_dSecVal1, 100);
  EXPECT_DOUBLE_EQ(s.m_dSecVal3, 0.001);
  ASSERT_EQ(s.GetBlkCount(), 2);
  ASSERT_EQ(s.GetDckCount(), 2);
  const CIpBlk& b = *s.m_pBlkList[0];
  EXPECT_EQ(b.m_nDiv1, 4);
  EXPECT_DOUBLE_EQ(b.m_dZ1, -150);
  EXPECT_DOUBLE_EQ(b.m_dZ2, 150);
  EXPECT_DOUBLE_EQ(b.m_dThick, 12);
  const CIpBlk& a = *s.m_pBlkList[1];
  EXPECT_EQ(a.m_nType, -1);
  EXPECT_EQ(a.m_nMat, 7);
  EXPECT_DOUBLE_EQ(a.m_dThick, 0);
  EXPECT_DOUBLE_EQ(a.m_dYc, 0.5);
  EXPECT_DOUBLE_EQ(a.m_dZc, -2);
  // Decks in a wide file always have material 1; a straight deck has no type.
  EXPECT_EQ(s.m_pDckList[0]->m_nMat, 1);
  EXPECT_EQ(s.m_pDckList[0]->m_nType, 0);
  EXPECT_DOUBLE_EQ(s.m_pDckList[0]->m_dValue, 75);
  EXPECT_EQ(s.m_pDckList[1]->m_nType, -1);
  EXPECT_DOUBLE_EQ(s.m_pDckList[1]->m_dYc, 1.5);
  EXPECT_DOUBLE_EQ(s.m_pDckList[1]->m_dZc, 2.5);
  EXPECT_TRUE(recs[1]->m_pBlkList.empty());
  EXPECT_TRUE(recs[1]->m_pDckList.empty());
}

TEST(SecRecords, NarrowRoundTrip) {
  ColumnModeScope narrow(0);
  const std::string head = I(5, 1) + I(5, 2) + I(5, 2) + I(5, 1) + "11          " + I(3, 4) + R(0) + R(0) + R(1) +
                           "0.8501.200    3" + R(1) + R(2) + R(3) + "\r\n";
  EXPECT_EQ(head.size(), 112u);
  const std::string straight = I(5, 4) + I(5, 2) + R(0) + R(-150) + R(0) + R(150) + R(12) + I(5, 0) + I(5, 0) + "\r\n";
  const std::string arc = I(5, 8) + I(5, 3) + R(1) + R(-45) + R(3) + R(45) + std::string(10, ' ') + I(5, 7) + I(5, -1) +
                          "\r\n";
  const std::string deck = I(5, 6) + I(5, 1) + R(-200) + R(160) + R(200) + R(160) + R(75) + I(5, 9) + I(5, -2) + "\r\n";
  const std::string text = head + straight + arc + deck;
  std::string line;
  auto recs = ReadSection<CIpSec>(text, line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(WriteAll(recs), text);
  EXPECT_EQ(recs[0]->m_nFlags, 3);
  EXPECT_DOUBLE_EQ(recs[0]->m_dCoef2, 1.2);
  EXPECT_EQ(recs[0]->m_nSecOpt2, 3);
  EXPECT_EQ(recs[0]->m_pDckList[0]->m_nMat, 9);
  EXPECT_EQ(recs[0]->m_pBlkList[1]->m_nMat, 7);
}

TEST(SecRecords, BlockAndDeckColumnRules) {
  ColumnModeScope wide(1);
  CIpBlk b;
  std::string line;
  // A straight block's thickness stands twice; the first one is read.
  auto ar = plat::LineReader::FromString(I(10, 1) + I(10, 1) + R(0) + R(0) + R(0) + R(10) + R(2) + R(99) + "\r\n");
  ASSERT_TRUE(b.Read(*ar, line));
  EXPECT_DOUBLE_EQ(b.m_dThick, 2);
  EXPECT_EQ(b.m_nType, 0);  // the line ends before the type
  // An arc deck with a non-positive outer radius takes the inner one.
  CIpDck d;
  ar = plat::LineReader::FromString(I(10, 1) + I(10, 1) + R(2.5) + R(0) + R(-1) + R(90) + R(0) + R(0) + R(0) +
                                    I(10, -1) + "\r\n");
  ASSERT_TRUE(d.Read(*ar, line));
  EXPECT_DOUBLE_EQ(d.m_dY2, 2.5);
  // A straight deck written in wide layout reads back with type 0.
  d.m_nType = 3;
  std::string t;
  d.Write(t);
  EXPECT_EQ(t.size(), 72u);
  CIpDck back;
  ar = plat::LineReader::FromString(t);
  ASSERT_TRUE(back.Read(*ar, line));
  EXPECT_EQ(back.m_nType, 0);
  EXPECT_TRUE(CIpBlk().IsEmpty());
  EXPECT_TRUE(CIpDck().IsEmpty());
}

TEST(SecRecords, SectionDeclaringMoreLinesThanFollowKeepsThemAndTheKeyword) {
  ColumnModeScope wide(1);
  struct Case {
    const char* name;
    std::string text;
    int blocks, decks;
    std::string lineAfter;
  } cases[] = {
      {"blocks cut by a keyword", WideHead(3, 1) + kWideStraight + "/materials\r\n" + "         1\r\n", 1, 0,
       "/materials"},
      {"decks cut by a keyword", WideHead(1, 2) + kWideStraight + kWideDeck + "$ note\r\n/scalar\r\n", 1, 1, "/scalar"},
      {"cut by the end of input", WideHead(2, 0) + kWideStraight, 1, 0, ""},
  };
  for (const auto& c : cases) {
    std::string line;
    auto recs = ReadSection<CIpSec>(c.text, line);
    ASSERT_EQ(recs.size(), 1u) << c.name;
    EXPECT_EQ(recs[0]->GetBlkCount(), c.blocks) << c.name;
    EXPECT_EQ(recs[0]->GetDckCount(), c.decks) << c.name;
    EXPECT_EQ(line, c.lineAfter) << c.name;
  }
}

TEST(SecRecords, EmptyLineAddsAZeroBlockNotACopy) {
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpSec>(WideHead(2, 2) + kWideStraight + "\r\n" + kWideDeck + "\r\n", line);
  ASSERT_EQ(recs.size(), 1u);
  ASSERT_EQ(recs[0]->GetBlkCount(), 2);
  ASSERT_EQ(recs[0]->GetDckCount(), 2);
  EXPECT_TRUE(recs[0]->m_pBlkList[1]->IsEmpty());
  EXPECT_TRUE(recs[0]->m_pDckList[1]->IsEmpty());
  EXPECT_EQ(recs[0]->m_pDckList[1]->m_nMat, 0);
}

TEST(SecRecords, CommentsBeforeSubLinesAreNotKept) {
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpSec>(WideHead(1, 0) + "$ web\r\n" + kWideStraight, line);
  ASSERT_EQ(recs.size(), 1u);
  ASSERT_EQ(recs[0]->GetBlkCount(), 1);
  EXPECT_EQ(recs[0]->m_pBlkList[0]->m_strComment, "");
  EXPECT_DOUBLE_EQ(recs[0]->m_pBlkList[0]->m_dThick, 12);
}

TEST(SecRecords, EmptinessAndFlags) {
  CIpSec s;
  EXPECT_TRUE(s.IsEmpty());
  s.SetFlags("0 x1");
  EXPECT_EQ(s.m_nFlags, 4 | 8);
  EXPECT_FALSE(s.IsEmpty());
  s.m_nFlags = 0;
  s.AddBlk(CIpBlk());
  EXPECT_FALSE(s.IsEmpty());
  s.RemoveAll();
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_TRUE(s.SetText(3, "9"));  // not editable, accepted without change
  EXPECT_TRUE(s.IsEmpty());
  CIpBlk commented;
  commented.m_strComment = "x";
  commented.m_dY1 = 4;
  s.AddBlk(commented);
  EXPECT_EQ(s.m_pBlkList[0]->m_strComment, "");
  EXPECT_DOUBLE_EQ(s.m_pBlkList[0]->m_dY1, 4);
}

TEST(SecRecords, LengthAndCorners) {
  const double pi = 3.141592653589793;
  struct Case {
    const char* name;
    int type;
    double y1, z1, y2, z2, thick, yc, zc;
    double length;
    double y[4], z[4];
  } cases[] = {
      {"straight vertical", 0, 0, 0, 0, 10, 2, 0, 0, 10, {-1, -1, 1, 1}, {0, 10, 10, 0}},
      {"straight horizontal", 1, 0, 0, 4, 0, 1, 0, 0, 4, {0, 4, 4, 0}, {0.5, 0.5, -0.5, -0.5}},
      {"straight of length 0", 0, 2, 2, 2, 2, 5, 0, 0, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {"quarter arc", -1, 1, 0, 3, 90, 0, 0, 0, pi, {0, 0, 3, 3}, {0, 3, 3, 0}},
      {"arc across 0 degrees", -1, 2, -45, 2, 45, 0, 1, 1, 2 * 2 * pi / 4,
       {1 + std::sqrt(2.0), 1 + std::sqrt(2.0), 3, 3}, {1 - std::sqrt(2.0), 1 + std::sqrt(2.0), 1 + std::sqrt(2.0),
                                                        1 - std::sqrt(2.0)}},
      {"half ring", -1, 1, 0, 2, 180, 0, 0, 0, 1.5 * pi, {-2, -2, 2, 2}, {0, 2, 2, 0}},
  };
  for (const auto& c : cases) {
    CIpBlk b;
    b.m_nType = c.type;
    b.m_dY1 = c.y1, b.m_dZ1 = c.z1, b.m_dY2 = c.y2, b.m_dZ2 = c.z2;
    b.m_dThick = c.thick, b.m_dYc = c.yc, b.m_dZc = c.zc;
    EXPECT_NEAR(b.GetLength(), c.length, 1e-9) << c.name;
    double y[4], z[4];
    b.GetCorners(y, z);
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(y[i], c.y[i], 1e-9) << c.name << " corner " << i;
      EXPECT_NEAR(z[i], c.z[i], 1e-9) << c.name << " corner " << i;
    }
  }
}

// Narrow sub-lines: an arc never takes a centre, a deck reads its material
// from column 60; a head that declares two blocks and no decks ends at the
// next keyword with both blocks and an empty deck list.
TEST(SecRecords, NarrowSubLineColumnsAndDeclaredCounts) {
  ColumnModeScope narrow(0);
  const std::string head = I(5, 1) + I(5, 2) + I(5, 2) + I(5, 0) + std::string(12, ' ') + I(3, 0) + R(0) + R(0) +
                           R(0) + "0.0000.000    0" + R(0) + R(0) + R(0) + "\r\n";
  // Columns 50 to 59 hold a value that only a straight block takes.
  const std::string arcBlk = I(5, 2) + I(5, 2) + R(1) + R(0) + R(3) + R(90) + R(7) + I(5, 4) + I(5, -1) + "\r\n";
  const std::string strBlk = I(5, 2) + I(5, 2) + R(0) + R(0) + R(0) + R(5) + R(7) + I(5, 4) + "\r\n";
  const std::string arcDck = I(5, 3) + I(5, 1) + R(2) + R(0) + R(0) + R(45) + R(9) + I(5, 6) + I(5, -1) + "\r\n";
  struct Case {
    const char* name;
    std::string text;
    int blocks, decks;
    const char* lineAfter;
  } cases[] = {
      {"two blocks, no decks", head + arcBlk + strBlk + "/materials\r\n", 2, 0, "/materials"},
      {"deck after blocks", I(5, 1) + I(5, 2) + I(5, 0) + I(5, 1) + "\r\n" + arcDck, 0, 1, ""},
  };
  for (const auto& c : cases) {
    std::string line;
    auto recs = ReadSection<CIpSec>(c.text, line);
    ASSERT_EQ(recs.size(), 1u) << c.name;
    ASSERT_EQ(recs[0]->GetBlkCount(), c.blocks) << c.name;
    ASSERT_EQ(recs[0]->GetDckCount(), c.decks) << c.name;
    EXPECT_EQ(line, c.lineAfter) << c.name;
  }
  std::string line;
  auto recs = ReadSection<CIpSec>(cases[0].text, line);
  const CIpBlk& a = *recs[0]->m_pBlkList[0];
  EXPECT_EQ(a.m_nType, -1);
  EXPECT_DOUBLE_EQ(a.m_dThick, 0);
  EXPECT_DOUBLE_EQ(a.m_dYc, 0);
  EXPECT_DOUBLE_EQ(a.m_dZc, 0);
  EXPECT_EQ(a.m_nMat, 4);
  const CIpBlk& b = *recs[0]->m_pBlkList[1];
  EXPECT_EQ(b.m_nType, 0);  // the line ends before the type
  EXPECT_DOUBLE_EQ(b.m_dThick, 7);
  std::string t;
  ASSERT_TRUE(recs[0]->m_pBlkList[0]->Write(t));
  EXPECT_EQ(t, I(5, 2) + I(5, 2) + R(1) + R(0) + R(3) + R(90) + std::string(10, ' ') + I(5, 4) + I(5, -1) + "\r\n");

  recs = ReadSection<CIpSec>(cases[1].text, line);
  const CIpDck& d = *recs[0]->m_pDckList[0];
  EXPECT_EQ(d.m_nMat, 6);
  EXPECT_EQ(d.m_nType, -1);
  EXPECT_DOUBLE_EQ(d.m_dY2, 2);  // non-positive outer radius of an arc deck
  EXPECT_DOUBLE_EQ(d.m_dValue, 9);
  EXPECT_DOUBLE_EQ(d.m_dYc, 0);
  EXPECT_DOUBLE_EQ(d.m_dZc, 0);
}

}  // namespace
