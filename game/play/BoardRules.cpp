// The board's rules during play: the counted pause, the letter lock, the room a
// waiting creature needs, the bonus-wave layout, clam letters, the secret item, the
// message line, the danger music and the board's widget operations.
#include <algorithm>

#include "framework/graphics/Font.h"
#include "framework/graphics/Rect.h"
#include "framework/sound/SoundInstance.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/ProjectileBoss.h"
#include "game/creatures/Shark.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

constexpr int CONTINUE_LINK_ID = 300;
constexpr int MUSIC_DANGER = 37;
constexpr int MUSIC_NEAR_DIVER = 43;
// The first of the four secret-item images of the image table.
constexpr int IMAGE_SECRET_ITEM_FIRST = 191;

} // namespace

std::array<BTTimer*, 6> Board::GameTimers() const
{
    return {mGameClock, mWaveTimer, mWordTimer, mHintTimer, mMessageTimer, mTallyTimer};
}

int Board::Difficulty() const
{
    if (mConfig != nullptr && mConfig->IsAbyssMode())
        return -1;
    return mApp->Difficulty();
}

bool Board::IsAbyss() const { return mConfig != nullptr && mConfig->IsAbyssMode(); }

int Board::WaveKindInPlay() const { return mConfig ? mConfig->GetPrevWaveKind() : -1; }

void Board::ClearLock()
{
    mLockedEnemy = nullptr;
    mTypedText.clear();
}

// ---- Pause

void Board::Pause(bool pause)
{
    if (pause) {
        mApp->SelectGameCursor(0);
        const int phase = mPlayer->mState;
        const bool special = mConfig != nullptr && mConfig->IsSpecialLevel();
        if (phase == Player::TALLY && special) {
            if (mLevelDonePanel)
                mLevelDonePanel->SetVisible(false);
        } else if (phase == Player::LEVEL_COMPLETE || phase == Player::BOSS_TALLY) {
            return;
        }
        if (!mPaused)
            mPauseTimer->Reset();
        mPaused = true;
        if (mPauseCount == 0 && mApp->AmbienceLoop())
            mApp->AmbienceLoop()->SetVolume(0.0);
        ++mPauseCount;
        if (mApp->GetStatusBar()) {
            mApp->GetStatusBar()->HideTips();
            mApp->GetStatusBar()->ShowReadyTip(false);
        }
        MarkDirty();
        return;
    }

    if (--mPauseCount == 0) {
        if (mConfig != nullptr && mConfig->IsSpecialLevel() && mPlayer->mState == Player::TALLY && mLevelDonePanel)
            mLevelDonePanel->SetVisible(true);
        if (mApp->AmbienceLoop())
            mApp->AmbienceLoop()->SetVolume(1.0);
        mPlayer->SetReleased(true);
        mPaused = false;
        const int length = mPauseTimer->GetElapsed();
        mPausedTime += length;
        for (BTTimer* timer : GameTimers())
            timer->mPausedTotal += length;
        if (mBoss)
            mBoss->AddPausedTime(length);
        if (mApp->GetStatusBar()) {
            mApp->GetStatusBar()->ShowReadyTip(true);
            mApp->GetStatusBar()->MouseLeave();
        }
    }
    if (mPauseCount < 0)
        mPauseCount = 0;
}

// ---- Letter lock

bool Board::TryLockEnemy(char letter, Enemy* creature)
{
    if (creature->mState != 0 && creature->mState != 6)
        return false;
    const size_t index = mTypedText.size();
    // A stale typed count can run past the word: no letter there to match.
    if (index >= creature->mWord.size() || creature->mWord[index] != letter)
        return false;
    mAssets.PlaySound(SOUND_TYPE + static_cast<int>(mApp->GetGameRandom().Next() % 3));
    mLockedEnemy = creature;
    creature->TypeLetter();
    mTypedText += letter;
    if (mConfig != nullptr && mConfig->GetPrevWaveKind() != WAVE_BONUS)
        creature->SetX(creature->mX + mConfig->GetPrevWaveKnockBack());
    return true;
}

// ---- Room test

namespace {

// The width a creature still needs for the words it carries after this one.
int ReservedWordWidth(Enemy* creature, int letterWidth)
{
    auto* black = dynamic_cast<BlackShark*>(creature);
    if (black == nullptr)
        return 0;
    const int type = creature->mEnemyType;
    int extra = 0;
    if ((type == ENEMY_BLACK || type == ENEMY_BLACK_STEALTH || type == ENEMY_RED || type == ENEMY_RED_STEALTH) &&
        !black->mSecondWord.empty())
        extra += int(creature->mWord.size() + 1) * letterWidth;
    if (type == ENEMY_RED || type == ENEMY_RED_STEALTH)
        if (auto* red = dynamic_cast<RedShark*>(creature); red && !red->mThirdWord.empty())
            extra += int(black->mSecondWord.size() + 1) * letterWidth;
    return extra;
}

} // namespace

