// The application's small services: music switching and muting, piranha labels, the
// run's treasure name, saving the running game into the profile, two-part text.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/sound/MusicInterface.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "tests/profiles/ProfileFixture.h"

using Zant::WinBTApp;

namespace {

// Records what the application asks of the music.
class FakeMusic : public Zant::MusicInterface {
public:
    void StopMusic(int song) override
    {
        calls.push_back("stop " + std::to_string(song));
        playing[song] = false;
    }
    void PauseMusic(int song) override
    {
        calls.push_back("pause " + std::to_string(song));
        playing[song] = false;
    }
    void ResumeMusic(int song) override
    {
        calls.push_back("resume " + std::to_string(song));
        playing[song] = true;
    }
    void FadeIn(int song, int offset, double speed, bool noLoop) override
    {
        calls.push_back("in " + std::to_string(song) + " @" + std::to_string(offset) + (noLoop ? " once" : ""));
        lastSpeed = speed;
        playing[song] = true;
    }
    void FadeOut(int song, bool stop, double speed) override { calls.push_back("out " + std::to_string(song)); }
    bool IsPlaying(int song) override { return song >= 0 && song < 2 && playing[song]; }

    std::vector<std::string> calls;
    bool playing[2] = {false, false};
    double lastSpeed = 0;
};

class AppUtilitiesTest : public ProfileTests::ProfileFixture {
protected:
    AppUtilitiesTest()
    {
        music = new FakeMusic();
        app->mMusicInterface = music; // the application owns it
    }
    FakeMusic* music;
};

} // namespace

TEST_F(AppUtilitiesTest, SongSwitchesCrossFadeWithTheirSpeeds)
{
    struct Case {
        int from;
        int to;
        double speed;
        const char* fadeIn;
    };
    const Case cases[] = {
        {17, 0, 0.0025, "in 0 @0"}, {20, 0, 0.0025, "in 0 @0"}, {-1, 17, 0.005, "in 0 @17"},
        {0, 37, 0.8, "in 0 @37"},   {0, 43, 0.8, "in 0 @43 once"}, {17, 46, 0.015, "in 0 @46 once"},
    };
    for (const Case& c : cases) {
        app->mCurrentSong = c.from;
        app->mCurrentSongSlot = 1;
        music->calls.clear();
        EXPECT_TRUE(app->PlaySong(c.to));
        EXPECT_DOUBLE_EQ(music->lastSpeed, c.speed) << c.from << " -> " << c.to;
        EXPECT_EQ(music->calls.back(), c.fadeIn);
        EXPECT_EQ(app->mCurrentSongSlot, 0);
        EXPECT_EQ(app->mCurrentSong, c.to);
    }
    music->calls.clear();
    EXPECT_FALSE(app->PlaySong(46));
    EXPECT_TRUE(music->calls.empty());
}

TEST_F(AppUtilitiesTest, FocusLossPausesAndResumesOnlyThePlayingSongs)
{
    music->playing[1] = true;
    app->LostFocus();
    EXPECT_EQ(music->calls, (std::vector<std::string>{"pause 1"}));
    app->GotFocus();
    EXPECT_EQ(music->calls, (std::vector<std::string>{"pause 1", "resume 1"}));
    EXPECT_TRUE(app->mPausedSongs.empty());
}

TEST_F(AppUtilitiesTest, LabelsRunOutAndReleasingOneDoesNotLowerTheCounts)
{
    std::set<char> handed;
    for (int i = 0; i < 39; ++i) {
        const std::string label = app->MakeRandomLetters(false);
        ASSERT_EQ(label.size(), 1u) << "label " << i;
        EXPECT_TRUE(handed.insert(label[0]).second) << label;
    }
    EXPECT_EQ(app->mUsedLetterCount, 26);
    EXPECT_EQ(app->mUsedSymbolCount, 13);
    EXPECT_EQ(app->MakeRandomLetters(false), "");
    app->FindCharInTypedText('Q');
    EXPECT_EQ(app->MakeRandomLetters(false), "");
    EXPECT_EQ(app->MakeRandomLetters(true), "");
}

TEST_F(AppUtilitiesTest, LabelDrawEndsWhenWordsHoldEveryCandidate)
{
    // Word initials fill the letters although no label was handed out.
    app->mWordLists.UsedLetters() = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    EXPECT_EQ(app->MakeRandomLetters(true), "");
    const std::string symbol = app->MakeRandomLetters(false);
    ASSERT_EQ(symbol.size(), 1u);
    EXPECT_FALSE(symbol[0] >= 'A' && symbol[0] <= 'Z');
    EXPECT_EQ(app->mUsedSymbolCount, 1);
}

