#include "sheet/memory_release.h"

#include <cstdint>
#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#if defined(__GLIBC__) && defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#define TABRINEL_GLIBC_HEAP 1
#endif

namespace sheet {

namespace {

#if defined(TABRINEL_GLIBC_HEAP)
constexpr int kMegabyte = 1 << 20;
constexpr int kMmapThreshold = 32 * kMegabyte;
constexpr int kTrimThreshold = 64 * kMegabyte;
constexpr int kDefaultTopPad = 128 * 1024; // the C library's own
constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;

// Grows the main heap by `room` bytes of free memory at its top, advised for large pages.
void growHeapInLargePages(int room) {
    // One block too large for the heap's free top but below the mmap threshold makes the
    // allocator extend the heap by the block and the pad.
    mallopt(M_TOP_PAD, room);
    void* block = std::malloc(static_cast<std::size_t>(kMmapThreshold) - kMegabyte);
    if (block != nullptr) {
        const auto first =
            (reinterpret_cast<std::uintptr_t>(block) + kLargePage - 1) & ~(kLargePage - 1);
        const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0)) & ~(kLargePage - 1);
        if (end > first)
            madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
        // Freed while the pad still holds: the heap keeps `room` bytes of its free top.
        std::free(block);
    }
    mallopt(M_TOP_PAD, kDefaultTopPad);
}
#endif

} // namespace

void releaseFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void keepFreedMemoryForReuse() {
#if defined(TABRINEL_GLIBC_HEAP)
    mallopt(M_MMAP_THRESHOLD, kMmapThreshold);
    mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
    growHeapInLargePages(kTrimThreshold);
#endif
}

} // namespace sheet
