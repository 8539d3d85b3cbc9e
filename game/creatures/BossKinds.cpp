#include "game/creatures/BossKinds.h"

#include <algorithm>
#include <set>

#include "framework/graphics/Image.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

namespace {

// Abyss tuning by depth: the last band whose first depth has been reached.
struct DepthBand {
    int from;
    int health;
    // Shot speed base; word lengths where the kind has words.
    double base;
    int minWord;
    int maxWord;
};

template <size_t N>
const DepthBand& BandAt(const DepthBand (&bands)[N], int depth)
{
    size_t i = 0;
    while (i + 1 < N && depth >= bands[i + 1].from)
        ++i;
    return bands[i];
}

constexpr DepthBand TORPEDO_SPEEDS[] = {
    {0, 200, 0.0, 0, 0}, {4000, 200, 0.5, 0, 0}, {7000, 300, 0.9, 0, 0}, {10000, 300, 1.3, 0, 0}, {13000, 400, 1.7, 0, 0}};
constexpr DepthBand TORPEDO_WORDS[] = {{0, 0, 0, 3, 4}, {4000, 0, 0, 5, 6}, {7000, 0, 0, 5, 7}, {10000, 0, 0, 7, 7}};
constexpr DepthBand MECHA_HEALTH_WORDS[] = {
    {0, 200, 0, 4, 5}, {5001, 300, 0, 5, 7}, {8000, 300, 0, 6, 7}, {11000, 400, 0, 7, 7}};
constexpr DepthBand GALLEON_SPEEDS[] = {
    {0, 250, 0.0, 1, 1}, {7000, 300, 0.8, 1, 1}, {10000, 350, 1.0, 1, 1}, {14000, 350, 1.3, 1, 1}, {18000, 450, 1.6, 1, 1}};
constexpr DepthBand SQUID_SPEEDS[] = {
    {0, 250, 0.0, 1, 1}, {4001, 250, 0.8, 1, 1}, {6000, 300, 0.9, 1, 1}, {9000, 300, 1.3, 1, 1}, {12000, 400, 1.7, 1, 1}};

BossAbyssTuning Tuning(int health, double base, double minOffset, double maxOffset, int minWord, int maxWord)
{
    return {health, base + minOffset, base + maxOffset, minWord, maxWord};
}

} // namespace

void StepBackAndForth(int& frame, bool& rising, int last)
{
    const int next = rising ? frame + 1 : frame - 1;
    if (next < 0 || next > last)
        rising = !rising;
    else
        frame = next;
}

BossAbyssTuning TorpedoBoss::AbyssTuning(int depth)
{
    const DepthBand& speeds = BandAt(TORPEDO_SPEEDS, depth);
    const DepthBand& words = BandAt(TORPEDO_WORDS, depth);
    return Tuning(speeds.health, speeds.base, 0.4, 0.5, words.minWord, words.maxWord);
}

// ---- GhostShip

const BossKind GhostShip::KIND = {
    .bodyImage = IMAGE_BOSS_GALLEON,
    .deathImage = IMAGE_BOSS_GALLEON_DEATH,
    .bodyCels = 5,
    .minY = 30,
    .rowOffsets = {220, 266, 266},
    .periodicSound = false,
    .abyssTuning = &GhostShip::AbyssTuning,
};

BossAbyssTuning GhostShip::AbyssTuning(int depth)
{
    const DepthBand& band = BandAt(GALLEON_SPEEDS, depth);
    return Tuning(band.health, band.base, 0.8, 0.9, band.minWord, band.maxWord);
}

GhostShip::GhostShip(CreatureHost* app, Player* player, Config* config) : GhostShip(app, player, config, KIND) {}

GhostShip::GhostShip(CreatureHost* app, Player* player, Config* config, const BossKind& kind)
    : TorpedoBoss(app, player, config, kind)
{
}

std::string GhostShip::GetShotWord(int, int)
{
    std::set<std::string> carried;
    for (const Projectile* shot : mShots)
        carried.insert(shot->mWord);
    for (;;) {
        const std::string letter(1, static_cast<char>('A' + NextGameRandom() % 26));
        // With every letter carried no draw can be free; the last one is taken.
        if (carried.count(letter) == 0 || carried.size() >= 26)
            return letter;
    }
}

Projectile* GhostShip::CreateShot()
{
    return Launch(new CannonBall(mApp, this, mPlayer));
}

