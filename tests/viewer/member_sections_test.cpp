#include "viewer/member_sections.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Both models' blocks follow one rule: numbered by position, a block
// material below 1 taking the section's, arc fields only for an arc block.
TEST(MemberSections, BlocksOfBothModelsFollowOneRule) {
  struct Case {
    int shape;     // negative: arc
    int blockMat;  // section material 9
    int wantMat;
  };
  const Case cases[] = {{0, 3, 3}, {0, 0, 9}, {-1, -2, 9}, {-1, 1, 1}};
  CFbFiberSec fsec;
  fsec.m_nMat = 9;
  CIpSec ksec;
  ksec.m_nMat = 9;
  for (const Case& c : cases) {
    CFbSecBlock& fb = fsec.m_aBlocks.emplace_back();
    fb.m_nShape = c.shape;
    fb.m_nMat = c.blockMat;
    fb.m_nCols = 4;
    fb.m_dC0 = 1, fb.m_dC30 = 2, fb.m_dC15 = 0, fb.m_dC45 = 90, fb.m_dC75 = 0.5;
    fb.m_dCy = 0.25, fb.m_dCz = -0.25;
    auto kb = std::make_unique<CIpBlk>();
    kb->m_nType = c.shape;
    kb->m_nMat = c.blockMat;
    kb->m_nDiv1 = 4;
    kb->m_dY1 = 1, kb->m_dY2 = 2, kb->m_dZ1 = 0, kb->m_dZ2 = 90, kb->m_dThick = 0.5;
    kb->m_dYc = 0.25, kb->m_dZc = -0.25;
    ksec.m_pBlkList.push_back(std::move(kb));
  }
  std::vector<SolidBlock> fromInput, fromKeyword;
  ForEachSolidBlock(fsec, [&](const CFbSecBlock&, const SolidBlock& b) { fromInput.push_back(b); });
  ForEachSolidBlock(ksec, [&](const CIpBlk&, const SolidBlock& b) { fromKeyword.push_back(b); });
  ASSERT_EQ(fromInput.size(), std::size(cases));
  ASSERT_EQ(fromKeyword.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    for (const SolidBlock* b : {&fromInput[i], &fromKeyword[i]}) {
      SCOPED_TRACE(i);
      EXPECT_EQ(b->nBlock, static_cast<int>(i) + 1);
      EXPECT_EQ(b->nMat, cases[i].wantMat);
      EXPECT_EQ(b->bArc, cases[i].shape < 0);
      if (b->bArc) {
        EXPECT_EQ(b->r1, 1);
        EXPECT_EQ(b->r2, 2);
        EXPECT_EQ(b->a1, 0);
        EXPECT_EQ(b->a2, 90);
        EXPECT_EQ(b->yc, 0.25);
        EXPECT_EQ(b->zc, -0.25);
        EXPECT_EQ(b->nRadial, 4);
      } else {
        EXPECT_EQ(b->r1, 0);  // a straight block carries its corners only
        EXPECT_EQ(b->nRadial, 0);
      }
    }
    // The same strip gives the same corners in both models.
    for (int k = 0; k < 4; ++k) {
      EXPECT_DOUBLE_EQ(fromInput[i].y[k], fromKeyword[i].y[k]);
      EXPECT_DOUBLE_EQ(fromInput[i].z[k], fromKeyword[i].z[k]);
    }
  }
}

TEST(MemberSections, OnlyLinkedMembersWithAxesGetASolid) {
  CFbNode ni, nj;
  CFbSec sec;
  sec.m_pFiber = std::make_unique<CFbFiberSec>();
  struct Case {
    bool nodeI, nodeJ, section, axes, want;
  };
  const Case cases[] = {{true, true, true, true, true},   {false, true, true, true, false},
                        {true, false, true, true, false}, {true, true, false, true, false},
                        {true, true, true, false, false}};
  for (const Case& c : cases) {
    CFbElem e;
    e.m_pNodeI = c.nodeI ? &ni : nullptr;
    e.m_pNodeJ = c.nodeJ ? &nj : nullptr;
    e.m_pSec = c.section ? &sec : nullptr;
    e.m_bAxes = c.axes;
    EXPECT_EQ(SolidSection(&e) != nullptr, c.want);
  }
  EXPECT_EQ(SolidSection(static_cast<const CFbElem*>(nullptr)), nullptr);
  EXPECT_EQ(SolidSection(static_cast<const CIpElem*>(nullptr)), nullptr);

  // A keyword comment line is never a member.
  CIpNode kn;
  CIpElem comment;
  comment.m_strComment = " note";
  comment.m_pNodeI = comment.m_pNodeJ = &kn;
  comment.m_bAxis = 1;
  EXPECT_FALSE(IsLiveRecord(&comment));
  EXPECT_EQ(SolidSection(&comment), nullptr);
}

}  // namespace
