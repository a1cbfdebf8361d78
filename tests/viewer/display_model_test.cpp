#include "viewer/display_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dataset/fb_model.h"
#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "viewer/member_solid.h"

namespace {

// ---------------------------------------------------------------------------
// A small keyword model, built record by record and linked as the loader
// links it.
//
// Nodes span x 0..10, y 0..4, z 0..1. Two shells share the edge 5-6 (written
// 6-5 in the second). Members 1 and 2 carry section 10 (one straight and one
// arc block); member 3 names a missing node, member 4 a missing property,
// member 5 a section of decks only.

void AddNode(CIpDataSet& ds, int no, double x, double y, double z) {
  auto n = std::make_unique<CIpNode>();
  n->m_nNo = no;
  n->m_dX = x;
  n->m_dY = y;
  n->m_dZ = z;
  ds.m_Nodes.Append(std::move(n));
}

void AddElem(CIpDataSet& ds, int no, int prop, int ni, int nj) {
  auto e = std::make_unique<CIpElem>();
  e->m_nNo = no;
  e->m_nProp = prop;
  e->m_nNodeI = ni;
  e->m_nNodeJ = nj;
  ds.m_Elems.Append(std::move(e));
}

void AddQuad(CIpDataSet& ds, int no, int ref, int a, int b, int c, int d) {
  auto q = std::make_unique<CIpQuad>();
  q->m_nNo = no;
  q->m_nRef = ref;
  q->m_anNode[0] = a;
  q->m_anNode[1] = b;
  q->m_anNode[2] = c;
  q->m_anNode[3] = d;
  ds.m_Quads.Append(std::move(q));
}

template <class Rec, class Block>
void AddComment(Block& block) {
  auto r = std::make_unique<Rec>();
  r->m_strComment = " a comment line";
  block.Append(std::move(r));
}

void BuildKeywordModel(CIpDataSet& ds, bool onlyPlaceable = false) {
  AddNode(ds, 1, 0, 0, 0);
  AddComment<CIpNode>(ds.m_Nodes);
  AddNode(ds, 2, 10, 0, 0);
  AddNode(ds, 3, 10, 4, 1);
  AddNode(ds, 4, 0, 4, 0);
  AddNode(ds, 5, 5, 0, 0);
  AddNode(ds, 6, 5, 4, 0);

  for (int no : {1, 2, 3, 4}) {
    auto m = std::make_unique<CIpMat>();
    m->m_nNo = no * 10;
    ds.m_Mats.Append(std::move(m));
  }

  auto ps = std::make_unique<CIpPShell>();
  ps->m_nNo = 7;
  ps->m_nPsOpt = 3;
  ds.m_PShells.Append(std::move(ps));

  AddQuad(ds, 11, 7, 1, 5, 6, 4);
  AddComment<CIpQuad>(ds.m_Quads);
  AddQuad(ds, 12, 99, 6, 5, 2, 3);

  auto sec = std::make_unique<CIpSec>();
  sec->m_nNo = 10;
  sec->m_nMat = 4;
  sec->m_dVz = 1;  // reference direction: global z
  CIpBlk rect;
  rect.m_nDiv1 = 2;
  rect.m_nDiv2 = 5;
  rect.m_dY1 = 0;
  rect.m_dZ1 = 0;
  rect.m_dY2 = 0;
  rect.m_dZ2 = 10;
  rect.m_dThick = 2;
  sec->AddBlk(rect);
  CIpBlk arc;
  arc.m_nType = -1;
  arc.m_nDiv1 = 2;
  arc.m_nDiv2 = 3;
  arc.m_nMat = 2;
  arc.m_dY1 = 1;
  arc.m_dY2 = 3;
  arc.m_dZ1 = 0;
  arc.m_dZ2 = 90;
  sec->AddBlk(arc);
  CIpDck deck;
  deck.m_nCount = 4;
  sec->AddDck(deck);
  ds.m_Secs.Append(std::move(sec));

  auto decksOnly = std::make_unique<CIpSec>();
  decksOnly->m_nNo = 20;
  decksOnly->m_dVz = 1;
  decksOnly->AddDck(deck);
  ds.m_Secs.Append(std::move(decksOnly));

  AddElem(ds, 1, 10, 1, 2);
  AddElem(ds, 2, 10, 2, 3);
  if (!onlyPlaceable) {
    AddElem(ds, 3, 10, 1, 99);
    AddComment<CIpElem>(ds.m_Elems);
    AddElem(ds, 4, 55, 4, 1);
    AddElem(ds, 5, 20, 1, 4);
  }

  ds.LinkNodes();
  ds.BuildPropList();
  ds.CalcElemAxes();
}

void ThreeColours(CDispModel& m) {
  m.m_colorTable.m_nColors = 3;
  for (int i = 0; i < 3; ++i) {
    m.m_colorTable.m_aColors[i].r = 10 + i;
    m.m_colorTable.m_aColors[i].g = 20 + i;
    m.m_colorTable.m_aColors[i].b = 30 + i;
  }
}

struct BuiltKeyword {
  CIpDataSet ds;
  CModelStats stats;
  CDispModel m;
  bool ok = false;
  BuiltKeyword() {
    BuildKeywordModel(ds);
    EXPECT_TRUE(stats.CountIp(ds));
    ThreeColours(m);
    // Element 1 twice: the first row wins.
    m.m_aElemColors = {{1, 2, 1}, {11, 3, 0}, {1, 5, 0}};
    ok = m.BuildDisplayModel(ds, stats);
  }
};

TEST(DisplayModel, KeywordNodesAreScaledAboutTheCentre) {
  BuiltKeyword b;
  const CDispModel& m = b.m;
  EXPECT_TRUE(b.ok);
  EXPECT_DOUBLE_EQ(m.m_dScale, 0.2);
  EXPECT_DOUBLE_EQ(m.m_vCenter[0], -5);
  EXPECT_DOUBLE_EQ(m.m_vCenter[1], -2);
  EXPECT_DOUBLE_EQ(m.m_vCenter[2], -0.5);
  EXPECT_DOUBLE_EQ(m.m_dMaxX, 10);
  EXPECT_DOUBLE_EQ(m.m_dMinZ, 0);
  // The comment record is no node.
  ASSERT_EQ(m.m_nNodes, 6);
  EXPECT_EQ(m.m_nCurNodes, 6);
  const int nos[6] = {1, 2, 3, 4, 5, 6};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(m.m_aNodes[i].nNo, nos[i]);
    EXPECT_EQ(m.m_aCurNodes[i].nNo, nos[i]);
  }
  EXPECT_DOUBLE_EQ(m.m_aNodes[2].x, 1);
  EXPECT_DOUBLE_EQ(m.m_aNodes[2].y, 0.4);
  EXPECT_DOUBLE_EQ(m.m_aNodes[2].z, 0.1);
  EXPECT_DOUBLE_EQ(m.m_aNodes[0].x, -1);
  EXPECT_DOUBLE_EQ(m.m_aNodes[0].z, -0.1);
  EXPECT_EQ(m.m_dDispScale, 1.0);
  EXPECT_EQ(m.m_nColorMode, -1);

