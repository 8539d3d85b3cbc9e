// One frame of a level: the sea, the surface scene, the ruler, the creatures, the
// diver and the boss, the scenery, the accuracy badge, the phase screens, the boss's
// health bar, the message line, the pause overlay, the header strip, the zapper
// flash, the fade and the level banner.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/WavyImage3D.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "game/creatures/BackgroundFish.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/ProjectileBoss.h"
#include "game/creatures/Shark.h"
#include "game/play/Board.h"
#include "game/play/BonusText.h"
#include "game/play/Bubble.h"
#include "game/play/GlassPlate.h"
#include "game/play/Player.h"
#include "game/profile/UserProfile.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

const Color WHITE(255, 255, 255);
const Color SECRET_ORANGE(253, 160, 61);
const Color PANEL_VALUE(255, 163, 36);
// The space between the air tank and its "FILLING UP AIR TANK!" line.
constexpr int AIR_TANK_LINE_GAP = 4;
constexpr double SEA_HIDDEN_Y = -70.0;

// The index of an image of the table by its name; -1 when the table has none.
int ImageIndex(const char* name)
{
    for (int i = 0; i < GameAssets::NUM_IMAGES; ++i)
        if (std::strcmp(GameAssets::IMAGE_NAMES[i], name) == 0)
            return i;
    return -1;
}

// Image indices looked up once.
struct DrawImages {
    int mountain[3] = {ImageIndex("mountain1"), ImageIndex("mountain2"), ImageIndex("mountain3")};
    int sand = ImageIndex("sand");
    int coralshelf = ImageIndex("coralshelf");
    int scenery[6] = {ImageIndex("topbackground"),        ImageIndex("topbackground_volcano"),
                      ImageIndex("topbackground_shipwreck"), ImageIndex("topbackground_lighthouse"),
                      ImageIndex("topbackground_iceberg"),   ImageIndex("topbackground_storm")};
    int textovers = ImageIndex("textovers");
    int shipwreckbonus = ImageIndex("shipwreckbonus");
    int airgauge = ImageIndex("airgauge");
    int sonarBg = ImageIndex("sonar_bg");
    int sparkle = ImageIndex("sparkle_large");
    int bossMeter = ImageIndex("boss_meter");
    int bossMeterFill = ImageIndex("boss_meter_fill");
};

const DrawImages& Images()
{
    static const DrawImages images;
    return images;
}

// The scenery of a level by its number: plain, volcano, shipwreck, lighthouse,
// iceberg or storm.
int SceneryKind(int level)
{
    switch (level) {
    case 0: case 1: case 2: case 3: case 6:
        return 0;
    case 4: case 5: case 14: case 17: case 18: case 19: case 25:
        return 1;
    case 7: case 8: case 12: case 13: case 16: case 24: case 28:
        return 2;
    case 9: case 10: case 11: case 15: case 20: case 22: case 23: case 31:
        return 3;
    case 21: case 26: case 27: case 32:
        return 4;
    default:
        return 5;
    }
}

// Colourised drawing of an image in white at an alpha.
void DrawTinted(Graphics* g, Image* image, int x, int y, int alpha, const Rect* src = nullptr)
{
    if (image == nullptr)
        return;
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, alpha));
    if (src)
        g->DrawImage(image, x, y, *src);
    else
        g->DrawImage(image, x, y);
    g->SetColorizeImages(false);
}

} // namespace

Image* Board::AppImage(int index) const { return index >= 0 ? mAssets.GetImage(index) : nullptr; }

