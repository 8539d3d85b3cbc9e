#include "game/shell/GameOverDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/graphics/Color.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/Rect.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "game/profile/UserProfile.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {

constexpr int ADVENTURE_WIDTH = 400;
constexpr int ADVENTURE_HEIGHT = 300;
constexpr int ABYSS_WIDTH = 370;
constexpr int ABYSS_HEIGHT = 380;
// An abyss game shorter than this, or ending above the first saved depth, has too
// little typing to judge.
constexpr int MIN_ABYSS_DEPTH = 400;
constexpr int MIN_ABYSS_TYPING_MS = 25000;
constexpr int SAVE_STEP_FEET = 400;
const Color BLACK(0, 0, 0);
// The plain shades on the dialog's see-through glass keep a margin past 4.5:1
// (about 5:1): the scene behind the glass changes what they stand on.
const Color GREY(91, 91, 91);
// The best figures' blue (101, 128, 217) and the rank's (45, 99, 255), darkened
// (scaled towards black, keeping their hue) as far as it takes to read at about
// 5:1 by themselves on the dialog's pale glass, whatever scene is behind it.
const char* const BEST_FIGURE = "^4A5D9D^";
const char* const RANK_TITLE = "^2654D8^";

int Height(Font* font) { return font ? font->GetHeight() : 0; }

} // namespace

GameOverDialog::GameOverDialog(WinBTApp* app, Player* player, bool isAbyss, int typingTime, int hits, int misses,
                               int depth)
    : MoneyDialog(app, app->GetImage(IMAGE_DIALOG), app->GetImage(IMAGE_DBUTTON), DIALOG_ID, true, "GAME OVER", "",
                  "", BUTTONS_YES_NO),
      mPlayer(player), mIsAbyss(isAbyss), mDepthReached(depth), mHits(hits), mMisses(misses), mTypingTime(typingTime)
{
    mYesButton->mLabel = "PLAY AGAIN";
    mNoButton->mLabel = "MAIN MENU";
    app->DressDialog(this);
    ComputeStatistics();
    const int width = mIsAbyss ? ABYSS_WIDTH : ADVENTURE_WIDTH;
    const int height = mIsAbyss ? ABYSS_HEIGHT : ADVENTURE_HEIGHT;
    Resize(app->mWidth / 2 - width / 2, app->CentredDialogTop(height), width, height);
}

void GameOverDialog::ComputeStatistics()
{
    mWordsPerMinute = mAccuracy = NO_FIGURE;
    const bool tooShort = mIsAbyss ? (mDepthReached < MIN_ABYSS_DEPTH || mTypingTime < MIN_ABYSS_TYPING_MS)
                                   : (mPlayer == nullptr || mPlayer->mLevelIndex == 0);
    // Nothing typed at all leaves no speed to work out.
    if (tooShort || mTypingTime <= 0)
        return;
    const double minutes = mTypingTime * 0.001 / 60.0;
    // Five letters make a word.
    const double raw = std::trunc(0.2 * mHits / minutes);
    const double penaltyMinutes = std::max(minutes, 1.0);
    mWordsPerMinute = static_cast<int>(std::trunc(std::trunc(0.75 * raw) - 0.2 * mMisses / penaltyMinutes));
    mWordsPerMinute = std::max(mWordsPerMinute, NO_FIGURE);
    if (mHits + mMisses > 0)
        mAccuracy = static_cast<int>(std::trunc(100.0 * mHits / (mHits + mMisses)));
}

