#include "viewer/display_model.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <new>
#include <unordered_set>

#include "dataset/model_stats.h"
#include "platform/numbers.h"

namespace {

// No display array may hold more than this many bytes: a count read from a
// file that asks for more is refused rather than tried.
constexpr std::int64_t kMaxArrayBytes = std::int64_t{8} << 30;

void Refused(std::int64_t count, const char* what, std::string* error) {
  if (error == nullptr) return;
  if (!error->empty()) *error += "\n";
  *error += plat::Format("cannot allocate %lld %s records", static_cast<long long>(count), what);
}

template <class T, class A>
bool Allocate(std::vector<T, A>& array, std::int64_t count, const char* what, std::string* error) {
  array.clear();
  array.shrink_to_fit();
  if (count <= 0) return true;
  const std::int64_t limit =
      std::min<std::int64_t>(INT32_MAX, kMaxArrayBytes / static_cast<std::int64_t>(sizeof(T)));
  bool ok = count <= limit;
  if (ok) {
    try {
      array.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
      array.clear();
      array.shrink_to_fit();
      ok = false;
    }
  }
  if (!ok) Refused(count, what, error);
  return ok;
}

// The last generation given to a model's arrays.
std::atomic<std::uint64_t> g_lastGeneration{0};

std::uint64_t EdgeKey(int a, int b) {
  if (a > b) std::swap(a, b);
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) |
         static_cast<std::uint32_t>(b);
}

// Up to `count` records of `a` from `first`, to be warmed in wave `wave`.
template <class A>
plat::CPageWarmer::Span Part(const A& a, std::int64_t first, std::int64_t count, int wave) {
  const auto size = static_cast<std::int64_t>(a.size());
  first = std::clamp<std::int64_t>(first, 0, size);
  count = std::clamp<std::int64_t>(count, 0, size - first);
  return {a.data() + first, static_cast<std::size_t>(count) * sizeof(a[0]), wave};
}

template <class A>
plat::CPageWarmer::Span Whole(const A& a) {
  return Part(a, 0, INT64_MAX, 0);
}

}  // namespace

// ---------------------------------------------------------------------------
// Node lookups

std::shared_ptr<const CDispNodeIndex::NumberTable> CDispNodeIndex::MakeTable(const DispNode* nodes,
                                                                             int count) {
  auto t = std::make_shared<NumberTable>();
  t->dense = true;  // with no room: finds nothing
  if (count <= 0) return t;
  int lo = nodes[0].nNo, hi = nodes[0].nNo;
  for (int i = 1; i < count; ++i) {
    lo = std::min(lo, nodes[i].nNo);
    hi = std::max(hi, nodes[i].nNo);
  }
  const std::int64_t range = static_cast<std::int64_t>(hi) - lo + 1;
  if (range <= 2 * static_cast<std::int64_t>(count) + 1024) {
    t->first = lo;
    t->pos.assign(static_cast<std::size_t>(range), -1);
    for (int i = 0; i < count; ++i) {
      int& at = t->pos[static_cast<std::size_t>(static_cast<std::int64_t>(nodes[i].nNo) - lo)];
      if (at < 0) at = i;  // first wins
    }
    return t;
  }
  t->dense = false;
  std::size_t slots = 16;
  while (slots < 2 * static_cast<std::size_t>(count)) slots *= 2;
  t->mask = slots - 1;
  t->pos.assign(slots, -1);
  t->no.assign(slots, 0);
  for (int i = 0; i < count; ++i) {
    const int no = nodes[i].nNo;
    std::size_t h = t->Slot(no);
    while (t->pos[h] >= 0 && t->no[h] != no) h = (h + 1) & t->mask;
    if (t->pos[h] < 0) {  // first wins
      t->pos[h] = i;
      t->no[h] = no;
    }
  }
  return t;
}

void CDispNodeIndex::Build(const DispNode* nodes, int count) {
  m_pNodes = nodes;
  m_nCount = nodes ? std::max(0, count) : 0;
  m_table = MakeTable(nodes, m_nCount);
  m_reported.clear();
}

void CDispNodeIndex::Build(const DispNode* nodes, int count, const CDispNodeIndex& same) {
  const int n = nodes ? std::max(0, count) : 0;
  bool shared = same.m_table && n == same.m_nCount;
  for (int i = 0; shared && i < n; ++i) shared = nodes[i].nNo == same.m_pNodes[i].nNo;
  if (!shared) return Build(nodes, count);
  m_pNodes = nodes;
  m_nCount = n;
  m_table = same.m_table;
  m_reported.clear();
}

