#include "model/record_array.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Fixture {
  std::vector<CFemObj> recs;
  CIpRecordArray arr;
  explicit Fixture(int n) : recs(static_cast<size_t>(n)) {
    for (int i = 0; i < n; ++i) {
      recs[static_cast<size_t>(i)].m_nNo = 100 + i;
      arr.Add(&recs[static_cast<size_t>(i)]);
    }
  }
};

TEST(RecordArray, SetAtBoundsAndSparsePages) {
  CIpRecordArray a;
  CFemObj r;
  EXPECT_EQ(a.SetAt(1048576, &r), 0);
  EXPECT_EQ(a.SetAt(-1, &r), -1);
  EXPECT_EQ(a.GetCount(), 0);
  EXPECT_EQ(r.m_nIndex, -1);
  EXPECT_EQ(a.SetAt(5000, &r), 1);
  EXPECT_EQ(a.GetCount(), 5001);
  EXPECT_EQ(r.m_nIndex, 5000);
  EXPECT_EQ(a.GetAt(100), nullptr);
  EXPECT_EQ(a.GetAt(5000), &r);
  EXPECT_EQ(a.GetAt(5001), nullptr);
  EXPECT_EQ(a.SetAt(1048575, &r), 1);
  EXPECT_EQ(a.GetCount(), 1048576);
  EXPECT_FALSE(a.Add(&r));  // full
}

TEST(RecordArray, RemoveAtCases) {
  struct Case {
    int n, start, count, expectCount;
    std::vector<int> remaining;
  } cases[] = {
      {5, 2, 10, 2, {100, 101}},
      {5, 0, 1, 4, {101, 102, 103, 104}},
      {5, 1, 2, 3, {100, 103, 104}},
      {5, 5, 1, 5, {100, 101, 102, 103, 104}},
      {5, -1, 2, 5, {100, 101, 102, 103, 104}},
      {5, 1, -2, 5, {100, 101, 102, 103, 104}},
      {5, 1, 2147483647, 1, {100}},
      {5, 0, 0, 5, {100, 101, 102, 103, 104}},
  };
  for (const auto& c : cases) {
    Fixture f(c.n);
    EXPECT_EQ(f.arr.RemoveAt(c.start, c.count), c.expectCount);
    ASSERT_EQ(f.arr.GetCount(), static_cast<int>(c.remaining.size()));
    for (int i = 0; i < f.arr.GetCount(); ++i) {
      ASSERT_NE(f.arr.GetAt(i), nullptr);
      EXPECT_EQ(f.arr.GetAt(i)->m_nNo, c.remaining[static_cast<size_t>(i)]);
      EXPECT_EQ(f.arr.GetAt(i)->m_nIndex, i);
    }
  }
}

TEST(RecordArray, FindByNoSkipsClearedSlotsAndTakesTheFirst) {
  Fixture f(3000);
  f.recs[2500].m_nNo = 100;  // duplicate of slot 0
  EXPECT_EQ(f.arr.FindByNo(100), &f.recs[0]);
  f.arr.SetAt(0, nullptr);
  EXPECT_EQ(f.arr.FindByNo(100), &f.recs[2500]);
  EXPECT_EQ(f.arr.FindByNo(2099), &f.recs[1999]);
  EXPECT_EQ(f.arr.FindByNo(-5), nullptr);
  f.arr.RemoveAll();
  EXPECT_EQ(f.arr.GetCount(), 0);
  EXPECT_EQ(f.arr.FindByNo(101), nullptr);
}

}  // namespace