void Board::Draw(Graphics* g)
{
    ++mDrawCounters[0];
    SmoothValue(mSmoothed[0], mAccuracyBadge->mY);

    const bool special = mConfig != nullptr && mConfig->IsSpecialLevel();
    DrawSea(g);
    DrawSurface(g, special);
    for (BackgroundFish* fish : mBackgroundFish)
        fish->Draw(g);
    DrawRuler(g);
    DrawIntroHint(g);

    for (BonusText* text : mBonusTexts)
        text->Draw(g);
    for (Piranha* piranha : mPiranhas)
        piranha->Draw(g);
    for (Shark* shark : mSharks)
        shark->Draw(g);
    for (BonusCreature* creature : mBonusCreatures)
        creature->Draw(g);
    mPlayer->Draw(g);
    // The boss draws its own shots with it.
    if (mBoss)
        mBoss->Draw(g);
    for (Bubble* bubble : mBubbles)
        bubble->Draw(g);

    DrawScenery(g);
    DrawBadge(g);
    DrawPhaseScreen(g, special);
    // The continue link writes green on whatever is under it: over the clam bed's
    // pale coral and rock that would not read.
    if (mLevelDonePanel != nullptr && mLevelDonePanel->mVisible)
        DrawGlassPlate(g, Rect(mLevelDonePanel->mX, mLevelDonePanel->mY, mLevelDonePanel->mWidth,
                               mLevelDonePanel->mHeight));
    DrawBossHealth(g);
    DrawMessageLine(g);
    DrawPauseOverlay(g);
    mHeader->Draw(g);

    if (mZapperAlpha > 0) {
        g->SetColor(Color(255, 255, 255, mZapperAlpha));
        g->FillRect(0, 0, mWidth, mHeight);
    }
    if (mFadeAlpha > 0) {
        g->SetColor(Color(0, 0, 0, mFadeAlpha));
        g->FillRect(0, 0, mWidth, mHeight);
    }
    DrawBanner(g, special);
}

void Board::SmoothValue(SmoothedValue& value, double truth)
{
    value.mChanges[value.mIndex] = truth - value.mLast;
    value.mIndex = (value.mIndex + 1) % 6;
    value.mLast = truth;
    double m = 0.0;
    for (double change : value.mChanges)
        m += change;
    m /= 6.0;
    const double next = value.mSmoothed + m;
    value.mSmoothed = std::abs(m) <= std::abs(next + m - truth) ? truth : next;
}

void Board::DrawSea(Graphics* g)
{
    Image* sea = mAssets.GetImage(IMAGE_WATER1);
    if (sea == nullptr)
        return;
    // Once the far rock layer has risen past this line the scenery hides the sea.
    const bool special = mConfig != nullptr && mConfig->IsSpecialLevel();
    if (mLayerY[2] <= SEA_HIDDEN_Y && !special)
        return;
    const bool wavy = mEffectsOn && mFadeAlpha <= 170;
    if (wavy && D3DTargetOf(*g) != nullptr) {
        DrawWavyImage3D(g);
        return;
    }
    for (const BackTile& tile : mBackLayer) {
        if (wavy)
            DrawWavyImage(g, sea, int(tile.mX), int(tile.mY));
        else
            g->DrawImage(sea, int(tile.mX), int(tile.mY));
    }
}

void Board::DrawWavyImage(Graphics* g, Image* image, int x, int y)
{
    const double a = mBobValue;
    const int rowWidth = static_cast<int>(640 + 2 * a);
    const int height = image->GetHeight();
    // Rows outside the board are left to the clipping.
    const int first = y < 0 ? -y : 0;
    const int last = std::min(height, mHeight - y);
    for (int r = first; r < last; ++r) {
        const double wave =
            mSinTable[((mHalfTick + r) >> 3) % SIN_TABLE_SIZE] + mSinTable[((mQuarterTick + r) >> 2) % SIN_TABLE_SIZE];
        const int sx = static_cast<int>(wave * a + 2 * a);
        g->DrawImage(image, x, y + r, Rect(sx, r, rowWidth, 1));
    }
}