void GhostShip::Update()
{
    TorpedoBoss::Update();
    if (!IsDying() && mUpdateCount % RUDDER_PERIOD == 0)
        StepBackAndForth(mPart2Frame, mPart2Rising, mPart2Cels - 1);
}

void GhostShip::DrawParts(Graphics* g)
{
    DrawPart(g, mAssets.GetImage(IMAGE_BOSS_GALLEON_RUDDER), mPart2Frame, mPart2CellWidth, mPart2CellHeight, 121, 300);
}

// ---- MechaShark

const BossKind MechaShark::KIND = {
    .bodyImage = IMAGE_BOSS_MECHA,
    .deathImage = IMAGE_BOSS_MECHA_DEATH,
    .partImage = IMAGE_BOSS_MECHA_FIN,
    .partCellWidth = 39,
    .partX = 184,
    .partY = 60,
    .bodyCels = BODY_CELS,
    .rowOffsets = {98, 131, 165},
    .abyssTuning = &MechaShark::AbyssTuning,
};

BossAbyssTuning MechaShark::AbyssTuning(int depth)
{
    const DepthBand& speeds = BandAt(TORPEDO_SPEEDS, depth);
    const DepthBand& rest = BandAt(MECHA_HEALTH_WORDS, depth);
    return Tuning(rest.health, speeds.base, 0.4, 0.6, rest.minWord, rest.maxWord);
}

MechaShark::MechaShark(CreatureHost* app, Player* player, Config* config) : TorpedoBoss(app, player, config, KIND) {}

Projectile* MechaShark::CreateShot()
{
    return Launch(new MechaTorpedo(mApp, this, mPlayer));
}

void MechaShark::SetState(int state)
{
    switch (state) {
    case SWIMMING_IN:
    case WAITING:
    case FIGHTING:
        SetFrameSizeFrom(GetImage(0), 0);
        mFrameCount = BODY_CELS;
        break;
    case DYING: {
        BossExplosion e;
        e.x = mX + NextGameRandom() % std::max(1, mWidth);
        e.y = mY + NextGameRandom() % std::max(1, mHeight);
        mExplosions.push_back(e);
        SetFrameSizeFrom(GetImage(2), 0);
        mFrameCount = 1;
        break;
    }
    default:
        break;
    }
    TorpedoBoss::SetState(state);
}

void MechaShark::DrawParts(Graphics* g) { DrawPart(g, mPartImage, mFrame, mPartCellWidth, 0, mPartX, mPartY); }

// ---- MechaSquid

const BossKind MechaSquid::KIND = {
    .bodyImage = IMAGE_BOSS_SQUID,
    .deathImage = IMAGE_BOSS_SQUID_DEATH,
    .bodyCels = 10,
    .minXFromRight = 275,
    .xSpan = 50,
    .minY = 100,
    .rowOffsets = {7, 58, 120},
    .periodicSound = false,
    .abyssTuning = &MechaSquid::AbyssTuning,
};

BossAbyssTuning MechaSquid::AbyssTuning(int depth)
{
    const DepthBand& band = BandAt(SQUID_SPEEDS, depth);
    return Tuning(band.health, band.base, 0.7, 0.8, band.minWord, band.maxWord);
}

MechaSquid::MechaSquid(CreatureHost* app, Player* player, Config* config) : GhostShip(app, player, config, KIND)
{
    mPart2CellHeight = 47;
    mPart2CellWidth = 67;
    mPart2Cels = 10;
}

Projectile* MechaSquid::CreateShot()
{
    return Launch(new SquidCannonBall(mApp, this, mPlayer));
}

void MechaSquid::Update()
{
    TorpedoBoss::Update();
    if (IsDying())
        return;
    if (mUpdateCount % FIN_PERIOD == 0 && ++mPart2Frame >= mPart2Cels)
        mPart2Frame = 0;
    if (mUpdateCount % EYE_PERIOD == 0)
        StepBackAndForth(mEyeFrame, mEyeRising, EYE_CELS - 1);
}

void MechaSquid::DrawParts(Graphics* g)
{
    DrawPart(g, mAssets.GetImage(IMAGE_BOSS_SQUID_FIN), mPart2Frame, mPart2CellWidth, mPart2CellHeight, 217, 60);
    DrawPart(g, mAssets.GetImage(IMAGE_BOSS_SQUID_EYE), mEyeFrame, 12, 12, 133, 80);
}

} // namespace Zant
