#include "platform/heap.h"

#include <cstdlib>  // defines __GLIBC__ on the GNU C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace plat {

void ReturnFreeHeap() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace plat
