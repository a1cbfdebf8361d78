#include "model/columns.h"

#include <cmath>
#include <climits>
#include <limits>

#include "platform/bytestr.h"
#include "platform/numbers.h"

namespace {

// Shared body of FormatReal10/15: `width` characters, fixed form in the given
// range, exponent form otherwise.
std::string FormatRealWidth(double x, int width, const char* fixedFmt, const char* expFmt, double posLimit,
                            double negLimit) {
  // A field that overflowed on reading (1E999) is written as the largest
  // finite value the field carries: its mantissa is cut, not rounded, so the
  // text reads back finite with the same sign (an "Inf" would read as 0).
  if (std::isinf(x)) x = std::copysign(std::numeric_limits<double>::max(), x);
  std::string text;
  if (x == 0) {
    text = "0";
  } else if (std::isnan(x)) {
    // Cannot come from our parsers; reads back as 0.
    text = "NaN";
  } else {
    bool fixed = (x >= 0.01 && x < posLimit) || (x > negLimit && x <= -0.01);
    if (fixed) {
      text = plat::Trim(plat::Format(fixedFmt, x));
      // Rounding can carry the integer part past the field (for example
      // -999999999.9999999 prints as -1000000000.000000): cutting that would
      // give a tenth of the value, so such values take the exponent form.
      const size_t point = text.find('.');
      if (point != std::string::npos && point > static_cast<size_t>(width)) fixed = false;
      else text = text.substr(0, static_cast<size_t>(width));
    }
    if (!fixed) {
      std::string e = plat::Trim(plat::Format(expFmt, x));
      for (char& c : e)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      const size_t pos = e.find('E');
      const std::string expText = plat::Format("%d", plat::AtoI(pos == std::string::npos ? "" : e.substr(pos + 1)));
      const long long keep = width - 1 - static_cast<long long>(expText.size());
      text = plat::Left(e, keep) + "E" + expText;
    }
  }
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
  return text;
}

}  // namespace

std::string FormatReal10(double x) { return FormatRealWidth(x, 10, "%17.6f", "%17.6e", 1e10, -1e9); }

std::string FormatReal15(double x) { return FormatRealWidth(x, 15, "%22.11f", "%22.11e", 1e15, -1e14); }

int CutInt(std::string_view line, int start, int width) {
  if (start >= static_cast<int>(line.size())) return 0;
  return plat::AtoI(line.substr(static_cast<size_t>(start), static_cast<size_t>(width)));
}

double CutReal(std::string_view line, int start, int width) {
  if (start >= static_cast<int>(line.size())) return 0;
  return plat::AtoF(line.substr(static_cast<size_t>(start), static_cast<size_t>(width)));
}

int ParseFlags6(std::string_view text) {
  int mask = 0;
  for (int i = 0; i < 6 && i < static_cast<int>(text.size()); ++i)
    if (text[static_cast<size_t>(i)] == '1') mask |= 1 << i;
  return mask;
}

std::string FormatFlags6(int mask) {
  std::string s(6, '0');
  for (int i = 0; i < 6; ++i)
    if (mask & (1 << i)) s[static_cast<size_t>(i)] = '1';
  return s;
}

int ParseFlags12(std::string_view text) {
  int mask = 0;
  for (int i = 0; i < 12 && i < static_cast<int>(text.size()); ++i) {
    const char c = text[static_cast<size_t>(i)];
    if (c != ' ' && c != '0') mask |= 1 << i;
  }
  return mask;
}

std::string FormatFlags12(int mask) {
  std::string s(12, ' ');
  for (int i = 0; i < 12; ++i)
    if (mask & (1 << i)) s[static_cast<size_t>(i)] = '1';
  return s;
}

bool AppendValueNode(int key, double value, std::vector<CValueNode>& list) {
  list.push_back(CValueNode{key, value});
  return true;
}

bool FormatValues6(std::string& text, const CValues6& node) {
  text.clear();
  for (double v : node.v) text += FormatReal10(v);
  text += "\r\n";
  return true;
}

bool ReadValues6(CArchiveIn& ar, double values[6], std::string& line) {
  if (!ar.ReadString(line)) {
    line.clear();
    return false;
  }
  std::string work = line;
  line.clear();
  while (!work.empty() && work[0] == '$') {
    line += work;
    if (!ar.ReadString(work)) {
      line.clear();
      return false;
    }
  }
  if (!work.empty() && work[0] == '/') {
    line = work;
    return false;
  }
  // An empty line gives six zeros rather than whatever the caller held.
  for (int i = 0; i < 6; ++i) values[i] = CutReal(work, i * 10, 10);
  return true;
}

bool AppendValues6Node(const double values[6], std::vector<CValues6>& list) {
  CValues6 n;
  for (int i = 0; i < 6; ++i) n.v[i] = values[i];
  list.push_back(n);
  return true;
}

int CountValues6Nodes(const std::vector<CValues6>& list) { return plat::ClampToInt(static_cast<long long>(list.size())); }

int Pow2(int n) {
  if (n < 0) return 0;
  if (n >= 32) return 0;  // doubled out of the 32-bit word
  return static_cast<int>(1u << n);
}

int GenCount(int first, int last, int inc) {
  if (inc == 0) return 1;
  const long long d = (static_cast<long long>(last) - first) / inc;
  return plat::ClampToInt((d < 0 ? -d : d) + 1);
}

int GenNumber(int first, int inc, int item) {
  return plat::ClampToInt(static_cast<long long>(first) + static_cast<long long>(item) * inc);
}

std::string CellInt(int v) { return v == 0 ? std::string() : plat::Format("%d", v); }

std::string CellReal(double v) { return plat::Format(g_nColumnMode ? "%15.4f" : "%10.4f", v); }

bool ReadNextDataLine(CArchiveIn& ar, std::string& line, std::string& data) {
  for (;;) {
    if (!ar.ReadString(data)) {
      line.clear();
      data.clear();
      return false;
    }
    if (!data.empty() && data[0] == '$') continue;
    if (!data.empty() && data[0] == '/') {
      line = data;
      data.clear();
      return false;
    }
    return true;
  }
}
