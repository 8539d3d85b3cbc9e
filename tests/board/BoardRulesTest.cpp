// The board's rules: the counted pause, the letter lock, the room test, the bonus
// layout, clam letters, the danger music, the ambience loop and the "EXTRA LIFE!"
// pulse.
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "framework/sound/DSoundManager.h"
#include "framework/sound/SoundInstance.h"
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/common/BTTimer.h"
#include "game/play/Player.h"
#include "platform/audio/AudioDevice.h"
#include "tests/board/BoardFixture.h"
#include "tests/support/TestSupport.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

namespace {

class BoardRules : public BoardFixture {
protected:
    BoardRules() { StartLevel(File(Level(Wave("Sharks", Value("KnockBack", "7") + LevelFiles::Enemy("Blue"))))); }
};

// Drives only the timers, as the widget manager would while the board is paused.
void RunTimers(Board* board, int updates)
{
    for (int i = 0; i < updates; ++i)
        for (BTTimer* timer : board->Timers())
            timer->Update();
}

} // namespace

TEST_F(BoardRules, NestedPausesTakeTheOuterPauseOutOfEveryGameTimer)
{
    for (BTTimer* timer : board->GameTimers()) {
        timer->SetDisabled(false);
        timer->Reset();
    }
    board->mZapperTimer->Reset();
    board->Pause(true);
    RunTimers(board, 100);
    board->Pause(true); // a dialog over the pause
    RunTimers(board, 100);
    board->Pause(false);
    EXPECT_TRUE(board->mPaused);
    RunTimers(board, 100);
    board->Pause(false);
    EXPECT_FALSE(board->mPaused);
    EXPECT_EQ(board->mPauseCount, 0);
    for (BTTimer* timer : board->GameTimers())
        EXPECT_EQ(timer->GetElapsed(), 0);
    EXPECT_EQ(board->mZapperTimer->GetElapsed(), 3000);
    EXPECT_EQ(board->mPausedTime, 3000);

    board->Pause(false); // an unpause without a pause changes nothing
    EXPECT_EQ(board->mPauseCount, 0);
}

TEST_F(BoardRules, LevelCompleteAndBossTallyAreNeverPaused)
{
    for (int phase : {int(Player::LEVEL_COMPLETE), int(Player::BOSS_TALLY)}) {
        board->mPlayer->mState = phase;
        board->Pause(true);
        EXPECT_EQ(board->mPauseCount, 0) << phase;
        EXPECT_FALSE(board->mPaused) << phase;
        board->Pause(false);
        EXPECT_EQ(board->mPauseCount, 0);
    }
}

TEST_F(BoardRules, LockTakesSwimmingOrFlashingCreaturesAndKnocksThemBack)
{
    struct Case {
        int state;
        bool locks;
    };
    for (const Case& c : {Case{0, true}, Case{6, true}, Case{3, false}, Case{4, false}, Case{5, false}}) {
        Shark shark(app.get());
        shark.SetWord("KELP");
        shark.mState = c.state;
        shark.mX = 300.0;
        board->ClearLock();
        EXPECT_EQ(board->TryLockEnemy('K', &shark), c.locks) << c.state;
        EXPECT_EQ(shark.mX, c.locks ? 307.0 : 300.0);
        EXPECT_EQ(board->mTypedText, c.locks ? "K" : "");
        board->ClearLock();
    }
    Shark shark(app.get());
    shark.SetWord("KELP");
    EXPECT_FALSE(board->TryLockEnemy('E', &shark)); // not the first letter
    board->mTypedText = "KELPS";                    // a stale count past the word
    EXPECT_FALSE(board->TryLockEnemy('S', &shark));
}

TEST_F(BoardRules, RoomWaitsBeyondTheRightEdge)
{
    Shark shark(app.get());
    shark.mX = 640.0;
    EXPECT_TRUE(board->CheckCreatureRoom(&shark));
    shark.mX = 641.0;
    EXPECT_FALSE(board->CheckCreatureRoom(&shark));
}

TEST_F(BoardRules, BonusLayoutDrawsGroupsRowsAndSpacing)
{
    StartLevel(OneWaveLevel("Bonus", "Standard"));
    for (int i = 0; i < 7; ++i)
        board->mBonusCreatures.push_back(new BonusCreature(app.get()));
    Reseed(77);
    board->PlaceBonusCreatures(3);
    NextExpected();
    int group = 4 + (NextExpected() & 1);
    const int h = board->mBonusCreatures[3]->GetHeight();
    // Index 3 starts a group: a new size is drawn and it goes to row 1.
    group = 4 + (NextExpected() & 1);
    double x = board->mPlayer->mX + board->mPlayer->GetWidth();
    for (int i = 3; i < 7; ++i) {
        BonusCreature* creature = board->mBonusCreatures[i];
        EXPECT_EQ(creature->mX, x) << i;
        EXPECT_EQ(creature->mY, h * 1 + 25 + 480 + NextExpected() % 25) << i;
        x += creature->GetWidth() + NextExpected() % 30;
        EXPECT_TRUE(creature->mActive);
    }
    EXPECT_GE(group, 4);
}

