#include "Raster.h"

#include <algorithm>
#include <cmath>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace FontTool {

struct FaceRaster::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

FaceRaster::FaceRaster() : mImpl(new Impl)
{
    FT_Init_FreeType(&mImpl->library);
}

FaceRaster::~FaceRaster()
{
    if (mImpl->face)
        FT_Done_Face(mImpl->face);
    if (mImpl->library)
        FT_Done_FreeType(mImpl->library);
    delete mImpl;
}

bool FaceRaster::Open(const std::string& path, int pixelSize, double slant, std::string& error)
{
    if (!mImpl->library) {
        error = "FreeType did not start";
        return false;
    }
    if (FT_New_Face(mImpl->library, path.c_str(), 0, &mImpl->face) != 0) {
        mImpl->face = nullptr;
        error = "cannot open face " + path;
        return false;
    }
    if (FT_Set_Pixel_Sizes(mImpl->face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        error = "cannot size face " + path;
        return false;
    }
    if (slant != 0) {
        FT_Matrix shear;
        shear.xx = 0x10000;
        shear.xy = static_cast<FT_Fixed>(slant * 0x10000);
        shear.yx = 0;
        shear.yy = 0x10000;
        FT_Set_Transform(mImpl->face, &shear, nullptr);
    }
    return true;
}

Glyph FaceRaster::Render(int code)
{
    Glyph glyph;
    glyph.code = code;
    FT_Face face = mImpl->face;
    if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
        return glyph;
    FT_GlyphSlot slot = face->glyph;
    glyph.advance = static_cast<int>(std::lround(slot->advance.x / 64.0));
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.ink.width = static_cast<int>(bitmap.width);
    glyph.ink.height = static_cast<int>(bitmap.rows);
    glyph.ink.left = slot->bitmap_left;
    glyph.ink.top = slot->bitmap_top;
    glyph.ink.pixels.resize(static_cast<size_t>(glyph.ink.width) * glyph.ink.height);
    for (int y = 0; y < glyph.ink.height; ++y)
        for (int x = 0; x < glyph.ink.width; ++x)
            glyph.ink.At(x, y) = bitmap.buffer[y * bitmap.pitch + x];
    return glyph;
}

FaceMetrics FaceRaster::Metrics(const std::vector<Glyph>& glyphs) const
{
    const FT_Size_Metrics& m = mImpl->face->size->metrics;
    FaceMetrics metrics;
    metrics.ascent = static_cast<int>(std::ceil(m.ascender / 64.0));
    metrics.descent = static_cast<int>(std::ceil(-m.descender / 64.0));
    for (const Glyph& g : glyphs) {
        if (g.ink.width == 0)
            continue;
        metrics.ascent = std::max(metrics.ascent, g.ink.top);
        metrics.descent = std::max(metrics.descent, g.ink.height - g.ink.top);
    }
    int height = static_cast<int>(std::lround(m.height / 64.0));
    metrics.lineGap = std::max(0, height - metrics.ascent - metrics.descent);
    return metrics;
}

int FaceRaster::Kerning(int a, int b) const
{
    FT_Face face = mImpl->face;
    if (!FT_HAS_KERNING(face))
        return 0;
    FT_Vector delta{};
    FT_UInt ga = FT_Get_Char_Index(face, static_cast<FT_ULong>(a));
    FT_UInt gb = FT_Get_Char_Index(face, static_cast<FT_ULong>(b));
    if (FT_Get_Kerning(face, ga, gb, FT_KERNING_DEFAULT, &delta) != 0)
        return 0;
    return static_cast<int>(std::lround(delta.x / 64.0));
}

namespace {

// A fixed noise in 0..1 of three integers, so every build makes the same pixels.
double Hash01(int a, int b, int c)
{
    uint32_t h = static_cast<uint32_t>(a) * 73856093u ^ static_cast<uint32_t>(b) * 19349663u ^
                 static_cast<uint32_t>(c) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

double Smoothstep(double e0, double e1, double x)
{
    double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

} // namespace

void RoughenEdges(Coverage& ink, int code)
{
    Coverage source = ink;
    auto solid = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < source.width && y < source.height && source.At(x, y) >= 128;
    };
    for (int y = 0; y < ink.height; ++y) {
        for (int x = 0; x < ink.width; ++x) {
            if (source.At(x, y) == 0)
                continue;
            bool edge = !solid(x - 1, y) || !solid(x + 1, y) || !solid(x, y - 1) || !solid(x, y + 1);
            if (!edge)
                continue;
            // Worn streaks run along rows, as if the letters were dragged to the left.
            double streak = Hash01(code, y, 7) < 0.3 ? 0.45 : 1.0;
            double keep = (0.35 + 0.65 * Hash01(code, x, y)) * streak;
            ink.At(x, y) = static_cast<uint8_t>(source.At(x, y) * keep);
        }
    }
}

void PunchHoles(Coverage& ink, int code, int pixelSize)
{
    const double spacing = pixelSize * 0.34;
    const double radius = std::max(1.3, pixelSize * 0.085);
    for (int y = 0; y < ink.height; ++y) {
        for (int x = 0; x < ink.width; ++x) {
            if (ink.At(x, y) == 0)
                continue;
            // Pixel centre relative to the pen and baseline.
            double px = ink.left + x + 0.5;
            double py = ink.top - y - 0.5;
            int gx = static_cast<int>(std::floor(px / spacing));
            int gy = static_cast<int>(std::floor(py / spacing));
            double factor = 1.0;
            for (int j = gy - 1; j <= gy + 1; ++j) {
                for (int i = gx - 1; i <= gx + 1; ++i) {
                    if (Hash01(code, i, j * 3 + 1) < 0.35)
                        continue;
                    double cx = (i + 0.2 + 0.6 * Hash01(code, i, j)) * spacing;
                    double cy = (j + 0.2 + 0.6 * Hash01(j, code, i)) * spacing;
                    double r = radius * (0.75 + 0.5 * Hash01(i, j, code));
                    double d = std::hypot(px - cx, py - cy);
                    factor = std::min(factor, Smoothstep(r - 0.6, r + 0.6, d));
                }
            }
            ink.At(x, y) = static_cast<uint8_t>(std::lround(ink.At(x, y) * factor));
        }
    }
}

Coverage Grow(const Coverage& ink, int pad)
{
    Coverage out;
    out.width = ink.width + 2 * pad;
    out.height = ink.height + 2 * pad;
    out.left = ink.left - pad;
    out.top = ink.top + pad;
    out.pixels.assign(static_cast<size_t>(out.width) * out.height, 0);
    const double reach = pad + 0.5;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            double best = 0;
            for (int dy = -pad - 1; dy <= pad + 1; ++dy)
                for (int dx = -pad - 1; dx <= pad + 1; ++dx) {
                    const int ix = x - pad + dx, iy = y - pad + dy;
                    if (ix < 0 || iy < 0 || ix >= ink.width || iy >= ink.height)
                        continue;
                    // Full strength within the reach, fading over the pixel past it.
                    const double fall = std::clamp(reach + 1 - std::sqrt(double(dx * dx + dy * dy)), 0.0, 1.0);
                    best = std::max(best, ink.At(ix, iy) * fall);
                }
            out.pixels[static_cast<size_t>(y) * out.width + x] = static_cast<uint8_t>(std::lround(best));
        }
    return out;
}

Coverage Blur(const Coverage& ink, int pad)
{
    Coverage out;
    out.width = ink.width + 2 * pad;
    out.height = ink.height + 2 * pad;
    out.left = ink.left - pad;
    out.top = ink.top + pad;
    std::vector<double> field(static_cast<size_t>(out.width) * out.height, 0.0);
    for (int y = 0; y < ink.height; ++y)
        for (int x = 0; x < ink.width; ++x)
            field[static_cast<size_t>(y + pad) * out.width + x + pad] = ink.At(x, y);
    int radius = std::max(1, pad / 2);
    std::vector<double> tmp(field.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) {
                double sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    int xx = x + k;
                    if (xx >= 0 && xx < out.width)
                        sum += field[static_cast<size_t>(y) * out.width + xx];
                }
                tmp[static_cast<size_t>(y) * out.width + x] = sum / (2 * radius + 1);
            }
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) {
                double sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    int yy = y + k;
                    if (yy >= 0 && yy < out.height)
                        sum += tmp[static_cast<size_t>(yy) * out.width + x];
                }
                field[static_cast<size_t>(y) * out.width + x] = sum / (2 * radius + 1);
            }
    }
    out.pixels.resize(field.size());
    for (size_t i = 0; i < field.size(); ++i)
        out.pixels[i] = static_cast<uint8_t>(std::min(255.0, field[i] * 1.4));
    return out;
}

} // namespace FontTool
