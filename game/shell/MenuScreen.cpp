#include "game/shell/MenuScreen.h"

#include "framework/graphics/DDImage.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/FadeButton.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {

enum {
    BUTTON_ABYSS_OVER = 17,
    BUTTON_ABYSS_DOWN = 18,
    BUTTON_ADVENTURE_OVER = 19,
    BUTTON_ADVENTURE_DOWN = 20,
    BUTTON_TUTOR_OVER = 21,
    BUTTON_TUTOR_DOWN = 22,
    BUTTON_HALL_DOWN = 230,
    BUTTON_HALL_OVER = 231,
    BUTTON_OPTIONS_DOWN = 232,
    BUTTON_OPTIONS_OVER = 233,
    BUTTON_QUIT_DOWN = 234,
    BUTTON_QUIT_OVER = 235,
};

struct LinkSpec {
    int id;
    const char* label;
    int y;
    Color color;
};

// The welcome plate of the menu picture: the welcome lines are written in this box
// and the links centred under them.
constexpr int WELCOME_X = 35;
constexpr int WELCOME_WIDTH = 250;

const LinkSpec LINKS[2] = {
    {105, "(Click here if this is not you)", 78, Color(140, 60, 0)},
    {106, "Click here to view your statistics", 103, Color(150, 70, 20)},
};

// The name as far as it fits the welcome box, cut short with "..." where it would
// run out of the plate and under the adventure button.
std::string FitWelcomeName(const std::string& name, Font* font)
{
    if (font->StringWidth(name) <= WELCOME_WIDTH)
        return name;
    const std::string dots = "...";
    size_t taken = name.size();
    while (taken > 0 && font->StringWidth(name.substr(0, taken) + dots) > WELCOME_WIDTH)
        --taken;
    return name.substr(0, taken) + dots;
}

HyperlinkWidget* MakeLink(WinBTApp* app, const LinkSpec& layout)
{
    auto* link = new HyperlinkWidget(layout.id, app);
    link->mLabel = layout.label;
    link->mColor = layout.color;
    // Under the mouse the link deepens to maroon: white would vanish on the cream plate.
    link->mOverColor = Color(128, 0, 0);
    link->mUnderlineSize = 1;
    link->SetFont(app->mFontMyriad12Bold);
    return link;
}

} // namespace

const MenuScreen::ButtonSpec MenuScreen::BUTTONS[NUM_BUTTONS] = {
    {100, 303, 32, 310, 101, BUTTON_ADVENTURE_OVER, BUTTON_ADVENTURE_DOWN},
    {101, 303, 136, 310, 101, BUTTON_ABYSS_OVER, BUTTON_ABYSS_DOWN},
    {102, 303, 240, 310, 101, BUTTON_TUTOR_OVER, BUTTON_TUTOR_DOWN},
    {104, 511, 362, 98, 83, BUTTON_QUIT_OVER, BUTTON_QUIT_DOWN},
    {103, 307, 362, 204, 41, BUTTON_HALL_OVER, BUTTON_HALL_DOWN},
    {107, 307, 404, 204, 41, BUTTON_OPTIONS_OVER, BUTTON_OPTIONS_DOWN},
};

MenuScreen::MenuScreen(WinBTApp* app)
    : mApp(app), mChangeUserLink(MakeLink(app, LINKS[0])), mStatsLink(MakeLink(app, LINKS[1]))
{
    Image* background = app->GetImage(IMAGE_GAMESELECTOR);
    for (int i = 0; i < NUM_BUTTONS; ++i) {
        const ButtonSpec& layout = BUTTONS[i];
        ButtonWidget* button;
        if (app->mEffectsOn) {
            auto* fade = new FadeButton(layout.id, app);
            fade->mFadeStep = FadeButton::DEFAULT_FADE_STEP;
            fade->mFadeInterval = 1;
            fade->mFadeOnEnter = fade->mFadeOnLeave = fade->mFadeOnDown = fade->mFadeOnUp = true;
            button = fade;
        } else {
            button = new ButtonWidget(layout.id, app);
        }
        // The normal look is the menu picture itself under the button.
        if (background != nullptr)
            button->mButtonImage = app->DuplicateImage(background, Rect(layout.x, layout.y, layout.width, layout.height));
        button->mOverImage = app->GetImage(layout.overImage);
        button->mDownImage = app->GetImage(layout.downImage);
        mButtons[size_t(i)] = button;
    }
}

MenuScreen::~MenuScreen()
{
    for (ButtonWidget* button : mButtons) {
        delete button->mButtonImage;
        delete button;
    }
    delete mChangeUserLink;
    delete mStatsLink;
}

void MenuScreen::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    for (HyperlinkWidget* link : {mChangeUserLink, mStatsLink}) {
        const LinkSpec& layout = link == mChangeUserLink ? LINKS[0] : LINKS[1];
        const int width = link->mFont ? link->mFont->StringWidth(link->mLabel) + 10 : 10;
        link->Resize(WELCOME_X + (WELCOME_WIDTH - width) / 2, layout.y, width, 30);
        link->SetVisible(true);
        link->SetDisabled(false);
        link->SetHandCursor(true);
        manager->AddWidget(link);
    }
    for (int i = 0; i < NUM_BUTTONS; ++i) {
        const ButtonSpec& layout = BUTTONS[i];
        ButtonWidget* button = mButtons[size_t(i)];
        button->Resize(layout.x, layout.y, layout.width, layout.height);
        button->SetHandCursor(true);
        manager->AddWidget(button);
    }
}

void MenuScreen::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    for (ButtonWidget* button : mButtons)
        manager->RemoveWidget(button);
    manager->RemoveWidget(mChangeUserLink);
    manager->RemoveWidget(mStatsLink);
}

void MenuScreen::SetVisible(bool visible)
{
    Widget::SetVisible(visible);
    for (ButtonWidget* button : mButtons)
        button->SetVisible(visible);
}

void MenuScreen::Draw(Graphics* g)
{
    if (Image* background = mApp->GetImage(IMAGE_GAMESELECTOR))
        g->DrawImage(background, 0, 0);
    Font* font = mApp->mFontRockwell13;
    if (font == nullptr)
        return;
    const std::string name = mApp->mProfileMgr ? mApp->mProfileMgr->GetDefaultUserName() : "";
    g->SetFont(font);
    g->SetColor(Color(255, 255, 255));
    WriteString(g, name.empty() ? "Welcome to Plindor!" : "Welcome to Plindor,", WELCOME_X, 55, WELCOME_WIDTH, 0);
    if (!name.empty())
        WriteString(g, FitWelcomeName(name, font), WELCOME_X, font->GetHeight() + 58, WELCOME_WIDTH, 0);
}

} // namespace Zant
