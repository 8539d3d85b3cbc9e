#include "game/creatures/GlowSharks.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/CreatureMaps.h"
#include "game/common/BTTimer.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

namespace {

// The glow strips' cels are this much larger than the body's, centred on it.
constexpr int GLOW_MARGIN = 10;

} // namespace

// ---- The glowing draw

void Shark::DrawGlowing(Graphics* g, const GlowImages& look)
{
    if (!mActive)
        return;
    GameObject::Draw(g);

    Image* glow = look.glowSwim;
    Image* body = look.bodySwim;
    bool wholeBody = false;
    switch (mState) {
    case SWIMMING:
    case FLEEING:
        break;
    case TURNED:
        glow = look.glowMirrored;
        body = look.bodyMirrored;
        break;
    case DYING:
        glow = look.glowDeath;
        body = look.bodyDeath;
        break;
    case BLINKING:
        if (mBlinkOn) {
            glow = nullptr;
            body = look.shock;
            wholeBody = true;
        }
        break;
    case FLASHING:
        if (mFlashOn) {
            glow = nullptr;
            body = GetImage(SLOT_RED);
        }
        break;
    default:
        return;
    }

    const int x = static_cast<int>(mDrawX);
    const int y = static_cast<int>(mDrawY);
    if (glow != nullptr) {
        g->SetDrawMode(DRAWMODE_ADDITIVE);
        const int glowWidth = mWidth + 2 * GLOW_MARGIN;
        const int glowHeight = mHeight + 2 * GLOW_MARGIN;
        g->DrawImage(glow, static_cast<int>(mDrawX - GLOW_MARGIN), static_cast<int>(mDrawY - GLOW_MARGIN),
                     Rect(mFrame * glowWidth, 0, glowWidth, glowHeight));
        g->SetDrawMode(DRAWMODE_NORMAL);
    }
    if (body != nullptr) {
        if (wholeBody)
            g->DrawImage(body, x, y);
        else
            g->DrawImage(body, x, y, Rect(mSrcX, 0, mWidth, mHeight));
    }
    if (ShowsWord() && !IsBoardPaused())
        DrawSharkWord(g, mWordColor, mTypedColor);
}

// ---- ToxicShark

ToxicShark::ToxicShark(CreatureHost* app) : Enemy(app), Shark(app)
{
    mTypedColor = Color(255, 255, 255);
    mWordColor = Color(0, 0, 0);
    mTextOffsetX = 7;
    SetImage(SLOT_SWIM, app->Assets().GetSharkImage(MAP_TOXIC, VARIANT_SWIM));
    SetImage(SLOT_DEATH, app->Assets().GetSharkImage(MAP_TOXIC, VARIANT_DEATH));
    SetImage(SLOT_RED, app->Assets().GetSharkImage(MAP_TOXIC, VARIANT_RED));
    SetImage(SLOT_MIRRORED, app->Assets().mToxicSwimMirror);
    SetCurrentSlot(SLOT_SWIM);
    SetFrameSizeFrom(GetImage(SLOT_SWIM), SWIM_CELS);
    mSrcX = mFrame * mWidth;

    mMutateTimer = new BTTimer();
    if (app->Widgets())
        app->Widgets()->AddWidget(mMutateTimer);
}

ToxicShark::~ToxicShark()
{
    // The manager must not update a timer that is gone.
    if (mMutateTimer->mWidgetManager)
        mMutateTimer->mWidgetManager->RemoveWidget(mMutateTimer);
    delete mMutateTimer;
}

int ToxicShark::MutateIntervalFor(int difficulty)
{
    switch (difficulty) {
    case 0:
        return 2500;
    case 1:
    case 2:
        return 2000;
    case 3:
        return 1700;
    case 4:
        return 1300;
    default:
        return 1500;
    }
}

void ToxicShark::TypeLetter()
{
    Enemy::TypeLetter();
    mMutateInterval = MutateIntervalFor(mApp->Difficulty());
}

void ToxicShark::MutateLetters()
{
    const int length = static_cast<int>(mWord.size());
    const int untyped = length - mTypedCount;
    if (untyped > 1) {
        // The first letter picks the target on the board: it never moves.
        const int start = mTypedCount > 0 ? mTypedCount : 1;
        std::string left = mWord.substr(start, untyped);
        std::string shuffled;
        while (!left.empty()) {
            const size_t pick = static_cast<size_t>(NextGameRandom()) % left.size();
            shuffled += left[pick];
            left.erase(pick, 1);
        }
        mWord = mWord.substr(0, start) + shuffled;
        SplitWord();
    }
    mMutateTimer->Reset();
}

void ToxicShark::Update()
{
    Shark::Update();
    if (!mWord.empty() && mState == SWIMMING && mMutateTimer->GetElapsed() >= mMutateInterval)
        MutateLetters();
}

void ToxicShark::Draw(Graphics* g)
{
    GlowImages look;
    look.glowSwim = mAssets.GetImage(IMAGE_TOXIC_GLOW_SWIM);
    look.bodySwim = mAssets.GetImage(IMAGE_TOXIC_BASIC_SWIM);
    look.glowMirrored = mAssets.mToxicGlowMirror;
    look.bodyMirrored = mAssets.mToxicSwimMirror;
    look.glowDeath = mAssets.GetImage(IMAGE_TOXIC_GLOW_DEATH);
    look.bodyDeath = mAssets.GetImage(IMAGE_TOXIC_BASIC_DEATH);
    look.shock = mAssets.GetImage(IMAGE_TOXIC_BASIC_SHOCK);
    DrawGlowing(g, look);
}

// ---- GhostShark

GhostShark::GhostShark(CreatureHost* app) : Enemy(app), Shark(app)
{
    mTypedColor = Color(235, 0, 0);
    mWordColor = Color(0, 0, 0);
    SetImage(SLOT_MIRRORED, app->Assets().mGhostSwimMirror);
    SetImage(SLOT_RED, app->Assets().GetSharkImage(MAP_PLAIN, VARIANT_RED));
}

void GhostShark::Draw(Graphics* g)
{
    GlowImages look;
    look.glowSwim = mAssets.GetImage(IMAGE_SHARK_GHOST_GLOW_SWIM);
    look.bodySwim = mAssets.GetImage(IMAGE_SHARK_GHOST_SWIM);
    look.glowMirrored = mAssets.mGhostGlowMirror;
    look.bodyMirrored = mAssets.mGhostSwimMirror;
    look.glowDeath = mAssets.GetImage(IMAGE_SHARK_GHOST_GLOW_DEATH);
    look.bodyDeath = mAssets.GetImage(IMAGE_SHARK_GHOST_DEATH);
    look.shock = mAssets.GetImage(IMAGE_SHARKSHOCK);
    DrawGlowing(g, look);
}

} // namespace Zant
