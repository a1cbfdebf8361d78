// Result-valued display geometry: element end positions moved by the node
// results, member solids at those positions, fibre faces carrying the values
// of their fibres, and line items and solids carrying the end forces of
// their element.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <unordered_map>

#include "resultsviewer/qm_doc.h"
#include "resultsviewer/ui_hooks.h"
#include "results/op_block.h"
#include "viewer/member_sections.h"
#include "viewer/member_solid.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
// No growing array may pass this many records: a count of that size comes
// from a damaged file, and asking for it would only fail later.
constexpr long long kMaxRecords = 200'000'000;

long long Fibers(int rows, int cols) {
  return rows > 0 && cols > 0 ? static_cast<long long>(rows) * cols : 0;
}

}  // namespace

int ResultDataRows(const CFbOpBlock* table, long long items, bool minMaxRows) {
  if (!table) return 0;
  long long n = table->GetCount();
  if (minMaxRows && n >= 2 && n - 2 <= items) n -= 2;
  return static_cast<int>(std::clamp<long long>(std::min(n, items), 0, INT32_MAX));
}

// ---------------------------------------------------------------------------
// Arrays

bool QmDoc::AllocDisplayArrays(const CModelStats& stats) {
  FreeDisplayArrays(false);
  m_arcs = CountArcParts(m_resultSet.m_model);
  std::string error;
  bool ok = CDispModel::AllocDisplayArrays(stats, m_arcs, &error);
  // The value arrays grow with what a diagram builds: the structure alone
  // needs none of them.
  const CFbModel& model = m_resultSet.m_model;
  m_nElemBlocks = std::max(0, model.m_aElems.GetCount());
  try {
    m_aNodeRef.assign(static_cast<size_t>(std::max(0, model.m_aNodes.GetCount())), {});
  } catch (const std::bad_alloc&) {
    m_aNodeRef.clear();
    error += error.empty() ? "cannot allocate the value blocks" : "\ncannot allocate the value blocks";
    ok = false;
  }
  // The system's own word for memory that runs out, then what was refused.
  if (!ok) varnek::MessageBox(nullptr, "ﾒﾓﾘｵｰﾊﾞｰです\n" + error);
  return ok;
}

void QmDoc::FreeDisplayArrays(bool bColorMap) {
  CDispModel::FreeDisplayArrays(bColorMap);
  m_aFaceValues = std::vector<FaceValue>();
  m_aLineBlock = std::vector<int>();
  m_aValueBlocks = decltype(m_aValueBlocks)();
  m_aNodeRef = std::vector<std::array<double, 6>>();
  m_aShellValue = std::vector<double>();
  m_nElemBlocks = 0;
}

namespace {

// Room for `need` records, of which the first `keep` are kept: the rest of
// the old room is not copied, and when nothing is kept the old room goes
// before the new is made.
template <class A>
void Regrow(A& a, std::size_t need, std::size_t keep) {
  keep = std::min(keep, a.size());
  if (keep == 0) a = A();
  A grown(need);
  std::copy_n(a.begin(), keep, grown.begin());
  a.swap(grown);
}

}  // namespace

void QmDoc::ReserveFaces(long long n) {
  const long long need = static_cast<long long>(std::max(0, m_nFaces)) + std::max(0LL, n);
  if (need <= static_cast<long long>(m_aFaces.size()) || need > kMaxRecords) return;
  StopWarming();
  try {
    // Room for four corners a face, as the display model gives.
    Regrow(m_aCorners, static_cast<size_t>(std::min<long long>(4 * need, INT32_MAX)),
           static_cast<size_t>(std::max(0, m_nCorners)));
    Regrow(m_aFaces, static_cast<size_t>(need), static_cast<size_t>(std::max(0, m_nFaces)));
    // Grown a face at a time: room for all at once, no doubling.
    m_aFaceValues.reserve(static_cast<size_t>(need));
  } catch (const std::bad_alloc&) {
    // The appends beyond the room are refused and counted.
  }
  // The new faces about a corner each (fibre grids share their points).
  WarmRoom(m_nFaces, m_nCorners, n, static_cast<std::int64_t>(m_aLines.size()));
}

void QmDoc::ReserveLines(long long n) {
  const long long need = static_cast<long long>(std::max(0, m_nLines)) + std::max(0LL, n);
  if (need <= static_cast<long long>(m_aLines.size()) || need > kMaxRecords) return;
  StopWarming();
  try {
    m_aLines.resize(static_cast<size_t>(need));
  } catch (const std::bad_alloc&) {
  }
}