void CDispNodeIndex::Clear() {
  m_pNodes = nullptr;
  m_nCount = 0;
  m_table.reset();
  m_reported.clear();
}

bool CDispNodeIndex::FirstReport(std::uint64_t key) const { return m_reported.insert(key).second; }

namespace {

// The lookups of the drawing: each wanted node in order; a missing one is
// reported with its number, its index, the number wanted and the node
// count (once per node over `once`, when given), and ends the lookup with 0
// (what was written so far stays). find(no) gives the node or null;
// put(i, node) stores what is wanted.
template <class Find, class Put>
int FindEachNode(int nWanted, const int* nos, int nodeCount, Find find, Put put,
                 const CDispNodeIndex* once = nullptr) {
  for (int i = 0; i < nWanted; ++i) {
    const DispNode* node = find(nos[i]);
    if (node == nullptr) {
      // Node numbers take the keys below 2^32.
      if (!once || once->FirstReport(static_cast<std::uint32_t>(nos[i])))
        std::printf("cannot find pos : %d ( %d / %d ) in %d\n", nos[i], i, nWanted, nodeCount);
      return 0;
    }
    put(i, *node);
  }
  return 1;
}

auto IndexFinder(const CDispNodeIndex& index) {
  return [&index](int no) -> const DispNode* {
    const int k = index.Find(no);
    return k < 0 ? nullptr : &index.Nodes()[k];
  };
}

auto ArrayFinder(int nodeCount, const DispNode* nodes) {
  return [nodeCount, nodes](int no) -> const DispNode* {
    if (nodes == nullptr) return nullptr;
    for (int k = 0; k < nodeCount; ++k) {
      if (nodes[k].nNo == no) return &nodes[k];
    }
    return nullptr;
  };
}

auto PutPosition(double out[][3]) {
  return [out](int i, const DispNode& node) {
    out[i][0] = node.x;
    out[i][1] = node.y;
    out[i][2] = node.z;
  };
}

// The position moved by `factor` times the node's first three values.
auto PutDisplaced(double out[][3], double factor) {
  return [out, factor](int i, const DispNode& node) {
    const double p[3] = {node.x, node.y, node.z};
    for (int j = 0; j < 3; ++j) out[i][j] = p[j] + factor * node.dVal[j];
  };
}

auto PutValues(double out[4][4]) {
  return [out](int i, const DispNode& node) {
    for (int j = 0; j < 4; ++j) out[i][j] = node.dVal[j];
  };
}

}  // namespace

int FindNodePos(double out[][3], int nWanted, const int* nos, const CDispNodeIndex& index) {
  return FindEachNode(nWanted, nos, index.Count(), IndexFinder(index), PutPosition(out), &index);
}

int FindElemNodePos(double out[4][4], const int nos[4], const CDispNodeIndex& index) {
  return FindEachNode(4, nos, index.Count(), IndexFinder(index), PutValues(out), &index);
}

void ReportElemMissingNode(int corners, int i, int n, const CDispNodeIndex& index) {
  // Elements take the keys from 2^32 up, by their corner count.
  const std::uint64_t key = (static_cast<std::uint64_t>(corners == 3 ? 3 : 4) << 32) | static_cast<std::uint32_t>(i);
  if (index.FirstReport(key)) std::printf(" cannot find node of tria%d( %d / %d )\n", corners == 3 ? 3 : 4, i, n);
}

int DisplacedShellCorners(double out[4][3], const int nos[4], double factor, const CDispNodeIndex& index) {
  // One lookup a corner for its position and its values: at a million
  // elements the lookups are cache misses, not arithmetic.
  return FindEachNode(4, nos, index.Count(), IndexFinder(index), PutDisplaced(out, factor), &index);
}

int FindNodePos(double out[][3], int nodeCount, int nWanted, const int* nos,
                const DispNode* nodes) {
  return FindEachNode(nWanted, nos, nodeCount, ArrayFinder(nodeCount, nodes), PutPosition(out));
}

int FindElemNodePos(double out[4][4], int nodeCount, const int nos[4], const DispNode* nodes) {
  return FindEachNode(4, nos, nodeCount, ArrayFinder(nodeCount, nodes), PutValues(out));
}

