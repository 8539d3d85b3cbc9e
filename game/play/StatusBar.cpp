#include "game/play/StatusBar.h"

#include "game/shell/WinBTApp.h"

namespace Zant {

StatusBar::StatusBar(WinBTApp* app) : mApp(app) {}

StatusBar::~StatusBar() = default;

void StatusBar::HideTips() { mTipShown = false; }

void StatusBar::ShowReadyTip(bool show)
{
    mReadyTipOffered = show;
    MarkDirty();
}

void StatusBar::MouseEnter() { mTipShown = true; }

void StatusBar::MouseLeave() { mTipShown = false; }

} // namespace Zant
