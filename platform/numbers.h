// Locale-free number conversions with the behaviour of the old runtime's
// atoi/atof, and printf-style formatting under the "C" locale.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// Leading white space, optional sign, digits; stops at the first other
// character; saturates at the 32-bit limits; empty or blank gives 0.
int AtoI(std::string_view s);

// Leading white space, optional sign, digits with one point, exponent with
// 'e', 'E', 'd' or 'D'. "inf", "nan" and hexadecimal are not numbers (they
// read as 0, or the number stops where they begin). Overflow gives +-HUGE_VAL
// as the old runtime did; underflow gives 0.
double AtoF(std::string_view s);

// printf into a std::string of whatever length it needs, always under the
// "C" locale whatever the process locale is.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Clamps a 64-bit value to the 32-bit range.
int ClampToInt(long long v);

}  // namespace plat