  // Lookups by number for the drawing.
  double pos[2][3];
  const int want[2] = {3, 1};
  EXPECT_EQ(FindNodePos(pos, 2, want, m.m_nodeIndex), 1);
  EXPECT_DOUBLE_EQ(pos[0][1], 0.4);
  EXPECT_DOUBLE_EQ(pos[1][0], -1);
  const int missing[2] = {3, 42};
  testing::internal::CaptureStdout();
  EXPECT_EQ(FindNodePos(pos, 2, missing, m.m_nodeIndex), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "cannot find pos : 42 ( 1 / 2 ) in 6\n");
  double values[4][4];
  const int corners[4] = {1, 5, 6, 4};
  EXPECT_EQ(FindElemNodePos(values, corners, m.m_nodeIndex), 1);
  EXPECT_EQ(values[3][3], 0.0);
}

TEST(DisplayModel, ModelWithoutCurrentNodesKeepsTheBaseOnes) {
  // Nodes that never move: no current-node array, the same base nodes and
  // lookups, nothing refused.
  BuiltKeyword both;
  CDispModel m;
  m.m_bCurrentNodes = false;
  ASSERT_TRUE(m.BuildDisplayModel(both.ds, both.stats));
  EXPECT_TRUE(m.m_aCurNodes.empty());
  EXPECT_EQ(m.m_nCurNodes, 0);
  EXPECT_EQ(m.m_nOverflow, 0);
  ASSERT_EQ(m.m_nNodes, both.m.m_nNodes);
  for (int i = 0; i < m.m_nNodes; ++i) {
    EXPECT_EQ(m.m_aNodes[i].nNo, both.m.m_aNodes[i].nNo);
    EXPECT_EQ(m.m_aNodes[i].x, both.m.m_aNodes[i].x);
    EXPECT_EQ(m.m_nodeIndex.Find(m.m_aNodes[i].nNo), both.m.m_nodeIndex.Find(m.m_aNodes[i].nNo));
  }
  EXPECT_EQ(m.m_curNodeIndex.Find(m.m_aNodes[0].nNo), -1);
}

TEST(DisplayModel, KeywordMaterialsAndShells) {
  BuiltKeyword b;
  const CDispModel& m = b.m;
  // Materials take the colours by position: the fourth the first colour.
  ASSERT_EQ(m.m_nMats, 4);
  EXPECT_EQ(m.m_aMats[3].nNo, 40);
  EXPECT_EQ(m.m_aMats[3].r, 10);
  EXPECT_EQ(m.m_aMats[1].g, 21);
  ASSERT_NE(m.FindMaterial(30), nullptr);
  EXPECT_EQ(m.FindMaterial(30)->b, 32);
  EXPECT_EQ(m.FindMaterial(31), nullptr);

  ASSERT_EQ(m.m_nElems4, 2);
  const DispElem& q1 = m.m_aElems4[0];
  const DispElem& q2 = m.m_aElems4[1];
  EXPECT_EQ(q1.nNo, 11);
  EXPECT_EQ(q1.nNo2, 11);
  EXPECT_EQ(q1.nProp, 7);
  EXPECT_EQ(q1.nMat, 3);  // the property's first integer
  EXPECT_EQ(q1.nColorClass, 3);
  EXPECT_EQ(q1.nMode1, 0);
  EXPECT_EQ(q1.n[1], 5);
  EXPECT_EQ(q2.nMat, 0);  // the property is missing
  EXPECT_EQ(q2.nColorClass, 0);
  // The shared edge 5-6 is flagged only in the later shell, as its edge n1-n2.
  EXPECT_EQ(q1.nEdgeFlags, 0);
  EXPECT_EQ(q2.nEdgeFlags, kEdge12);
}

