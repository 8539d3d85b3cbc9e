#pragma once
// Installed faces through fontconfig and FreeType, for the framework's system fonts:
// a face name is matched to a file, opened at a pixel size, and its glyphs are
// rendered to 8-bit coverage on demand.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

struct GlyphCoverage {
    int width = 0;
    int height = 0;
    int left = 0;    // pen x of column 0
    int top = 0;     // rows above the baseline of row 0
    int advance = 0; // whole pixels
    std::vector<uint8_t> pixels;
};

// The file fontconfig picks for a family (for example "SansSerif", "Tahoma") in the
// given weight and slant; false when nothing is installed.
bool MatchFontFile(const std::string& family, bool bold, bool italic, std::string& file, int& index);

class SystemFace {
public:
    // Null when no face matches or it cannot be opened.
    static std::unique_ptr<SystemFace> Open(const std::string& family, int pixelSize, bool bold, bool italic);
    ~SystemFace();
    SystemFace(const SystemFace&) = delete;
    SystemFace& operator=(const SystemFace&) = delete;

    // Rounded from the face's scaled ascender and descender.
    int Ascent() const { return mAscent; }
    int Height() const { return mHeight; }
    int PixelSize() const { return mPixelSize; }
    // Rendered once per byte and kept.
    const GlyphCoverage& Glyph(uint8_t c);
    const std::string& File() const { return mFile; }

private:
    SystemFace() = default;
    struct Impl;
    Impl* mImpl = nullptr;
    std::string mFile;
    int mPixelSize = 0;
    int mAscent = 0;
    int mHeight = 0;
    std::vector<std::unique_ptr<GlyphCoverage>> mGlyphs;
};

} // namespace Platform