TEST_F(BoardRules, FreeClamLetterSkipsLettersOnClams)
{
    for (char c = 'A'; c < 'Z'; ++c) {
        auto* clam = new Clam(app.get(), 0);
        clam->SetWord(std::string(1, c));
        board->mClams.push_back(clam);
    }
    EXPECT_EQ(board->PickFreeClamLetter(), "Z");
    auto* last = new Clam(app.get(), 0);
    last->SetWord("Z");
    board->mClams.push_back(last);
    EXPECT_EQ(board->PickFreeClamLetter(), "");
}

TEST_F(BoardRules, DangerMusicNearTheDiver)
{
    struct Case {
        int playing;
        double x;
        int expected;
    };
    for (const Case& c : {Case{0, 160.0, 37}, Case{0, 161.0, 0}, Case{37, 15.0, 43}, Case{0, 15.0, 37},
                          Case{43, 15.0, 43}, Case{37, 100.0, 37}}) {
        app->mCurrentSong = c.playing;
        Shark shark(app.get());
        shark.mX = c.x;
        board->UpdateDangerMusic(&shark, true);
        EXPECT_EQ(app->mCurrentSong, c.expected) << c.playing << " " << c.x;
        board->UpdateDangerMusic(&shark, false);
    }
}

// The ambience loop as the board plays it, on a sound manager whose device renders
// by hand: shown, paused, unpaused and hidden, the board never makes the output step
// further than the loop itself does, and hidden it falls silent.
TEST_F(BoardRules, TheAmbienceLoopStartsMutesAndStopsWithoutAClick)
{
    auto owned = std::make_unique<Platform::OfflineAudioDevice>();
    Platform::OfflineAudioDevice* device = owned.get();
    DSoundManager sounds(std::move(owned));
    ASSERT_TRUE(sounds.LoadSoundFile(SOUND_UNDERWATERLOOP, TestSupport::GameDir() + "/sounds/underwaterloop"));
    const auto data = sounds.GetSoundData(SOUND_UNDERWATERLOOP);
    ASSERT_EQ(data->format.channels, 1);
    ASSERT_EQ(data->format.samplesPerSec, 44100u);
    const auto* pcm = reinterpret_cast<const int16_t*>(data->bytes.data());
    const size_t n = data->bytes.size() / 2;
    int steepest = 0; // the loop's own, its join included
    for (size_t i = 0; i < n; ++i)
        steepest = std::max(steepest, std::abs(pcm[(i + 1) % n] - pcm[i]));
    ASSERT_GT(std::abs(pcm[0]), 2 * steepest) << "the loop starts mid-waveform";

    app->mAmbienceLoop = sounds.CreateChannel(SOUND_UNDERWATERLOOP);
    struct Unhook {
        ~Unhook() { owner->mAmbienceLoop = nullptr; } // the channel goes with the manager
        WinBTApp* owner;
    } unhook{app.get()};
    ASSERT_NE(app->mAmbienceLoop, nullptr);

    std::vector<int16_t> heard;
    const auto listen = [&] {
        const auto out = device->Render(4410);
        heard.insert(heard.end(), out.begin(), out.end());
    };
    listen();
    board->SetVisible(true);
    listen();
    EXPECT_TRUE(app->mAmbienceLoop->IsPlaying());
    board->Pause(true);
    listen();
    board->Pause(false);
    listen();
    board->SetVisible(false);
    EXPECT_FALSE(app->mAmbienceLoop->IsPlaying());
    listen();

    int worst = 0, loudest = 0;
    size_t at = 0;
    for (size_t i = 2; i < heard.size(); i += 2) {
        loudest = std::max(loudest, std::abs(static_cast<int>(heard[i])));
        if (std::abs(heard[i] - heard[i - 2]) > worst) {
            worst = std::abs(heard[i] - heard[i - 2]);
            at = i / 2;
        }
    }
    EXPECT_GT(loudest, steepest) << "the loop was heard";
    EXPECT_LE(worst, steepest * 1.1) << "a step at frame " << at;
    // Silent again a few milliseconds after the board is hidden.
    for (size_t i = heard.size() - 2 * 3000; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], 0) << "frame " << i / 2;
}

TEST_F(BoardRules, ExtraLifePulsesFourTimes)
{
    board->mPlayer->mExtraLifeEarned = true;
    int steps = 0;
    while (board->mPlayer->mExtraLifeEarned) {
        board->mHeader->Step();
        ASSERT_LT(++steps, 2000);
    }
    EXPECT_EQ(steps, 4 * 256);
    EXPECT_EQ(board->mHeader->mPulseCount, 0);
    EXPECT_EQ(board->mHeader->mAlpha, 0);
}

TEST_F(BoardRules, MessageLineShowsAndFadesAfterTwoSeconds)
{
    DiverInPlace();
    board->ShowMessage("TYPO!");
    EXPECT_EQ(board->mMessageAlpha, 255);
    Run(200);
    EXPECT_EQ(board->mMessageAlpha, 255);
    Run(10);
    EXPECT_LT(board->mMessageAlpha, 255);
}
