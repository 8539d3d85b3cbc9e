#include "game/shell/MapScreen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "framework/graphics/Color.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/Rect.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/common/BTTimer.h"
#include "game/common/Config.h"
#include "game/common/Simulation.h"
#include "game/play/TooltipWidget.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "game/shell/XWidget.h"

namespace Zant {

namespace {

enum {
    IMAGE_MAPBG = 40,
    IMAGE_MAPSHIP = 41,
    IMAGE_POINT = 42,
    IMAGE_MAPSCREEN_ARCH = 62,
    IMAGE_POINT_GREEN = 69,
    IMAGE_MAPSHIPCOLOR = 70,
    IMAGE_MAPCHEST_A = 236,
    IMAGE_MAPCHEST_A_OPEN = 239,
};
constexpr int MESSAGE_DIALOG_ID = 500;
constexpr int SHIP_FRAME_WIDTH = 50;
constexpr int SHIP_FRAME_HEIGHT = 45;
constexpr int GUMBO_FRAME = 60;
const char* const TITLE_TEXT = "Type the letter of the dive site you wish to explore";
const char* const CONTINUE_TEXT = "Press space bar to continue";

struct SiteRow {
    int x, y;
    std::vector<int> next;
    bool secret;
    const char* description;
};

const SiteRow SITE_TABLE[MapScreen::NUM_SITES] = {
    {115, 42, {1}, false, "Your port of call."},
    {178, 82, {2, 6, 7}, false, "Beware the blue piranha!"},
    {277, 81, {3}, false, "Stealth sharks stalk these seas."},
    {336, 86, {8, 4}, false, "Beware the hammerhead and stealth sharks."},
    {464, 64, {5, 14}, false, "Polluted waters! Toxic and stealth sharks await."},
    {574, 81, {4}, true, "A secret level amidst the sewage!"},
    {91, 158, {9, 10}, false, "Stealth piranha want to meet you."},
    {259, 164, {12}, false, "Stealth sharks and bonus jellyfish!"},
    {401, 139, {14, 13}, false, "Beware the hammerhead and stealth sharks."},
    {67, 246, {21}, false, "The piranha in these waters are twice as strong."},
    {168, 215, {21, 11}, false, "Stealth sharks and stronger piranha."},
    {248, 227, {15, 16}, false, "Ghost sharks haunt these waters."},
    {297, 209, {13, 11}, false, "Beware the hammerhead and ghost sharks."},
    {383, 180, {17}, false, "The dreaded tiger shark awaits you!"},
    {471, 180, {19}, false, "Mutated fish, hammerheads, and stealth piranha!"},
    {230, 263, {23}, false, "Hammerheads and stronger stealth piranha!"},
    {286, 278, {23}, false, "Tiger sharks and stronger piranha."},
    {399, 244, {24, 18}, false, "Stealth hammerheads just below the surface."},
    {444, 252, {17}, true, "A secret level amongst the lava!"},
    {529, 238, {25}, false, "Ghost sharks come back to haunt you."},
    {46, 365, {21}, true, "A secret level by the bay!"},
    {86, 340, {26, 20}, false, "Stealth sharks and stronger piranha."},
    {196, 328, {23}, true, "A secret level amongst the rocks!"},
    {249, 320, {22, 28}, false, "Stealth hammerheads are hungry for you."},
    {363, 308, {28}, false, "Don't let the ghost sharks spook you."},
    {542, 284, {30}, false, "Tiger sharks and stealth hammerheads!"},
    {168, 381, {27}, false, "Hammerheads and piranha!"},
    {236, 406, {31, 32}, false, "Tiger sharks and every type of piranha!"},
    {294, 342, {29}, false, "Beware the toxic fish."},
    {387, 347, {34}, false, "Stealth tiger sharks!"},
    {526, 338, {34}, false, "Stealth tiger sharks, hungry for YOU!"},
    {303, 375, {33}, false, "Stealth tiger and normal sharks."},
    {292, 425, {33}, false, "Stealth hammerhead and ghost sharks."},
    {350, 420, {34}, false, "Toxic sharks!"},
    {448, 372, {35}, false, "Victory bay."},
    {496, 425, {-1}, false, "Gateway to the mysterious whirlpool."},
};

int ImageWidth(Image* image) { return image != nullptr ? image->GetWidth() : 0; }
int ImageHeight(Image* image) { return image != nullptr ? image->GetHeight() : 0; }

void DrawCentred(Graphics* g, Image* image, int x, int y, const Color* tint)
{
    if (image == nullptr)
        return;
    const int left = x - image->GetWidth() / 2;
    const int top = y - image->GetHeight() / 2;
    if (tint == nullptr) {
        g->DrawImage(image, left, top);
        return;
    }
    g->SetColorizeImages(true);
    g->SetColor(*tint);
    g->DrawImage(image, left, top);
    g->SetColorizeImages(false);
}

} // namespace

void MapScreen::Smoother::Step(int logical)
{
    ring[next] = logical - lastSeen;
    next = (next + 1) % static_cast<int>(ring.size());
    lastSeen = logical;
    double avg = 0;
    for (int change : ring)
        avg += change;
    avg /= static_cast<double>(ring.size());
    const double stepped = drawn + avg;
    drawn = std::fabs(avg) > std::fabs(stepped + avg - logical) ? stepped : logical;
}

MapScreen::MapScreen(WinBTApp* app) : mApp(app), mTimer(new BTTimer())
{
    BuildSites();
    mRoute.push_back(0);
    mTimer->SetDisabled(true);
    Font* font = app->mFontRockwell13;
    mTitleTargetX = (font != nullptr ? font->StringWidth(TITLE_TEXT) : 0) / 2 - 120;
    mTitleX = app->mWidth;
    Reset();
}

MapScreen::~MapScreen()
{
    for (XWidget* marker : mMarkers) {
        if (marker->mWidgetManager != nullptr)
            marker->mWidgetManager->RemoveWidget(marker);
        delete marker;
    }
    if (mContinueLink != nullptr && mContinueLink->mWidgetManager != nullptr)
        mContinueLink->mWidgetManager->RemoveWidget(mContinueLink);
    delete mContinueLink;
    if (mTimer->mWidgetManager != nullptr)
        mTimer->mWidgetManager->RemoveWidget(mTimer);
    delete mTimer;
}

void MapScreen::BuildSites()
{
    for (int n = 0; n < NUM_SITES; ++n) {
        const SiteRow& row = SITE_TABLE[n];
        MapSite& site = mSites[n];
        site.x = row.x;
        site.y = row.y;
        site.mDescription = row.description;
        site.mNumber = n;
        site.mNext = row.next;
        site.mSecret = row.secret;
        site.mVisited = n == 0;
    }
}

void MapScreen::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    if (mContinueLink == nullptr) {
        Font* font = mApp->mFontRockwell13;
        mContinueLink = new HyperlinkWidget(CONTINUE_ID, mApp);
        mContinueLink->mLabel = CONTINUE_TEXT;
        mContinueLink->SetFont(font);
        mContinueLink->mColor = Color(0, 255, 0);
        mContinueLink->mOverColor = Color(255, 255, 255);
        mContinueLink->mUnderlineSize = 1;
        mContinueLink->mDoFinger = true;
        const int labelWidth = font != nullptr ? font->StringWidth(CONTINUE_TEXT) : 0;
        const int fontHeight = font != nullptr ? font->GetHeight() : 0;
        mContinueLink->Resize(mApp->mWidth / 2 - labelWidth / 2, mApp->mHeight - (fontHeight + 10) - 10,
                              labelWidth + 10, fontHeight + 10);
        mContinueLink->SetVisible(false);
    }
    manager->AddWidget(mContinueLink);
    manager->AddWidget(mTimer);
}

