#include "dataset/model_stats.h"

#include <algorithm>
#include <unordered_map>

#include "dataset/ip_dataset.h"
#include "platform/numbers.h"

namespace {
constexpr long long kCap = CModelStats::kMaxCount + 1;

long long CapAdd(long long a, long long b) { return std::min(kCap, a + std::min(kCap, b)); }

long long CapMul(long long a, long long b) {
  if (a <= 0 || b <= 0) return 0;
  return a > kCap / b ? kCap : std::min(kCap, a * b);
}
}  // namespace

void CModelStats::Clear() {
  m_nElems = m_nQuads = m_nRectBlocks = m_nArcBlocks = m_nFibers = m_nDecks = m_nDeckRows = m_nNodes = m_nMats = 0;
  m_strError.clear();
}

void CModelStats::Totals::AddBlock(int shapeFlag, long long div1, long long div2) {
  if (shapeFlag >= 0)
    rectBlocks = CapAdd(rectBlocks, 1);
  else
    arcBlocks = CapAdd(arcBlocks, 1);
  fibers = CapAdd(fibers, CapMul(std::max(0LL, div1), std::max(0LL, div2)));
}

void CModelStats::Totals::AddDeck(long long rows) {
  decks = CapAdd(decks, 1);
  deckRows = CapAdd(deckRows, std::max(0LL, rows));
}

void CModelStats::Totals::AddTimes(const Totals& part, long long times) {
  rectBlocks = CapAdd(rectBlocks, CapMul(part.rectBlocks, times));
  arcBlocks = CapAdd(arcBlocks, CapMul(part.arcBlocks, times));
  fibers = CapAdd(fibers, CapMul(part.fibers, times));
  decks = CapAdd(decks, CapMul(part.decks, times));
  deckRows = CapAdd(deckRows, CapMul(part.deckRows, times));
}

bool CModelStats::Commit(const Totals& t) {
  Clear();
  struct Item {
    long long value;
    const char* name;
  } const items[] = {{t.elems, "要素"},        {t.quads, "シェル要素"}, {t.rectBlocks, "矩形ブロック"},
                     {t.arcBlocks, "円弧ブロック"}, {t.fibers, "ファイバー"}, {t.decks, "デッキ"},
                     {t.deckRows, "デッキ行"},   {t.nodes, "節点"},      {t.mats, "材料"}};
  for (const Item& it : items) {
    if (it.value > kMaxCount) {
      m_strError = plat::Format("%sの数が多すぎます(上限 %lld)", it.name, kMaxCount);
      return false;
    }
  }
  m_nElems = static_cast<int>(t.elems);
  m_nQuads = static_cast<int>(t.quads);
  m_nRectBlocks = static_cast<int>(t.rectBlocks);
  m_nArcBlocks = static_cast<int>(t.arcBlocks);
  m_nFibers = static_cast<int>(t.fibers);
  m_nDecks = static_cast<int>(t.decks);
  m_nDeckRows = static_cast<int>(t.deckRows);
  m_nNodes = static_cast<int>(t.nodes);
  m_nMats = static_cast<int>(t.mats);
  return true;
}

bool CModelStats::CountIp(const CIpDataSet& ds) {
  Totals t;
  t.elems = ds.m_Elems.GetCount();
  t.quads = ds.m_Quads.GetCount();
  t.nodes = ds.m_Nodes.GetCount();
  t.mats = ds.m_Mats.GetCount();

  // Blocks and decks count once per element that uses the section; each
  // section's own tally is made once and multiplied by its users.
  // Elements of one property follow each other: its section and tally are
  // looked up once per run of them.
  std::unordered_map<const CIpSec*, long long> users;
  const CIpProp* prop = nullptr;
  long long* tally = nullptr;
  const int count = ds.m_Elems.GetCount();
  for (int i = 0; i < count; ++i) {
    const CIpElem* e = ds.m_Elems.GetRecord(i);
    if (!e || !e->m_pProp) continue;
    if (e->m_pProp != prop) {
      prop = e->m_pProp;
      const CIpSec* sec = prop->GetRefAs<CIpSec>(kPropSlotSec);
      tally = sec ? &users[sec] : nullptr;
    }
    if (tally) ++*tally;
  }
  for (const auto& [sec, times] : users) {
    Totals part;
    for (const auto& blk : sec->m_pBlkList) part.AddBlock(blk->m_nType, blk->m_nDiv1, blk->m_nDiv2);
    for (const auto& dck : sec->m_pDckList) part.AddDeck(dck->m_nCount);
    t.AddTimes(part, times);
  }
  return Commit(t);
}
