#include "game/creatures/BossShot.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/creatures/ProjectileBoss.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

namespace {

// The diver's box against shots, relative to the diver's position.
constexpr int DIVER_RIGHT = 29;
constexpr int DIVER_TOP = 4;
constexpr int DIVER_BOTTOM = 78;

constexpr HullBox TORPEDO_HULL[] = {{25, 218, 53, 153}, {80, 155, 1, 46}};
constexpr HullBox MECHA_HULL[] = {{28, 184, 65, 210}, {111, 156, 4, 70}};
constexpr HullBox GALLEON_HULL[] = {{25, 159, 33, 324}};
constexpr HullBox SQUID_HULL[] = {{32, 132, 0, 144}, {120, -1, 48, 106}};

constexpr double RETURN_ACCELERATION = 0.05;
constexpr double RETURN_TOP_SPEED = 3.0;
constexpr double FALL_ACCELERATION = 0.05;

} // namespace

// ---- Projectile

Projectile::Projectile(CreatureHost* app, ProjectileBoss* boss, Player* player)
    : Enemy(app), mBoss(boss), mPlayer(player), mShotFont(app->Assets().GetShotFont())
{
    mState = FLYING;
    mFrameCount = 1;
    mFrameDelay = 11;
}

bool Projectile::Overlaps(double left, double right, double top, double bottom, double left2, double right2,
                          double top2, double bottom2)
{
    return left <= right2 && left2 <= right && top <= bottom2 && top2 <= bottom;
}

bool Projectile::HitsDiver()
{
    if (mPlayer == nullptr || !mApp->IsDiverInBossFight(mPlayer) || mVelX >= 0.0)
        return false;
    const double px = mApp->DiverX(mPlayer);
    const double py = mApp->DiverY(mPlayer);
    return Overlaps(mX, mX + mWidth, mY, mY + mHeight, px, px + DIVER_RIGHT, py + DIVER_TOP, py + DIVER_BOTTOM);
}

bool Projectile::HitsBoss()
{
    if (mBoss == nullptr || mVelX <= 0.0)
        return false;
    return Overlaps(mX, mX + mWidth, mY, mY + mHeight, mBoss->mX, mBoss->mX + mBoss->mWidth, mBoss->mY,
                    mBoss->mY + mBoss->mHeight);
}

bool Projectile::HitsHull(const HullBox* boxes, int count)
{
    if (mBoss == nullptr || mVelX <= 0.0)
        return false;
    const double bx = mBoss->mX;
    const double by = mBoss->mY;
    for (int i = 0; i < count; ++i) {
        const HullBox& box = boxes[i];
        const double right = box.right < 0 ? bx + mBoss->mWidth : bx + box.right;
        if (Overlaps(mX, mX + mWidth, mY, mY + mHeight, bx + box.left, right, by + box.top, by + box.bottom))
            return true;
    }
    return false;
}

void Projectile::Update()
{
    if (!mActive)
        return;
    Enemy::Update();
    if (mState == EXPLODING)
        return;
    if (mState == FALLING) {
        mVelX -= FALL_ACCELERATION;
        if (mX <= -mWidth || mX + mWidth >= ScreenWidth()) {
            PushEvent(EVENT_SHOT_LEFT_SCREEN);
            PushEvent(EVENT_REMOVE_ME);
        }
        return;
    }
    if (HitsDiver()) {
        PushEvent(EVENT_SHOT_HIT_DIVER);
        SetState(EXPLODING);
        mFrameDelay = 6;
    } else if (HitsBoss() && !mBoss->IsDying()) {
        PushEvent(EVENT_SHOT_HIT_BOSS);
        SetState(EXPLODING);
    } else if (mX <= -mWidth || mX >= ScreenWidth()) {
        PushEvent(EVENT_SHOT_LEFT_SCREEN);
        PushEvent(EVENT_REMOVE_ME);
    }
}

void Projectile::Draw(Graphics* g)
{
    if (mActive)
        GameObject::Draw(g);
}

// ---- Torpedo

Torpedo::Torpedo(CreatureHost* app, ProjectileBoss* boss, Player* player) : Enemy(app), Projectile(app, boss, player)
{
    mImages.assign(SLOTS, nullptr);
    SetImage(SLOT_BODY, app->Assets().GetImage(IMAGE_SHOT_TORPEDO));
    SetImage(SLOT_EXPLODE_LEFT, app->Assets().GetImage(IMAGE_SHOT_EXPLODE));
    SetImage(SLOT_RETURNING, app->Assets().mTorpedoSwimMirror);
    SetImage(SLOT_TURN, app->Assets().GetImage(IMAGE_SHOT_TORPEDO_TURN));
    SetImage(SLOT_EXPLODE_RIGHT, app->Assets().GetImage(IMAGE_SHOT_EXPLODE));
    mCurImage = GetImage(SLOT_BODY);
    SetFrameSizeFrom(GetImage(SLOT_BODY), 0);
    mFrameDelay = 4;
    mFrameCount = BODY_CELS;
    mDamage = 10;
    mVelX = 0.0;
}

