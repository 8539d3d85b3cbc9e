// Placing a new wave of sharks or piranhas: columns spread over the field's height,
// the first just beyond the right edge, each later creature trailing the one ahead
// in its row, never faster and far enough back for the words it carries.
#include <algorithm>

#include "framework/graphics/Font.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/creatures/StealthShark.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

bool IsStealthy(Enemy* creature, bool shark)
{
    const int type = creature->mEnemyType;
    if (shark)
        return type == ENEMY_STEALTH || type == ENEMY_RED_STEALTH || type == ENEMY_BLACK_STEALTH;
    return type == ENEMY_STEALTH || type == ENEMY_WHITE_STEALTH;
}

// Room the creature ahead needs for the words it carries after this one.
int ExtraRoom(Enemy* ahead, bool shark, int letterWidth)
{
    const int type = ahead->mEnemyType;
    if (shark) {
        if (type == ENEMY_BLACK || type == ENEMY_BLACK_STEALTH)
            return int(ahead->GetWord().size() + 1) * letterWidth;
        if (type == ENEMY_RED || type == ENEMY_RED_STEALTH) {
            auto* red = dynamic_cast<RedShark*>(ahead);
            const size_t second = red ? red->GetNextWord().size() : 0;
            return int(second + ahead->GetWord().size() + 2) * letterWidth;
        }
        return 0;
    }
    return type == ENEMY_WHITE || type == ENEMY_WHITE_STEALTH ? 30 : 0;
}

void RestoreStealthSpeed(Enemy* creature)
{
    if (auto* shark = dynamic_cast<StealthShark*>(creature))
        shark->RestoreSpeed();
    else if (auto* piranha = dynamic_cast<StealthPiranha*>(creature))
        piranha->RestoreSpeed();
}

} // namespace

int Board::WaveColumnSize()
{
    const int minCol = mConfig->GetWaveMinCol();
    const int maxCol = mConfig->GetWaveMaxCol();
    const int size = minCol + static_cast<int>(mApp->GetGameRandom().Next() % std::max(1, maxCol - minCol));
    // Levels that leave both bounds at their defaults would make columns of none.
    return std::max(1, size);
}

void Board::PlaceWaveGroup(int first)
{
    if (mConfig == nullptr)
        return;
    const int kind = mConfig->GetWaveKind();
    if (kind != WAVE_SHARKS && kind != WAVE_PIRANHAS)
        return;
    const bool sharks = kind == WAVE_SHARKS;
    std::vector<Enemy*> list;
    if (sharks)
        list.assign(mSharks.begin(), mSharks.end());
    else
        list.assign(mPiranhas.begin(), mPiranhas.end());
    first = std::max(first, 0);

    MersenneTwister& random = mApp->GetGameRandom();
    Font* messageFont = mAssets.mFontMyriad14Bold;
    Font* wordFont = mAssets.GetWordFont();
    const int fieldHeight = mPlayAreaBottom - (messageFont ? messageFont->GetHeight() : 0);
    const int columnSize = WaveColumnSize();
    const double factor = sharks ? 3.0 : 4.0;

    int k = 0;
    for (int i = first; i < int(list.size()); ++i, ++k) {
        Enemy* creature = list[i];
        const int letterWidth = wordFont ? wordFont->StringWidth("A") : 0;
        if (k % columnSize == 0)
            k = 0;
        Enemy* ahead = i - columnSize >= first ? list[i - columnSize] : nullptr;

        const int h = creature->GetHeight();
        const int w = creature->GetWidth();
        const int s = (fieldHeight - h) / columnSize;
        int y = fieldHeight - h;
        if (s > 40)
            y = std::min(k * s + static_cast<int>(random.Next() % (s - 40)) + 25, fieldHeight - h);
        creature->SetY(y);
        const int gap = 30 + static_cast<int>(random.Next() % 20);

        if (ahead == nullptr) {
            creature->SetReleased(true);
            random.Next(); // drawn and not used: the draw sequence depends on it
            creature->SetX(mWidth + static_cast<int>(random.Next() % 15));
            continue;
        }
        ahead->SetLeader(creature);
        creature->SetFollower(ahead);

        const double lx = ahead->mX;
        const int e = ExtraRoom(ahead, sharks, letterWidth);
        const bool aheadStealthy = IsStealthy(ahead, sharks);
        const bool stealthy = IsStealthy(creature, sharks);

        // A missing entry leaves the creature's own speed as the bounds.
        auto entryIt = mWaveEntries.find(creature->mEnemyType);
        const double entryMax = entryIt != mWaveEntries.end() ? entryIt->second.MaxSpeed : creature->GetSpeed();
        const double entryMin = entryIt != mWaveEntries.end() ? entryIt->second.MinSpeed : creature->GetSpeed();
        const double top = std::min(ahead->mVelX, entryMax);
        const double low = top > entryMin ? entryMin : top - 0.001;
        int n = static_cast<int>((top - low) * 1000);
        if (n <= 0)
            n = 1;
        creature->SetVelX(low + (random.Next() % n) * 0.001);
        if (stealthy)
            RestoreStealthSpeed(creature);

        // A creature ahead that stands still would never make room.
        const double ls = std::max(ahead->GetSpeed(), 0.001);
        const double speed = creature->GetSpeed();
        const double px = mPlayer->mX;
        double x = lx + e + w + gap;
        if (aheadStealthy && stealthy) {
            x = lx + gap + factor * (e + w) / ls;
        } else if (aheadStealthy && speed > ls) {
            const double b = lx + e + w;
            const double t1 = (e + w + 400 - px) / ls + (lx - 400) / factor;
            const double t2 = (b - px) / speed;
            x = t1 > t2 ? b + (t1 - t2) * speed : b;
        } else if (speed > ls) {
            x = lx + e + w + speed * (mWidth + e + w + gap - px) / ls;
        }
        creature->SetX(x);
    }
}

} // namespace Zant