void Board::DrawWavyImage3D(Graphics* g)
{
    D3DInterface* d3d = D3DTargetOf(*g);
    Image* sea = mAssets.GetImage(IMAGE_WATER1);
    if (d3d == nullptr || sea == nullptr)
        return;
    // The two copies stand where the software path draws them, so the sea scrolls
    // with the diver and stops with him, and switching modes moves nothing.
    const WaveMotion wave{mBobValue, mUpdateCnt};
    for (const BackTile& tile : mBackLayer)
        Zant::DrawWavyImage3D(*d3d, *g, sea, int(tile.mX), int(tile.mY), mWidth, wave, Color::White);
}

void Board::DrawSurface(Graphics* g, bool special)
{
    const double p = mFloorY;
    if (special) {
        if (Image* sand = AppImage(Images().sand))
            g->DrawImage(sand, 0, int(p));
        if (Image* shelf = AppImage(Images().coralshelf))
            g->DrawImage(shelf, 126, int(p));
        return;
    }
    if (p == -1.0 || p >= mHeight)
        return;
    for (int layer = 2; layer >= 0; --layer)
        if (Image* mountain = AppImage(Images().mountain[layer]))
            g->DrawImage(mountain, 0, int(mLayerY[layer]));
    if (Image* floor = mAssets.GetImage(IMAGE_OCEANFLOOR))
        g->DrawImage(floor, 0, int(p));
}

void Board::DrawRuler(Graphics* g)
{
    if (!IsAbyss())
        return;
    // Plain white on the deep sea: an outline could not lift the marks to 7:1
    // under the dimming of a paused board, while they read by themselves.
    g->SetFont(mAssets.mFontMyriad12Bold);
    g->SetColor(WHITE);
    for (DepthMark* mark : mDepthMarks) {
        if (mark->mX < 0)
            continue;
        g->DrawString(mark->mLabel, int(mark->mX), int(mark->mY));
        if (mark->mY > mHeight)
            break;
    }
}

void Board::DrawIntroHint(Graphics* g)
{
    const bool hideHints = mApp->CurrentProfile() != nullptr && !mApp->CurrentProfile()->mHintsOn;
    Font* font = mAssets.mFontMyriad14Bold;
    if (hideHints || mPlayer->mState != Player::PLAYING || mHintAlpha <= 0 || font == nullptr)
        return;
    g->SetFont(font);
    g->SetColor(Color(255, 255, 255, mHintAlpha));
    DrawCenteredLine(g, 145, "Type the words on the sharks before they eat you!");
    DrawCenteredLine(g, 145 + font->GetHeight(), "You have to finish a word before typing the next.");
}

void Board::DrawScenery(Graphics* g)
{
    if (mScrollDistance > mLeadInHeight)
        return;
    const int kind = IsAbyss() || mConfig == nullptr ? 0 : SceneryKind(mConfig->GetLevel());
    if (Image* scenery = AppImage(Images().scenery[kind]))
        g->DrawImage(scenery, 0, int(-mScrollDistance));
}

void Board::DrawBadge(Graphics* g)
{
    const AccuracyBadge& badge = *mAccuracyBadge;
    Font* font = mAssets.mFontMyriad14Bold;
    if (!badge.mActive || font == nullptr)
        return;
    char line[48];
    std::snprintf(line, sizeof line, "Accuracy: %d%%", badge.mAccuracy);
    g->SetFont(font);
    g->SetColor(Color(255, 255, 255, badge.mAlpha));
    if (badge.mImage == nullptr) {
        g->DrawString(line, int(badge.mX), int(badge.mY));
        return;
    }
    const std::string text = badge.mAccuracy == 0 ? "" : line;
    const int width = font->StringWidth(text);
    const int left = mApp->ScreenWidth() / 2 - width / 2;
    g->DrawString(text, left, 150);
    DrawTinted(g, badge.mImage, left + width / 2 - badge.mImage->GetWidth() / 2, 150, badge.mAlpha);
    g->SetColor(Color(255, 255, 255, badge.mAlpha));
    if (badge.mBonus == 0) {
        DrawCenteredLine(g, badge.mImage->GetHeight() + 160, "Less than 95%, no bonus");
    } else {
        std::snprintf(line, sizeof line, "Accuracy Bonus: %dpts", badge.mBonus);
        DrawCenteredLine(g, badge.mImage->GetHeight() + 160, line);
    }
}

