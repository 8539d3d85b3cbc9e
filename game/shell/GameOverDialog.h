#pragma once
// The end of a game: the run's score (with rank, or with depths in the abyss), its
// typing speed, level, accuracy and play time, and the choice to play again or go
// back to the main menu. Speed and accuracy are worked out once, when it is built.
#include <string>

#include "game/shell/MoneyDialog.h"

namespace Zant {

class Player;

class GameOverDialog : public MoneyDialog {
public:
    static constexpr int DIALOG_ID = 90210;
    // The buttons answer the dispatcher with these.
    static constexpr int PLAY_AGAIN_ID = DIALOG_ID + ID_YES;
    static constexpr int MAIN_MENU_ID = DIALOG_ID + ID_NO;
    // Neither speed nor accuracy has a value.
    static constexpr int NO_FIGURE = -1;

    GameOverDialog(WinBTApp* app, Player* player, bool isAbyss, int typingTime, int hits, int misses, int depth);

    // "m:ss" of a play time in milliseconds.
    static std::string FormatPlayTime(int ms);

    void OrderInManagerChanged() override;
    void Draw(Graphics* g) override;

public:
    Player* mPlayer;
    bool mIsAbyss;
    int mPlayTime = 0;
    int mWordsPerMinute = NO_FIGURE;
    int mAccuracy = NO_FIGURE;
    std::string mRankTitle;
    int mDepthReached;
    int mHits;
    int mMisses;
    int mTypingTime;

private:
    void ComputeStatistics();
    // Score lines; returns the y below the last one.
    int DrawScores(Graphics* g);
    void DrawFigures(Graphics* g, int below);
    bool mReordering = false;
};

} // namespace Zant
