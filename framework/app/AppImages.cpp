// Image services of the application: loading a file into a display image, copies,
// mirroring and colour-multiplied copies.
#include <algorithm>
#include <memory>
#include <utility>

#include "framework/app/ZantApp.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageBatchLoader.h"
#include "framework/graphics/ImageLib.h"
#include "platform/Paths.h"

namespace Zant {

namespace {

// A copy of a channel scaled by a component: by /256 when every component is below
// 256 (so white keeps a trace of the scale), else by /255 and capped. Each channel's
// 256 results are worked out once, already in place in the word, so a pixel costs
// four look-ups.
struct ChannelScale {
    uint32_t table[4][256]; // alpha, red, green, blue

    explicit ChannelScale(const Color& color)
    {
        const int c[4] = {color.alpha, color.red, color.green, color.blue};
        bool wide = false;
        for (int i = 0; i < 4; ++i)
            wide |= c[i] >= 256;
        for (int i = 0; i < 4; ++i) {
            const uint64_t factor = uint64_t(std::max(c[i], 0));
            const int shift = 24 - 8 * i;
            for (uint64_t v = 0; v < 256; ++v) {
                const uint64_t scaled = wide ? std::min<uint64_t>(v * factor / 255, 255) : v * factor / 256;
                table[i][v] = uint32_t(scaled) << shift;
            }
        }
    }
    uint32_t Apply(uint32_t p) const
    {
        return table[0][p >> 24] | table[1][(p >> 16) & 0xFF] | table[2][(p >> 8) & 0xFF] | table[3][p & 0xFF];
    }
};

} // namespace

DDImage* ZantApp::LoadImageFile(const std::string& path)
{
    // The loading thread calls this too: the image joins the application's and the
    // display's image sets only once it holds its pixels, so no walk of those sets
    // sees it half made.
    std::unique_ptr<DDImage> image = ImageBatchLoader::DecodeFile(path, false);
    if (image != nullptr)
        image->JoinSets(mDDInterface, this);
    return image.release();
}

DDImage* ZantApp::DuplicateImage(Image* image, const Rect& rect)
{
    if (image == nullptr)
        return nullptr;
    auto* copy = new DDImage(mDDInterface, this);
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (source == nullptr) {
        copy->Create(rect.width, rect.height);
        copy->GetBits();
        Graphics g(copy);
        g.DrawImage(image, -rect.x, -rect.y);
        return copy;
    }
    // The pixels are copied as they are: drawing them onto the empty copy would blend
    // them and lose a step of every channel. What lies outside the source stays
    // transparent.
    const Rect inside = rect.Intersection(Rect(0, 0, source->GetWidth(), source->GetHeight()));
    // A whole palettised image stays one: a quarter of the memory, and no second
    // palette search when the copy is palettised again.
    if (inside == rect && rect.x == 0 && rect.y == 0 && rect.width == source->GetWidth() &&
        rect.height == source->GetHeight() && copy->CopyPalette(*source))
        return copy;
    const uint32_t* palette = source->IsPalettized() ? source->GetColorTable() : nullptr;
    const uint8_t* indices = palette ? source->GetColorIndices() : nullptr;
    const uint32_t* bits = palette && indices ? nullptr : source->GetBits();
    auto copyInside = [&](uint32_t* to) {
        for (int y = inside.y; y < inside.y + inside.height; ++y) {
            uint32_t* row = to + size_t(y - rect.y) * rect.width + (inside.x - rect.x);
            const size_t from = size_t(y) * source->GetWidth() + inside.x;
            if (bits)
                std::copy_n(bits + from, inside.width, row);
            else
                for (int x = 0; x < inside.width; ++x)
                    row[x] = palette[indices[from + x]];
        }
    };
    if ((bits || indices) && inside == rect && rect.width > 0 && rect.height > 0) {
        // Every pixel comes from the source: no need to clear them first.
        auto pixels = Platform::MakeLoadingArrayForOverwrite<uint32_t>(size_t(rect.width) * size_t(rect.height) + 1);
        copyInside(pixels.get());
        copy->TakeBits(std::move(pixels), rect.width, rect.height);
        return copy;
    }
    copy->Create(rect.width, rect.height);
    uint32_t* to = copy->GetBits();
    if (to != nullptr && (bits || indices) && inside.width > 0 && inside.height > 0)
        copyInside(to);
    copy->BitsChanged();
    return copy;
}

DDImage* ZantApp::DuplicateImage(Image* image)
{
    if (image == nullptr)
        return nullptr;
    return DuplicateImage(image, Rect(0, 0, image->GetWidth(), image->GetHeight()));
}

void ZantApp::MirrorImageHorizontally(Image* image)
{
    if (auto* memory = dynamic_cast<MemoryImage*>(image))
        memory->MirrorHorizontally();
}

void ZantApp::FlipImageVertically(Image* image)
{
    if (auto* memory = dynamic_cast<MemoryImage*>(image))
        memory->FlipVertically();
}

MemoryImage* ZantApp::TransformImagePixels(Image* image, const Color& color)
{
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (source == nullptr)
        return nullptr;
    const ChannelScale scale(color);
    if (source->IsPalettized() && source->GetColorIndices() != nullptr) {
        // A palette image keeps its indices; its colour table is scaled. The copy
        // owns its table, which MemoryImage only hands out read-only.
        auto* copy = new MemoryImage(*source);
        auto* table = const_cast<uint32_t*>(copy->GetColorTable());
        for (int i = 0; i < 256; ++i)
            table[i] = scale.Apply(table[i]);
        copy->BitsChanged();
        return copy;
    }
    const uint32_t* bits = source->GetBits();
    if (bits == nullptr)
        return nullptr;
    const size_t count = size_t(source->GetWidth()) * size_t(source->GetHeight());
    auto scaled = Platform::MakeLoadingArrayForOverwrite<uint32_t>(count + 1);
    for (size_t i = 0; i < count; ++i)
        scaled[i] = scale.Apply(bits[i]);
    auto* copy = new MemoryImage(this);
    copy->TakeBits(std::move(scaled), source->GetWidth(), source->GetHeight());
    copy->mNumRows = source->mNumRows;
    copy->mNumCols = source->mNumCols;
    return copy;
}

} // namespace Zant
