// Giving freed heap memory back to the system.
#pragma once
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace plat {

// Returns the free pages of every heap arena to the system. The C library
// keeps freed memory for reuse, so without this a closed large model leaves
// hundreds of megabytes resident until something else needs them. Call it
// after a document's data is freed: it walks the free lists and releases
// their pages, a few milliseconds for a small model and about 70 ms after a
// model of 10^5 elements.
void ReturnFreeHeap();

// Room for a large array that is filled at once. From kHugeBytes up it is
// aligned to a huge page and the kernel is asked to back it with huge pages,
// so that the first touch of each 2 MiB costs one fault instead of 512;
// smaller room comes from the ordinary heap. Not zeroed. FreeLarge takes the
// same byte count that AllocateLarge was given. Throws std::bad_alloc.
constexpr std::size_t kHugeBytes = std::size_t{2} << 20;
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* p, std::size_t bytes) noexcept;

// Faults in the pages of large room on threads of its own while the caller
// goes on filling it, so that the kernel clears them several at a time
// instead of one at each first write of a single builder (on these virtual
// machines a fresh page costs far more than the write that touches it). The
// contents are never read or written (MADV_POPULATE_WRITE): the builder may
// write the same room meanwhile, and room freed or moved under a warming
// thread loses nothing (at worst a page of other room becomes resident).
// Where the kernel cannot warm, nothing happens. Wait() (or the destructor)
// comes before the room is freed or moved, so that no page is warmed for
// nothing.
class CPageWarmer {
 public:
  struct Span {
    const void* p = nullptr;
    std::size_t bytes = 0;
    int wave = 0;  // spans of a lower wave are warmed first
  };
  CPageWarmer() = default;
  CPageWarmer(const CPageWarmer&) = delete;
  CPageWarmer& operator=(const CPageWarmer&) = delete;
  ~CPageWarmer() { Wait(); }

  // Warms `spans` wave by wave, the spans of a wave front first (each the
  // same share of its length at a time, as a builder filling them side by
  // side reaches them), after stopping any earlier start. Nothing is started
  // below kWarmBytes in all.
  void Start(const std::vector<Span>& spans);
  // Stops taking new pieces and joins the threads.
  void Wait();

  static constexpr std::size_t kWarmBytes = std::size_t{32} << 20;

 private:
  void Run();
  std::vector<Span> m_pieces;
  std::atomic<std::size_t> m_next{0};
  std::atomic<bool> m_stop{false};
  std::vector<std::thread> m_threads;
};

}  // namespace plat
