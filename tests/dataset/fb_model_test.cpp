// The paged pointer array, the step mapping and the key lists of the
// analysis input.
#include <gtest/gtest.h>

#include "dataset/fb_model.h"
#include "dataset/page_array.h"
#include "results/test_run_writer.h"

namespace {

using testrun::RunSpec;
using testrun::SmallFrame;

int Load(const RunSpec& s, CFbModel& m) {
  auto ar = plat::LineReader::FromString(testrun::InText(s));
  return m.Serialize(*ar, nullptr);
}

TEST(FbPageArray, StoresRefusesAndNeverOwns) {
  CPageArray<CFbTime> a;
  CFbTime first, second;
  EXPECT_EQ(a.GetCount(), 0);
  EXPECT_EQ(a.m_nNextId, 1);
  EXPECT_EQ(a.SetAt(5, &first), 1);
  EXPECT_EQ(a.GetCount(), 6);
  EXPECT_EQ(a.SetAt(5, &second), 0);  // a taken slot keeps its item
  EXPECT_EQ(a.GetAt(5), &first);
  EXPECT_EQ(a.GetAt(4), nullptr);
  EXPECT_EQ(a.GetAt(6), nullptr);
  EXPECT_EQ(a.GetAt(-1), nullptr);
  EXPECT_EQ(first.m_nIndex, -1);  // nothing is written into the item
  EXPECT_EQ(a.SetAt(1048576, &second), -1);
  EXPECT_EQ(a.SetAt(-1, &second), -1);
  EXPECT_EQ(a.GetCount(), 6);
  EXPECT_EQ(a.SetAt(1048575, &second), 1);
  EXPECT_EQ(a.GetCount(), 1048576);
  EXPECT_EQ(a.GetAt(1048575), &second);
  EXPECT_EQ(a.GetAt(2000), nullptr);  // a page never made
  a.RemoveAll();
  EXPECT_EQ(a.GetCount(), 0);
  EXPECT_EQ(a.GetAt(5), nullptr);
}

TEST(FbKeys, ValuesOfTheKeys) {
  CFbTime t;
  t.m_fTime = 0.5f;
  const CFbOp& op = t;
  EXPECT_DOUBLE_EQ(op.GetValue(0), 0.5);
  EXPECT_DOUBLE_EQ(CFbLCase(1, 2).GetValue(0), 0.0);
  EXPECT_DOUBLE_EQ(CFbFiberID(1, 2, 3, 4).GetValue(0), 0.0);
  EXPECT_DOUBLE_EQ(CFbOp().GetValue(3), 0.0);
}

TEST(FbSteps, StaticMappingBothWays) {
  CFbModel m;
  ASSERT_EQ(Load(SmallFrame(1), m), 1);  // cases (1, 3 steps) and (2, 2 steps)
  struct Case {
    int key, step, g;
  } const index[] = {{1, 1, 1}, {1, 3, 3}, {2, 1, 4}, {2, 2, 5}, {2, 3, 0}, {3, 1, 0}, {-1, -1, 5}, {1, 0, 0}, {2, 0, 3}};
  for (const Case& c : index) EXPECT_EQ(m.GetStepIndex(c.key, c.step), c.g) << c.key << "/" << c.step;

  struct Pos {
    int g;
    bool ok;
    int key, step;
  } const pos[] = {{0, true, 1, 1}, {2, true, 1, 3}, {3, true, 2, 1}, {4, true, 2, 2}, {5, false, 0, 0}, {-1, false, 0, 0}};
  for (const Pos& p : pos) {
    int key = 0, step = 0;
    EXPECT_EQ(m.GetCaseStep(p.g, key, step), p.ok) << p.g;
    if (p.ok) {
      EXPECT_EQ(key, p.key);
      EXPECT_EQ(step, p.step);
      EXPECT_EQ(m.GetStepIndex(key, step), p.g + 1);
    }
  }

  // The load-step list: case order, then step order.
  const int want[5][2] = {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}};
  ASSERT_EQ(m.m_aLCases.GetCount(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(m.m_aLCases.GetAt(i)->m_nCase, want[i][0]);
    EXPECT_EQ(m.m_aLCases.GetAt(i)->m_nStep, want[i][1]);
    EXPECT_EQ(m.m_aLCases.GetAt(i)->m_nIndex, i);
  }
}

TEST(FbSteps, DynamicAndEigenMapStepsToThemselves) {
  for (int type : {2, 3}) {
    CFbModel m;
    ASSERT_EQ(Load(SmallFrame(type), m), 1);
    int key = -5, step = -5;
    EXPECT_TRUE(m.GetCaseStep(0, key, step));
    EXPECT_EQ(key, 1);
    EXPECT_EQ(step, 0);
    EXPECT_EQ(m.GetStepIndex(12, 0), 12);
    EXPECT_FALSE(m.GetCaseStep(-1, key, step));
  }
  CFbModel empty;
  int key = 0, step = 0;
  EXPECT_FALSE(empty.GetCaseStep(0, key, step));
  EXPECT_EQ(empty.GetStepIndex(1, 1), 0);
}

TEST(FbFiberIDs, BlocksThenDecksInElementOrder) {
  RunSpec s = SmallFrame(1);
  // One block of 2 rows and 3 columns, one deck of 1 row and 2 columns.
  s.secs[0].blocks = {{{0, -0.2, 0, 0.2, 0, 0.3}, 3, 2, 0, 1}};
  s.secs[0].decks = {{{-0.1, 0.25, 0.1, 0.25, 0, 0.02}, 2, 1, 0, 2}};
  s.secs[0].info[0] = 1;
  CFbModel m;
  ASSERT_EQ(Load(s, m), 1);
  // Elements 11 and 12 use the section, 13 does not; then element 21 of
  // the second list.
  ASSERT_EQ(m.m_aFiberIDs.GetCount(), 24);
  const int want[8][3] = {{1, 1, 1}, {1, 1, 2}, {1, 1, 3}, {1, 2, 1}, {1, 2, 2}, {1, 2, 3}, {2, 1, 1}, {2, 1, 2}};
  const int elems[3] = {11, 12, 21};
  for (int e = 0; e < 3; ++e)
    for (int k = 0; k < 8; ++k) {
      const CFbFiberID* id = m.m_aFiberIDs.GetAt(8 * e + k);
      EXPECT_EQ(id->m_nElem, elems[e]);
      EXPECT_EQ(id->m_nBlock, want[k][0]);
      EXPECT_EQ(id->m_nRow, want[k][1]);
      EXPECT_EQ(id->m_nCol, want[k][2]);
    }
}

TEST(FbFiberIDs, AListPastTheRecordLimitStaysEmpty) {
  // Three elements use the section: 3 x 349,525 ids fit, 3 x 349,526 do not.
  struct Case {
    int blockCols, blockRows, deckCols, ids;
  };
  for (const Case& c : {Case{451, 775, 0, 3 * 349525}, Case{451, 775, 1, 0}}) {
    RunSpec s = SmallFrame(1);
    s.secs[0].blocks = {{{0, -0.2, 0, 0.2, 0, 0.3}, c.blockCols, c.blockRows, 0, 1}};
    s.secs[0].decks = {{{-0.1, 0.25, 0.1, 0.25, 0, 0.02}, c.deckCols, 1, 0, 2}};
    s.secs[0].info[0] = 1;
    CFbModel m;
    ASSERT_EQ(Load(s, m), 1);
    EXPECT_EQ(m.m_aFiberIDs.GetCount(), c.ids) << c.blockCols << " " << c.deckCols;
  }
}

TEST(FbFiberIDs, FindSecTakesTheFirstFibreSectionOfTheNumber) {
  RunSpec s = SmallFrame(1);
  s.secs[1].no = 101;  // a scalar section with the fibre section's number
  s.secs.insert(s.secs.begin(), s.secs[1]);
  for (auto& e : s.elems) ++e.sec;
  for (auto& e : s.elems2) ++e.sec;
  for (auto& q : s.quads) ++q.sec;
  CFbModel m;
  ASSERT_EQ(Load(s, m), 1);
  ASSERT_TRUE(m.FindSec(101));
  EXPECT_EQ(m.FindSec(101), m.m_aSecs.GetAt(1)->m_pFiber.get());
  EXPECT_EQ(m.FindSec(102), nullptr);
  EXPECT_EQ(m.FindSec(999), nullptr);
}

}  // namespace