TEST(DisplayModel, KeywordLinesAndSolidsFillTheirArrays) {
  BuiltKeyword b;
  const CDispModel& m = b.m;
  // Statistics: 6 element records (the comment too), 3 straight and 3 arc
  // blocks (members 1, 2 and 3 name section 10; 5 names the deck section).
  EXPECT_EQ(b.stats.m_nElems, 6);
  EXPECT_EQ(b.stats.m_nRectBlocks, 3);
  const ArcCounts arcs = CDispModel::CountArcParts(b.ds);
  EXPECT_EQ(arcs.nFaces, 2 * ArcFaceCount(2, 0, 90));
  EXPECT_EQ(arcs.nLines, 2 * ArcLineCount(0, 90));

  // Faces: two members with a box (6) and a ring sector (2n + 2rn + 2r).
  const int n = 16, r = 2;
  const int perMember = 6 + 2 * n + 2 * r * n + 2 * r;
  EXPECT_EQ(m.m_nFaces, 2 * perMember);
  // Member 3 is counted among the straight blocks but cannot be placed.
  EXPECT_EQ(static_cast<int>(m.m_aFaces.size()), 2 * perMember + 6);
  // Lines: members 1, 2, 4 and 5 (two records each), then the outlines.
  EXPECT_EQ(m.m_nLines, 4 * 2 + 2 * (4 * n + 12));
  EXPECT_EQ(static_cast<int>(m.m_aLines.size()), 6 * 2 + 2 * (4 * n + 12));
  EXPECT_EQ(m.m_nOverflow, 0);

  // Member 1: first end at node 1 (raw coordinates), colour class from the
  // first map row of element 1.
  const DispLine& a = m.m_aLines[0];
  const DispLine& e = m.m_aLines[1];
  EXPECT_EQ(a.nCode, 1);
  EXPECT_EQ(a.byOutline, 0);
  EXPECT_EQ(a.nThick, 1);
  EXPECT_EQ(a.nColorClass, 2);
  EXPECT_EQ(a.nMode1, 1);
  EXPECT_EQ(e.nCode, 0);
  EXPECT_EQ(e.p[0], 10);
  // Member 4 (no property) runs from node 4 to node 1.
  EXPECT_EQ(m.m_aLines[4].p[1], 4);
  EXPECT_EQ(m.m_aLines[5].p[1], 0);

  // The box of member 1 first: its first end face lies in the plane x = 0,
  // the strip (y -1..1, z 0..10) of the straight block; the section's
  // material stands in for the block's 0.
  const DispFace& f0 = m.m_aFaces[0];
  EXPECT_EQ(f0.nElem, 1);
  EXPECT_EQ(f0.nBlock, 1);
  EXPECT_EQ(f0.nMat, 4);
  EXPECT_EQ(f0.nSide, 1);
  EXPECT_EQ(f0.nColorClass, 2);
  for (int c = 0; c < 4; ++c) {
    EXPECT_NEAR(m.FaceCorner(f0, c)[0], 0, 1e-6);  // corners are kept in floats
    EXPECT_NEAR(std::abs(m.FaceCorner(f0, c)[1]), 1, 1e-6);
  }
  double p0[4][3], n0[3];
  m.FaceCorners(f0, p0);
  FlatNormal(p0, n0);
  EXPECT_NEAR(n0[0], -1, 1e-12);  // turns outwards, away from the member
  // Then the arc block with its own material.
  EXPECT_EQ(m.m_aFaces[6].nBlock, 2);
  EXPECT_EQ(m.m_aFaces[6].nMat, 2);
  EXPECT_EQ(m.m_aFaces[6].nSide, 0);
  // Outline records carry the block's material and the member's property.
  const DispLine& o = m.m_aLines[8];
  EXPECT_EQ(o.byOutline, 1);
  EXPECT_EQ(o.nCode, 2 * n + 1);
  EXPECT_EQ(o.nMat, 2);
  EXPECT_EQ(o.nElemInt, 10);
}

TEST(DisplayModel, SolidsAndLinesFillExactlyTheAllocation) {
  // Every member placeable: the counts are the arrays' sizes.
  CIpDataSet ds;
  BuildKeywordModel(ds, true);
  CModelStats stats;
  ASSERT_TRUE(stats.CountIp(ds));
  CDispModel m;
  ASSERT_TRUE(m.BuildDisplayModel(ds, stats));
  EXPECT_EQ(m.m_nFaces, 2 * (6 + 2 * 16 + 2 * 2 * 16 + 2 * 2));
  EXPECT_EQ(m.m_nFaces, static_cast<int>(m.m_aFaces.size()));
  EXPECT_EQ(m.m_nLines, static_cast<int>(m.m_aLines.size()));
  EXPECT_EQ(m.m_nOverflow, 0);
}

