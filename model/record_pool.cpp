#include "model/record_pool.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>

#include "model/fem_input.h"

#ifdef OV_RECORD_POOL_ASAN
#include <sanitizer/asan_interface.h>
#define OV_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define OV_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define OV_POISON(p, n) ((void)(p), (void)(n))
#define OV_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

struct CRecordPool::Chunk {
  char* base;
  size_t bytes;
  size_t align;
  std::atomic<long> live{0};  // objects placed and not yet freed
  bool orphan = false;        // the pool is gone (guarded by the registry lock)
};

namespace {
constexpr size_t kFirstChunk = 64 * 1024;
constexpr size_t kLastChunk = 8 * 1024 * 1024;

// Every live chunk by its base address, for `delete` of a record that left
// its block. Touched when a chunk comes or goes and when such a record is
// deleted, never per record placed.
std::mutex& RegistryLock() {
  static std::mutex lock;
  return lock;
}
std::map<uintptr_t, CRecordPool::Chunk*>& Registry() {
  static auto* chunks = new std::map<uintptr_t, CRecordPool::Chunk*>;  // outlives static destructors
  return *chunks;
}

void FreeChunk(CRecordPool::Chunk* c) {
  Registry().erase(reinterpret_cast<uintptr_t>(c->base));
  OV_UNPOISON(c->base, c->bytes);
  ::operator delete(c->base, std::align_val_t(c->align));
  delete c;
}
}  // namespace

size_t CRecordPool::s_hugeChunk = 2 * 1024 * 1024;

// Every slot starts on a multiple of the alignment (chunks are aligned to at
// least that): the size is rounded up to it, and both hold a pointer, the
// link of freed room.
CRecordPool::CRecordPool(size_t size, size_t align)
    : m_align(std::max(align, alignof(void*))), m_nextBytes(kFirstChunk) {
  m_size = (std::max(size, sizeof(void*)) + m_align - 1) / m_align * m_align;
}

void CRecordPool::Grow() {
  size_t bytes = m_nextBytes;
  while (bytes < m_size) bytes *= 2;
  m_nextBytes = std::min(m_nextBytes * 2, kLastChunk);
  const bool huge = s_hugeChunk != 0 && bytes >= s_hugeChunk;
  const size_t align = huge ? s_hugeChunk : std::max<size_t>(m_align, 64);
  auto* c = new Chunk;
  c->base = static_cast<char*>(::operator new(bytes, std::align_val_t(align)));
  c->bytes = bytes;
  c->align = align;
  if (huge) madvise(c->base, bytes, MADV_HUGEPAGE);
  OV_POISON(c->base, bytes);
  {
    std::lock_guard<std::mutex> hold(RegistryLock());
    Registry().emplace(reinterpret_cast<uintptr_t>(c->base), c);
  }
  m_chunks.insert(std::upper_bound(m_chunks.begin(), m_chunks.end(), c,
                                   [](const Chunk* a, const Chunk* b) { return a->base < b->base; }),
                  c);
  m_current = c;
  m_next = c->base;
  m_end = c->base + bytes / m_size * m_size;
}

void* CRecordPool::Allocate() {
  if (m_free) {
    void* p = m_free;
    OV_UNPOISON(p, m_size);
    m_free = *static_cast<void**>(p);
    // Counted on its chunk, so that a record deleted elsewhere finds it alive.
    Find(p)->live.fetch_add(1, std::memory_order_relaxed);
    return p;
  }
  if (m_next == m_end) Grow();
  void* p = m_next;
  m_next += m_size;
  OV_UNPOISON(p, m_size);
  m_current->live.fetch_add(1, std::memory_order_relaxed);
  return p;
}

CRecordPool::Chunk* CRecordPool::Find(const void* p) const {
  const char* v = static_cast<const char*>(p);
  // Records are mostly visited in the order they were placed.
  if (m_last && v >= m_last->base && v < m_last->base + m_last->bytes) return m_last;
  const auto it = std::upper_bound(m_chunks.begin(), m_chunks.end(), v,
                                   [](const char* x, const Chunk* c) { return x < c->base; });
  if (it == m_chunks.begin()) return nullptr;
  Chunk* c = *std::prev(it);
  if (v >= c->base + c->bytes) return nullptr;
  m_last = c;
  return c;
}

void CRecordPool::Trim() {
  if (!m_current) return;
  static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t from = (reinterpret_cast<uintptr_t>(m_next) + page - 1) & ~(page - 1);
  const uintptr_t to = (reinterpret_cast<uintptr_t>(m_current->base) + m_current->bytes) & ~(page - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

void CRecordPool::Free(void* p) {
  Find(p)->live.fetch_sub(1, std::memory_order_relaxed);
  if constexpr (kReusesFreedRoom) {
    *static_cast<void**>(p) = m_free;
    m_free = p;
  }
  OV_POISON(p, m_size);
}

void CRecordPool::Release() {
  {
    std::lock_guard<std::mutex> hold(RegistryLock());
    for (Chunk* c : m_chunks) {
      if (c->live.load() == 0)
        FreeChunk(c);
      else
        c->orphan = true;
    }
  }
  m_chunks.clear();
  m_last = nullptr;
  m_current = nullptr;
  m_next = m_end = nullptr;
  m_free = nullptr;
  m_nextBytes = kFirstChunk;
}

bool CRecordPool::FreeDeleted(void* p, size_t size) {
  std::lock_guard<std::mutex> hold(RegistryLock());
  auto& reg = Registry();
  if (reg.empty()) return false;
  const uintptr_t v = reinterpret_cast<uintptr_t>(p);
  auto it = reg.upper_bound(v);
  if (it == reg.begin()) return false;
  Chunk* c = std::prev(it)->second;
  if (v >= reinterpret_cast<uintptr_t>(c->base) + c->bytes) return false;
  // The room is not handed out again: the pool's free list belongs to the
  // thread that fills the block.
  OV_POISON(p, size);
  if (c->live.fetch_sub(1) == 1 && c->orphan) FreeChunk(c);
  return true;
}

void* CFemInput::operator new(size_t size) { return ::operator new(size); }

void CFemInput::operator delete(void* p, size_t size) {
  // A pool's room is only counted off (see FreeDeleted); heap room is
  // freed unsized: clang does not declare the sized global form by default.
  if (!CRecordPool::FreeDeleted(p, size)) ::operator delete(p);
}
