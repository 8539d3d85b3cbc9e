#pragma once
// The bar under the play field: the Dozav Odaziz charge with its prompt texts, the
// zapper tooltip and the pause, options and quit buttons.
#include <array>
#include <string>

#include "framework/widgets/Widget.h"

namespace Zant {

class BoardHost;
class GameAssets;
class FadeButton;
class TooltipWidget;
class Image;

class StatusBar : public Widget {
public:
    static constexpr int BAR_X = 117;
    static constexpr int BAR_Y = 8;
    static constexpr int BAR_WIDTH = 228;
    static constexpr int UPDATES_PER_PROMPT = 1500;
    // The buttons' ids as the application's dispatcher knows them.
    enum { BUTTON_PAUSE = 200, BUTTON_QUIT = 201, BUTTON_OPTIONS = 203 };

    explicit StatusBar(BoardHost* app);
    ~StatusBar() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void OrderInManagerChanged() override;
    void SetVisible(bool visible) override;
    void SetDisabled(bool disabled) override;
    void Draw(Graphics* g) override;
    void Update() override;
    void MouseEnter() override;
    void MouseLeave() override;

    static constexpr int TOOLTIP_DELAY = 500;

    // The buttons take the bar's visible and enabled states again.
    void RefreshChildStates();
    // Hides the tooltips.
    void HideTips();
    // The zapper tooltip is shown (true) or hidden (false).
    void ShowReadyTip(bool show);
    // The width of the filled part of the charge bar for a charge.
    static int ChargeWidth(double charge);

public:
    BoardHost* mApp;
    GameAssets& mAssets;
    std::array<FadeButton*, 3> mButtons{};
    // The backgrounds cut from the bar for the buttons (owned).
    std::array<Image*, 3> mButtonImages{};
    // The zapper tooltip (owned).
    TooltipWidget* mTooltip;
    std::string mReadyText = "READY!";

private:
    bool BoardPaused() const;
};

} // namespace Zant