TEST_F(AppUtilitiesTest, TreasureNameStaysForTheRun)
{
    const std::set<std::string> names = {"Emerald", "Gem", "Crystal", "Ruby", "Diamond", "Sapphire"};
    const std::string first = app->GetTreasureName();
    EXPECT_TRUE(names.count(first)) << first;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(app->GetTreasureName(), first);
    app->mTreasureImage = Zant::IMAGE_GEM_GREEN + 3;
    EXPECT_EQ(app->GetTreasureName(), "Ruby");
}

// A continued game restarts the saved level: the save keeps the score and lives the
// level started with, not the points gained in it since nor the life they earned.
TEST_F(AppUtilitiesTest, SavingTheRunKeepsTheScoreTheLevelStartedWith)
{
    app->mWidgetManager = new Zant::WidgetManager(app.get());
    app->mProfileMgr = new Zant::UserProfileMgr(app.get());
    auto* profile = new Zant::UserProfile(app.get());
    profile->mName = "Ann";
    app->mProfileMgr->AddUserProfile(profile);
    app->mCurProfile = profile;
    app->mBoard = new Zant::Board(app.get());
    app->mBoard->mLevelStartScore = 1800;
    app->mBoard->mPlayer->mScore = 2400;
    app->mBoard->mLevelStartLives = 2;
    app->mBoard->mPlayer->mLives = 3;
    app->mBoard->mPlayer->mCharge = 0.5;
    app->mBoard->mPlayer->mLevelIndex = 3;
    app->mDifficulty = 2;
    app->mRunTypingTime = 60000;
    app->mRunLevelTotal8 = 1;
    app->mRunLastEntry7 = 2;
    app->mRunTotal10 = 3;
    app->mRunTotal9 = 4;

    app->SaveGameProgress(true, true);
    EXPECT_EQ(profile->mSavedScore, 1800);
    EXPECT_EQ(profile->mSavedLives, 2);
    EXPECT_EQ(profile->mSavedCharge, 0.5);
    EXPECT_EQ(profile->mSavedDifficulty, 2);
    EXPECT_EQ(profile->mSavedLevel, 3);
    EXPECT_EQ(profile->mSavedTotal2, 60000);
    EXPECT_EQ(profile->mSavedTotals, (std::array<int, 4>{1, 2, 3, 4}));

    // After a restart the saved score is there to resume with.
    app->mBoard->mPlayer->mScore = 0;
    Zant::UserProfileMgr again(app.get());
    Zant::UserProfile* back = again.GetUserProfile("Ann");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->mSavedScore, 1800);

    // Abyss games keep no adventure.
    app->mDifficulty = -1;
    profile->mSavedDifficulty = 1;
    app->SaveGameProgress(true, true);
    EXPECT_EQ(profile->mSavedDifficulty, 1);
}

namespace {

class WidthFont : public Zant::Font {
public:
    WidthFont(int advance) : mAdvance(advance) {}
    int StringWidth(const std::string& text) override { return mAdvance * static_cast<int>(text.size()); }
    void DrawString(Zant::Graphics*, int x, int, const std::string& text, const Zant::Color&,
                    const Zant::Rect&) override
    {
        drawn.push_back(text + "@" + std::to_string(x));
    }
    Zant::Font* Duplicate() override { return new WidthFont(*this); }
    int mAdvance;
    std::vector<std::string> drawn;
};

} // namespace

TEST(DrawStringChars, CharactersFollowEachOtherAcrossBothFonts)
{
    Zant::MemoryImage image;
    image.Create(10, 10);
    Zant::Graphics g(&image);
    WidthFont a(10), b(4);
    Zant::DrawStringChars(&g, 100, 50, "AB", Zant::Color(), &a, "cd", Zant::Color(), &b, 0, false);
    EXPECT_EQ(a.drawn, (std::vector<std::string>{"A@100", "B@110"}));
    EXPECT_EQ(b.drawn, (std::vector<std::string>{"c@120", "d@124"}));

    // Centred in 200 px: the width is measured in the first font (4 characters x 10).
    WidthFont c(10);
    Zant::DrawStringChars(&g, 0, 0, "AB", Zant::Color(), &c, "cd", Zant::Color(), nullptr, 200, true);
    EXPECT_EQ(c.drawn, (std::vector<std::string>{"A@80", "B@90", "c@100", "d@110"}));
}
