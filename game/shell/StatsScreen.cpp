#include "game/shell/StatsScreen.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/util/StringUtil.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/KeyboardGuide.h"
#include "game/shell/TutorStatsPanel.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {

// The values' gold-brown (166, 136, 86) and the counts' gold (197, 163, 78) after
// the two summary labels, each darkened (scaled towards black, keeping its hue) as
// far as it takes to read at 4.5:1 by itself on the cream panel, down to its
// darkest part under the boss counters.
const Color VALUE_COLOR(106, 87, 55);
// The summary lines' labels are black like every label above them.
const char* const SUMMARY_LABEL = "^000000^";
const char* const SUMMARY_VALUE = "^6E5B2C^";
constexpr int LABEL_X = 35;
constexpr int CENTRED = 0;

// Pictures of the panels, looked up by name once.
struct PanelImages {
    int tabTop = KeyboardGuide::ImageIndex("tab_top");
    int tabTopShadow = KeyboardGuide::ImageIndex("tab_top_shadow");
    int tabPanel = KeyboardGuide::ImageIndex("tab_panel");
    int tabButton = KeyboardGuide::ImageIndex("tab_button");
    int treasure = KeyboardGuide::ImageIndex("tab_panel_treasure");
    int question = KeyboardGuide::ImageIndex("tab_panel_question");
    int abyssBoss = KeyboardGuide::ImageIndex("abyss_boss");
    int bronze = KeyboardGuide::ImageIndex("medal_bronze");
    int silver = KeyboardGuide::ImageIndex("medal_silver");
    int gold = KeyboardGuide::ImageIndex("medal_gold");
    std::array<int, UserProfile::NUM_SECRET_KINDS> secrets = {
        KeyboardGuide::ImageIndex("secret_crown"), KeyboardGuide::ImageIndex("secret_figurine"),
        KeyboardGuide::ImageIndex("secret_necklace"), KeyboardGuide::ImageIndex("secret_scepter")};
};

const PanelImages& Images()
{
    static const PanelImages images;
    return images;
}

struct Point {
    int x, y;
};

// Gem counters in gem order (green, orange, purple, red, white, yellow).
constexpr Point GEM_COUNTERS[UserProfile::NUM_TREASURE_KINDS] = {{475, 90},  {574, 90},  {475, 142},
                                                                 {574, 142}, {475, 195}, {574, 195}};
// Secret items in the order crown, figurine, necklace, sceptre; their counters sit
// at +51, +25.
constexpr Point SECRET_ITEMS[UserProfile::NUM_SECRET_KINDS] = {{425, 267}, {425, 317}, {524, 267}, {524, 317}};
constexpr Point SECRET_COUNTER_OFFSET = {51, 25};
// The boss counters, in the order of AbyssPanel::BOSS_KINDS.
constexpr Point BOSS_COUNTERS[UserProfile::NUM_BOSS_KINDS] = {{428, 172}, {566, 172}, {566, 334}, {428, 334}};
constexpr Rect MEDAL_BOX(336, 270, 66, 90);

const std::string ADVENTURE_LABELS[] = {"Number of sharks shocked: ", "Number of piranhas zapped: ",
                                        "Number of bosses bested: ", "Highest number of treasure words: ",
                                        "Highest score: "};
const std::string ABYSS_LABELS[] = {"Deepest depth: ", "Number of sharks shocked: ", "Number of piranhas zapped: ",
                                    "Number of bosses bested: "};
const std::string GEMS_FOUND = "Gems found:";
const std::string SECRETS_FOUND = "Secret items found:";
const std::string ADVENTURE_TITLE = "Adventure Mode Stats";
const std::string ABYSS_TITLE = "Abyss Mode Stats";

