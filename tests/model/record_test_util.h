// Helpers of the record tests: a section of lines read into records of
// one class and written back.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/columns.h"
#include "model/fem_input.h"
#include "platform/numbers.h"
#include "platform/text_lines.h"

namespace rectest {

template <class Rec>
std::vector<std::unique_ptr<Rec>> ReadSection(const std::string& text, std::string& line) {
  auto ar = plat::LineReader::FromString(text);
  std::vector<std::unique_ptr<Rec>> out;
  for (;;) {
    auto r = std::make_unique<Rec>();
    if (!r->Read(*ar, line)) break;
    out.push_back(std::move(r));
  }
  return out;
}

template <class Rec>
std::string WriteAll(const std::vector<std::unique_ptr<Rec>>& recs) {
  std::string all, t;
  for (auto& r : recs)
    if (r->Write(t)) all += t;
  return all;
}

template <class Rec>
std::string RoundTrip(const std::string& text, int mode) {
  ColumnModeScope scope(mode);
  std::string line;
  return WriteAll(ReadSection<Rec>(text, line));
}

// Each text, followed by a keyword line, reads into records of one class
// that write it back unchanged and leave the keyword line for the caller.
struct LineCase {
  int mode;
  std::string text;
};

template <class Rec>
void ExpectRoundTrips(const std::vector<LineCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ColumnModeScope scope(c.mode);
    std::string line;
    auto recs = ReadSection<Rec>(c.text + "/end\r\n", line);
    EXPECT_EQ(line, "/end");
    EXPECT_EQ(WriteAll(recs), c.text);
  }
}

// Cell texts of the expected lines: a real field, an integer field of
// `width` columns, `n` blanks.
inline std::string R(double v) { return FormatReal10(v); }
inline std::string I(int width, int v) { return plat::Format("%*d", width, v); }
inline std::string B(int n) { return std::string(static_cast<size_t>(n), ' '); }

}  // namespace rectest
