// The tunes as a player hears them: the module through the program folder's music
// library at the default music volume, into the game's mixer. Every tune sits at the
// music bed's level, and the effects keep their places around it: typing clicks under
// the music, rewards and alarms over it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "tests/support/TestSupport.h"
#include "tools/music/TuneRender.h"
#include "tools/music/Tunes.h"
#include "tools/sound/Loudness.h"
#include "tools/sound/SoundChain.h"

using namespace Zant;

namespace {

constexpr double kMusicLufs = -20.0; // the music bed, as heard
constexpr double kToleranceLu = 1.5;
constexpr double kMusicPeakDb = -6.0; // the highest true peak of a tune as heard

const char* const kClicks[] = {"type", "type2", "type3", "wrong"};
const char* const kLoud[] = {"wingem", "wave_bonus", "treasure", "tone1", "tone13", "explosion", "emp", "playerdies"};

class MusicInTheMix : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        GameSoundChain chain;
        std::string error;
        sOpened = chain.OpenMusic(TestSupport::GameDir(), error);
        sError = error;
        if (!sOpened) return;
        const std::string module = TestSupport::ReadFile(TestSupport::GameDir() + "/music/Brinetun.mo3");
        for (const Music::TuneStart& t : Music::kTunes) {
            Dsp::Signal left, right;
            if (!Music::RenderTune(module, t.order, t.once, left, right)) continue;
            sFile[t.name] = Dsp::MeasureLoudness(left, right);
            chain.HearTune(t.order, t.once, left.size(), left, right);
            sHeard[t.name] = Dsp::MeasureLoudness(left, right);
        }
        const auto hear = [&](const char* name) {
            Dsp::Signal left, right;
            const std::string path = TestSupport::GameDir() + "/sounds/" + name;
            std::string why;
            if (Dsp::ReadWav(path + ".wav", left, right, why) &&
                chain.HearEffect(path, false, left.size(), left, right, why))
                sHeard[name] = Dsp::MeasureLoudness(left, right);
        };
        for (const char* name : kClicks) hear(name);
        for (const char* name : kLoud) hear(name);
    }
    static double Heard(const std::string& name) { return sHeard.count(name) ? sHeard.at(name).integrated : 0.0; }

    static bool sOpened;
    static std::string sError;
    static std::map<std::string, Dsp::LoudnessReport> sFile, sHeard;
};

bool MusicInTheMix::sOpened = false;
std::string MusicInTheMix::sError;
std::map<std::string, Dsp::LoudnessReport> MusicInTheMix::sFile;
std::map<std::string, Dsp::LoudnessReport> MusicInTheMix::sHeard;

} // namespace

TEST_F(MusicInTheMix, EveryTuneSitsAtTheMusicLevelAsHeard)
{
    ASSERT_TRUE(sOpened) << sError;
    for (const Music::TuneStart& t : Music::kTunes) {
        SCOPED_TRACE(t.name);
        ASSERT_TRUE(sHeard.count(t.name));
        EXPECT_NEAR(sHeard.at(t.name).integrated, kMusicLufs, kToleranceLu);
        // Under the effects' own peaks: a reward, a hit and a click that start together
        // sum close to the mixer's ceiling, so the music's peaks stay well under it.
        EXPECT_LE(sHeard.at(t.name).truePeak, kMusicPeakDb) << "as heard";
        EXPECT_LE(sFile.at(t.name).truePeak, -1.0) << "at full music volume";
    }
}

TEST_F(MusicInTheMix, ClicksSitUnderTheMusicAndRewardsAndAlarmsOverIt)
{
    ASSERT_TRUE(sOpened) << sError;
    double quietestTune = 0.0, loudestTune = -240.0;
    for (const Music::TuneStart& t : Music::kTunes) {
        quietestTune = std::min(quietestTune, Heard(t.name));
        loudestTune = std::max(loudestTune, Heard(t.name));
    }
    for (const char* name : kClicks) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(sHeard.count(name));
        EXPECT_LE(Heard(name), quietestTune - 4.5) << "feedback quiet under the music";
    }
    for (const char* name : kLoud) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(sHeard.count(name));
        EXPECT_GE(Heard(name), loudestTune + 0.5) << "rewards and alarms bright over it";
    }
}
