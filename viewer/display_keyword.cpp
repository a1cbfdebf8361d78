// Display model of a keyword data set (linked, counted): nodes, materials,
// 4-node shells, member lines and member solids.
#include <algorithm>

#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "viewer/display_model.h"
#include "viewer/member_solid.h"

namespace {

// Records with a comment text are comment lines, not data.
bool IsLive(const CFemInput* rec) { return rec != nullptr && rec->m_strComment.empty(); }

int Room(const auto& array) { return static_cast<int>(array.size()); }

// The section of a member that gets a solid: both end nodes linked, a
// property that names a section, and local axes. Null otherwise.
const CIpSec* SolidSection(const CIpElem* e) {
  if (!IsLive(e) || !e->m_pNodeI || !e->m_pNodeJ || !e->m_pProp || !e->m_bAxis) return nullptr;
  return e->m_pProp->GetRefAs<CIpSec>(kPropSlotSec);
}

SolidBlock ToSolidBlock(const CIpBlk& blk, const CIpSec& sec, int position) {
  SolidBlock b;
  b.bArc = blk.m_nType < 0;
  if (b.bArc) {
    b.r1 = blk.m_dY1;
    b.r2 = blk.m_dY2;
    b.a1 = blk.m_dZ1;
    b.a2 = blk.m_dZ2;
    b.yc = blk.m_dYc;
    b.zc = blk.m_dZc;
    b.nRadial = blk.m_nDiv1;
  } else {
    blk.GetCorners(b.y, b.z);
  }
  b.nBlock = position;
  b.nMat = blk.m_nMat >= 1 ? blk.m_nMat : sec.m_nMat;
  return b;
}

}  // namespace

ArcCounts CDispModel::CountArcParts(const CIpDataSet& data) {
  ArcCounts counts;
  const int n = data.m_Elems.GetCount();
  for (int i = 0; i < n; ++i) {
    const CIpSec* sec = SolidSection(data.m_Elems.GetRecord(i));
    if (!sec) continue;
    for (const auto& blk : sec->m_pBlkList) {
      if (blk->m_nType >= 0) continue;
      counts.Add(ArcFaceCount(blk->m_nDiv1, blk->m_dZ1, blk->m_dZ2),
                 ArcLineCount(blk->m_dZ1, blk->m_dZ2));
    }
  }
  return counts;
}

void CDispModel::BuildNodesAndShells(const CIpDataSet& data) {
  ResetModelCounts();
  const CIpNodeBlock& nodes = data.m_Nodes;
  const int nNodeRecs = nodes.GetCount();
  for (int i = 0; i < nNodeRecs; ++i) {
    const CIpNode* node = nodes.GetRecord(i);
    if (IsLive(node)) WidenBox(node->m_dX, node->m_dY, node->m_dZ);
  }
  ComputeScale();

  const int nodeRoom = std::min(Room(m_aNodes), Room(m_aCurNodes));
  int written = 0;
  for (int i = 0; i < nNodeRecs; ++i) {
    const CIpNode* node = nodes.GetRecord(i);
    if (!IsLive(node)) continue;
    if (written >= nodeRoom) {
      ++m_nOverflow;
      continue;
    }
    SetNode(written++, node->m_nNo, node->m_dX, node->m_dY, node->m_dZ);
  }
  m_nNodes = m_nCurNodes = written;

  // Materials: colour by position among the records, not by number.
  const int nMatRecs = data.m_Mats.GetCount();
  for (int i = 0; i < nMatRecs; ++i) {
    const CIpMat* mat = data.m_Mats.GetRecord(i);
    if (!mat) continue;
    if (m_nMats >= Room(m_aMats)) {
      ++m_nOverflow;
      continue;
    }
    SetMaterial(m_nMats, mat->m_nNo);
    ++m_nMats;
  }

  const CElemColorIndex colors(m_aElemColors);
  const int nQuadRecs = data.m_Quads.GetCount();
  for (int i = 0; i < nQuadRecs; ++i) {
    const CIpQuad* quad = data.m_Quads.GetRecord(i);
    if (!IsLive(quad)) continue;
    if (m_nElems4 >= Room(m_aElems4)) {
      ++m_nOverflow;
      continue;
    }
    DispElem& e = m_aElems4[static_cast<std::size_t>(m_nElems4++)];
    e = DispElem{};
    e.nNo = e.nNo2 = quad->m_nNo;
    e.nProp = quad->m_nRef;
    const CIpPShell* prop = data.m_PShells.FindRecord(quad->m_nRef);
    e.nMat = prop ? prop->m_nPsOpt : 0;
    for (int k = 0; k < 4; ++k) e.n[k] = quad->m_anNode[k];
    colors.Lookup(quad->m_nNo, e.nColorClass, e.nMode1);
  }
  ComputeEdgeFlags();

  m_dDispScale = 1.0;
  m_nColorMode = -1;
  IndexNodes();
  IndexMaterials();
}

void CDispModel::BuildLineMembers(const CIpDataSet& data) {
  m_nLines = 0;
  const CElemColorIndex colors(m_aElemColors);
  const int n = data.m_Elems.GetCount();
  for (int i = 0; i < n; ++i) {
    const CIpElem* e = data.m_Elems.GetRecord(i);
    if (!IsLive(e) || !e->m_pNodeI || !e->m_pNodeJ) continue;
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

void CDispModel::BuildMemberSolids(const CIpDataSet& data) {
  m_nFaces = 0;
  const CElemColorIndex colors(m_aElemColors);
  const int n = data.m_Elems.GetCount();
  for (int i = 0; i < n; ++i) {
    const CIpElem* e = data.m_Elems.GetRecord(i);
    const CIpSec* sec = SolidSection(e);
    if (!sec) continue;
    MemberFrame f;
    f.p1[0] = e->m_pNodeI->m_dX;
    f.p1[1] = e->m_pNodeI->m_dY;
    f.p1[2] = e->m_pNodeI->m_dZ;
    f.p2[0] = e->m_pNodeJ->m_dX;
    f.p2[1] = e->m_pNodeJ->m_dY;
    f.p2[2] = e->m_pNodeJ->m_dZ;
    for (int j = 0; j < 3; ++j) {
      f.ax[j] = e->m_vAxisX[j];
      f.ay[j] = e->m_vAxisY[j];
      f.az[j] = e->m_vAxisZ[j];
    }
    f.nElem = e->m_nNo;
    f.nElemInt = e->m_nProp;
    colors.Lookup(e->m_nNo, f.nColorClass, f.nMode1);
    int position = 0;
    for (const auto& blk : sec->m_pBlkList) {
      const SolidBlock b = ToSolidBlock(*blk, *sec, ++position);
      if (b.bArc) {
        AddArcPartSides(*this, f, b);
        AddArcPartCaps(*this, f, b);
      } else {
        AddRectPartFaces(*this, f, b);
      }
    }
  }
}

bool CDispModel::BuildDisplayModel(const CIpDataSet& data, const CModelStats& stats,
                                   std::string* error) {
  const bool ok = AllocDisplayArrays(stats, CountArcParts(data), error);
  BuildNodesAndShells(data);
  BuildLineMembers(data);
  BuildMemberSolids(data);
  return ok;
}