bool Board::CheckCreatureRoom(Enemy* creature)
{
    // The wave the creature belongs to is the one in play: the configuration's current
    // wave is already the next one.
    const int kind = WaveKindInPlay();
    if (kind == WAVE_SHARKS || kind == WAVE_PIRANHAS)
        return !(creature->mX > mWidth);
    if (kind != WAVE_BONUS)
        return true;

    const double startY = mHeight + creature->GetHeight();
    Rect box(int(creature->mX), int(startY), creature->GetWidth(), creature->GetHeight());
    Font* clamFont = mAssets.GetClamFont();
    const int letterWidth = clamFont ? clamFont->StringWidth("A") : 0;
    for (BonusCreature* other : mBonusCreatures) {
        if (other == creature || !other->mActive)
            continue;
        const Rect otherBox(int(other->mX), int(other->mY), other->GetWidth() + ReservedWordWidth(other, letterWidth),
                            other->GetHeight());
        if (box.Intersects(otherBox))
            return false;
        box.x = otherBox.x;
        if (!box.Intersects(otherBox))
            continue;
        const double dv = creature->mVelY - other->mVelY;
        if (dv == 0.0)
            continue;
        const double t = ((other->mY + other->GetHeight()) - startY) / dv;
        if (startY - creature->mVelY * t > 35.0)
            return false;
    }
    return true;
}

// ---- Bonus layout

void Board::PlaceBonusCreatures(int first)
{
    if (first < 0)
        first = 0;
    MersenneTwister& random = mApp->GetGameRandom();
    random.Next(); // drawn and not used: the draw sequence depends on it
    int groupSize = 4 + int(random.Next() & 1);
    int row = 0;
    int k = 0;
    double baseX = 0.0;
    double baseY = 0.0;
    for (int i = first; i < int(mBonusCreatures.size()); ++i) {
        BonusCreature* creature = mBonusCreatures[i];
        if (k % groupSize == 0) {
            k = 0;
            if (i > 0) {
                groupSize = 4 + int(random.Next() & 1);
                ++row;
            }
            baseX = mPlayer->mX + mPlayer->GetWidth();
            baseY = creature->GetHeight() * row + 25 + mHeight;
        }
        creature->SetX(baseX);
        creature->SetY(baseY + random.Next() % 25);
        baseX += creature->GetWidth();
        baseX += random.Next() % 30;
        creature->SetReleased(true);
        ++k;
    }
}

// ---- Clam letters and the secret item

std::string Board::PickFreeClamLetter()
{
    // With every letter on a clam there is none to give.
    if (mClams.size() >= 26) {
        std::string letters;
        for (Clam* clam : mClams)
            letters += clam->mWord;
        bool allUsed = true;
        for (char c = 'A'; c <= 'Z' && allUsed; ++c)
            allUsed = letters.find(c) != std::string::npos;
        if (allUsed)
            return "";
    }
    MersenneTwister& random = mApp->GetGameRandom();
    for (;;) {
        const std::string candidate(1, char('A' + random.Next() % 26));
        const bool taken = std::any_of(mClams.begin(), mClams.end(),
                                       [&](Clam* clam) { return clam->mWord == candidate; });
        if (!taken)
            return candidate;
    }
}

void Board::AwardSecretItem()
{
    mPlayer->SetState(Player::TALLY);
    ShowContinueLink();
    MarkSecretItemFound(mConfig ? mConfig->GetLevel() : 0);
    const unsigned r = mApp->GetGameRandom().Next();
    const int item = int(r & 3);
    CountSecretItem(item);
    mSecretItemImage = mAssets.GetImage(IMAGE_SECRET_ITEM_FIRST + item);
    SaveProfile(false);
    mAssets.PlaySound(SOUND_WINGEM);
    mLevelTime = mGameClock->GetElapsed();
    for (Clam* clam : mClams)
        clam->SetState(3);
}

// ---- Message line, boss scene, danger music

void Board::ShowMessage(const std::string& text)
{
    mMessageText = text;
    mMessageTimer->Reset();
    mMessageAlpha = 255;
}

bool Board::IsBossSceneReached()
{
    return mConfig != nullptr && mConfig->IsLastWaveSpecial() && !mPlayer->mZapperFiring &&
           mPlayer->mState == Player::PLAYING && mScrollDistance > mLeadInHeight && !mConfig->IsPastFixedLevels();
}

void Board::UpdateDangerMusic(Enemy* creature, bool active)
{
    if (!active)
        return;
    const int song = mApp->CurrentSong();
    if (creature->mX <= 160.0 && song != MUSIC_DANGER && song != MUSIC_NEAR_DIVER) {
        mApp->PlaySong(MUSIC_DANGER);
        return;
    }
    if (creature->mX <= 15.0 && song != MUSIC_NEAR_DIVER)
        mApp->PlaySong(MUSIC_NEAR_DIVER);
}