void MapScreen::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    manager->RemoveWidget(mContinueLink);
    manager->RemoveWidget(mTimer);
}

void MapScreen::ShowContinueLink(bool shown)
{
    if (mContinueLink == nullptr)
        return;
    mContinueLink->SetVisible(shown);
    mContinueLink->SetDisabled(!shown);
    if (shown && mContinueLink->mWidgetManager != nullptr)
        mContinueLink->mWidgetManager->BringToFront(mContinueLink);
}

void MapScreen::SetVisible(bool visible)
{
    Widget::SetVisible(visible);
    ShowContinueLink(visible);
    for (XWidget* marker : mMarkers)
        marker->SetVisible(visible);
    if (visible)
        WarnLostAtSea();
    UserProfile* profile = mApp->mCurProfile;
    if (!visible || profile == nullptr || profile->mMapHintShown || mLostAtSea)
        return;
    for (int next : mSites[CurrentSite()].mNext)
        if (next >= 0 && next < NUM_SITES && !mSites[next].mVisited && profile->mSiteFlags[next])
            mShowHint = true;
}

void MapScreen::Reset()
{
    mTitleX = mApp->mWidth;
    ++mLevelNum;
    mShownDots = static_cast<int>(mRouteDots.size());
    mArrivalSounds = 0;
    mChosenSite = -1;
    mTimer->SetDisabled(true);
    mNeedsSetup = true;
    mBlinkFrame = 0;
    mShowHint = false;
    mChosenLetter = ' ';
    mInputLocked = false;
    mApp->SelectCursor(0);
    mChoiceDots.clear();

    // A secret site leads back where the detour began and is not offered again.
    const int current = CurrentSite();
    mSites[current].mVisited = true;
    if (mSites[current].mSecret && mRoute.size() >= 2) {
        const int previous = mRoute[mRoute.size() - 2];
        auto& next = mSites[previous].mNext;
        next.erase(std::remove(next.begin(), next.end(), current), next.end());
        mRoute.pop_back();
        mRoute.push_back(previous);
    }

    // The figures announce the level chosen next: past the chart that is one endless
    // level more than have been entered, and its speeds are raised as it starts.
    const int endless = mApp->mConfig != nullptr ? mApp->mConfig->GetEndlessLevelCount() + 1 : 1;
    static const char* const NAMES[] = {"Easy", "Normal", "Hard", "Expert", "X-Treme"};
    const int difficulty = std::clamp(mApp->mDifficulty, 0, 4);
    mDifficultyName = NAMES[difficulty];
    mBonusPercent = BonusPercent(difficulty, endless);
    mBlinkInterval = BlinkInterval(mBonusPercent);
}

