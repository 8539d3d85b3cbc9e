// Picture memory and the loading's range of large pages. Each case runs in a child
// process of its own: the cases measure the whole process's memory.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Heap.h"

namespace {

constexpr size_t MB = size_t(1) << 20;

struct Mapping {
    std::string name;
    std::string flags;
    bool found = false;
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
                found.found = true;
            }
        } else if (inside && line.compare(0, 8, "VmFlags:") == 0) {
            found.flags = line.substr(8) + " ";
            return found;
        }
    }
    return found;
}

bool LargePages(const void* address) { return MappingOf(address).flags.find(" hg ") != std::string::npos; }

size_t StatusBytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0)
            return size_t(std::stoull(line.substr(length))) * 1024;
    return 0;
}

size_t ResidentBytes() { return StatusBytes("VmRSS:"); }

// A burst of heap blocks, written and freed again: true when its pages went back.
bool BurstGoesBack()
{
    const size_t before = ResidentBytes();
    std::vector<void*> blocks;
    for (int i = 0; i < 60; ++i) {
        blocks.push_back(std::malloc(MB));
        std::memset(blocks.back(), 3, MB);
    }
    for (void* block : blocks)
        std::free(block);
    return ResidentBytes() < before + 8 * MB;
}

// Ends the child: 0 when every check held, else the first failed one on stderr.
#define CHECK(condition)                                                                                          \
    do {                                                                                                          \
        if (!(condition)) {                                                                                       \
            std::fprintf(stderr, "failed: %s\n", #condition);                                                     \
            std::_Exit(1);                                                                                        \
        }                                                                                                         \
    } while (0)

} // namespace

TEST(Heap, PicturesLoadedOnAnyThreadLandInLargePagesOfTheLoadingsRange)
{
    if (access("/sys/kernel/mm/transparent_hugepage/enabled", F_OK) != 0)
        GTEST_SKIP() << "this kernel has no large pages";
    EXPECT_EXIT(
        {
            // Before the loading, and outside it, pictures are heap blocks.
            auto early = Platform::MakePictureArray<uint32_t>(MB);
            CHECK(!LargePages(early.get()));

            CHECK(Platform::BeginPictureLoading(64 * MB));
            CHECK(!Platform::BeginPictureLoading(64 * MB)); // one loading at a time

            // A picture decoded on a worker thread lands in the range, in large pages.
            Platform::PictureArray<uint32_t> picture;
            std::thread([&] {
                picture = Platform::MakePictureArrayForOverwrite<uint32_t>(2 * MB);
                std::memset(picture.get(), 2, 8 * MB);
            }).join();
            CHECK(MappingOf(picture.get()).name != "[heap]");
            CHECK(LargePages(picture.get()));
            CHECK(reinterpret_cast<uintptr_t>(picture.get()) % 64 == 0);

            // Freed room is taken by the next picture that fits, and comes zeroed when asked.
            uint32_t* const room = picture.get();
            picture.reset();
            auto next = Platform::MakePictureArray<uint32_t>(MB);
            CHECK(next.get() == room);
            CHECK(next[0] == 0 && next[MB - 1] == 0);

            Platform::EndPictureLoading();
            // After the loading, pictures are heap blocks again.
            auto later = Platform::MakePictureArray<uint32_t>(MB);
            CHECK(!LargePages(later.get()));
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(Heap, TheLoadingsRangeGivesItsPagesBackAndGoesWithItsLastPicture)
{
    EXPECT_EXIT(
        {
            const size_t start = ResidentBytes();
            CHECK(Platform::BeginPictureLoading(64 * MB));
            std::vector<Platform::PictureArray<uint8_t>> pictures;
            for (int i = 0; i < 8; ++i) {
                pictures.push_back(Platform::MakePictureArrayForOverwrite<uint8_t>(4 * MB));
                std::memset(pictures.back().get(), 1, 4 * MB);
            }
            // Half of them were scratch: freed before the loading ends.
            for (int i = 0; i < 8; i += 2)
                pictures[size_t(i)].reset();
            Platform::EndPictureLoading();
            CHECK(ResidentBytes() < start + 16 * MB + 8 * MB);

            // A picture freed later gives its pages back too.
            pictures[1].reset();
            pictures[3].reset();
            CHECK(ResidentBytes() < start + 8 * MB + 8 * MB);

            const void* inRange = pictures[5].get();
            pictures.clear();
            CHECK(!MappingOf(inRange).found); // nothing of the loading is left
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(Heap, AfterTheLoadingAFreedBurstGoesBack)
{
    EXPECT_EXIT(
        {
            CHECK(Platform::BeginPictureLoading(64 * MB));
            auto picture = Platform::MakePictureArray<uint32_t>(2 * MB);
            Platform::EndPictureLoading();
            CHECK(BurstGoesBack());
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(Heap, AFailedReserveLeavesTheHeapAsItWas)
{
    EXPECT_EXIT(
        {
            // Address space for a little more than the process has, not for the range.
            rlimit limit{};
            CHECK(getrlimit(RLIMIT_AS, &limit) == 0);
            limit.rlim_cur = StatusBytes("VmSize:") + 100 * MB;
            CHECK(setrlimit(RLIMIT_AS, &limit) == 0);
            CHECK(!Platform::BeginPictureLoading(512 * MB));
            auto picture = Platform::MakePictureArray<uint32_t>(MB);
            CHECK(picture != nullptr);
            CHECK(BurstGoesBack());
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(Heap, ALaterLoadingOpensARangeAgain)
{
    EXPECT_EXIT(
        {
            CHECK(Platform::BeginPictureLoading(16 * MB));
            auto first = Platform::MakePictureArray<uint32_t>(MB);
            Platform::EndPictureLoading();
            CHECK(Platform::BeginPictureLoading(16 * MB));
            auto second = Platform::MakePictureArray<uint32_t>(MB);
            CHECK(LargePages(second.get()) || access("/sys/kernel/mm/transparent_hugepage/enabled", F_OK) != 0);
            // A picture of the first loading is freed while the second is open.
            first.reset();
            Platform::EndPictureLoading();
            // Once the range is full, pictures come from the heap.
            CHECK(Platform::BeginPictureLoading(4 * MB));
            auto big = Platform::MakePictureArray<uint8_t>(6 * MB);
            big[6 * MB - 1] = 1;
            Platform::EndPictureLoading();
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}