TEST(DisplayModel, KeywordModelWithoutNodes) {
  CIpDataSet ds;
  AddNode(ds, 8, 3, -2, 7);
  CModelStats stats;
  ASSERT_TRUE(stats.CountIp(ds));
  CDispModel m;
  // No colour table: the materials stay black instead of dividing by 0.
  m.BuildDisplayModel(ds, stats);
  EXPECT_EQ(m.m_dScale, 1.0);
  ASSERT_EQ(m.m_nNodes, 1);
  EXPECT_EQ(m.m_aNodes[0].x, 0);
  EXPECT_EQ(m.m_aNodes[0].y, 0);
  EXPECT_EQ(m.m_aNodes[0].z, 0);

  CIpDataSet empty;
  ASSERT_TRUE(stats.CountIp(empty));
  m.BuildDisplayModel(empty, stats);
  EXPECT_EQ(m.m_nNodes, 0);
  EXPECT_EQ(m.m_dScale, 1.0);
  EXPECT_EQ(m.m_nFaces, 0);
  EXPECT_EQ(m.m_nLines, 0);
}

TEST(DisplayModel, ArraysNeverOverflow) {
  BuiltKeyword b;
  CDispModel m;
  ThreeColours(m);
  // Too little room everywhere: nothing is written past an array's end.
  ASSERT_TRUE(m.AllocArrays(5, 3, 2, 1, 1));
  m.BuildNodesAndShells(b.ds);
  m.BuildLineMembers(b.ds);
  m.BuildMemberSolids(b.ds);
  EXPECT_EQ(m.m_nNodes, 2);
  EXPECT_EQ(m.m_nElems4, 1);
  EXPECT_EQ(m.m_nMats, 1);
  EXPECT_EQ(m.m_nLines, 2);
  EXPECT_EQ(m.m_nFaces, 5);
  EXPECT_GT(m.m_nOverflow, 0);

  // Sizes that cannot be allocated are refused with a message.
  std::string error;
  EXPECT_FALSE(m.AllocArrays(std::int64_t{1} << 40, 2, 2, 0, 0, &error));
  EXPECT_TRUE(m.m_aFaces.empty());
  EXPECT_EQ(m.m_aLines.size(), 2u);
  EXPECT_NE(error.find("face"), std::string::npos);
  m.FreeDisplayArrays(true);
  EXPECT_EQ(m.m_nNodes, 0);
  EXPECT_EQ(m.m_nFaces, 0);
}

TEST(DisplayModel, EdgeFlagsMatchTheFullPairSearch) {
  // A strip of quads, some repeated and some turned round, against the
  // comparison of every pair.
  CDispModel m;
  ASSERT_TRUE(m.AllocArrays(0, 0, 0, 40, 0));
  int n = 0;
  for (int i = 0; i < 12; ++i) {
    DispElem& e = m.m_aElems4[n++];
    const int a = i, b = i + 1, c = i + 101, d = i + 100;
    if (i % 3 == 1) {
      e.n[0] = c, e.n[1] = b, e.n[2] = a, e.n[3] = d;
    } else {
      e.n[0] = a, e.n[1] = b, e.n[2] = c, e.n[3] = d;
    }
  }
  m.m_aElems4[n++] = m.m_aElems4[4];
  m.m_aElems4[n] = m.m_aElems4[0];
  m.m_aElems4[n].n[2] = m.m_aElems4[n].n[3] = 0;  // degenerate
  ++n;
  for (int i = 0; i < 2; ++i) {  // an edge between nodes -1 and -1, twice
    DispElem& e = m.m_aElems4[n++];
    e.n[0] = e.n[1] = -1, e.n[2] = 7 + i, e.n[3] = -1;
  }
  m.m_nElems4 = n;
  for (int i = 0; i < n; ++i) m.m_aElems4[i].nEdgeFlags = 0;
  m.ComputeEdgeFlags();
  for (int t = 0; t < n; ++t) {
    int expected = 0;
    const DispElem& et = m.m_aElems4[t];
    for (int s = 0; s < t; ++s) {
      const DispElem& es = m.m_aElems4[s];
      for (int k = 0; k < 4; ++k) {
        for (int j = 0; j < 4; ++j) {
          const int a = es.n[k], b = es.n[(k + 1) % 4];
          const int c = et.n[j], d = et.n[(j + 1) % 4];
          if ((a == c && b == d) || (a == d && b == c)) expected |= 1 << j;
        }
      }
    }
    EXPECT_EQ(et.nEdgeFlags, expected) << t;
  }
}

// ---------------------------------------------------------------------------
// The same structure as an analysis input.

template <class T>
T* Add(CFbRecordList<T>& list, int no) {
  auto r = std::make_unique<T>();
  r->m_nNo = no;
  T* raw = r.get();
  EXPECT_EQ(list.Append(std::move(r)), 1);
  return raw;
}

