// Display model of an analysis input (linked, counted): the twins of the
// keyword-model builders over CFbModel's lists.
#include <algorithm>

#include "dataset/fb_model.h"
#include "dataset/model_stats.h"
#include "viewer/display_model.h"
#include "viewer/member_solid.h"

namespace {

int Room(const auto& array) { return static_cast<int>(array.size()); }

// The fibre part of a member that gets a solid: both end nodes linked (the
// first one too: an unlinked first node must not be followed), a section
// with a fibre part, and local axes. Null otherwise.
const CFbFiberSec* SolidSection(const CFbElem* e) {
  if (!e || !e->m_pNodeI || !e->m_pNodeJ || !e->m_pSec || !e->m_bAxes) return nullptr;
  return e->m_pSec->m_pFiber.get();
}

SolidBlock ToSolidBlock(const CFbSecBlock& blk, const CFbFiberSec& sec, int position) {
  SolidBlock b;
  b.bArc = blk.m_nShape < 0;
  if (b.bArc) {
    b.r1 = blk.m_dC0;
    b.r2 = blk.m_dC30;
    b.a1 = blk.m_dC15;
    b.a2 = blk.m_dC45;
    b.yc = blk.m_dCy;
    b.zc = blk.m_dCz;
    b.nRadial = blk.m_nCols;
  } else {
    GetFiberBlockBounds(blk, b.y, b.z);
  }
  b.nBlock = position;
  b.nMat = blk.m_nMat >= 1 ? blk.m_nMat : sec.m_nMat;
  return b;
}

}  // namespace

ArcCounts CDispModel::CountArcParts(const CFbModel& model) {
  ArcCounts counts;
  const int n = model.m_aElems.GetCount();
  for (int i = 0; i < n; ++i) {
    const CFbFiberSec* sec = SolidSection(model.m_aElems.GetAt(i));
    if (!sec) continue;
    for (const CFbSecBlock& blk : sec->m_aBlocks) {
      if (blk.m_nShape >= 0) continue;
      counts.Add(ArcFaceCount(blk.m_nCols, blk.m_dC15, blk.m_dC45),
                 ArcLineCount(blk.m_dC15, blk.m_dC45));
    }
  }
  return counts;
}

void CDispModel::BuildNodesAndShellsIn(const CFbModel& model) {
  ResetModelCounts();
  const int nNodeRecs = model.m_aNodes.GetCount();
  for (int i = 0; i < nNodeRecs; ++i) {
    if (const CFbNode* node = model.m_aNodes.GetAt(i)) WidenBox(node->m_dX, node->m_dY, node->m_dZ);
  }
  ComputeScale();

  const int nodeRoom = std::min(Room(m_aNodes), Room(m_aCurNodes));
  int written = 0;
  for (int i = 0; i < nNodeRecs; ++i) {
    const CFbNode* node = model.m_aNodes.GetAt(i);
    if (!node) continue;
    if (written >= nodeRoom) {
      ++m_nOverflow;
      continue;
    }
    SetNode(written++, node->m_nNo, node->m_dX, node->m_dY, node->m_dZ);
  }
  m_nNodes = m_nCurNodes = written;

  const int nMatRecs = model.m_aMats.GetCount();
  for (int i = 0; i < nMatRecs; ++i) {
    const CFbMat* mat = model.m_aMats.GetAt(i);
    if (!mat) continue;
    if (m_nMats >= Room(m_aMats)) {
      ++m_nOverflow;
      continue;
    }
    SetMaterial(m_nMats, mat->m_nNo);
    ++m_nMats;
  }

  // The shell's material is the first value of its section's shell
  // characteristics (the part the quad was linked to); 0 without one.
  const CElemColorIndex colors(m_aElemColors);
  const int nQuadRecs = model.m_aQuads.GetCount();
  for (int i = 0; i < nQuadRecs; ++i) {
    const CFbQuad* quad = model.m_aQuads.GetAt(i);
    if (!quad) continue;
    if (m_nElems4 >= Room(m_aElems4)) {
      ++m_nOverflow;
      continue;
    }
    DispElem& e = m_aElems4[static_cast<std::size_t>(m_nElems4++)];
    e = DispElem{};
    e.nNo = e.nNo2 = quad->m_nNo;
    e.nProp = quad->m_nSec;
    e.nMat = quad->m_pShell ? quad->m_pShell->m_anInfo[0] : 0;
    for (int k = 0; k < 4; ++k) e.n[k] = quad->m_anNodes[k];
    colors.Lookup(quad->m_nNo, e.nColorClass, e.nMode1);
  }
  ComputeEdgeFlags();

  m_dDispScale = 1.0;
  m_nColorMode = -1;
  IndexNodes();
  IndexMaterials();
}

