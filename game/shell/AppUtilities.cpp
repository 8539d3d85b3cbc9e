// Small operations of the game application that the board, the tutor and the flow
// call: muting the music with the window's focus, saving the running adventure into
// the profile, piranha labels, the run's treasure name and two-part text.
#include <algorithm>
#include <functional>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/sound/MusicInterface.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/HighScoreScreen.h"
#include "game/shell/StatsScreen.h"
#include "game/shell/TypingTutor.h"
#include "game/shell/MapScreen.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

// ---- Music and focus.

void WinBTApp::MuteMusic(bool mute)
{
    MusicInterface* music = mMusicInterface;
    if (music == nullptr)
        return;
    if (mute) {
        for (int song : {0, 1}) {
            if (music->IsPlaying(song)) {
                mPausedSongs.push_back(song);
                music->PauseMusic(song);
            }
        }
        return;
    }
    for (int song : mPausedSongs)
        music->ResumeMusic(song);
    mPausedSongs.clear();
}

void WinBTApp::LostFocus()
{
    ZantApp::LostFocus();
    MuteMusic(true);
    if (mBoard != nullptr)
        mBoard->Pause(true);
}

void WinBTApp::GotFocus()
{
    ZantApp::GotFocus();
    MuteMusic(false);
    if (mBoard != nullptr)
        mBoard->Pause(false);
}

// ---- The running adventure in the profile.

void WinBTApp::SaveGameProgress(bool gameEnded, bool withCharge)
{
    UserProfile* profile = mCurProfile;
    if (profile == nullptr)
        return;
    // An abyss dive saves no adventure, and leaves the saved one whole: its score,
    // run totals and route are that adventure's, to be continued.
    const bool abyss = mDifficulty == -1 || (mConfig != nullptr && mConfig->IsAbyssMode());
    if (!abyss)
        SaveAdventure(profile, gameEnded, withCharge);
    if (mProfileMgr != nullptr)
        mProfileMgr->WriteUserProfileToRegistry(profile, gameEnded, false);
}

void WinBTApp::SaveAdventure(UserProfile* profile, bool gameEnded, bool withCharge)
{
    int levelIndex = 0;
    if (mConfig != nullptr) {
        levelIndex = mConfig->GetLevel();
        if (levelIndex == -1)
            levelIndex = SAVED_ENDLESS_LEVEL_BASE + mConfig->GetEndlessLevelCount();
    }
    profile->mSavedTotal2 = mRunTypingTime;

    const Player* player = GetPlayer();
    // A continued adventure restarts the saved level from its beginning, so the save
    // keeps the score and the lives the level started with: a save made in the middle
    // of the level ("End game") must not carry the level's points, nor the extra lives
    // they earned, into the level played again, where the same points earn them anew.
    const int lives = mBoard != nullptr ? mBoard->mLevelStartLives : (player ? player->mLives : 0);
    const int score = mBoard != nullptr ? mBoard->mLevelStartScore : (player ? player->mScore : 0);
    const int level = player ? player->mLevelIndex : 0;
    // The data file writes this score whether or not a game is in progress.
    profile->mLastSavedScore = score;
    if (withCharge)
        profile->SetSavedGame(!gameEnded, lives, score, player ? player->mCharge : 0.0, levelIndex, mDifficulty, level);
    else
        profile->SetSavedGameShort(!gameEnded, lives, score, levelIndex, mDifficulty, level);
    profile->mSavedTotals = {mRunLevelTotal8, mRunLastEntry7, mRunTotal10, mRunTotal9};

    StoreRunInProfile();
    profile->SetLastLevel(mConfig != nullptr ? mConfig->GetEndlessLevelCount() - 1 : 0);
}

void WinBTApp::RecordRunningDive()
{
    // Only the board of the configuration in use: a board left over while a new
    // configuration failed to load no longer has its own.
    if (mBoard == nullptr || mBoard->mGameOver || mBoard->mConfig != mConfig || !mBoard->IsAbyss() ||
        mCurProfile == nullptr)
        return;
    mBoard->RecordGameStats(false, true);
}

void WinBTApp::Shutdown()
{
    if (!mShutdown)
        RecordRunningDive();
    ZantApp::Shutdown();
}

void WinBTApp::StoreRunInProfile()
{
    // The route lives on the map screen; without one there is nothing to copy.
    if (mMapScreen == nullptr)
        return;
    StoreRoute(mMapScreen->mRouteDots, mMapScreen->mRoute);
}

void WinBTApp::StoreRoute(const std::vector<std::pair<int, int>>& sites, const std::vector<int>& siteNumbers)
{
    if (mCurProfile == nullptr)
        return;
    mCurProfile->mSavedSites = sites;
    mCurProfile->mSavedSiteNumbers = siteNumbers;
}

// ---- Statistics and high scores.