void Board::DrawPhaseScreen(Graphics* g, bool special)
{
    const int phase = mPlayer->mState;
    Font* message = mAssets.mFontMyriad14Bold;
    // While paused, the lines are left out as the words on the creatures are: the
    // veil over the field dims them past reading, and only the pause's own lines
    // are to be read.
    const bool lines = !mPaused;
    auto secretHeading = [&] {
        if (!lines)
            return;
        DrawSecretTitle(g, 60, 255);
        g->SetFont(message);
        g->SetColor(WHITE);
        DrawCenteredLine(g, 85, "Type the letter on a clam to open it before time runs out.");
    };
    auto treasureHeading = [&] {
        if (Image* banner = AppImage(Images().shipwreckbonus))
            g->DrawImage(banner, mWidth / 2 - banner->GetWidth() / 2, 50);
        if (!lines)
            return;
        g->SetFont(message);
        g->SetColor(WHITE);
        DrawCenteredLine(g, TreasureLineBaseline(), "Type as many words as you can before your air runs out!");
    };
    auto clams = [&] {
        for (Clam* clam : mClams)
            clam->Draw(g);
    };

    if (phase == Player::TREASURE_WORD) {
        if (special) {
            secretHeading();
            if (lines)
                DrawCenteredLine(g, 85 + (message ? message->GetHeight() : 0),
                                 "Match pairs of same colored pearls to win!");
            clams();
        } else {
            treasureHeading();
            DrawTreasureWord(g);
        }
        DrawAirTank(g, false);
    } else if (phase == Player::FLOOR_REACHED && !mAccuracyBadge->mActive && mEndTimer > 0.0) {
        if (special) {
            secretHeading();
            clams();
        } else {
            treasureHeading();
        }
        DrawAirTank(g, lines);
    } else if (phase == Player::TALLY || phase == Player::BOSS_TALLY) {
        DrawTally(g, special);
    } else if (phase == Player::LEVEL_COMPLETE) {
        DrawLevelComplete(g);
    }
}

int Board::TreasureLineBaseline()
{
    Image* banner = AppImage(Images().shipwreckbonus);
    Font* message = mAssets.mFontMyriad14Bold;
    return (message ? message->GetHeight() : 0) + 50 + (banner ? banner->GetHeight() : 0);
}

void Board::DrawAirTank(Graphics* g, bool filling)
{
    Image* tank = AppImage(Images().airgauge);
    Font* message = mAssets.mFontMyriad14Bold;
    if (tank == nullptr)
        return;
    const int x = mWidth / 2 - tank->GetWidth() / 2;
    int y = mHeight / 2 - tank->GetHeight() / 2 + 2 * (message ? message->GetHeight() : 0);
    if (mConfig != nullptr && mConfig->IsSpecialLevel() && !mClams.empty()) {
        // Our clams are taller than their rows are apart, so the grid reaches the
        // middle of the board: the tank and its line go above the top row instead.
        double top = mClams.front()->mY;
        for (const Clam* clam : mClams)
            top = std::min(top, clam->mY);
        // Room between the tank and the clams for the tank's line.
        const int lineRoom = AIR_TANK_LINE_GAP + (message ? message->GetHeight() : 0);
        y = std::min(y, static_cast<int>(top) - tank->GetHeight() - lineRoom);
    }
    g->DrawImage(tank, x, y);
    g->SetColor(Color(0, 255, 0, mPulseAlpha));
    g->FillRect(x + 19, y + 7, static_cast<int>(mEndTimer), 15);
    if (filling) {
        g->SetFont(message);
        g->SetColor(WHITE);
        // Its letters start a few pixels under the tank, not on its lower edge.
        g->DrawString("FILLING UP AIR TANK!", x + tank->GetWidth() / 2 -
                                                 (message ? message->StringWidth("FILLING UP AIR TANK!") / 2 : 0),
                      y + tank->GetHeight() + AIR_TANK_LINE_GAP + (message ? message->GetAscent() : 0));
    }
}