void CDispModel::BuildLineMembersIn(const CFbModel& model) {
  m_nLines = 0;
  const CElemColorIndex colors(m_aElemColors);
  const int n = model.m_aElems.GetCount();
  for (int i = 0; i < n; ++i) {
    const CFbElem* e = model.m_aElems.GetAt(i);
    if (!e || !e->m_pNodeI || !e->m_pNodeJ) continue;
    if (!HasLineRoom(2)) continue;
    DispLine& a = m_aLines[static_cast<std::size_t>(m_nLines++)];
    DispLine& b = m_aLines[static_cast<std::size_t>(m_nLines++)];
    a = DispLine{};
    b = DispLine{};
    a.nCode = 1;
    colors.Lookup(e->m_nNo, a.nColorClass, a.nMode1);
    a.nThick = 1;
    a.p[0] = e->m_pNodeI->m_dX;
    a.p[1] = e->m_pNodeI->m_dY;
    a.p[2] = e->m_pNodeI->m_dZ;
    b.p[0] = e->m_pNodeJ->m_dX;
    b.p[1] = e->m_pNodeJ->m_dY;
    b.p[2] = e->m_pNodeJ->m_dZ;
  }
}

void CDispModel::BuildMemberSolidsIn(const CFbModel& model) {
  m_nFaces = 0;
  const CElemColorIndex colors(m_aElemColors);
  const int n = model.m_aElems.GetCount();
  for (int i = 0; i < n; ++i) {
    const CFbElem* e = model.m_aElems.GetAt(i);
    const CFbFiberSec* sec = SolidSection(e);
    if (!sec) continue;
    MemberFrame f;
    f.p1[0] = e->m_pNodeI->m_dX;
    f.p1[1] = e->m_pNodeI->m_dY;
    f.p1[2] = e->m_pNodeI->m_dZ;
    f.p2[0] = e->m_pNodeJ->m_dX;
    f.p2[1] = e->m_pNodeJ->m_dY;
    f.p2[2] = e->m_pNodeJ->m_dZ;
    for (int j = 0; j < 3; ++j) {
      f.ax[j] = e->m_adAxis1[j];
      f.ay[j] = e->m_adAxis2[j];
      f.az[j] = e->m_adAxis3[j];
    }
    f.nElem = e->m_nNo;
    f.nElemInt = e->m_nExtra;
    colors.Lookup(e->m_nNo, f.nColorClass, f.nMode1);
    int position = 0;
    for (const CFbSecBlock& blk : sec->m_aBlocks) {
      const SolidBlock b = ToSolidBlock(blk, *sec, ++position);
      if (b.bArc) {
        AddArcPartSides(*this, f, b);
        AddArcPartCaps(*this, f, b);
      } else {
        AddRectPartFaces(*this, f, b);
      }
    }
  }
}

bool CDispModel::BuildDisplayModelIn(const CFbModel& model, const CModelStats& stats,
                                     std::string* error) {
  const bool ok = AllocDisplayArrays(stats, CountArcParts(model), error);
  BuildNodesAndShellsIn(model);
  BuildLineMembersIn(model);
  BuildMemberSolidsIn(model);
  return ok;
}