void BuildInputModel(CFbModel& fb) {
  const double xyz[6][3] = {{0, 0, 0}, {10, 0, 0}, {10, 4, 1}, {0, 4, 0}, {5, 0, 0}, {5, 4, 0}};
  for (int i = 0; i < 6; ++i) {
    CFbNode* n = Add(fb.m_aNodes, i + 1);
    n->m_dX = xyz[i][0];
    n->m_dY = xyz[i][1];
    n->m_dZ = xyz[i][2];
  }
  for (int no : {10, 20, 30, 40}) Add(fb.m_aMats, no);

  CFbSec* fibre = Add(fb.m_aSecs, 10);
  fibre->m_pFiber = std::make_unique<CFbFiberSec>();
  fibre->m_pFiber->m_vRef.m_dVz = 1;
  fibre->m_pFiber->m_nMat = 4;
  CFbSecBlock rect;
  rect.m_nCols = 2;
  rect.m_nRows = 5;
  rect.m_dC0 = 0, rect.m_dC15 = 0, rect.m_dC30 = 0, rect.m_dC45 = 10, rect.m_dC75 = 2;
  CFbSecBlock arc;
  arc.m_nShape = -1;
  arc.m_nCols = 2;
  arc.m_nRows = 3;
  arc.m_nMat = 2;
  arc.m_dC0 = 1, arc.m_dC30 = 3, arc.m_dC15 = 0, arc.m_dC45 = 90;
  fibre->m_pFiber->m_aBlocks = {rect, arc};
  fibre->m_pFiber->m_nBlocks = 2;

  CFbSec* shell = Add(fb.m_aSecs, 30);
  shell->m_pShell = std::make_unique<CFbShellSec>();
  shell->m_pShell->m_anInfo[0] = 3;

  CFbSec* scalar = Add(fb.m_aSecs, 40);
  scalar->m_pScalar = std::make_unique<CFbScalarSec>();
  scalar->m_pScalar->m_vRef.m_dVz = 1;

  struct {
    int no, i, j, sec;
  } elems[] = {{1, 1, 2, 10}, {2, 2, 3, 10}, {3, 99, 2, 10}, {4, 4, 1, 40}, {5, 1, 4, 55}};
  for (const auto& e : elems) {
    CFbElem* el = Add(fb.m_aElems, e.no);
    el->m_nNodeI = e.i;
    el->m_nNodeJ = e.j;
    el->m_nSec = e.sec;
    el->m_nExtra = 77;
  }
  // Quads name their section by position: 2 is the shell section.
  CFbQuad* q1 = Add(fb.m_aQuads, 11);
  q1->m_nSec = 2;
  const int c1[4] = {1, 5, 6, 4}, c2[4] = {6, 5, 2, 3};
  for (int k = 0; k < 4; ++k) q1->m_anNodes[k] = c1[k];
  CFbQuad* q2 = Add(fb.m_aQuads, 12);
  q2->m_nSec = 9;
  for (int k = 0; k < 4; ++k) q2->m_anNodes[k] = c2[k];
  fb.Link();
}

TEST(DisplayModel, AnalysisInputMatchesTheKeywordModel) {
  CFbModel fb;
  BuildInputModel(fb);
  CModelStats stats;
  ASSERT_TRUE(stats.CountFb(fb));
  CDispModel m;
  ThreeColours(m);
  EXPECT_TRUE(m.BuildDisplayModelIn(fb, stats));

  BuiltKeyword kw;
  EXPECT_EQ(m.m_dScale, kw.m.m_dScale);
  for (int j = 0; j < 3; ++j) EXPECT_EQ(m.m_vCenter[j], kw.m.m_vCenter[j]);
  ASSERT_EQ(m.m_nNodes, 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(m.m_aNodes[i].x, kw.m.m_aNodes[i].x);
    EXPECT_EQ(m.m_aNodes[i].y, kw.m.m_aNodes[i].y);
    EXPECT_EQ(m.m_aNodes[i].z, kw.m.m_aNodes[i].z);
  }
  ASSERT_EQ(m.m_nMats, 4);
  EXPECT_EQ(m.m_aMats[3].r, 10);
  ASSERT_EQ(m.m_nElems4, 2);
  EXPECT_EQ(m.m_aElems4[0].nMat, 3);
  EXPECT_EQ(m.m_aElems4[0].nProp, 2);
  EXPECT_EQ(m.m_aElems4[1].nMat, 0);
  EXPECT_EQ(m.m_aElems4[1].nEdgeFlags, kEdge12);

  // Element 3's first node is missing: no lines, no solid (its section is
  // fine). Element 4 has no fibre section and element 5 no section at all:
  // lines only.
  const int n = 16, r = 2;
  const int perMember = 6 + 2 * n + 2 * r * n + 2 * r;
  EXPECT_EQ(m.m_nFaces, 2 * perMember);
  EXPECT_EQ(m.m_nLines, 4 * 2 + 2 * (4 * n + 12));
  EXPECT_EQ(m.m_nOverflow, 0);
  // The element's integer is passed through to the arc outlines.
  EXPECT_EQ(m.m_aLines[4 * 2].nElemInt, 77);
  EXPECT_EQ(m.m_aFaces[0].nMat, 4);
  EXPECT_EQ(m.m_aFaces[6].nMat, 2);
  // The faces of member 1 are those of the keyword model.
  for (int i = 0; i < perMember; ++i) {
    for (int c = 0; c < 4; ++c)
      for (int j = 0; j < 3; ++j)
        EXPECT_NEAR(m.FaceCorner(m.m_aFaces[i], c)[j], kw.m.FaceCorner(kw.m.m_aFaces[i], c)[j], 1e-12) << i;
  }
}

