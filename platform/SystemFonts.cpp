#include "platform/SystemFonts.h"

#include <cmath>
#include <mutex>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace Platform {

namespace {

// One FreeType library for the process; faces are opened and closed under its lock.
std::mutex gLibraryLock;
FT_Library gLibrary = nullptr;

FT_Library Library()
{
    if (!gLibrary && FT_Init_FreeType(&gLibrary) != 0)
        gLibrary = nullptr;
    return gLibrary;
}

} // namespace

bool MatchFontFile(const std::string& family, bool bold, bool italic, std::string& file, int& index)
{
    if (!FcInit())
        return false;
    // Windows' generic name for the default sans face.
    std::string name = family == "SansSerif" ? "sans-serif" : family;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    bool found = false;
    if (match) {
        FcChar8* path = nullptr;
        int faceIndex = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
            file = reinterpret_cast<const char*>(path);
            if (FcPatternGetInteger(match, FC_INDEX, 0, &faceIndex) != FcResultMatch)
                faceIndex = 0;
            index = faceIndex;
            found = true;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}

struct SystemFace::Impl {
    FT_Face face = nullptr;
};

std::unique_ptr<SystemFace> SystemFace::Open(const std::string& family, int pixelSize, bool bold, bool italic)
{
    std::string file;
    int index = 0;
    if (pixelSize <= 0 || pixelSize > 4096 || !MatchFontFile(family, bold, italic, file, index))
        return nullptr;
    std::lock_guard<std::mutex> lock(gLibraryLock);
    FT_Library library = Library();
    if (!library)
        return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), index, &face) != 0)
        return nullptr;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    std::unique_ptr<SystemFace> result(new SystemFace());
    result->mImpl = new Impl{face};
    result->mFile = file;
    result->mPixelSize = pixelSize;
    const FT_Size_Metrics& m = face->size->metrics;
    result->mAscent = static_cast<int>(std::lround(m.ascender / 64.0));
    result->mHeight = static_cast<int>(std::lround((m.ascender - m.descender) / 64.0));
    result->mGlyphs.resize(256);
    return result;
}

SystemFace::~SystemFace()
{
    if (mImpl) {
        std::lock_guard<std::mutex> lock(gLibraryLock);
        FT_Done_Face(mImpl->face);
        delete mImpl;
    }
}

const GlyphCoverage& SystemFace::Glyph(uint8_t c)
{
    std::unique_ptr<GlyphCoverage>& slot = mGlyphs[c];
    if (slot)
        return *slot;
    slot = std::make_unique<GlyphCoverage>();
    FT_Face face = mImpl->face;
    // Text is single-byte Latin-1, whose codes are the Unicode code points.
    if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
        return *slot;
    FT_GlyphSlot glyph = face->glyph;
    slot->advance = static_cast<int>(std::lround(glyph->advance.x / 64.0));
    const FT_Bitmap& bitmap = glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
        return *slot;
    slot->width = static_cast<int>(bitmap.width);
    slot->height = static_cast<int>(bitmap.rows);
    slot->left = glyph->bitmap_left;
    slot->top = glyph->bitmap_top;
    slot->pixels.resize(static_cast<size_t>(slot->width) * slot->height);
    for (int y = 0; y < slot->height; ++y)
        for (int x = 0; x < slot->width; ++x)
            slot->pixels[static_cast<size_t>(y) * slot->width + x] = bitmap.buffer[y * bitmap.pitch + x];
    return *slot;
}

} // namespace Platform