void FlatNormal(const double p[4][3], double n[3]) {
  const double a[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
  const double b[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
  n[0] = a[1] * b[2] - a[2] * b[1];
  n[1] = a[2] * b[0] - a[0] * b[2];
  n[2] = a[0] * b[1] - a[1] * b[0];
  const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (len >= 1e-99) {
    n[0] /= len;
    n[1] /= len;
    n[2] /= len;
  }
}

// ---------------------------------------------------------------------------
// Colour map lookup

CElemColorIndex::CElemColorIndex(const std::vector<ElemColorEntry>& map) {
  m_map.reserve(map.size());
  for (const ElemColorEntry& e : map) m_map.emplace(e.nNo, &e);  // first wins
}

void CElemColorIndex::Lookup(int no, int& nColorClass, int& nMode1) const {
  const auto it = m_map.find(no);
  if (it == m_map.end()) {
    nColorClass = 0;
    nMode1 = 0;
  } else {
    nColorClass = it->second->nColorClass;
    nMode1 = it->second->nMode1;
  }
}

// ---------------------------------------------------------------------------
// Allocation

bool CDispModel::AllocArrays(std::int64_t nFaces, std::int64_t nLines, std::int64_t nNodes,
                             std::int64_t nElems4, std::int64_t nMats, std::string* error) {
  FreeDisplayArrays(false);
  bool ok = true;
  ok &= Allocate(m_aFaces, nFaces, "face", error);
  // Room for four corners a face, the most a face takes; faces without room
  // for their corners are refused as faces.
  if (!m_aFaces.empty() && !Allocate(m_aCorners, std::min<std::int64_t>(4 * nFaces, INT32_MAX), "corner", nullptr)) {
    Allocate(m_aFaces, 0, "face", nullptr);
    Refused(nFaces, "face", error);
    ok = false;
  }
  ok &= Allocate(m_aLines, nLines, "line", error);
  ok &= Allocate(m_aNodes, nNodes, "node", error);
  ok &= Allocate(m_aCurNodes, m_bCurrentNodes ? nNodes : 0, "node", error);
  ok &= Allocate(m_aElems4, nElems4, "shell element", error);
  ok &= Allocate(m_aMats, nMats, "material", error);
  return ok;
}

bool CDispModel::AllocDisplayArrays(const CModelStats& stats, const ArcCounts& arcs,
                                    std::string* error) {
  const auto n = [](std::int64_t v) { return std::max<std::int64_t>(0, v); };
  const bool ok = AllocArrays(n(arcs.nFaces) + 6 * n(stats.m_nRectBlocks),
                              n(arcs.nLines) + 2 * n(stats.m_nElems), n(stats.m_nNodes), n(stats.m_nQuads),
                              n(stats.m_nMats), error);
  // A straight block takes eight corners, an arc face about one; the room
  // for four a face is mostly never touched, and is not warmed.
  m_nWarmCorners = n(arcs.nFaces) + 8 * n(stats.m_nRectBlocks);
  // The node builder comes first and writes every node.
  m_warmer.Start({Whole(m_aNodes), Whole(m_aCurNodes)});
  return ok;
}

void CDispModel::WarmBuildRoom() { WarmRoom(0, 0, m_nWarmCorners, 0); }

void CDispModel::WarmRoom(std::int64_t firstFace, std::int64_t firstCorner, std::int64_t corners,
                          std::int64_t firstLine) {
  // The lines are built before the faces and their corners, which are built
  // side by side.
  m_warmer.Start({Part(m_aLines, firstLine, INT64_MAX, 0), Part(m_aFaces, firstFace, INT64_MAX, 1),
                  Part(m_aCorners, firstCorner, corners, 1)});
}

void CDispModel::FreeDisplayArrays(bool bColorMap) {
  StopWarming();
  for (auto* a : {&m_aNodes, &m_aCurNodes}) {
    a->clear();
    a->shrink_to_fit();
  }
  for (auto* a : {&m_aElems3, &m_aElems4}) {
    a->clear();
    a->shrink_to_fit();
  }
  m_aSolids.clear();
  m_aSolids.shrink_to_fit();
  m_aMats.clear();
  m_aMats.shrink_to_fit();
  m_aFaces.clear();
  m_aFaces.shrink_to_fit();
  m_aCorners.clear();
  m_aCorners.shrink_to_fit();
  m_aLines.clear();
  m_aLines.shrink_to_fit();
  if (bColorMap) {
    m_aElemColors.clear();
    m_aElemColors.shrink_to_fit();
  }
  m_nNodes = m_nCurNodes = m_nElems3 = m_nElems4 = m_nSolids = m_nMats = 0;
  m_nFaces = m_nCorners = m_nLines = 0;
  m_nodeIndex.Clear();
  m_curNodeIndex.Clear();
  m_matIndex.clear();
  BumpGeneration();
}

std::uint64_t CDispModel::NewGeneration() { return ++g_lastGeneration; }

void CDispModel::BumpGeneration() { m_nGeneration = NewGeneration(); }

// ---------------------------------------------------------------------------
// Appending

std::int64_t CDispModel::AddCorner(const double p[3]) {
  if (m_nCorners < 0 || m_nCorners >= static_cast<int>(m_aCorners.size())) {
    ++m_nOverflow;
    return -1;
  }
  if (m_nCorners == 0) {
    const bool normalised = m_dMinX <= m_dMaxX;
    m_dCornerScale = normalised ? m_dScale : 1.0;
    for (int j = 0; j < 3; ++j) m_vCornerCenter[j] = normalised ? m_vCenter[j] : -p[j];
  }
  DispCorner& c = m_aCorners[static_cast<std::size_t>(m_nCorners)];
  for (int j = 0; j < 3; ++j) c.p[j] = static_cast<float>((p[j] + m_vCornerCenter[j]) * m_dCornerScale);
  return m_nCorners++;
}

bool CDispModel::AddFace(const DispFace& face) {
  if (m_nFaces < 0 || m_nFaces >= static_cast<int>(m_aFaces.size())) {
    ++m_nOverflow;
    return false;
  }
  m_aFaces[static_cast<std::size_t>(m_nFaces++)] = face;
  return true;
}

bool CDispModel::AddFace(DispFace face, const double p[4][3]) {
  if (m_nFaces < 0 || m_nFaces >= static_cast<int>(m_aFaces.size())) {
    ++m_nOverflow;
    return false;
  }
  for (int k = 0; k < 4; ++k) {
    const std::int64_t c = AddCorner(p[k]);
    if (c < 0) return false;
    face.c[k] = static_cast<std::uint32_t>(c);
  }
  return AddFace(face);
}

bool CDispModel::AddLine(const double p[3], const double v[3], int nMat, int nElemInt,
                         int nColorClass, int nMode1, int nCode) {
  if (m_nLines < 0 || m_nLines >= static_cast<int>(m_aLines.size())) {
    ++m_nOverflow;
    return false;
  }
  DispLine& line = m_aLines[static_cast<std::size_t>(m_nLines++)];
  line = DispLine{};
  line.nCode = nCode;
  line.byOutline = 1;
  for (int j = 0; j < 3; ++j) {
    line.p[j] = p[j];
    line.v[j] = v[j];
  }
  line.nMat = nMat;
  line.nElemInt = nElemInt;
  line.nColorClass = nColorClass;
  line.nThick = 0;
  line.nMode1 = nMode1;
  return true;
}

bool CDispModel::HasLineRoom(std::int64_t n) {
  if (m_nLines >= 0 && m_nLines + n <= static_cast<std::int64_t>(m_aLines.size())) return true;
  m_nOverflow += static_cast<int>(std::min<std::int64_t>(n, INT32_MAX - m_nOverflow));
  return false;
}

bool CDispModel::HasFaceRoom(std::int64_t n) {
  if (m_nFaces >= 0 && m_nFaces + n <= static_cast<std::int64_t>(m_aFaces.size())) return true;
  m_nOverflow += static_cast<int>(std::min<std::int64_t>(n, INT32_MAX - m_nOverflow));
  return false;
}

// ---------------------------------------------------------------------------
// Lookups

const DispMaterial* CDispModel::FindMaterial(int no) const {
  const auto it = m_matIndex.find(no);
  return it == m_matIndex.end() ? nullptr : &m_aMats[static_cast<std::size_t>(it->second)];
}

void CDispModel::IndexNodes() {
  BumpGeneration();
  m_nodeIndex.Build(m_aNodes.data(), std::min(m_nNodes, static_cast<int>(m_aNodes.size())));
  m_curNodeIndex.Build(m_aCurNodes.data(), std::min(m_nCurNodes, static_cast<int>(m_aCurNodes.size())),
                       m_nodeIndex);
}

void CDispModel::IndexMaterials() {
  m_matIndex.clear();
  const int n = std::min(m_nMats, static_cast<int>(m_aMats.size()));
  for (int i = 0; i < n; ++i) m_matIndex.emplace(m_aMats[static_cast<std::size_t>(i)].nNo, i);
}

// ---------------------------------------------------------------------------
// Shared steps of the node and shell builders

void CDispModel::ResetModelCounts() {
  m_dMinX = m_dMinY = m_dMinZ = 1e55;
  m_dMaxX = m_dMaxY = m_dMaxZ = -1e55;
  m_nNodes = m_nCurNodes = 0;
  m_nElems3 = m_nElems4 = 0;
  m_nSolids = 0;
  m_nMats = 0;
  m_nGridStatus = 0;
  BumpGeneration();
}

void CDispModel::WidenBox(double x, double y, double z) {
  if (x < m_dMinX) m_dMinX = x;
  if (x > m_dMaxX) m_dMaxX = x;
  if (y < m_dMinY) m_dMinY = y;
  if (y > m_dMaxY) m_dMaxY = y;
  if (z < m_dMinZ) m_dMinZ = z;
  if (z > m_dMaxZ) m_dMaxZ = z;
}

void CDispModel::ComputeScale() {
  double extent = m_dMaxX - m_dMinX;
  if (m_dMaxY - m_dMinY > extent) extent = m_dMaxY - m_dMinY;
  if (m_dMaxZ - m_dMinZ > extent) extent = m_dMaxZ - m_dMinZ;
  m_dScale = extent > 0 ? 2.0 / extent : 1.0;
  m_vCenter[0] = -(m_dMinX + m_dMaxX) / 2;
  m_vCenter[1] = -(m_dMinY + m_dMaxY) / 2;
  m_vCenter[2] = -(m_dMinZ + m_dMaxZ) / 2;
}

void CDispModel::SetNode(int i, int no, double x, double y, double z) {
  for (auto* a : {&m_aNodes, &m_aCurNodes}) {
    if (static_cast<std::size_t>(i) >= a->size()) continue;  // no current nodes kept
    DispNode& node = (*a)[static_cast<std::size_t>(i)];
    node.nId = 0;
    node.nNo = no;
    node.x = (x + m_vCenter[0]) * m_dScale;
    node.y = (y + m_vCenter[1]) * m_dScale;
    node.z = (z + m_vCenter[2]) * m_dScale;
    for (double& v : node.dVal) v = 0.0;
  }
}

void CDispModel::SetMaterial(int i, int no) {
  DispMaterial& mat = m_aMats[static_cast<std::size_t>(i)];
  mat.nNo = no;
  // An empty colour table leaves the material black rather than dividing by 0.
  const int nColors = std::clamp(m_colorTable.m_nColors, 0, kMaxColors);
  if (nColors > 0) {
    const ColorEntry& c = m_colorTable.m_aColors[static_cast<std::size_t>(i % nColors)];
    mat.r = c.r;
    mat.g = c.g;
    mat.b = c.b;
  } else {
    mat.r = mat.g = mat.b = 0.0;
  }
}

void CDispModel::ComputeEdgeFlags() {
  // An edge of a shell is flagged when an earlier shell has the same edge,
  // in either direction: look each edge up among the edges seen so far, in
  // an open-addressed set (a node per key cost some 40 bytes an edge).
  const int n = std::min(m_nElems4, static_cast<int>(m_aElems4.size()));
  if (n <= 0) return;
  constexpr std::uint64_t kEmpty = ~std::uint64_t{0};  // a key of its own, kept aside
  bool seenEmptyKey = false;
  std::size_t slots = 16;
  while (slots < 8 * static_cast<std::size_t>(n)) slots *= 2;
  const std::size_t mask = slots - 1;
  std::vector<std::uint64_t> seen(slots, kEmpty);
  auto slot = [&](std::uint64_t key) {
    std::size_t h = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    while (seen[h] != kEmpty && seen[h] != key) h = (h + 1) & mask;
    return h;
  };
  for (int t = 0; t < n; ++t) {
    DispElem& e = m_aElems4[static_cast<std::size_t>(t)];
    std::uint64_t keys[4];
    for (int k = 0; k < 4; ++k) {
      keys[k] = EdgeKey(e.n[k], e.n[(k + 1) % 4]);
      const bool found = keys[k] == kEmpty ? seenEmptyKey : seen[slot(keys[k])] == keys[k];
      if (found) e.nEdgeFlags |= 1 << k;
    }
    for (std::uint64_t key : keys) {
      if (key == kEmpty)
        seenEmptyKey = true;
      else
        seen[slot(key)] = key;
    }
  }
}
