// The performance overlay: a frames-per-second counter and, while a demo plays, the
// demo's remaining play time, each a small white-on-black text image placed in the
// bottom right corner of the screen after the widgets are drawn.
#include <cstdio>
#include <memory>
#include <string>

#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/SysFont.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"

namespace Zant {

namespace {

constexpr int OVERLAY_WIDTH = 50;

// A software image that lends its pixels to the system font, which draws only into
// targets that do.
class OverlayImage : public MemoryImage, public SysFontSurface {
public:
    using MemoryImage::MemoryImage;
    bool LockTextBits(uint32_t*& bits, int& pitch) override
    {
        bits = GetBits();
        pitch = GetWidth();
        return bits != nullptr;
    }
    void UnlockTextBits() override { BitsChanged(); }
};

} // namespace

struct DebugOverlayState {
    std::unique_ptr<SysFont> fpsFont;
    std::unique_ptr<SysFont> demoTimeFont;
    std::unique_ptr<OverlayImage> fpsImage;
    std::unique_ptr<OverlayImage> demoTimeImage;
};

void DeleteDebugOverlayState(DebugOverlayState* state) { delete state; }

namespace {

DebugOverlayState& OverlayState(ZantApp* app)
{
    if (!app->mOverlayState)
        app->mOverlayState.reset(new DebugOverlayState);
    return *app->mOverlayState;
}

// Makes the font and its image when they do not exist yet; true when it made them.
bool MakeOverlay(ZantApp* app, std::unique_ptr<SysFont>& font, std::unique_ptr<OverlayImage>& image)
{
    if (image)
        return false;
    if (!font)
        font = std::make_unique<SysFont>(app, "Tahoma", 8);
    image = std::make_unique<OverlayImage>(app);
    image->Create(OVERLAY_WIDTH, font->GetHeight() + 4);
    image->SetVolatile(true);
    return true;
}

void PaintOverlay(OverlayImage& image, SysFont& font, const std::string& text)
{
    Graphics g(&image);
    g.SetColor(Color(0, 0, 0));
    g.FillRect(0, 0, image.GetWidth(), image.GetHeight());
    font.DrawString(&g, 2, font.GetAscent(), text, Color(255, 255, 255),
                    Rect(0, 0, image.GetWidth(), image.GetHeight()));
}

std::string FpsText(int rate)
{
    char text[32];
    std::snprintf(text, sizeof text, "FPS: %d", rate);
    return text;
}

} // namespace

void ZantApp::DrawFPS()
{
    ++mFPSDrawCount;
    DebugOverlayState& state = OverlayState(this);
    if (MakeOverlay(this, state.fpsFont, state.fpsImage)) {
        mFPSImage = state.fpsImage.get();
        PaintOverlay(*state.fpsImage, *state.fpsFont, FpsText(mFPSRate));
    }
    // The overlay may be switched on without the key that starts the timer.
    if (!mFPSTimerStarted) {
        mFPSTimer.Start();
        mFPSTimerStarted = true;
    }
    if (mFPSTimer.GetDuration() < 1000.0)
        return;
    mFPSTimer.Stop();
    const double elapsed = mFPSTimer.GetDuration();
    mFPSRate = static_cast<int>(mFPSDrawCount * 1000.0 / elapsed);
    mFPSTimer.Start();
    mFPSDrawCount = 0;
    PaintOverlay(*state.fpsImage, *state.fpsFont, FpsText(mFPSRate));
}

void ZantApp::DrawDemoTime()
{
    DebugOverlayState& state = OverlayState(this);
    const bool fresh = MakeOverlay(this, state.demoTimeFont, state.demoTimeImage);
    mDemoTimeImage = state.demoTimeImage.get();
    // Refreshed once a second of demo time, which passes faster when played faster.
    const double multiplier = mUpdateMultiplier > 0.0 ? mUpdateMultiplier : 1.0;
    const uint32_t now = Platform::TickCount();
    if (!fresh && Platform::TickDiff(now, mLastDemoTimeRefresh) < 1000.0 / multiplier)
        return;
    mLastDemoTimeRefresh = now;
    PaintOverlay(*state.demoTimeImage, *state.demoTimeFont, DemoTimeRemainingText());
}

void ZantApp::DrawOverlayImages()
{
    Image* screen = mWidgetManager && mWidgetManager->mImage ? mWidgetManager->mImage : AppServices::ScreenImage(this);
    if (!screen || !mFPSImage)
        return;
    // The cursor thread draws on the screen too: keep it out while the overlay is copied.
    const bool locked = AppServices::LockScreenImage(this, screen);
    Graphics g(screen);
    const int fpsX = mWidth - mFPSImage->GetWidth() - 10;
    const int fpsY = mHeight - mFPSImage->GetHeight() - 10;
    g.DrawImage(mFPSImage, fpsX, fpsY);
    if (mPlayingDemoBuffer && mDemoTimeImage) {
        g.DrawImage(mDemoTimeImage, mWidth - mDemoTimeImage->GetWidth() - 10,
                    mHeight - mFPSImage->GetHeight() - mDemoTimeImage->GetHeight() - 15);
    }
    if (locked)
        AppServices::UnlockScreenImage(this, screen);
}

} // namespace Zant