void Board::DrawTreasureWord(Graphics* g)
{
    // The word font in its dark rim: the word and its value are white, green and
    // gold letters over the sea bed, which a light rim would swallow.
    Font* word = mAssets.GetTypedFont();
    if (mTreasureWord.empty() || mPaused || word == nullptr)
        return;
    // A width first: a font readies its layers (the rim among them) as it first
    // measures or draws, and its height counts them only from then on.
    const int wordWidth = word->StringWidth(mTreasureWord);
    const int lineHeight = word->GetHeight();
    const std::string value = "Word value: " + std::to_string(GetTreasureWordValue()) + " pts";
    const int valueY = mPlayAreaBottom - 4 * lineHeight;
    const int y = mPlayAreaBottom - 2 * lineHeight;
    // The two lines stand over the rocks and the sea bed, as light as the gold in
    // places: they share a glass plate, like a label on the find.
    const int plateWidth = std::max(wordWidth, word->StringWidth(value)) + 2 * PLATE_PAD_X;
    const int plateTop = valueY - word->GetAscent() - PLATE_PAD_Y;
    DrawGlassPlate(g, Rect(mWidth / 2 - plateWidth / 2, plateTop, plateWidth,
                           y + word->GetDescent() + PLATE_PAD_Y - plateTop));
    g->SetFont(word);
    g->SetColor(Color(255, 194, 0));
    DrawCenteredLine(g, valueY, value);
    const std::string typed = mTreasureWord.substr(0, std::min<size_t>(mTreasureTyped, mTreasureWord.size()));
    const std::string rest = mTreasureWord.substr(typed.size());
    int x = mWidth / 2 - wordWidth / 2;
    g->SetColor(Color(0, 230, 0));
    g->DrawString(typed, x, y);
    x += word->StringWidth(typed);
    g->SetColor(WHITE);
    g->DrawString(rest, x, y);
}

