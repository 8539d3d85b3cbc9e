// Finding the music libraries at run time: shared use counts, and the fatal start-up
// errors when a library or one of its entry points is missing.
#include <gtest/gtest.h>

#include <elf.h>

#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/FModMusicInterface.h"
#include "framework/sound/MusicLibraries.h"
#include "platform/audio/PeakLimiter.h"
#include "platform/audio/SharedLibrary.h"
#include "tests/audio/AudioFixtures.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

class LibraryLoadingTest : public testing::Test {
protected:
    void SetUp() override
    {
        testing::GTEST_FLAG(death_test_style) = "threadsafe";
        SetMusicLibraryFolder(TestSupport::GameDir());
    }
    void TearDown() override { SetMusicLibraryFolder(TestSupport::GameDir()); }
};

} // namespace

TEST_F(LibraryLoadingTest, AcquisitionsShareOneInstanceUntilTheLastRelease)
{
    BassInstance* first = AcquireBassLibrary();
    BassInstance* second = AcquireBassLibrary();
    EXPECT_EQ(first, second);
    EXPECT_EQ(BassLibraryUseCount(), 2);
    EXPECT_NE(first->api.BASS_StreamPlay, nullptr);
    EXPECT_NE(first->musicFree, nullptr);
    ReleaseBassLibrary();
    EXPECT_EQ(BassLibraryUseCount(), 1);
    ReleaseBassLibrary();
    EXPECT_EQ(BassLibraryUseCount(), 0);
}

TEST_F(LibraryLoadingTest, TheGamesTwoInterfacesShareTheLibrary)
{
    TestSupport::TempDir dir;
    TestSupport::WriteFile(dir.File("tune.xm"), AudioFixtures::MakeTestModule());
    int window = 0;
    {
        BassMusicInterface framework(&window);
        BassMusicInterface game(&window); // a second set-up of the library leaves the first alone
        EXPECT_EQ(BassLibraryUseCount(), 2);
        ASSERT_TRUE(framework.LoadMusic(0, dir.File("tune.xm")));
        ASSERT_TRUE(game.LoadMusic(0, dir.File("tune.xm")));
        framework.PlayMusic(0, 2, false);
        EXPECT_TRUE(framework.IsPlaying(0));
        EXPECT_FALSE(game.IsPlaying(0));
        framework.PauseMusic(0);
        EXPECT_FALSE(framework.IsPlaying(0));
        EXPECT_FALSE(framework.LoadMusic(1, dir.File("missing.xm")));
    }
    EXPECT_EQ(BassLibraryUseCount(), 0);
}

TEST_F(LibraryLoadingTest, AMissingLibraryIsNamedAndEndsTheProgramWithCode1)
{
    TestSupport::TempDir empty;
    EXPECT_EXIT(
        {
            SetMusicLibraryFolder(empty.Path());
            AcquireBassLibrary();
        },
        testing::ExitedWithCode(1), "Can't find libplindormusic\\.so\\.");
    EXPECT_EXIT(
        {
            SetMusicLibraryFolder(empty.Path());
            FModMusicInterface music(nullptr);
        },
        testing::ExitedWithCode(1), "Can't find libplindorsound\\.so\\.");
}

TEST_F(LibraryLoadingTest, AMissingEntryPointIsNamedAndEndsTheProgramWithCode1)
{
    EXPECT_EXIT(
        {
            SetMusicLibraryFolder(AUDIO_PARTIAL_LIBRARY_DIR);
            int window = 0;
            BassMusicInterface music(&window);
        },
        testing::ExitedWithCode(1), "BASS_Free function not found in libplindormusic\\.so");
}

