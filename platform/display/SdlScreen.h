#pragma once
// The screen on SDL2: frames go into a streaming texture (ARGB8888 or RGB565) that
// an SDL renderer (made without vsync) copies into the window, scaled to fit and
// centred (letterboxed) when the window is larger than the frame, as it is on a
// full-screen desktop. The renderer is SDL's software one until the 3D device is
// asked for, which takes the best the system has (GL where there is one). Every call
// that touches SDL runs on the main thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/display/DisplayScreen.h"
#include "platform/display/SdlRenderDevice.h"

struct SDL_Renderer;
struct SDL_Texture;

namespace Platform {


class SdlScreen : public DisplayScreen {
public:
    SdlScreen() = default;
    ~SdlScreen() override;
    SdlScreen(const SdlScreen&) = delete;
    SdlScreen& operator=(const SdlScreen&) = delete;

    int DesktopBitCount() override;
    int RefreshRate() override;
    void ClientSize(int& width, int& height) override;
    void DesktopSize(int& width, int& height) override;
    bool Attach(SDL_Window* window, bool fullScreen) override;
    void Detach() override;
    bool SetFullScreenMode(int width, int height, int bitCount) override;
    void RestoreMode() override;
    bool Show(const void* pixels, int pitch, int bitCount, int width, int height) override;
    RenderDevice* Device() override;
    std::string Adapter() override;

    // While on, every shown frame is also read back from the renderer (before it is
    // presented) as 0xAARRGGBB pixels of the whole output, black bars included.
    void SetCapture(bool on) { mCapture = on; }
    const std::vector<uint32_t>& Captured(int& width, int& height) const
    {
        width = mCaptureWidth;
        height = mCaptureHeight;
        return mCaptured;
    }
    // Where the frame lands in the output: offset and scale.
    void FramePlacement(int outputWidth, int outputHeight, int frameWidth, int frameHeight, int& x, int& y, int& w,
                        int& h) const;

private:
    bool WindowAlive() const;
    static SDL_Renderer* CreateSoftwareRenderer(SDL_Window* window);
    // Replaces the software renderer with the accelerated one; false when none can be made.
    bool Accelerate();

    SDL_Window* mWindow = nullptr;
    uint32_t mWindowId = 0;
    SDL_Renderer* mRenderer = nullptr;
    bool mAccelerated = false;
    std::unique_ptr<SdlRenderDevice> mDevice;
    SDL_Texture* mTexture = nullptr;
    int mTextureWidth = 0;
    int mTextureHeight = 0;
    int mTextureBits = 0;
    bool mCapture = false;
    std::vector<uint32_t> mCaptured;
    int mCaptureWidth = 0;
    int mCaptureHeight = 0;
};

} // namespace Platform
