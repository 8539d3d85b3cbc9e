// Songs that follow each other quickly, as at a level's end: the level-end tune, the
// title's at the level-done panel and the map's within two seconds. The application
// stops a song at once when a third one starts while two still sound; through the
// program folder's music library into the game's mixer, that stop (and the restart of
// the fading song elsewhere) is heard without a tick: no step at a block boundary
// stands out from the steps the music itself makes around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "framework/sound/BassMusicInterface.h"
#include "platform/audio/PeakLimiter.h"
#include "tests/creatures/CreatureTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/sound/SoundChain.h"

using namespace Zant;

namespace {

constexpr int kFramesPerUpdate = 441; // 100 updates a second at 44.1 kHz

double StepAt(const Dsp::Signal& left, const Dsp::Signal& right, size_t frame)
{
    return std::max(std::fabs(left[frame] - left[frame - 1]), std::fabs(right[frame] - right[frame - 1]));
}

// A stop between two blocks of the music library's output, heard where the library's
// and the mixer's limiters have delayed that boundary to.
size_t BoundaryOffset() { return 2 * Platform::PeakLimiter(44100).Latency() % GameSoundChain::kDeviceBlock; }

class SongChange : public CreatureTests::CreatureFixture {
protected:
    SongChange()
    {
        std::string error;
        opened = chain.OpenMusic(TestSupport::GameDir(), error);
        EXPECT_TRUE(opened) << error;
        app->mMusicInterface = chain.Music();
        app->SetMusicVolume(app->GetMusicVolume());
    }
    ~SongChange() override { app->mMusicInterface = nullptr; }

    // Updates of the application's music fades, with the output rendered in the audio
    // device's blocks in step with them.
    void Play(int updates, Dsp::Signal& left, Dsp::Signal& right)
    {
        for (int u = 0; u < updates; ++u) {
            app->mMusicInterface->Update();
            for (owed += kFramesPerUpdate; owed >= static_cast<long>(GameSoundChain::kDeviceBlock);
                 owed -= GameSoundChain::kDeviceBlock) {
                Dsp::Signal l, r;
                chain.Record(GameSoundChain::kDeviceBlock, l, r);
                left.insert(left.end(), l.begin(), l.end());
                right.insert(right.end(), r.begin(), r.end());
            }
        }
    }

    GameSoundChain chain;
    bool opened = false;
    long owed = 0;
};

} // namespace

TEST_F(SongChange, ALevelsEndChangesSongsWithoutATick)
{
    ASSERT_TRUE(opened);
    // The level's tune has settled; the level ends.
    Dsp::Signal left, right;
    app->mCurrentSong = -1;
    app->PlaySong(0);
    Play(400, left, right);
    const size_t from = left.size();
    app->PlaySong(34); // the level-end tune
    Play(80, left, right);
    ASSERT_TRUE(app->mMusicInterface->IsPlaying(0) && app->mMusicInterface->IsPlaying(1));
    app->PlaySong(17); // the title's, under the level-done panel: the level-end tune stops at once
    Play(120, left, right);
    app->PlaySong(20); // the map's
    Play(150, left, right);

    // At every block boundary, the step from one sample to the next against the
    // largest one the music makes itself within 2 ms on either side. A song dropped
    // between two blocks steps twice as far as that; the music's own steps fall on a
    // boundary now and then, and reach a little over the others around them.
    const size_t block = GameSoundChain::kDeviceBlock;
    const size_t around = 88;
    constexpr double kTick = 1.5;
    double worstRatio = 0.0;
    size_t worstFrame = 0;
    for (size_t b = from + BoundaryOffset(); b + block < left.size(); b += block) {
        double own = 0.0;
        for (size_t i = b - around; i <= b + around; ++i)
            if (i != b)
                own = std::max(own, StepAt(left, right, i));
        const double ratio = StepAt(left, right, b) / std::max(own, 1e-6);
        if (ratio > worstRatio) {
            worstRatio = ratio;
            worstFrame = b;
        }
    }
    std::printf("the largest step at a block boundary is %.2f times the music's own around it, %.2f s after the "
                "level ended\n",
                worstRatio, static_cast<double>(worstFrame - from) / 44100.0);
    EXPECT_LT(worstRatio, kTick) << "a tick " << static_cast<double>(worstFrame - from) / 44100.0
                               << " s after the level ended";
    RecordProperty("largestBoundaryStepRatio", std::to_string(worstRatio));
}
