#pragma once
// The bar under the play field: the Dozav Odaziz charge with its prompt texts, the
// zapper tooltip and the pause, options and quit buttons.
#include "framework/widgets/Widget.h"

namespace Zant {

class WinBTApp;

class StatusBar : public Widget {
public:
    explicit StatusBar(WinBTApp* app);
    ~StatusBar() override;

    // Hides the zapper tooltip.
    void HideTips();
    // The "READY!" tooltip is offered (true) or withdrawn (false).
    void ShowReadyTip(bool show);
    void MouseEnter() override;
    void MouseLeave() override;

public:
    WinBTApp* mApp;
    // The zapper tooltip is showing.
    bool mTipShown = false;
    bool mReadyTipOffered = false;
};

} // namespace Zant
