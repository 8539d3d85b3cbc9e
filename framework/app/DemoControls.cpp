// What the viewer of a demo can do while it plays: speed, pause, catch-up to a
// point near the end, the marker list and the volume switch.
#include <algorithm>
#include <cstdio>

#include "framework/app/ZantApp.h"
#include "framework/widgets/MarkerListDialog.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"

namespace Zant {

namespace {

// The speed stays where the pacing arithmetic (frame time / speed, in whole ms)
// means something.
constexpr double kMinSpeed = 0.001;
constexpr double kMaxSpeed = 1000.0;

std::string FormatPlayTime(long long milliseconds)
{
    const long long seconds = std::max(milliseconds, 0LL) / 1000;
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, (seconds / 60) % 60, seconds % 60);
    return text;
}

} // namespace

bool ZantApp::HandleDemoPlaybackKey(char c)
{
    // Catch-up targets: so many milliseconds before the end.
    static const int kBeforeEnd[] = {120000, 90000, 60000, 30000, 10000, 5000}; // keys 4 to 9
    switch (c) {
    case '+':
        mUpdateMultiplier = std::min(mUpdateMultiplier * 1.5, kMaxSpeed);
        return true;
    case '-':
        mUpdateMultiplier = std::max(mUpdateMultiplier * 0.6666666666666666, kMinSpeed);
        return true;
    case '=':
        mUpdateMultiplier = 1.0;
        return true;
    case '0':
        mDemoAdvanceToUpdate = mDemoLength;
        return true;
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
        mDemoAdvanceToUpdate = mDemoLength - kBeforeEnd[c - '4'] / std::max(mFrameTime, 1);
        return true;
    case 'L':
    case 'l':
        ShowDemoMarkerList();
        return true;
    case 'M':
    case 'm':
        mFastForwardToMarker = true;
        return true;
    case 'P':
    case 'p':
        mPaused = !mPaused;
        mLastTime = Platform::TickCount();
        return true;
    case 'S':
    case 's':
        ToggleDemoVolume();
        return true;
    default:
        return false;
    }
}

void ZantApp::ToggleDemoVolume()
{
    if (GetMusicVolume() == 0) {
        SetMusicVolume(mDemoMusicVolume);
    } else {
        mDemoMusicVolume = GetMusicVolume();
        SetMusicVolume(0);
    }
    if (GetSfxVolume() == 0) {
        SetSfxVolume(mDemoSfxVolume);
    } else {
        mDemoSfxVolume = GetSfxVolume();
        SetSfxVolume(0);
    }
}

std::vector<std::string> ZantApp::DemoMarkerListEntries(std::vector<int>* updates)
{
    std::vector<std::string> entries;
    if (updates)
        updates->clear();
    for (const DemoMarker& marker : mDemoMarkerList) {
        if (marker.mUpdate <= mUpdateCount)
            continue;
        const long long ms = static_cast<long long>(mDemoLength - marker.mUpdate) * mFrameTime;
        entries.push_back(marker.mName + " (" + FormatPlayTime(ms) + ")");
        if (updates)
            updates->push_back(marker.mUpdate);
    }
    return entries;
}

void ZantApp::ChooseDemoMarker(int update)
{
    if (update > mUpdateCount)
        mDemoAdvanceToUpdate = update;
}

void ZantApp::ShowDemoMarkerList()
{
    if (!mWidgetManager || DemoMarkerListOpen())
        return;
    std::vector<int> updates;
    const std::vector<std::string> entries = DemoMarkerListEntries(&updates);
    auto* dialog = new MarkerListDialog(this, entries, updates);
    dialog->Resize((mWidth - MarkerListDialog::WIDTH) / 2, (mHeight - MarkerListDialog::HEIGHT) / 2,
                   MarkerListDialog::WIDTH, MarkerListDialog::HEIGHT);
    AddDialog(MarkerListDialog::ID, dialog);
    mWidgetManager->SetFocus(dialog);
}

bool ZantApp::DemoMarkerListOpen() { return FindDialog(MarkerListDialog::ID) != nullptr; }

std::string ZantApp::DemoTimeRemainingText()
{
    return FormatPlayTime(static_cast<long long>(mDemoLength - mUpdateCount) * mFrameTime);
}

} // namespace Zant
