#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>

#include "platform/bytestr.h"

namespace plat {

bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::string LowerCp932(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsCp932LeadByte(c)) {
      ++i;  // skip the trail byte
      continue;
    }
    if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string TrimCp932(std::string_view s) { return Trim(s); }

size_t FindCp932(std::string_view haystack, std::string_view needle, size_t from) {
  if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
  size_t i = 0;
  while (i < haystack.size()) {
    if (i >= from && haystack.size() - i >= needle.size() && haystack.compare(i, needle.size(), needle) == 0)
      return i;
    i += IsCp932LeadByte(static_cast<unsigned char>(haystack[i])) ? 2 : 1;
  }
  return std::string_view::npos;
}

namespace {

std::string Convert(const char* to, const char* from, std::string_view s, const char* replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(s);
  std::string out;
  out.reserve(s.size() * 3 / 2 + 8);
  char* in = const_cast<char*>(s.data());
  size_t inLeft = s.size();
  char buf[1024];
  while (inLeft > 0) {
    char* outp = buf;
    size_t outLeft = sizeof buf;
    const size_t rc = iconv(cd, &in, &inLeft, &outp, &outLeft);
    out.append(buf, static_cast<size_t>(outp - buf));
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: replace one byte and go on.
      out += replacement;
      ++in;
      --inLeft;
    }
  }
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view s) { return Convert("UTF-8", "CP932", s, "\xEF\xBF\xBD"); }

std::string Utf8ToCp932(std::string_view s) { return Convert("CP932", "UTF-8", s, "?"); }

}  // namespace plat
