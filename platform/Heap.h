#pragma once
// Memory for the pictures a loading decodes. The first touch of each small page costs
// a fault (under a hypervisor, tens of microseconds), and a start decodes tens of
// megabytes of pictures: those faults were most of the loading time. While a loading
// is open, picture memory comes from one range reserved for it and backed by large
// pages, whichever thread asks, and room a picture frees is taken again by the next
// one; at any other time, and once the range is full, it comes from the C library's
// heap. The heap's own settings are never changed, so nothing of the loading's set-up
// outlasts it.
#include <cstddef>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>

namespace Platform {

// Opens a loading's picture memory: reserves bytes of address space and asks the
// kernel to back it with large pages. False, with nothing changed, when a loading is
// already open or the range cannot be had (no address space left, or the sanitizers'
// builds, whose checks only see the heap); pictures then come from the heap.
bool BeginPictureLoading(size_t bytes);

// Closes it: later pictures come from the heap, the range's pages that hold no picture
// go back to the kernel, and so do a picture's pages when it is freed later. The range
// asks for no more large pages, and goes once its last picture has gone.
void EndPictureLoading();

// Picture memory of bytes (aligned for the widest vector loads); std::bad_alloc when
// there is none.
void* AllocatePicture(size_t bytes);
// Frees memory from AllocatePicture; null is ignored.
void FreePicture(void* memory);

struct PictureDelete {
    void operator()(void* memory) const { FreePicture(memory); }
};

// Pixels, palette indices or other per-pixel data of a picture, in picture memory.
template <typename T>
using PictureArray = std::unique_ptr<T[], PictureDelete>;

// count elements left as they come, for a writer that sets every one of them.
template <typename T>
PictureArray<T> MakePictureArrayForOverwrite(size_t count)
{
    static_assert(std::is_trivial_v<T>, "picture memory holds plain values");
    if (count > std::numeric_limits<size_t>::max() / sizeof(T))
        throw std::bad_array_new_length();
    return PictureArray<T>(static_cast<T*>(AllocatePicture(count * sizeof(T))));
}

// count zeroed elements.
template <typename T>
PictureArray<T> MakePictureArray(size_t count)
{
    PictureArray<T> array = MakePictureArrayForOverwrite<T>(count);
    std::memset(array.get(), 0, count * sizeof(T));
    return array;
}

// Picture memory for standard containers (a display surface's pixels).
template <typename T>
struct PictureAllocator {
    using value_type = T;
    PictureAllocator() = default;
    template <typename U>
    PictureAllocator(const PictureAllocator<U>&) noexcept
    {
    }
    T* allocate(size_t count)
    {
        if (count > std::numeric_limits<size_t>::max() / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(AllocatePicture(count * sizeof(T)));
    }
    void deallocate(T* memory, size_t) noexcept { FreePicture(memory); }
    friend bool operator==(const PictureAllocator&, const PictureAllocator&) { return true; }
};

// The game's loading: its pictures come to about 80 MB.
constexpr size_t PROGRAM_PICTURE_RESERVE = size_t(128) << 20;

} // namespace Platform