double MapScreen::BonusPercent(int difficulty, int endlessCount)
{
    const double n = endlessCount;
    switch (difficulty) {
    case 0:
        return n * 25;
    case 1:
        return n * 0.1 * 2.2222222222222223 * 100;
    case 2:
        return n * 20;
    case 3:
        return n * 0.1 * 1.7857142857142856 * 100;
    default:
        return n * 0.1 * 1.4285714285714286 * 100;
    }
}

int MapScreen::BlinkInterval(double bonusPercent)
{
    return std::max(5, (5 - static_cast<int>(bonusPercent * 0.02)) * 10);
}

std::vector<std::pair<int, int>> MapScreen::CourseDots(int x0, int y0, int x1, int y1)
{
    std::vector<std::pair<int, int>> dots;
    const int dx = x1 - x0;
    const int dy = y1 - y0;
    const int n = static_cast<int>(std::sqrt(static_cast<double>(dx * dx + dy * dy)) * 0.125);
    for (int i = 2; i <= n - 2; ++i)
        dots.emplace_back(x0 + dx * i / n, y0 + dy * i / n);
    return dots;
}

int MapScreen::ScrollLimit() const { return mApp->mWidth - ImageWidth(mApp->GetImage(IMAGE_MAPBG)); }

XWidget* MapScreen::MakeMarker(int slot, int site, bool single)
{
    UserProfile* profile = mApp->mCurProfile;
    const bool open = profile != nullptr && profile->mSiteFlags[site];
    Image* image = mApp->GetImage((open ? IMAGE_MAPCHEST_A_OPEN : IMAGE_MAPCHEST_A) + slot);
    auto* marker = new XWidget(mApp, this, image, static_cast<char>('A' + slot));
    marker->mTooltip->SetText(mSites[site].mDescription, mApp->mFontRockwell13);
    marker->mSiteNumber = site;
    if (!single)
        marker->mAlpha = 128;
    Image* sizeImage = mApp->GetImage(IMAGE_MAPCHEST_A);
    const int w = ImageWidth(sizeImage);
    const int h = ImageHeight(sizeImage);
    marker->Resize(mSites[site].x - w / 2, mSites[site].y - h / 2, w, h);
    if (mWidgetManager != nullptr) {
        mWidgetManager->AddWidget(marker);
        marker->SetVisible(true);
        mWidgetManager->BringToFront(marker);
    }
    mMarkers.push_back(marker);
    return marker;
}

