// Giving freed heap memory back to the system.
#pragma once
#include <cstddef>

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

}  // namespace plat