// A damaged library must be refused before the loader maps it: cut short, the
// loader dies of SIGBUS touching pages past the end of the file.
TEST(SharedObjectCheck, OnlyWholeObjectsOfThisMachinePass)
{
    const std::string good = TestSupport::ReadFile(TestSupport::GameDir() + "/" + kBassLibraryName);
    ASSERT_GT(good.size(), 16384u);
    std::string random(20000, '\0');
    uint32_t state = 12345;
    for (char& c : random) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    std::string otherMachine = good;
    otherMachine[18] = static_cast<char>(otherMachine[18] ^ 0x40); // e_machine
    std::string executable = good;
    executable[16] = ET_EXEC;
    struct {
        const char* name;
        std::string bytes;
        bool ok;
    } cases[] = {
        {"whole", good, true},
        {"cut to 1000", good.substr(0, 1000), false},
        {"cut to 4096", good.substr(0, 4096), false},
        {"cut to 8192", good.substr(0, 8192), false},
        {"cut to half", good.substr(0, good.size() / 2), false},
        {"last byte missing", good.substr(0, good.size() - 1), false},
        {"random bytes", random, false},
        {"empty", "", false},
        {"another machine", otherMachine, false},
        {"not a shared object", executable, false},
    };
    TestSupport::TempDir dir;
    for (const auto& c : cases) {
        TestSupport::WriteFile(dir.File("lib.so"), c.bytes);
        std::string reason;
        EXPECT_EQ(Platform::SharedLibrary::CheckSharedObject(dir.File("lib.so"), reason), c.ok) << c.name;
        EXPECT_EQ(reason.empty(), c.ok) << c.name << ": " << reason;
        Platform::SharedLibrary library;
        EXPECT_EQ(library.Open(dir.File("lib.so")), c.ok) << c.name;
    }
    std::string reason;
    EXPECT_FALSE(Platform::SharedLibrary::CheckSharedObject(dir.File("missing.so"), reason));
    EXPECT_FALSE(Platform::SharedLibrary::CheckSharedObject(dir.Path(), reason)) << "a folder";
}

TEST_F(LibraryLoadingTest, ADamagedLibraryIsNamedWithTheReasonLogged)
{
    TestSupport::TempDir dir;
    for (const char* name : {kBassLibraryName, kFModLibraryName}) {
        const std::string good = TestSupport::ReadFile(TestSupport::GameDir() + "/" + name);
        TestSupport::WriteFile(dir.File(name), good.substr(0, 4096));
    }
    EXPECT_EXIT(
        {
            SetMusicLibraryFolder(dir.Path());
            AcquireBassLibrary();
        },
        testing::ExitedWithCode(1), "Cannot load libplindormusic\\.so: .*cut short.*\n(.|\n)*Can't find libplindormusic\\.so\\.");
    EXPECT_EXIT(
        {
            SetMusicLibraryFolder(dir.Path());
            FModMusicInterface music(nullptr);
        },
        testing::ExitedWithCode(1), "Cannot load libplindorsound\\.so: .*cut short.*\n(.|\n)*Can't find libplindorsound\\.so\\.");
}

// The second library, driven directly: an intro joined to a loop keeps looping the
// loop part only.
TEST(SoundLibraryTest, IntroThenLoopSampleRepeatsOnlyTheLoop)
{
    Platform::SharedLibrary library;
    ASSERT_TRUE(library.Open(TestSupport::GameDir() + "/" + kFModLibraryName)) << library.Error();
    FModApi api{};
    std::string missing;
    ASSERT_TRUE(LookupFModEntryPoints(library, api, missing)) << missing;
    auto render = reinterpret_cast<MusicRenderFn>(library.Symbol(kMusicRenderEntry));
    ASSERT_TRUE(api.FSOUND_Init(44100, 64, 0));

    TestSupport::TempDir dir;
    using AudioFixtures::Le16Bytes;
    TestSupport::WriteFile(dir.File("cached_intro.wav"),
                           AudioFixtures::MakeWav(1, 44100, 16, Le16Bytes(std::vector<int16_t>(100, 10000))));
    TestSupport::WriteFile(dir.File("cached_loop.wav"),
                           AudioFixtures::MakeWav(1, 44100, 16, Le16Bytes(std::vector<int16_t>(50, -20000))));
    {
        FModMusicInterface music(api);
        ASSERT_TRUE(music.LoadSampleEx(3, dir.File("intro"), dir.File("loop")));
        EXPECT_FALSE(music.LoadSampleEx(4, dir.File("intro"), dir.File("missing")));
        music.PlayMusic(3);
        EXPECT_TRUE(music.IsPlaying(3));
        // The library limits its mix through the game's limiter, which delays it.
        const int latency = static_cast<int>(Platform::PeakLimiter(44100).Latency());
        std::vector<int16_t> out(2 * (400 + latency));
        ASSERT_EQ(render(out.data(), 400 + latency), 400 + latency);
        EXPECT_NEAR(out[2 * (50 + latency)], 10000 * 100 / 255, 2); // volume 100 of 255
        for (int i = 100; i < 400; ++i)
            ASSERT_NEAR(out[2 * (i + latency)], -20000 * 100 / 255, 2) << "frame " << i;
        music.PauseMusic(3);
        EXPECT_FALSE(music.IsPlaying(3));
    }
    api.FSOUND_Close();
}
