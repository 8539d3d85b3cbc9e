#pragma once
// The statistics screen: one player's records on tabbed pages for the adventure
// mode, the abyss mode and the typing tutor. The application owns its close button.
#include <array>
#include <string>

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"
#include "game/shell/TabbedWidget.h"
#include "game/profile/UserProfile.h"

namespace Zant {

class DialogButton;
class Font;
class TutorialPanel;
class UserProfile;
class WinBTApp;

// Kills, bosses, the best treasure streak and score, expeditions with their medal,
// and the gems and secret items found.
class AdventurePanel : public TabPanel {
public:
    explicit AdventurePanel(WinBTApp* app);
    void SetProfile(UserProfile* profile);
    void Draw(Graphics* g) override;

    // The medal image for a number of completed expeditions; -1 for none.
    static int MedalImage(int expeditions);

public:
    static constexpr int NUM_LINES = 5;
    UserProfile* mProfile = nullptr;
    // The texts and pictures drawn, made when the profile is given.
    std::array<std::string, NUM_LINES> mValues;
    std::string mExpeditionsText;
    int mMedal = -1;
    std::array<std::string, UserProfile::NUM_TREASURE_KINDS> mGemTexts;
    std::array<std::string, UserProfile::NUM_SECRET_KINDS> mSecretTexts;
    std::array<int, UserProfile::NUM_SECRET_KINDS> mSecretImages{};
};

// Depth, kills, the bosses of each kind and the best score of the abyss.
class AbyssPanel : public TabPanel {
public:
    // The boss kinds counted, in the order of their counters on the boss picture.
    static constexpr std::array<int, UserProfile::NUM_BOSS_KINDS> BOSS_KINDS = {12, 14, 16, 15};

    explicit AbyssPanel(WinBTApp* app);
    void SetProfile(UserProfile* profile);
    void Draw(Graphics* g) override;

    // All bosses bested, every kind together.
    static int BossSum(const UserProfile& profile);

public:
    static constexpr int NUM_LINES = 4;
    UserProfile* mProfile = nullptr;
    // The texts drawn, made when the profile is given.
    std::array<std::string, NUM_LINES> mValues;
    std::string mBestScoreText;
    std::array<std::string, UserProfile::NUM_BOSS_KINDS> mBossTexts;
};

// The tutor's own statistics page, put on a tab.
class TutorTabPanel : public TabPanel {
public:
    TutorTabPanel(WinBTApp* app, TutorialPanel* tutor);
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Resize(int x, int y, int width, int height) override;
    void SetActive(bool active) override;
    // The tutor's page takes the clicks.
    bool AcceptsPoint(int x, int y) override { return false; }

public:
    TutorialPanel* mTutor; // not owned
};

class StatsScreen : public Widget, public ButtonListener {
public:
    // The close button's id, answered by the application.
    static constexpr int CLOSE_ID = 1104;
    enum { TAB_ADVENTURE = 0, TAB_ABYSS = 1, TAB_TUTOR = 2 };

    StatsScreen(WinBTApp* app, int initialTab);
    ~StatsScreen() override;

    void SetUserProfile(UserProfile* profile);
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void ButtonDepress(int id) override;

    // The close button the application makes for this screen (the caller owns it).
    static DialogButton* CreateCloseButton(WinBTApp* app);

public:
    WinBTApp* mApp;
    TabbedWidget* mTabs;
    AdventurePanel* mAdventurePanel;
    AbyssPanel* mAbyssPanel;
    TutorialPanel* mTutorialPanel;
    TutorTabPanel* mTutorTab;
};

} // namespace Zant
