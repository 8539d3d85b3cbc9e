#include "platform/display/SdlScreen.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/display/DisplayAdapter.h"
#include "platform/display/SdlRenderDevice.h"

namespace Platform {

SdlScreen::~SdlScreen() { Detach(); }

int SdlScreen::DesktopBitCount()
{
    SDL_DisplayMode mode{};
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return 32;
    const int bits = SDL_BITSPERPIXEL(mode.format);
    // SDL counts the unused byte of an XRGB desktop out; programs see 32-bit pixels.
    if (bits == 24 && SDL_BYTESPERPIXEL(mode.format) == 4)
        return 32;
    if (bits == 15)
        return 16;
    return bits;
}

int SdlScreen::RefreshRate()
{
    SDL_DisplayMode mode{};
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return 0;
    if (WindowAlive() && SDL_GetWindowDisplayMode(mWindow, &mode) == 0 && mode.refresh_rate > 0)
        return mode.refresh_rate;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0)
        return mode.refresh_rate;
    return 0;
}

void SdlScreen::ClientSize(int& width, int& height)
{
    width = 640;
    height = 480;
    if (WindowAlive())
        SDL_GetWindowSize(mWindow, &width, &height);
}

void SdlScreen::DesktopSize(int& width, int& height)
{
    SDL_DisplayMode mode{};
    width = 1024;
    height = 768;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        width = mode.w;
        height = mode.h;
    }
}

bool SdlScreen::WindowAlive() const
{
    // A window destroyed behind our back takes its renderer's insides with it, so
    // the renderer must not be used again.
    return mWindow != nullptr && SDL_GetWindowFromID(mWindowId) == mWindow;
}

namespace {

// Full screen on the desktop. The window is first given the display's bounds itself:
// without a window manager (a bare X server) nothing else would resize it, while SDL
// would still draw as if it covered the desktop.
bool CoverDesktop(SDL_Window* window)
{
    SDL_Rect bounds;
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display >= 0 && SDL_GetDisplayBounds(display, &bounds) == 0) {
        if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN)
            SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowPosition(window, bounds.x, bounds.y);
        SDL_SetWindowSize(window, bounds.w, bounds.h);
    }
    return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

} // namespace

bool SdlScreen::Attach(SDL_Window* window, bool fullScreen)
{
    const bool fresh = window != mWindow || !WindowAlive();
    if (fresh)
        Detach();
    if (window == nullptr)
        return true; // nothing to show frames in: they are dropped
    mWindow = window;
    mWindowId = SDL_GetWindowID(window);
    if (fullScreen && fresh && !CoverDesktop(window))
        return false;
    if (!mRenderer) {
        // 2D frames are copied by SDL's software renderer: an accelerated one would
        // load the GL driver stack (tens of megabytes, a fifth of a second of start-up)
        // only to copy a picture the CPU copies as fast. The 3D device asks for it.
        mRenderer = CreateSoftwareRenderer(window);
        mAccelerated = false;
        if (!mRenderer)
            return false; // Show then fails, and the display is made again
    }
    return true;
}

SDL_Renderer* SdlScreen::CreateSoftwareRenderer(SDL_Window* window)
{
    // Without this SDL may back the window's own surface with a GL texture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
        SDL_RendererInfo info{};
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && info.name && std::strcmp(info.name, "software") == 0)
            return SDL_CreateRenderer(window, i, 0);
    }
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

bool SdlScreen::Accelerate()
{
    if (mAccelerated)
        return mRenderer != nullptr;
    // The software renderer and its texture make way: a window has one renderer.
    if (mTexture)
        SDL_DestroyTexture(mTexture);
    mTexture = nullptr;
    mTextureWidth = mTextureHeight = mTextureBits = 0;
    if (mRenderer)
        SDL_DestroyRenderer(mRenderer);
    // No vsync: the application paces itself, and presents that only move the
    // cursor must not block its 10 ms step.
    mRenderer = SDL_CreateRenderer(mWindow, -1, 0);
    if (!mRenderer)
        mRenderer = CreateSoftwareRenderer(mWindow);
    mAccelerated = true;
    return mRenderer != nullptr;
}

void SdlScreen::Detach()
{
    // Destroying a texture or renderer whose window has gone is safe; using it is not.
    mDevice.reset();
    if (mTexture)
        SDL_DestroyTexture(mTexture);
    if (mRenderer)
        SDL_DestroyRenderer(mRenderer);
    mTexture = nullptr;
    mRenderer = nullptr;
    mAccelerated = false;
    mWindow = nullptr;
    mWindowId = 0;
    mTextureWidth = mTextureHeight = mTextureBits = 0;
}

