// Debug keys, the memory report, 3D switching and image services.
#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <string>

#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/PerfTimer.h"
#include "framework/util/StringUtil.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/MessageBox.h"

namespace Zant {

namespace {

enum DebugKey { KEY_F2 = 113, KEY_F3 = 114, KEY_F8 = 119, KEY_F9 = 120, KEY_F11 = 122 };

void ShowInfoBox(const std::string& title, const std::string& text)
{
    Platform::MessageBoxRequest box;
    box.title = title;
    box.text = text;
    Platform::ShowMessageBox(box);
}

std::string Kilobytes(int64_t bytes)
{
    const int64_t kb = bytes / 1024;
    return FormatThousands(kb > INT32_MAX ? INT32_MAX : static_cast<int>(kb));
}

// The texture pixel formats the renderer uses, by their codes.
struct TextureFormat {
    int code;
    const char* name;
};
constexpr TextureFormat kTextureFormats[] = {{1, "A8R8G8B8"}, {2, "A4R4G4B4"}, {4, "R5G6B5"}, {8, "Palette8"}};

// Texture data an image holds: its byte count and format code.
bool ImageTextureUse(const MemoryImage* image, int64_t& bytes, int& format)
{
    return D3DInterface::TextureUse(image, bytes, format);
}

} // namespace

bool ZantApp::HandleDebugKey(int key)
{
    switch (key) {
    case KEY_F2:
        if (!NamedTimers::GetGlobalFlag()) {
            ShowInfoBox("Perf Monitoring", "Perf Monitoring: ON");
            ResetFrameClock();
            NamedTimers::Clear(false);
        } else {
            NamedTimers::Stop();
            ShowInfoBox("Perf Results", NamedTimers::Report());
            ResetFrameClock();
        }
        return true;
    case KEY_F3:
        mShowFPS = !mShowFPS;
        if (mWidgetManager)
            mWidgetManager->MarkAllWidgetsDirty();
        if (mShowFPS) {
            mFPSTimer.Start();
            mFPSTimerStarted = true;
            mFPSDrawCount = 0;
            mFPSRate = 0;
        }
        return true;
    case KEY_F8:
        Set3DAcceleration(!Is3D(), true);
        // The state the switch ended in: a failed switch to 3D falls back to 2D.
        ShowInfoBox("Mode Switch", std::string("3D-Mode: ") + (Is3D() ? "ON" : "OFF"));
        ResetFrameClock();
        return true;
    case KEY_F9:
        ShowVideoMemoryReport();
        return true;
    case KEY_F11:
        WriteImageReport();
        return true;
    default:
        return false;
    }
}

void ZantApp::Set3DAcceleration(bool is3D, bool reinitialise)
{
    if (Is3D() == is3D)
        return;
    m3DChanged = true;
    Switch3DMode(is3D, reinitialise);
}

void ZantApp::Take3DTestVerdict(bool wait)
{
    // The drawing starts once the title is up and loaded, so that it takes no core
    // from the title's first frame or from the loading.
    const bool start = mFirstFrameShown.load(std::memory_order_acquire) && mLoadingThreadCompleted;
    bool fresh = false, wants3D = false;
    if (!AppServices::PollDisplay3DTest(this, start, wait, fresh, wants3D))
        return;
    // As at the display's start: a verdict made anew forgets the stored choice.
    if (fresh)
        DeleteRegistryValue("Is3D");
    // A mode chosen during the run (the options, F8) stands, and at the end nothing
    // is rebuilt.
    if (m3DChanged || mShutdown || wants3D == Is3D())
        return;
    Switch3DMode(wants3D, true);
}

void ZantApp::Switch3DMode(bool is3D, bool reinitialise)
{
    bool want3D = is3D;
    for (;;) {
        AppServices::SetDisplay3D(this, want3D);
        // Cached textures and surfaces are rebuilt for the new mode.
        ClearImageCaches();
        // Without a display there is nothing to rebuild: the mode takes effect when
        // the main window makes one.
        if (!reinitialise || !AppServices::HasDisplay(this))
            return;
        DisplayResetHook();
        std::string error;
        if (AppServices::InitDisplay(this, mIsWindowed, error) == DDInterface::RESULT_OK)
            break;
        if (!want3D) {
            ShowMessage("Failed to initialize the SDL display: " + error);
            FatalExit(EXIT_FATAL);
        }
        // 3D falls back to 2D. The display may already read 2D (it refuses 3D without
        // a renderer), so the 2D attempt is made here rather than by asking for a
        // switch that would find nothing to change and leave the display down.
        want3D = false;
    }
    if (mWidgetManager) {
        mWidgetManager->mImage = AppServices::ScreenImage(this);
        mWidgetManager->MarkAllWidgetsDirty();
    }
}

void ZantApp::ShowVideoMemoryReport()
{
    // Our display layer keeps surfaces in system memory and cannot tell the video
    // memory of the machine: both figures read 0.
    const int64_t videoTotal = 0;
    const int64_t videoFree = 0;

    int64_t textureTotal = 0;
    int counts[std::size(kTextureFormats)] = {};
    int64_t sizes[std::size(kTextureFormats)] = {};
    {
        std::lock_guard<std::recursive_mutex> guard(mImageLock);
        for (const MemoryImage* image : mMemoryImageSet) {
            int64_t bytes = 0;
            int format = 0;
            if (!ImageTextureUse(image, bytes, format))
                continue;
            textureTotal += bytes;
            for (size_t i = 0; i < std::size(kTextureFormats); ++i) {
                if (kTextureFormats[i].code == format) {
                    ++counts[i];
                    sizes[i] += bytes;
                }
            }
        }
    }

    const char* support = Is3DRecommended() ? "Recommended" : Is3DSupported() ? "Supported" : "Unsupported";
    std::string text = std::string("3D-Mode ") + (Is3D() ? "On" : "Off") + " (3D is " + support +
                       " on this system)\r\n\r\n";
    text += "Video Memory: " + Kilobytes(videoTotal - videoFree) + "/" + Kilobytes(videoTotal) + " KB\r\n\r\n";
    text += "Texture Memory: " + Kilobytes(textureTotal) + " KB\r\n";
    for (size_t i = 0; i < std::size(kTextureFormats); ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "%s: %d - %s KB\r\n", kTextureFormats[i].name, counts[i],
                      Kilobytes(sizes[i]).c_str());
        text += line;
    }
    ShowInfoBox("Memory Usage", text);
    ResetFrameClock();
}

void ZantApp::ClearImageCaches()
{
    // The display's lock first: the cursor thread draws the cursor image under it,
    // and that image's caches are among those dropped here.
    std::unique_lock<CriticalSectionLock> display;
    if (mDDInterface)
        display = std::unique_lock<CriticalSectionLock>(mDDInterface->mCritSect);
    std::lock_guard<std::recursive_mutex> guard(mImageLock);
    for (MemoryImage* image : mMemoryImageSet)
        image->DeleteExtraBuffers();
}

} // namespace Zant
