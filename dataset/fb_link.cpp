// Linking the analysis input: numbers to records, element axes, shell
// sections, the model statistics and the corners of fibre blocks.
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "dataset/fb_model.h"
#include "dataset/model_stats.h"
#include "dataset/number_index.h"

namespace {

// Records by number, the first in list order winning, so that linking
// stays linear in the model size.
template <class T>
CNumberIndex<T*> IndexByNo(const CFbRecordList<T>& list) {
  CNumberIndex<T*> index(nullptr);
  const int n = list.GetCount();
  index.Build(static_cast<size_t>(n), [&](auto add) {
    for (int i = 0; i < n; ++i)
      if (T* r = list.GetAt(i)) add(r->m_nNo, r);
  });
  return index;
}

constexpr double kRadPerDeg = 3.141592653589793 / 180.0;

}  // namespace

void CFbModel::Link() {
  LinkElemNodes();
  LinkElemSecs();
  CalcElemAxes();
  LinkQuadSecs();
}

void CFbModel::LinkElemNodes() {
  const auto nodes = IndexByNo(m_aNodes);
  for (CFbRecordList<CFbElem>* list : {&m_aElems, &m_aElems2}) {
    const bool threeNodes = list == &m_aElems2;
    const int n = list->GetCount();
    for (int i = 0; i < n; ++i) {
      CFbElem* e = list->GetAt(i);
      if (!e) continue;
      e->m_pNodeI = nodes.Find(e->m_nNodeI);
      e->m_pNodeJ = nodes.Find(e->m_nNodeJ);
      if (threeNodes) e->m_pNodeK = nodes.Find(e->m_nNodeK);
    }
  }
  const int nq = m_aQuads.GetCount();
  for (int i = 0; i < nq; ++i) {
    CFbQuad* q = m_aQuads.GetAt(i);
    if (!q) continue;
    for (int k = 0; k < 4; ++k) q->m_apNodes[k] = nodes.Find(q->m_anNodes[k]);
  }
}

void CFbModel::LinkElemSecs() {
  const auto secs = IndexByNo(m_aSecs);
  for (CFbRecordList<CFbElem>* list : {&m_aElems, &m_aElems2}) {
    const int n = list->GetCount();
    for (int i = 0; i < n; ++i) {
      CFbElem* e = list->GetAt(i);
      if (!e) continue;
      if (CFbSec* s = secs.Find(e->m_nSec)) e->m_pSec = s;
    }
  }
}

void CFbModel::CalcElemAxes() {
  for (CFbRecordList<CFbElem>* list : {&m_aElems, &m_aElems2}) {
    const int n = list->GetCount();
    for (int i = 0; i < n; ++i)
      if (CFbElem* e = list->GetAt(i)) e->CalcAxes();
  }
}

void CFbModel::LinkQuadSecs() {
  const int secCount = m_aSecs.GetCount();
  const int n = m_aQuads.GetCount();
  for (int i = 0; i < n; ++i) {
    CFbQuad* q = m_aQuads.GetAt(i);
    if (!q) continue;
    const CFbSec* sec = q->m_nSec >= 1 && q->m_nSec <= secCount ? m_aSecs.GetAt(q->m_nSec - 1) : nullptr;
    q->m_pShell = sec ? sec->m_pShell.get() : nullptr;
  }
}

void CFbElem::CalcAxes() {
  m_bAxes = 0;
  if (!m_pNodeI || !m_pNodeJ || !m_pSec) return;
  double a1[3] = {m_pNodeJ->m_dX - m_pNodeI->m_dX, m_pNodeJ->m_dY - m_pNodeI->m_dY, m_pNodeJ->m_dZ - m_pNodeI->m_dZ};
  const double len = std::sqrt(a1[0] * a1[0] + a1[1] * a1[1] + a1[2] * a1[2]);
  if (len == 0) return;
  for (double& c : a1) c /= len;
  for (int k = 0; k < 3; ++k) m_adAxis1[k] = a1[k];

  const CVec* ref = m_pSec->m_pFiber    ? &m_pSec->m_pFiber->m_vRef
                    : m_pSec->m_pScalar ? &m_pSec->m_pScalar->m_vRef
                    : m_pSec->m_pSpring ? &m_pSec->m_pSpring->m_vRef
                    : m_pSec->m_pGap    ? &m_pSec->m_pGap->m_vRef
                                        : nullptr;
  const double v[3] = {ref ? ref->m_dVx : 0.0, ref ? ref->m_dVy : 0.0, ref ? ref->m_dVz : 0.0};
  if (v[0] == 0 && v[1] == 0 && v[2] == 0) return;

  double a2[3] = {v[1] * a1[2] - v[2] * a1[1], v[2] * a1[0] - v[0] * a1[2], v[0] * a1[1] - v[1] * a1[0]};
  for (int k = 0; k < 3; ++k) m_adAxis2[k] = a2[k];
  const double m = std::sqrt(a2[0] * a2[0] + a2[1] * a2[1] + a2[2] * a2[2]);
  if (m == 0) return;
  m_bAxes = 1;
  for (double& c : a2) c /= m;
  for (int k = 0; k < 3; ++k) m_adAxis2[k] = a2[k];
  m_adAxis3[0] = a1[1] * a2[2] - a1[2] * a2[1];
  m_adAxis3[1] = a1[2] * a2[0] - a1[0] * a2[2];
  m_adAxis3[2] = a1[0] * a2[1] - a1[1] * a2[0];
}

