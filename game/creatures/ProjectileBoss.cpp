#include "game/creatures/ProjectileBoss.h"

#include <algorithm>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"
#include "game/common/BTTimer.h"
#include "game/common/Config.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

namespace {

BTTimer* AddTimer(CreatureHost* app)
{
    auto* timer = new BTTimer();
    if (app->Widgets())
        app->Widgets()->AddWidget(timer);
    return timer;
}

// The manager must not keep updating a timer that is gone.
void RemoveTimer(BTTimer*& timer)
{
    if (timer == nullptr)
        return;
    if (timer->mWidgetManager)
        timer->mWidgetManager->RemoveWidget(timer);
    delete timer;
    timer = nullptr;
}

int ImageHeight(Image* image) { return image ? image->GetHeight() : 0; }

} // namespace

// ---- ProjectileBoss

ProjectileBoss::ProjectileBoss(CreatureHost* app, Player* player, Config* config)
    : Enemy(app), mPlayer(player), mConfig(config)
{
    mState = SWIMMING_IN;
    mAlpha = 255;
    mFireTimer = AddTimer(app);
    mFireTimer->SetDisabled(true);
    mHealth = mMaxHealth = 100;
    if (IsAbyss()) {
        mTimeToFire = 800.0;
        mHealth = mMaxHealth = 200;
        mBobSpeed = 0.2;
    } else if (const ConfigEnemy* entry = config ? config->GetWaveEnemy(0) : nullptr) {
        mTimeToFire = entry->TimeToFire;
        mHealth = mMaxHealth = entry->Health;
        mBobSpeed = entry->BobSpeed;
    }
    mStrafeSpeed = mBobSpeed;
    mVelX = ENTRY_SPEED;
    PushEvent(EVENT_BOSS_CREATED);
}

ProjectileBoss::~ProjectileBoss()
{
    RemoveTimer(mFireTimer);
    while (!mShots.empty())
        DeleteShot(mShots.size() - 1);
}

void ProjectileBoss::AddPausedTime(int ms)
{
    if (mFireTimer)
        mFireTimer->mPausedTotal += ms;
}

bool ProjectileBoss::IsAbyss() const { return mConfig != nullptr && mConfig->IsAbyssMode(); }

void ProjectileBoss::DeleteShot(size_t index)
{
    Projectile* shot = mShots[index];
    mShots.erase(mShots.begin() + static_cast<std::ptrdiff_t>(index));
    // The board reads its locked creature on the next key and on a shot's leaving;
    // a lock on this shot would point at freed memory, so the board lets go first.
    if (CreatureBoard* board = mApp->GetCreatureBoard())
        board->ForgetShot(shot);
    delete shot;
}

void ProjectileBoss::Move()
{
    mY += mBobSpeed;
    if (mY < mMinY || mY > mMaxY)
        mBobSpeed = -mBobSpeed;
    if (mState == FIGHTING) {
        if (mX < mMinX || mX > mMaxX)
            mStrafeSpeed = -mStrafeSpeed;
        mX += mStrafeSpeed;
    }
}

void ProjectileBoss::Update()
{
    Enemy::Update();
    for (size_t i = 0; i < mShots.size();) {
        mShots[i]->Update();
        if (HandleShotEvents(mShots[i]))
            DeleteShot(i);
        else
            ++i;
    }

    // Kinds that give no delay animate every fifth update rather than divide by zero.
    if (mFrameDelay <= 0)
        mFrameDelay = 5;
    if (mUpdateCount % mFrameDelay == 0 && ++mFrame >= mFrameCount) {
        mFrame = 0;
        if (mState == DYING)
            mDeathAnimDone = true;
    }

    switch (mState) {
    case SWIMMING_IN:
        Move();
        mX -= mVelX;
        if (mX <= mMinX) {
            mX = mMinX;
            SetState(WAITING);
        }
        break;
    case WAITING:
        Move();
        if (mFireTimer->GetElapsed() > WAIT_MS)
            SetState(FIGHTING);
        break;
    case HIT:
        Move();
        if (mPlayer && mApp->IsDiverInBossFight(mPlayer))
            SetState(FIGHTING);
        break;
    case DYING:
        mY -= 0.5;
        if (mY <= -mHeight && !mRemoveQueued) {
            mRemoveQueued = true;
            PushEvent(EVENT_REMOVE_ME);
        }
        break;
    default:
        break;
    }
}

