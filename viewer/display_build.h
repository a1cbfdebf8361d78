// The display-model builders, written once for both models. A source hands
// over the records of one model (display_keyword.cpp, display_input.cpp):
//   NodeCount(), Node(i)   node i (m_nNo, m_dX, m_dY, m_dZ), null to skip it
//   MatCount(),  Mat(i)    material i (m_nNo), null to skip it
//   QuadCount(), Quad(i)   4-node shell i (m_nNo), null to skip it;
//                FillQuad(quad, e) puts its section, material and nodes in e
//   ElemCount(), Elem(i)   member i (m_nNo, m_pNodeI, m_pNodeJ), null to skip
// and member_sections.h names each member's solid section, frame and blocks.
#pragma once
#include <algorithm>
#include <cstddef>
#include <string>

#include "viewer/display_model.h"
#include "viewer/member_sections.h"
#include "viewer/member_solid.h"

namespace display_build {

inline int Room(const auto& array) { return static_cast<int>(array.size()); }

template <class Node>
void Position(const Node& node, double p[3]) {
  p[0] = node.m_dX;
  p[1] = node.m_dY;
  p[2] = node.m_dZ;
}

template <class Source>
ArcCounts CountArcParts(const Source& src) {
  ArcCounts counts;
  const int n = src.ElemCount();
  for (int i = 0; i < n; ++i) {
    const auto* sec = SolidSection(src.Elem(i));
    if (!sec) continue;
    ForEachSolidBlock(*sec, [&](const auto&, const SolidBlock& b) {
      if (b.bArc) counts.Add(ArcFaceCount(b.nRadial, b.a1, b.a2), ArcLineCount(b.a1, b.a2));
    });
  }
  return counts;
}

template <class Source>
void NodesAndShells(CDispModel& m, const Source& src) {
  m.ResetModelCounts();
  const int nNodeRecs = src.NodeCount();
  for (int i = 0; i < nNodeRecs; ++i) {
    if (const auto* node = src.Node(i)) m.WidenBox(node->m_dX, node->m_dY, node->m_dZ);
  }
  m.ComputeScale();

  const int nodeRoom = m.m_bCurrentNodes ? std::min(Room(m.m_aNodes), Room(m.m_aCurNodes)) : Room(m.m_aNodes);
  int written = 0;
  for (int i = 0; i < nNodeRecs; ++i) {
    const auto* node = src.Node(i);
    if (!node) continue;
    if (written >= nodeRoom) {
      ++m.m_nOverflow;
      continue;
    }
    m.SetNode(written++, node->m_nNo, node->m_dX, node->m_dY, node->m_dZ);
  }
  m.m_nNodes = written;
  m.m_nCurNodes = m.m_bCurrentNodes ? written : 0;

  const int nMatRecs = src.MatCount();
  for (int i = 0; i < nMatRecs; ++i) {
    const auto* mat = src.Mat(i);
    if (!mat) continue;
    if (m.m_nMats >= Room(m.m_aMats)) {
      ++m.m_nOverflow;
      continue;
    }
    m.SetMaterial(m.m_nMats, mat->m_nNo);
    ++m.m_nMats;
  }

  const CElemColorIndex colors(m.m_aElemColors);
  const int nQuadRecs = src.QuadCount();
  for (int i = 0; i < nQuadRecs; ++i) {
    const auto* quad = src.Quad(i);
    if (!quad) continue;
    if (m.m_nElems4 >= Room(m.m_aElems4)) {
      ++m.m_nOverflow;
      continue;
    }
    DispElem& e = m.m_aElems4[static_cast<std::size_t>(m.m_nElems4++)];
    e = DispElem{};
    e.nNo = e.nNo2 = quad->m_nNo;
    src.FillQuad(*quad, e);
    colors.Lookup(quad->m_nNo, e.nColorClass, e.nMode1);
  }
  m.ComputeEdgeFlags();

  m.m_dDispScale = 1.0;
  m.m_nColorMode = -1;
  m.IndexNodes();
  m.IndexMaterials();
}

// Two line records a member: its first end (code 1, thin) and its second.
template <class Source>
void LineMembers(CDispModel& m, const Source& src) {
  m.WarmBuildRoom();
  m.m_nLines = 0;
  m.BumpGeneration();
  const CElemColorIndex colors(m.m_aElemColors);
  const int n = src.ElemCount();
  for (int i = 0; i < n; ++i) {
    const auto* e = src.Elem(i);
    if (!e || !e->m_pNodeI || !e->m_pNodeJ) continue;
    if (!m.HasLineRoom(2)) continue;
    DispLine& a = m.m_aLines[static_cast<std::size_t>(m.m_nLines++)];
    DispLine& b = m.m_aLines[static_cast<std::size_t>(m.m_nLines++)];
    a = DispLine{};
    b = DispLine{};
    a.nCode = 1;
    colors.Lookup(e->m_nNo, a.nColorClass, a.nMode1);
    a.nThick = 1;
    Position(*e->m_pNodeI, a.p);
    Position(*e->m_pNodeJ, b.p);
  }
}

template <class Source>
void MemberSolids(CDispModel& m, const Source& src) {
  m.ClearFaceRecords();
  const CElemColorIndex colors(m.m_aElemColors);
  const int n = src.ElemCount();
  for (int i = 0; i < n; ++i) {
    const auto* e = src.Elem(i);
    const auto* sec = SolidSection(e);
    if (!sec) continue;
    MemberFrame f;
    Position(*e->m_pNodeI, f.p1);
    Position(*e->m_pNodeJ, f.p2);
    SetFrameIds(f, *e);
    colors.Lookup(e->m_nNo, f.nColorClass, f.nMode1);
    ForEachSolidBlock(*sec, [&](const auto&, const SolidBlock& b) { AddBlockSolid(m, f, b); });
  }
}

// Allocation from `stats` and the three builders in their order.
template <class Source>
bool DisplayModel(CDispModel& m, const Source& src, const CModelStats& stats, std::string* error) {
  const bool ok = m.AllocDisplayArrays(stats, CountArcParts(src), error);
  NodesAndShells(m, src);
  LineMembers(m, src);
  MemberSolids(m, src);
  return ok;
}

}  // namespace display_build
