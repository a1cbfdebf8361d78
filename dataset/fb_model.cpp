#include "dataset/fb_model.h"

#include <cstdio>
#include <unordered_map>

#include "platform/numbers.h"

namespace {

void SetMsg(std::string* msg, std::string text) {
  if (msg) *msg = std::move(text);
}

}  // namespace

CFbModel::CFbModel() { RemoveAll(); }

CFbModel::~CFbModel() { RemoveAll(); }

void CFbModel::RemoveAll() {
  m_bLoaded = 0;
  m_nFirst = m_nVersion = m_nAnaType = 0;
  m_nNodes = m_nElems = m_nSups = m_nFibers = m_nSecInfo = m_nSecs = m_nMatReals = m_nMats = 0;
  m_nHead29 = m_nHead210 = 0;
  // 3.1, 3.3 to 3.5, the shell count and the title keep their values until
  // the next header is read.
  m_nQuads = 0;
  m_nElems2 = 0;
  m_nLoadCases = 0;
  for (int& v : m_anLoadHead) v = 0;
  m_nSteps = 0;
  for (int& v : m_anStep1) v = 0;
  for (double& v : m_adStep1) v = 0;
  for (int& v : m_anStep2) v = 0;
  m_nGroundAccs = m_nWaves = 0;
  m_nModeCount = 0;
  m_bMatKind = 1;

  m_aNodes.RemoveAll();
  m_aElems.RemoveAll();
  m_aSups.RemoveAll();
  m_aMats.RemoveAll();
  m_aSecs.RemoveAll();
  m_aLoadCases.RemoveAll();
  m_aLCases.RemoveAll();
  m_aFiberIDs.RemoveAll();
  m_aGroundAccs.RemoveAll();
  m_aWaves.RemoveAll();
  m_aUnused.RemoveAll();
  m_aQuads.RemoveAll();
  m_aElems2.RemoveAll();
}

int CFbModel::RenumberElems(CFbRecordList<CFbElem>& list, int count, bool threeNodes, std::string* msg) {
  const int nodeCount = m_aNodes.GetCount();
  const int secCount = m_aSecs.GetCount();
  auto nodeNo = [&](int pos, int& out) {
    if (pos < 1 || pos > nodeCount) return false;
    const CFbNode* n = m_aNodes.GetAt(pos - 1);
    if (!n) return false;
    out = n->m_nNo;
    return true;
  };
  for (int i = 1; i <= count; ++i) {
    CFbElem* e = list.GetAt(i - 1);
    if (!e) {
      SetMsg(msg, plat::Format("要素なし(%d/%d)", i, count));
      return -1;
    }
    int ni = 0, nj = 0, nk = 0;
    if (!nodeNo(e->m_nNodeI, ni) || !nodeNo(e->m_nNodeJ, nj) || (threeNodes && !nodeNo(e->m_nNodeK, nk))) {
      SetMsg(msg, plat::Format("節点なし(%d/%d)", i, nodeCount));
      return -1;
    }
    const CFbSec* sec = e->m_nSec >= 1 && e->m_nSec <= secCount ? m_aSecs.GetAt(e->m_nSec - 1) : nullptr;
    if (!sec) {
      SetMsg(msg, plat::Format("断面なし(%d)", i));
      return -1;
    }
    e->m_nNodeI = ni;
    e->m_nNodeJ = nj;
    if (threeNodes) e->m_nNodeK = nk;
    e->m_nSec = sec->m_nNo;
  }
  return 1;
}

int CFbModel::Renumber(std::string* msg) {
  if (RenumberElems(m_aElems, m_nElems, false, msg) < 1) return -1;
  if (RenumberElems(m_aElems2, m_nElems2, true, msg) < 1) return -1;

  const int nodeCount = m_aNodes.GetCount();
  auto nodeAt = [&](int pos) -> const CFbNode* {
    return pos >= 1 && pos <= nodeCount ? m_aNodes.GetAt(pos - 1) : nullptr;
  };
  for (int q = 1; q <= m_nQuads; ++q) {
    CFbQuad* quad = m_aQuads.GetAt(q - 1);
    if (!quad) {
      SetMsg(msg, plat::Format("要素なし(%d/%d)", q, m_nQuads));
      return -1;
    }
    int numbers[4];
    for (int k = 0; k < 4; ++k) {
      const CFbNode* n = nodeAt(quad->m_anNodes[k]);
      if (!n) {
        SetMsg(msg, plat::Format("節点なし(%d/%d)", q, nodeCount));
        return -1;
      }
      numbers[k] = n->m_nNo;
    }
    for (int k = 0; k < 4; ++k) quad->m_anNodes[k] = numbers[k];
  }
  for (int s = 1; s <= m_nSups; ++s) {
    CFbSup* sup = m_aSups.GetAt(s - 1);
    if (!sup) {
      SetMsg(msg, plat::Format("拘束なし(%d/%d)", s, m_nSups));
      return -1;
    }
    const CFbNode* n = nodeAt(sup->m_nNo);
    if (!n) {
      SetMsg(msg, plat::Format("節点なし(%d/%d)", s, nodeCount));
      return -1;
    }
    sup->m_nNo = n->m_nNo;
  }
  return 1;
}