void ProjectileBoss::SetState(int state)
{
    if (state == HIT && mHealth < 1) {
        SetState(DYING);
        return;
    }
    Enemy::SetState(state);
    switch (state) {
    case WAITING:
        mFireTimer->SetDisabled(false);
        mFireTimer->Reset();
        break;
    case FIGHTING:
        mFireTimer->Reset();
        PushEvent(EVENT_FIGHT_STARTED);
        break;
    case DYING:
        PushEvent(EVENT_BOSS_KILLED);
        for (Projectile* shot : mShots) {
            if (shot->mState != Projectile::EXPLODING) {
                shot->SetVelX(0.00001);
                shot->SetState(Projectile::EXPLODING);
            }
        }
        break;
    default:
        break;
    }
}

// ---- TorpedoBoss

const BossKind TorpedoBoss::KIND = {
    .bodyImage = IMAGE_BOSS_TORPEDO,
    .deathImage = IMAGE_BOSS_TORPEDO_DEATH,
    .partImage = IMAGE_BOSS_TORPEDO_ROTOR,
    .partCellWidth = 22,
    .partX = 227,
    .partY = 54,
    .bodyCels = 8,
    .rowOffsets = {65, 101, 135},
    .abyssTuning = &TorpedoBoss::AbyssTuning,
};

TorpedoBoss::TorpedoBoss(CreatureHost* app, Player* player, Config* config) : TorpedoBoss(app, player, config, KIND) {}

TorpedoBoss::TorpedoBoss(CreatureHost* app, Player* player, Config* config, const BossKind& kind)
    : ProjectileBoss(app, player, config), mKind(&kind)
{
    SetImage(0, app->Assets().GetImage(kind.bodyImage));
    SetImage(2, app->Assets().GetImage(kind.deathImage));
    mCurImage = GetImage(0);
    SetFrameSizeFrom(GetImage(0), 0);
    mFrameDelay = 5;
    mFrameCount = kind.bodyCels;

    mSoundTimer = AddTimer(app);
    mSoundTimer->Reset();
    if (!kind.periodicSound)
        mSoundTimer->SetDisabled(true);

    if (kind.partImage != 0) {
        mPartImage = app->Assets().GetImage(kind.partImage);
        mPartCellWidth = kind.partCellWidth;
        mPartX = kind.partX;
        mPartY = kind.partY;
        if (mPartImage && mPartCellWidth > 0)
            mPartCels = std::max(1, mPartImage->GetWidth() / mPartCellWidth);
    }

    const int screenWidth = app->ScreenWidth();
    const int lowest = app->ScreenHeight() - mHeight - ImageHeight(app->Assets().GetImage(IMAGE_STATUSBARX)) - 50;
    mMinX = screenWidth - kind.minXFromRight;
    mMaxX = mMinX + (kind.xSpan < 0 ? mWidth / 2 : kind.xSpan);
    mMaxY = lowest;
    mMinY = kind.minY < 0 ? lowest - 110 : kind.minY;
    mX = screenWidth;
    mY = mMaxY;
    std::copy(std::begin(kind.rowOffsets), std::end(kind.rowOffsets), mRowOffsets);

    if (IsAbyss()) {
        const BossAbyssTuning tuning = kind.abyssTuning(app->GetBoardAbyssDepth());
        mMinMissiles = 2;
        mMaxMissiles = 3;
        mMinMissileSpeed = tuning.minMissileSpeed;
        mMaxMissileSpeed = tuning.maxMissileSpeed;
        mMinWord = tuning.minWord;
        mMaxWord = tuning.maxWord;
        mHealth = mMaxHealth = tuning.health;
    } else if (const ConfigEnemy* entry = config ? config->GetWaveEnemy(0) : nullptr) {
        mMinMissiles = entry->MinMissiles;
        mMaxMissiles = entry->MaxMissiles;
        mMinMissileSpeed = entry->MinMissileSpeed;
        mMaxMissileSpeed = entry->MaxMissileSpeed;
    }
}

TorpedoBoss::~TorpedoBoss() { RemoveTimer(mSoundTimer); }

void TorpedoBoss::AddPausedTime(int ms)
{
    ProjectileBoss::AddPausedTime(ms);
    if (mSoundTimer)
        mSoundTimer->mPausedTotal += ms;
}

std::string TorpedoBoss::GetShotWord(int minDiff, int maxDiff) { return mApp->GetShotWord(minDiff, maxDiff); }

