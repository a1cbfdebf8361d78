#include "platform/heap.h"

#include <sys/mman.h>

#include <cstdlib>  // defines __GLIBC__ on the GNU C library
#include <new>
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

}  // namespace plat
