// The profile values and the game shell services the board uses. Without a current
// profile (a board on its own, as in the tests) the board keeps the values itself.
#include <algorithm>

#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/profile/UserProfile.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

bool Board::IntroDone() const { return mApp->CurrentProfile() ? mApp->CurrentProfile()->mSeenTutorial : mIntroDone; }

void Board::SetIntroDone()
{
    mIntroDone = true;
    if (mApp->CurrentProfile())
        mApp->CurrentProfile()->mSeenTutorial = true;
    SaveProfile(false);
}

bool Board::SpacePauses() const { return mApp->CurrentProfile() ? mApp->CurrentProfile()->mSpacePauses : mSpacePauses; }

bool Board::ZapperHintDue() const { return mApp->CurrentProfile() ? mApp->GetProfileFlag() : mZapperHintDue; }

void Board::SetZapperHintDue(bool due)
{
    mZapperHintDue = due;
    mApp->SetProfileFlag(due);
}

void Board::MarkLevelReached(int level)
{
    if (mApp->CurrentProfile() && level >= 0 && level < UserProfile::NUM_SITES)
        mApp->CurrentProfile()->mSiteFlags[level] = true;
}

void Board::SaveProfile(bool finalWrite)
{
    if (mApp->CurrentProfile())
        mApp->WriteProfile(mApp->CurrentProfile(), finalWrite, false);
}

void Board::CountKill(int kind, bool abyss)
{
    if (mApp->CurrentProfile() == nullptr)
        return;
    if (kind == 0)
        mApp->CurrentProfile()->AddSharkKill(abyss);
    else
        mApp->CurrentProfile()->AddPiranhaKill(abyss);
}

void Board::MarkSecretItemFound(int level) { MarkLevelReached(level); }

void Board::CountSecretItem(int item)
{
    if (mApp->CurrentProfile())
        mApp->CurrentProfile()->AddSgttCount(item);
}

int Board::LoadAbyssBoss() const { return mApp->CurrentProfile() ? mApp->CurrentProfile()->GetAbyssBoss() : mAbyssBoss; }

void Board::StoreAbyssBoss(int value)
{
    if (mApp->CurrentProfile())
        mApp->CurrentProfile()->SetAbyssBoss(value);
}

double Board::ReadAdValue(int feet) const
{
    if (mApp->CurrentProfile())
        return mApp->CurrentProfile()->ReadAdValue(feet);
    return mPlayer ? mPlayer->mCharge : 0.0;
}

// The level start saves the charge the diver brings into the level too: a
// continued game restarts this level with it (a later "End game" keeps it).
void Board::SaveRunProgress() { mApp->SaveGameProgress(true, true); }

void Board::SaveAbyssProgress(int feet)
{
    UserProfile* profile = mApp->CurrentProfile();
    if (profile == nullptr)
        return;
    profile->mBestDepth = std::max(profile->mBestDepth, feet);
    // The dive's score so far goes with its depth: a dive that never ends properly
    // (the program killed, the power gone) keeps its best score as well.
    ModeRecord& abyss = profile->mModes[UserProfile::ABYSS_MODE_RECORD];
    abyss.mBestScore = std::max(abyss.mBestScore, mPlayer->mScore);
    // The store keeps the depth and the kill counts, the data file the score.
    mApp->WriteProfile(profile, false, false);
}

void Board::ShowLevelHint() { mApp->ShowLevelHint(); }

void Board::ShowHint(const std::string& header, const std::string& text) { mApp->ShowHintDialog(text, header); }

void Board::ShowMapScreen() { mApp->ShowMapScreen(); }

void Board::SendCommand(int id) { mApp->PressCommand(id); }

std::string Board::TakeLabelLetter() { return mApp->MakeRandomLetters(true); }

void Board::ReleaseLabelLetter(char c) { mApp->FindCharInTypedText(c); }

} // namespace Zant
