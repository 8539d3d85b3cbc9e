// Busy levels as a player hears them, played by a quick simulated typist (95 % accurate)
// with every sound the game makes going through its own sound manager, music interface
// and music library into the mixer, rendered in the audio device's blocks in step with
// the updates: the X-Treme adventure's first levels (waves of seven to nine fast sharks,
// and long treasure words) and the Easy adventure's (few sharks, but treasure words of
// three and four letters, each finished with a count tone and a burst of bubbles,
// several a second), each at 100 and 150 words a minute from level to level, and an
// abyss dive at 150 from 800 ft through its first boss; each with the volume sliders
// where the game starts them and with both at the top. The mix never reaches full
// scale, its limiter reaches at most 3 dB deep at the starting volumes and 6 dB with
// both sliders at the top, and where no effect sounds the music sits at its level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/DSoundManager.h"
#include "framework/sound/SoundInstance.h"
#include "game/common/Simulation.h"
#include "game/play/Player.h"
#include "game/shell/SimulationRunner.h"
#include "platform/audio/AudioDevice.h"
#include "tests/board/BoardFixture.h"
#include "tests/simulation/SimulationFiles.h"
#include "tests/support/TestSupport.h"
#include "tools/sound/Loudness.h"
#include "tools/sound/SoundChain.h"

using namespace Zant;

namespace {

constexpr double kMusicLufs = -20.0;  // the music bed, as heard
constexpr int kFramesPerUpdate = 441; // 100 updates a second at 44.1 kHz

constexpr double kDefaultDeepestDb = 3.0; // the limiter's deepest reduction at the starting volumes
constexpr double kFullDeepestDb = 6.0;    // with both sliders at the top

struct Busy {
    const char* name;
    const char* config;
    int difficulty; // -1 for the abyss
    int wpm;
    bool full;     // both sliders at the top, else where the game starts them
    int seconds;   // of play
    int startFeet; // the abyss: the depth chosen to start from (its first boss waits at 1000 ft)
};

void PrintTo(const Busy& busy, std::ostream* out) { *out << busy.name; }

const Busy kBusy[] = {
    {"XTreme100", "xtreme-cfg.xml", 4, 100, false, 120, 0},
    {"XTreme100Full", "xtreme-cfg.xml", 4, 100, true, 120, 0},
    {"XTreme150", "xtreme-cfg.xml", 4, 150, false, 120, 0},
    {"XTreme150Full", "xtreme-cfg.xml", 4, 150, true, 120, 0},
    {"Easy100", "easy-cfg.xml", 0, 100, false, 120, 0},
    {"Easy100Full", "easy-cfg.xml", 0, 100, true, 120, 0},
    {"Easy150", "easy-cfg.xml", 0, 150, false, 120, 0},
    {"Easy150Full", "easy-cfg.xml", 0, 150, true, 120, 0},
    {"AbyssBoss150", "abyss.xml", -1, 150, false, 120, 800},
    {"AbyssBoss150Full", "abyss.xml", -1, 150, true, 120, 800},
};

class BusyLevel : public BoardTests::BoardFixture, public testing::WithParamInterface<Busy> {
protected:
    BusyLevel()
    {
        std::string error;
        opened = chain.OpenMusic(TestSupport::GameDir(), error);
        EXPECT_TRUE(opened) << error;
        for (int id = 0; id < GameAssets::NUM_SOUNDS; ++id)
            EXPECT_TRUE(chain.Sounds().LoadSoundFile(id, TestSupport::GameDir() + "/sounds/" + GameAssets::SOUND_NAMES[id]))
                << GameAssets::SOUND_NAMES[id];
        // The application's own sound services, as start-up makes them, at its own volumes.
        app->mSoundManager = &chain.Sounds();
        app->mMusicInterface = chain.Music();
        const Busy& busy = GetParam();
        app->SetSfxVolume(busy.full ? 1.0 : app->GetSfxVolume());
        app->SetMusicVolume(busy.full ? 1.0 : app->GetMusicVolume());
        // The game's own words: its waves' and the treasure words.
        app->mWordLists.SetDataFolder(TestSupport::GameDir());
        EXPECT_TRUE(app->mWordLists.LoadWordLengthLists() && app->mWordLists.LoadDifficultyWords())
            << app->mWordLists.LoadError();
        app->mAmbienceLoop = chain.Sounds().CreateChannel(SOUND_UNDERWATERLOOP);
        app->playThrough = true;
        // The title's tune is playing when the level begins, as after start-up.
        app->mCurrentSong = -1;
        app->PlaySong(17);
        for (int i = 0; i < 300; ++i)
            app->mMusicInterface->Update();
    }
    ~BusyLevel() override
    {
        // The chain owns what the application borrowed, and goes first.
        app->mAmbienceLoop = nullptr;
        app->mSoundManager = nullptr;
        app->mMusicInterface = nullptr;
        app->playThrough = false;
    }

