#include "tests/support/ScreenShots.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/display/SdlScreen.h"
#include "tests/support/TestSupport.h"

namespace TestSupport {

ImageLib::Image CaptureFrame(Platform::SdlScreen& screen)
{
    int width = 0, height = 0;
    const std::vector<uint32_t>& pixels = screen.Captured(width, height);
    int ox = 0, oy = 0, w = 0, h = 0;
    screen.FramePlacement(width, height, 640, 480, ox, oy, w, h);
    ImageLib::Image frame(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const int sx = ox + int((x + 0.5) * w / 640), sy = oy + int((y + 0.5) * h / 480);
            frame.GetBits()[size_t(y) * 640 + size_t(x)] = pixels[size_t(sy) * size_t(width) + size_t(sx)] | 0xFF000000u;
        }
    return frame;
}

void ExpectMatchesReference(const ImageLib::Image& shot, const std::string& testFolder, const std::string& name,
                            int channelTolerance, int maxDifferent)
{
    const char* dir = std::getenv("PLINDOR_BINARY_DIR");
    const std::filesystem::path folder = std::filesystem::path(dir ? dir : "/tmp") / (testFolder + "-shots");
    std::filesystem::create_directories(folder);
    const std::string out = (folder / name).string();
    ImageLib::WritePng(out, shot);
    const std::string reference = SourceDir() + "/tests/" + testFolder + "/" + name;
    std::unique_ptr<ImageLib::Image> want = ImageLib::ReadPng(reference);
    if (!want) {
        ADD_FAILURE() << "no reference " << reference << "; the picture taken is " << out;
        return;
    }
    ASSERT_EQ(want->GetWidth(), shot.GetWidth());
    ASSERT_EQ(want->GetHeight(), shot.GetHeight());
    const size_t count = size_t(shot.GetWidth()) * size_t(shot.GetHeight());
    ImageLib::Image diff(shot.GetWidth(), shot.GetHeight());
    int different = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t a = shot.GetBits()[i], b = want->GetBits()[i];
        bool off = false;
        for (int shift : {0, 8, 16})
            off = off || std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > channelTolerance;
        diff.GetBits()[i] = off ? 0xFFFF00FFu : 0xFF000000u | ((a >> 2) & 0x3F3F3F);
        different += off;
    }
    if (different > maxDifferent) {
        ImageLib::WritePng(out + ".diff.png", diff);
        ADD_FAILURE() << name << ": " << different << " pixels differ; see " << out << " and its .diff.png";
    }
}

} // namespace TestSupport