bool QmDoc::EnsureElemBlocks() {
  const size_t need = static_cast<size_t>(m_nElemBlocks) * kValueBlock;
  if (m_aValueBlocks.size() >= need) return true;
  try {
    m_aValueBlocks.resize(need, 0.0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void QmDoc::SetFaceValues(int first, int run, int index) {
  if (m_nFaces <= first) return;
  try {
    m_aFaceValues.resize(static_cast<size_t>(m_nFaces));
  } catch (const std::bad_alloc&) {
    return;
  }
  for (int f = first; f < m_nFaces; ++f) m_aFaceValues[static_cast<size_t>(f)] = FaceValue{run, index};
}

void QmDoc::ClearFaces() {
  m_aFaceValues.clear();
  ClearFaceRecords();
}

void QmDoc::ClearLines() {
  m_aLineBlock.clear();
  m_nLines = 0;
}

bool QmDoc::AddValueFace(const DispFace& face, int run, int index) {
  if (!AddFace(face)) return false;
  SetFaceValues(m_nFaces - 1, run, index);
  return true;
}

bool QmDoc::AddLineItem(const double p[3], int code, int colorClass, int mode1, int thick,
                        int block) {
  if (m_nLines < 0 || m_nLines >= static_cast<int>(m_aLines.size())) {
    ++m_nOverflow;
    return false;
  }
  // Items that CDispModel::AddLine appended carry no block.
  if (block >= 0 || !m_aLineBlock.empty()) {
    try {
      m_aLineBlock.resize(static_cast<size_t>(m_nLines) + 1, -1);
    } catch (const std::bad_alloc&) {
      ++m_nOverflow;
      return false;
    }
    m_aLineBlock[static_cast<size_t>(m_nLines)] = block;
  }
  DispLine& l = m_aLines[static_cast<size_t>(m_nLines)];
  l = DispLine{};
  l.nCode = code;
  for (int j = 0; j < 3; ++j) l.p[j] = p[j];
  l.nColorClass = colorClass;
  l.nMode1 = mode1;
  l.nThick = thick;
  ++m_nLines;
  return true;
}

const double* QmDoc::FaceBlock(int face) const {
  if (face < 0 || face >= m_nFaces || face >= static_cast<int>(m_aFaceValues.size())) return nullptr;
  const FaceValue& fv = m_aFaceValues[static_cast<size_t>(face)];
  if (fv.nRun < 0) return nullptr;
  const long long block = static_cast<long long>(fv.nRun) + fv.nIndex;
  if (block < 0 || (block + 1) * kValueBlock > static_cast<long long>(m_aValueBlocks.size()))
    return nullptr;
  return m_aValueBlocks.data() + block * kValueBlock;
}

const double* QmDoc::LineBlock(int line) const {
  if (line < 0 || line >= m_nLines || line >= static_cast<int>(m_aLineBlock.size())) return nullptr;
  const long long block = m_aLineBlock[static_cast<size_t>(line)];
  if (block < 0 || (block + 1) * kValueBlock > static_cast<long long>(m_aValueBlocks.size()))
    return nullptr;
  return m_aValueBlocks.data() + block * kValueBlock;
}

bool QmDoc::ShellValue(int elem, double& v) const {
  if (elem < 0 || elem >= static_cast<int>(m_aShellValue.size())) return false;
  v = m_aShellValue[static_cast<size_t>(elem)];
  return !std::isnan(v);
}

// ---------------------------------------------------------------------------
// Model bounds and node positions

void QmDoc::CalcModelBounds() {
  BuildNodesAndShellsIn(m_resultSet.m_model);
  // The results viewer starts every run in colour mode 0; the shells follow
  // the node values at factor 1.
  m_nColorMode = 0;
  m_dDispScale = 1.0;
  ClearShellValues();
}

void QmDoc::ClearShellValues() {
  m_aShellValue.assign(static_cast<size_t>(std::max(0, m_nElems4)), kNoValue);
}

void QmDoc::SetNodeDisplacements(const CFbOpBlock* table, double scale) {
  const CFbModel& model = m_resultSet.m_model;
  const int n = model.m_aNodes.GetCount();
  const int room = std::min(m_nCurNodes, static_cast<int>(m_aCurNodes.size()));
  int k = 0;  // display nodes were written in list order, skipping empty slots
  for (int i = 0; i < n && k < room; ++i) {
    const CFbNode* node = model.m_aNodes.GetAt(i);
    if (!node) continue;
    double d[3] = {0, 0, 0};
    double p[3];
    if (table && EndPosition(node, table, scale, p)) {
      d[0] = p[0] - node->m_dX;
      d[1] = p[1] - node->m_dY;
      d[2] = p[2] - node->m_dZ;
    } else if (!table) {
      EndPosition(node, nullptr, scale, p);  // clears the reference when asked
    }
    DispNode& dn = m_aCurNodes[static_cast<size_t>(k++)];
    for (int j = 0; j < 3; ++j) dn.dVal[j] = d[j] * m_dScale;
    dn.dVal[3] = 0.0;
  }
}

bool QmDoc::EndPosition(const CFbNode* node, const CFbOpBlock* table, double scale,
                        double out[3]) {
  if (!node) return false;
  const double base[3] = {node->m_dX, node->m_dY, node->m_dZ};
  const int pos = node->m_nIndex;
  const bool haveRef = pos >= 0 && pos < static_cast<int>(m_aNodeRef.size());
  if (!table) {
    for (int j = 0; j < 3; ++j) out[j] = base[j];
    if ((m_nDispFlags & 2) && haveRef) m_aNodeRef[static_cast<size_t>(pos)] = {};
    return true;
  }
  const CFbOp* rec = table->GetAt(pos);
  if (!rec) return false;
  double v[6];
  for (int j = 0; j < 6; ++j) v[j] = rec->GetValue(j);
  if ((m_nDispFlags & 2) && haveRef)
    for (int j = 0; j < 6; ++j) m_aNodeRef[static_cast<size_t>(pos)][static_cast<size_t>(j)] = v[j];
  for (int j = 0; j < 3; ++j) {
    const double ref = (m_nDispFlags & 1) && haveRef ? m_aNodeRef[static_cast<size_t>(pos)][static_cast<size_t>(j)] : 0.0;
    out[j] = base[j] + scale * (v[j] - ref);
    if (!std::isfinite(out[j])) return false;  // a damaged value places nothing
  }
  return true;
}

// ---------------------------------------------------------------------------
// Line items

void QmDoc::BuildElemRecords(const CFbOpBlock* nodeTable, double scale) {
  SetNodeDisplacements(nodeTable, scale);
  ClearLines();
  const CFbModel& model = m_resultSet.m_model;
  const int n = model.m_aElems.GetCount();
  ReserveLines(2LL * n);
  const CElemColorIndex colors(m_aElemColors);
  for (int i = 0; i < n; ++i) {
    const CFbElem* e = model.m_aElems.GetAt(i);
    if (!e) continue;
    double p1[3], p2[3];
    if (!EndPosition(e->m_pNodeI, nodeTable, scale, p1) ||
        !EndPosition(e->m_pNodeJ, nodeTable, scale, p2))
      continue;
    int cc = 0, m1 = 0;
    colors.Lookup(e->m_nNo, cc, m1);
    if (!HasLineRoom(2)) continue;
    AddLineItem(p1, 1, cc, m1, 1, -1);
    AddLineItem(p2, 0, cc, m1, 1, -1);
  }
}

void QmDoc::BuildBeamForceItems(const CFbOpBlock* beamTable) {
  SetNodeDisplacements(nullptr, 0.0);
  ClearLines();
  const CFbModel& model = m_resultSet.m_model;
  const int n = model.m_aElems.GetCount();
  const int rows = ResultDataRows(beamTable, n, true);
  const bool blocks = EnsureElemBlocks();
  ReserveLines(2LL * n);
  for (int i = 0; i < n; ++i) {
    const CFbElem* e = model.m_aElems.GetAt(i);
    if (!e) continue;
    int block = -1;
    const CFbOp* rec = i < rows ? beamTable->GetAt(i) : nullptr;
    if (rec && blocks && i < m_nElemBlocks) {
      block = i;
      double* v = m_aValueBlocks.data() + static_cast<size_t>(i) * kValueBlock;
      for (int j = 0; j < kValueBlock; ++j) v[j] = rec->GetValue(j);
    }
    double p1[3], p2[3];
    if (!EndPosition(e->m_pNodeI, nullptr, 0.0, p1) || !EndPosition(e->m_pNodeJ, nullptr, 0.0, p2))
      continue;
    if (!HasLineRoom(2)) continue;
    AddLineItem(p1, 1, 0, 0, 1, block);
    AddLineItem(p2, 0, 0, 0, 1, block);
  }
}

// ---------------------------------------------------------------------------
// Member solids

void QmDoc::AddSolidFaces(const MemberFrame& frame, const CFbFiberSec& sec, int run) {
  ForEachSolidBlock(sec, [&](const CFbSecBlock&, const SolidBlock& b) {
    const int first = m_nFaces;
    AddBlockSolid(*this, frame, b);
    // The faces of a member carrying its end forces all name the
    // element's value block.
    if (run >= 0) SetFaceValues(first, run, 0);
  });
}

void QmDoc::BuildGeometry(const CFbOpBlock* nodeTable, double scale) {
  SetNodeDisplacements(nodeTable, scale);
  ClearFaces();
  ReserveLines(m_arcs.nLines);
  ReserveFaces(m_arcs.nFaces + 6LL * std::max(0, m_stats.m_nRectBlocks));
  const CFbModel& model = m_resultSet.m_model;
  const int n = model.m_aElems.GetCount();
  for (int i = 0; i < n; ++i) {
    const CFbElem* e = model.m_aElems.GetAt(i);
    const CFbFiberSec* sec = SolidSection(e);
    // An element without a section shape is the width-3 line its line
    // items already draw.
    if (!sec) continue;
    MemberFrame f;
    if (!EndPosition(e->m_pNodeI, nodeTable, scale, f.p1) ||
        !EndPosition(e->m_pNodeJ, nodeTable, scale, f.p2))
      continue;
    SetFrameIds(f, *e);
    AddSolidFaces(f, *sec, -1);
  }
}

void QmDoc::SetBeamForceValues(const CFbOpBlock* beamTable) {
  ClearFaces();
  ReserveLines(m_arcs.nLines);
  ReserveFaces(m_arcs.nFaces + 6LL * std::max(0, m_stats.m_nRectBlocks));
  const CFbModel& model = m_resultSet.m_model;
  const int n = model.m_aElems.GetCount();
  const int rows = ResultDataRows(beamTable, n, true);
  const bool blocks = EnsureElemBlocks();
  for (int i = 0; i < n; ++i) {
    const CFbElem* e = model.m_aElems.GetAt(i);
    if (!e) continue;
    const CFbOp* rec = i < rows ? beamTable->GetAt(i) : nullptr;
    int run = -1;
    if (rec && blocks && i < m_nElemBlocks) {
      run = i;
      double* v = m_aValueBlocks.data() + static_cast<size_t>(i) * kValueBlock;
      for (int j = 0; j < kValueBlock; ++j) v[j] = rec->GetValue(j);
    }
    const CFbFiberSec* sec = SolidSection(e);
    if (!sec) continue;
    MemberFrame f;
    if (!EndPosition(e->m_pNodeI, nullptr, 0.0, f.p1) || !EndPosition(e->m_pNodeJ, nullptr, 0.0, f.p2))
      continue;
    SetFrameIds(f, *e);
    AddSolidFaces(f, *sec, run);
  }
}

// ---------------------------------------------------------------------------
// Fibre faces

namespace {

// The faces that one block's fibres need (the rect grid and side strips, or
// the arc's facets), and the outline records of an arc block's fibres.
int ArcFacets(const SolidBlock& b, int rows) {
  const int n = ArcDivisionCount(b.a1, b.a2);
  if (n <= 0 || rows <= 0) return 0;
  return std::max(1, (n + rows - 1) / rows);
}

long long FiberFaceCount(const SolidBlock& b, int rows, int cols) {
  if (rows <= 0 || cols <= 0) return 0;
  const long long r = rows, c = cols;
  if (!b.bArc) return 2 * r * c + 2 * r + 2 * c;
  const long long m = ArcFacets(b, rows);
  if (m == 0) return 0;
  return 2 * r * m + 2 * r * c * m + 2 * c;
}

// A fibre face with its identifiers, no corners yet.
DispFace FiberFace(const MemberFrame& f, const SolidBlock& b, int k, int side) {
  DispFace d;
  d.nElem = f.nElem;
  d.nBlock = b.nBlock;
  d.nIndex = k;
  d.nCorners = 4;
  d.nMat = b.nMat;
  d.nColorClass = f.nColorClass;
  d.nSide = static_cast<std::uint8_t>(side);
  d.nMode1 = f.nMode1;
  return d;
}

// The same over the corner slots `at`.
DispFace FiberFace(const MemberFrame& f, const SolidBlock& b, int k, int side, const std::int64_t (&at)[4]) {
  DispFace d = FiberFace(f, b, k, side);
  for (int j = 0; j < 4; ++j) d.c[j] = static_cast<std::uint32_t>(at[j]);
  return d;
}

long long FiberLineCount(const SolidBlock& b, int rows, int cols) {
  if (!b.bArc || rows <= 0 || cols <= 0) return 0;
  const long long m = ArcFacets(b, rows);
  if (m == 0) return 0;
  // Per fibre: a closed outline at each end and four edges along the member.
  return static_cast<long long>(rows) * cols * (2 * (2 * m + 2) + 8);
}

}  // namespace

void QmDoc::AddFiberBlockFaces(const MemberFrame& f, const SolidBlock& b, int rows, int cols, int run) {
  double c[8][3], u[3], v[3];
  BlockCorners(f, b, c, u, v);
  // The grid of an end face: rows along corner 0 -> 3, columns along
  // corner 0 -> 1; fibre (row, column) is fibre row x columns + column.
  // Its points are kept once, for the faces that meet at each: the grid's
  // and, on its border, the side strips'.
  std::int64_t grid[2];
  const auto at = [&](int e, int r, int col) { return grid[e] + static_cast<std::int64_t>(r) * (cols + 1) + col; };
  for (int e = 0; e < 2; ++e) {
    const double* P = c[4 * e];
    const double* B = c[4 * e + 1];
    const double* A = c[4 * e + 3];
    grid[e] = m_nCorners;
    for (int r = 0; r <= rows; ++r)
      for (int col = 0; col <= cols; ++col) {
        double p[3];
        for (int j = 0; j < 3; ++j) {
          const double da = (A[j] - P[j]) / rows, db = (B[j] - P[j]) / cols;
          p[j] = P[j] + r * da + col * db;
        }
        if (AddCorner(p) < 0) return;
      }
    for (int r = 0; r < rows; ++r)
      for (int col = 0; col < cols; ++col) {
        const std::int64_t q[4] = {at(e, r, col), at(e, r + 1, col), at(e, r + 1, col + 1), at(e, r, col + 1)};
        const int k = r * cols + col;
        AddValueFace(FiberFace(f, b, k, 1, q), run, k);
      }
  }
  // Side strips along the member, each in its boundary fibre's values:
  // edge 0-1 (row 0), 1-2 (last column), 3-2 (last row), 0-3 (column 0),
  // point i of an edge being the grid's point there at both ends.
  for (int s = 0; s < 4; ++s) {
    const int count = s % 2 == 0 ? cols : rows;
    const auto point = [&](int e, int i) {
      switch (s) {
        case 0: return at(e, 0, i);
        case 1: return at(e, i, cols);
        case 2: return at(e, rows, i);
        default: return at(e, i, 0);
      }
    };
    for (int i = 0; i < count; ++i) {
      int k = 0;
      switch (s) {
        case 0: k = i; break;
        case 1: k = i * cols + (cols - 1); break;
        case 2: k = (rows - 1) * cols + i; break;
        default: k = i * cols; break;
      }
      const std::int64_t q[4] = {point(0, i), point(0, i + 1), point(1, i + 1), point(1, i)};
      AddValueFace(FiberFace(f, b, k, 1, q), run, k);
    }
  }
}

void QmDoc::AddArcFiberFaces(const MemberFrame& f, const SolidBlock& b, int rows, int cols, int run) {
  const int m = ArcFacets(b, rows);
  if (m == 0) return;
  const double* ends[2] = {f.p1, f.p2};
  // Fibre (row, column): angular sector `row` of the span, radial ring
  // `column` from the first radius towards the second.
  auto angle = [&](int sector, int facet) {
    const double t = (static_cast<double>(sector) + static_cast<double>(facet) / m) / rows;
    return (b.a1 + (b.a2 - b.a1) * t) * kPi / 180.0;
  };
  auto radius = [&](int ring) { return b.r1 + (b.r2 - b.r1) * ring / cols; };
  auto point = [&](const double end[3], double r, double t, double out[3]) {
    const double cy = b.yc + r * std::cos(t);
    const double cz = b.zc + r * std::sin(t);
    for (int j = 0; j < 3; ++j) out[j] = end[j] + cy * f.ay[j] + cz * f.az[j];
  };
  // Facets are outlined per fibre by the edge records. Every facet's
  // corners are points of the polar grids of the two ends, kept once:
  // angle a = row x facets + facet (0 .. rows x facets), ring 0 .. columns.
  const int angles = rows * m + 1, rings = cols + 1;
  std::int64_t grid[2];
  for (int e = 0; e < 2; ++e) {
    grid[e] = m_nCorners;
    for (int a = 0; a < angles; ++a) {
      const double t = angle(a / m, a % m);
      for (int ring = 0; ring < rings; ++ring) {
        double p[3];
        point(ends[e], radius(ring), t, p);
        if (AddCorner(p) < 0) return;
      }
    }
  }
  const auto at = [&](int e, int a, int ring) { return grid[e] + static_cast<std::int64_t>(a) * rings + ring; };
  auto face = [&](const std::int64_t (&q)[4], int k) { AddValueFace(FiberFace(f, b, k, 0, q), run, k); };
  // Along the member on the outer and the inner radius.
  for (int side = 0; side < 2; ++side) {
    const int ring = side == 0 ? cols : 0;
    for (int row = 0; row < rows; ++row)
      for (int i = 0; i < m; ++i) {
        const int a = row * m + i;
        face({at(0, a, ring), at(0, a + 1, ring), at(1, a + 1, ring), at(1, a, ring)},
             row * cols + (side == 0 ? cols - 1 : 0));
      }
  }
  // End surfaces: every fibre's sector at both ends.
  for (int e = 0; e < 2; ++e)
    for (int row = 0; row < rows; ++row)
      for (int col = 0; col < cols; ++col)
        for (int i = 0; i < m; ++i) {
          const int a = row * m + i;
          face({at(e, a, col), at(e, a, col + 1), at(e, a + 1, col + 1), at(e, a + 1, col)}, row * cols + col);
        }
  // Radial cuts at the start and the end angle.
  for (int cut = 0; cut < 2; ++cut) {
    const int row = cut == 0 ? 0 : rows - 1;
    const int a = cut == 0 ? 0 : rows * m;
    for (int col = 0; col < cols; ++col)
      face({at(0, a, col), at(0, a, col + 1), at(1, a, col + 1), at(1, a, col)}, row * cols + col);
  }
  // The edges of every fibre's box: its sector outline at both ends and its
  // four edges along the member.
  double dir[3];
  for (int j = 0; j < 3; ++j) dir[j] = f.p2[j] - f.p1[j];
  for (int row = 0; row < rows; ++row)
    for (int col = 0; col < cols; ++col) {
      for (int e = 0; e < 2; ++e) {
        double towards[3];
        for (int j = 0; j < 3; ++j) towards[j] = e == 0 ? dir[j] : -dir[j];
        const int points = 2 * m + 2;
        int code = points - 1;
        for (int i = 0; i <= m; ++i, --code) {
          double p[3];
          point(ends[e], radius(col + 1), angle(row, i), p);
          AddLine(p, towards, b.nMat, f.nElemInt, f.nColorClass, f.nMode1, code);
        }
        for (int i = m; i >= 0; --i, --code) {
          double p[3];
          point(ends[e], radius(col), angle(row, i), p);
          AddLine(p, towards, b.nMat, f.nElemInt, f.nColorClass, f.nMode1, code);
        }
      }
      const double corners[4][2] = {{static_cast<double>(col), 0},
                                    {static_cast<double>(col + 1), 0},
                                    {static_cast<double>(col), 1},
                                    {static_cast<double>(col + 1), 1}};
      for (const auto& cr : corners) {
        const double t = cr[1] == 0 ? angle(row, 0) : angle(row, m);
        const double r = radius(static_cast<int>(cr[0]));
        double p[3], q[3];
        point(ends[0], r, t, p);
        point(ends[1], r, t, q);
        AddLine(p, dir, b.nMat, f.nElemInt, f.nColorClass, f.nMode1, 1);
        AddLine(q, dir, b.nMat, f.nElemInt, f.nColorClass, f.nMode1, 0);
      }
    }
}

void QmDoc::ArrangeFaces(int first, const std::vector<FacePlane>& planes, int column, bool& falling) {
  long long total = 0;
  for (const FacePlane& pl : planes) total += pl.count;
  if (first < 0 || total < 2 || first + total != m_nFaces ||
      m_nFaces > static_cast<long long>(m_aFaceValues.size()))
    return;
  const std::vector<DispFace> faces(m_aFaces.begin() + first, m_aFaces.begin() + m_nFaces);
  const std::vector<FaceValue> values(m_aFaceValues.begin() + first, m_aFaceValues.begin() + m_nFaces);
  std::vector<std::pair<double, int>> run;
  long long at = 0;
  for (const FacePlane& pl : planes) {
    run.clear();
    for (long long i = at; i < at + pl.count; ++i) {
      const double* blk = FaceBlock(static_cast<int>(first + i));
      run.emplace_back(blk ? blk[column] : kNoValue, static_cast<int>(i));
    }
    if (pl.sorted) {
      // Valueless faces last, the rest by value; ties keep their order.
      std::stable_sort(run.begin(), run.end(), [d = falling](const auto& x, const auto& y) {
        if (std::isnan(x.first) || std::isnan(y.first)) return !std::isnan(x.first) && std::isnan(y.first);
        return d ? y.first < x.first : x.first < y.first;
      });
      falling = !falling;
    }
    for (const auto& v : run) {
      m_aFaces[static_cast<size_t>(first + at)] = faces[static_cast<size_t>(v.second)];
      m_aFaceValues[static_cast<size_t>(first + at)] = values[static_cast<size_t>(v.second)];
      ++at;
    }
  }
}

void QmDoc::BuildFiberFaces(int kind, const CFbOpBlock* fiberTable, int component) {
  ClearFaces();
  const CFbModel& model = m_resultSet.m_model;
  // The table holds one row per fibre of the header's count, then its
  // minimum and maximum rows.
  const int rows = ResultDataRows(fiberTable, std::max(0, model.m_nFibers), false);

  // Sections by number, the first with a fibre part winning, as the fibre
  // list was made.
  std::unordered_map<int, const CFbFiberSec*> secs;
  for (int i = 0; i < model.m_aSecs.GetCount(); ++i) {
    const CFbSec* sec = model.m_aSecs.GetAt(i);
    if (!sec) break;
    if (sec->m_pFiber) secs.emplace(sec->m_nNo, sec->m_pFiber.get());
  }
  struct Member {
    const CFbElem* e;
    const CFbFiberSec* sec;
    bool second;
  };
  std::vector<Member> members;
  auto gather = [&](const CFbRecordList<CFbElem>& list, int count, bool second) {
    const int n = std::min(count, list.GetCount());
    for (int i = 0; i < n; ++i) {
      const CFbElem* e = list.GetAt(i);
      if (!e) break;
      const auto it = secs.find(e->m_nSec);
      if (it != secs.end()) members.push_back({e, it->second, second});
    }
  };
  gather(model.m_aElems, model.m_nElems, false);
  gather(model.m_aElems2, model.m_nElems2, true);

  // One value block per fibre slot, after the elements' blocks.
  long long slots = 0, faces = 0, lines = 0;
  for (const Member& mb : members) {
    ForEachSolidBlock(*mb.sec, [&](const CFbSecBlock& blk, const SolidBlock& b) {
      const int halves = mb.second ? 2 : 1;
      faces += halves * FiberFaceCount(b, blk.m_nRows, blk.m_nCols);
      lines += halves * FiberLineCount(b, blk.m_nRows, blk.m_nCols);
      slots += Fibers(blk.m_nRows, blk.m_nCols);
    });
    for (const CFbDeck& d : mb.sec->m_aDecks) slots += Fibers(d.m_nRows, d.m_nCols);
  }
  const long long blocks = static_cast<long long>(m_nElemBlocks) + slots;
  if (blocks > kMaxRecords || !EnsureElemBlocks()) return;
  try {
    m_aValueBlocks.resize(static_cast<size_t>(blocks) * kValueBlock);
  } catch (const std::bad_alloc&) {
    return;
  }
  // A fibre that the table lacks (its step cut short in the file) has no
  // value: its faces keep the diagram's face colour. The fibres' room is
  // fresh: its pages are faulted in on other threads while it is filled.
  double* const from = m_aValueBlocks.data() + static_cast<long long>(m_nElemBlocks) * kValueBlock;
  double* const to = m_aValueBlocks.data() + m_aValueBlocks.size();
  {
    plat::CPageWarmer warmer;
    warmer.Start({{from, static_cast<size_t>(to - from) * sizeof(double)}});
    std::fill(from, to, kNoValue);
  }
  ReserveLines(lines);
  ReserveFaces(faces);

  const int place = kind == 1 ? 3 : 0;
  bool falling = false;
  long long s = 0;  // running fibre slot
  for (const Member& mb : members) {
    const CFbElem* e = mb.e;
    const bool drawable = e->m_pNodeI && e->m_pNodeJ && e->m_bAxes && (!mb.second || e->m_pNodeK);
    MemberFrame halves[2];
    int nHalves = 0;
    if (drawable) {
      double pi[3], pj[3], pk[3];
      EndPosition(e->m_pNodeI, nullptr, 0.0, pi);
      EndPosition(e->m_pNodeJ, nullptr, 0.0, pj);
      if (mb.second) {
        // First node to middle node, then middle node to last node.
        EndPosition(e->m_pNodeK, nullptr, 0.0, pk);
        for (int j = 0; j < 3; ++j) {
          halves[0].p1[j] = pi[j];
          halves[0].p2[j] = pk[j];
          halves[1].p1[j] = pk[j];
          halves[1].p2[j] = pj[j];
        }
        nHalves = 2;
      } else {
        for (int j = 0; j < 3; ++j) {
          halves[0].p1[j] = pi[j];
          halves[0].p2[j] = pj[j];
        }
        nHalves = 1;
      }
      for (int h = 0; h < nHalves; ++h) SetFrameIds(halves[h], *e);
    }
    const int memberFirst = m_nFaces;
    std::vector<FacePlane> planes;
    bool arrange = component >= 0 && component <= 2;
    ForEachSolidBlock(*mb.sec, [&](const CFbSecBlock& blk, const SolidBlock& b) {
      const long long nf = Fibers(blk.m_nRows, blk.m_nCols);
      const long long run = m_nElemBlocks + s;
      for (long long k = 0; k < nf; ++k) {
        const long long slot = s + k;
        const CFbOp* rec = slot < rows ? fiberTable->GetAt(static_cast<int>(slot)) : nullptr;
        if (!rec) continue;
        double* v = m_aValueBlocks.data() + static_cast<size_t>(run + k) * kValueBlock;
        for (int j = 0; j < 3; ++j) v[place + j] = rec->GetValue(place + j);
      }
      if (nf > 0 && run <= INT32_MAX) {
        for (int h = 0; h < nHalves; ++h) {
          const int before = m_nFaces;
          if (b.bArc)
            AddArcFiberFaces(halves[h], b, blk.m_nRows, blk.m_nCols, static_cast<int>(run));
          else
            AddFiberBlockFaces(halves[h], b, blk.m_nRows, blk.m_nCols, static_cast<int>(run));
          // The planes of the faces just made, as they were made.
          const long long r = blk.m_nRows, c = blk.m_nCols;
          if (m_nFaces - before != FiberFaceCount(b, blk.m_nRows, blk.m_nCols)) {
            arrange = false;
          } else if (b.bArc) {
            const long long m = ArcFacets(b, blk.m_nRows);
            // The facets along the member lie in planes of their own.
            planes.push_back({2 * r * m, false});
            for (long long count : {r * c * m, r * c * m, c, c}) planes.push_back({count, true});
          } else {
            for (long long count : {r * c, r * c, c, r, c, r}) planes.push_back({count, true});
          }
        }
      }
      s += nf;
    });
    // The faces of each plane meet only at their edges: in value order
    // (rising and falling by turns) a diagram sets each colour about once
    // per plane instead of at nearly every fibre.
    if (arrange) ArrangeFaces(memberFirst, planes, place + component, falling);
    // Decks get no faces; their fibres (rows x columns of them) follow.
    for (const CFbDeck& d : mb.sec->m_aDecks) s += Fibers(d.m_nRows, d.m_nCols);
  }
}

// ---------------------------------------------------------------------------
// Shell values

bool QmDoc::SetShellValues(const CFbOpBlock* shellTable, int component, double& lo, double& hi) {
  ClearShellValues();
  lo = std::numeric_limits<double>::infinity();
  hi = -std::numeric_limits<double>::infinity();
  // Normal, y shear and z shear: sx (or its strain), txy and txz.
  static const int kComponent[3] = {0, 3, 4};
  const int c = kComponent[std::clamp(component, 0, 2)];
  const CFbModel& model = m_resultSet.m_model;
  const int nQuads = model.m_aQuads.GetCount();
  const int rows = ResultDataRows(shellTable, nQuads, false);
  const int room = static_cast<int>(m_aShellValue.size());
  int k = 0;  // display shells were written in list order, skipping empty slots
  bool any = false;
  for (int i = 0; i < nQuads && k < room; ++i) {
    if (!model.m_aQuads.GetAt(i)) continue;
    const int elem = k++;
    const FbQOut* rec = i < rows ? dynamic_cast<const FbQOut*>(shellTable->GetAt(i)) : nullptr;
    if (!rec) continue;
    double sum = 0;
    for (int p = 0; p < FbQOut::kPoints; ++p) sum += rec->m_adValue[c][p];
    const double v = sum / FbQOut::kPoints;
    if (!std::isfinite(v)) continue;
    m_aShellValue[static_cast<size_t>(elem)] = v;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
    any = true;
  }
  return any;
}