bool Torpedo::HitsBoss() { return HitsHull(TORPEDO_HULL, 2); }

void Torpedo::TypeLetter()
{
    if (mWord.empty())
        return;
    ++mTypedCount;
    if (mTypedCount == static_cast<int>(mWord.size())) {
        mTypedCount = static_cast<int>(mWord.size()) - 1;
        PushEvent(EVENT_WORD_COMPLETED);
        SetState(TURNING);
        mVelX = -mVelX;
    }
    SplitWord();
}

void Torpedo::SetState(int state)
{
    Enemy::SetState(state);
    mFrame = 0;
    switch (state) {
    case EXPLODING:
        mAssets.PlaySound(SOUND_EXPLOSION);
        mFrameCount = EXPLODE_CELS;
        mFrameDelay = 3;
        SetFrameSizeFrom(GetImage(SLOT_EXPLODE_LEFT), EXPLODE_CELS);
        break;
    case TURNING:
        mFrameCount = TURN_CELS;
        SetFrameSizeFrom(GetImage(SLOT_TURN), TURN_CELS);
        break;
    case RETURNING:
        // The returning and flying images are whole bodies; the propeller turns apart.
        mFrameCount = BODY_CELS;
        SetFrameSizeFrom(GetImage(SLOT_RETURNING), 0);
        break;
    case FALLING:
        mFrameCount = BODY_CELS;
        SetFrameSizeFrom(GetImage(SLOT_BODY), 0);
        break;
    default:
        break;
    }
}

void Torpedo::Update()
{
    if (mFrameDelay > 0 && mUpdateCount % mFrameDelay == 0 && ++mFrame >= mFrameCount) {
        if (mState == EXPLODING) {
            mFrame = EXPLODE_CELS - 1;
            if (!mExplosionReported) {
                mExplosionReported = true;
                PushEvent(EVENT_DEATH_ANIM_DONE);
                PushEvent(EVENT_REMOVE_ME);
            }
        } else if (mState == TURNING) {
            SetState(RETURNING);
        } else {
            mFrame = 0;
        }
    }
    if ((mState == FLYING || mState == FALLING) && mUpdateCount % 5 == 0 && mTrailFrame < TRAIL_CELS)
        ++mTrailFrame;

    Projectile::Update();

    if (mState == RETURNING) {
        mVelX += RETURN_ACCELERATION;
        if (mVelX > RETURN_TOP_SPEED)
            mVelX = RETURN_TOP_SPEED;
    }
    if (mState == FLYING || mState == RETURNING || mState == FALLING || mState == TURNING)
        mX += mVelX;
}

void Torpedo::DrawExplosion(Graphics* g)
{
    const int dx = static_cast<int>(mDrawX);
    const int dy = static_cast<int>(mDrawY);
    const Rect cell(mFrame * mWidth, 0, mWidth, mHeight);
    if (mVelX < 0.0) {
        if (Image* strip = GetImage(SLOT_EXPLODE_LEFT))
            g->DrawImage(strip, dx - mWidth + 20, dy - 55, cell);
    } else if (mVelX > 0.0) {
        if (Image* strip = GetImage(SLOT_EXPLODE_RIGHT))
            g->DrawImage(strip, dx + 23, dy - 55, cell);
    }
}

void Torpedo::DrawTrail(Graphics* g)
{
    Image* trail = mAssets.GetImage(IMAGE_SHOT_TRAIL);
    if (trail == nullptr || mTrailFrame >= TRAIL_CELS)
        return;
    g->DrawImage(trail, static_cast<int>(mDrawX) - 30, static_cast<int>(mDrawY) - 30,
                 Rect(mTrailFrame * TRAIL_CELL_WIDTH, 0, TRAIL_CELL_WIDTH, TRAIL_CELL_HEIGHT));
}

