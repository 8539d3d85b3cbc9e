#pragma once
// The abstract font every widget measures and draws text with. ImageFont (glyphs
// from descriptor-defined images) and SysFont (installed faces) derive from it.
#include <string>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

namespace Zant {

class Graphics;

class Font {
public:
    Font() = default;
    Font(const Font& other) = default;
    Font& operator=(const Font& other) = default;
    virtual ~Font() = default;

    virtual int GetAscent() { return mAscent; }
    virtual int GetAscentPadding() { return mAscentPadding; }
    virtual int GetDescent() { return mHeight - mAscent; }
    virtual int GetHeight() { return mHeight; }
    virtual int GetLineSpacingOffset() { return mLineSpacingOffset; }
    virtual int GetLineSpacing() { return mHeight + mLineSpacingOffset; }

    virtual int StringWidth(const std::string& text) { return 0; }
    virtual int CharWidth(char c) { return StringWidth(std::string(1, c)); }
    // The advance of c when it follows prev (0 for none); the base has no kerning.
    virtual int CharWidthKern(char c, char prev) { return CharWidth(c); }
    // x, y: pen position and baseline in the caller's coordinates (the font applies
    // g's translation itself); clip is in target coordinates.
    virtual void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                            const Rect& clip) {}
    // A new copy the caller owns.
    virtual Font* Duplicate() = 0;

protected:
    int mAscent = 0;
    int mAscentPadding = 0;
    int mHeight = 0;
    int mLineSpacingOffset = 0;
};

} // namespace Zant
