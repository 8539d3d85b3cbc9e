#pragma once
// Drawing helpers shared by the painters: colours from the palette, outlines,
// gradients, blur, text in the project's fonts, and strips of cels.
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>

#include "tools/art/Manifest.h"

namespace Zant::Art {

struct Rgb {
    double r = 0, g = 0, b = 0, a = 1;
};

Rgb Hex(uint32_t rgb, double alpha = 1.0);
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Lighter(Rgb c, double t); // toward white
Rgb Darker(Rgb c, double t);  // toward black
Rgb WithAlpha(Rgb c, double a);

// The shared palette.
namespace Pal {
inline const uint32_t Navy = 0x0B1E3A, Teal = 0x1C6E8C, Aqua = 0x7FD3E6, Sand = 0xD9C08C, Rock = 0x5A5F6B;
inline const uint32_t Coral = 0xFF7A59, CoralGold = 0xFFB347, Kelp = 0x3E8E41;
inline const uint32_t Outline = 0x0A1420, Glass = 0x2A7FA8, Brass = 0xB8893B, PanelText = 0xFFE9A8;
} // namespace Pal

void SetColor(cairo_t* cr, Rgb c);
void SetColor(cairo_t* cr, uint32_t rgb, double alpha = 1.0);

// Fills the current path and strokes it with the dark outline (kept path).
void FillOutlined(cairo_t* cr, Rgb fill, double lineWidth);
void StrokeOutline(cairo_t* cr, double lineWidth, double alpha = 0.85);

// Vertical gradient source from y0 (top colour) to y1 (bottom colour).
void VerticalGradient(cairo_t* cr, double y0, Rgb top, double y1, Rgb bottom);
void VerticalGradient3(cairo_t* cr, double y0, Rgb top, double ym, Rgb mid, double y1, Rgb bottom);
// A soft round highlight (radial gradient from colour to transparent).
void SoftSpot(cairo_t* cr, double x, double y, double radius, Rgb c);

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);

// A faint light-and-shade ripple (sea glass, hammered metal) over the current
// clip; it repeats exactly every periodX by periodY pixels, so it tiles.
void RippleTexture(cairo_t* cr, int width, int height, double periodX, double periodY, double strength, int seed);

// Blurs an ARGB32 image surface in place (three box passes).
void BlurSurface(cairo_surface_t* surface, int radius);

// Deterministic noise and random numbers, so every build paints the same.
double Hash01(int x, int y, int seed);
double ValueNoise(double x, double y, int seed);
struct Rand {
    uint32_t state;
    explicit Rand(uint32_t seed) : state(seed * 2654435761u + 12345u) {}
    uint32_t Next();
    double Unit();                          // [0, 1)
    double Range(double lo, double hi);     // [lo, hi)
};

// Text in one of the manifest's fonts.
enum class Align { Left, Center, Right };
void SetFontFiles(const Manifest& manifest);
void SetFont(cairo_t* cr, const std::string& fontName, double size);
double TextWidth(cairo_t* cr, const std::string& text);
// Draws text with its baseline at y; optional dark outline under the fill.
void DrawText(cairo_t* cr, const std::string& text, double x, double y, Align align, Rgb fill,
              double outlineWidth = 0, Rgb outline = Hex(Pal::Outline, 0.9));
// Text filled with a vertical gradient (headings and logos).
void DrawTextGradient(cairo_t* cr, const std::string& text, double x, double y, Align align, Rgb top, Rgb bottom,
                      double outlineWidth, Rgb outline);

// One image being painted: a premultiplied ARGB32 surface of the manifest size.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    cairo_t* Cr() const { return mCr; }
    cairo_surface_t* Surface() const { return mSurface; }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

private:
    int mWidth, mHeight;
    cairo_surface_t* mSurface;
    cairo_t* mCr;
};

// Calls paint once per cel with the context translated and clipped to that
// cel; t is the cel's phase k / count in [0, 1), so loops close on themselves.
// When the drawing of any cel reaches past a one-pixel clear border, the whole
// strip is drawn scaled down so its largest cel fits: about the cel's centre,
// or about a side the part is joined on (that side may stay drawn up to the edge).
using CelPainter = std::function<void(cairo_t* cr, int index, int count, double t, double w, double h)>;
enum CelSide : unsigned { JoinedNone = 0, JoinedLeft = 1, JoinedRight = 2, JoinedTop = 4, JoinedBottom = 8 };
void PaintCels(Canvas& canvas, const ImageSpec& entry, const CelPainter& paint, unsigned joined = JoinedNone);

// Paints into an offscreen surface and composites it at the given opacity.
void WithOpacity(cairo_t* cr, double opacity, const std::function<void(cairo_t*)>& paint);

// Copies a rectangle of a painted surface onto the canvas at (0, 0).
void CopyRegion(Canvas& dest, cairo_surface_t* src, int x, int y);

constexpr double Pi = 3.14159265358979323846;

} // namespace Zant::Art
