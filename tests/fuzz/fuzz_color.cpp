// The material colour table ("color.txt" beside the data), found and read
// as a document load does, with the default palette as its fallback.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_util.h"
#include "viewer/color_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = fuzz::FreshDir("color");
  fuzz::WriteFile(dir + "color.txt", data, size);
  CColorTable table;
  LoadColorTableOrDefault(dir, table);
  return 0;
}
