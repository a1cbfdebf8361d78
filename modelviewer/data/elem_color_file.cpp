#include "modelviewer/data/elem_color_file.h"

#include <string_view>

#include "platform/bytestr.h"
#include "platform/numbers.h"
#include "platform/paths.h"

namespace {

// Lines are looked at up to this length; shorter ones read as blank columns.
constexpr size_t kLineLimit = 254;

bool HasDigit(std::string_view s) {
  for (char c : s) {
    if (c >= '0' && c <= '9') return true;
  }
  return false;
}

// Columns `first`..`first + 9` (1-based): their integer when they hold a
// digit, else 0.
int Field(std::string_view line, int first) {
  const std::string cols = plat::Mid(line, first - 1, 10);
  return HasDigit(cols) ? plat::AtoI(cols) : 0;
}

bool IsMapRow(std::string_view line) {
  const std::string cols = plat::Mid(line, 0, 10);
  return HasDigit(cols) && plat::AtoI(cols) <= 999999;
}

}  // namespace

int ReadElemColorFile(plat::LineReader& in, std::vector<ElemColorEntry>& map) {
  // One pass: the rows up to the first that fails the test are the map, so
  // the count and the entries can never disagree.
  map.clear();
  int ones = 0;
  std::string line;
  while (in.ReadString(line)) {
    if (line.size() > kLineLimit) line.resize(kLineLimit);
    if (!IsMapRow(line)) break;
    ElemColorEntry e;
    e.nNo = Field(line, 1);
    e.nColorClass = Field(line, 11);
    e.nMode1 = Field(line, 31);
    if (e.nMode1 == 1) ++ones;
    map.push_back(e);
  }
  return ones;
}

int LoadElemColorFile(const std::string& path, std::vector<ElemColorEntry>& map) {
  map.clear();
  const std::string found = plat::FindFileNoCase(path);
  if (found.empty()) return 0;
  auto in = plat::LineReader::FromFile(found);
  if (!in) return 0;
  return ReadElemColorFile(*in, map);
}
