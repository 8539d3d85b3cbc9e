// Font descriptor files: any text must load or fail with a message, never crash;
// a font made from what loaded must measure and draw safely.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/graphics/FontData.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"

namespace {

// Every image name gives a small image; its size depends on the name.
class FuzzHost : public Zant::FontHost {
public:
    Zant::Image* LoadFontImage(const std::string& path) override
    {
        auto* image = new Zant::MemoryImage();
        image->Create(static_cast<int>(path.size() % 64), 16);
        return image;
    }
    void ShowFontError(const std::string&) override {}
    Zant::MemoryImage* NewFontImage() override { return new Zant::MemoryImage(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    FuzzHost host;
    auto* fontData = new Zant::FontData();
    fontData->AddRef();
    fontData->LoadDescriptorText(&host, "data\\fuzz.txt", text);
    if (fontData->mInitialized) {
        Zant::MemoryImage target;
        target.Create(64, 32);
        Zant::Graphics g(&target);
        std::string sample = "AV" + text.substr(0, 16);
        Zant::ImageFont font(fontData);
        font.StringWidth(sample);
        font.DrawString(&g, 2, 20, sample, Zant::Color::White, g.GetClipRect());
        font.SetPointSize(font.GetPointSize() + 3);
        font.DrawString(&g, 2, 20, sample, Zant::Color::White, g.GetClipRect());
    }
    fontData->Release();
    return 0;
}
