#include "platform/Heap.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <map>
#include <mutex>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

// The sanitizers check the heap's blocks only: their builds keep every block there,
// unless a test program asks for the ranges (defining this as 1).
#if defined(PLINDOR_LOADING_RANGES)
#elif defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PLINDOR_LOADING_RANGES 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define PLINDOR_LOADING_RANGES 0
#endif
#endif
#if !defined(PLINDOR_LOADING_RANGES) && defined(__linux__)
#define PLINDOR_LOADING_RANGES 1
#elif !defined(PLINDOR_LOADING_RANGES)
#define PLINDOR_LOADING_RANGES 0
#endif

namespace Platform {

namespace {

// Blocks start on cache lines, so rows of pixels load whole vectors.
constexpr size_t ALIGNMENT = 64;

size_t RoundUp(size_t n, size_t step) { return (n + step - 1) / step * step; }

#if PLINDOR_LOADING_RANGES

constexpr size_t LARGE_PAGE = size_t(2) << 20;

size_t PageSize()
{
    static const size_t size = size_t(sysconf(_SC_PAGESIZE));
    return size;
}

// Gives the whole pages inside [from, to) back to the kernel.
void ReleasePages(char* from, char* to)
{
    const uintptr_t page = PageSize();
    const uintptr_t start = RoundUp(reinterpret_cast<uintptr_t>(from), page);
    const uintptr_t end = reinterpret_cast<uintptr_t>(to) & ~(page - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_DONTNEED);
}

// One loading's range. Blocks are placed first fit from its start, so freed room (a
// decode buffer whose picture became palette indices) is taken again by the next
// block, on pages already touched, and the blocks lie packed at the front.
class Range {
public:
    Range(char* base, size_t size) : mBase(base), mSize(size) { mFree.emplace(0, size); }
    ~Range() { munmap(mBase, mSize); }
    Range(const Range&) = delete;
    Range& operator=(const Range&) = delete;

    bool Contains(const void* memory) const
    {
        const auto* at = static_cast<const char*>(memory);
        return at >= mBase && at < mBase + mSize;
    }
    bool Empty() const { return mUsed.empty(); }
    bool Closed() const { return mClosed; }

    // Null when no free room is long enough.
    void* Allocate(size_t bytes)
    {
        for (auto room = mFree.begin(); room != mFree.end(); ++room) {
            if (room->second < bytes)
                continue;
            const size_t offset = room->first, left = room->second - bytes;
            mFree.erase(room);
            if (left > 0)
                mFree.emplace(offset + bytes, left);
            mUsed.emplace(offset, bytes);
            return mBase + offset;
        }
        return nullptr;
    }

    // The block at memory becomes free room, joined with the free room beside it; once
    // the range is closed, its pages go back.
    void Free(const void* memory)
    {
        const size_t offset = size_t(static_cast<const char*>(memory) - mBase);
        const auto used = mUsed.find(offset);
        if (used == mUsed.end())
            std::abort(); // not a block of this range: a double free or a stray pointer
        size_t start = offset, length = used->second;
        mUsed.erase(used);
        auto next = mFree.lower_bound(offset);
        if (next != mFree.end() && next->first == start + length) {
            length += next->second;
            next = mFree.erase(next);
        }
        if (next != mFree.begin()) {
            const auto before = std::prev(next);
            if (before->first + before->second == start) {
                start = before->first;
                length += before->second;
                mFree.erase(before);
            }
        }
        mFree.emplace(start, length);
        if (mClosed)
            ReleasePages(mBase + start, mBase + start + length);
    }

