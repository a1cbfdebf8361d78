// The per-element colour map (.clr beside a keyword data file), read and
// looked up as the member builders do.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_util.h"
#include "modelviewer/data/elem_color_file.h"
#include "viewer/display_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ProcessDir() + "model.clr";
  fuzz::WriteFile(path, data, size);
  std::vector<ElemColorEntry> map;
  LoadElemColorFile(path, map);
  CElemColorIndex index(map);
  int colorClass = 0, mode1 = 0;
  for (const ElemColorEntry& e : map) index.Lookup(e.nNo, colorClass, mode1);
  index.Lookup(0, colorClass, mode1);
  return 0;
}
