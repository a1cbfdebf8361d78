// The record pool: reuse of freed room, the room's alignment, types that do
// not fit, and (in ASan builds) a stale pointer to a destroyed record.
#include "model/record_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "model/node_records.h"

namespace {

struct alignas(64) Wide {
  char bytes[64];
};

TEST(RecordPool, FreedRoomIsReusedExceptInAsanBuilds) {
  CRecordPool pool(sizeof(CIpNode), alignof(CIpNode));
  CIpNode* first = pool.Make<CIpNode>();
  CIpNode* taken = pool.Make<CIpNode>();
  pool.Destroy(first);
  CIpNode* next = pool.Make<CIpNode>();
  if (CRecordPool::kReusesFreedRoom)
    EXPECT_EQ(next, first);
  else
    EXPECT_NE(next, first);
  // A record deleted by an owner outside the pool leaves its room unused.
  delete taken;
  CIpNode* after = pool.Make<CIpNode>();
  EXPECT_NE(after, taken);
  pool.Destroy(next);
  pool.Destroy(after);
}

TEST(RecordPool, RoomIsAlignedAndATypeThatDoesNotFitIsRefused) {
  struct Case {
    size_t size, align;
    bool wideFits;
  };
  for (const Case c : {Case{12, 4, false}, Case{24, 16, false}, Case{64, 8, false}, Case{64, 64, true}}) {
    SCOPED_TRACE(testing::Message() << c.size << " bytes aligned to " << c.align);
    CRecordPool pool(c.size, c.align);
    const size_t align = std::max(c.align, alignof(void*));
    std::vector<void*> room;
    for (int i = 0; i < 3; ++i) {
      room.push_back(pool.Allocate());
      EXPECT_EQ(reinterpret_cast<uintptr_t>(room.back()) % align, 0u);
    }
    if (c.wideFits) {
      Wide* w = pool.Make<Wide>();
      EXPECT_TRUE(pool.Owns(w));
      pool.Destroy(w);
    } else {
      EXPECT_THROW(pool.Make<Wide>(), std::length_error);
    }
    for (void* p : room) pool.Free(p);
  }
}

TEST(RecordPoolDeathTest, StaleReadOfADestroyedRecordIsReported) {
#ifndef OV_RECORD_POOL_ASAN
  GTEST_SKIP() << "freed room is poisoned only in AddressSanitizer builds";
#else
  for (const bool byDelete : {false, true}) {
    SCOPED_TRACE(byDelete ? "deleted" : "destroyed by the pool");
    EXPECT_DEATH(
        {
          CRecordPool pool(sizeof(CIpNode), alignof(CIpNode));
          CIpNode* rec = pool.Make<CIpNode>();
          const volatile double* stale = &rec->m_dX;
          if (byDelete)
            delete rec;
          else
            pool.Destroy(rec);
          pool.Make<CIpNode>()->m_dX = 2.0;
          std::fprintf(stderr, "%g\n", *stale);
        },
        "use-after-poison|heap-use-after-free");
  }
#endif
}

}  // namespace