Projectile* TorpedoBoss::CreateShot() { return Launch(new Torpedo(mApp, this, mPlayer)); }

Projectile* TorpedoBoss::Launch(Projectile* shot)
{
    shot->SetX(mX - 100.0);
    shot->SetReleased(true);
    return shot;
}

int TorpedoBoss::ShotFrameDelay(double speed)
{
    if (speed > 0.5)
        return 3;
    if (speed > 0.4)
        return 4;
    if (speed > 0.3)
        return 5;
    return 6;
}

int TorpedoBoss::CountFlyingShots() const
{
    return static_cast<int>(
        std::count_if(mShots.begin(), mShots.end(), [](const Projectile* s) { return s->mState == Projectile::FLYING; }));
}

bool TorpedoBoss::HasFreeRow() const { return std::find(std::begin(mRowTaken), std::end(mRowTaken), false) != std::end(mRowTaken); }

void TorpedoBoss::FreeRow(const Projectile* shot)
{
    if (shot->mRow >= 1 && shot->mRow <= 3)
        mRowTaken[shot->mRow - 1] = false;
}

bool TorpedoBoss::HandleShotEvents(Projectile* shot)
{
    for (int event = shot->PopEvent(); event != EVENT_NONE; event = shot->PopEvent()) {
        switch (event) {
        case EVENT_SHOT_HIT_DIVER:
            if (!IsDying()) {
                PushEvent(EVENT_SHOT_HIT_DIVER);
                for (Projectile* other : mShots)
                    if (other != shot)
                        other->SetState(Projectile::FALLING);
            }
            break;
        case EVENT_SHOT_HIT_BOSS:
            if (!IsDying()) {
                mHealth -= shot->mDamage;
                SetState(HIT);
            }
            break;
        case EVENT_REMOVE_ME:
            FreeRow(shot);
            return true;
        case EVENT_WORD_COMPLETED:
            if (!IsDying() && !HasEvent(EVENT_BOSS_KILLED)) {
                PushEvent(EVENT_WORD_COMPLETED);
                FreeRow(shot);
                shot->SetState(Projectile::TURNING);
            }
            break;
        case EVENT_SHOT_LEFT_SCREEN:
            PushEvent(EVENT_SHOT_LEFT_SCREEN);
            break;
        case EVENT_DEATH_ANIM_DONE:
            if (shot->mVelX < 0.0)
                PushEvent(EVENT_DEATH_ANIM_DONE);
            break;
        default:
            break;
        }
    }
    return false;
}

void TorpedoBoss::Update()
{
    ProjectileBoss::Update();
    if (!IsDying() && mUpdateCount % mFrameDelay == 0 && ++mPartFrame >= mPartCels)
        mPartFrame = 0;

    if (IsDying()) {
        UpdateExplosions();
        return;
    }
    if (mSoundTimer->GetElapsed() > SOUND_MS) {
        mAssets.PlaySound(SOUND_SONARPING1);
        mSoundTimer->Reset();
    }
    if (mState == FIGHTING) {
        Move();
        TryVolley();
    }
}

