#pragma once
// A screen for tests: its desktop depth, refresh rate and refusals are set by the
// test, and it keeps a copy of the last frame it was shown.
#include <cstring>
#include <string>
#include <vector>

#include "platform/display/DisplayScreen.h"

namespace Platform {

class FakeScreen : public DisplayScreen {
public:
    int DesktopBitCount() override { return desktopBits; }
    int RefreshRate() override { return refreshRate; }
    void ClientSize(int& width, int& height) override
    {
        width = clientWidth;
        height = clientHeight;
    }
    bool Attach(SDL_Window* window, bool wantFullScreen) override
    {
        if (wantFullScreen && refuseFullScreen)
            return false;
        attached = true;
        fullScreen = wantFullScreen;
        return true;
    }
    void Detach() override { attached = false; }
    bool SetFullScreenMode(int width, int height, int bitCount) override
    {
        if (refuseMode)
            return false;
        modeWidth = width;
        modeHeight = height;
        modeBits = bitCount;
        return true;
    }
    void RestoreMode() override { modeBits = 0; }
    bool Show(const void* pixels, int pitch, int bitCount, int width, int height) override
    {
        ++shown;
        if (failShow)
            return false;
        frameBits = bitCount;
        frameWidth = width;
        frameHeight = height;
        const int rowBytes = width * bitCount / 8;
        frame.resize(size_t(rowBytes) * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(frame.data() + size_t(y) * rowBytes, static_cast<const uint8_t*>(pixels) + size_t(y) * pitch,
                        rowBytes);
        return true;
    }

    RenderDevice* Device() override { return attached ? device : nullptr; }
    std::string Adapter() override { return adapter; }

    // The last frame's pixel at (x, y), as stored (565 or XRGB).
    uint32_t FramePixel(int x, int y) const
    {
        if (frameBits == 16) {
            uint16_t v;
            std::memcpy(&v, frame.data() + (size_t(y) * frameWidth + x) * 2, 2);
            return v;
        }
        uint32_t v;
        std::memcpy(&v, frame.data() + (size_t(y) * frameWidth + x) * 4, 4);
        return v & 0xFFFFFF;
    }

    // Settings.
    int desktopBits = 32;
    int refreshRate = 60;
    int clientWidth = 640;
    int clientHeight = 480;
    bool refuseFullScreen = false;
    bool refuseMode = false;
    bool failShow = false;
    RenderDevice* device = nullptr; // not owned
    std::string adapter;

    // What happened.
    bool attached = false;
    bool fullScreen = false;
    int modeWidth = 0, modeHeight = 0, modeBits = 0;
    int shown = 0;
    int frameBits = 0, frameWidth = 0, frameHeight = 0;
    std::vector<uint8_t> frame;
};

} // namespace Platform
