#include "viewer/token_line.h"

#include "platform/numbers.h"

std::vector<std::string_view> SplitTokens(std::string_view line, std::string_view separators) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    i = line.find_first_not_of(separators, i);
    if (i == std::string_view::npos) break;
    size_t end = line.find_first_of(separators, i);
    if (end == std::string_view::npos) end = line.size();
    out.push_back(line.substr(i, end - i));
    i = end;
  }
  return out;
}

int TokenInt(const std::vector<std::string_view>& tokens, std::size_t i) {
  return i < tokens.size() ? plat::AtoI(tokens[i]) : 0;
}

double TokenReal(const std::vector<std::string_view>& tokens, std::size_t i) {
  return i < tokens.size() ? plat::AtoF(tokens[i]) : 0.0;
}

bool ReadTableLine(plat::LineReader& in, std::string& line) {
  if (!in.ReadString(line)) return false;
  if (line.size() > kTableLineLimit) line.resize(kTableLineLimit);
  return true;
}
