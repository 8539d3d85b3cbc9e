// Loading memory and the loading's range of large pages. Each case runs in a child
// process of its own: the cases measure the whole process's memory.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
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
#include "platform/audio/AudioDevice.h"

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
            auto early = Platform::MakeLoadingArray<uint32_t>(MB);
            CHECK(!LargePages(early.get()));

            CHECK(Platform::BeginLoadingMemory(64 * MB));
            CHECK(!Platform::BeginLoadingMemory(64 * MB)); // one loading at a time

            // A picture decoded on a worker thread lands in the range, in large pages.
            Platform::LoadingArray<uint32_t> picture;
            std::thread([&] {
                picture = Platform::MakeLoadingArrayForOverwrite<uint32_t>(2 * MB);
                std::memset(picture.get(), 2, 8 * MB);
            }).join();
            CHECK(MappingOf(picture.get()).name != "[heap]");
            CHECK(LargePages(picture.get()));
            CHECK(reinterpret_cast<uintptr_t>(picture.get()) % 64 == 0);

            // Freed room is taken by the next picture that fits, and comes zeroed when asked.
            uint32_t* const room = picture.get();
            picture.reset();
            auto next = Platform::MakeLoadingArray<uint32_t>(MB);
            CHECK(next.get() == room);
            CHECK(next[0] == 0 && next[MB - 1] == 0);

            Platform::EndLoadingMemory();
            // After the loading, pictures are heap blocks again.
            auto later = Platform::MakeLoadingArray<uint32_t>(MB);
            CHECK(!LargePages(later.get()));
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(Heap, ASoundMadeWhileLoadingKeepsItsSamplesInTheRangeAndTakesItAlongWhenFreed)
{
    if (access("/sys/kernel/mm/transparent_hugepage/enabled", F_OK) != 0)
        GTEST_SKIP() << "this kernel has no large pages";
    EXPECT_EXIT(
        {
            Platform::OfflineAudioDevice device;
            const Platform::WaveFormat format = Platform::MakePcmFormat(1, 22050, 16);
            CHECK(Platform::BeginLoadingMemory(16 * MB));
            std::unique_ptr<Platform::SoundBuffer> sound;
            CHECK(device.CreateSoundBuffer(format, 2 * MB, sound) == Platform::AUDIO_OK);
            void* samples = nullptr;
            uint32_t size = 0;
            CHECK(sound->Lock(&samples, &size) == Platform::AUDIO_OK && size == 2 * MB);
            CHECK(MappingOf(samples).name != "[heap]");
            CHECK(LargePages(samples));
            CHECK(static_cast<const uint8_t*>(samples)[0] == 0 && static_cast<const uint8_t*>(samples)[size - 1] == 0);
            for (uint32_t i = 0; i < size / 2; ++i)
                static_cast<int16_t*>(samples)[i] = 8000;
            CHECK(sound->Unlock() == Platform::AUDIO_OK);
            Platform::EndLoadingMemory();

            // After the loading the sound plays from there, and a duplicate shares it.
            std::unique_ptr<Platform::SoundBuffer> playing;
            CHECK(device.DuplicateSoundBuffer(*sound, playing) == Platform::AUDIO_OK);
            CHECK(playing->Data()->bytes.data() == samples);
            CHECK(playing->Play(false) == Platform::AUDIO_OK);
            const std::vector<int16_t> heard = device.Render(4096);
            CHECK(std::any_of(heard.begin(), heard.end(), [](int16_t v) { return v != 0; }));
            // A sound made now is a heap block.
            std::unique_ptr<Platform::SoundBuffer> later;
            CHECK(device.CreateSoundBuffer(format, 2 * MB, later) == Platform::AUDIO_OK);
            CHECK(!LargePages(later->Data()->bytes.data()));

            // The sound was the range's last block: freeing it takes the range along.
            playing.reset();
            CHECK(MappingOf(samples).found);
            sound.reset();
            CHECK(!MappingOf(samples).found);
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(Heap, TheLoadingsRangeGivesItsPagesBackAndGoesWithItsLastPicture)
{
    EXPECT_EXIT(
        {
            const size_t start = ResidentBytes();
            CHECK(Platform::BeginLoadingMemory(64 * MB));
            std::vector<Platform::LoadingArray<uint8_t>> pictures;
            for (int i = 0; i < 8; ++i) {
                pictures.push_back(Platform::MakeLoadingArrayForOverwrite<uint8_t>(4 * MB));
                std::memset(pictures.back().get(), 1, 4 * MB);
            }
            // Half of them were scratch: freed before the loading ends.
            for (int i = 0; i < 8; i += 2)
                pictures[size_t(i)].reset();
            Platform::EndLoadingMemory();
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
            CHECK(Platform::BeginLoadingMemory(64 * MB));
            auto picture = Platform::MakeLoadingArray<uint32_t>(2 * MB);
            Platform::EndLoadingMemory();
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
            CHECK(!Platform::BeginLoadingMemory(512 * MB));
            auto picture = Platform::MakeLoadingArray<uint32_t>(MB);
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
            CHECK(Platform::BeginLoadingMemory(16 * MB));
            auto first = Platform::MakeLoadingArray<uint32_t>(MB);
            Platform::EndLoadingMemory();
            CHECK(Platform::BeginLoadingMemory(16 * MB));
            auto second = Platform::MakeLoadingArray<uint32_t>(MB);
            CHECK(LargePages(second.get()) || access("/sys/kernel/mm/transparent_hugepage/enabled", F_OK) != 0);
            // A picture of the first loading is freed while the second is open.
            first.reset();
            Platform::EndLoadingMemory();
            // Once the range is full, pictures come from the heap.
            CHECK(Platform::BeginLoadingMemory(4 * MB));
            auto big = Platform::MakeLoadingArray<uint8_t>(6 * MB);
            big[6 * MB - 1] = 1;
            Platform::EndLoadingMemory();
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}