void MapScreen::OfferNextSites()
{
    const int current = CurrentSite();
    std::vector<int> open;
    for (int next : mSites[current].mNext)
        if (next >= 0 && next < NUM_SITES && !mSites[next].mVisited)
            open.push_back(next);

    if (open.size() != 1) {
        mSiteChosen = false;
        mTravelledDots = static_cast<int>(mRouteDots.size());
        for (int next : open) {
            const auto dots = CourseDots(mSites[current].x, mSites[current].y, mSites[next].x, mSites[next].y);
            mChoiceDots.insert(mChoiceDots.end(), dots.begin(), dots.end());
        }
        for (size_t i = 0; i < open.size(); ++i)
            MakeMarker(static_cast<int>(i), open[i], false);
        if (mMarkers.size() >= 2) {
            // Lettered left to right, so that the letters read in the order of the chart.
            std::vector<XWidget*> byX = mMarkers;
            std::stable_sort(byX.begin(), byX.end(), [this](XWidget* a, XWidget* b) {
                return mSites[a->mSiteNumber].x < mSites[b->mSiteNumber].x;
            });
            UserProfile* profile = mApp->mCurProfile;
            for (size_t i = 0; i < byX.size() && i < 3; ++i) {
                const bool isOpen = profile != nullptr && profile->mSiteFlags[byX[i]->mSiteNumber];
                byX[i]->mLetter = static_cast<char>('A' + i);
                byX[i]->mImage =
                    mApp->GetImage((isOpen ? IMAGE_MAPCHEST_A_OPEN : IMAGE_MAPCHEST_A) + static_cast<int>(i));
            }
        }
        if (Simulation().IsOn() && !mMarkers.empty()) {
            SimulatedChoice();
            return;
        }
        for (XWidget* marker : mMarkers)
            if (mWidgetManager != nullptr)
                mWidgetManager->BringToFront(marker->mTooltip);
        mSinglePath = false;
        mNeedsSetup = false;
        ShowContinueLink(false);
        if (mShowHint)
            ShowMapHint(false);
        return;
    }

    const int next = open.front();
    mSiteChosen = true;
    mTravelledDots = static_cast<int>(mRouteDots.size());
    const auto dots = CourseDots(mSites[current].x, mSites[current].y, mSites[next].x, mSites[next].y);
    mRouteDots.insert(mRouteDots.end(), dots.begin(), dots.end());
    mRoute.push_back(next);
    mChosenSite = next;
    mChosenLetter = 'A';
    if (Simulation().IsOn()) {
        mNeedsSetup = false;
        Simulation().mPath.push_back(next);
        mApp->ButtonDepress(CONTINUE_ID);
        return;
    }
    mTimer->SetDisabled(false);
    mTimer->Reset();
    mNeedsSetup = false;
    XWidget* marker = MakeMarker(0, next, true);
    if (mWidgetManager != nullptr) {
        mWidgetManager->BringToFront(marker->mTooltip);
        mWidgetManager->BringToFront(marker);
    }
    mSinglePath = true;
    if (mShowHint)
        ShowMapHint(true);
}

void MapScreen::SimulatedChoice()
{
    // The simulated player picks any way on, but never a secret detour: those lead
    // back, and every run should cross the whole chart. A few draws always find one.
    XWidget* pick = nullptr;
    for (int draw = 0; draw < 64 && pick == nullptr; ++draw) {
        XWidget* marker = mMarkers[static_cast<size_t>(mApp->GetGameRandom().Next()) % mMarkers.size()];
        if (!mSites[marker->mSiteNumber].mSecret)
            pick = marker;
    }
    if (pick == nullptr)
        pick = mMarkers.front();
    mChosenSite = pick->mSiteNumber;
    mChosenLetter = pick->mLetter;
    mSiteChosen = true;
    ChooseSite();
    Simulation().mPath.push_back(mChosenSite);
    mApp->ButtonDepress(CONTINUE_ID);
}

void MapScreen::ChooseUncharted()
{
    // Past the chart the next level is an endless one: a site number past the last.
    // Without it the continue key would find no chosen site and the player would be
    // stranded on the map.
    mNeedsSetup = false;
    mSiteChosen = true;
    mChosenSite = NUM_SITES;
    if (!Simulation().IsOn())
        return;
    Simulation().mPath.push_back(UNCHARTED_PATH_MARK);
    mApp->ButtonDepress(CONTINUE_ID);
}

