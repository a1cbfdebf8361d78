#include "platform/cp932.h"

#include <gtest/gtest.h>

#include "platform/bytestr.h"

namespace {

TEST(Cp932, LowerStepsOverDoubleByteCharacters) {
  // 0x83 0x41 is katakana "A"; its trail byte looks like 'A' and must stay.
  EXPECT_EQ(plat::LowerCp932("ABC\x83\x41Z"), "abc\x83\x41z");
  EXPECT_EQ(plat::LowerCp932("PROG.IN"), "prog.in");
}

TEST(Cp932, FindMatchesOnlyOnCharacterBoundaries) {
  EXPECT_EQ(plat::FindCp932("\x83\x41" "A", "A"), 2u);
  EXPECT_EQ(plat::FindCp932("/gravity", "/grav"), 0u);
  EXPECT_EQ(plat::FindCp932("/gravity", "/Grav"), std::string::npos);
  EXPECT_EQ(plat::FindCp932("abc", ""), 0u);
}

TEST(Cp932, ConvertsToUtf8AndBack) {
  const std::string sjis = "\x8f\x64\x97\xcd";  // "重力"
  const std::string utf8 = plat::Cp932ToUtf8(sjis);
  EXPECT_EQ(utf8, "\xe9\x87\x8d\xe5\x8a\x9b");
  EXPECT_EQ(plat::Utf8ToCp932(utf8), sjis);
  // Half-width katakana survive the round trip.
  EXPECT_EQ(plat::Utf8ToCp932(plat::Cp932ToUtf8("\xd3\xb0\xc4\xde")), "\xd3\xb0\xc4\xde");
  // A lone lead byte at the end does not stop the conversion.
  EXPECT_EQ(plat::Cp932ToUtf8("ab\x82"), "ab\xEF\xBF\xBD");
}

TEST(ByteStr, MidClampsInsteadOfThrowing) {
  EXPECT_EQ(plat::Mid("abcdef", 2, 3), "cde");
  EXPECT_EQ(plat::Mid("abcdef", 4, 10), "ef");
  EXPECT_EQ(plat::Mid("abc", 10, 2), "");
  EXPECT_EQ(plat::Mid("abc", -1, 2), "a");
  EXPECT_EQ(plat::Mid("abc", 1, -5), "");
  EXPECT_EQ(plat::Trim("  \tx y \r\n"), "x y");
}

}  // namespace