// Labels in black with their values after them, one line each, from y down, all
// in the panel's font; the values' colour stays set.
template <size_t N>
void DrawLines(Widget& panel, Graphics* g, Font* font, int y, const std::string (&labels)[N],
               const std::array<std::string, N>& values)
{
    g->SetFont(font);
    for (size_t i = 0; i < N; ++i, y += font->GetHeight()) {
        g->SetColor(Color::Black);
        panel.WriteString(g, labels[i], LABEL_X, y);
        g->SetColor(VALUE_COLOR);
        panel.WriteString(g, values[i], LABEL_X + font->StringWidth(labels[i]), y);
    }
}

void DrawTitle(Widget& panel, Graphics* g, Font* font, const std::string& title, int x, int y)
{
    if (font == nullptr)
        return;
    g->SetFont(font);
    g->SetColor(Color::Black);
    panel.WriteString(g, title, x, y);
}

std::string Count(int n) { return FormatString("x%d", n); }

// The expedition count and the best abyss score come from the player in play.
const UserProfile* CurrentOr(const WinBTApp* app, const UserProfile* profile)
{
    return app->mCurProfile != nullptr ? app->mCurProfile : profile;
}

} // namespace

// ---- AdventurePanel.

AdventurePanel::AdventurePanel(WinBTApp* app) : TabPanel(app)
{
    mTitle = "Adventure Mode";
    mHasTransparencies = true;
    SetProfile(nullptr);
}

int AdventurePanel::MedalImage(int expeditions)
{
    if (expeditions >= 5)
        return Images().gold;
    if (expeditions >= 3)
        return Images().silver;
    return expeditions >= 1 ? Images().bronze : -1;
}

void AdventurePanel::SetProfile(UserProfile* profile)
{
    mProfile = profile;
    const UserProfile* p = profile;
    const int values[NUM_LINES] = {p ? p->mNumSharksKilled : 0, p ? p->mNumPiranhasKilled : 0,
                                   p ? p->mNumBossesKilled : 0, p ? p->mBestTreasureStreak : 0,
                                   p ? p->GetBestScore() : 0};
    for (int i = 0; i < NUM_LINES; ++i)
        mValues[size_t(i)] = std::to_string(values[i]);
    const UserProfile* current = CurrentOr(mApp, profile);
    const int expeditions = current != nullptr ? current->mExpeditions : 0;
    mExpeditionsText =
        FormatString("%sNumber of expeditions completed: %s%d", SUMMARY_LABEL, SUMMARY_VALUE, expeditions);
    mMedal = MedalImage(expeditions);
    for (int kind = 0; kind < UserProfile::NUM_TREASURE_KINDS; ++kind)
        mGemTexts[size_t(kind)] = Count(p ? p->mGameTreasures[size_t(kind)] : 0);
    for (int kind = 0; kind < UserProfile::NUM_SECRET_KINDS; ++kind) {
        const int found = p ? p->mGameSecretItems[size_t(kind)] : 0;
        // An item never found shows a question mark and no count.
        mSecretTexts[size_t(kind)] = found != 0 ? Count(found) : std::string();
        mSecretImages[size_t(kind)] = found != 0 ? Images().secrets[size_t(kind)] : Images().question;
    }
    MarkDirty();
}