bool SdlScreen::SetFullScreenMode(int width, int height, int bitCount)
{
    if (!mWindow)
        return true;
    if (!WindowAlive())
        return false;
    if ((SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP)
        return true;
    return SDL_SetWindowFullscreen(mWindow, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

void SdlScreen::RestoreMode() {}

RenderDevice* SdlScreen::Device()
{
    if (!mRenderer || !WindowAlive() || !Accelerate())
        return nullptr;
    if (!mDevice) {
        mDevice = std::make_unique<SdlRenderDevice>(mRenderer);
        if (!mDevice->Caps().targetTextures) {
            mDevice.reset();
            return nullptr;
        }
    }
    return mDevice.get();
}

std::string SdlScreen::Adapter()
{
    // Whatever decides which GL driver the accelerated renderer would get: SDL's
    // video driver and its renderers, the cards, and the settings that make Mesa or
    // the GL dispatcher pick another driver.
    std::string text = "video ";
    const char* video = SDL_GetCurrentVideoDriver();
    text += video ? video : "-";
    text += "\nrenderers";
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
        SDL_RendererInfo info{};
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && info.name)
            text += std::string(" ") + info.name;
    }
    text += "\n";
    for (const char* name : {SDL_HINT_RENDER_DRIVER, "LIBGL_ALWAYS_SOFTWARE", "GALLIUM_DRIVER",
                             "MESA_LOADER_DRIVER_OVERRIDE", "__GLX_VENDOR_LIBRARY_NAME", "DRI_PRIME"}) {
        const char* value = std::strncmp(name, "SDL_", 4) == 0 ? SDL_GetHint(name) : SDL_getenv(name);
        if (value && *value)
            text += std::string(name) + "=" + value + "\n";
    }
    return text + DrmAdapters();
}

void SdlScreen::FramePlacement(int outputWidth, int outputHeight, int frameWidth, int frameHeight, int& x, int& y,
                               int& w, int& h) const
{
    // The same fit the window system uses to map the mouse back: one scale for both
    // axes, the picture centred.
    if (outputWidth == frameWidth && outputHeight == frameHeight) {
        x = y = 0;
        w = frameWidth;
        h = frameHeight;
        return;
    }
    const double scale = std::min(double(outputWidth) / frameWidth, double(outputHeight) / frameHeight);
    w = int(frameWidth * scale + 0.5);
    h = int(frameHeight * scale + 0.5);
    x = (outputWidth - w) / 2;
    y = (outputHeight - h) / 2;
}

bool SdlScreen::Show(const void* pixels, int pitch, int bitCount, int width, int height)
{
    if (!mWindow)
        return true;
    if (!WindowAlive() || !mRenderer) {
        Detach();
        return false;
    }
    if (bitCount != 16 && bitCount != 32)
        return false;
    if (!mTexture || mTextureWidth != width || mTextureHeight != height || mTextureBits != bitCount) {
        if (mTexture)
            SDL_DestroyTexture(mTexture);
        mTexture = SDL_CreateTexture(mRenderer, bitCount == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, width, height);
        if (!mTexture)
            return false;
        // The frame carries no alpha: copy it, do not blend it.
        SDL_SetTextureBlendMode(mTexture, SDL_BLENDMODE_NONE);
        mTextureWidth = width;
        mTextureHeight = height;
        mTextureBits = bitCount;
    }
    if (SDL_UpdateTexture(mTexture, nullptr, pixels, pitch) != 0)
        return false;
    int ow = 0, oh = 0;
    if (SDL_GetRendererOutputSize(mRenderer, &ow, &oh) != 0 || ow <= 0 || oh <= 0)
        return false;
    // The window may have changed size (a switch to full screen) since the renderer
    // last set its viewport: cover the whole output again.
    // The 3D device may have left its target texture in place.
    if (mDevice)
        mDevice->SetTarget(0);
    SDL_RenderSetViewport(mRenderer, nullptr);
    // Letterboxing is done here rather than with a renderer logical size, which would
    // also rescale mouse events that the window system already maps itself.
    SDL_Rect dest;
    FramePlacement(ow, oh, width, height, dest.x, dest.y, dest.w, dest.h);
    // Only the bars around the picture are cleared: the frame covers the rest, and
    // clearing the whole output would touch every pixel once more than needed.
    SDL_Rect bars[4];
    int barCount = 0;
    if (dest.y > 0)
        bars[barCount++] = SDL_Rect{0, 0, ow, dest.y};
    if (dest.y + dest.h < oh)
        bars[barCount++] = SDL_Rect{0, dest.y + dest.h, ow, oh - dest.y - dest.h};
    if (dest.x > 0)
        bars[barCount++] = SDL_Rect{0, dest.y, dest.x, dest.h};
    if (dest.x + dest.w < ow)
        bars[barCount++] = SDL_Rect{dest.x + dest.w, dest.y, ow - dest.x - dest.w, dest.h};
    SDL_SetRenderDrawColor(mRenderer, 0, 0, 0, 255);
    SDL_SetRenderDrawBlendMode(mRenderer, SDL_BLENDMODE_NONE);
    if ((barCount > 0 && SDL_RenderFillRects(mRenderer, bars, barCount) != 0) ||
        SDL_RenderCopy(mRenderer, mTexture, nullptr, &dest) != 0)
        return false;
    if (mCapture) {
        mCaptured.assign(size_t(ow) * oh, 0);
        if (SDL_RenderReadPixels(mRenderer, nullptr, SDL_PIXELFORMAT_ARGB8888, mCaptured.data(), ow * 4) == 0) {
            mCaptureWidth = ow;
            mCaptureHeight = oh;
        } else {
            mCaptured.clear();
            mCaptureWidth = mCaptureHeight = 0;
        }
    }
    SDL_RenderPresent(mRenderer);
    return true;
}

} // namespace Platform