void MapScreen::ShowMapHint(bool single)
{
    mShowHint = false;
    UserProfile* profile = mApp->mCurProfile;
    if (profile != nullptr) {
        profile->mMapHintShown = true;
        if (mApp->mProfileMgr != nullptr)
            mApp->mProfileMgr->WriteUserProfileToRegistry(profile, false, true);
    }
    std::string text = "An open treasure chest means that you have visited this level before. Whenever you change "
                       "game difficulties, the list of levels that you have defeated will be cleared.";
    text += single ? "\n\n\n\n\n" : "\n\n\n\n";
    mApp->DoMessageDialog("INFO", text, single ? "OK" : "", true);
}

void MapScreen::ChooseSite()
{
    for (auto it = mMarkers.begin(); it != mMarkers.end();) {
        XWidget* marker = *it;
        if (marker->mSiteNumber == mChosenSite) {
            ++it;
            continue;
        }
        if (mWidgetManager != nullptr)
            mWidgetManager->RemoveWidget(marker);
        mApp->QueueWidgetDeletion(marker);
        it = mMarkers.erase(it);
    }
    mChoiceDots.clear();
    const int previous = CurrentSite();
    mRoute.push_back(mChosenSite);
    const auto dots =
        CourseDots(mSites[previous].x, mSites[previous].y, mSites[mChosenSite].x, mSites[mChosenSite].y);
    mRouteDots.insert(mRouteDots.end(), dots.begin(), dots.end());
    mTimer->SetDisabled(false);
    mTimer->Reset();
    mSinglePath = true;
    mNeedsSetup = false;
}

void MapScreen::SnapView()
{
    // The view of a game that was out there before: its player has been warned.
    mScrolling = false;
    mWarningDue = false;
    mViewX = mViewY = ScrollLimit();
}

void MapScreen::SetLostAtSea(bool lost)
{
    if (lost && !mLostAtSea) {
        mScrolling = true;
        mWarningDue = true;
    }
    mLostAtSea = lost;
}

void MapScreen::WarnLostAtSea()
{
    // The warning opens with the map, before the map takes a key: a space typed on
    // at once must not start the next level unseen. A simulated run reads no warnings.
    if (!mWarningDue || !mLostAtSea || Simulation().IsOn())
        return;
    mWarningDue = false;
    // The scroll would run on unseen behind the warning: the warning stands over
    // the uncharted waters already in view.
    mViewX = mViewY = ScrollLimit();
    if (mScrolling)
        FinishScroll();
    mApp->DoMessageDialog("WARNING!",
                          "You are lost at sea!\nIn these uncharted\nwaters, only one thing is certain:\nthe fish keep "
                          "getting hungrier.\n",
                          "OK", true);
}

void MapScreen::RemoveSiteWidgets()
{
    for (XWidget* marker : mMarkers) {
        if (mWidgetManager != nullptr)
            mWidgetManager->RemoveWidget(marker);
        mApp->QueueWidgetDeletion(marker);
    }
    mMarkers.clear();
}

bool MapScreen::MessageOpen() { return mApp->FindDialog(MESSAGE_DIALOG_ID) != nullptr; }

void MapScreen::UpdateScroll()
{
    const int limit = ScrollLimit();
    // Finishing is checked after every step, and at once when there is nothing to
    // scroll: the expedition is always counted and the input always unlocked.
    if (mViewX <= limit && mViewY <= limit) {
        FinishScroll();
        return;
    }
    mInputLocked = true;
    if (mContinueLink != nullptr) {
        mContinueLink->SetVisible(false);
        mContinueLink->SetDisabled(true);
    }
    if (mViewX > limit)
        --mViewX;
    else
        --mViewY;
    if (mViewX <= limit && mViewY <= limit)
        FinishScroll();
}

void MapScreen::FinishScroll()
{
    mScrolling = false;
    mInputLocked = false;
    UserProfile* profile = mApp->mCurProfile;
    if (profile != nullptr && profile->mExpeditionOpen) {
        profile->mExpeditionOpen = false;
        // Counted on within 0 and the int's end, whatever a damaged store held.
        profile->mExpeditions = std::clamp(profile->mExpeditions, 0, std::numeric_limits<int>::max() - 1) + 1;
        if (mApp->mProfileMgr != nullptr)
            mApp->mProfileMgr->WriteUserProfileToRegistry(profile, false, false);
    }
    ShowContinueLink(true);
}