void TorpedoBoss::UpdateExplosions()
{
    const bool step = mUpdateCount % 3 == 0;
    for (size_t i = 0; i < mExplosions.size();) {
        BossExplosion& e = mExplosions[i];
        if (step && ++e.frame > EXPLOSION_CELS - 1) {
            mExplosions.erase(mExplosions.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        e.y -= 0.5;
        ++i;
    }
    if (mUpdateCount % 7 == 0) {
        // Both spans may be empty (a boss at the right edge, or shorter than half an
        // explosion): the explosion then starts at the span's start.
        const int screenWidth = ScreenWidth();
        const int spanX = std::max(1, screenWidth - static_cast<int>(mMinX));
        const int spanY = std::max(1, mHeight - ImageHeight(mAssets.GetImage(IMAGE_SHOT_EXPLODE)) / 2);
        BossExplosion e;
        e.x = mMinX + NextGameRandom() % spanX;
        e.y = mY + NextGameRandom() % spanY;
        mExplosions.push_back(e);
    }
    if (mUpdateCount % 33 == 0)
        mAssets.PlaySound(SOUND_EXPLOSION);
}

void TorpedoBoss::TryVolley()
{
    if (mFireTimer->GetElapsed() < mTimeToFire || mPlayer == nullptr || !mApp->IsDiverInBossFight(mPlayer) ||
        !HasFreeRow())
        return;

    int minDiff = mMinWord;
    int maxDiff = mMaxWord;
    const bool abyss = IsAbyss();
    if (!abyss && mConfig) {
        if (const ConfigEnemy* last = mConfig->GetWaveEnemy(mConfig->GetWaveEnemyCount() - 1)) {
            minDiff = last->MinDiff;
            maxDiff = last->MaxDiff;
        }
    }
    const int depth = abyss ? mApp->GetBoardAbyssDepth() : 0;

    const int count = mMaxMissiles - CountFlyingShots();
    bool first = true;
    for (int i = 0; i < count; ++i) {
        Projectile* shot = PlaceShot();
        if (shot == nullptr)
            break;
        if (first)
            mAssets.PlaySound(SOUND_TORPEDOLAUNCH);
        first = false;
        for (int b = 0; b < 30; ++b) {
            const int x = static_cast<int>(shot->mX + shot->mWidth - 20) + NextGameRandom() % 40;
            const int y = static_cast<int>(shot->mY) + NextGameRandom() % 10;
            if (CreatureBoard* board = mApp->GetCreatureBoard())
                board->AddBubble(x, y);
        }
        PushEvent(EVENT_VOLLEY_FIRED);
        const int span = std::max(1, static_cast<int>((mMaxMissileSpeed - mMinMissileSpeed) * 1000));
        double speed = (NextGameRandom() % span) * 0.001 + mMinMissileSpeed;
        if (abyss)
            speed += (depth / 1000 - 1) * 0.08;
        shot->SetVelX(-speed);
        shot->SetLayer(ShotFrameDelay(speed));
        shot->SetWord(GetShotWord(minDiff, maxDiff));
        mShots.push_back(shot);
    }
    mFireTimer->Reset();
}

Projectile* TorpedoBoss::PlaceShot()
{
    for (int row = 0; row < 3; ++row) {
        if (mRowTaken[row])
            continue;
        Projectile* shot = CreateShot();
        shot->SetY(mY + mRowOffsets[row]);
        const bool blocked = std::any_of(mShots.begin(), mShots.end(), [shot](const Projectile* other) {
            return other->mState == Projectile::FLYING && shot->mX < other->mX + other->mWidth &&
                   other->mX < shot->mX + shot->mWidth && shot->mY < other->mY + other->mHeight &&
                   other->mY < shot->mY + shot->mHeight;
        });
        if (blocked) {
            delete shot;
            continue;
        }
        mRowTaken[row] = true;
        shot->mRow = row + 1;
        return shot;
    }
    return nullptr;
}

void TorpedoBoss::Draw(Graphics* g)
{
    GameObject::Draw(g);
    DrawBoss(g);
}

void TorpedoBoss::DrawBoss(Graphics* g)
{
    const int dx = static_cast<int>(mDrawX);
    const int dy = static_cast<int>(mDrawY);
    if (!IsDying()) {
        if (Image* body = GetImage(0))
            g->DrawImage(body, dx, dy);
        DrawParts(g);
    } else {
        if (Image* death = GetImage(2)) {
            g->SetColorizeImages(true);
            g->SetColor(Color(255, 255, 255, mAlpha));
            g->DrawImage(death, dx, dy);
            g->SetColorizeImages(false);
        }
        if (Image* strip = mAssets.GetImage(IMAGE_SHOT_EXPLODE)) {
            const int cell = strip->GetWidth() / EXPLOSION_CELS;
            for (const BossExplosion& e : mExplosions)
                g->DrawImage(strip, static_cast<int>(e.x), static_cast<int>(e.y),
                             Rect(e.frame * cell, 0, cell, strip->GetHeight()));
        }
    }
    for (Projectile* shot : mShots)
        shot->Draw(g);
}

void TorpedoBoss::DrawParts(Graphics* g)
{
    DrawPart(g, mPartImage, mPartFrame, mPartCellWidth, 0, mPartX, mPartY);
}

void TorpedoBoss::DrawPart(Graphics* g, Image* strip, int frame, int cellWidth, int cellHeight, int offsetX,
                           int offsetY)
{
    if (strip == nullptr)
        return;
    const int height = cellHeight > 0 ? cellHeight : strip->GetHeight();
    g->DrawImage(strip, static_cast<int>(mDrawX) + offsetX, static_cast<int>(mDrawY) + offsetY,
                 Rect(frame * cellWidth, 0, cellWidth, height));
}

} // namespace Zant