std::string GameOverDialog::FormatPlayTime(int ms)
{
    const int seconds = ms / 1000;
    char text[24];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

void GameOverDialog::OrderInManagerChanged()
{
    // The buttons lie just in front of the dialog, wherever it was moved, so they
    // stay visible and clickable.
    if (mReordering || mWidgetManager == nullptr || !mWidgetManager->HasWidget(mYesButton) ||
        !mWidgetManager->HasWidget(mNoButton))
        return;
    mReordering = true;
    mWidgetManager->PutBehind(mYesButton, this);
    mWidgetManager->PutBehind(mNoButton, this);
    mWidgetManager->PutBehind(this, mYesButton);
    mReordering = false;
}

void GameOverDialog::Draw(Graphics* g)
{
    MoneyDialog::Draw(g);
    if (mApp->mFontRockwell13Bold == nullptr || mApp->mFontRockwell13 == nullptr)
        return;
    DrawFigures(g, DrawScores(g));
}

int GameOverDialog::DrawScores(Graphics* g)
{
    Font* bold = mApp->mFontRockwell13Bold;
    const int line = Height(bold);
    const int contentWidth = mWidth - mContentInsets.mLeft - mContentInsets.mRight;
    const int score = mPlayer ? mPlayer->mScore : 0;
    int y = mContentInsets.mTop + 60;
    g->SetFont(bold);
    g->SetColor(BLACK);
    if (!mIsAbyss) {
        WriteWordWrapped(g, Rect(mContentInsets.mLeft, y, contentWidth, line), "Score: ^494949^" + std::to_string(score),
                         -1, 0);
        y = mContentInsets.mTop + 55 + line;
        WriteWordWrapped(g, Rect(mContentInsets.mLeft, y, contentWidth, line), std::string("Rank: ") + RANK_TITLE + mRankTitle, -1, 0);
        return y + line;
    }
    const UserProfile* profile = mApp->mCurProfile;
    const int bestScore = profile ? profile->mModes[UserProfile::ABYSS_MODE_RECORD].mBestScore : 0;
    const int bestDepth = std::max(mDepthReached, mApp->GetProfileAnnoDomini());
    const int boxWidth = contentWidth - 50;
    auto row = [&](const Color& colour, const std::string& text) {
        g->SetColor(colour);
        WriteWordWrapped(g, Rect(0, y, boxWidth, line), text, -1, 1);
        y += line;
    };
    row(BLACK, "Your Score: ^3D56B0^" + std::to_string(score));
    row(GREY, "Highest Score: " + std::string(BEST_FIGURE) + std::to_string(bestScore));
    y += 10;
    row(BLACK, "^000000^Your Depth: ^3D56B0^" + std::to_string(mDepthReached));
    row(GREY, "Best Depth: " + std::string(BEST_FIGURE) + std::to_string(bestDepth));
    return y + 15;
}

void GameOverDialog::DrawFigures(Graphics* g, int below)
{
    Font* font = mApp->mFontRockwell13;
    const int line = Height(font);
    const int first = below - 10 + 2 * line;
    const int second = first + line;
    constexpr int FIELD_HEIGHT = 20;
    constexpr int RIGHT_COLUMN = 210;
    g->SetFont(font);
    g->SetColor(BLACK);
    const std::string wpm = mWordsPerMinute < 0 ? "N/A" : std::to_string(mWordsPerMinute);
    WriteWordWrapped(g, Rect(mContentInsets.mLeft + 10, first, 128, FIELD_HEIGHT), "^000000^WPM: ^575757^" + wpm, -1,
                     1);
    const std::string level =
        mIsAbyss ? "^575757^Abyss" : "^575757^" + std::to_string((mPlayer ? mPlayer->mLevelIndex : 0) + 1);
    WriteWordWrapped(g, Rect(RIGHT_COLUMN, first, 128, FIELD_HEIGHT), "^000000^Level: " + level, -1, -1);
    const std::string accuracy =
        mAccuracy == NO_FIGURE ? "^575757^N/A" : "^575757^" + std::to_string(mAccuracy) + "%";
    WriteWordWrapped(g, Rect(mContentInsets.mLeft - 10, second, 148, FIELD_HEIGHT), "^000000^Accuracy: " + accuracy,
                     -1, 1);
    WriteWordWrapped(g, Rect(RIGHT_COLUMN, second, 128, FIELD_HEIGHT),
                     "^000000^Time: ^575757^" + FormatPlayTime(mPlayTime), -1, -1);
    if (mIsAbyss) {
        // Word-wrapped in its box under the figures, which reaches the right inset so
        // that the note takes one line; kept above the buttons should it reach them.
        const std::string note = "Your progress is saved every " + std::to_string(SAVE_STEP_FEET) + " feet.";
        constexpr int NOTE_X = 75;
        const int NOTE_WIDTH = mWidth - mContentInsets.mRight - NOTE_X;
        const int height = GetWordWrappedHeight(g, NOTE_WIDTH, note);
        const int buttonTop = mYesButton ? mYesButton->mY - mY : mHeight;
        const int y = std::min(second + FIELD_HEIGHT + line, buttonTop - height - 4);
        g->SetColor(GREY);
        WriteWordWrapped(g, Rect(NOTE_X, y, NOTE_WIDTH, 3 * line), note, -1, -1);
    }
}

} // namespace Zant