    // Ends the loading: no more blocks, no more large pages (nor their collapsing of
    // small ones later), and the free room's pages go back.
    void Close()
    {
        mClosed = true;
        madvise(mBase, mSize, MADV_NOHUGEPAGE);
        for (const auto& [offset, length] : mFree)
            ReleasePages(mBase + offset, mBase + offset + length);
    }

private:
    char* const mBase;
    const size_t mSize;
    std::map<size_t, size_t> mFree; // offset -> length, never two adjacent
    std::map<size_t, size_t> mUsed; // offset -> length
    bool mClosed = false;
};

std::mutex gLock;
// The ranges that hold blocks (closed ones until their last block goes), and the open
// one among them. Never destroyed: when the process ends through exit() (Xlib's
// handler of a lost X server calls it), other threads still run, the audio thread
// mixing samples that lie in a range, and the exit handlers must not unmap them.
std::vector<std::unique_ptr<Range>>& gRanges = *new std::vector<std::unique_ptr<Range>>();
Range* gOpen = nullptr;
// Read without the lock: while no range exists, loading memory is plain heap memory,
// and while no loading is open, new blocks come from the heap.
std::atomic<bool> gAnyRange{false};
std::atomic<bool> gLoadingOpen{false};

// A range of bytes (whole large pages) on a large-page boundary; null when none can be had.
char* MapRange(size_t bytes)
{
    const size_t span = bytes + LARGE_PAGE;
    void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    char* const first = static_cast<char*>(mapped);
    char* const base = reinterpret_cast<char*>(RoundUp(reinterpret_cast<uintptr_t>(first), LARGE_PAGE));
    if (base > first)
        munmap(first, size_t(base - first));
    if (first + span > base + bytes)
        munmap(base + bytes, size_t(first + span - (base + bytes)));
    return base;
}

#endif

} // namespace

bool BeginLoadingMemory(size_t bytes)
{
#if PLINDOR_LOADING_RANGES
    if (bytes == 0 || bytes > (size_t(1) << 40))
        return false;
    bytes = RoundUp(bytes, LARGE_PAGE);
    std::lock_guard<std::mutex> guard(gLock);
    if (gOpen != nullptr)
        return false;
    char* const base = MapRange(bytes);
    if (base == nullptr)
        return false;
    // A kernel without large pages refuses the advice; the range still keeps the
    // loading's freed pages for its next blocks.
    madvise(base, bytes, MADV_HUGEPAGE);
    try {
        gRanges.push_back(std::make_unique<Range>(base, bytes));
    } catch (const std::bad_alloc&) {
        munmap(base, bytes);
        return false;
    }
    gOpen = gRanges.back().get();
    gAnyRange.store(true, std::memory_order_release);
    gLoadingOpen.store(true, std::memory_order_release);
    return true;
#else
    (void)bytes;
    return false;
#endif
}

void EndLoadingMemory()
{
#if PLINDOR_LOADING_RANGES
    std::lock_guard<std::mutex> guard(gLock);
    if (gOpen == nullptr)
        return;
    gOpen->Close();
    if (gOpen->Empty())
        std::erase_if(gRanges, [](const std::unique_ptr<Range>& range) { return range.get() == gOpen; });
    gOpen = nullptr;
    gLoadingOpen.store(false, std::memory_order_release);
    gAnyRange.store(!gRanges.empty(), std::memory_order_release);
#endif
}

void* AllocateLoadingMemory(size_t bytes)
{
    bytes = RoundUp(bytes == 0 ? 1 : bytes, ALIGNMENT);
#if PLINDOR_LOADING_RANGES
    if (gLoadingOpen.load(std::memory_order_acquire)) {
        std::lock_guard<std::mutex> guard(gLock);
        if (gOpen != nullptr)
            if (void* memory = gOpen->Allocate(bytes))
                return memory;
    }
#endif
    void* memory = std::aligned_alloc(ALIGNMENT, bytes);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

void FreeLoadingMemory(void* memory)
{
    if (memory == nullptr)
        return;
#if PLINDOR_LOADING_RANGES
    if (gAnyRange.load(std::memory_order_acquire)) {
        std::lock_guard<std::mutex> guard(gLock);
        for (auto range = gRanges.begin(); range != gRanges.end(); ++range) {
            if (!(*range)->Contains(memory))
                continue;
            (*range)->Free(memory);
            if ((*range)->Closed() && (*range)->Empty()) {
                gRanges.erase(range);
                gAnyRange.store(!gRanges.empty(), std::memory_order_release);
            }
            return;
        }
    }
#endif
    std::free(memory);
}

} // namespace Platform