void Torpedo::Draw(Graphics* g)
{
    Projectile::Draw(g);
    if (!mActive)
        return;
    const int dx = static_cast<int>(mDrawX);
    const int dy = static_cast<int>(mDrawY);
    Image* rotor = mAssets.GetImage(IMAGE_SHOT_ROTOR);
    switch (mState) {
    case FLYING:
    case FALLING:
        if (Image* body = GetImage(SLOT_BODY))
            g->DrawImage(body, dx, dy);
        if (rotor)
            g->DrawImage(rotor, dx + 113, dy, Rect(mFrame * ROTOR_CELL, 0, ROTOR_CELL, rotor->GetHeight()));
        DrawTrail(g);
        break;
    case RETURNING:
        if (Image* body = GetImage(SLOT_RETURNING))
            g->DrawImage(body, dx, dy);
        if (Image* mirror = mAssets.mRotorTorpedoMirror)
            g->DrawImage(mirror, dx, dy, Rect(mFrame * ROTOR_CELL, 0, ROTOR_CELL, mirror->GetHeight()));
        break;
    case TURNING:
        if (Image* turn = GetImage(SLOT_TURN))
            g->DrawImage(turn, dx, dy, Rect(mFrame * mWidth, 0, mWidth, mHeight));
        break;
    case EXPLODING:
        DrawExplosion(g);
        break;
    default:
        break;
    }

    if (mState != FLYING || IsBoardPaused() || mShotFont == nullptr)
        return;
    // The word stays where it stood untyped; the typed letters change colour in place.
    const int halfWord = mShotFont->StringWidth(mWord) / 2;
    const int left = static_cast<int>(mDrawX + mWidth / 2 - halfWord - 5);
    const int baseline = static_cast<int>(mDrawY + mHeight / 2 + 5);
    g->SetFont(mShotFont);
    if (mTypedCount <= 0) {
        g->SetColor(Color(0, 0, 0));
        g->DrawString(mWord, left, baseline);
        return;
    }
    // The typed letters' green, in the shade that reads on the torpedo's white body.
    g->SetColor(Color(13, 120, 12));
    g->DrawString(mTypedPart, left, baseline);
    g->SetColor(Color(0, 0, 0));
    g->DrawString(mRemainingPart,
                  static_cast<int>(mDrawX + mWidth / 2 + mShotFont->StringWidth(mTypedPart) - halfWord - 5), baseline);
}

// ---- MechaTorpedo

bool MechaTorpedo::HitsBoss() { return HitsHull(MECHA_HULL, 2); }

// ---- CannonBall

CannonBall::CannonBall(CreatureHost* app, ProjectileBoss* boss, Player* player) : Enemy(app), Torpedo(app, boss, player)
{
    SetImage(SLOT_BODY, app->Assets().GetImage(IMAGE_SHOT_CANNONBALL));
    SetImage(SLOT_RETURNING, app->Assets().mCannonballMirror);
    SetImage(SLOT_TURN, app->Assets().GetImage(IMAGE_SHOT_CANNONBALL_TURN));
    mCurImage = GetImage(SLOT_BODY);
    // The strips run downwards; the word and the hit tests need one cell's size.
    mWidth = CELL_WIDTH;
    mHeight = CELL_HEIGHT;
    mFrameCount = BALL_CELS;
}

bool CannonBall::HitsBoss() { return HitsHull(GALLEON_HULL, 1); }

void CannonBall::SetState(int state)
{
    Torpedo::SetState(state);
    switch (state) {
    case TURNING:
        mFrameCount = TURN_CELS;
        mWidth = CELL_WIDTH;
        mHeight = CELL_HEIGHT;
        break;
    case RETURNING:
    case FALLING:
        mFrameCount = BALL_CELS;
        mWidth = CELL_WIDTH;
        mHeight = CELL_HEIGHT;
        break;
    default:
        break;
    }
}

void CannonBall::Draw(Graphics* g)
{
    Projectile::Draw(g);
    if (!mActive)
        return;
    const int dx = static_cast<int>(mDrawX);
    const int dy = static_cast<int>(mDrawY);
    const Rect cell(0, mFrame * CELL_HEIGHT, CELL_WIDTH, CELL_HEIGHT);
    Image* strip = nullptr;
    switch (mState) {
    case FLYING:
    case FALLING:
        strip = GetImage(SLOT_BODY);
        break;
    case RETURNING:
        strip = GetImage(SLOT_RETURNING);
        break;
    case TURNING:
        strip = GetImage(SLOT_TURN);
        break;
    case EXPLODING:
        DrawExplosion(g);
        break;
    default:
        break;
    }
    if (strip)
        g->DrawImage(strip, dx, dy, cell);
    if (mState == FLYING || mState == FALLING)
        DrawTrail(g);

    if (mState != FLYING || IsBoardPaused() || mShotFont == nullptr)
        return;
    g->SetFont(mShotFont);
    g->SetColor(Color(0, 0, 0));
    g->DrawString(mWord, static_cast<int>(mDrawX + 18), static_cast<int>(mDrawY + mHeight / 2 + 8));
}

// ---- SquidCannonBall

bool SquidCannonBall::HitsBoss() { return HitsHull(SQUID_HULL, 2); }

} // namespace Zant
