#include "game/shell/TutorFish.h"

#include "framework/util/MersenneTwister.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/GlowSharks.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

TutorFish::TutorFish(WinBTApp* app) : mApp(app) {}

TutorFish::~TutorFish() = default;

Enemy* TutorFish::Make(WinBTApp* app, int kind)
{
    switch (kind) {
    case BLACK_SHARK:
        return new BlackShark(app);
    case BONUS_CREATURE:
        return new BonusCreature(app);
    case PIRANHA:
        return new Piranha(app, nullptr);
    case RED_PIRANHA:
        return new RedPiranha(app, nullptr);
    case RED_SHARK:
        return new RedShark(app);
    case TOXIC_SHARK:
        return new ToxicShark(app);
    default:
        return new WhitePiranha(app, nullptr);
    }
}

void TutorFish::Add(int areaWidth, int areaHeight)
{
    // The draws come in a fixed order (kind, the creature's own, speed, side, depth),
    // so a seeded game makes the same school.
    MersenneTwister& random = mApp->GetGameRandom();
    const int kind = random.Next() % NUM_KINDS;
    std::unique_ptr<Enemy> fish(Make(mApp, kind));
    // No word, no attack: the creature swims past where the diver would be.
    fish->mReachedDiver = true;
    fish->mAttackSoundPlayed = true;
    if (auto* piranha = dynamic_cast<Piranha*>(fish.get()))
        piranha->mBiteSoundPlayed = true;
    const int speed = random.Next();
    double pace = 0.0;
    if (kind == BONUS_CREATURE) {
        // The jellyfish rises from the bottom through the middle.
        fish->SetState(BonusCreature::RISING);
        fish->SetX(areaWidth / 2);
        fish->SetY(areaHeight);
        fish->SetVelY(0.3);
    } else {
        if (random.Next() % 2 == 0) {
            fish->SetState(0);
            fish->SetX(RIGHT_START_X);
        } else {
            // The turned state swims to the right.
            fish->SetState(1);
            fish->SetX(-fish->GetWidth());
        }
        const int depthRange = areaHeight - TOP_Y - BOTTOM_MARGIN;
        fish->SetY(depthRange > 0 ? random.Next() % depthRange + TOP_Y : TOP_Y);
        pace = speed % 250 * 0.001 + 0.25;
        fish->SetVelX(pace);
    }
    fish->SetReleased(true);
    mFish.push_back({std::move(fish), pace});
}

void TutorFish::Update()
{
    for (size_t i = 0; i < mFish.size();) {
        Enemy& fish = *mFish[i].creature;
        fish.Update();
        if (mFish[i].pace > 0.0)
            fish.mVelX = mFish[i].pace;
        // Out of sight at either side or above: event 4 when it passes the left edge,
        // 5 when it leaves otherwise.
        bool gone = false;
        for (int event = fish.PopEvent(); event != EVENT_NONE; event = fish.PopEvent())
            gone = gone || event == EVENT_PASSED_DIVER || event == EVENT_REMOVE_ME;
        if (gone)
            mFish.erase(mFish.begin() + std::ptrdiff_t(i));
        else
            ++i;
    }
}

void TutorFish::Draw(Graphics* g)
{
    for (Swimmer& swimmer : mFish)
        swimmer.creature->Draw(g);
}

void TutorFish::Clear() { mFish.clear(); }

} // namespace Zant
