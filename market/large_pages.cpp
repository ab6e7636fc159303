#include "market/large_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vantor {

void PreferLargePages(const void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLargePage = std::uintptr_t{1} << 21;
    if (bytes < kLargePage) return;
    // Out to whole large pages: a block of this size starts just after the header of its
    // own mapping, and the hint is harmless on memory around it.
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = begin & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + bytes + kLargePage - 1) & ~(kLargePage - 1);
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace vantor
