#include "tests/support/ReferencePicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "framework/graphics/DDInterface.h"
#include "platform/display/SdlScreen.h"
#include "tests/support/TestSupport.h"

namespace TestSupport {

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

std::string ShotPath(const std::string& folder, const std::string& name)
{
    const char* binary = std::getenv("PLINDOR_BINARY_DIR");
    const std::filesystem::path shots = std::filesystem::path(binary ? binary : "/tmp") / "screenshots" / folder;
    std::error_code ec;
    std::filesystem::create_directories(shots, ec);
    return (shots / name).string();
}

// The largest difference of the two pixels' colour channels (alpha aside).
int ChannelDistance(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

} // namespace

ImageLib::Image CaptureFrame(Platform::SdlScreen& screen)
{
    int width = 0, height = 0;
    const std::vector<uint32_t> pixels = screen.Captured(width, height);
    ImageLib::Image frame(WIDTH, HEIGHT);
    if (width <= 0 || height <= 0 || pixels.size() < size_t(width) * size_t(height)) {
        ADD_FAILURE() << "nothing was read back from the window";
        return frame;
    }
    int ox = 0, oy = 0, w = 0, h = 0;
    screen.FramePlacement(width, height, WIDTH, HEIGHT, ox, oy, w, h);
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            const int sx = ox + int((x + 0.5) * w / WIDTH), sy = oy + int((y + 0.5) * h / HEIGHT);
            frame.GetBits()[size_t(y) * WIDTH + size_t(x)] = pixels[size_t(sy) * size_t(width) + size_t(sx)] | 0xFF000000u;
        }
    return frame;
}

ImageLib::Image Picture(const std::vector<uint32_t>& pixels, int width, int height)
{
    ImageLib::Image picture(width, height);
    for (size_t i = 0; i < pixels.size() && i < picture.mBits.size(); ++i)
        picture.GetBits()[i] = pixels[i] | 0xFF000000u;
    return picture;
}

ImageLib::Image ReadDrawSurface(Zant::DDInterface& dd)
{
    ImageLib::Image frame(WIDTH, HEIGHT);
    Platform::DDSurfaceDesc desc;
    if (dd.mDrawSurface == nullptr || Platform::DDFailed(dd.mDrawSurface->Lock(desc))) {
        ADD_FAILURE() << "the draw surface cannot be read";
        return frame;
    }
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            uint32_t p;
            std::memcpy(&p, static_cast<uint8_t*>(desc.surface) + size_t(y) * desc.pitch + size_t(x) * 4, 4);
            frame.GetBits()[size_t(y) * WIDTH + size_t(x)] = p | 0xFF000000u;
        }
    dd.mDrawSurface->Unlock();
    return frame;
}

FrameDistance CompareFrames(const ImageLib::Image& a, const ImageLib::Image& b, int farChannel)
{
    FrameDistance d;
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.mBits.size() == 0) {
        ADD_FAILURE() << "frames of " << a.GetWidth() << "x" << a.GetHeight() << " and " << b.GetWidth() << "x"
                      << b.GetHeight() << " cannot be compared";
        d.far = int(std::max(a.mBits.size(), b.mBits.size()));
        d.mean = 255;
        return d;
    }
    int64_t total = 0;
    for (size_t i = 0; i < a.mBits.size(); ++i) {
        const int c = ChannelDistance(a.GetBits()[i], b.GetBits()[i]);
        total += c;
        d.far += c > farChannel;
    }
    d.mean = double(total) / double(a.mBits.size());
    return d;
}

std::string SaveShot(const ImageLib::Image& shot, const std::string& folder, const std::string& name)
{
    const std::string out = ShotPath(folder, name);
    ImageLib::WritePng(out, shot);
    return out;
}

int DifferingPixels(const ImageLib::Image& shot, const std::string& folder, const std::string& name,
                    int channelTolerance)
{
    const std::string out = SaveShot(shot, folder, name);
    const std::string referencePath = SourceDir() + "/tests/" + folder + "/" + name;
    std::unique_ptr<ImageLib::Image> reference = ImageLib::ReadPng(referencePath);
    if (!reference || reference->GetWidth() != shot.GetWidth() || reference->GetHeight() != shot.GetHeight()) {
        ADD_FAILURE() << "no " << shot.GetWidth() << "x" << shot.GetHeight() << " reference " << referencePath
                      << "; this run's picture is " << out;
        return -1;
    }
    ImageLib::Image marks(shot.GetWidth(), shot.GetHeight());
    int differing = 0;
    for (size_t i = 0; i < shot.mBits.size(); ++i) {
        const uint32_t a = shot.GetBits()[i];
        const bool off = ChannelDistance(a, reference->GetBits()[i]) > channelTolerance;
        marks.GetBits()[i] = off ? 0xFFFF00FFu : 0xFF000000u | ((a >> 2) & 0x3F3F3Fu);
        differing += off;
    }
    if (differing > 0)
        ImageLib::WritePng(out + ".diff.png", marks);
    return differing;
}

void ExpectMatchesReference(const ImageLib::Image& shot, const Reference& reference, const std::string& name)
{
    const int differing = DifferingPixels(shot, reference.folder, name, reference.channelTolerance);
    if (differing > reference.maxDiffering)
        ADD_FAILURE() << name << ": " << differing << " pixels differ from tests/" << reference.folder << "/" << name
                      << " (at most " << reference.maxDiffering << " may); this run's picture and its .diff.png are in "
                      << ShotPath(reference.folder, "");
}

} // namespace TestSupport