void MapScreen::Update()
{
    if (mDisabled)
        return;
    Widget::Update();
    if (mScrolling)
        UpdateScroll();
    if (mTitleX > mTitleTargetX && !MessageOpen()) {
        MarkDirty();
        mTitleX -= 2;
    }
    if (mUpdateCnt % 11 == 0) {
        MarkDirty();
        mShipFrame = (mShipFrame + 1) % 6;
    }
    if (!mLostAtSea && mNeedsSetup)
        OfferNextSites();
    else if (mLostAtSea && mNeedsSetup)
        ChooseUncharted();
    if (!mTimer->mStopped && mTimer->GetElapsed() >= 500) {
        ++mShownDots;
        const int total = static_cast<int>(mRouteDots.size());
        if (mShownDots < total) {
            MarkDirty();
            mTimer->Reset();
            mApp->PlaySound(SOUND_SHIPMOVE);
        } else {
            mShownDots = total;
            if (++mArrivalSounds <= 3) {
                mApp->PlaySound(SOUND_DIVEBELL1);
                mTimer->Reset();
            } else {
                mTimer->SetDisabled(true);
            }
        }
    }
    if (mBlinkInterval > 0 && mUpdateCnt % mBlinkInterval == 0)
        mBlinkFrame = mBlinkFrame == 0 ? 6 : 0;
}

void MapScreen::KeyChar(char c)
{
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    if (c == ' ' || c == mChosenLetter) {
        mApp->ButtonDepress(CONTINUE_ID);
        return;
    }
    if (mInputLocked || mSiteChosen)
        return;
    for (XWidget* marker : mMarkers)
        if (marker->mLetter == c) {
            marker->MouseDown(0, 0, 1);
            return;
        }
}

void MapScreen::DrawCourse(Graphics* g)
{
    Image* point = mApp->GetImage(IMAGE_POINT);
    Image* green = mApp->GetImage(IMAGE_POINT_GREEN);
    const Color travelled(255, 255, 255, 168);
    const Color faint(255, 255, 255, 128);
    const int total = static_cast<int>(mRouteDots.size());
    for (int i = 0; i < total; ++i) {
        const auto& [x, y] = mRouteDots[i];
        if (i < mTravelledDots)
            DrawCentred(g, point, x, y, &travelled);
        else if (i < mShownDots)
            DrawCentred(g, green, x, y, nullptr);
        else
            DrawCentred(g, green, x, y, &faint);
    }
    for (const auto& [x, y] : mChoiceDots)
        DrawCentred(g, green, x, y, &faint);

    // While a leg is sailed the ship waits at its start.
    const size_t shipIndex = mSinglePath && mRoute.size() >= 2 ? mRoute.size() - 2 : mRoute.size() - 1;
    Image* sign = mApp->GetImage(IMAGE_MAPSHIP);
    for (size_t i = 0; i < shipIndex; ++i)
        DrawCentred(g, sign, mSites[mRoute[i]].x, mSites[mRoute[i]].y, nullptr);
    if (Image* ship = mApp->GetImage(IMAGE_MAPSHIPCOLOR)) {
        const MapSite& site = mSites[mRoute[shipIndex]];
        g->DrawImage(ship, site.x - 25, site.y - 22,
                     Rect(mShipFrame * SHIP_FRAME_WIDTH, 0, SHIP_FRAME_WIDTH, SHIP_FRAME_HEIGHT));
    }
}

void MapScreen::DrawUncharted(Graphics* g)
{
    // A panel as the game's others: brass framed with a dark edge, and black enough
    // under it for the red of the difficulty to read.
    const Rect panel(100, 60, 440, 204);
    g->SetColor(Color(0, 0, 0));
    g->FillRect(panel);
    g->SetColor(Color(10, 20, 32));
    g->DrawRect(panel.x, panel.y, panel.width - 1, panel.height - 1);
    g->SetColor(Color(184, 137, 59));
    for (int i = 1; i <= 2; ++i)
        g->DrawRect(panel.x + i, panel.y + i, panel.width - 1 - 2 * i, panel.height - 1 - 2 * i);
    if (Image* gumbo = mApp->GetImage(IMAGE_GUMBO_SWIM))
        g->DrawImage(gumbo, 128, 105, Rect(mBlinkFrame * GUMBO_FRAME, 0, GUMBO_FRAME, GUMBO_FRAME));
    char level[48];
    std::snprintf(level, sizeof level, "^F7F776^LEVEL %d", mLevelNum);
    g->SetFont(mApp->mFontCourier15Bold);
    WriteString(g, level, 120, 95, 400, 0);
    g->SetFont(mApp->mFontRockwell13);
    WriteWordWrapped(g, Rect(205, 115, 325, 200),
                     "^FFFFFF^You are in uncharted and deadly waters. Each new level will be more ferocious than the "
                     "last. How much further can you go?");
    char bonus[96];
    std::snprintf(bonus, sizeof bonus, "^FFFFFF^Difficulty: ^FF0000^%s + %d%%", mDifficultyName.c_str(),
                  static_cast<int>(mBonusPercent));
    WriteWordWrapped(g, Rect(205, 225, 325, 200), bonus);
}

