// Linking the keyword model after reading: node and property references of
// the elements, and their local axes.
#include <memory>

#include "dataset/ip_dataset.h"
#include "model/prop_records.h"

void CIpDataSet::LinkNodes() {
  const int nElems = m_Elems.GetCount();
  for (int i = 0; i < nElems; ++i) {
    CIpElem* e = m_Elems.GetRecord(i);
    if (!e) continue;
    e->m_pNodeI = m_Nodes.FindNode(e->m_nNodeI);
    e->m_pNodeJ = m_Nodes.FindNode(e->m_nNodeJ);
  }
  const int nQlines = m_Qlines.GetCount();
  for (int i = 0; i < nQlines; ++i) {
    CIpQline* q = m_Qlines.GetRecord(i);
    if (!q) continue;
    q->m_pNode1 = m_Nodes.FindNode(q->m_nNode1);
    q->m_pNode2 = m_Nodes.FindNode(q->m_nNode2);
  }
}

namespace {
// One reference record per record of a property block.
template <class TBlock>
void AddRefs(CIpPropBlock& props, const TBlock& block, int slot) {
  const int count = block.GetCount();
  for (int i = 0; i < count; ++i) {
    auto* rec = block.GetRecord(i);
    if (!rec) continue;
    auto ref = std::make_unique<CIpProp>();
    ref->m_nNo = rec->m_nNo;
    ref->SetRef(slot, rec);
    props.Append(std::move(ref));
  }
}
}  // namespace

void CIpDataSet::BuildPropList() {
  // The order of the kinds decides which one an element links to when
  // several share a number.
  AddRefs(m_Props, m_Secs, kPropSlotSec);
  AddRefs(m_Props, m_Scls, kPropSlotScl);
  AddRefs(m_Props, m_Beams, kPropSlotBeam);
  AddRefs(m_Props, m_NSprs, kPropSlotNSpr);
  AddRefs(m_Props, m_Gaps, kPropSlotGap);
  AddRefs(m_Props, m_NSpr2s, kPropSlotNSpr2);
  AddRefs(m_Props, m_Rigids, kPropSlotRigid);
  AddRefs(m_Props, m_Trusses, kPropSlotTruss);

  const int nElems = m_Elems.GetCount();
  for (int i = 0; i < nElems; ++i) {
    CIpElem* e = m_Elems.GetRecord(i);
    if (!e) continue;
    if (CIpProp* p = m_Props.FindRecord(e->m_nProp)) e->m_pProp = p;
  }
}

void CIpDataSet::CalcElemAxes() {
  // Elements of one property follow each other: its reference direction is
  // looked up once per run of them, not once per element.
  const CIpProp* prop = nullptr;
  CVec ref;
  const int nElems = m_Elems.GetCount();
  for (int i = 0; i < nElems; ++i) {
    CIpElem* e = m_Elems.GetRecord(i);
    if (!e || !e->m_strComment.empty()) continue;
    if (!e->m_pProp) {
      e->CalcLocalAxisFrom(nullptr);
      continue;
    }
    if (e->m_pProp != prop) {
      prop = e->m_pProp;
      prop->GetRefVector(ref.m_dVx, ref.m_dVy, ref.m_dVz);
    }
    e->CalcLocalAxisFrom(&ref);
  }
}
