// What the board and the creatures ask of the game: WinBTApp as their BoardHost and
// CreatureHost.
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/play/BoardRecords.h"
#include "game/play/Player.h"
#include "game/profile/UserProfile.h"
#include "game/shell/GameOverDialog.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

std::string WinBTApp::GetShotWord(int minLen, int maxLen) { return mWordLists.GetUniqueWord(minLen, maxLen); }

bool WinBTApp::IsDiverInBossFight(const Player* diver) const { return diver->mState == Player::BOSS_FIGHT; }

double WinBTApp::DiverX(const Player* diver) const { return diver->mX; }

double WinBTApp::DiverY(const Player* diver) const { return diver->mY; }

CreatureBoard* WinBTApp::GetCreatureBoard() const { return mBoard; }

void WinBTApp::ForgetUsedLetters()
{
    mWordLists.UsedLetters().clear();
    mUsedLetterCount = 0;
    mUsedSymbolCount = 0;
}

void WinBTApp::WriteProfile(UserProfile* profile, bool enterScore, bool registryOnly)
{
    if (mProfileMgr)
        mProfileMgr->WriteUserProfileToRegistry(profile, enterScore, registryOnly);
}

GameOverDialog* WinBTApp::OpenGameOverDialog(Player* player, const GameOverFigures& figures, int depthReached)
{
    const GameOverFigures& f = figures;
    auto* dialog = new GameOverDialog(this, player, f.abyss, f.typingTime, f.hits, f.misses, f.depth);
    if (f.abyss)
        dialog->mDepthReached = depthReached;
    dialog->mPlayTime = f.playTime;
    dialog->mRankTitle = f.rankTitle;
    AddDialog(Board::GAME_OVER_DIALOG, dialog);
    return dialog;
}

void WinBTApp::CloseGameOverDialog(Player* player)
{
    // The game-over dialog goes with its board, but only this board's own: after
    // "play again" the next board's dialog holds the same id while this board still
    // waits for its deletion. Its diver tells them apart.
    if (auto* open = dynamic_cast<GameOverDialog*>(FindDialog(Board::GAME_OVER_DIALOG));
        open != nullptr && open->mPlayer == player)
        RemoveDialog(Board::GAME_OVER_DIALOG);
}

} // namespace Zant
