// One file of a grid model (the extension is given by OV_GRID_EXT when the
// target is built) fuzzed while the other five stay a small valid model;
// the model is loaded as the menu does and every colour mode's values are
// asked for as the scene does.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_util.h"
#include "modelviewer/data/grid_model.h"
#include "viewer/display_model.h"

#ifndef OV_GRID_EXT
#error "OV_GRID_EXT names the fuzzed file"
#endif

namespace {

struct GridFile {
  const char* ext;
  const char* text;
};

// A plate of two shells on six nodes, with colours, displacements and
// stresses.
constexpr GridFile kModel[] = {
    {".grid", "6\n0 0 0\n1 0 0\n2 0 0\n0 1 0\n1 1 0\n2 1 0.5\n"},
    {".egno", "6\n11\n12\n13\n14\n15\n16\n"},
    {".qddef", "2\n1 1 1 2 5 4\n2 1 2 3 6 5\n"},
    {".color", "2\n1 255 0 0\n2 0 0 255\n"},
    {".disp", "6\n0 0 0\n0.1 0 0\n0.2 0 0.1\n0 0 0\n0.1,0.05,0\n0.2;0.1;0.2\n"},
    {".qdstre",
     "2\n1 2 3 4 5 6 7\n-1 -2 -3 -4 -5 -6 -7\n7 6 5 4 3 2 1\n0.5 0.5 0.5 0.5 0.5 0.5 0.5\n"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = [] {
    const std::string d = fuzz::FreshDir("grid");
    for (const GridFile& f : kModel) fuzz::WriteFile(d + "plate" + f.ext, f.text);
    return d;
  }();
  const unsigned component = fuzz::TakeByte(data, size) % 21;  // 0-18 and two bad ones
  fuzz::WriteFile(dir + "plate" OV_GRID_EXT, data, size);

  CDispModel doc;
  CGridModel grid;
  const std::vector<std::string> args = {"pro", dir + "plate.grid", std::to_string(component), "100.0"};
  ReadGridResultSet(args, doc, grid);

  double sum = 0, lo = 0, hi = 0;
  for (int mode = kGridColorModeNone - 1; mode <= kGridColorModeLast + 1; ++mode) {
    GridColorModeRange(grid, mode, lo, hi);
    for (int i = -1; i <= doc.m_nElems4; ++i) sum += GridElementModeValue(i, grid, mode);
    for (int i = -1; i <= doc.m_nCurNodes; ++i) sum += GridNodeModeValue(i, grid, mode);
  }
  for (int i = -1; i <= doc.m_nElems4; ++i)
    for (int column = -1; column <= 7; ++column)
      sum += GetElementValue(i, grid, column, false) + GetElementValue(i, grid, column, true);
  // Keeps the reads from being optimised away.
  volatile double sink = sum;
  (void)sink;
  return 0;
}
