#include "tests/support/ReferencePicture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "framework/graphics/ImageLib.h"

namespace TestSupport {

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

ImageLib::Image Picture(const std::vector<uint32_t>& pixels)
{
    ImageLib::Image picture(WIDTH, HEIGHT);
    for (size_t i = 0; i < pixels.size() && i < size_t(WIDTH * HEIGHT); ++i)
        picture.GetBits()[i] = pixels[i] | 0xFF000000u;
    return picture;
}

} // namespace

int DifferingPixels(const std::vector<uint32_t>& frame, const std::string& referencePath, const std::string& name,
                    int channelTolerance)
{
    const char* binary = std::getenv("PLINDOR_BINARY_DIR");
    const std::string folder = std::string(binary ? binary : "/tmp") + "/screenshots";
    std::filesystem::create_directories(folder);
    const std::string out = folder + "/" + name;
    ImageLib::WritePng(out, Picture(frame));

    std::unique_ptr<ImageLib::Image> reference = ImageLib::LoadImageFile(referencePath, true);
    if (frame.size() != size_t(WIDTH * HEIGHT) || !reference || reference->GetWidth() != WIDTH ||
        reference->GetHeight() != HEIGHT) {
        ADD_FAILURE() << "no 640x480 reference " << referencePath << " or frame; this run's picture is " << out;
        return -1;
    }
    std::vector<uint32_t> marks(frame.size());
    int differing = 0;
    for (size_t i = 0; i < frame.size(); ++i) {
        const uint32_t a = frame[i], b = reference->GetBits()[i];
        bool off = false;
        for (int shift : {0, 8, 16})
            off = off || std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > channelTolerance;
        marks[i] = off ? 0xFFFF00FFu : (a >> 2) & 0x3F3F3Fu;
        differing += off;
    }
    if (differing > 0)
        ImageLib::WritePng(out + ".diff.png", Picture(marks));
    return differing;
}

} // namespace TestSupport
