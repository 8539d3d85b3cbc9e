// The heap set-up on the C library's allocator. Each case runs in a child process
// of its own: the set-up changes the whole process's heap.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/Heap.h"

namespace {

constexpr size_t MB = size_t(1) << 20;

struct Mapping {
    std::string name;
    std::string flags;
};

// The mapping that holds address, from /proc/self/smaps.
Mapping MappingOf(const void* address)
{
    const auto at = reinterpret_cast<uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    Mapping found;
    while (std::getline(smaps, line)) {
        uintptr_t start = 0, end = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &start, &end) == 2 && line.compare(0, 8, "VmFlags:") != 0) {
            inside = at >= start && at < end;
            if (inside) {
                std::istringstream fields(line);
                std::string range, perms, offset, device, inode;
                fields >> range >> perms >> offset >> device >> inode >> found.name;
            }
        } else if (inside && line.compare(0, 8, "VmFlags:") == 0) {
            found.flags = line.substr(8) + " ";
            return found;
        }
    }
    return found;
}

bool LargePages(const void* address) { return MappingOf(address).flags.find(" hg ") != std::string::npos; }

char* HeapEnd() { return static_cast<char*>(sbrk(0)); }

// Ends the child: 0 when every check held, else the first failed one on stderr.
#define CHECK(condition)                                                                                          \
    do {                                                                                                          \
        if (!(condition)) {                                                                                       \
            std::fprintf(stderr, "failed: %s\n", #condition);                                                     \
            std::_Exit(1);                                                                                        \
        }                                                                                                         \
    } while (0)

} // namespace

TEST(Heap, PicturesLoadedOnAnyThreadLandInLargePagesOfTheReserve)
{
    if (access("/sys/kernel/mm/transparent_hugepage/enabled", F_OK) != 0)
        GTEST_SKIP() << "this kernel has no large pages";
    EXPECT_EXIT(
        {
            CHECK(!Platform::UseLargePagesForReserve()); // nothing reserved yet
            CHECK(Platform::ReserveHeap(64 * MB));
            char* const end = HeapEnd();

            // What is allocated before the loading begins stays in small pages.
            void* early = std::malloc(4 * MB);
            std::memset(early, 1, 4 * MB);
            CHECK(Platform::UseLargePagesForReserve());
            CHECK(!LargePages(early));

            // A picture decoded on a worker thread comes from the same heap, in large pages.
            void* picture = nullptr;
            std::thread([&] {
                picture = std::malloc(8 * MB);
                std::memset(picture, 2, 8 * MB);
            }).join();
            CHECK(MappingOf(picture).name == "[heap]");
            CHECK(LargePages(picture));

            // Freed room stays for the next picture until the loading is over.
            std::free(picture);
            std::free(early);
            CHECK(HeapEnd() == end);
            Platform::ReturnFreeHeapPages();
            CHECK(HeapEnd() < end - 32 * MB);
            CHECK(!Platform::UseLargePagesForReserve()); // the reserve went back with it
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(Heap, AReserveIsMadeAgainForALaterLoad)
{
    EXPECT_EXIT(
        {
            CHECK(Platform::ReserveHeap(64 * MB));
            Platform::ReturnFreeHeapPages();
            char* const trimmed = HeapEnd();
            CHECK(Platform::ReserveHeap(64 * MB));
            CHECK(HeapEnd() >= trimmed + 32 * MB);
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}
