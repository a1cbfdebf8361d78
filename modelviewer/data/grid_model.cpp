#include "modelviewer/data/grid_model.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string_view>

#include "platform/numbers.h"
#include "platform/paths.h"
#include "viewer/color_table.h"
#include "viewer/token_line.h"

namespace {

// Room reserved up front at most; arrays grow with what is actually read.
constexpr long long kReserveLimit = 1 << 16;

// Line 1: the record count. False when the line is missing or the count
// cannot be right (more records than the input has bytes); a negative count
// is 0.
bool ReadCount(plat::LineReader& in, const char* who, const std::string& path, int& count) {
  std::string line;
  count = 0;
  if (!ReadTableLine(in, line)) return false;
  const int n = TokenInt(SplitTokens(line), 0);
  if (n <= 0) return true;
  if (in.Size() > 0 && static_cast<unsigned long long>(n) > in.Size()) {
    std::printf(" %s : bad count %d in file = %s\n", who, n, path.c_str());
    return false;
  }
  count = n;
  return true;
}

size_t Reserve(int count) { return static_cast<size_t>(count < kReserveLimit ? count : kReserveLimit); }

std::unique_ptr<plat::LineReader> OpenSibling(const std::string& path) {
  const std::string found = plat::FindFileNoCase(path);
  if (found.empty()) return nullptr;
  return plat::LineReader::FromFile(found);
}

void KeepRefusal(const plat::LineReader& in, std::vector<std::string>* refusals) {
  if (refusals && !in.Refusal().empty()) refusals->push_back(in.Refusal());
}

// Minimum and maximum of each column over the rows: start from the first
// row, then strict comparisons; 0..0 when there is no row.
template <typename Rows, typename Get>
void TakeRanges(const Rows& rows, int columns, GridValueRange* ranges, Get get) {
  for (int c = 0; c < columns; ++c) ranges[c] = GridValueRange{};
  if (rows.empty()) return;
  for (int c = 0; c < columns; ++c) ranges[c].min = ranges[c].max = get(rows.front(), c);
  for (size_t r = 1; r < rows.size(); ++r) {
    for (int c = 0; c < columns; ++c) {
      const double v = get(rows[r], c);
      if (v < ranges[c].min) ranges[c].min = v;
      if (v > ranges[c].max) ranges[c].max = v;
    }
  }
}

}  // namespace

void CGridModel::Clear() { *this = CGridModel{}; }

int ReadGridNodeFile(plat::LineReader& in, const std::string& path, CDispModel& doc) {
  doc.m_aNodes.clear();
  doc.m_nNodes = 0;
  doc.m_dMinX = doc.m_dMinY = doc.m_dMinZ = 1e55;
  doc.m_dMaxX = doc.m_dMaxY = doc.m_dMaxZ = -1e55;
  int count;
  const bool counted = ReadCount(in, "fem", path, count);
  bool complete = counted;
  doc.m_aNodes.reserve(Reserve(count));
  std::string line;
  for (int i = 0; i < count; ++i) {
    if (!ReadTableLine(in, line)) {
      complete = false;
      break;
    }
    const auto t = SplitTokens(line);
    DispNode node;
    node.nId = node.nNo = i + 1;
    node.x = TokenReal(t, 0);
    node.y = TokenReal(t, 1);
    node.z = TokenReal(t, 2);
    doc.WidenBox(node.x, node.y, node.z);
    doc.m_aNodes.push_back(node);
  }
  doc.m_nNodes = static_cast<int>(doc.m_aNodes.size());
  // A short file stops here: its nodes stay in raw coordinates and the
  // scale and centre keep the values they had.
  if (!complete) return kGridShort;
  doc.ComputeScale();
  for (DispNode& n : doc.m_aNodes) {
    n.x = (n.x + doc.m_vCenter[0]) * doc.m_dScale;
    n.y = (n.y + doc.m_vCenter[1]) * doc.m_dScale;
    n.z = (n.z + doc.m_vCenter[2]) * doc.m_dScale;
  }
  return kGridOk;
}

