// The display the application draws on and presents through.
#include "framework/app/AppServices.h"

#include <atomic>
#include <memory>

#include "framework/app/ZantApp.h"
#include "framework/graphics/D3DTestProcess.h"
#include "framework/graphics/D3DTester.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "platform/SettingsStore.h"
#include "platform/display/SdlScreen.h"

namespace Zant {
namespace AppServices {

namespace {

std::atomic<bool> gPresentFailed{false};

// The mouse position for the cursor thread, x in the low half and y in the high
// half. The main thread publishes it: the cursor thread must not ask the window
// system, which may be re-creating the window at that moment.
std::atomic<uint64_t> gMousePosition{0};

void PublishMousePosition(ZantApp* app)
{
    int x = 0, y = 0;
    if (app->mPlayingDemoBuffer) {
        // A demo steers the cursor; the real pointer is left alone.
        x = app->mLastDemoMouseX;
        y = app->mLastDemoMouseY;
    } else if (app->GetWindowSystem()) {
        app->GetWindowSystem()->GetCursorPos(x, y);
    } else {
        return;
    }
    gMousePosition = uint64_t(uint32_t(x)) | (uint64_t(uint32_t(y)) << 32);
}

// The 3D test's cache lives in the settings store under the program's key. It is
// read and written directly, not through the demo-aware registry layer: a demo keeps
// the test's verdict instead, and a played-back run does not test at all.
class AppTestHost : public D3DTestHost {
public:
    explicit AppTestHost(ZantApp* app) : mApp(app) {}
    bool IsPlayingDemo() override { return mApp->mPlayingDemoBuffer; }
    void DemoSyncText(std::string& text) override { mApp->DemoSyncText(text); }
    bool OpenCache() override { return !mApp->mRegKey.empty() && Platform::GetSettingsStore().CreateKey(KeyPath()); }
    bool ReadCacheInt(const std::string& name, int& value) override
    {
        std::vector<uint8_t> bytes;
        if (!ReadCacheBytes(name, bytes, 4) || bytes.size() != 4)
            return false;
        value = int(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24);
        return true;
    }
    bool ReadCacheBytes(const std::string& name, std::vector<uint8_t>& bytes, int maxLength) override
    {
        int type = 0;
        std::string data;
        if (!Platform::GetSettingsStore().GetValue(KeyPath(), name, type, data) || int(data.size()) > maxLength)
            return false;
        bytes.assign(data.begin(), data.end());
        return true;
    }
    void WriteCacheInt(const std::string& name, int value) override
    {
        Platform::GetSettingsStore().SetDword(KeyPath(), name, uint32_t(value));
    }
    void WriteCacheBytes(const std::string& name, const std::vector<uint8_t>& bytes, bool isString) override
    {
        Platform::GetSettingsStore().SetValue(KeyPath(), name, isString ? REG_TYPE_SZ : REG_TYPE_BINARY, bytes.data(),
                                              bytes.size());
    }

private:
    std::string KeyPath() const { return "SOFTWARE\\" + mApp->mRegKey + "\\Test3D"; }
    ZantApp* mApp;
};

} // namespace

void SetDisplay3D(ZantApp* app, bool is3D)
{
    if (app->mDDInterface)
        app->mDDInterface->mIs3D = is3D;
}

void DestroyDisplay(ZantApp* app)
{
    delete app->mDDInterface;
    app->mDDInterface = nullptr;
}

void RestoreDisplayMode(ZantApp* app)
{
    if (app->mDDInterface)
        app->mDDInterface->RestoreDisplayMode();
}

bool HasDisplay(ZantApp* app) { return app->mDDInterface != nullptr; }

void CreateDisplay(ZantApp* app)
{
    if (!app->mDDInterface) {
        app->mDDInterface = new DDInterface(app, std::make_unique<Platform::SdlScreen>());
        app->mDDInterface->mTestHost = std::make_unique<AppTestHost>(app);
        // The 3D test draws in a helper copy of the program, whose window gets the
        // device this one's would. Without a window (a stand-in window system) there
        // is no device to test here or there.
        if (app->GetWindowSystem() && app->GetWindowSystem()->NativeWindow())
            app->mDDInterface->mTestDrawing = std::make_unique<D3DTestProcess>();
    }
}

int InitDisplay(ZantApp* app, bool windowed, std::string& error)
{
    CreateDisplay(app);
    DDInterface* dd = app->mDDInterface;
    SDL_Window* window = app->GetWindowSystem() ? app->GetWindowSystem()->NativeWindow() : nullptr;
    dd->mAutoEnable3D = app->mAutoEnable3D;
    dd->mTest3D = app->mTest3D;
    // A recording keeps the test's verdict where the display starts.
    dd->mWaitForHardwareTest = app->mRecordingDemoBuffer;
    const int result = dd->Init(window, windowed);
    if (result != DDInterface::RESULT_OK)
        error = DDInterface::ResultName(result) + " " + dd->mErrorString;
    return result;
}

bool Display3DTestRanAnew(ZantApp* app) { return app->mDDInterface && app->mDDInterface->mTestRanAnew; }

bool PollDisplay3DTest(ZantApp* app, bool start, bool wait, bool& fresh, bool& wants3D)
{
    DDInterface* dd = app->mDDInterface;
    if (!dd || !dd->PollHardwareTest(start, wait))
        return false;
    fresh = dd->mD3DTester->mFreshResult;
    wants3D = dd->HardwareTestWants3D(dd->mIs3D);
    return true;
}

Image* ScreenImage(ZantApp* app) { return app->mDDInterface ? app->mDDInterface->GetScreenImage() : nullptr; }

bool Present(ZantApp* app, const Rect* rect)
{
    if (!app->mDDInterface)
        return true;
    PublishMousePosition(app);
    return app->mDDInterface->Present(rect);
}

void PollDisplay(ZantApp* app)
{
    PublishMousePosition(app);
    // A failure marks the display lost; the next present then re-creates it.
    if (app->mDDInterface)
        app->mDDInterface->ShowChangedPrimary();
}

Image* CreateBackBuffer(ZantApp* app, int width, int height)
{
    if (!app->mDDInterface)
        return nullptr;
    auto* image = new DDImage(app->mDDInterface);
    image->Create(width, height);
    image->SetImageMode(false, false);
    image->GenerateDDSurface();
    return image;
}

bool LockScreenImage(ZantApp* app, Image* image)
{
    DDInterface* dd = app->mDDInterface;
    if (!dd || !image || image != dd->GetScreenImage())
        return false;
    // Held for the whole drawing pass, which keeps the cursor thread off the screen
    // and makes the pass the only user of the images it draws.
    dd->mCritSect.Enter();
    if (dd->GetScreenImage()->LockSurface())
        return true;
    dd->mCritSect.Leave();
    return false;
}

void UnlockScreenImage(ZantApp* app, Image* image)
{
    DDInterface* dd = app->mDDInterface;
    if (!dd)
        return;
    if (image && image == dd->GetScreenImage())
        dd->GetScreenImage()->UnlockSurface();
    dd->mCritSect.Leave();
}

void SetPresentFailed(bool failed) { gPresentFailed = failed; }

void SetDisplayVideoOnly(ZantApp* app, bool videoOnly)
{
    if (app->mDDInterface)
        app->mDDInterface->SetVideoOnlyDraw(videoOnly);
}

void SetDisplayCursorImage(ZantApp* app, Image* image)
{
    if (app->mDDInterface)
        app->mDDInterface->SetCursorImage(image);
}

void SetDisplayCursorPos(ZantApp* app, int x, int y)
{
    if (app->mDDInterface)
        app->mDDInterface->SetCursorPos(x, y);
}

void CursorPosition(ZantApp* app, int& x, int& y)
{
    const uint64_t p = gMousePosition.load();
    x = int32_t(uint32_t(p));
    y = int32_t(uint32_t(p >> 32));
}

bool Display3D(ZantApp* app) { return app->mDDInterface && app->mDDInterface->mIs3D; }

bool Display3DSupported(ZantApp* app)
{
    return app->mDDInterface && app->mDDInterface->mD3DTester && app->mDDInterface->mD3DTester->IsSupported();
}

bool Display3DRecommended(ZantApp* app)
{
    return app->mDDInterface && app->mDDInterface->mD3DTester && app->mDDInterface->mD3DTester->IsRecommended();
}

} // namespace AppServices
} // namespace Zant
