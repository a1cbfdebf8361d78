#include "platform/heap.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// Pages of [p, p + bytes) resident now.
std::size_t ResidentPages(const void* p, std::size_t bytes) {
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  std::vector<unsigned char> in((bytes + page - 1) / page);
  if (mincore(const_cast<void*>(p), bytes, in.data()) != 0) return 0;
  std::size_t n = 0;
  for (unsigned char c : in) n += c & 1;
  return n;
}

struct Room {
  explicit Room(std::size_t n) : bytes(n), p(static_cast<unsigned char*>(plat::AllocateLarge(n))) {}
  ~Room() { plat::FreeLarge(p, bytes); }
  std::size_t bytes;
  unsigned char* p;
};

}  // namespace

// The builder writes the room while it is warmed: every byte it wrote is
// still there, and the pages it had not reached become resident.
TEST(PageWarmerTest, WarmsWithoutTouchingWhatTheBuilderWrites) {
  const std::size_t bytes = plat::CPageWarmer::kWarmBytes * 2;
  Room a(bytes), b(bytes / 2);
  plat::CPageWarmer warmer;
  warmer.Start({{a.p, bytes}, {b.p, b.bytes}});
  for (std::size_t i = 0; i < bytes; i += 1000) a.p[i] = static_cast<unsigned char>(i / 1000 * 7);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  const std::size_t pages = b.bytes / static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  while (ResidentPages(b.p, b.bytes) < pages && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  warmer.Wait();
  for (std::size_t i = 0; i < bytes; i += 1000) ASSERT_EQ(a.p[i], static_cast<unsigned char>(i / 1000 * 7)) << i;
#if defined(MADV_POPULATE_WRITE)
  EXPECT_EQ(ResidentPages(b.p, b.bytes), pages);
#endif
}

// Spans that are empty, unaligned, null or too small start nothing, and a
// warmer stopped before it is started, twice over or at once stays usable.
TEST(PageWarmerTest, OddSpansAndRepeatedStops) {
  Room a(plat::CPageWarmer::kWarmBytes + 3);
  plat::CPageWarmer warmer;
  warmer.Wait();
  warmer.Start({});
  warmer.Start({{nullptr, std::size_t{1} << 40}, {a.p, 0}, {a.p + 1, 100}});
  warmer.Start({{a.p + 1, a.bytes - 1}});  // pages wholly inside only
  warmer.Start({{a.p, a.bytes}});          // an earlier start is waited for
  warmer.Wait();
  warmer.Wait();
  std::memset(a.p, 1, a.bytes);
  SUCCEED();
}