void AdventurePanel::Draw(Graphics* g)
{
    if (!mActive)
        return;
    DrawTitle(*this, g, mApp->mFontRockwell13Bold, ADVENTURE_TITLE, 60, 35);
    Font* font = mApp->mFontMyriad14Bold;
    if (font == nullptr)
        return;
    g->SetFont(font);
    constexpr int FIRST_LINE_Y = 95;
    DrawLines(*this, g, font, FIRST_LINE_Y, ADVENTURE_LABELS, mValues);
    const int lastLineY = FIRST_LINE_Y + (NUM_LINES - 1) * font->GetHeight();
    WriteString(g, mExpeditionsText, LABEL_X, lastLineY + font->GetHeight() + 6);
    if (Image* medal = mApp->GetImage(mMedal))
        g->DrawImage(medal, MEDAL_BOX, Rect(0, 0, medal->GetWidth(), medal->GetHeight()));

    if (Image* treasure = mApp->GetImage(Images().treasure))
        g->DrawImage(treasure, 408, 23);
    g->SetFont(font);
    g->SetColor(Color::Black);
    WriteString(g, GEMS_FOUND, 419, 42, 200, CENTRED);
    WriteString(g, SECRETS_FOUND, 419, 246, 200, CENTRED);
    g->SetColor(VALUE_COLOR);
    for (int kind = 0; kind < UserProfile::NUM_TREASURE_KINDS; ++kind)
        WriteString(g, mGemTexts[size_t(kind)], GEM_COUNTERS[kind].x, GEM_COUNTERS[kind].y);
    for (int kind = 0; kind < UserProfile::NUM_SECRET_KINDS; ++kind) {
        const Point at = SECRET_ITEMS[kind];
        if (Image* item = mApp->GetImage(mSecretImages[size_t(kind)]))
            g->DrawImage(item, at.x, at.y);
        if (!mSecretTexts[size_t(kind)].empty())
            WriteString(g, mSecretTexts[size_t(kind)], at.x + SECRET_COUNTER_OFFSET.x, at.y + SECRET_COUNTER_OFFSET.y);
    }
}

// ---- AbyssPanel.

AbyssPanel::AbyssPanel(WinBTApp* app) : TabPanel(app)
{
    mTitle = "Abyss Mode";
    mHasTransparencies = true;
    SetProfile(nullptr);
}

int AbyssPanel::BossSum(const UserProfile& profile)
{
    int sum = 0;
    for (int kind : BOSS_KINDS)
        sum += profile.GetBossKillCount(kind);
    return sum;
}

void AbyssPanel::SetProfile(UserProfile* profile)
{
    mProfile = profile;
    const UserProfile* p = profile;
    const int values[NUM_LINES] = {p ? p->mBestDepth : 0, p ? p->mNumAbyssSharksKilled : 0,
                                   p ? p->mNumAbyssPiranhasKilled : 0, p ? BossSum(*p) : 0};
    for (int i = 0; i < NUM_LINES; ++i)
        mValues[size_t(i)] = std::to_string(values[i]);
    const UserProfile* current = CurrentOr(mApp, profile);
    const int best = current != nullptr ? current->mModes[UserProfile::ABYSS_MODE_RECORD].mBestScore : 0;
    mBestScoreText = FormatString("%sHighest score obtained: %s%d", SUMMARY_LABEL, SUMMARY_VALUE, best);
    for (size_t i = 0; i < BOSS_KINDS.size(); ++i)
        mBossTexts[i] = Count(p ? p->GetBossKillCount(BOSS_KINDS[i]) : 0);
    MarkDirty();
}

void AbyssPanel::Draw(Graphics* g)
{
    if (!mActive)
        return;
    DrawTitle(*this, g, mApp->mFontRockwell13Bold, ABYSS_TITLE, 60, 80);
    Font* font = mApp->mFontMyriad14Bold;
    if (font == nullptr)
        return;
    g->SetFont(font);
    constexpr int FIRST_LINE_Y = 154;
    DrawLines(*this, g, font, FIRST_LINE_Y, ABYSS_LABELS, mValues);
    const int lastLineY = FIRST_LINE_Y + (NUM_LINES - 1) * font->GetHeight();
    WriteString(g, mBestScoreText, LABEL_X, lastLineY + font->GetHeight());
    if (Image* bosses = mApp->GetImage(Images().abyssBoss))
        g->DrawImage(bosses, 324, 24);
    g->SetFont(font);
    g->SetColor(VALUE_COLOR);
    for (size_t i = 0; i < BOSS_KINDS.size(); ++i)
        WriteString(g, mBossTexts[i], BOSS_COUNTERS[i].x, BOSS_COUNTERS[i].y);
}

// ---- TutorTabPanel.

TutorTabPanel::TutorTabPanel(WinBTApp* app, TutorialPanel* tutor) : TabPanel(app), mTutor(tutor)
{
    mTitle = tutor->mTitle;
    for (Widget* child : std::initializer_list<Widget*>{tutor->mNextButton, tutor->mPrevButton, tutor->mWpmRadio,
                                                        tutor->mAccuracyRadio, tutor->mAdjustedRadio})
        AddChild(child);
}

