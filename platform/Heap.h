#pragma once
// The process heap's set-up for a program that loads tens of megabytes of pictures
// at start.
#include <cstddef>

namespace Platform {

// Keeps every thread's allocations in one heap that is not shrunk while in use,
// and reserves `bytes` of address space at its top. Call first thing in main,
// before any thread starts, and again before a later burst of loading. False,
// with the heap left as it was, where the allocator in use does not allow it
// (another C library, the sanitizers' allocators).
bool ReserveHeap(size_t bytes);

// Asks the kernel to back the part of the reserve not yet used with large pages.
// The first touch of each small page costs a fault (under a hypervisor, several
// microseconds); with the pictures decoded at start those faults were most of the
// loading time. Called when the loading begins rather than at the reserve, so that
// what was allocated and freed before (the 3D test's driver) is not kept in large
// pages. False when there is no reserve left or the kernel has no large pages.
bool UseLargePagesForReserve();

// Gives the free pages inside the heap, the unused reserve among them, back to the
// kernel: a finished burst of loading leaves its scratch buffers behind.
void ReturnFreeHeapPages();

// The program's reserve: the loaded game holds about 80 MB, nearly all of it pictures.
constexpr size_t PROGRAM_HEAP_RESERVE = size_t(128) << 20;

} // namespace Platform
