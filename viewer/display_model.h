// The display model both viewers draw from: the display arrays of
// display_records.h with their counts, the normalisation of the node
// positions, and the builders over a keyword data set and over an analysis
// input. Both programs' documents derive from CDispModel. Nothing here
// touches OpenGL: the builders run on the loading thread.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/heap.h"
#include "viewer/color_table.h"
#include "viewer/display_records.h"

// Allocator of the node, face and line arrays: room is made without writing it.
// The arrays are sized for the worst case and filled by appending, so room
// that is never used is never touched either (zeroing ten million faces
// first cost most of a large model's build time). Large room is asked for
// in huge pages, as it is filled at once.
template <class T>
struct UninitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitAllocator<U>;
  };
  UninitAllocator() = default;
  template <class U>
  UninitAllocator(const UninitAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(plat::AllocateLarge(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { plat::FreeLarge(p, n * sizeof(T)); }
  template <class U>
  void construct(U*) noexcept {
    static_assert(std::is_trivially_copyable_v<U> && std::is_trivially_destructible_v<U>);
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
using DispNodeArray = std::vector<DispNode, UninitAllocator<DispNode>>;
using DispFaceArray = std::vector<DispFace, UninitAllocator<DispFace>>;
using DispCornerArray = std::vector<DispCorner, UninitAllocator<DispCorner>>;
using DispLineArray = std::vector<DispLine, UninitAllocator<DispLine>>;

// Normal of a polygon from its first three corners; left as it is when its
// length is negligible.
void FlatNormal(const double p[4][3], double n[3]);

// Indices 0 .. n-1 grouped by key(i) in 0 .. keys-1, each group in index
// order (one counting pass): group k is order[start[k] .. start[k + 1]).
template <class Key>
void GroupByKey(int n, int keys, Key key, std::vector<int>& order, std::vector<int>& start) {
  start.assign(static_cast<std::size_t>(keys) + 1, 0);
  order.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  for (int i = 0; i < n; ++i) ++start[static_cast<std::size_t>(key(i)) + 1];
  for (int k = 0; k < keys; ++k) start[static_cast<std::size_t>(k) + 1] += start[static_cast<std::size_t>(k)];
  std::vector<int> next(start.begin(), start.end() - 1);
  for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(next[static_cast<std::size_t>(key(i))]++)] = i;
}

class CIpDataSet;
class CFbModel;
class CModelStats;

// Node lookup by number over one node array; the first node with a number
// wins, as a front-to-back search would find it. The table is flat: a
// position per number where the numbers are dense (a few bytes a node),
// else an open-addressed hash of 8 bytes a slot; a map node per entry cost
// some 25 bytes a node, three times over for the arrays and the drawing.
class CDispNodeIndex {
 public:
  void Build(const DispNode* nodes, int count);
  // The same, sharing the table of `same` when it was built over the same
  // node numbers in the same order (the current positions beside the base
  // ones), else building its own.
  void Build(const DispNode* nodes, int count, const CDispNodeIndex& same);
  void Clear();
  // Position in the array, or -1.
  int Find(int no) const {
    if (!m_table) return -1;
    const NumberTable& t = *m_table;
    if (t.dense) {
      const std::uint32_t off = static_cast<std::uint32_t>(no) - static_cast<std::uint32_t>(t.first);
      return off < t.pos.size() ? t.pos[off] : -1;
    }
    for (std::size_t h = t.Slot(no);; h = (h + 1) & t.mask) {
      const int at = t.pos[h];
      if (at < 0 || t.no[h] == no) return at;
    }
  }
  const DispNode* Nodes() const { return m_pNodes; }
  int Count() const { return m_nCount; }
  // True the first time `key` is asked after a Build or Clear: what the
  // drawing finds missing is reported once per model, not at every frame
  // (one thread draws over an index at a time).
  bool FirstReport(std::uint64_t key) const;

 private:
  struct NumberTable {
    bool dense = false;
    int first = 0;               // dense: the number of pos[0]
    std::size_t mask = 0;        // hashed: slot count - 1
    std::vector<int> pos;        // position, -1 for none
    std::vector<int> no;         // hashed: the number of each slot
    std::size_t Slot(int n) const {
      return static_cast<std::size_t>((static_cast<std::uint32_t>(n) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    }
  };
  static std::shared_ptr<const NumberTable> MakeTable(const DispNode* nodes, int count);

  const DispNode* m_pNodes = nullptr;
  int m_nCount = 0;
  std::shared_ptr<const NumberTable> m_table;
  mutable std::unordered_set<std::uint64_t> m_reported;
};

// The scaled x, y, z of each wanted node into out[i]. Returns 1 when all were
// found; else prints "cannot find pos : ..." to standard output (the first
// time the node is missed over `index`) and returns 0 (the positions written
// so far stay).
int FindNodePos(double out[][3], int nWanted, const int* nos, const CDispNodeIndex& index);
// Prints " cannot find node of tria3( i / n )" (tria4 for 4 corners) the
// first time element i is reported over `index`.
void ReportElemMissingNode(int corners, int i, int n, const CDispNodeIndex& index);
// The four per-node values of each of the four corner nodes into out[i].
int FindElemNodePos(double out[4][4], const int nos[4], const CDispNodeIndex& index);
// The four corners of a shell moved by `factor` times their nodes' values
// (the displacement shown). 0 when a node is missing.
int DisplacedShellCorners(double out[4][3], const int nos[4], double factor, const CDispNodeIndex& index);
// The same over a plain node array of `nodeCount` records, searched from the
// front (the first node with a number wins). For one-off lookups; the
// drawing's repeated lookups go through a CDispNodeIndex.
int FindNodePos(double out[][3], int nodeCount, int nWanted, const int* nos,
                const DispNode* nodes);
int FindElemNodePos(double out[4][4], int nodeCount, const int nos[4], const DispNode* nodes);

// Face and line records that the arc blocks of all members need.
struct ArcCounts {
  std::int64_t nFaces = 0;
  std::int64_t nLines = 0;
  // Adds one block's records; the sums stop at kSaturated (far past any size
  // that can be allocated) instead of overflowing.
  static constexpr std::int64_t kSaturated = std::int64_t{1} << 62;
  void Add(std::int64_t faces, std::int64_t lines) {
    nFaces = faces >= kSaturated - nFaces ? kSaturated : nFaces + faces;
    nLines = lines >= kSaturated - nLines ? kSaturated : nLines + lines;
  }
};

// The face and line records that the arc blocks of all live members need,
// for sizing the arrays before building (CDispModel::CountArcParts gives both
// at once).
std::int64_t CountArcFaces(const CIpDataSet& data);
std::int64_t CountArcLines(const CIpDataSet& data);
std::int64_t CountArcFaces(const CFbModel& model);
std::int64_t CountArcLines(const CFbModel& model);

class CDispModel {
 public:
  CDispModel() = default;
  virtual ~CDispModel() = default;
  CDispModel(const CDispModel&) = delete;
  CDispModel& operator=(const CDispModel&) = delete;

  // --- display arrays: the count beside each is the number of records in
  // use; the vector's size is the room AllocDisplayArrays gave it.
  int m_nNodes = 0;
  DispNodeArray m_aNodes;               // base positions
  int m_nCurNodes = 0;
  DispNodeArray m_aCurNodes;            // current positions
  // False for a model whose nodes never move from their base positions:
  // the builders then leave the current-node array empty and the drawing
  // takes the base nodes, a record of 64 bytes a node fewer.
  bool m_bCurrentNodes = true;
  int m_nElems3 = 0;
  std::vector<DispElem> m_aElems3;      // 3-node shells (never filled here)
  int m_nElems4 = 0;
  std::vector<DispElem> m_aElems4;      // 4-node shells
  int m_nSolids = 0;
  std::vector<DispSolid> m_aSolids;     // 8-node solids (never filled here)
  int m_nMats = 0;
  std::vector<DispMaterial> m_aMats;
  int m_nFaces = 0;
  DispFaceArray m_aFaces;               // member solids
  int m_nCorners = 0;
  DispCornerArray m_aCorners;           // their corners, room for four a face
  int m_nLines = 0;
  DispLineArray m_aLines;               // member lines and arc outlines

  // Per-element colour map (".clr"); the first row of a number wins.
  std::vector<ElemColorEntry> m_aElemColors;
  // Material colour table; material i takes entry i modulo the count.
  CColorTable m_colorTable;

  // Bounding box of the nodes and the normalisation:
  // scaled = (raw + m_vCenter) x m_dScale.
  double m_dMinX = 1e55, m_dMaxX = -1e55;
  double m_dMinY = 1e55, m_dMaxY = -1e55;
  double m_dMinZ = 1e55, m_dMaxZ = -1e55;
  double m_dScale = 1.0;
  double m_vCenter[3] = {0, 0, 0};

  int m_nColorMode = 0;       // -1 after a build of either model
  double m_dDispScale = 0.0;  // 1.0 after a build of either model
  int m_nGridStatus = 0;      // 0 after a build of either model

  // Appends refused because an array was full (the arrays are sized before
  // building and never grow).
  int m_nOverflow = 0;

  // Seconds the last load spent reading the file, linking and counting, and
  // building these arrays (the first-picture report shows them).
  struct LoadSeconds {
    double read = 0, link = 0, build = 0;
  } m_loadSeconds;

  // Node lookups over both node arrays, rebuilt by the node builders.
  CDispNodeIndex m_nodeIndex;
  CDispNodeIndex m_curNodeIndex;

  // A number no earlier state of the arrays, of this model or another, had:
  // every allocation, free, clear and build takes a new one. What is made
  // from the arrays and kept (a drawing's caches) is keyed by it, since a
  // rebuild can give an array its old address and count. Code that fills
  // the arrays itself ends with IndexNodes or calls BumpGeneration.
  std::uint64_t Generation() const { return m_nGeneration; }
  void BumpGeneration();

  // --- allocation ---------------------------------------------------------
  // Sizes every array from the statistics: faces = arc faces + 6 x straight
  // blocks, lines = arc lines + 2 x elements, nodes (two arrays), 4-node
  // shells and materials. Negative counts are 0; a size that cannot be
  // allocated leaves that array empty and is reported in `error`. Returns
  // false when any array was refused. The colour map survives.
  bool AllocDisplayArrays(const CModelStats& stats, const ArcCounts& arcs,
                          std::string* error = nullptr);
  // The same from the record counts themselves.
  bool AllocArrays(std::int64_t nFaces, std::int64_t nLines, std::int64_t nNodes,
                   std::int64_t nElems4, std::int64_t nMats, std::string* error = nullptr);
  // Frees every array (the colour map too when asked) and zeroes the counts,
  // so nothing can draw from a freed array.
  void FreeDisplayArrays(bool bColorMap);
  // Faults in, on other threads, the room from face `firstFace`, from
  // corner `firstCorner` for `corners` more, and from line `firstLine`,
  // while the builders fill it (plat::CPageWarmer). StopWarming comes before
  // any of the three arrays is given up or grown.
  void WarmRoom(std::int64_t firstFace, std::int64_t firstCorner, std::int64_t corners, std::int64_t firstLine);
  void StopWarming() { m_warmer.Wait(); }
  // Warms the room the builders are about to fill: every face and line, and
  // the corners that the faces of the model counted by AllocDisplayArrays
  // are expected to take. Called once the node arrays are built, whose
  // passing tables would otherwise stand beside the warmed room.
  void WarmBuildRoom();

  // --- the keyword data set (linked and counted) ---------------------------
  static ArcCounts CountArcParts(const CIpDataSet& data);
  void BuildNodesAndShells(const CIpDataSet& data);
  void BuildLineMembers(const CIpDataSet& data);
  void BuildMemberSolids(const CIpDataSet& data);
  // Allocation from `stats` and the three builders in their order.
  bool BuildDisplayModel(const CIpDataSet& data, const CModelStats& stats,
                         std::string* error = nullptr);

  // --- the analysis input (linked and counted) -----------------------------
  static ArcCounts CountArcParts(const CFbModel& model);
  void BuildNodesAndShellsIn(const CFbModel& model);
  void BuildLineMembersIn(const CFbModel& model);
  void BuildMemberSolidsIn(const CFbModel& model);
  bool BuildDisplayModelIn(const CFbModel& model, const CModelStats& stats,
                           std::string* error = nullptr);

  // --- appending (the solid builders) --------------------------------------
  // Appends one corner: its slot, or -1 (and m_nOverflow counted) when the
  // corner array is full.
  std::int64_t AddCorner(const double p[3]);
  // Appends one face whose corner slots the caller took from AddCorner;
  // false (and m_nOverflow counted) when the array is full.
  bool AddFace(const DispFace& face);
  // Appends one face with corners of its own.
  bool AddFace(DispFace face, const double p[4][3]);
  // Empties the face and corner arrays, keeping their room.
  void ClearFaceRecords() {
    m_nFaces = m_nCorners = 0;
    BumpGeneration();
  }
  // A corner by slot, raw model coordinates.
  std::array<double, 3> Corner(std::uint32_t slot) const {
    if (slot >= static_cast<std::uint32_t>(m_nCorners)) return {0.0, 0.0, 0.0};
    const float* c = m_aCorners[slot].p;
    const double* o = m_vCornerCenter;
    return {c[0] / m_dCornerScale - o[0], c[1] / m_dCornerScale - o[1], c[2] / m_dCornerScale - o[2]};
  }
  // The kept floats of a corner when the drawing normalises with `center`
  // and `scale` as they were kept; null otherwise or outside the array.
  const float* KeptCorner(std::uint32_t slot, const double center[3], double scale) const {
    const bool same = scale == m_dCornerScale && center[0] == m_vCornerCenter[0] &&
                      center[1] == m_vCornerCenter[1] && center[2] == m_vCornerCenter[2];
    return same && slot < static_cast<std::uint32_t>(m_nCorners) ? m_aCorners[slot].p : nullptr;
  }
  // Corner k of a face.
  std::array<double, 3> FaceCorner(const DispFace& f, int k) const { return Corner(f.c[k]); }
  // All four corners of a face.
  void FaceCorners(const DispFace& f, double p[4][3]) const {
    for (int k = 0; k < 4; ++k) {
      const std::array<double, 3> c = FaceCorner(f, k);
      for (int j = 0; j < 3; ++j) p[k][j] = c[static_cast<std::size_t>(j)];
    }
  }
  // One outline record: point, second vector, material, element integer,
  // colour class, mode-1 flag, vertex-count code; outline flag 1, thin.
  bool AddLine(const double p[3], const double v[3], int nMat, int nElemInt, int nColorClass,
               int nMode1, int nCode);

  // True when `n` more line records fit; otherwise counts them as refused.
  bool HasLineRoom(std::int64_t n);
  // The same for face records (and the four corners each may take).
  bool HasFaceRoom(std::int64_t n);

  // --- lookups --------------------------------------------------------------
  // The first material record with that number, or null.
  const DispMaterial* FindMaterial(int no) const;
  // Rebuilds the node and material lookups after the arrays were filled by
  // other code (a grid model, say).
  void IndexNodes();
  void IndexMaterials();

  // Resets the box, the counts of nodes, shells, solids and materials.
  void ResetModelCounts();
  // Box from raw coordinates, then scale and centre from the box.
  void WidenBox(double x, double y, double z);
  void ComputeScale();
  // Fills node slot i of both node arrays from raw coordinates.
  void SetNode(int i, int no, double x, double y, double z);
  // Material slot i: number and colour entry i modulo the colour count.
  void SetMaterial(int i, int no);
  // Edge flags of the 4-node shells (an edge shared with an earlier shell).
  void ComputeEdgeFlags();

 private:
  // The corners are kept as (raw + centre) x scale in floats. The model's
  // normalisation at the first corner after the array was emptied: the floats
  // are then those the drawing hands on, and far-from-zero models keep the
  // precision of their extent. Before a normalisation, the first corner is
  // the zero.
  double m_vCornerCenter[3] = {0, 0, 0};
  double m_dCornerScale = 1.0;
  std::unordered_map<int, int> m_matIndex;
  // Declared after the arrays, so that it stops before they go.
  plat::CPageWarmer m_warmer;
  std::int64_t m_nWarmCorners = 0;
  static std::uint64_t NewGeneration();
  std::uint64_t m_nGeneration = NewGeneration();
};

// Colour class and mode-1 flag of an element number from a colour map; the
// first row with the number wins; 0 and 0 when absent.
class CElemColorIndex {
 public:
  explicit CElemColorIndex(const std::vector<ElemColorEntry>& map);
  void Lookup(int no, int& nColorClass, int& nMode1) const;

 private:
  std::unordered_map<int, const ElemColorEntry*> m_map;
};