void Board::DrawTally(Graphics* g, bool special)
{
    Font* panel = mAssets.mFontMyriad28Bold;
    if (panel == nullptr)
        return;
    g->SetFont(panel);
    if (special) {
        g->SetColor(WHITE);
        if (mPearlMatches <= 0) {
            DrawCenteredLine(g, 60, "Time's up! Try again next time to uncover secret items.");
        } else {
            DrawCenteredLine(g, 60, "You found a secret item!");
            if (mSecretItemImage)
                g->DrawImage(mSecretItemImage, mWidth / 2 - mSecretItemImage->GetWidth() / 2, 75);
        }
        for (Clam* clam : mClams)
            clam->Draw(g);
        return;
    }
    const int alpha = mTallyCountdown;
    const int a = panel->GetAscent();
    const Color white(255, 255, 255, alpha);
    // The lines stand over the sea bed's rocks and water: each in a dark outline.
    g->SetFont(mAssets.OutlinedFont(panel));
    g->SetColor(white);
    DrawCenteredLine(g, 65, "You found");
    Image* treasure = mAssets.GetImage(mApp->TreasureImage());
    const int th = treasure ? treasure->GetHeight() : 0;
    const int tx = treasure ? mWidth / 2 - treasure->GetWidth() / 2 : mWidth / 2;
    const int ty = a + 65;
    if (treasure && mTreasureGlow)
        DrawTinted(g, treasure, tx, ty, alpha);
    else if (treasure)
        g->DrawImage(treasure, tx, ty);
    if (Image* sparkle = AppImage(Images().sparkle)) {
        g->SetDrawMode(DRAWMODE_ADDITIVE);
        for (const TreasureSparkle& s : mTreasureShow) {
            const Rect cel(s.mFrame * 40, 0, 40, sparkle->GetHeight());
            DrawTinted(g, sparkle, tx + s.mOffsetX, ty + s.mOffsetY, alpha, &cel);
        }
        g->SetDrawMode(DRAWMODE_NORMAL);
    }
    // The lines under the treasure cross the pale water by the wreck, where its
    // green would fade: they stand on glass that comes and goes with them.
    {
        const std::string name = "the " + mApp->GemName() + " " + mApp->GetTreasureName() + "!";
        const int last = th + (mPlayer->mState == Player::BOSS_TALLY ? 3 : 4) * a + 120;
        const int width = panel->StringWidth(name) + 2 * PLATE_PAD_X;
        const int top = th + 120 - PLATE_PAD_Y;
        DrawGlassPlate(g, Rect(mWidth / 2 - width / 2, top, width, last + panel->GetDescent() + PLATE_PAD_Y - top),
                       alpha);
    }
    g->SetColor(white);
    DrawCenteredLine(g, th + a + 120, "the " + mApp->GemName() + " " + mApp->GetTreasureName() + "!");
    g->SetColor(Color(0, 255, 0, alpha));
    DrawCenteredLine(g, th + 2 * a + 120, "+" + std::to_string(GetLevelBonusPoints()) + " pts");
    g->SetColor(white);
    if (mPlayer->mState == Player::BOSS_TALLY) {
        DrawCenteredLine(g, th + 3 * a + 120, "Bonus points: " + std::to_string(GetDifficultyBonusPoints()));
    } else {
        DrawCenteredLine(g, th + 3 * a + 120, "Bonus words: " + std::to_string(mTreasureWordsDone));
        DrawCenteredLine(g, th + 4 * a + 120, "Bonus points: " + std::to_string(mTreasurePoints));
    }
}

void Board::DrawLevelComplete(Graphics* g)
{
    g->SetColor(Color(0, 0, 0, 128));
    g->FillRect(0, HEADER_HEIGHT, mWidth, mHeight - HEADER_HEIGHT);
    Image* panelImage = AppImage(Images().sonarBg);
    const int p = 320 - (panelImage ? panelImage->GetWidth() / 2 : 0);
    const int places[4][2] = {{p + 182, 50}, {p + 182, 205}, {p + 27, 205}, {p + 27, 50}};
    if (mDoneAlpha != 255) {
        for (int i = 0; i < 4; ++i)
            DrawTinted(g, mDoneImages[i], places[i][0], places[i][1], mDoneAlpha);
        return;
    }
    if (panelImage)
        g->DrawImage(panelImage, p, 23);
    Font* panel = mAssets.mFontMyriad28Bold;
    if (panel == nullptr)
        return;
    // Every line is centred on the sonar disc, whose width narrows away from its middle.
    const int centre = p + (panelImage ? panelImage->GetWidth() / 2 : 0);
    const int step = panel->GetAscent();
    int y = 123 + step;
    g->SetFont(panel);
    g->SetColor(PANEL_VALUE);
    g->DrawString("Level Complete!", centre - panel->StringWidth("Level Complete!") / 2, y);
    auto labelled = [&](const std::string& label, const std::string& value) {
        y += step;
        g->SetFont(panel);
        g->SetColor(WHITE);
        const int labelWidth = panel->StringWidth(label + " ");
        const int x = centre - (labelWidth + panel->StringWidth(value)) / 2;
        g->DrawString(label, x, y);
        g->SetColor(PANEL_VALUE);
        g->DrawString(value, x + labelWidth, y);
    };
    const int wpm = GetAdjustedWpm();
    labelled("Adjusted WPM:", wpm < 0 ? "N/A" : std::to_string(wpm));
    const int typed = mAccuracyHits + mAccuracyMisses;
    // No letters typed: no accuracy to divide out.
    const int accuracy = typed == 0 ? 0 : static_cast<int>(double(mAccuracyHits) / typed * 100.0);
    labelled("Accuracy:", std::to_string(accuracy) + "%");
    if (mOceanDepth != -1) {
        // Sea green, plain, in a light shade that reads on the sonar's deep middle
        // also while the sweep's beam crosses it.
        Font* bonus = mAssets.GetBonusFont();
        g->SetFont(bonus);
        g->SetColor(Color(86, 230, 173));
        // The small lines take a small line's room, so the rank lines stay near the middle.
        const int smallStep = bonus ? bonus->GetHeight() : step;
        auto small = [&](const std::string& text) {
            y += smallStep;
            g->DrawString(text, centre - (bonus ? bonus->StringWidth(text) / 2 : 0), y);
        };
        if (accuracy >= 95) {
            small("Accuracy Bonus +" + std::to_string(GetLevelAccuracyBonus()) + " points ");
            if (mAccurateLevels > 1)
                small("95% or higher accuracy " + std::to_string(mAccurateLevels) + " times");
        } else {
            // Drawn as it stands: the percent sign is part of the text.
            small("Get over 94% accuracy for bonus");
        }
    }
    labelled("RANK:", GetRankTitle(mPlayer->mScore));
    y += step;
    g->SetFont(panel);
    g->SetColor(WHITE);
    const int next = GetNextRankScore(mPlayer->mScore);
    const std::string rankLine = next < 0 ? "Top rank achieved!!!" : "Next rank at " + std::to_string(next) + " points";
    g->DrawString(rankLine, centre - panel->StringWidth(rankLine) / 2, y);
    for (int i = 0; i < 4; ++i)
        if (mDoneImages[i])
            g->DrawImage(mDoneImages[i], places[i][0], places[i][1]);
}

