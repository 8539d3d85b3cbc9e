#pragma once
// Glyph coverage from FreeType and the effects the display fonts add to it.
#include <cstdint>
#include <string>
#include <vector>

namespace FontTool {

// 8-bit coverage with its placement relative to the pen (x right, y up from the baseline).
struct Coverage {
    int width = 0;
    int height = 0;
    int left = 0; // pen x of column 0
    int top = 0;  // rows above the baseline of row 0
    std::vector<uint8_t> pixels;

    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    uint8_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct Glyph {
    int code = 0;
    int advance = 0; // whole pixels
    Coverage ink;
};

struct FaceMetrics {
    int ascent = 0;  // whole pixels above the baseline that every glyph fits under
    int descent = 0; // whole pixels below it
    int lineGap = 0; // extra space the face asks for between lines
};

enum class Effect { None, Rough, Holes };

// Renders printable ASCII (32-126) of one face at a pixel size.
class FaceRaster {
public:
    FaceRaster();
    ~FaceRaster();
    FaceRaster(const FaceRaster&) = delete;
    FaceRaster& operator=(const FaceRaster&) = delete;

    // False with a message when the face cannot be opened.
    bool Open(const std::string& path, int pixelSize, double slant, std::string& error);
    Glyph Render(int code);
    FaceMetrics Metrics(const std::vector<Glyph>& glyphs) const;
    // Kerning of a followed by b in whole pixels (0 when the face has none).
    int Kerning(int a, int b) const;

private:
    struct Impl;
    Impl* mImpl;
};

// The slanted display face: edge pixels thinned by a fixed noise so strokes look worn.
void RoughenEdges(Coverage& ink, int code);
// Round holes punched into the strokes on a jittered grid tied to the pen position.
void PunchHoles(Coverage& ink, int code, int pixelSize);
// A soft halo grown by pad pixels on every side (gaussian-like, three box passes).
Coverage Blur(const Coverage& ink, int pad);
// The ink grown by pad pixels on every side with a soft last pixel: a rim that
// parts the letters from whatever is under them.
Coverage Grow(const Coverage& ink, int pad);

} // namespace FontTool