int ReadGridNodeNumberFile(plat::LineReader& in, const std::string& path, CDispModel& doc) {
  int count;
  if (!ReadCount(in, "fem", path, count)) return kGridShort;
  std::string line;
  for (int j = 0; j < count; ++j) {
    if (!ReadTableLine(in, line)) return kGridShort;
    // Numbers past the nodes of the .grid file have no node to go to.
    if (j < doc.m_nNodes) {
      doc.m_aNodes[static_cast<size_t>(j)].nNo = TokenInt(SplitTokens(line), 0);
    }
  }
  return kGridOk;
}

int ReadGridElementFile(plat::LineReader& in, const std::string& path, CDispModel& doc) {
  doc.m_aElems4.clear();
  doc.m_nElems4 = 0;
  int count;
  const bool counted = ReadCount(in, "fem", path, count);
  bool complete = counted;
  doc.m_aElems4.reserve(Reserve(count));
  std::string line;
  for (int i = 0; i < count; ++i) {
    if (!ReadTableLine(in, line)) {
      complete = false;
      break;
    }
    const auto t = SplitTokens(line);
    DispElem e;
    e.nNo = e.nNo2 = i + 1;
    e.nMat = TokenInt(t, 0);
    e.nProp = TokenInt(t, 1);
    for (int k = 0; k < 4; ++k) e.n[k] = TokenInt(t, 2 + static_cast<size_t>(k));
    doc.m_aElems4.push_back(e);
  }
  doc.m_nElems4 = static_cast<int>(doc.m_aElems4.size());
  return complete ? kGridOk : kGridShort;
}

int ReadGridDisplacementFile(plat::LineReader& in, const std::string& path, double factor,
                             CDispModel& doc, CGridModel& grid) {
  doc.m_aCurNodes.clear();
  doc.m_nCurNodes = 0;
  grid.m_aNodeValues.clear();
  int count;
  const bool counted = ReadCount(in, "femsol", path, count);
  bool complete = counted;
  const int base = doc.m_nNodes;
  doc.m_aCurNodes.reserve(Reserve(count < base ? count : base));
  std::string line;
  for (int i = 0; i < count; ++i) {
    if (!ReadTableLine(in, line)) {
      complete = false;
      break;
    }
    // A displacement needs the base node it moves.
    if (i >= base) continue;
    const auto t = SplitTokens(line);
    const double dx = TokenReal(t, 0), dy = TokenReal(t, 1), dz = TokenReal(t, 2);
    const double len = std::sqrt(dx * dx + dy * dy + dz * dz);
    const DispNode& b = doc.m_aNodes[static_cast<size_t>(i)];
    DispNode n;
    n.nId = n.nNo = i + 1;
    n.x = b.x + dx * factor * doc.m_dScale;
    n.y = b.y + dy * factor * doc.m_dScale;
    n.z = b.z + dz * factor * doc.m_dScale;
    n.dVal[0] = dx;
    n.dVal[1] = dy;
    n.dVal[2] = dz;
    n.dVal[3] = len;
    doc.m_aCurNodes.push_back(n);
    grid.m_aNodeValues.push_back({dx, dy, dz, len});
  }
  doc.m_nCurNodes = static_cast<int>(doc.m_aCurNodes.size());
  TakeRanges(grid.m_aNodeValues, 4, grid.m_aNodeRange,
             [](const std::array<double, 4>& v, int c) { return v[static_cast<size_t>(c)]; });
  // The drawing moves corners by these: model units times the model scale.
  for (DispNode& n : doc.m_aCurNodes) {
    for (int c = 0; c < 3; ++c) n.dVal[c] *= doc.m_dScale;
  }
  return complete ? kGridOk : kGridShort;
}

