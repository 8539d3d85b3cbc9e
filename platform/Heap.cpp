#include "platform/Heap.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace Platform {

namespace {
std::mutex gReserveLock;
// The end of the reserved room: the heap's end while nothing has outgrown it.
char* gReserveEnd = nullptr;
} // namespace

bool ReserveHeap(size_t bytes)
{
#if defined(__GLIBC__)
    std::lock_guard<std::mutex> guard(gReserveLock);
    // One heap for every thread: the decoding workers' pixels land in the reserve
    // too, instead of in per-thread heaps. (Read when the first thread allocates.)
    mallopt(M_ARENA_MAX, 1);
    // Pictures come from the heap rather than from mappings of their own, and the
    // heap is not shrunk while the reserve is unused.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(bytes));
    mallopt(M_TOP_PAD, static_cast<int>(bytes));

    char* const before = static_cast<char*>(sbrk(0));
    // More than the heap has free, so that it grows by the pad now.
    // (volatile: a compiler may drop an allocation that is freed unused.)
    void* volatile probe = std::malloc(1 << 20);
    std::free(probe);
    // Read after the free, which may give a little back.
    char* const after = static_cast<char*>(sbrk(0));
    mallopt(M_TOP_PAD, 128 << 10); // later growth in the usual small steps
    if (before == reinterpret_cast<char*>(-1) || after < before + bytes / 2)
        return false; // another allocator, or the heap could not grow in place
    gReserveEnd = after;
    return true;
#else
    (void)bytes;
    return false;
#endif
}

bool UseLargePagesForReserve()
{
#if defined(__GLIBC__)
    std::lock_guard<std::mutex> guard(gReserveLock);
    char* const end = static_cast<char*>(sbrk(0));
    if (gReserveEnd == nullptr || end != gReserveEnd)
        return false; // never reserved, outgrown or given back
    // The heap's free top chunk is the part of the reserve not yet used.
    char* const free = end - mallinfo2().keepcost;
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t from = (reinterpret_cast<uintptr_t>(free) + page - 1) & ~(page - 1);
    const uintptr_t to = reinterpret_cast<uintptr_t>(end) & ~(page - 1);
    return to > from && madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE) == 0;
#else
    return false;
#endif
}

void ReturnFreeHeapPages()
{
#if defined(__GLIBC__)
    std::lock_guard<std::mutex> guard(gReserveLock);
    malloc_trim(0);
    gReserveEnd = nullptr;
#endif
}

} // namespace Platform
