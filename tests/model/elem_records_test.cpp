#include "model/elem_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <cmath>
#include <memory>
#include <vector>

#include "model/prop_records.h"
#include "model/sec_records.h"

namespace {

using namespace rectest;

TEST(ElemRecords, RoundTripAndFieldColumns) {
  struct Case {
    int mode;
    std::string text;
  } cases[] = {
      // no, last, inc, prop, node i, node j
      {1, "         1         5         1         3        11        12\r\n"},
      {1, "$ girders\r\n -12345678         0         0         7         1         2\r\n"},
      {0, "    1    5    1         3   11   12\r\n"},
      {0, "$ girders\r\n   20    0    0        99  100  101\r\n"},
  };
  for (const auto& c : cases) {
    ColumnModeScope scope(c.mode);
    std::string line;
    auto recs = ReadSection<CIpElem>(c.text, line);
    EXPECT_EQ(WriteAll(recs), c.text) << c.text;
  }
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpElem>(cases[0].text, line);
  ASSERT_EQ(recs.size(), 1u);
  const CIpElem& e = *recs[0];
  EXPECT_EQ(e.m_nNo, 1);
  EXPECT_EQ(e.m_nLast, 5);
  EXPECT_EQ(e.m_nInc, 1);
  EXPECT_EQ(e.m_nProp, 3);
  EXPECT_EQ(e.m_nNodeI, 11);
  EXPECT_EQ(e.m_nNodeJ, 12);
  ColumnModeScope narrow(0);
  recs = ReadSection<CIpElem>(cases[2].text, line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_nProp, 3);
  EXPECT_EQ(recs[0]->m_nNodeJ, 12);
}

TEST(ElemRecords, SectionEndsAtKeywordAndEmptyLineIsEmptyRecord) {
  std::string line;
  auto recs = ReadSection<CIpElem>("    1    0    0         1    1    2\n\n$\n/sections\n", line);
  ASSERT_EQ(recs.size(), 3u);
  EXPECT_TRUE(recs[1]->IsEmpty());
  EXPECT_EQ(recs[2]->m_strComment, " ");
  EXPECT_EQ(line, "/sections");
  std::string t;
  recs[2]->Write(t);
  EXPECT_EQ(t, "$ \r\n");
}

TEST(ElemRecords, CellsInNarrowLayout) {
  CIpElem e;
  e.m_nNo = 1;
  e.m_nLast = 5;
  e.m_nInc = 1;
  e.m_nProp = 3;
  e.m_nNodeI = 1;
  e.m_nNodeJ = 2;
  EXPECT_EQ(e.GetCount(), 5);
  // Column order: number, property, node i, node j, last, increment.
  const char* expect[] = {"1", "3", "1", "2", "5", "1"};
  for (int c = 0; c < 6; ++c) EXPECT_EQ(e.GetText(c), expect[c]) << c;
  EXPECT_EQ(e.GetText(6), "");
  // The fifth element of the series has nodes 5 and 6; the property stays.
  EXPECT_EQ(e.GetGenText(0, 4), "5");
  EXPECT_EQ(e.GetGenText(1, 4), "3");
  EXPECT_EQ(e.GetGenText(2, 4), "5");
  EXPECT_EQ(e.GetGenText(3, 4), "6");
  e.m_nNodeJ = 0;
  EXPECT_EQ(e.GetGenText(3, 4), "");
  CIpElem empty;
  for (int c = 0; c < 6; ++c) EXPECT_EQ(empty.GetGenText(c, 3), "") << c;
  e.m_nLast = 1;
  e.m_nNo = 10;
  e.m_nInc = -3;
  EXPECT_EQ(e.GetCount(), 4);
}

TEST(ElemRecords, SetTextRules) {
  CIpElem e;
  struct Step {
    int col;
    const char* text;
    bool result;
  } steps[] = {
      {1, "7", true}, {2, " 12x", true}, {-1, "note", true}, {-1, "note", false},
      {3, "4", false},  // data column of a comment record
      {6, "1", false},
  };
  for (const auto& s : steps) EXPECT_EQ(e.SetText(s.col, s.text), s.result) << s.col << " " << s.text;
  EXPECT_EQ(e.m_nProp, 7);
  EXPECT_EQ(e.m_nNodeI, 12);
  EXPECT_EQ(e.m_nNodeJ, 0);
  EXPECT_EQ(e.m_strComment, "note");
  EXPECT_TRUE(e.SetText(0, "$other\nrest"));
  EXPECT_EQ(e.m_strComment, "other");
  EXPECT_FALSE(e.SetText(5, "2"));
  EXPECT_TRUE(e.SetText(0, "3"));  // column 0 turns it back into a data record
  EXPECT_EQ(e.m_strComment, "");
  EXPECT_TRUE(e.SetText(5, "2"));
  EXPECT_EQ(e.m_nNo, 3);
  EXPECT_EQ(e.m_nInc, 2);
  EXPECT_FALSE(e.IsEmpty());
}

CIpNode MakeNode(double x, double y, double z) {
  CIpNode n;
  n.m_nNo = 1;
  n.m_dX = x;
  n.m_dY = y;
  n.m_dZ = z;
  return n;
}

void ExpectVec(const double* v, double x, double y, double z, const char* what) {
  EXPECT_NEAR(v[0], x, 1e-12) << what;
  EXPECT_NEAR(v[1], y, 1e-12) << what;
  EXPECT_NEAR(v[2], z, 1e-12) << what;
}

TEST(ElemRecords, LocalAxes) {
  const double h = 1 / std::sqrt(2.0);
  struct Case {
    const char* name;
    double j[3];
    double ref[3];
    double x[3], y[3], z[3];
  } cases[] = {
      {"vertical", {0, 0, 5}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}, {1, 0, 0}},
      {"horizontal along x", {3, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
      {"oblique reference", {0, 2, 0}, {1, 0, 1}, {0, 1, 0}, {-h, 0, h}, {h, 0, h}},
      {"diagonal in plan", {4, 4, 0}, {0, 0, 2}, {h, h, 0}, {-h, h, 0}, {0, 0, 1}},
  };
  CIpNode ni = MakeNode(0, 0, 0);
  for (const auto& c : cases) {
    CIpNode nj = MakeNode(c.j[0], c.j[1], c.j[2]);
    CIpElem e;
    e.m_pNodeI = &ni;
    e.m_pNodeJ = &nj;
    CVec v;
    v.m_dVx = c.ref[0], v.m_dVy = c.ref[1], v.m_dVz = c.ref[2];
    e.CalcLocalAxisFrom(&v);
    ASSERT_EQ(e.m_bAxis, 1) << c.name;
    ExpectVec(e.m_vAxisX, c.x[0], c.x[1], c.x[2], c.name);
    ExpectVec(e.m_vAxisY, c.y[0], c.y[1], c.y[2], c.name);
    ExpectVec(e.m_vAxisZ, c.z[0], c.z[1], c.z[2], c.name);
  }
}

TEST(ElemRecords, LocalAxesDegenerate) {
  CIpNode ni = MakeNode(1, 1, 1), nj = MakeNode(1, 1, 4), same = MakeNode(1, 1, 1);
  CVec zero, parallel, good;
  parallel.m_dVz = -2;
  good.m_dVx = 1;
  struct Case {
    const char* name;
    CIpNode* i;
    CIpNode* j;
    const CVec* ref;
  } cases[] = {
      {"zero reference", &ni, &nj, &zero},
      {"reference parallel to the member", &ni, &nj, &parallel},
      {"coinciding nodes", &ni, &same, &good},
      {"start node not linked", nullptr, &nj, &good},
      {"end node not linked", &ni, nullptr, &good},
      {"property not linked", &ni, &nj, nullptr},
  };
  for (const auto& c : cases) {
    CIpElem e;
    e.m_bAxis = 1;  // a stale result must not survive
    e.m_pNodeI = c.i;
    e.m_pNodeJ = c.j;
    e.CalcLocalAxisFrom(c.ref);
    EXPECT_EQ(e.m_bAxis, 0) << c.name;
  }
}

TEST(ElemRecords, LocalAxesFromLinkedProperty) {
  CIpNode ni = MakeNode(0, 0, 0), nj = MakeNode(0, 0, 5);
  CIpElem e;
  e.m_pNodeI = &ni;
  e.m_pNodeJ = &nj;
  e.CalcLocalAxis();  // no property
  EXPECT_EQ(e.m_bAxis, 0);

  CIpSec sec;
  sec.m_dVx = 1;
  CIpProp prop;
  prop.SetRef(kPropSlotSec, &sec);
  e.m_pProp = &prop;
  e.CalcLocalAxis();
  ASSERT_EQ(e.m_bAxis, 1);
  ExpectVec(e.m_vAxisY, 0, -1, 0, "through the property");
  CIpProp unfilled;
  e.m_pProp = &unfilled;
  e.CalcLocalAxis();
  EXPECT_EQ(e.m_bAxis, 0);
}

}  // namespace