TEST(DisplayModel, NodeLookupsOverAPlainArray) {
  // The array forms search from the front: node 7 appears twice and the
  // first record wins; a missing number stops the lookup with the
  // diagnostic (number, its index, number wanted, node count) and keeps
  // what was written before it.
  DispNode nodes[4];
  const int nos[4] = {7, 3, 7, 9};
  for (int i = 0; i < 4; ++i) {
    nodes[i].nNo = nos[i];
    nodes[i].x = i + 0.5;
    nodes[i].y = -i;
    nodes[i].z = 10 * i;
    for (int j = 0; j < 4; ++j) nodes[i].dVal[j] = 100 * i + j;
  }
  CDispNodeIndex index;
  index.Build(nodes, 4);

  struct Case {
    int nWanted;
    int want[4];
    int result;
    const char* printed;
    int filled;  // positions written
  };
  const Case cases[] = {
      {3, {9, 7, 3}, 1, "", 3},
      {2, {3, 5}, 0, "cannot find pos : 5 ( 1 / 2 ) in 4\n", 1},
      {3, {42, 7, 3}, 0, "cannot find pos : 42 ( 0 / 3 ) in 4\n", 0},
      {0, {}, 1, "", 0},
  };
  for (const Case& c : cases) {
    double a[4][3] = {}, b[4][3] = {};
    testing::internal::CaptureStdout();
    EXPECT_EQ(FindNodePos(a, 4, c.nWanted, c.want, nodes), c.result);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
    testing::internal::CaptureStdout();
    EXPECT_EQ(FindNodePos(b, c.nWanted, c.want, index), c.result);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
    for (int i = 0; i < c.filled; ++i) {
      const int first = c.want[i] == 7 ? 0 : c.want[i] == 3 ? 1 : 3;
      EXPECT_EQ(a[i][0], nodes[first].x) << i;
      EXPECT_EQ(a[i][2], nodes[first].z) << i;
      for (int j = 0; j < 3; ++j) EXPECT_EQ(a[i][j], b[i][j]) << i;
    }
  }

  double v[4][4] = {};
  const int corners[4] = {9, 7, 3, 7};
  EXPECT_EQ(FindElemNodePos(v, 4, corners, nodes), 1);
  EXPECT_EQ(v[0][3], 303);
  EXPECT_EQ(v[1][0], 0);    // the first node 7, not the second
  EXPECT_EQ(v[3][2], 2);
  EXPECT_EQ(v[2][1], 101);
  const int lost[4] = {9, 7, 8, 3};
  testing::internal::CaptureStdout();
  EXPECT_EQ(FindElemNodePos(v, 4, lost, nodes), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "cannot find pos : 8 ( 2 / 4 ) in 4\n");
  // Fewer nodes than the array holds: only the first nodeCount are searched.
  testing::internal::CaptureStdout();
  EXPECT_EQ(FindElemNodePos(v, 3, corners, nodes), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "cannot find pos : 9 ( 0 / 4 ) in 3\n");
}

TEST(DisplayModel, NodeIndexFindsWhatTheFrontSearchFinds) {
  // Dense numbers (a table by number) and spread ones (hashed), with
  // repeats, negatives and the ends of the int range: every lookup gives
  // the first node with the number, as the search from the front does.
  struct Case {
    const char* name;
    std::vector<int> nos;
  };
  std::vector<int> dense, spread, clash;
  for (int i = 0; i < 3000; ++i) dense.push_back(i % 7 == 3 ? i : 2 * i);  // 10 twice, say
  for (int i = 0; i < 3000; ++i) spread.push_back((i % 2 ? -1 : 1) * (i * 100003 % 2000000000) + i % 5);
  for (unsigned i = 0; i < 300; ++i) clash.push_back(static_cast<int>(i << 24));  // the same low bits
  const Case cases[] = {
      {"dense", dense},
      {"spread", spread},
      {"clash", clash},
      {"ends", {INT32_MIN, INT32_MAX, 0, INT32_MIN, -1, INT32_MAX}},
      {"one", {5}},
  };
  for (const Case& c : cases) {
    std::vector<DispNode> nodes(c.nos.size());
    for (size_t i = 0; i < nodes.size(); ++i) nodes[i].nNo = c.nos[i];
    CDispNodeIndex index, cur;
    index.Build(nodes.data(), static_cast<int>(nodes.size()));
    std::vector<DispNode> copy = nodes;
    cur.Build(copy.data(), static_cast<int>(copy.size()), index);
    std::vector<int> asked = c.nos;
    for (int no : c.nos) {  // the neighbours, wrapping at the ends
      asked.push_back(static_cast<int>(static_cast<unsigned>(no) + 1u));
      asked.push_back(static_cast<int>(static_cast<unsigned>(no) - 1u));
    }
    for (int no : asked) {
      int want = -1;
      for (size_t i = 0; i < nodes.size() && want < 0; ++i)
        if (nodes[i].nNo == no) want = static_cast<int>(i);
      ASSERT_EQ(index.Find(no), want) << c.name << " " << no;
      ASSERT_EQ(cur.Find(no), want) << c.name << " " << no;
    }
    EXPECT_EQ(cur.Nodes(), copy.data()) << c.name;
  }
  // An array whose numbers differ gets a table of its own.
  DispNode a[2], b[2];
  a[0].nNo = 1, a[1].nNo = 2, b[0].nNo = 2, b[1].nNo = 1;
  CDispNodeIndex ia, ib, empty;
  ia.Build(a, 2);
  ib.Build(b, 2, ia);
  EXPECT_EQ(ib.Find(2), 0);
  EXPECT_EQ(ib.Find(1), 1);
  empty.Build(nullptr, 5);
  EXPECT_EQ(empty.Count(), 0);
  EXPECT_EQ(empty.Find(0), -1);
}

