#include "game/shell/TestProbe.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/EditWidget.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/play/Board.h"
#include "game/common/Config.h"
#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "game/shell/DifficultyDialog.h"
#include "game/play/FadeButton.h"
#include "game/shell/LessonManager.h"
#include "game/shell/MapScreen.h"
#include "game/shell/MenuScreen.h"
#include "game/shell/NewUserDialog.h"
#include "game/shell/StatsScreen.h"
#include "game/shell/TabbedWidget.h"
#include "game/shell/TitleScreen.h"
#include "game/shell/TypingTutor.h"
#include "game/shell/WinBTApp.h"
#include "game/shell/XWidget.h"

namespace Zant {

namespace {

std::string RectText(const Widget* w)
{
    return std::to_string(w->mX) + "," + std::to_string(w->mY) + "," + std::to_string(w->mWidth) + "," +
           std::to_string(w->mHeight);
}

const char* ScreenName(const WinBTApp& app)
{
    if (app.mTitleScreen != nullptr)
        return "title";
    if (app.mMapScreen != nullptr && app.mMapScreen->mVisible)
        return "map";
    if (app.mBoard != nullptr && app.mBoard->mVisible)
        return "board";
    // The statistics opened from the tutor stand in front of it.
    if (app.mStatsScreen != nullptr)
        return "stats";
    if (app.mTypingTutor != nullptr)
        return "tutor";
    if (app.mHighScoreScreen != nullptr)
        return "highscores";
    if (app.mMenuScreen != nullptr)
        return "menu";
    return "none";
}

// "<id>=x,y,w,h ..." of the screen buttons a player can click now: the title's, the
// menu's, the status bar's, the typing tutor's and the statistics screen's close.
std::string ClickableButtons(const WinBTApp& app)
{
    std::vector<const ButtonWidget*> buttons;
    if (const TypingTutor* tutor = app.mTypingTutor; tutor != nullptr && tutor->mVisible)
        buttons.insert(buttons.end(), {tutor->mNextButton, tutor->mPrevButton, tutor->mMenuButton,
                                       tutor->mOptionsButton});
    if (app.mStatsScreen != nullptr)
        buttons.push_back(dynamic_cast<const ButtonWidget*>(app.mStatsCloseButton));
    if (app.mTitleScreen != nullptr)
        buttons.push_back(app.mTitleScreen->mContinueButton);
    if (app.mMenuScreen != nullptr)
        buttons.insert(buttons.end(), app.mMenuScreen->mButtons.begin(), app.mMenuScreen->mButtons.end());
    if (app.mStatusBar != nullptr && app.mStatusBar->mVisible && !app.mStatusBar->mDisabled)
        buttons.insert(buttons.end(), app.mStatusBar->mButtons.begin(), app.mStatusBar->mButtons.end());
    std::string text;
    for (const ButtonWidget* button : buttons)
        if (button != nullptr && button->mVisible && !button->mDisabled)
            text += (text.empty() ? "" : " ") + std::to_string(button->mId) + "=" + RectText(button);
    return text;
}

// "header|yes=x,y,w,h|no=..." and, for the difficulty choice, its five buttons.
std::string DialogText(Dialog* dialog)
{
    std::string text = dialog->mDialogHeader;
    if (dialog->mYesButton != nullptr && dialog->mYesButton->mVisible)
        text += "|yes=" + RectText(dialog->mYesButton);
    if (dialog->mNoButton != nullptr && dialog->mNoButton->mVisible)
        text += "|no=" + RectText(dialog->mNoButton);
    if (auto* entry = dynamic_cast<NewUserDialog*>(dialog))
        text += "|edit=" + RectText(entry->mEditWidget) + "|name=" + entry->GetName();
    if (auto* difficulty = dynamic_cast<DifficultyDialog*>(dialog))
        for (int i = 0; i < DifficultyDialog::NUM_DIFFICULTIES; ++i)
            text += "|" + std::to_string(DifficultyDialog::FIRST_BUTTON_ID + i) + "=" +
                    RectText(difficulty->Button(i));
    return text;
}

// The words the board takes a letter for now, nearest the diver first: "WORD/typed".
std::string TypableWords(const Board& board)
{
    std::vector<std::pair<double, std::string>> words;
    auto add = [&](const Enemy* creature) {
        if (creature->mState == 0 || creature->mState == Shark::FLASHING)
            words.emplace_back(creature->mX, creature->mWord + "/" + std::to_string(creature->mTypedCount));
    };
    for (const Shark* shark : board.mSharks)
        if (shark->mX + 20 < board.mWidth && shark->mActive)
            add(shark);
    for (const Piranha* piranha : board.mPiranhas)
        if (piranha->mX + 20 < board.mWidth && piranha->mActive)
            add(piranha);
    for (const BonusCreature* creature : board.mBonusCreatures)
        if (creature->mY + 20 < board.mHeight && creature->mActive && !creature->mTaken)
            add(creature);
    std::stable_sort(words.begin(), words.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string text;
    for (const auto& [x, word] : words)
        text += (text.empty() ? "" : " ") + word;
    if (board.mPlayer->mState == Player::TREASURE_WORD && !board.mTreasureWord.empty())
        text += (text.empty() ? "" : " ") + board.mTreasureWord + "/" + std::to_string(board.mTreasureTyped);
    return text;
}

} // namespace

std::unique_ptr<TestProbe> TestProbe::FromEnvironment(WinBTApp& app)
{
    if (const char* speed = std::getenv(ENV_SPEED); speed != nullptr && *speed != '\0') {
        const int factor = std::atoi(speed);
        if (factor >= 1 && factor <= MAX_SPEED)
            app.mUpdateMultiplier = factor;
        else
            std::fprintf(stderr, "%s: %s is not a speed from 1 to %d\n", ENV_SPEED, speed, MAX_SPEED);
    }
    const char* path = std::getenv(ENV_FILE);
    if (path == nullptr || *path == '\0')
        return nullptr;
    std::FILE* file = std::fopen(path, "a");
    if (file == nullptr) {
        std::fprintf(stderr, "%s: cannot open %s\n", ENV_FILE, path);
        return nullptr;
    }
    return std::make_unique<TestProbe>(file);
}

TestProbe::~TestProbe() { std::fclose(mFile); }

std::map<std::string, std::string> TestProbe::Observe(WinBTApp& app)
{
    std::map<std::string, std::string> now;
    now["screen"] = ScreenName(app);
    for (const auto& [id, dialog] : app.mDialogMap)
        now["dialog " + std::to_string(id)] = DialogText(dialog);
    if (const Board* board = app.mBoard) {
        const Player* player = board->mPlayer;
        now["board"] = "level=" + std::to_string(board->mConfig != nullptr ? board->mConfig->GetLevel() : -1) +
                       " state=" + std::to_string(player->mState) + " lives=" + std::to_string(player->mLives) +
                       " paused=" + std::to_string(board->mPaused ? 1 : 0);
        now["words"] = TypableWords(*board);
    }
    now["buttons"] = ClickableButtons(app);
    if (const TypingTutor* tutor = app.mTypingTutor)
        now["tutor"] = "lesson=" + std::to_string(tutor->mLessonManager->mCurLesson) +
                       " state=" + std::to_string(tutor->mState) + " paused=" + std::to_string(tutor->mPauseCount);
    if (const StatsScreen* stats = app.mStatsScreen)
        now["stats"] = "tab=" + std::to_string(stats->mTabs->mSelected);
    if (const MapScreen* map = app.mMapScreen; map != nullptr && map->mVisible) {
        std::string text = "site=" + std::to_string(map->mChosenSite) + " letter=" + map->mChosenLetter;
        for (const XWidget* marker : map->mMarkers)
            text += " " + std::string(1, marker->mLetter) + "=" + std::to_string(marker->mSiteNumber) + "@" +
                    RectText(marker);
        now["map"] = text;
    }
    return now;
}

void TestProbe::Update(WinBTApp& app, int update)
{
    const std::map<std::string, std::string> now = Observe(app);
    const std::string prefix = std::to_string(update) + " ";
    for (const auto& [key, value] : mLast)
        if (now.find(key) == now.end())
            std::fprintf(mFile, "%s%s -\n", prefix.c_str(), key.c_str());
    for (const auto& [key, value] : now) {
        auto last = mLast.find(key);
        if (last == mLast.end() || last->second != value)
            std::fprintf(mFile, "%s%s %s\n", prefix.c_str(), key.c_str(), value.c_str());
    }
    std::fflush(mFile);
    mLast = now;
}

} // namespace Zant