int ReadGridStressFile(plat::LineReader& in, const std::string& path, CGridModel& grid) {
  grid.m_aStress.clear();
  int count;
  const bool counted = ReadCount(in, "femsol", path, count);
  bool complete = counted;
  grid.m_aStress.reserve(Reserve(count));
  std::string first, second;
  for (int i = 0; i < count; ++i) {
    if (!ReadTableLine(in, first) || !ReadTableLine(in, second)) {
      complete = false;
      break;
    }
    GridStressRecord r;
    r.v[0] = i + 1;
    const auto t1 = SplitTokens(first);
    const auto t2 = SplitTokens(second);
    for (size_t k = 0; k < 7; ++k) {
      r.v[1 + k] = TokenReal(t1, k);
      r.v[8 + k] = TokenReal(t2, k);
    }
    grid.m_aStress.push_back(r);
  }
  // A short file keeps its complete records but gets no ranges: they stay
  // as they were (0..0 after femsol's reset).
  if (!complete) return kGridShort;
  TakeRanges(grid.m_aStress, 14, grid.m_aStressRange,
             [](const GridStressRecord& r, int c) { return r.v[1 + c]; });
  return kGridOk;
}

int fem(CDispModel& doc, const std::string& gridPath, const std::string& egnoPath,
        const std::string& qddefPath, const std::string& colorPath, std::vector<std::string>* refusals) {
  doc.ResetModelCounts();
  doc.m_dScale = 1.0;
  doc.m_vCenter[0] = doc.m_vCenter[1] = doc.m_vCenter[2] = 0.0;
  doc.m_aNodes.clear();
  doc.m_aElems4.clear();
  doc.m_colorTable.m_nColors = 0;

  int result = kGridOk;
  auto cannotOpen = [&result](const std::string& p) {
    std::printf(" fem : cannot open file = %s\n", p.c_str());
    result = kGridNotOpened;
  };
  if (auto in = OpenSibling(gridPath)) {
    ReadGridNodeFile(*in, gridPath, doc);
    KeepRefusal(*in, refusals);
  } else {
    cannotOpen(gridPath);
  }
  if (auto in = OpenSibling(egnoPath)) {
    ReadGridNodeNumberFile(*in, egnoPath, doc);
    KeepRefusal(*in, refusals);
  } else {
    cannotOpen(egnoPath);
  }
  if (auto in = OpenSibling(qddefPath)) {
    ReadGridElementFile(*in, qddefPath, doc);
    KeepRefusal(*in, refusals);
  } else {
    cannotOpen(qddefPath);
  }
  if (auto in = OpenSibling(colorPath)) {
    ReadColorTable(*in, doc.m_colorTable);
    KeepRefusal(*in, refusals);
  }
  return result;
}

int femsol(const std::string& dispPath, const std::string& qdstrePath, double factor,
           CDispModel& doc, CGridModel& grid, std::vector<std::string>* refusals) {
  doc.m_aCurNodes.clear();
  doc.m_nCurNodes = 0;
  grid.m_aNodeValues.clear();
  grid.m_aStress.clear();
  for (GridValueRange& r : grid.m_aNodeRange) r = GridValueRange{};
  for (GridValueRange& r : grid.m_aStressRange) r = GridValueRange{};

  int result = kGridOk;
  auto cannotOpen = [&result](const std::string& p) {
    std::printf(" femsol : cannot open file = %s\n", p.c_str());
    result = kGridNotOpened;
  };
  if (auto in = OpenSibling(dispPath)) {
    ReadGridDisplacementFile(*in, dispPath, factor, doc, grid);
    KeepRefusal(*in, refusals);
  } else {
    cannotOpen(dispPath);
  }
  if (auto in = OpenSibling(qdstrePath)) {
    ReadGridStressFile(*in, qdstrePath, grid);
    KeepRefusal(*in, refusals);
  } else {
    cannotOpen(qdstrePath);
  }
  return result;
}