TEST(DisplayModel, ArcCountsOfBothModels) {
  // The allocation counts of the arc blocks, one function each for faces
  // and lines, agree with the counts taken together and with what the
  // builders append.
  BuiltKeyword kw;
  CFbModel fb;
  BuildInputModel(fb);
  const std::int64_t faces = 2 * ArcFaceCount(2, 0, 90);
  const std::int64_t lines = 2 * ArcLineCount(0, 90);
  struct Case {
    const char* model;
    std::int64_t faces, lines;
    ArcCounts both;
  };
  const Case cases[] = {
      {"keyword", CountArcFaces(kw.ds), CountArcLines(kw.ds), CDispModel::CountArcParts(kw.ds)},
      {"input", CountArcFaces(fb), CountArcLines(fb), CDispModel::CountArcParts(fb)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.faces, c.both.nFaces) << c.model;
    EXPECT_EQ(c.lines, c.both.nLines) << c.model;
  }
  EXPECT_EQ(cases[0].faces, faces);
  EXPECT_EQ(cases[0].lines, lines);
  // Element 3 of the analysis input names the arc section but cannot be
  // placed: it is not counted.
  EXPECT_EQ(cases[1].faces, faces);
  EXPECT_EQ(cases[1].lines, lines);
  CIpDataSet empty;
  EXPECT_EQ(CountArcFaces(empty), 0);
  EXPECT_EQ(CountArcLines(empty), 0);
}

TEST(DisplayModel, HugeArcCountsSaturateAndAreRefused) {
  // Arc blocks of 2^31 - 1 radial divisions over 2880 degrees, used by many
  // members: the sums stop short of overflowing, the allocation is refused
  // and the build passes the blocks over quickly.
  CIpDataSet ds;
  AddNode(ds, 1, 0, 0, 0);
  AddNode(ds, 2, 10, 0, 0);
  auto sec = std::make_unique<CIpSec>();
  sec->m_nNo = 10;
  sec->m_dVz = 1;
  CIpBlk arc;
  arc.m_nType = -1;
  arc.m_nDiv1 = INT32_MAX;
  arc.m_dY1 = 1;
  arc.m_dY2 = 2;
  arc.m_dZ2 = 1e9;
  for (int i = 0; i < 600; ++i) sec->AddBlk(arc);
  ds.m_Secs.Append(std::move(sec));
  for (int e = 1; e <= 60; ++e) AddElem(ds, e, 10, 1, 2);
  ds.LinkNodes();
  ds.BuildPropList();
  ds.CalcElemAxes();

  struct Case {
    const char* what;
    std::int64_t value;
  };
  const ArcCounts arcs = CDispModel::CountArcParts(ds);
  const Case cases[] = {{"faces", arcs.nFaces}, {"lines", arcs.nLines}};
  for (const Case& c : cases) {
    EXPECT_GT(c.value, 0) << c.what;
    EXPECT_LE(c.value, ArcCounts::kSaturated) << c.what;
  }
  EXPECT_EQ(arcs.nFaces, ArcCounts::kSaturated);

  CModelStats stats;  // zero: only the arc counts size the arrays
  CDispModel m;
  std::string error;
  EXPECT_FALSE(m.AllocDisplayArrays(stats, arcs, &error));
  EXPECT_NE(error.find("face"), std::string::npos);
  m.BuildNodesAndShells(ds);
  m.BuildLineMembers(ds);
  m.BuildMemberSolids(ds);
  EXPECT_EQ(m.m_nFaces, 0);
  EXPECT_EQ(m.m_nLines, 0);
  EXPECT_GT(m.m_nOverflow, 0);
}

}  // namespace

// A shell's corners moved by factor x its nodes' first three values; a
// missing node gives no corners.
TEST(DisplayModel, DisplacedShellCornersFollowTheFactor) {
  DispNode nodes[4];
  for (int i = 0; i < 4; ++i) {
    nodes[i].nNo = i + 1;
    nodes[i].x = i;
    nodes[i].y = 2 * i;
    nodes[i].z = -i;
    nodes[i].dVal[0] = 0.5;
    nodes[i].dVal[1] = -1;
    nodes[i].dVal[2] = i;
    nodes[i].dVal[3] = 99;  // not a displacement
  }
  CDispNodeIndex index;
  index.Build(nodes, 4);
  const int shell[4] = {4, 3, 2, 1};
  for (const double factor : {0.0, 1.0, -2.5}) {
    double p[4][3];
    ASSERT_EQ(DisplacedShellCorners(p, shell, factor, index), 1) << factor;
    for (int k = 0; k < 4; ++k) {
      const DispNode& n = nodes[shell[k] - 1];
      EXPECT_DOUBLE_EQ(p[k][0], n.x + factor * 0.5) << factor;
      EXPECT_DOUBLE_EQ(p[k][1], n.y - factor) << factor;
      EXPECT_DOUBLE_EQ(p[k][2], n.z + factor * n.dVal[2]) << factor;
    }
  }
  const int lost[4] = {1, 2, 5, 3};
  double p[4][3];
  testing::internal::CaptureStdout();
  EXPECT_EQ(DisplacedShellCorners(p, lost, 1.0, index), 0);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("cannot find pos : 5"), std::string::npos);
}

