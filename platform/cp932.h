// Code page 932 (Shift-JIS) routines that step over double-byte characters.
#pragma once
#include <string>
#include <string_view>

namespace plat {

// Lead bytes of a double-byte character: 0x81-0x9F and 0xE0-0xFC.
bool IsCp932LeadByte(unsigned char c);

// Lower-cases ASCII letters, leaving both bytes of double-byte characters alone
// (a trail byte may look like 'A'..'Z').
std::string LowerCp932(std::string_view s);

// Trims blanks at both ends without splitting a double-byte character.
std::string TrimCp932(std::string_view s);

// Multibyte substring search: position of the first match that starts on a
// character boundary, or npos.
size_t FindCp932(std::string_view haystack, std::string_view needle, size_t from = 0);

// Conversion for display and back. Invalid bytes become U+FFFD / '?' instead
// of failing, so a damaged file still shows what it can.
std::string Cp932ToUtf8(std::string_view s);
std::string Utf8ToCp932(std::string_view s);

}  // namespace plat
