#pragma once
// The chart of dive sites between adventure levels: offers the sites reachable from
// the current one, animates the course to the chosen one and waits for the space
// bar (id 7411). Past the last site the view scrolls off into uncharted waters.
// The application keeps one map per game, hidden and disabled during levels.
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "framework/widgets/Widget.h"

namespace Zant {

class BTTimer;
class HyperlinkWidget;
class WinBTApp;
class XWidget;

struct MapSite {
    int x = 0;
    int y = 0;
    std::string mDescription;
    int mNumber = 0;
    std::vector<int> mNext;
    bool mVisited = false;
    bool mSecret = false;
};

class MapScreen : public Widget {
public:
    static constexpr int NUM_SITES = 36;
    static constexpr int CONTINUE_ID = 7411;
    // Written to the simulation's list of played sites for a level in uncharted waters.
    static constexpr int UNCHARTED_PATH_MARK = 1000;

    explicit MapScreen(WinBTApp* app);
    ~MapScreen() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void SetVisible(bool visible) override;
    void Update() override;
    void KeyChar(char c) override;
    bool WantsFocus() override { return true; }
    void Draw(Graphics* g) override;

    void Reset();
    void ChooseSite();
    void SnapView();
    void SetLostAtSea(bool lost);
    void RemoveSiteWidgets();
    void ShowContinueLink(bool shown);
    // Simulation mode: the map picks the next site itself and goes on at once.
    void SimulatedChoice();
    void ChooseUncharted();

    // The dots of a course between two points: one per 8 pixels, none near the ends.
    static std::vector<std::pair<int, int>> CourseDots(int x0, int y0, int x1, int y1);
    // The bonus of uncharted waters for a difficulty and an endless-level count.
    static double BonusPercent(int difficulty, int endlessCount);
    static int BlinkInterval(double bonusPercent);
    // Where the scroll into uncharted waters ends (screen width - map width).
    int ScrollLimit() const;

    const MapSite& Site(int n) const { return mSites[n]; }
    int CurrentSite() const { return mRoute.back(); }

public:
    WinBTApp* mApp;
    std::array<MapSite, NUM_SITES> mSites;
    std::vector<int> mRoute;
    std::vector<XWidget*> mMarkers;
    std::vector<std::pair<int, int>> mChoiceDots;
    std::vector<std::pair<int, int>> mRouteDots;
    int mTravelledDots = 0;
    int mShownDots = 0;
    int mChosenSite = -1;
    char mChosenLetter = ' ';
    bool mSiteChosen = false;
    bool mSinglePath = false;
    bool mNeedsSetup = true;
    int mLevelNum = 0;
    bool mLostAtSea = false;
    bool mScrolling = false;
    // The warning for the way into uncharted waters is still to be shown.
    bool mWarningDue = false;
    int mViewX = 0;
    int mViewY = 0;
    bool mInputLocked = false;
    bool mShowHint = false;
    std::string mDifficultyName;
    double mBonusPercent = 0;
    int mBlinkInterval = 50;
    int mBlinkFrame = 0;
    int mShipFrame = 0;
    int mArrivalSounds = 0;
    int mTitleX = 0;
    int mTitleTargetX = 0;
    BTTimer* mTimer;
    HyperlinkWidget* mContinueLink = nullptr;

private:
    // A drawn value that follows its logical value through a six-step moving average,
    // so that the scroll does not jerk when updates and draws fall unevenly.
    struct Smoother {
        double drawn = 0;
        int lastSeen = 0;
        std::array<int, 6> ring{};
        int next = 0;
        void Step(int logical);
    };

    void BuildSites();
    void OfferNextSites();
    XWidget* MakeMarker(int slot, int site, bool single);
    void ShowMapHint(bool single);
    // Opens the one-time "lost at sea" warning as the map is shown, when it is due.
    void WarnLostAtSea();
    void UpdateScroll();
    void FinishScroll();
    bool MessageOpen();
    void DrawCourse(Graphics* g);
    // The chart's compass and rope, where the chart is drawn.
    void DrawArch(Graphics* g, int viewX, int viewY);
    void DrawUncharted(Graphics* g);

    Smoother mDrawnViewX;
    Smoother mDrawnViewY;
    Smoother mDrawnTitleX;
};

} // namespace Zant