void WinBTApp::ShowStatsScreen(int initialTab)
{
    KillScreen();
    if (mTypingTutor != nullptr)
        mTypingTutor->SetVisible(false);
    mStatsScreen = new StatsScreen(this, initialTab);
    mStatsScreen->SetUserProfile(mCurProfile);
    mStatsScreen->Resize(0, 0, mWidth, mHeight);
    mWidgetManager->AddWidget(mStatsScreen);
    mStatsScreen->MarkDirty();
    ShowCloseButton(mStatsCloseButton, [this] { return StatsScreen::CreateCloseButton(this); }, 480, 420, 100, 27);
}

void WinBTApp::ShowHighScoreScreen()
{
    KillScreen();
    mHighScoreScreen = new HighScoreScreen(this, mProfileMgr);
    mHighScoreScreen->Resize(0, 0, mWidth, mHeight);
    mWidgetManager->AddWidget(mHighScoreScreen);
    ShowCloseButton(mHighScoreCloseButton, [this] { return HighScoreScreen::CreateCloseButton(this); }, 221, 443,
                    193, 27);
}

void WinBTApp::ShowCloseButton(Widget*& button, const std::function<Widget*()>& create, int x, int y, int width,
                               int height)
{
    if (button == nullptr) {
        // Made the first time, then kept and shown again in front of the screen.
        button = create();
        button->SetDisabled(false);
        mWidgetManager->AddWidget(button);
        return;
    }
    button->Resize(x, y, width, height);
    button->SetDisabled(false);
    button->SetVisible(true);
    if (!mWidgetManager->HasWidget(button))
        mWidgetManager->AddWidget(button);
    mWidgetManager->BringToFront(button);
}

// ---- Piranha labels.

namespace {

constexpr int NUM_LETTERS = 26;
constexpr int NUM_LABELS = 39;
constexpr int MAX_SYMBOLS_DRAWN = 16;

char LabelChar(int r)
{
    static const char SYMBOLS[] = {'#', '$', '&', ')'};
    if (r < NUM_LETTERS)
        return static_cast<char>('A' + r);
    if (r < 35)
        return static_cast<char>('1' + (r - NUM_LETTERS));
    return SYMBOLS[r - 35];
}

} // namespace

std::string WinBTApp::MakeRandomLetters(bool lettersOnly)
{
    if (lettersOnly && mUsedLetterCount >= NUM_LETTERS)
        return "";
    if (!lettersOnly && mUsedLetterCount + mUsedSymbolCount >= NUM_LABELS)
        return "";
    const int n = (!lettersOnly && mUsedSymbolCount < MAX_SYMBOLS_DRAWN) ? NUM_LABELS : NUM_LETTERS;
    std::string& used = mWordLists.UsedLetters();
    // Words in play also hold letters: when every candidate is taken the draw could
    // never end, so nothing is handed out.
    bool anyFree = false;
    for (int r = 0; r < n && !anyFree; ++r)
        anyFree = used.find(LabelChar(r)) == std::string::npos;
    if (!anyFree)
        return "";

    char c;
    do {
        c = LabelChar(static_cast<int>(GetGameRandom().Next() % static_cast<uint32_t>(n)));
    } while (used.find(c) != std::string::npos);
    used += c;
    if (c >= 'A' && c <= 'Z')
        ++mUsedLetterCount;
    else
        ++mUsedSymbolCount;
    return std::string(1, c);
}

void WinBTApp::FindCharInTypedText(char c)
{
    std::string& used = mWordLists.UsedLetters();
    const size_t at = used.find(c);
    if (at != std::string::npos)
        used.erase(at, 1);
}

std::string WinBTApp::GetTreasureName()
{
    static const char* const NAMES[] = {"Emerald", "Gem", "Crystal", "Ruby", "Diamond", "Sapphire"};
    const int i = GetTreasureIndex() - IMAGE_GEM_GREEN;
    return (i >= 0 && i < 6) ? NAMES[i] : "";
}

// ---- Two-part text.

void DrawStringChars(Graphics* g, int x, int y, const std::string& textA, const Color& colorA, Font* fontA,
                     const std::string& textB, const Color& colorB, Font* fontB, int width, bool centred)
{
    if (fontB == nullptr)
        fontB = fontA;
    if (fontA == nullptr)
        fontA = fontB;
    if (fontA == nullptr)
        return;
    if (centred)
        x += width / 2 - fontA->StringWidth(textA + textB) / 2;
    char one[2] = {0, 0};
    g->SetFont(fontA);
    g->SetColor(colorA);
    for (char c : textA) {
        one[0] = c;
        g->DrawString(one, x, y);
        x += fontA->CharWidth(c);
    }
    g->SetFont(fontB);
    g->SetColor(colorB);
    for (char c : textB) {
        one[0] = c;
        g->DrawString(one, x, y);
        x += fontB->CharWidth(c);
    }
}

} // namespace Zant
