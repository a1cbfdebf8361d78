// The token reader of the small text tables (colour tables, grid models,
// view settings): a line cut into tokens at any run of separators, missing
// tokens reading 0.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_lines.h"

// Blank, comma, colon, semicolon, slash and tab: the table files' separators.
inline constexpr std::string_view kTableSeparators = " ,:;/\t";

// The readers look at this much of a line; the rest is ignored.
inline constexpr std::size_t kTableLineLimit = 254;

// The tokens between runs of `separators`, as views into `line`.
std::vector<std::string_view> SplitTokens(std::string_view line,
                                          std::string_view separators = kTableSeparators);

// Token i as an integer or a real (the old runtime's atoi / atof); 0 when
// there is no token i.
int TokenInt(const std::vector<std::string_view>& tokens, std::size_t i);
double TokenReal(const std::vector<std::string_view>& tokens, std::size_t i);

// The next line cut to kTableLineLimit bytes; false at the end of the input.
bool ReadTableLine(plat::LineReader& in, std::string& line);