void TutorTabPanel::AddedToManager(WidgetManager* manager)
{
    TabPanel::AddedToManager(manager);
    manager->AddWidget(mTutor);
}

void TutorTabPanel::RemovedFromManager(WidgetManager* manager)
{
    TabPanel::RemovedFromManager(manager);
    manager->RemoveWidget(mTutor);
}

void TutorTabPanel::Resize(int x, int y, int width, int height)
{
    TabPanel::Resize(x, y, width, height);
    mTutor->Resize(x, y, width, height);
}

void TutorTabPanel::SetActive(bool active)
{
    if (mWidgetManager != nullptr) {
        if (active)
            mWidgetManager->BringToFront(mTutor);
        else
            mWidgetManager->BringToBack(mTutor);
    }
    TabPanel::SetActive(active);
    // The tutor's page keeps its own rules for which buttons show.
    mTutor->SetActive(active);
}

// ---- StatsScreen.

StatsScreen::StatsScreen(WinBTApp* app, int initialTab) : mApp(app)
{
    mTabs = new TabbedWidget(app);
    mTabs->mFont = app->mFontRockwell13;
    mTabs->mTextColor = Color::Black;
    mTabs->mLineColor = Color::Black;
    mTabs->mBackground = app->GetImage(IMAGE_WATER1);
    mTabs->mPanelImage = app->GetImage(Images().tabPanel);
    mTabs->mTabImage = app->GetImage(Images().tabTop);
    mTabs->mInactiveTabImage = app->GetImage(Images().tabTopShadow);
    mTabs->mTabPadding = 10;
    mTabs->mTextOffsetY = 10;
    mTabs->mFirstTabX = 16;
    mTabs->mTabY = 8;
    mTabs->Resize(0, 0, app->mWidth, app->mHeight);

    mAdventurePanel = new AdventurePanel(app);
    mAbyssPanel = new AbyssPanel(app);
    mAbyssPanel->SetActive(false);
    mTutorialPanel = new TutorialPanel(app);
    mTutorTab = new TutorTabPanel(app, mTutorialPanel);
    mTutorTab->SetActive(false);

    const int tabHeight = mTabs->mTabImage != nullptr ? mTabs->mTabImage->GetHeight() : 0;
    for (TabPanel* panel : std::initializer_list<TabPanel*>{mAdventurePanel, mAbyssPanel, mTutorTab}) {
        panel->Resize(0, tabHeight + 8, app->mWidth, app->mHeight - 8 - tabHeight);
        mTabs->AddTab(panel);
    }
    mTabs->SelectTab(initialTab);
}

StatsScreen::~StatsScreen()
{
    delete mAdventurePanel;
    delete mAbyssPanel;
    delete mTutorTab;
    delete mTutorialPanel;
    delete mTabs;
}

void StatsScreen::SetUserProfile(UserProfile* profile)
{
    mAdventurePanel->SetProfile(profile);
    mAbyssPanel->SetProfile(profile);
    mTutorialPanel->SetProfile(profile);
    if (profile != nullptr)
        mTutorialPanel->ShowLesson(profile->mLastLesson);
}

void StatsScreen::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    manager->AddWidget(mTabs);
}

void StatsScreen::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    manager->RemoveWidget(mTabs);
}

void StatsScreen::ButtonDepress(int id) { mApp->PlaySound(SOUND_BUTTONCLICK); }

DialogButton* StatsScreen::CreateCloseButton(WinBTApp* app)
{
    auto* button = new DialogButton(app->GetImage(Images().tabButton), CLOSE_ID, app);
    if (app->mFontRockwell13 != nullptr)
        button->SetFont(app->mFontRockwell13);
    button->Resize(480, 420, 100, 27);
    button->mLabel = "Close";
    button->mHasAlpha = true;
    return button;
}

} // namespace Zant
