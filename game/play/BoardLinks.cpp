// The profile values and the game shell services the board uses. The player
// profiles and the shell's dialogs are not part of the build yet, so the board keeps
// these values itself for now; each operation is the one place that will reach them.
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

bool Board::IntroDone() const { return mIntroDone; }

void Board::SetIntroDone()
{
    mIntroDone = true;
    SaveProfile(false);
}

bool Board::SpacePauses() const { return mSpacePauses; }

bool Board::ZapperHintDue() const { return mZapperHintDue; }

void Board::SetZapperHintDue(bool due) { mZapperHintDue = due; }

void Board::MarkLevelReached(int) {}

void Board::SaveProfile(bool) {}

void Board::CountKill(int, bool) {}

void Board::MarkSecretItemFound(int) {}

void Board::CountSecretItem(int) {}

int Board::LoadAbyssBoss() const { return mAbyssBoss; }

void Board::StoreAbyssBoss(int) {}

double Board::ReadAdValue(int) const { return mPlayer ? mPlayer->mCharge : 0.0; }

} // namespace Zant

namespace Zant {

// The game shell's dialogs and saved games are not part of the build yet.
void Board::SaveRunProgress() {}

void Board::ShowLevelHint() {}

void Board::ShowHint(const std::string&, const std::string&) {}

void Board::ShowMapScreen() {}

void Board::SendCommand(int id) { mApp->ButtonDepress(id); }

// Piranha labels: a letter not yet on the board, drawn from the game's generator.
std::string Board::TakeLabelLetter()
{
    std::string& used = mApp->mWordLists.UsedLetters();
    if (mApp->mUsedLetterCount >= 26 || used.size() >= 26)
        return "";
    char c = 0;
    do
        c = static_cast<char>('A' + mApp->GetGameRandom().Next() % 26);
    while (used.find(c) != std::string::npos);
    used += c;
    ++mApp->mUsedLetterCount;
    return std::string(1, c);
}

void Board::ReleaseLabelLetter(char c)
{
    std::string& used = mApp->mWordLists.UsedLetters();
    if (const size_t at = used.find(c); at != std::string::npos)
        used.erase(at, 1);
}

} // namespace Zant
