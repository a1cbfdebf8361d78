// Display model of a keyword data set (linked, counted): nodes, materials,
// 4-node shells, member lines and member solids.
#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "viewer/display_build.h"

namespace {

// The records of a keyword data set as the builders read them: comment lines
// are skipped, except among the materials, which take their colours by
// position among the records, not by number.
struct KeywordSource {
  const CIpDataSet& data;

  static const auto* Live(const auto* rec) { return IsLiveRecord(rec) ? rec : nullptr; }

  int NodeCount() const { return data.m_Nodes.GetCount(); }
  const CIpNode* Node(int i) const { return Live(data.m_Nodes.GetRecord(i)); }
  int MatCount() const { return data.m_Mats.GetCount(); }
  const CIpMat* Mat(int i) const { return data.m_Mats.GetRecord(i); }
  int QuadCount() const { return data.m_Quads.GetCount(); }
  const CIpQuad* Quad(int i) const { return Live(data.m_Quads.GetRecord(i)); }
  int ElemCount() const { return data.m_Elems.GetCount(); }
  const CIpElem* Elem(int i) const { return Live(data.m_Elems.GetRecord(i)); }

  // The shell's material is the option of its shell property; 0 without one.
  void FillQuad(const CIpQuad& quad, DispElem& e) const {
    e.nProp = quad.m_nRef;
    const CIpPShell* prop = data.m_PShells.FindRecord(quad.m_nRef);
    e.nMat = prop ? prop->m_nPsOpt : 0;
    for (int k = 0; k < 4; ++k) e.n[k] = quad.m_anNode[k];
  }
};

}  // namespace

ArcCounts CDispModel::CountArcParts(const CIpDataSet& data) {
  return display_build::CountArcParts(KeywordSource{data});
}

std::int64_t CountArcFaces(const CIpDataSet& data) {
  return CDispModel::CountArcParts(data).nFaces;
}

std::int64_t CountArcLines(const CIpDataSet& data) {
  return CDispModel::CountArcParts(data).nLines;
}

void CDispModel::BuildNodesAndShells(const CIpDataSet& data) {
  display_build::NodesAndShells(*this, KeywordSource{data});
}

void CDispModel::BuildLineMembers(const CIpDataSet& data) {
  display_build::LineMembers(*this, KeywordSource{data});
}

void CDispModel::BuildMemberSolids(const CIpDataSet& data) {
  display_build::MemberSolids(*this, KeywordSource{data});
}

bool CDispModel::BuildDisplayModel(const CIpDataSet& data, const CModelStats& stats,
                                   std::string* error) {
  return display_build::DisplayModel(*this, KeywordSource{data}, stats, error);
}
