#pragma once
// The monitor behind our DirectDraw-like layer: the desktop's depth and refresh
// rate, taking a window for windowed or full-screen use, and showing finished
// frames. The SDL version presents through an SDL renderer; FakeScreen stands in
// for tests.
#include <cstdint>
#include <string>

struct SDL_Window;

namespace Platform {

class RenderDevice;

class DisplayScreen {
public:
    virtual ~DisplayScreen() = default;

    // Bits per pixel of the desktop as a program sees its pixels (an XRGB desktop
    // that SDL calls 24-bit is 32).
    virtual int DesktopBitCount() = 0;
    // Refresh rate in Hz; 0 when unknown.
    virtual int RefreshRate() = 0;
    // Size of the desktop in pixels.
    virtual void DesktopSize(int& width, int& height)
    {
        width = 1024;
        height = 768;
    }
    // Size of the window's drawing area in the program's own pixels.
    virtual void ClientSize(int& width, int& height) = 0;

    // Takes the window frames are shown in; a null window shows nothing (no display
    // attached, as in headless runs). Full screen must be granted; false when refused.
    virtual bool Attach(SDL_Window* window, bool fullScreen) = 0;
    // Lets go of the window and everything made for it.
    virtual void Detach() = 0;
    // Full screen at width x height logical pixels (letterboxed on the desktop);
    // false when the window cannot be made full screen.
    virtual bool SetFullScreenMode(int width, int height, int bitCount) = 0;
    virtual void RestoreMode() = 0;

    // Shows a frame: rows of pitch bytes, 16-bit 565 or 32-bit XRGB pixels. Main
    // thread only. False when the frame could not be shown (the window or the
    // rendering device is gone).
    virtual bool Show(const void* pixels, int pitch, int bitCount, int width, int height) = 0;

    // The 3D device drawing into the attached window; null when there is none (no
    // window, or a renderer that cannot draw into textures).
    virtual RenderDevice* Device() { return nullptr; }
    // What identifies the adapter and driver the 3D device would draw with, known
    // without making the device (which loads the graphics driver); "" when unknown.
    virtual std::string Adapter() { return ""; }
};

} // namespace Platform
