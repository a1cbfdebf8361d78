#include "platform/numbers.h"

#include <locale.h>

#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/bytestr.h"

namespace plat {

int ClampToInt(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

namespace {

// The index of the first byte of `s` that is no white space. Fixed-column
// fields are mostly blanks before a few digits: eight blanks are passed at a
// time, and the first other byte of a word found from its lowest set bit.
size_t SkipSpaces(std::string_view s) {
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kBlanks = 0x2020202020202020ull;
    for (; i + 8 <= s.size(); i += 8) {
      uint64_t w;
      std::memcpy(&w, s.data() + i, 8);
      if (w != kBlanks) {
        i += static_cast<size_t>(std::countr_zero(w ^ kBlanks)) / 8;
        break;
      }
    }
  }
  while (i < s.size() && IsSpaceByte(static_cast<unsigned char>(s[i]))) ++i;
  return i;
}

}  // namespace

int AtoI(std::string_view s) {
  size_t i = SkipSpaces(s);
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    neg = s[i] == '-';
    ++i;
  }
  long long v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) v = static_cast<long long>(INT_MAX) + 1;  // saturated
  }
  return ClampToInt(neg ? -v : v);
}

double AtoF(std::string_view s) {
  size_t i = SkipSpaces(s);
  std::string norm;  // short numbers stay in the string's own buffer
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    neg = s[i] == '-';
    ++i;
  }
  {
    // Most fields are a few digits with a point and no exponent: at most 15
    // digits are an exact double, and so is 10^k for k up to 22, so one
    // division gives the correctly rounded value the full parse would.
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    size_t j = i;
    unsigned long long mant = 0;
    int count = 0, frac = 0;
    for (; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j, ++count) mant = mant * 10 + static_cast<unsigned>(s[j] - '0');
    if (j < s.size() && s[j] == '.')
      for (++j; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j, ++count, ++frac)
        mant = mant * 10 + static_cast<unsigned>(s[j] - '0');
    const bool exponent = j < s.size() && (s[j] == 'e' || s[j] == 'E' || s[j] == 'd' || s[j] == 'D');
    if (count > 0 && count <= 15 && !exponent) {
      const double v = static_cast<double>(mant) / kPow10[frac];
      return neg ? -v : v;
    }
  }
  bool digits = false;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    norm += s[i];
    digits = true;
  }
  if (i < s.size() && s[i] == '.') {
    norm += '.';
    ++i;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
      norm += s[i];
      digits = true;
    }
  }
  if (!digits) return 0.0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    size_t j = i + 1;
    std::string exp = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
    bool expDigits = false;
    // Leading zeros carry no value; they must not use up the digits kept.
    for (; j < s.size() && s[j] == '0'; ++j) expDigits = true;
    for (; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j) {
      if (exp.size() < 12) exp += s[j];  // huge exponents saturate below
      expDigits = true;
    }
    if (expDigits && (exp.size() == 1 || (exp.size() == 2 && (exp[1] == '+' || exp[1] == '-')))) exp += '0';
    if (expDigits) norm += exp;
  }
  if (norm[0] == '.') norm.insert(norm.begin(), '0');
  double v = 0.0;
  const auto res = std::from_chars(norm.data(), norm.data() + norm.size(), v);
  if (res.ec == std::errc::result_out_of_range) {
    // Decide between overflow and underflow from the exponent's sign.
    const size_t e = norm.find('e');
    const bool negExp = e != std::string::npos && e + 1 < norm.size() && norm[e + 1] == '-';
    v = negExp ? 0.0 : HUGE_VAL;
  }
  return neg ? -v : v;
}

namespace {

locale_t CLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

}  // namespace

std::string Format(const char* fmt, ...) {
  const locale_t old = uselocale(CLocale());
  char small[128];
  va_list ap;
  va_start(ap, fmt);
  va_list ap2;
  va_copy(ap2, ap);
  const int n = std::vsnprintf(small, sizeof small, fmt, ap);
  va_end(ap);
  std::string out;
  if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
    out.assign(small, static_cast<size_t>(n));
  } else if (n >= 0) {
    std::vector<char> big(static_cast<size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), fmt, ap2);
    out.assign(big.data(), static_cast<size_t>(n));
  }
  va_end(ap2);
  uselocale(old);
  return out;
}

}  // namespace plat
