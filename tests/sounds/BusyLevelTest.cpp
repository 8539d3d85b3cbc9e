// Busy levels as a player hears them, played by a quick simulated typist (100 words a
// minute, 95 % accurate) from level to level for two minutes, with every sound the game
// makes going through its own sound manager, music interface and music library into the
// mixer, rendered in the audio device's blocks in step with the updates: the X-Treme
// adventure's first levels (waves of seven to nine fast sharks, and long treasure words)
// and the Easy adventure's (few sharks, but treasure words of three and four letters,
// each finished with a count tone and a burst of bubbles, several a second). The mix
// never reaches full scale, leans on its limiter in under 1 % of its blocks, and where
// no effect sounds the music sits at its level.
#include <gtest/gtest.h>

#include <algorithm>
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

struct Busy {
    const char* name;
    const char* config;
    int difficulty;
};

void PrintTo(const Busy& busy, std::ostream* out) { *out << busy.name; }

const Busy kBusy[] = {
    {"XTreme", "xtreme-cfg.xml", 4},
    {"EasyTreasureWords", "easy-cfg.xml", 0},
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
        app->SetSfxVolume(app->GetSfxVolume());
        app->SetMusicVolume(app->GetMusicVolume());
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

TEST_P(BusyLevel, TheMixRarelyNeedsItsLimiterAndTheMusicKeepsItsLevel)
{
    ASSERT_TRUE(opened);
    const Busy& busy = GetParam();
    const std::string config = ReadGameFile(busy.config);
    ASSERT_FALSE(config.empty());
    // One typist at 100 words a minute, 95 % accurate, on the adventure.
    folder.Start("1\n" + std::to_string(busy.difficulty) + "\n100\n95\n-1\n1\n-1\n");
    Simulation().NextSimulationConfig();
    StartLevel(config, busy.difficulty);
    Reseed(46);
    Simulation().StartRun(46);

    Platform::Mixer& mixer = *chain.Device().GetMixer();
    int peak = 0;
    long owed = 0;
    int updates = 0;
    size_t blocks = 0;
    Dsp::Signal quietLeft, quietRight; // blocks with music and no effect
    constexpr int kSettleUpdates = 500; // the level tune takes over from the title's in four seconds
    // Two minutes of play: the typist goes on from level to level as a player would.
    for (; updates < 100 * 120 && app->mBoard != nullptr; ++updates) {
        app->UpdateOnce();
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

    // A busy stretch: two minutes of play with hundreds of effects.
    EXPECT_EQ(updates, 100 * 120) << "the game ended early";
    EXPECT_GT(app->sounds.size(), 300u);
    int treasureWords = 0;
    for (const auto& level : Simulation().mLog)
        treasureWords += level.treasureWords;
    EXPECT_GT(treasureWords, 10) << "the treasure words were not typed";
    const Platform::Mixer::LimiterActivity activity = mixer.GetLimiterActivity();
    EXPECT_EQ(activity.blocks, blocks);
    EXPECT_LT(static_cast<double>(activity.limited), 0.01 * static_cast<double>(activity.blocks))
        << activity.limited << " of " << activity.blocks << " blocks limited";
    EXPECT_LT(peak, 32767) << "a sample at full scale";
    ASSERT_GT(quietLeft.size(), static_cast<size_t>(5 * Dsp::kRate)) << "too little music without effects to measure";
    EXPECT_NEAR(Dsp::IntegratedLoudness(quietLeft, quietRight), kMusicLufs, 1.5);
    RecordProperty("limitedBlocks", static_cast<int>(activity.limited));
    RecordProperty("blocks", static_cast<int>(activity.blocks));
    RecordProperty("musicWithoutEffectsSeconds", static_cast<int>(quietLeft.size() / Dsp::kRate));
}

INSTANTIATE_TEST_SUITE_P(Levels, BusyLevel, testing::ValuesIn(kBusy),
                         [](const testing::TestParamInfo<Busy>& info) { return std::string(info.param.name); });
