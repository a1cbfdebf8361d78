// The flat number index against an ordered map that keeps the first value
// of every number: any int as a number, repeats, growth with and without
// room made in advance.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <random>
#include <vector>

#include "dataset/number_index.h"

namespace {

TEST(NumberIndex, FirstValueWinsForAnyNumber) {
  struct Case {
    const char* name;
    std::vector<int> numbers;  // added in this order with values 0, 1, ...
    size_t reserve;
  };
  std::vector<Case> cases = {
      {"empty", {}, 0},
      {"zero and negatives", {0, -1, 0, INT_MIN, INT_MAX, -1, 5}, 0},
      {"repeats", {7, 7, 7, 8, 7, 8}, 2},
      {"sequential beyond the room made", {}, 10},
      {"strided", {}, 0},
      {"random with repeats", {}, 3000},
  };
  for (int k = 1; k <= 1000; ++k) cases[3].numbers.push_back(k);
  for (int k = 0; k < 5000; ++k) cases[4].numbers.push_back(k * 1024);
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> pick(-2000, 2000);
  for (int k = 0; k < 6000; ++k) cases[5].numbers.push_back(pick(rng));

  // Without a range, and with one that holds some of the numbers: those go
  // into the array by number, the rest into the table.
  for (const bool ranged : {false, true}) {
    for (const Case& c : cases) {
      CNumberIndex<int> index(-1);
      if (ranged)
        index.Reserve(std::max<size_t>(c.reserve, 200), -50, 600);
      else
        index.Reserve(c.reserve);
      std::map<int, int> first;
      for (size_t i = 0; i < c.numbers.size(); ++i) {
        index.Add(c.numbers[i], static_cast<int>(i));
        first.emplace(c.numbers[i], static_cast<int>(i));
      }
      EXPECT_EQ(index.Size(), first.size()) << c.name;
      for (const auto& [number, value] : first) EXPECT_EQ(index.Find(number), value) << c.name << " " << number;
      for (const int absent : {INT_MIN + 1, -3000, 3000, 1 << 30}) {
        if (!first.count(absent)) {
          EXPECT_EQ(index.Find(absent), -1) << c.name << " " << absent;
        }
      }
    }
  }
}

TEST(NumberIndex, PointersAndTheNoneValue) {
  int a = 0, b = 0;
  CNumberIndex<int*> index(nullptr);
  EXPECT_EQ(index.Find(1), nullptr);  // nothing added, no table yet
  index.Add(1, nullptr);              // the none value is never stored
  EXPECT_EQ(index.Size(), 0u);
  index.Add(1, &a);
  index.Add(1, &b);
  index.Add(2, &b);
  EXPECT_EQ(index.Find(1), &a);
  EXPECT_EQ(index.Find(2), &b);
  EXPECT_EQ(index.Find(3), nullptr);
}

}  // namespace
