#include "platform/bytestr.h"

namespace plat {

std::string Mid(std::string_view s, long long start, long long count) {
  if (start < 0) {
    count += start;
    start = 0;
  }
  const long long len = static_cast<long long>(s.size());
  if (count <= 0 || start >= len) return {};
  if (count > len - start) count = len - start;
  return std::string(s.substr(static_cast<size_t>(start), static_cast<size_t>(count)));
}

std::string Mid(std::string_view s, long long start) {
  if (start < 0) start = 0;
  if (start >= static_cast<long long>(s.size())) return {};
  return std::string(s.substr(static_cast<size_t>(start)));
}

std::string Left(std::string_view s, long long count) { return Mid(s, 0, count); }


std::string_view TrimLeftView(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsSpaceByte(static_cast<unsigned char>(s[i]))) ++i;
  return s.substr(i);
}

std::string_view TrimView(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsSpaceByte(static_cast<unsigned char>(s[n - 1]))) --n;
  return TrimLeftView(s.substr(0, n));
}

std::string TrimLeft(std::string_view s) { return std::string(TrimLeftView(s)); }

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsSpaceByte(static_cast<unsigned char>(s[n - 1]))) --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string ToLowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool EqualsNoCaseAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace plat
