#include "game/shell/HighScoreScreen.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/DialogButton.h"
#include "game/shell/KeyboardGuide.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {

constexpr int FIRST_ROW_Y = 165;
constexpr int ADVENTURE_NAME_X = 49;
// Scores end at x 264, depths at x 581.
constexpr int SCORE_RIGHT = 264;
constexpr int DEPTH_RIGHT = 581;
constexpr int DIFFICULTY_X = 281;
constexpr int DIFFICULTY_WIDTH = 38;
constexpr int ABYSS_NAME_X = 389;
// The columns' blue-grey (102, 139, 159), gold (178, 158, 88) and copper
// (181, 107, 64), each darkened (scaled towards black, keeping its hue) as far as
// it takes to read at about 5:1 by itself down to the cream's darkest row: a
// margin past 4.5:1 for the scene behind the see-through face.
const Color SCORE_COLOR(64, 86, 99);
const Color DIFFICULTY_COLOR(93, 83, 46);
const Color DEPTH_COLOR(120, 71, 43);
constexpr int RIGHT = 1;
constexpr int CENTRED = 0;

} // namespace

HighScoreScreen::HighScoreScreen(WinBTApp* app, UserProfileMgr* profileMgr) : mApp(app), mProfileMgr(profileMgr)
{
    MakeRowTexts();
}

void HighScoreScreen::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    // The tables may have changed (a game ended) since the screen was made.
    MakeRowTexts();
}

void HighScoreScreen::MakeRowTexts()
{
    Font* font = mApp->mFontRockwell13;
    for (int row = 0; row < HighScoreTables::NUM_ROWS; ++row) {
        const HighScoreEntry adventure = mProfileMgr->GetHighScore(false, row);
        const HighScoreEntry abyss = mProfileMgr->GetHighScore(true, row);
        mAdventure[size_t(row)] = {FitName(adventure.mName, font), std::to_string(adventure.mScore)};
        mAbyss[size_t(row)] = {FitName(abyss.mName, font), std::to_string(abyss.mScore)};
        mDifficulty[size_t(row)] = adventure.mDifficulty;
    }
}

std::string HighScoreScreen::FitName(const std::string& name, Font* font)
{
    if (font == nullptr)
        return name;
    const int limit = font->StringWidth("WWWWWWWW");
    if (font->StringWidth(name) <= limit)
        return name;
    size_t taken = 0;
    while (taken < name.size() && font->StringWidth(name.substr(0, taken)) < limit)
        ++taken;
    return name.substr(0, taken > 0 ? taken - 1 : 0) + "...";
}

const std::string& HighScoreScreen::DifficultyAbbreviation(int difficulty)
{
    static const std::string NAMES[] = {"Easy", "Norm", "Hard", "Exp", "Xtr", ""};
    return NAMES[difficulty >= 0 && difficulty < 5 ? difficulty : 5];
}

DialogButton* HighScoreScreen::CreateCloseButton(WinBTApp* app)
{
    auto* button = new DialogButton(app->GetImage(IMAGE_DBUTTON), CLOSE_ID, app);
    app->DressLightButton(button);
    button->Resize(221, 443, 193, 27);
    button->mLabel = "Close This Screen";
    button->mHasAlpha = true;
    return button;
}

void HighScoreScreen::Draw(Graphics* g)
{
    if (Image* background = mApp->GetImage(KeyboardGuide::ImageIndex("high_score_bg")))
        g->DrawImage(background, 0, 0);
    Font* font = mApp->mFontRockwell13;
    if (font == nullptr)
        return;
    g->SetFont(font);
    for (int row = 0; row < HighScoreTables::NUM_ROWS; ++row) {
        const int y = FIRST_ROW_Y + row * font->GetHeight();
        const RowTexts& adventure = mAdventure[size_t(row)];
        g->SetColor(Color::Black);
        WriteString(g, adventure.mName, ADVENTURE_NAME_X, y);
        g->SetColor(SCORE_COLOR);
        WriteString(g, adventure.mValue, 0, y, SCORE_RIGHT, RIGHT);
        g->SetColor(DIFFICULTY_COLOR);
        WriteString(g, DifficultyAbbreviation(mDifficulty[size_t(row)]), DIFFICULTY_X, y, DIFFICULTY_WIDTH, CENTRED);

        const RowTexts& abyss = mAbyss[size_t(row)];
        g->SetColor(Color::Black);
        WriteString(g, abyss.mName, ABYSS_NAME_X, y);
        g->SetColor(DEPTH_COLOR);
        WriteString(g, abyss.mValue, 0, y, DEPTH_RIGHT, RIGHT);
    }
}

} // namespace Zant
