#include "dataset/ip_blocks.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dataset/number_index.h"

// ---- CIpNodeBlock ----

// Node numbers of all records, grouped by the step of their series: within
// one step s and one residue r = n mod s a series is a contiguous run of
// k = (n - r) / s. Each group is painted in index order with the parts that
// no earlier record holds, so a lookup finds the first record in index order
// that stands for the number, as a scan would.
struct CIpNodeBlock::NodeIndex {
  // Records of a single node (no series) are most of a large model: they
  // go into a flat hash table by number, first record in index order kept,
  // so that linking a million elements does not walk a tree per node.
  CNumberIndex<int> singles{-1};  // slot of the record

  struct Piece {
    long long lo, hi;  // k range
    int index;         // slot of the record
  };
  struct Step {
    long long step;
    std::unordered_map<long long, std::vector<Piece>> groups;  // by residue, sorted by lo
  };
  std::vector<Step> steps;
  int count = 0;  // record count when built
};

namespace {
// True when the record stands for the number: its own number, or one of the
// k = |(last - first) / inc| + 1 numbers of its series, counted from first
// in the direction of the increment (also when its sign is wrong).
bool StandsFor(const CIpNode& rec, int number) {
  if (rec.m_nInc == 0) return rec.m_nNo == number;
  const long long inc = rec.m_nInc;
  const long long off = static_cast<long long>(number) - rec.m_nNo;
  if (off % inc != 0) return false;
  const long long j = off / inc;
  const long long d = (static_cast<long long>(rec.m_nLast) - rec.m_nNo) / inc;
  return j >= 0 && j <= (d < 0 ? -d : d);
}

long long FloorMod(long long a, long long m) {
  const long long r = a % m;
  return r < 0 ? r + m : r;
}

// Adds [lo, hi] to a group's painting where it is still free.
void Paint(std::map<long long, std::pair<long long, int>>& pieces, long long lo, long long hi, int index) {
  long long cur = lo;
  auto it = pieces.upper_bound(lo);
  if (it != pieces.begin()) {
    const auto prev = std::prev(it);
    if (prev->second.first >= lo) cur = prev->second.first + 1;
  }
  while (cur <= hi) {
    it = pieces.lower_bound(cur);
    const long long gapEnd = it == pieces.end() ? hi : std::min(hi, it->first - 1);
    if (gapEnd >= cur) pieces.emplace(cur, std::make_pair(gapEnd, index));
    if (it == pieces.end() || it->first > hi) break;
    cur = it->second.first + 1;
  }
}
}  // namespace

CIpNodeBlock::CIpNodeBlock() { m_strKeyword = "/nodes"; }
CIpNodeBlock::~CIpNodeBlock() = default;

void CIpNodeBlock::Changed() {
  CIpBlockT<CIpNode>::Changed();
  m_index.reset();
}

const CIpNodeBlock::NodeIndex& CIpNodeBlock::Index() const {
  // Records stored straight into the array change the count.
  if (m_index && m_index->count == GetCount()) return *m_index;
  using Painting = std::map<long long, std::pair<long long, int>>;
  std::map<long long, std::unordered_map<long long, Painting>> build;
  const int count = GetCount();
  auto index = std::make_unique<NodeIndex>();
  // Numbers of 0 or less are never looked up.
  index->singles.Build(static_cast<size_t>(count), [&](auto add) {
    for (int i = 0; i < count; ++i) {
      const CIpNode* rec = GetRecord(i);
      if (rec && rec->m_nInc == 0 && rec->m_nNo > 0) add(rec->m_nNo, i);
    }
  });
  for (int i = 0; i < count; ++i) {
    const CIpNode* rec = GetRecord(i);
    if (!rec || rec->m_nInc == 0) continue;
    const long long first = rec->m_nNo;
    long long step = 1, lo = first, hi = first;
    if (rec->m_nInc != 0) {
      // k = |(last - first) / inc| + 1 numbers, counted from first in the
      // direction of the increment (also when its sign is wrong).
      const long long inc = rec->m_nInc;
      const long long d = (static_cast<long long>(rec->m_nLast) - first) / inc;
      const long long end = first + (d < 0 ? -d : d) * inc;
      step = inc < 0 ? -inc : inc;
      lo = std::min(first, end);
      hi = std::max(first, end);
    }
    const long long r = FloorMod(lo, step);
    Paint(build[step][r], (lo - r) / step, (hi - r) / step, i);
  }
  for (auto& [step, groups] : build) {
    NodeIndex::Step s{step, {}};
    for (auto& [r, painting] : groups) {
      auto& pieces = s.groups[r];
      pieces.reserve(painting.size());
      for (const auto& [lo, p] : painting) pieces.push_back({lo, p.first, p.second});
    }
    index->steps.push_back(std::move(s));
  }
  index->count = count;
  m_index = std::move(index);
  return *m_index;
}