void MapScreen::DrawArch(Graphics* g, int viewX, int viewY)
{
    if (Image* arch = mApp->GetImage(IMAGE_MAPSCREEN_ARCH))
        g->DrawImage(arch, viewX + 443, viewY + 341);
}

void MapScreen::Draw(Graphics* g)
{
    if (mScrolling) {
        mDrawnViewX.Step(mViewX);
        mDrawnViewY.Step(mViewY);
    }
    const bool linkHidden = mContinueLink == nullptr || !mContinueLink->mVisible;
    if (linkHidden && !mInputLocked)
        mDrawnTitleX.Step(mTitleX);
    const int viewX = mScrolling ? static_cast<int>(mDrawnViewX.drawn) : mViewX;
    const int viewY = mScrolling ? static_cast<int>(mDrawnViewY.drawn) : mViewY;
    if (Image* chart = mApp->GetImage(IMAGE_MAPBG))
        g->DrawImage(chart, viewX, viewY);

    Font* rockwell = mApp->mFontRockwell13;
    if (!mLostAtSea) {
        g->SetColor(Color(0, 0, 0, 180));
        g->FillRect(0, 0, mWidth, 30);
        char level[24];
        std::snprintf(level, sizeof level, "Level %d", mLevelNum);
        Font* title = mApp->mFontMyriad14Bold;
        g->SetFont(title);
        g->SetColor(Color(255, 255, 255));
        g->DrawString(level, 10, 19);
        g->SetFont(rockwell);
        g->SetColor(Color(0, 255, 0));
        // The run's ship, chosen when the level ended: drawing must not draw from the
        // game's generator, or a recorded game would depend on the frame rate.
        const int headingX = (title != nullptr ? title->StringWidth(level) : 0) + 40;
        if (mSiteChosen) {
            g->DrawString("Salvage the treasure of the ", headingX, 19);
            g->DrawString(mApp->mShipName, headingX + (rockwell != nullptr ? rockwell->StringWidth("Salvage the treasure of the ") : 0), 19);
        } else {
            g->DrawString("Which site will you explore next?", headingX, 19);
        }
        DrawCourse(g);
    } else {
        // The chart's compass and rope belong to the chart: the panel that
        // announces the next level lies over them, not under.
        DrawArch(g, viewX, viewY);
        if (!mInputLocked)
            DrawUncharted(g);
        const int limit = ScrollLimit();
        const int limitY = mApp->mHeight - ImageHeight(mApp->GetImage(IMAGE_MAPBG));
        if (mViewX == limit && mViewY == limitY)
            if (Image* ship = mApp->GetImage(IMAGE_MAPSHIPCOLOR))
                g->DrawImage(ship, 486, 403,
                             Rect(mShipFrame * SHIP_FRAME_WIDTH, 0, SHIP_FRAME_WIDTH, SHIP_FRAME_HEIGHT));
    }

    if (!mLostAtSea)
        DrawArch(g, viewX, viewY);
    const int linkTop = mContinueLink != nullptr ? mContinueLink->mY : mHeight;
    g->SetColor(Color(0, 0, 0, 180));
    g->FillRect(0, linkTop, mWidth, mHeight - linkTop);
    if (linkHidden && !mInputLocked && !MessageOpen() && rockwell != nullptr) {
        g->SetFont(rockwell);
        g->SetColor(Color(255, 255, 255));
        g->DrawString(TITLE_TEXT, static_cast<int>(mDrawnTitleX.drawn), linkTop + rockwell->GetAscent() + 6);
    }
}

} // namespace Zant
