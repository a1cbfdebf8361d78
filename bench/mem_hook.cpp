// Counts the heap bytes that the program's operator new hands out, so that
// a benchmark can report how much its data structures take (live) and the
// most they took at once (peak). Only C++ allocations are seen; malloc of
// C libraries (Mesa, Qt's C parts) shows in the RSS figures instead.
#include <malloc.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// Plain loads and stores instead of locked read-modify-write: the counted
// work runs on one thread, and a lock on every allocation would slow the
// allocation-heavy benchmarks down noticeably. An allocation racing on
// another thread (Qt, Mesa) may be miscounted; the RSS figures cover those.
std::atomic<int64_t> g_live{0};
std::atomic<int64_t> g_peak{0};

void Added(void* p) {
  if (!p) return;
  const int64_t now = g_live.load(std::memory_order_relaxed) + static_cast<int64_t>(malloc_usable_size(p));
  g_live.store(now, std::memory_order_relaxed);
  if (now > g_peak.load(std::memory_order_relaxed)) g_peak.store(now, std::memory_order_relaxed);
}

void Removed(void* p) {
  if (p)
    g_live.store(g_live.load(std::memory_order_relaxed) - static_cast<int64_t>(malloc_usable_size(p)),
                 std::memory_order_relaxed);
}

void* Allocate(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  Added(p);
  return p;
}

void* AllocateAligned(std::size_t n, std::align_val_t a) {
  const std::size_t align = static_cast<std::size_t>(a);
  void* p = std::aligned_alloc(align, ((n ? n : 1) + align - 1) / align * align);
  if (!p) throw std::bad_alloc();
  Added(p);
  return p;
}

void Release(void* p) {
  Removed(p);
  std::free(p);
}

}  // namespace

namespace benchsup {
int64_t HeapLive() { return g_live.load(std::memory_order_relaxed); }
int64_t HeapPeak() { return g_peak.load(std::memory_order_relaxed); }
void ResetHeapPeak() { g_peak.store(g_live.load(std::memory_order_relaxed), std::memory_order_relaxed); }
}  // namespace benchsup

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return Allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return Allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new(std::size_t n, std::align_val_t a) { return AllocateAligned(n, a); }
void* operator new[](std::size_t n, std::align_val_t a) { return AllocateAligned(n, a); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }

namespace {
// Large blocks always come fresh from the system, as they do for a program
// that loads one model: otherwise glibc's adaptive threshold recycles the
// arrays of a small model between iterations and only large models pay for
// touching new memory. Small objects keep being recycled (no trimming), as
// in a program that reads one result step after another.
struct FreshLargeBlocks {
  FreshLargeBlocks() {
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
  }
} g_freshLargeBlocks;
}  // namespace
