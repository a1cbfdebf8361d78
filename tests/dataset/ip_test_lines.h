// Helpers of the keyword data set tests: fixed-column lines and readers over
// text in memory.
#pragma once
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "platform/numbers.h"
#include "platform/text_lines.h"

namespace iptest {

// A line with each text right-aligned in its field: {start, width, text}.
struct Field {
  int start;
  int width;
  std::string text;
};

inline std::string Cols(std::initializer_list<Field> fields) {
  std::string line;
  for (const Field& f : fields) {
    const size_t end = static_cast<size_t>(f.start + f.width);
    if (line.size() < end) line.resize(end, ' ');
    const std::string t = f.text.size() > static_cast<size_t>(f.width) ? f.text.substr(0, static_cast<size_t>(f.width)) : f.text;
    line.replace(end - t.size(), t.size(), t);
  }
  return line;
}

// Integers in consecutive fields of one width from column 0.
inline std::string Ints(std::initializer_list<int> values, int width) {
  std::string line;
  for (int v : values) line += plat::Format("%*d", width, v);
  return line;
}

inline std::unique_ptr<plat::LineReader> Reader(std::string text) {
  return plat::LineReader::FromString(std::move(text));
}

}  // namespace iptest