void Board::DrawBossHealth(Graphics* g)
{
    if (mBoss == nullptr || mBoss->GetHealth() <= 0)
        return;
    if (Image* frame = AppImage(Images().bossMeter))
        g->DrawImage(frame, 124, 38);
    Image* fill = AppImage(Images().bossMeterFill);
    const int full = mBoss->GetMaxHealth();
    if (fill == nullptr || full <= 0)
        return;
    const int width = static_cast<int>(double(mBoss->GetHealth()) / full * 294.0);
    g->DrawImage(fill, 160, 48, Rect(0, 0, std::min({width, 294, fill->GetWidth()}), 20));
}

void Board::DrawMessageLine(Graphics* g)
{
    Font* font = mAssets.mFontMyriad14Bold;
    if (mMessageText.empty() || mMessageAlpha <= 0 || font == nullptr)
        return;
    g->SetFont(font);
    g->SetColor(Color(255, 255, 255, mMessageAlpha));
    DrawCenteredLine(g, mPlayAreaBottom - font->GetHeight(), mMessageText);
}

void Board::DrawPauseOverlay(Graphics* g)
{
    if (!mPaused)
        return;
    g->SetColor(Color(0, 0, 0, 128));
    g->FillRect(0, HEADER_HEIGHT, mWidth, mHeight - HEADER_HEIGHT);
    if (mApp->OpenDialogCount() > 0 || mPlayer->mState == Player::GAME_OVER)
        return;
    Font* title = mAssets.mFontSwiss24;
    Font* message = mAssets.mFontMyriad14Bold;
    Font* panel = mAssets.mFontMyriad28Bold;
    if (title == nullptr || message == nullptr)
        return;
    const std::string line =
        SpacePauses() ? "Press space or click the pause button to continue" : "Click the pause button to continue";
    const int titleY = mHeight / 2;
    const int lineY = titleY + (panel ? panel->GetHeight() : 0);
    // Half-dark, the field still shows through: the air gauge or a clam under
    // the line would take its grey. The two lines stand on glass of their own.
    const int width = std::max(title->StringWidth("PAUSED"), message->StringWidth(line)) + 2 * PLATE_PAD_X;
    const int top = titleY - title->GetAscent() - PLATE_PAD_Y;
    DrawGlassPlate(g, Rect(mWidth / 2 - width / 2, top, width, lineY + message->GetDescent() + PLATE_PAD_Y - top));
    g->SetFont(title);
    g->SetColor(WHITE);
    DrawCenteredLine(g, titleY, "PAUSED");
    g->SetFont(message);
    g->SetColor(Color(200, 200, 200));
    DrawCenteredLine(g, lineY, line);
}

