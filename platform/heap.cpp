#include "platform/heap.h"

#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>  // defines __GLIBC__ on the GNU C library
#include <new>
#include <system_error>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace plat {

void ReturnFreeHeap() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

void* AllocateLarge(std::size_t bytes) {
  if (bytes < kHugeBytes) return ::operator new(bytes);
  void* p = ::operator new(bytes, std::align_val_t(kHugeBytes));
  // Advice only: where the kernel has no huge pages the room is still usable.
  madvise(p, bytes, MADV_HUGEPAGE);
  return p;
}

void FreeLarge(void* p, std::size_t bytes) noexcept {
  if (!p) return;
  // Unsized: not every compiler has sized deallocation on by default.
  if (bytes < kHugeBytes)
    ::operator delete(p);
  else
    ::operator delete(p, std::align_val_t(kHugeBytes));
}

void CPageWarmer::Start(const std::vector<Span>& spans) {
  Wait();
#if defined(MADV_POPULATE_WRITE)
  // Pieces of two huge pages, ordered by how far into its span each lies.
  constexpr std::size_t kPiece = 2 * kHugeBytes;
  constexpr std::uintptr_t kPage = 4096;
  struct Order {
    double at;  // share of its span before the piece
    Span piece;
  };
  std::vector<Order> order;
  std::size_t total = 0;
  for (const Span& s : spans) {
    // Only whole pages inside the span: the pages around it may belong to
    // other room, or to none.
    const auto from = (reinterpret_cast<std::uintptr_t>(s.p) + kPage - 1) & ~(kPage - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(s.p) + s.bytes) & ~(kPage - 1);
    if (s.p == nullptr || to <= from) continue;
    const std::size_t bytes = to - from;
    total += bytes;
    for (std::size_t off = 0; off < bytes; off += kPiece)
      order.push_back({static_cast<double>(off) / static_cast<double>(bytes),
                       {reinterpret_cast<const void*>(from + off), std::min(kPiece, bytes - off), s.wave}});
  }
  if (total < kWarmBytes) return;
  std::stable_sort(order.begin(), order.end(),
                   [](const Order& a, const Order& b) {
                     return a.piece.wave != b.piece.wave ? a.piece.wave < b.piece.wave : a.at < b.at;
                   });
  m_pieces.clear();
  for (const Order& o : order) m_pieces.push_back(o.piece);
  m_next = 0;
  m_stop = false;
  // The builder keeps one processor; the kernel clears on the others.
  const unsigned cpus = std::max(2u, std::thread::hardware_concurrency());
  const unsigned threads = std::min(4u, cpus - 1);
  try {
    for (unsigned i = 0; i < threads; ++i) m_threads.emplace_back([this] { Run(); });
  } catch (const std::system_error&) {
    // No thread to be had: the builder's own writes fault the rest in.
  }
#else
  (void)spans;
#endif
}

void CPageWarmer::Run() {
#if defined(MADV_POPULATE_WRITE)
  for (std::size_t i; !m_stop && (i = m_next++) < m_pieces.size();) {
    const Span& s = m_pieces[i];
    // Advice only: a kernel without it refuses every piece, harmlessly.
    if (madvise(const_cast<void*>(s.p), s.bytes, MADV_POPULATE_WRITE) != 0 && errno == EINVAL) return;
  }
#endif
}

void CPageWarmer::Wait() {
  m_stop = true;
  for (std::thread& t : m_threads) t.join();
  m_threads.clear();
  m_pieces.clear();
}

}  // namespace plat
