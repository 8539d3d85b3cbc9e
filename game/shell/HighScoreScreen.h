#pragma once
// The high-score screen: the ten best adventure scores (name, score, difficulty) and
// the ten deepest abyss dives (name, depth) over a background that carries every
// heading. The application owns its close button.
#include <array>
#include <string>

#include "framework/widgets/Widget.h"
#include "game/shell/HighScoreTables.h"

namespace Zant {

class DialogButton;
class Font;
class UserProfileMgr;
class WinBTApp;

class HighScoreScreen : public Widget {
public:
    // The close button's id, answered by the application.
    static constexpr int CLOSE_ID = 3279;

    HighScoreScreen(WinBTApp* app, UserProfileMgr* profileMgr);

    void AddedToManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;

    // The name as the table shows it: cut, with "...", when wider than eight capital W.
    static std::string FitName(const std::string& name, Font* font);
    // "Easy" .. "Xtr" for the difficulties 0 .. 4; empty for any other value.
    static const std::string& DifficultyAbbreviation(int difficulty);
    // The close button the application makes for this screen (the caller owns it).
    static DialogButton* CreateCloseButton(WinBTApp* app);

    struct RowTexts {
        std::string mName;
        std::string mValue;
    };

public:
    WinBTApp* mApp;
    UserProfileMgr* mProfileMgr;
    // The rows' texts, made from the tables before drawing.
    std::array<RowTexts, HighScoreTables::NUM_ROWS> mAdventure;
    std::array<RowTexts, HighScoreTables::NUM_ROWS> mAbyss;
    std::array<int, HighScoreTables::NUM_ROWS> mDifficulty{};

private:
    void MakeRowTexts();
};

} // namespace Zant
