#include <gtest/gtest.h>

#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"

namespace {

CIpNode* AddNode(CIpDataSet& ds, int no, double x, double y, double z, int last = 0, int inc = 0) {
  auto n = std::make_unique<CIpNode>();
  n->m_nNo = no;
  n->m_dX = x;
  n->m_dY = y;
  n->m_dZ = z;
  n->m_nLast = last;
  n->m_nInc = inc;
  return ds.m_Nodes.Append(std::move(n));
}

CIpElem* AddElem(CIpDataSet& ds, int no, int prop, int ni, int nj, const char* comment = "") {
  auto e = std::make_unique<CIpElem>();
  e->m_nNo = no;
  e->m_nProp = prop;
  e->m_nNodeI = ni;
  e->m_nNodeJ = nj;
  e->m_strComment = comment;
  return ds.m_Elems.Append(std::move(e));
}

// A section with a straight block of div1 x div2 fibres, an arc block of
// 2 x 6 fibres and a deck of `rows` rows, reference direction z.
CIpSec* AddSection(CIpDataSet& ds, int no, int div1, int div2, int rows) {
  auto s = std::make_unique<CIpSec>();
  s->m_nNo = no;
  s->m_dVz = 1;
  CIpBlk straight;
  straight.m_nDiv1 = div1;
  straight.m_nDiv2 = div2;
  s->AddBlk(straight);
  CIpBlk arc;
  arc.m_nDiv1 = 2;
  arc.m_nDiv2 = 6;
  arc.m_nType = -1;
  s->AddBlk(arc);
  CIpDck deck;
  deck.m_nCount = rows;
  s->AddDck(deck);
  return ds.m_Secs.Append(std::move(s));
}

template <class TRec, class TBlock>
TRec* AddProp(TBlock& block, int no) {
  auto r = std::make_unique<TRec>();
  r->m_nNo = no;
  return block.Append(std::move(r));
}

TEST(IpLink, ElementsFindNodesInsideGeneratedSeries) {
  CIpDataSet ds;
  CIpNode* series = AddNode(ds, 1, 0, 0, 0, 9, 2);  // 1, 3, 5, 7, 9
  CIpNode* single = AddNode(ds, 20, 1, 0, 0);
  AddNode(ds, 5, 9, 9, 9);  // later than the series: never found for 5
  CIpElem* e1 = AddElem(ds, 1, 0, 5, 20);
  CIpElem* e2 = AddElem(ds, 2, 0, 4, 9);
  CIpElem* e3 = AddElem(ds, 3, 0, 0, 0, " comment");
  auto q = std::make_unique<CIpQline>();
  q->m_nNode1 = 20;
  q->m_nNode2 = 7;
  CIpQline* ql = ds.m_Qlines.Append(std::move(q));
  ds.LinkNodes();
  EXPECT_EQ(e1->m_pNodeI, series);
  EXPECT_EQ(e1->m_pNodeJ, single);
  EXPECT_EQ(e2->m_pNodeI, nullptr);
  EXPECT_EQ(e2->m_pNodeJ, series);
  EXPECT_EQ(e3->m_pNodeI, nullptr);
  EXPECT_EQ(ql->m_pNode1, single);
  EXPECT_EQ(ql->m_pNode2, series);
}

TEST(IpLink, PropertyKindsWinInTheirOrder) {
  CIpDataSet ds;
  CIpSec* sec = AddSection(ds, 1, 1, 1, 1);
  AddProp<CIpScl>(ds.m_Scls, 1);
  CIpScl* scl = AddProp<CIpScl>(ds.m_Scls, 2);
  // Each of these shares its number with a kind of an earlier order.
  AddProp<CIpBeam>(ds.m_Beams, 2);
  CIpBeam* beam = AddProp<CIpBeam>(ds.m_Beams, 3);
  AddProp<CIpNSpr>(ds.m_NSprs, 3);
  CIpNSpr* nspr = AddProp<CIpNSpr>(ds.m_NSprs, 4);
  AddProp<CIpGap>(ds.m_Gaps, 4);
  CIpNSpr2* nspr2 = AddProp<CIpNSpr2>(ds.m_NSpr2s, 5);
  CIpRigid* rigid = AddProp<CIpRigid>(ds.m_Rigids, 6);
  CIpTruss* truss = AddProp<CIpTruss>(ds.m_Trusses, 8);
  AddProp<CIpTruss>(ds.m_Trusses, 1);
  struct Case {
    int prop;
    int slot;
    CFemInput* target;
  } cases[] = {
      {1, kPropSlotSec, sec},      {2, kPropSlotScl, scl},       {3, kPropSlotBeam, beam},
      {4, kPropSlotNSpr, nspr},    {5, kPropSlotNSpr2, nspr2},   {6, kPropSlotRigid, rigid},
      {8, kPropSlotTruss, truss},  {9, 0, nullptr},
  };
  for (const Case& c : cases) AddElem(ds, c.prop, c.prop, 0, 0);
  ds.BuildPropList();
  EXPECT_EQ(ds.m_Props.GetCount(), 12);
  // The references come in the order of the kinds, each kind in index order.
  const int order[] = {1, 1, 2, 2, 3, 3, 4, 4, 5, 6, 8, 1};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(ds.m_Props.GetRecord(i)->m_nNo, order[i]);
  for (int i = 0; i < ds.m_Elems.GetCount(); ++i) {
    const Case& c = cases[i];
    CIpElem* e = ds.m_Elems.GetRecord(i);
    if (!c.target) {
      EXPECT_EQ(e->m_pProp, nullptr);
      continue;
    }
    ASSERT_NE(e->m_pProp, nullptr) << c.prop;
    EXPECT_EQ(e->m_pProp->GetRef(c.slot), c.target) << c.prop;
    for (int s = 1; s <= kPropSlotCount; ++s) {
      if (s != c.slot) {
        EXPECT_EQ(e->m_pProp->GetRef(s), nullptr);
      }
    }
  }
  // A second build appends another set; the elements keep the first.
  CIpProp* first = ds.m_Elems.GetRecord(0)->m_pProp;
  ds.BuildPropList();
  EXPECT_EQ(ds.m_Props.GetCount(), 24);
  EXPECT_EQ(ds.m_Elems.GetRecord(0)->m_pProp, first);
}

TEST(IpLink, AxesOfLinkedElementsWithoutComment) {
  CIpDataSet ds;
  AddNode(ds, 1, 0, 0, 0);
  AddNode(ds, 2, 5, 0, 0);
  AddSection(ds, 1, 1, 1, 1);
  CIpElem* along = AddElem(ds, 1, 1, 1, 2);
  CIpElem* noProp = AddElem(ds, 2, 7, 1, 2);
  CIpElem* commented = AddElem(ds, 3, 1, 1, 2, "note");
  ds.LinkNodes();
  ds.BuildPropList();
  ds.CalcElemAxes();
  EXPECT_EQ(along->m_bAxis, 1);
  const double x[3] = {1, 0, 0}, y[3] = {0, 1, 0}, z[3] = {0, 0, 1};
  for (int k = 0; k < 3; ++k) {
    EXPECT_DOUBLE_EQ(along->m_vAxisX[k], x[k]);
    EXPECT_DOUBLE_EQ(along->m_vAxisY[k], y[k]);
    EXPECT_DOUBLE_EQ(along->m_vAxisZ[k], z[k]);
  }
  EXPECT_EQ(noProp->m_pProp, nullptr);
  EXPECT_EQ(noProp->m_bAxis, 0);
  // Linked, but no axes for a comment record.
  EXPECT_NE(commented->m_pNodeI, nullptr);
  EXPECT_NE(commented->m_pProp, nullptr);
  EXPECT_EQ(commented->m_bAxis, 0);
}

TEST(ModelStats, CountIpCountsSectionsOncePerElement) {
  CIpDataSet ds;
  AddNode(ds, 1, 0, 0, 0);
  AddNode(ds, 2, 1, 0, 0);
  ds.m_Mats.Append(std::make_unique<CIpMat>());
  ds.m_Quads.Append(std::make_unique<CIpQuad>());
  AddSection(ds, 1, 4, 2, 3);
  AddSection(ds, 2, -4, 2, -7);  // negative counts count 0
  for (int i = 1; i <= 3; ++i) AddElem(ds, i, 1, 1, 2);
  AddElem(ds, 4, 2, 1, 2);
  AddElem(ds, 5, 99, 1, 2);  // no property: adds nothing
  ds.m_Elems.SetCell(7, 0, "0");   // an empty slot counts in the record count only
  ds.LinkNodes();
  ds.BuildPropList();
  ds.CalcElemAxes();
  CModelStats st;
  st.m_nFibers = 77;
  ASSERT_TRUE(st.CountIp(ds)) << st.m_strError;
  EXPECT_EQ(st.m_nElems, 8);
  EXPECT_EQ(st.m_nQuads, 1);
  EXPECT_EQ(st.m_nRectBlocks, 4);
  EXPECT_EQ(st.m_nArcBlocks, 4);
  EXPECT_EQ(st.m_nFibers, 3 * (8 + 12) + 12);
  EXPECT_EQ(st.m_nDecks, 4);
  EXPECT_EQ(st.m_nDeckRows, 9);
  EXPECT_EQ(st.m_nNodes, 2);
  EXPECT_EQ(st.m_nMats, 1);
}

TEST(ModelStats, AbsurdTotalsAreRefused) {
  struct Case {
    int div1, div2, users;
    bool ok;
  } cases[] = {
      {9999, 10000, 1, true},     // just below the limit with the 12 arc fibres
      {9999, 10000, 2, false},    // twice that
      {2147483647, 2147483647, 1, false},
      {2147483647, 2147483647, 1000, false},
      {100, 100, 1000, true},
  };
  for (const Case& c : cases) {
    CIpDataSet ds;
    AddSection(ds, 1, c.div1, c.div2, 0);
    for (int i = 0; i < c.users; ++i) AddElem(ds, i + 1, 1, 0, 0);
    ds.BuildPropList();
    CModelStats st;
    EXPECT_EQ(st.CountIp(ds), c.ok) << c.div1 << " x " << c.div2 << " x " << c.users;
    if (c.ok) {
      EXPECT_TRUE(st.m_strError.empty());
      EXPECT_EQ(st.m_nFibers, (static_cast<long long>(c.div1) * c.div2 + 12) * c.users);
    } else {
      EXPECT_NE(st.m_strError.find("ファイバー"), std::string::npos);
      EXPECT_EQ(st.m_nFibers, 0);
      EXPECT_EQ(st.m_nElems, 0);
    }
  }
}

TEST(ModelStats, TotalsSaturateInsteadOfOverflowing) {
  CModelStats::Totals t;
  for (int i = 0; i < 10; ++i) t.AddBlock(0, 2147483647, 2147483647);
  EXPECT_EQ(t.fibers, CModelStats::kMaxCount + 1);
  CModelStats::Totals part;
  part.AddDeck(2147483647);
  t.AddTimes(part, 2147483647);
  EXPECT_EQ(t.deckRows, CModelStats::kMaxCount + 1);
  EXPECT_EQ(t.decks, CModelStats::kMaxCount + 1);
  CModelStats st;
  EXPECT_FALSE(st.Commit(t));
}

}  // namespace