bool CModelStats::CountFb(const CFbModel& model) {
  Totals t;
  t.elems = model.m_aElems.GetCount();
  t.quads = model.m_aQuads.GetCount();
  t.nodes = model.m_aNodes.GetCount();
  t.mats = model.m_aMats.GetCount();

  // Blocks and decks count once per element that uses the section.
  // Elements of one section follow each other: its tally is looked up once
  // per run of them.
  std::unordered_map<const CFbFiberSec*, long long> users;
  const CFbFiberSec* fiber = nullptr;
  long long* tally = nullptr;
  const int n = model.m_aElems.GetCount();
  for (int i = 0; i < n; ++i) {
    const CFbElem* e = model.m_aElems.GetAt(i);
    if (!e || !e->m_pSec || !e->m_pSec->m_pFiber) continue;
    if (e->m_pSec->m_pFiber.get() != fiber) {
      fiber = e->m_pSec->m_pFiber.get();
      tally = &users[fiber];
    }
    ++*tally;
  }
  for (const auto& [fiber, times] : users) {
    Totals part;
    for (const CFbSecBlock& b : fiber->m_aBlocks) part.AddBlock(b.m_nShape, b.m_nRows, b.m_nCols);
    for (const CFbDeck& d : fiber->m_aDecks) part.AddDeck(d.m_nRows);
    t.AddTimes(part, times);
  }
  return Commit(t);
}

void GetFiberBlockBounds(const CFbSecBlock& b, double y[4], double z[4]) {
  if (b.m_nShape >= 0) {
    const double dy = b.m_dC30 - b.m_dC0;
    const double dz = b.m_dC45 - b.m_dC15;
    const double len = std::sqrt(dy * dy + dz * dz);
    if (len == 0) {
      for (int k = 0; k < 4; ++k) y[k] = z[k] = 0;
      return;
    }
    const double w = b.m_dC75;
    const double r = dz / len * w / 2;
    const double h = w * (dy / len) / 2;
    y[0] = b.m_dC0 - r, z[0] = b.m_dC15 + h;
    y[1] = b.m_dC30 - r, z[1] = b.m_dC45 + h;
    y[2] = b.m_dC30 + r, z[2] = b.m_dC45 - h;
    y[3] = b.m_dC0 + r, z[3] = b.m_dC15 - h;
    return;
  }
  // The bounding box of the arc of radius c30: its end points and every
  // quarter-turn point between them.
  const double cy = b.m_dCy, cz = b.m_dCz, radius = b.m_dC30;
  const double a1 = b.m_dC15, a2 = b.m_dC45;
  double ymin = 0, ymax = 0, zmin = 0, zmax = 0;
  bool first = true;
  auto add = [&](double deg) {
    const double py = cy + radius * std::cos(deg * kRadPerDeg);
    const double pz = cz + radius * std::sin(deg * kRadPerDeg);
    if (first) {
      ymin = ymax = py;
      zmin = zmax = pz;
      first = false;
      return;
    }
    ymin = std::min(ymin, py);
    ymax = std::max(ymax, py);
    zmin = std::min(zmin, pz);
    zmax = std::max(zmax, pz);
  };
  add(a1);
  add(a2);
  for (double a = -360; a <= 360.1; a += 90)
    if (a1 <= a && a <= a2) add(a);
  y[0] = ymin, z[0] = zmin;
  y[1] = ymin, z[1] = zmax;
  y[2] = ymax, z[2] = zmax;
  y[3] = ymax, z[3] = zmin;
}
