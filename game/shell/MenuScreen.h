#pragma once
// The main menu: six image buttons cut from the menu picture, the change-user and
// statistics links, and the welcome line with the default user's name.
#include <array>

#include "framework/widgets/Widget.h"

namespace Zant {

class WinBTApp;
class ButtonWidget;
class HyperlinkWidget;

class MenuScreen : public Widget {
public:
    static constexpr int NUM_BUTTONS = 6;
    struct ButtonSpec {
        int id;
        int x, y, width, height;
        int overImage;
        int downImage;
    };
    // In the order the menu holds its buttons.
    static const ButtonSpec BUTTONS[NUM_BUTTONS];

    explicit MenuScreen(WinBTApp* app);
    ~MenuScreen() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void SetVisible(bool visible) override;
    void Draw(Graphics* g) override;

public:
    WinBTApp* mApp;
    // Fade buttons when the machine runs the effects, else plain ones.
    std::array<ButtonWidget*, NUM_BUTTONS> mButtons{};
    HyperlinkWidget* mChangeUserLink;
    HyperlinkWidget* mStatsLink;
};

} // namespace Zant
