#include "viewer/member_sections.h"

#include "model/prop_records.h"

namespace {

// The rule both models' blocks follow: the block's place in its section
// numbers its faces, and a block material below 1 takes the section's.
SolidBlock Numbered(SolidBlock b, int position, int blockMat, int secMat) {
  b.nBlock = position;
  b.nMat = blockMat >= 1 ? blockMat : secMat;
  return b;
}

void CopyAxes(MemberFrame& f, const double ax[3], const double ay[3], const double az[3]) {
  for (int j = 0; j < 3; ++j) {
    f.ax[j] = ax[j];
    f.ay[j] = ay[j];
    f.az[j] = az[j];
  }
}

}  // namespace

bool IsLiveRecord(const CFemInput* rec) { return rec != nullptr && rec->m_strComment.empty(); }

const CFbFiberSec* SolidSection(const CFbElem* e) {
  if (!e || !e->m_pNodeI || !e->m_pNodeJ || !e->m_pSec || !e->m_bAxes) return nullptr;
  return e->m_pSec->m_pFiber.get();
}

SolidBlock ToSolidBlock(const CFbSecBlock& blk, const CFbFiberSec& sec, int position) {
  SolidBlock b;
  if (blk.m_nShape < 0) {
    b = {.bArc = true, .r1 = blk.m_dC0, .r2 = blk.m_dC30, .a1 = blk.m_dC15, .a2 = blk.m_dC45,
         .yc = blk.m_dCy, .zc = blk.m_dCz, .nRadial = blk.m_nCols};
  } else {
    GetFiberBlockBounds(blk, b.y, b.z);
  }
  return Numbered(b, position, blk.m_nMat, sec.m_nMat);
}

void SetFrameIds(MemberFrame& f, const CFbElem& e) {
  f.nElem = e.m_nNo;
  f.nElemInt = e.m_nExtra;
  CopyAxes(f, e.m_adAxis1, e.m_adAxis2, e.m_adAxis3);
}

const CIpSec* SolidSection(const CIpElem* e) {
  if (!IsLiveRecord(e) || !e->m_pNodeI || !e->m_pNodeJ || !e->m_pProp || !e->m_bAxis) return nullptr;
  return e->m_pProp->GetRefAs<CIpSec>(kPropSlotSec);
}

SolidBlock ToSolidBlock(const CIpBlk& blk, const CIpSec& sec, int position) {
  SolidBlock b;
  if (blk.m_nType < 0) {
    b = {.bArc = true, .r1 = blk.m_dY1, .r2 = blk.m_dY2, .a1 = blk.m_dZ1, .a2 = blk.m_dZ2,
         .yc = blk.m_dYc, .zc = blk.m_dZc, .nRadial = blk.m_nDiv1};
  } else {
    blk.GetCorners(b.y, b.z);
  }
  return Numbered(b, position, blk.m_nMat, sec.m_nMat);
}

void SetFrameIds(MemberFrame& f, const CIpElem& e) {
  f.nElem = e.m_nNo;
  f.nElemInt = e.m_nProp;
  CopyAxes(f, e.m_vAxisX, e.m_vAxisY, e.m_vAxisZ);
}