int Board::CountActiveEnemyLists() const
{
    return int(!mSharks.empty()) + int(!mPiranhas.empty()) + int(!mBonusCreatures.empty());
}

// ---- Widget operations

void Board::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    if (mLevelDonePanel == nullptr) {
        auto* link = new HyperlinkWidget(CONTINUE_LINK_ID, mApp->Framework());
        link->SetVisible(false);
        Font* font = mAssets.mFontMyriad14Bold;
        link->SetFont(font);
        link->mColor = Color(0, 255, 0);
        link->mOverColor = Color(255, 255, 255);
        link->mLabel = "Press space bar to continue";
        link->SetDisabled(true);
        mLevelDonePanel = link;
        PlaceContinueLink(LINK_GAP);
    }
    manager->AddWidget(mLevelDonePanel);
    mLevelDonePanel->SetHandCursor(true);
    mLevelDonePanel->SetDisabled(true);
    for (BTTimer* timer : {mPauseTimer, mWaveTimer, mWordTimer, mHintTimer, mMessageTimer, mTallyTimer, mGameClock,
                           mZapperTimer, mLastTimer})
        if (!manager->HasWidget(timer))
            manager->AddWidget(timer);
}

void Board::PlaceContinueLink(int gap)
{
    if (mLevelDonePanel == nullptr)
        return;
    Font* font = mLevelDonePanel->mFont;
    const int width = (font ? font->StringWidth(mLevelDonePanel->mLabel) : 0) + 10;
    const int height = (font ? font->GetHeight() : 0) + 10;
    mLevelDonePanel->Resize(mApp->ScreenWidth() / 2 - width / 2, mPlayAreaBottom - gap - height, width, height);
}

void Board::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    if (mLevelDonePanel && manager->HasWidget(mLevelDonePanel))
        manager->RemoveWidget(mLevelDonePanel);
    for (BTTimer* timer : Timers())
        if (manager->HasWidget(timer))
            manager->RemoveWidget(timer);
}

void Board::SetVisible(bool visible)
{
    Widget::SetVisible(visible);
    if (mPlayer->mState == Player::LEVEL_COMPLETE && mLevelDonePanel)
        mLevelDonePanel->SetVisible(visible);
    if (visible) {
        if (mGameClock->mStopped) {
            mGameClock->SetDisabled(false);
            mGameClock->Reset();
        }
        if (mWidgetManager)
            mWidgetManager->SetFocus(this);
        if (SoundInstance* ambience = mApp->AmbienceLoop()) {
            // The loop starts and stops wherever it is, and the pause mutes it: a
            // short fade keeps each of these from clicking.
            constexpr double AMBIENCE_FADE_SECONDS = 0.01;
            ambience->SetFade(AMBIENCE_FADE_SECONDS);
            ambience->Play(true, false);
        }
    } else if (mApp->AmbienceLoop()) {
        mApp->AmbienceLoop()->Stop();
    }
}

void Board::SetDisabled(bool disabled)
{
    Widget::SetDisabled(disabled);
    if (mPlayer->mState == Player::LEVEL_COMPLETE && mLevelDonePanel)
        mLevelDonePanel->SetDisabled(disabled);
}

void Board::MouseMove(int x, int y)
{
    mApp->SelectGameCursor(0);
    StatusBar* bar = mApp->GetStatusBar();
    if (bar == nullptr)
        return;
    const int phase = mPlayer->mState;
    const bool quietPhase = phase == Player::FLOOR_REACHED || phase == Player::TREASURE_WORD ||
                            phase == Player::TALLY || phase == Player::LEVEL_COMPLETE ||
                            phase == Player::GAME_OVER || phase == Player::BOSS_TALLY;
    if (y > mPlayAreaBottom && x < 371 && !mPaused && !quietPhase)
        bar->MouseEnter();
    else
        bar->MouseLeave();
}

// ---- The "EXTRA LIFE!" pulse

void BoardHeader::Step()
{
    if (!mPlayer->mExtraLifeEarned)
        return;
    if (mRising) {
        mAlpha += 2;
        if (mAlpha > 254) {
            mAlpha = 255;
            mRising = false;
        }
    } else {
        mAlpha -= 2;
        if (mAlpha < 1) {
            mAlpha = 0;
            mRising = true;
            if (++mPulseCount > 3) {
                mPlayer->mExtraLifeEarned = false;
                mPulseCount = 0;
                mAlpha = 0;
                mRising = true;
            }
        }
    }
    if (mApp->GetBoard())
        mApp->GetBoard()->MarkDirty();
}

} // namespace Zant
