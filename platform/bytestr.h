// Byte-string helpers for file text held as code page 932 bytes.
#pragma once
#include <string>
#include <string_view>

namespace plat {

// Substring that clamps to the string instead of throwing: a start past the
// end gives "", a count past the end gives what is there.
std::string Mid(std::string_view s, long long start, long long count);
std::string Mid(std::string_view s, long long start);
std::string Left(std::string_view s, long long count);

// Blank, tab, CR, LF, VT and FF (the classic isspace set); none of them can be
// a trail byte of a double-byte character, so trimming bytes is safe.
inline bool IsSpaceByte(unsigned char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string Trim(std::string_view s);
// The same without a copy.
std::string_view TrimLeftView(std::string_view s);
std::string_view TrimView(std::string_view s);

bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);

// Lower-case of ASCII letters only (extensions, keywords).
std::string ToLowerAscii(std::string_view s);
bool EqualsNoCaseAscii(std::string_view a, std::string_view b);

}  // namespace plat
