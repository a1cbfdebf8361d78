#include "viewer/token_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Tokens = std::vector<std::string_view>;

TEST(TokenLine, SplitsAtAnyRunOfSeparators) {
  struct Case {
    std::string line;
    std::string_view separators;
    Tokens want;
  };
  const Case cases[] = {
      {"", kTableSeparators, {}},
      {" ,;:/\t", kTableSeparators, {}},
      {"3", kTableSeparators, {"3"}},
      {"  1, 2;;3/4:5\t6  ", kTableSeparators, {"1", "2", "3", "4", "5", "6"}},
      // A table separator set leaves brackets in the token; the settings set cuts them.
      {"(1,2)", kTableSeparators, {"(1", "2)"}},
      {"(1,2)", " ()", {"1,2"}},
      // Double-byte text stays whole: no separator is a trail byte.
      {"\x83\x65 x", kTableSeparators, {"\x83\x65", "x"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitTokens(c.line, c.separators), c.want) << c.line;
}

TEST(TokenLine, MissingTokensReadZero) {
  const std::string line = "12 -3.5e1 x";
  const Tokens t = SplitTokens(line);
  EXPECT_EQ(TokenInt(t, 0), 12);
  EXPECT_EQ(TokenInt(t, 1), -3);  // stops at the point, as the old atoi did
  EXPECT_EQ(TokenInt(t, 2), 0);
  EXPECT_EQ(TokenInt(t, 3), 0);
  EXPECT_DOUBLE_EQ(TokenReal(t, 1), -35.0);
  EXPECT_DOUBLE_EQ(TokenReal(t, 9), 0.0);
}

TEST(TokenLine, ReadsLinesCutToTheLimitWithoutSplittingThem) {
  const std::string longLine(kTableLineLimit + 40, '7');
  auto in = plat::LineReader::FromString(longLine + "\n1 2\n");
  std::string line;
  ASSERT_TRUE(ReadTableLine(*in, line));
  EXPECT_EQ(line.size(), kTableLineLimit);
  ASSERT_TRUE(ReadTableLine(*in, line));
  EXPECT_EQ(line, "1 2");  // the rest of the long line is not a line of its own
  EXPECT_FALSE(ReadTableLine(*in, line));
}

}  // namespace