CIpNode* CIpNodeBlock::FindNode(int number) const {
  if (number <= 0) return nullptr;
  const int count = GetCount();
  if (count <= kScanLimit) {
    // Small blocks are scanned, so that records edited in place are seen.
    for (int i = 0; i < count; ++i) {
      CIpNode* rec = GetRecord(i);
      if (rec && StandsFor(*rec, number)) return rec;
    }
    return nullptr;
  }
  auto lookup = [&]() {
    const NodeIndex& index = Index();
    int best = index.singles.Find(number);
    for (const auto& s : index.steps) {
      const long long r = FloorMod(number, s.step);
      const auto g = s.groups.find(r);
      if (g == s.groups.end()) continue;
      const long long k = (number - r) / s.step;
      const auto& pieces = g->second;
      auto it = std::upper_bound(pieces.begin(), pieces.end(), k,
                                 [](long long v, const NodeIndex::Piece& p) { return v < p.lo; });
      if (it == pieces.begin()) continue;
      --it;
      if (it->hi >= k && (best < 0 || it->index < best)) best = it->index;
    }
    return best < 0 ? nullptr : GetRecord(best);
  };
  CIpNode* found = lookup();
  if (found && !StandsFor(*found, number)) {
    // The record was edited in place since the index was built.
    m_index.reset();
    found = lookup();
  }
  return found;
}

// ---- CIpBeamBlock ----

CIpBeamBlock::CIpBeamBlock() { SetBeamFormat(1); }

void CIpBeamBlock::SetBeamFormat(int form) {
  m_nBeamFormat = form;
  if (form >= 0) g_nBeamFormat = form;
}

bool CIpBeamBlock::ReadBlock(CArchiveIn& ar, std::string& line) {
  if (m_nBeamFormat >= 0) g_nBeamFormat = m_nBeamFormat;
  return CIpBeamBlock0::ReadBlock(ar, line);
}

// ---- Merging readers ----

bool CIpMassBlock::ReadBlock(CArchiveIn& ar, std::string& line) {
  CIpMass* last = nullptr;
  for (;;) {
    auto rec = NewRecord();
    if (!rec->Read(ar, line)) break;
    if (last && last->m_strComment.empty() && rec->m_strComment.empty() && last->m_nNo == rec->m_nNo &&
        last->m_dValue == rec->m_dValue && last->m_nLast == rec->m_nLast && last->m_nInc == rec->m_nInc) {
      last->m_nDir |= rec->m_nDir;
      continue;
    }
    last = Append(std::move(rec));
  }
  TrimPool();
  return !line.empty() && line[0] == '/';
}

bool CIpDForceBlock::ReadBlock(CArchiveIn& ar, std::string& line) {
  CIpDForce* last = nullptr;
  for (;;) {
    auto rec = NewRecord();
    if (!rec->Read(ar, line)) break;
    if (last && last->m_strComment.empty() && rec->m_strComment.empty() && last->m_nFirst == rec->m_nFirst &&
        last->m_nCodeA == rec->m_nCodeA && last->m_dValue == rec->m_dValue && last->m_nLast == rec->m_nLast &&
        last->m_nInc == rec->m_nInc) {
      last->m_nCodeB |= rec->m_nCodeB;
      continue;
    }
    last = Append(std::move(rec));
  }
  TrimPool();
  return !line.empty() && line[0] == '/';
}

// ---- CIpAnsSubBlock ----

int CIpAnsSubBlock::CountWritable() const {
  int n = 0;
  std::string text;
  const int count = GetCount();
  for (int i = 0; i < count; ++i) {
    CIpAnsSub* rec = GetRecord(i);
    if (!rec || rec->IsEmpty() || !rec->m_strComment.empty()) continue;
    text.clear();
    if (rec->Write(text)) ++n;
  }
  return n;
}
