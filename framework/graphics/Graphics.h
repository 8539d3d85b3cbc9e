#pragma once
// A drawing context bound to one image: translation, clip rectangle, colour, font,
// draw mode and two image flags. Every primitive translates and clips here, so the
// image receives only requests inside its bounds. Copy a context (by value or with
// Create) to narrow the clip or move the origin for nested drawing.
#include <string>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

namespace Zant {

class Image;
class Font;

class Graphics {
public:
    // A null target draws into a shared empty image: every primitive is then a no-op.
    explicit Graphics(Image* target = nullptr);
    Graphics(const Graphics& other) = default;
    Graphics& operator=(const Graphics& other) = default;
    virtual ~Graphics() = default;

    // A heap copy the caller owns.
    Graphics* Create() const;

    Image* GetDestImage() const { return mDestImage; }
    void SetFont(Font* font) { mFont = font; }
    Font* GetFont() const { return mFont; }
    void SetColor(const Color& color) { mColor = color; }
    const Color& GetColor() const { return mColor; }
    void SetDrawMode(int drawMode) { mDrawMode = drawMode; }
    int GetDrawMode() const { return mDrawMode; }
    // While set, images are drawn multiplied by the current colour (alpha included).
    void SetColorizeImages(bool colorize) { mColorizeImages = colorize; }
    bool GetColorizeImages() const { return mColorizeImages; }
    // Chooses nearest-pixel over filtered sampling for stretched images.
    void SetFastStretch(bool fast) { mFastStretch = fast; }
    bool GetFastStretch() const { return mFastStretch; }
    void Translate(int dx, int dy)
    {
        mTransX += dx;
        mTransY += dy;
    }
    int GetTransX() const { return mTransX; }
    int GetTransY() const { return mTransY; }
    // In target coordinates (already translated).
    const Rect& GetClipRect() const { return mClipRect; }

    void FillRect(int x, int y, int width, int height);
    void FillRect(const Rect& rect);
    // An outline covering (width + 1) by (height + 1) pixels.
    void DrawRect(int x, int y, int width, int height);
    void DrawRect(const Rect& rect);
    void DrawLine(int x1, int y1, int x2, int y2);

    void DrawImage(Image* image, int x, int y);
    // One part of the image; a source reaching outside the image draws nothing.
    void DrawImage(Image* image, int x, int y, const Rect& src);
    // Stretched from src to dest.
    void DrawImage(Image* image, const Rect& dest, const Rect& src);

    // Narrows the clip; it never grows.
    void ClipRect(int x, int y, int width, int height);
    void ClipRect(const Rect& rect);

    // y is the baseline; nothing without a font.
    void DrawString(const std::string& text, int x, int y);

    // A nine-part frame: corners once, edges and centre tiled without stretching.
    void DrawImageBox(const Rect& dest, Image* image);
    void DrawImageBox(const Rect& src, const Rect& dest, Image* image);

private:
    const Color& ImageTint() const;

    Image* mDestImage;
    int mTransX = 0;
    int mTransY = 0;
    Rect mClipRect;
    Color mColor;
    Font* mFont = nullptr;
    int mDrawMode = 0;
    bool mColorizeImages = false;
    bool mFastStretch = false;
};

} // namespace Zant
