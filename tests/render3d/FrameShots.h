#pragma once
// The frames the 3D tests take: read from the display's draw surface (the same in
// both modes), written as PNG files beside the build (render3d-shots/) for a look,
// and compared channel by channel.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageLib.h"

namespace RenderTest {

inline std::vector<uint32_t> ReadDrawSurface(Zant::DDInterface& dd)
{
    std::vector<uint32_t> pixels(640 * 480);
    Platform::DDSurfaceDesc desc;
    if (Platform::DDFailed(dd.mDrawSurface->Lock(desc)))
        return {};
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            uint32_t p;
            std::memcpy(&p, static_cast<uint8_t*>(desc.surface) + size_t(y) * desc.pitch + x * 4, 4);
            pixels[size_t(y) * 640 + x] = p & 0xFFFFFF;
        }
    dd.mDrawSurface->Unlock();
    return pixels;
}

inline void SaveShot(const std::vector<uint32_t>& pixels, const std::string& name)
{
    const char* dir = getenv("PLINDOR_BINARY_DIR");
    const std::filesystem::path folder = std::filesystem::path(dir ? dir : "/tmp") / "render3d-shots";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    ImageLib::Image image(640, 480);
    for (size_t i = 0; i < pixels.size(); ++i)
        image.mBits[i] = pixels[i] | 0xFF000000u;
    ImageLib::WritePng((folder / name).string(), image);
}

inline int ChannelDistance(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

// How far apart two frames of the same size are: pixels with a channel more than
// farChannel apart, and the mean of every pixel's largest channel distance.
struct FrameDistance {
    int far = 0;
    double mean = 0;
};

inline FrameDistance CompareFrames(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int farChannel)
{
    FrameDistance d;
    int64_t total = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const int c = ChannelDistance(a[i], b[i]);
        total += c;
        d.far += c > farChannel;
    }
    d.mean = a.empty() ? 0 : double(total) / double(a.size());
    return d;
}

} // namespace RenderTest
