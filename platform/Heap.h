#pragma once
// Memory for what a loading decodes: pictures and sound effects. The first touch of
// each small page costs a fault (under a hypervisor, tens of microseconds), and a start
// decodes tens of megabytes of them: those faults were most of the loading time. While
// a loading is open, loading memory comes from one range reserved for it and backed by
// large pages, whichever thread asks, and room a block frees is taken again by the
// next one; at any other time, and once the range is full, it comes from the C
// library's heap. The heap's own settings are never changed, so nothing of the
// loading's set-up outlasts it.
#include <cstddef>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>

namespace Platform {

// Opens a loading's range: reserves bytes of address space and asks the kernel to back
// it with large pages. False, with nothing changed, when a loading is already open or
// the range cannot be had (no address space left, or the sanitizers' builds, whose
// checks only see the heap); loading memory then comes from the heap.
bool BeginLoadingMemory(size_t bytes);

// Closes it: later blocks come from the heap, the range's pages that hold no block go
// back to the kernel, and so do a block's pages when it is freed later. The range asks
// for no more large pages, and goes once its last block has gone.
void EndLoadingMemory();

// Loading memory of bytes (aligned for the widest vector loads); std::bad_alloc when
// there is none.
void* AllocateLoadingMemory(size_t bytes);
// Frees memory from AllocateLoadingMemory; null is ignored.
void FreeLoadingMemory(void* memory);

struct LoadingMemoryDelete {
    void operator()(void* memory) const { FreeLoadingMemory(memory); }
};

// Pixels, palette indices or other per-pixel data of a picture, in loading memory.
template <typename T>
using LoadingArray = std::unique_ptr<T[], LoadingMemoryDelete>;

// count elements left as they come, for a writer that sets every one of them.
template <typename T>
LoadingArray<T> MakeLoadingArrayForOverwrite(size_t count)
{
    static_assert(std::is_trivial_v<T>, "loading memory holds plain values");
    if (count > std::numeric_limits<size_t>::max() / sizeof(T))
        throw std::bad_array_new_length();
    return LoadingArray<T>(static_cast<T*>(AllocateLoadingMemory(count * sizeof(T))));
}

// count zeroed elements.
template <typename T>
LoadingArray<T> MakeLoadingArray(size_t count)
{
    LoadingArray<T> array = MakeLoadingArrayForOverwrite<T>(count);
    std::memset(array.get(), 0, count * sizeof(T));
    return array;
}

// Loading memory for standard containers (a display surface's pixels, a sound's
// samples).
template <typename T>
struct LoadingAllocator {
    using value_type = T;
    LoadingAllocator() = default;
    template <typename U>
    LoadingAllocator(const LoadingAllocator<U>&) noexcept
    {
    }
    T* allocate(size_t count)
    {
        if (count > std::numeric_limits<size_t>::max() / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(AllocateLoadingMemory(count * sizeof(T)));
    }
    void deallocate(T* memory, size_t) noexcept { FreeLoadingMemory(memory); }
    friend bool operator==(const LoadingAllocator&, const LoadingAllocator&) { return true; }
};

// The game's loading: its pictures come to about 80 MB, its sound effects to 5 MB.
constexpr size_t PROGRAM_LOADING_RESERVE = size_t(128) << 20;

} // namespace Platform
