#include <sys/mman.h>

#include <cstdint>

#include "platform/large_pages.h"

namespace korvo {

void AdviseLargePages(void* start, std::size_t size) {
#if defined(MADV_HUGEPAGE)
  // The advice applies to whole pages, so only the part of the range that they cover is named.
  constexpr std::uintptr_t kPageSize = 4096;
  const auto first = reinterpret_cast<std::uintptr_t>(start);
  const std::uintptr_t alignedFirst = (first + kPageSize - 1) & ~(kPageSize - 1);
  const std::uintptr_t alignedEnd = (first + size) & ~(kPageSize - 1);
  if (alignedEnd > alignedFirst) {
    madvise(reinterpret_cast<void*>(alignedFirst), alignedEnd - alignedFirst, MADV_HUGEPAGE);
  }
#else
  (void)start;
  (void)size;
#endif
}

}  // namespace korvo
