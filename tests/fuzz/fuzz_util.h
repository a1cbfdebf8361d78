// Helpers shared by the fuzz targets: a private folder per process for the
// readers that take a path, and the fixed runs that the result-file targets
// put beside the fuzzed file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzz {

// A folder of this process, made on first use and removed at exit; the
// targets write their inputs into it so that parallel jobs never share one.
const std::string& ProcessDir();

// Writes `data` to `path` (replacing it); aborts when the file cannot be
// written, since every later result would be meaningless.
void WriteFile(const std::string& path, std::string_view data);
inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
}
// Removes a file when it is there.
void RemoveFile(const std::string& path);

// A fresh sub-folder of ProcessDir() (emptied), with its trailing '/'.
std::string FreshDir(const std::string& name);

// The fixed runs beside which the result files are fuzzed: 0 static,
// 1 dynamic, 2 eigen. Each is a small frame with line elements, fibre
// sections and shells; the text is the whole ".in" file.
std::string_view RunInput(int variant);
constexpr int kRunVariants = 3;

// Reads the first byte of the input as a selector and drops it.
inline unsigned TakeByte(const uint8_t*& data, size_t& size) {
  if (size == 0) return 0;
  const unsigned b = data[0];
  ++data;
  --size;
  return b;
}

}  // namespace fuzz
