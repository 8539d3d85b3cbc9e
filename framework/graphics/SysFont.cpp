#include "framework/graphics/SysFont.h"

#include <algorithm>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/TextWatch.h"
#include "platform/SystemFonts.h"

namespace Zant {

int SysFont::PixelSize(int pointSize)
{
    long long scaled = static_cast<long long>(pointSize) * PIXELS_PER_INCH;
    // Halves round away from zero.
    return static_cast<int>(scaled >= 0 ? (scaled + 36) / 72 : (scaled - 36) / 72);
}

SysFont::SysFont(FontHost* app, const std::string& faceName, int pointSize, int charSet, bool bold, bool italic,
                 bool underline)
    : mApp(app), mFaceName(faceName), mPointSize(pointSize), mBold(bold), mItalic(italic), mUnderline(underline)
{
    // The character set is not needed: text is single-byte Latin-1 throughout.
    Open();
}

SysFont::SysFont(const SysFont& other)
    : Font(other), mApp(other.mApp), mFaceName(other.mFaceName), mPointSize(other.mPointSize), mBold(other.mBold),
      mItalic(other.mItalic), mUnderline(other.mUnderline)
{
    Open();
}

SysFont::~SysFont() = default;

void SysFont::Open()
{
    mFace = Platform::SystemFace::Open(mFaceName, PixelSize(mPointSize), mBold, mItalic);
    if (mFace) {
        mHeight = mFace->Height();
        mAscent = mFace->Ascent();
    }
}

const std::string& SysFont::FaceFile() const
{
    static const std::string none;
    return mFace ? mFace->File() : none;
}

Font* SysFont::Duplicate()
{
    return new SysFont(*this);
}

int SysFont::StringWidth(const std::string& text)
{
    if (!mFace)
        return 0;
    int width = 0;
    for (char c : text)
        width += mFace->Glyph(static_cast<uint8_t>(c)).advance;
    return width;
}

void SysFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip)
{
    auto* surface = dynamic_cast<SysFontSurface*>(g->GetDestImage());
    if (!mFace || !surface)
        return;
    Image* image = g->GetDestImage();
    uint32_t* bits = nullptr;
    int pitch = 0;
    if (!surface->LockTextBits(bits, pitch) || !bits)
        return;
    const Rect area = clip.Intersection(Rect(0, 0, image->GetWidth(), image->GetHeight()));
    // An installed face draws its letters as its one layer.
    TextWatch* watch = CurrentTextWatch();
    Color drawn = color;
    const bool draws = watch == nullptr || watch->DrawsLayer("", drawn);
    const int r = std::clamp(drawn.red, 0, 255);
    const int gr = std::clamp(drawn.green, 0, 255);
    const int b = std::clamp(drawn.blue, 0, 255);
    auto blend = [&](int px, int py, int coverage) {
        if (coverage <= 0 || px < area.x || py < area.y || px >= area.x + area.width || py >= area.y + area.height)
            return;
        uint32_t& d = bits[static_cast<size_t>(py) * pitch + px];
        int dr = (d >> 16) & 255, dg = (d >> 8) & 255, db = d & 255;
        dr += (r - dr) * coverage / 255;
        dg += (gr - dg) * coverage / 255;
        db += (b - db) * coverage / 255;
        d = (d & 0xFF000000u) | uint32_t(dr) << 16 | uint32_t(dg) << 8 | uint32_t(db);
    };
    // The text's top-left corner sits one row below y - ascent, as the system lays it out.
    const int left = g->GetTransX() + x;
    const int baseline = g->GetTransY() + y + 1;
    int pen = left;
    std::vector<WatchedGlyph> watched;
    for (char c : text) {
        const Platform::GlyphCoverage& glyph = mFace->Glyph(static_cast<uint8_t>(c));
        if (watch != nullptr)
            watched.push_back({"", Rect(pen + glyph.left, baseline - glyph.top, glyph.width, glyph.height)});
        for (int gy = 0; gy < glyph.height && draws; ++gy)
            for (int gx = 0; gx < glyph.width; ++gx)
                blend(pen + glyph.left + gx, baseline - glyph.top + gy,
                      glyph.pixels[static_cast<size_t>(gy) * glyph.width + gx]);
        pen += glyph.advance;
    }
    if (mUnderline && draws) {
        const int size = mFace->PixelSize();
        const int thickness = std::max(1, size / 14);
        const int row = baseline + std::max(1, size / 10);
        for (int t = 0; t < thickness; ++t)
            for (int px = left; px < pen; ++px)
                blend(px, row + t, 255);
    }
    surface->UnlockTextBits();
    if (watch != nullptr)
        watch->TextDrawn(image, text, color, watched);
}

} // namespace Zant