void Board::DrawBanner(Graphics* g, bool special)
{
    if (mIntroAlpha <= 0 || mPaused)
        return;
    if (!special) {
        const Rect cel(0, 0, 400, 50);
        DrawTinted(g, AppImage(Images().textovers), mWidth / 2 - 200, (mHeight - 24) / 2 - 25, mIntroAlpha, &cel);
        return;
    }
    DrawSecretTitle(g, mHeight / 2, mIntroAlpha);
}

void Board::DrawSecretTitle(Graphics* g, int y, int alpha)
{
    // Its orange is nearly as light as the open sea: a dark rim keeps the letters
    // off it, and a glass plate the rim off the water.
    Font* font = mAssets.OutlinedFont(mAssets.mFontSwiss24);
    if (font != nullptr) {
        const int width = font->StringWidth("SECRET BONUS LEVEL!") + 2 * PLATE_PAD_X;
        const int top = y - font->GetAscent() - PLATE_PAD_Y;
        DrawGlassPlate(g, Rect(mWidth / 2 - width / 2, top, width, y + font->GetDescent() + PLATE_PAD_Y - top), alpha);
    }
    g->SetFont(font);
    g->SetColor(Color(SECRET_ORANGE.red, SECRET_ORANGE.green, SECRET_ORANGE.blue, alpha));
    DrawCenteredLine(g, y, "SECRET BONUS LEVEL!");
}

void BoardHeader::Draw(Graphics* g)
{
    Board* board = mApp->GetBoard();
    g->SetColor(Color(0, 0, 0, 128));
    g->FillRect(0, 0, mApp->ScreenWidth(), 25);
    if (mFont == nullptr || board == nullptr)
        return;
    // Pale texts on a strip that only half darkens the sky: outlined.
    g->SetFont(mApp->Assets().OutlinedFont(mFont));
    const int baseline = mFont->GetAscent() + 2;
    g->SetColor(Color(200, 200, 200));
    const std::string lives = mPlayer->mLives < 0 ? "Game Over!" : "Lives left: " + std::to_string(mPlayer->mLives);
    board->WriteString(g, lives, mApp->ScreenWidth() - 5 - mFont->StringWidth(lives), baseline);
    g->SetColor(Color(255, 255, 255));
    const std::string score = std::to_string(mPlayer->mScore);
    std::string text;
    std::string plain;
    if (board->IsAbyss()) {
        text = "^FFFFFF^LEVEL: ^C8C8C8^Abyss     ^C8C8C8^Depth: ^FFFFFF^" + std::to_string(board->mAbyssDepth) +
               " ^C8C8C8^feet     ^FFFFFF^" + score + " ^C8C8C8^Points";
        plain = "LEVEL: " + std::to_string(mPlayer->mLevelIndex + 1) + "     " + score + " Points";
    } else {
        text = "^FFFFFF^LEVEL: ^C8C8C8^" + std::to_string(mPlayer->mLevelIndex + 1) + "     ^FFFFFF^" + score +
               " ^C8C8C8^Points";
        plain = "LEVEL: " + std::to_string(mPlayer->mLevelIndex + 1) + "     " + score + " Points";
    }
    board->WriteString(g, text, 2, baseline);
    if (mPlayer->mExtraLifeEarned) {
        g->SetColor(Color(0, 255, 0, mAlpha));
        g->DrawString("EXTRA LIFE!", mFont->StringWidth(plain) + 50, baseline);
    }
}

} // namespace Zant
