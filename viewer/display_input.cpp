// Display model of an analysis input (linked, counted): the builders of the
// keyword model over CFbModel's lists.
#include "dataset/fb_model.h"
#include "dataset/model_stats.h"
#include "viewer/display_build.h"

namespace {

// The records of an analysis input as the builders read them: empty slots
// are skipped.
struct InputSource {
  const CFbModel& model;

  int NodeCount() const { return model.m_aNodes.GetCount(); }
  const CFbNode* Node(int i) const { return model.m_aNodes.GetAt(i); }
  int MatCount() const { return model.m_aMats.GetCount(); }
  const CFbMat* Mat(int i) const { return model.m_aMats.GetAt(i); }
  int QuadCount() const { return model.m_aQuads.GetCount(); }
  const CFbQuad* Quad(int i) const { return model.m_aQuads.GetAt(i); }
  int ElemCount() const { return model.m_aElems.GetCount(); }
  const CFbElem* Elem(int i) const { return model.m_aElems.GetAt(i); }

  // The shell's material is the first value of its section's shell
  // characteristics (the part the quad was linked to); 0 without one.
  void FillQuad(const CFbQuad& quad, DispElem& e) const {
    e.nProp = quad.m_nSec;
    e.nMat = quad.m_pShell ? quad.m_pShell->m_anInfo[0] : 0;
    for (int k = 0; k < 4; ++k) e.n[k] = quad.m_anNodes[k];
  }
};

}  // namespace

ArcCounts CDispModel::CountArcParts(const CFbModel& model) {
  return display_build::CountArcParts(InputSource{model});
}

std::int64_t CountArcFaces(const CFbModel& model) {
  return CDispModel::CountArcParts(model).nFaces;
}

std::int64_t CountArcLines(const CFbModel& model) {
  return CDispModel::CountArcParts(model).nLines;
}

void CDispModel::BuildNodesAndShellsIn(const CFbModel& model) {
  display_build::NodesAndShells(*this, InputSource{model});
}

void CDispModel::BuildLineMembersIn(const CFbModel& model) {
  display_build::LineMembers(*this, InputSource{model});
}

void CDispModel::BuildMemberSolidsIn(const CFbModel& model) {
  display_build::MemberSolids(*this, InputSource{model});
}

bool CDispModel::BuildDisplayModelIn(const CFbModel& model, const CModelStats& stats,
                                     std::string* error) {
  return display_build::DisplayModel(*this, InputSource{model}, stats, error);
}