int ReadGridResultSet(const std::vector<std::string>& args, CDispModel& doc, CGridModel& grid) {
  auto arg = [&args](size_t i) { return i < args.size() ? args[i] : std::string(); };
  const std::string path = arg(1);
  const std::string component = arg(2);

  // Checked before anything is stored, so a bad number changes nothing.
  const long long mode = static_cast<long long>(plat::AtoI(component)) - 1;
  if (mode < kGridColorModeNone || mode > kGridColorModeLast) {
    std::printf(" bad qdstre# : %s\n", component.c_str());
    return kGridBadComponent;
  }

  grid.Clear();
  const plat::SplitPathResult parts = plat::SplitPath(path);
  grid.m_szFolder = parts.dir;
  grid.m_szName = parts.name;
  grid.m_szStemPath = parts.dir + parts.name;

  doc.m_nColorMode = static_cast<int>(mode);
  // The surfaces are drawn at the current nodes; the edge layer and the
  // material display move their corners further by this factor x the nodes'
  // displacements, which would set them apart from the surfaces.
  grid.m_dAskedScale = plat::AtoF(arg(3));
  doc.m_dDispScale = 0.0;

  const std::string& stem = grid.m_szStemPath;
  grid.m_szGridPath = stem + ".grid";
  grid.m_szEgnoPath = stem + ".egno";
  grid.m_szQddefPath = stem + ".qddef";
  grid.m_szColorPath = stem + ".color";
  grid.m_szDispPath = stem + ".disp";
  grid.m_szQdstrePath = stem + ".qdstre";

  // The status is the result readers' code: it replaces the geometry's, whose
  // missing files have been reported on standard output already.
  doc.m_nGridStatus =
      fem(doc, grid.m_szGridPath, grid.m_szEgnoPath, grid.m_szQddefPath, grid.m_szColorPath, &grid.m_aRefusals);
  doc.m_nGridStatus = femsol(grid.m_szDispPath, grid.m_szQdstrePath, 1.0, doc, grid, &grid.m_aRefusals);

  for (int i = 0; i < doc.m_nCurNodes && i < doc.m_nNodes; ++i) {
    doc.m_aCurNodes[static_cast<size_t>(i)].nNo = doc.m_aNodes[static_cast<size_t>(i)].nNo;
  }
  doc.IndexNodes();
  return 0;
}

double GetElementValue(int elementIndex, const CGridModel& grid, int column, bool secondLine) {
  if (column < 0 || column > 6) return 0.0;
  if (elementIndex < 0 || static_cast<size_t>(elementIndex) >= grid.m_aStress.size()) return 0.0;
  return grid.m_aStress[static_cast<size_t>(elementIndex)].v[1 + column + (secondLine ? 7 : 0)];
}

double GridElementModeValue(int elementIndex, const CGridModel& grid, int colorMode) {
  if (colorMode < 0 || colorMode >= kGridFirstNodalMode) return 0.0;
  return colorMode < 7 ? GetElementValue(elementIndex, grid, colorMode, false)
                       : GetElementValue(elementIndex, grid, colorMode - 7, true);
}

double GridNodeModeValue(int curNodeIndex, const CGridModel& grid, int colorMode) {
  if (colorMode < kGridFirstNodalMode || colorMode > kGridColorModeLast) return 0.0;
  if (curNodeIndex < 0 || static_cast<size_t>(curNodeIndex) >= grid.m_aNodeValues.size()) {
    return 0.0;
  }
  return grid.m_aNodeValues[static_cast<size_t>(curNodeIndex)]
                           [static_cast<size_t>(colorMode - kGridFirstNodalMode)];
}

bool GridColorModeRange(const CGridModel& grid, int colorMode, double& min, double& max) {
  if (colorMode < 0 || colorMode > kGridColorModeLast) return false;
  const GridValueRange& r = colorMode < kGridFirstNodalMode
                                ? grid.m_aStressRange[colorMode]
                                : grid.m_aNodeRange[colorMode - kGridFirstNodalMode];
  min = r.min;
  max = r.max;
  return true;
}