    SimulationTests::SimulationFolder folder;
    GameSoundChain chain;
    bool opened = false;
};

std::string ReadGameFile(const std::string& name)
{
    std::ifstream in(TestSupport::GameDir() + "/data/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST_P(BusyLevel, TheLimiterReachesLittleDepthAndTheMusicKeepsItsLevel)
{
    ASSERT_TRUE(opened);
    const Busy& busy = GetParam();
    const std::string config = ReadGameFile(busy.config);
    ASSERT_FALSE(config.empty());
    // One typist, 95 % accurate, from level to level.
    folder.Start("1\n" + std::to_string(busy.difficulty) + "\n" + std::to_string(busy.wpm) + "\n95\n-1\n1\n-1\n");
    Simulation().NextSimulationConfig();
    StartLevel(config, busy.difficulty);
    if (busy.startFeet > 0)
        board->SetAbyssDepth(busy.startFeet);
    Reseed(46);
    Simulation().StartRun(46);

    Platform::Mixer& mixer = *chain.Device().GetMixer();
    int peak = 0;
    long owed = 0;
    int updates = 0;
    int bossUpdates = 0;
    size_t blocks = 0;
    Dsp::Signal quietLeft, quietRight; // blocks with music and no effect
    constexpr int kSettleUpdates = 500; // the level tune takes over from the title's in four seconds
    // The typist goes on from level to level as a player would.
    for (; updates < 100 * busy.seconds && app->mBoard != nullptr; ++updates) {
        app->UpdateOnce();
        if (app->mBoard != nullptr && app->mBoard->BossKind() != -1)
            ++bossUpdates;
        for (owed += kFramesPerUpdate; owed >= static_cast<long>(GameSoundChain::kDeviceBlock);
             owed -= GameSoundChain::kDeviceBlock) {
            // Voices start between blocks: the ones attached now are all this block holds.
            SoundInstance* ambience = app->AmbienceLoop();
            const size_t steady = ambience != nullptr && ambience->IsPlaying() ? 1 : 0;
            const bool noEffect = mixer.PlayingVoices() == steady;
            const bool oneTune = app->mMusicInterface->IsPlaying(0) != app->mMusicInterface->IsPlaying(1);
            Dsp::Signal left, right;
            chain.Record(GameSoundChain::kDeviceBlock, left, right);
            ++blocks;
            for (size_t i = 0; i < left.size(); ++i)
                peak = std::max({peak, std::abs(static_cast<int>(left[i] * 32768.0f)),
                                 std::abs(static_cast<int>(right[i] * 32768.0f))});
            if (noEffect && oneTune && updates >= kSettleUpdates) {
                quietLeft.insert(quietLeft.end(), left.begin(), left.end());
                quietRight.insert(quietRight.end(), right.begin(), right.end());
            }
        }
    }
    DropReplacedBoard(*app, board);

    // A busy stretch with hundreds of effects.
    EXPECT_EQ(updates, 100 * busy.seconds) << "the game ended early";
    EXPECT_GT(app->sounds.size(), 300u);
    if (busy.startFeet > 0) {
        EXPECT_GT(bossUpdates, 100 * 10) << "the boss was not met";
    } else {
        int treasureWords = 0;
        for (const auto& level : Simulation().mLog)
            treasureWords += level.treasureWords;
        EXPECT_GT(treasureWords, 10) << "the treasure words were not typed";
    }
    const Platform::Mixer::LimiterActivity activity = mixer.GetLimiterActivity();
    EXPECT_EQ(activity.blocks, blocks);
    const double deepestDb = 20.0 * std::log10(1.0 / activity.lowestGain);
    const double share = static_cast<double>(activity.limited) / static_cast<double>(std::max<uint64_t>(activity.blocks, 1));
    std::printf("%s: limiter at most %.2f dB deep, in %.1f %% of %llu blocks; %.0f s with the boss\n", busy.name,
                deepestDb, 100.0 * share, static_cast<unsigned long long>(activity.blocks), bossUpdates / 100.0);
    EXPECT_LE(deepestDb, busy.full ? kFullDeepestDb : kDefaultDeepestDb);
    EXPECT_LT(peak, 32767) << "a sample at full scale";
    // At the starting volumes, the music bed's level where no effect sounds.
    if (!busy.full) {
        ASSERT_GT(quietLeft.size(), static_cast<size_t>(5 * Dsp::kRate)) << "too little music without effects to measure";
        EXPECT_NEAR(Dsp::IntegratedLoudness(quietLeft, quietRight), kMusicLufs, 1.5);
    }
    RecordProperty("limiterDeepestDb", std::to_string(deepestDb));
    RecordProperty("limitedBlocks", static_cast<int>(activity.limited));
    RecordProperty("blocks", static_cast<int>(activity.blocks));
    RecordProperty("bossSeconds", bossUpdates / 100);
    RecordProperty("musicWithoutEffectsSeconds", static_cast<int>(quietLeft.size() / Dsp::kRate));
}

INSTANTIATE_TEST_SUITE_P(Levels, BusyLevel, testing::ValuesIn(kBusy),
                         [](const testing::TestParamInfo<Busy>& info) { return std::string(info.param.name); });