// Every change of the arrays gives a generation no earlier state had, also
// one that leaves them at their address and count.
TEST(DisplayModel, EveryRebuildGivesANewGeneration) {
  BuiltKeyword b;
  CDispModel& m = b.m;
  CDispModel other;
  std::vector<std::uint64_t> seen = {other.Generation(), m.Generation()};
  EXPECT_NE(seen[0], seen[1]);
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"solids built again", [&] { m.BuildMemberSolids(b.ds); }},
      {"faces cleared", [&] { m.ClearFaceRecords(); }},
      {"lines built again", [&] { m.BuildLineMembers(b.ds); }},
      {"nodes indexed", [&] { m.IndexNodes(); }},
      {"counts reset", [&] { m.ResetModelCounts(); }},
      {"whole model built", [&] { m.BuildDisplayModel(b.ds, b.stats); }},
      {"freed", [&] { m.FreeDisplayArrays(false); }},
  };
  for (const auto& [what, change] : changes) {
    const void* faces = m.m_aFaces.data();
    const int nFaces = m.m_nFaces;
    change();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), m.Generation()), 0) << what;
    seen.push_back(m.Generation());
    if (std::string(what) == "solids built again") {
      // The case an address key missed.
      EXPECT_EQ(m.m_aFaces.data(), faces);
      EXPECT_EQ(m.m_nFaces, nFaces);
    }
  }
}

// A missing node is reported once per node and a failed element once per
// element over one index, however often the drawing looks; a new build of
// the index reports them again.
TEST(DisplayModel, MissingNodesAreReportedOncePerIndexBuild) {
  DispNode nodes[3] = {};
  for (int i = 0; i < 3; ++i) nodes[i].nNo = i + 1;
  CDispNodeIndex index;
  const int want[2] = {1, 42}, other[2] = {43, 2};
  const std::string expected =
      "cannot find pos : 42 ( 1 / 2 ) in 3\n"
      " cannot find node of tria4( 0 / 2 )\n"
      " cannot find node of tria3( 0 / 2 )\n"
      " cannot find node of tria4( 1 / 2 )\n"
      "cannot find pos : 43 ( 0 / 2 ) in 3\n";
  for (int build = 0; build < 2; ++build) {
    index.Build(nodes, 3);
    testing::internal::CaptureStdout();
    for (int frame = 0; frame < 3; ++frame) {
      double p[4][3], v[4][4];
      const int corners[4] = {1, 2, 42, 3};
      EXPECT_EQ(FindNodePos(p, 2, want, index), 0);
      EXPECT_EQ(FindElemNodePos(v, corners, index), 0);
      ReportElemMissingNode(4, 0, 2, index);
      ReportElemMissingNode(3, 0, 2, index);
      ReportElemMissingNode(4, 1, 2, index);
      EXPECT_EQ(FindNodePos(p, 2, other, index), 0);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected) << "build " << build;
  }
}

// Grouping by a small key keeps index order inside each group; no index, or
// a key nobody has, gives empty groups.
TEST(GroupByKeyTest, GroupsKeepIndexOrder) {
  struct Case {
    std::vector<int> keys;
    std::vector<int> order, start;
  };
  const Case cases[] = {
      {{2, 0, 2, 1, 0, 2}, {1, 4, 3, 0, 2, 5}, {0, 2, 3, 6}},
      {{1, 1, 1}, {0, 1, 2}, {0, 0, 3, 3}},
      {{}, {}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    std::vector<int> order, start;
    GroupByKey(static_cast<int>(c.keys.size()), 3, [&](int i) { return c.keys[static_cast<size_t>(i)]; },
               order, start);
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(start, c.start);
  }
}

// Corners are kept in floats: near zero and a million millimetres away, with
// the model normalised or not yet, each comes back within a ten-millionth of
// the model's extent, and the drawing's floats are those it would compute.
TEST(DisplayModel, FloatCornersKeepThePrecisionOfTheExtent) {
  const double extent = 1e5;
  for (const double x0 : {0.0, 1e6, -3e7}) {
    for (const bool normalised : {true, false}) {
      CDispModel m;
      ASSERT_TRUE(m.AllocArrays(1, 0, 0, 0, 0));
      if (normalised) {
        m.WidenBox(x0, -extent / 2, 0);
        m.WidenBox(x0 + extent, extent / 2, 3e3);
        m.ComputeScale();
      }
      const double p[4][3] = {{x0 + 0.1, -extent / 2, 0.3},
                              {x0 + extent, 1.0 / 3, 2999.7},
                              {x0 + 12345.678, extent / 2, 1e-3},
                              {x0 + 77.7, 0, 1500}};
      DispFace f;
      f.nCorners = 4;
      ASSERT_TRUE(m.AddFace(f, p));
      double q[4][3];
      m.FaceCorners(m.m_aFaces[0], q);
      for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(q[k][j], p[k][j], 1e-7 * extent) << x0 << " " << k << j;
      const float* kept = m.KeptCorner(m.m_aFaces[0].c[1], m.m_vCenter, m.m_dScale);
      if (!normalised) {
        EXPECT_EQ(kept, nullptr);
        continue;
      }
      ASSERT_NE(kept, nullptr);
      for (int j = 0; j < 3; ++j)
        EXPECT_EQ(kept[j], static_cast<float>((p[1][j] + m.m_vCenter[j]) * m.m_dScale));
      EXPECT_EQ(m.KeptCorner(m.m_aFaces[0].c[1], m.m_vCenter, 2 * m.m_dScale), nullptr);
      EXPECT_EQ(m.KeptCorner(4, m.m_vCenter, m.m_dScale), nullptr);  // outside the array
    }
  }
}
