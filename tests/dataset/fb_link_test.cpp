// Linking the analysis input: records, element axes, shell sections, the
// model statistics and the corners of fibre blocks.
#include <gtest/gtest.h>

#include "dataset/fb_model.h"
#include "dataset/model_stats.h"
#include "results/test_run_writer.h"

namespace {

using testrun::RunSpec;
using testrun::SmallFrame;

int Load(const RunSpec& s, CFbModel& m) {
  auto ar = plat::LineReader::FromString(testrun::InText(s));
  return m.Serialize(*ar, nullptr);
}

TEST(FbLink, ElementsGetNodesSectionsAndAxes) {
  CFbModel m;
  ASSERT_EQ(Load(SmallFrame(1), m), 1);
  m.Link();
  const CFbElem* beam = m.m_aElems.GetAt(1);  // node 2 (0,0,3) to node 3 (4,0,3)
  ASSERT_TRUE(beam->m_pNodeI && beam->m_pNodeJ && beam->m_pSec);
  EXPECT_EQ(beam->m_pNodeI->m_nNo, 2);
  EXPECT_EQ(beam->m_pNodeJ->m_nNo, 3);
  EXPECT_EQ(beam->m_pSec->m_nNo, 101);
  // Along X with V = (0, 0, 1).
  EXPECT_EQ(beam->m_bAxes, 1);
  const double want[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(beam->m_adAxis1[k], want[0][k], 1e-12);
    EXPECT_NEAR(beam->m_adAxis2[k], want[1][k], 1e-12);
    EXPECT_NEAR(beam->m_adAxis3[k], want[2][k], 1e-12);
  }
  // A column along Z with V = (0, 0, 1) is parallel to it: no axes.
  EXPECT_EQ(m.m_aElems.GetAt(0)->m_bAxes, 0);
  // The scalar section's V = (0, 1, 0) on a column from (4,0,3) to (4,0,0).
  const CFbElem* col = m.m_aElems.GetAt(2);
  EXPECT_EQ(col->m_bAxes, 1);
  EXPECT_NEAR(col->m_adAxis1[2], -1.0, 1e-12);
  EXPECT_NEAR(col->m_adAxis3[1], 1.0, 1e-12);

  const CFbElem* e3 = m.m_aElems2.GetAt(0);
  ASSERT_TRUE(e3->m_pNodeK);
  EXPECT_EQ(e3->m_pNodeK->m_nNo, 5);
  EXPECT_EQ(e3->m_pSec->m_nNo, 101);

  const CFbQuad* q = m.m_aQuads.GetAt(0);
  ASSERT_TRUE(q->m_pShell);
  EXPECT_EQ(q->m_pShell, m.m_aSecs.GetAt(2)->m_pShell.get());
  EXPECT_EQ(q->m_apNodes[1]->m_nNo, 5);
}

TEST(FbLink, DuplicateNodeNumbersLinkTheFirst) {
  RunSpec s = SmallFrame(1);
  s.nodes[4].no = 2;  // node position 5 also carries number 2
  CFbModel m;
  ASSERT_EQ(Load(s, m), 1);
  m.Link();
  EXPECT_EQ(m.m_aElems.GetAt(1)->m_pNodeI, m.m_aNodes.GetAt(1));
}

TEST(FbLink, MissingReferencesStayNull) {
  RunSpec s = SmallFrame(1);
  s.quads[0].sec = 2;  // a scalar section: no shell part
  s.quads[1].sec = 9;  // past the sections
  CFbModel m;
  ASSERT_EQ(Load(s, m), 1);
  m.m_aElems.GetAt(0)->m_nSec = 555;  // a number no section has
  m.Link();
  EXPECT_EQ(m.m_aQuads.GetAt(0)->m_pShell, nullptr);
  EXPECT_EQ(m.m_aQuads.GetAt(1)->m_pShell, nullptr);
  EXPECT_EQ(m.m_aElems.GetAt(0)->m_pSec, nullptr);
  EXPECT_EQ(m.m_aElems.GetAt(0)->m_bAxes, 0);
}

TEST(FbLink, ModelStatistics) {
  CFbModel m;
  ASSERT_EQ(Load(SmallFrame(1), m), 1);
  m.Link();
  CModelStats st;
  ASSERT_TRUE(st.CountFb(m));
  // Elements 11 and 12 share the fibre section (two blocks, one deck).
  EXPECT_EQ(st.m_nElems, 3);
  EXPECT_EQ(st.m_nQuads, 2);
  EXPECT_EQ(st.m_nRectBlocks, 2);
  EXPECT_EQ(st.m_nArcBlocks, 2);
  EXPECT_EQ(st.m_nFibers, 2 * (6 + 2));
  EXPECT_EQ(st.m_nDecks, 2);
  EXPECT_EQ(st.m_nDeckRows, 2);
  EXPECT_EQ(st.m_nNodes, 6);
  EXPECT_EQ(st.m_nMats, 2);
}

TEST(FbLink, FibreBlockCorners) {
  struct Case {
    int shape;
    double c0, c15, c30, c45, c75, cy, cz;
    double y[4], z[4];
  } const cases[] = {
      // A strip of width 2 along z from (0, 0) to (0, 10).
      {0, 0, 0, 0, 10, 2, 0, 0, {-1, -1, 1, 1}, {0, 10, 10, 0}},
      // Along y: the width goes to z.
      {0, 0, 0, 4, 0, 2, 0, 0, {0, 4, 4, 0}, {1, 1, -1, -1}},
      // A zero-length strip has no corners.
      {0, 1, 1, 1, 1, 2, 0, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
      // Radius 5 about (0, 0) from 0 to 90 degrees.
      {-1, 0, 0, 5, 90, 0, 0, 0, {0, 0, 5, 5}, {0, 5, 5, 0}},
      // Half a ring about (1, 2) from -90 to 90 degrees.
      {-1, 1, -90, 3, 90, 0, 1, 2, {1, 1, 4, 4}, {-1, 5, 5, -1}},
  };
  for (const Case& c : cases) {
    CFbSecBlock b;
    b.m_nShape = c.shape;
    b.m_dC0 = c.c0, b.m_dC15 = c.c15, b.m_dC30 = c.c30, b.m_dC45 = c.c45, b.m_dC75 = c.c75;
    b.m_dCy = c.cy, b.m_dCz = c.cz;
    double y[4], z[4];
    GetFiberBlockBounds(b, y, z);
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(y[k], c.y[k], 1e-6) << c.shape << " " << k;
      EXPECT_NEAR(z[k], c.z[k], 1e-6) << c.shape << " " << k;
    }
  }
}

}  // namespace
