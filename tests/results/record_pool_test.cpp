// Records made in a result table's own storage: numbering and slots shared
// with Append, stable addresses while the table grows, each record of its
// own class, a full table, and emptying.
#include <gtest/gtest.h>

#include <typeinfo>
#include <vector>

#include "results/op_block.h"

namespace {

TEST(FbOpBlockPool, NumbersSlotsAndClassesMixedWithAppend) {
  CFbOpBlock t(0x520, 0);
  std::vector<const CFbOp*> made;
  std::vector<const std::type_info*> classes;
  // Classes alternate in runs of different lengths, so pools of several
  // classes interleave; enough records for many pools.
  for (int k = 0; k < 200000; ++k) {
    CFbOp* r = nullptr;
    switch ((k / 7) % 4) {
      case 0: {
        auto* f = t.AppendNew<FbFOut>();
        f->m_adValue[0] = static_cast<float>(k);
        r = f;
        break;
      }
      case 1: {
        FbFOutCase proto;
        proto.m_adValue[0] = static_cast<float>(k);
        proto.m_nNo = -5;  // the copy is renumbered
        r = t.AppendNew<FbFOutCase>(proto);
        break;
      }
      case 2: {
        auto* q = t.AppendNew<FbQOutTime>();
        q->m_adValue[0][0] = k;
        r = q;
        break;
      }
      default: {
        auto rec = std::make_unique<FbNOut>();
        rec->m_adValue[0] = k;
        r = rec.get();
        ASSERT_TRUE(t.Append(std::move(rec)));
        break;
      }
    }
    ASSERT_NE(r, nullptr);
    made.push_back(r);
    classes.push_back(&typeid(*r));
  }
  ASSERT_EQ(t.GetCount(), 200000);
  for (int k = 0; k < t.GetCount(); ++k) {
    const CFbOp* r = t.GetAt(k);
    ASSERT_EQ(r, made[static_cast<size_t>(k)]) << k;  // never moved
    EXPECT_EQ(typeid(*r), *classes[static_cast<size_t>(k)]) << k;
    EXPECT_EQ(r->m_nNo, k + 1);
    EXPECT_EQ(r->m_nIndex, k);
    EXPECT_DOUBLE_EQ(r->GetValue(0), k);
  }
  // A fresh record is value-initialised, as a record made with new is.
  const auto* f = static_cast<const FbFOut*>(t.GetAt(0));
  EXPECT_EQ(f->m_nState, FbFOut::kNoState);
  EXPECT_DOUBLE_EQ(f->GetValue(5), 0.0);

  t.DeleteItems();
  EXPECT_EQ(t.GetCount(), 0);
  EXPECT_EQ(t.GetAt(0), nullptr);
  auto* again = t.AppendNew<FbEOut>();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->m_nIndex, 0);
  EXPECT_EQ(t.GetAt(0), again);
}

TEST(FbOpBlockPool, FullTableMakesNothing) {
  CFbOpBlock t(0x110, 0);
  for (int k = 0; k < CPageArray<CFbOp>::kMaxItems; ++k) ASSERT_NE(t.AppendNew<FbNOut>(), nullptr) << k;
  EXPECT_EQ(t.AppendNew<FbNOut>(), nullptr);
  EXPECT_EQ(t.AppendNew<FbQOutCase>(), nullptr);
  EXPECT_FALSE(t.Append(std::make_unique<FbNOut>()));
  EXPECT_EQ(t.GetCount(), CPageArray<CFbOp>::kMaxItems);
  EXPECT_EQ(t.GetAt(CPageArray<CFbOp>::kMaxItems - 1)->m_nNo, CPageArray<CFbOp>::kMaxItems);
}

}  // namespace
