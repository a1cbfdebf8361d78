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

// Build chooses its form from the numbers; every form must give the first
// value of every number and nothing for the others.
TEST(NumberIndex, BuildGivesTheFirstValueInEveryForm) {
  struct Case {
    const char* name;
    std::vector<int> numbers;  // with values 0, 1, ... (the none value -1 skipped)
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"one", {INT_MAX}},
      {"compact", {}},
      {"stretches of storeys", {}},
      {"stretches overlapping", {}},
      {"stretches and strays", {}},
      {"scattered", {}},
  };
  for (int s = 0; s < 40; ++s)
    for (int k = 1; k <= 300; ++k) cases[3].numbers.push_back(s * 1000000 + k);
  cases[4].numbers = cases[3].numbers;
  for (int k = 100; k <= 120; ++k) cases[4].numbers.push_back(2000000 + k);  // repeats a stretch's numbers
  cases[5].numbers = cases[3].numbers;
  for (int k = 0; k < 100; ++k) cases[5].numbers.insert(cases[5].numbers.begin() + 7 * k, -5000 - 3 * k);
  for (int k = 0; k < 3000; ++k) cases[6].numbers.push_back((k * 7919) % 100003 * 5);
  cases[2].numbers = {5, 3, 4, 1, 2, 5};
  for (const Case& c : cases) {
    CNumberIndex<int> index(-1);
    index.Build(c.numbers.size(), [&](auto add) {
      for (size_t i = 0; i < c.numbers.size(); ++i) add(c.numbers[i], i % 11 == 10 ? -1 : static_cast<int>(i));
    });
    std::map<int, int> first;
    for (size_t i = 0; i < c.numbers.size(); ++i)
      if (i % 11 != 10) first.emplace(c.numbers[i], static_cast<int>(i));
    EXPECT_EQ(index.Size(), first.size()) << c.name;
    for (const auto& [number, value] : first) EXPECT_EQ(index.Find(number), value) << c.name << " " << number;
    for (const int absent : {INT_MIN, -1, 0, 301, 999999, 39000301, INT_MAX - 1}) {
      if (!first.count(absent)) {
        EXPECT_EQ(index.Find(absent), -1) << c.name << " " << absent;
      }
    }
  }
}

TEST(NumberIndex, BuildOverRecordsPlacedOneAfterAnother) {
  std::vector<double> records(2000);
  CNumberIndex<double*> index(nullptr);
  // Numbers 5001..6000, then 1..999 with record 1000 left out.
  index.Build(records.size(), [&](auto add) {
    for (int i = 0; i < 1000; ++i) add(5001 + i, &records[i]);
    for (int i = 1000; i < 1999; ++i) add(i - 999, &records[i + (i >= 1500)]);
  });
  EXPECT_EQ(index.Find(5001), &records[0]);
  EXPECT_EQ(index.Find(6000), &records[999]);
  EXPECT_EQ(index.Find(1), &records[1000]);
  EXPECT_EQ(index.Find(500), &records[1499]);
  EXPECT_EQ(index.Find(501), &records[1501]);
  EXPECT_EQ(index.Find(1000), nullptr);
  EXPECT_EQ(index.Find(0), nullptr);
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