void CFbModel::RenumberSecMaterials() {
  const int matCount = m_aMats.GetCount();
  // Position 0 means "no material of its own"; any other position that
  // names no material becomes 0 as well, with a note for whoever runs it.
  auto number = [&](int pos, int sec, const char* what) {
    if (pos == 0) return 0;
    const CFbMat* m = pos >= 1 && pos <= matCount ? m_aMats.GetAt(pos - 1) : nullptr;
    if (!m) {
      std::printf("section %d: %s material position %d names no material\n", sec, what, pos);
      return 0;
    }
    return m->m_nNo;
  };
  const int n = m_aSecs.GetCount();
  for (int i = 0; i < n; ++i) {
    CFbSec* sec = m_aSecs.GetAt(i);
    if (!sec || !sec->m_pFiber) continue;
    CFbFiberSec& f = *sec->m_pFiber;
    if (f.m_nMat > 0) f.m_nMat = number(f.m_nMat, sec->m_nNo, "section");
    for (CFbSecBlock& b : f.m_aBlocks) b.m_nMat = number(b.m_nMat, sec->m_nNo, "block");
    for (CFbDeck& d : f.m_aDecks) d.m_nMat = number(d.m_nMat, sec->m_nNo, "deck");
  }
}

CFbFiberSec* CFbModel::FindSec(int secNo) const {
  const int n = m_aSecs.GetCount();
  for (int i = 0; i < n; ++i) {
    const CFbSec* sec = m_aSecs.GetAt(i);
    if (!sec) break;
    if (sec->m_nNo == secNo && sec->m_pFiber) return sec->m_pFiber.get();
  }
  return nullptr;
}

void CFbModel::BuildLCaseList() {
  m_aLCases.RemoveAll();
  const int n = std::min(m_nLoadCases, m_aLoadCases.GetCount());
  for (int i = 0; i < n; ++i) {
    const CFbLoadCase* lc = m_aLoadCases.GetAt(i);
    if (!lc) break;
    for (int s = 1; s <= lc->m_nSteps; ++s) {
      if (m_aLCases.Append(std::make_unique<CFbLCase>(lc->m_nKey, s)) != 1) {
        m_aLCases.RemoveAll();
        return;
      }
    }
  }
}

bool CFbModel::AppendFiberIDs(const CFbRecordList<CFbElem>& list, int count, long long* tally) {
  // Sections by number, first with a fibre part in list order (FindSec's
  // rule), so the walk over the elements stays linear.
  std::unordered_map<int, const CFbFiberSec*> index;
  const int secCount = m_aSecs.GetCount();
  for (int i = 0; i < secCount; ++i) {
    const CFbSec* sec = m_aSecs.GetAt(i);
    if (!sec) break;
    if (sec->m_pFiber) index.emplace(sec->m_nNo, sec->m_pFiber.get());
  }
  const int n = std::min(count, list.GetCount());
  for (int i = 0; i < n; ++i) {
    const CFbElem* e = list.GetAt(i);
    if (!e) break;
    const auto it = index.find(e->m_nSec);
    if (it == index.end()) continue;
    int block = 1;
    auto addPart = [&](int rows, int cols) {
      if (tally) {
        // Stops once past what the list can hold, so the sum cannot overflow.
        *tally += rows > 0 && cols > 0 ? static_cast<long long>(rows) * cols : 0;
        if (*tally > CIpRecordArray::kMaxRecords) return false;
      }
      for (int r = 1; !tally && r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
          if (!m_aFiberIDs.AppendNew(e->m_nNo, block, r, c)) return false;
      ++block;
      return true;
    };
    for (const CFbSecBlock& b : it->second->m_aBlocks)
      if (!addPart(b.m_nRows, b.m_nCols)) return false;
    for (const CFbDeck& d : it->second->m_aDecks)
      if (!addPart(d.m_nRows, d.m_nCols)) return false;
  }
  return true;
}

void CFbModel::BuildFiberIDList() {
  m_aFiberIDs.RemoveAll();
  // A list that would not fit stays empty: counted first, so that up to a
  // million ids are not made only to be thrown away.
  long long total = 0;
  if (!AppendFiberIDs(m_aElems, m_nElems, &total) || !AppendFiberIDs(m_aElems2, m_nElems2, &total)) return;
  if (!AppendFiberIDs(m_aElems, m_nElems, nullptr) || !AppendFiberIDs(m_aElems2, m_nElems2, nullptr))
    m_aFiberIDs.RemoveAll();
}

int CFbModel::GetStepIndex(int caseKey, int step) const {
  if (m_nAnaType == 2 || m_nAnaType == 3) return caseKey;
  if (m_nAnaType != 1) return 0;
  long long sum = 0;
  for (int i = 0; i < m_nLoadCases; ++i) {
    const CFbLoadCase* lc = m_aLoadCases.GetAt(i);
    if (!lc) return 0;
    if (lc->m_nKey == caseKey) return step <= lc->m_nSteps ? plat::ClampToInt(sum + step) : 0;
    sum += lc->m_nSteps;
  }
  return caseKey == -1 && step == -1 ? plat::ClampToInt(sum) : 0;
}

bool CFbModel::GetCaseStep(int g, int& caseKey, int& step) const {
  if (g < 0) return false;
  if (m_nAnaType == 2 || m_nAnaType == 3) {
    if (g == 2147483647) return false;
    caseKey = g + 1;
    step = 0;
    return true;
  }
  if (m_nAnaType != 1 || m_nLoadCases <= 0) return false;
  long long rest = g;
  for (int i = 0; i < m_nLoadCases; ++i) {
    const CFbLoadCase* lc = m_aLoadCases.GetAt(i);
    if (!lc) return false;
    if (rest < lc->m_nSteps) {
      caseKey = lc->m_nKey;
      step = static_cast<int>(rest + 1);
      return true;
    }
    rest -= lc->m_nSteps;
  }
  return false;
}
