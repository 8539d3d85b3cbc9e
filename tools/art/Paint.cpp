#include "tools/art/Paint.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace Zant::Art {

Rgb Hex(uint32_t rgb, double alpha)
{
    return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, alpha};
}

Rgb Mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgb Lighter(Rgb c, double t) { return Mix(c, {1, 1, 1, c.a}, t); }
Rgb Darker(Rgb c, double t) { return Mix(c, {0, 0, 0, c.a}, t); }
Rgb WithAlpha(Rgb c, double a)
{
    c.a = a;
    return c;
}

void SetColor(cairo_t* cr, Rgb c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }
void SetColor(cairo_t* cr, uint32_t rgb, double alpha) { SetColor(cr, Hex(rgb, alpha)); }

void StrokeOutline(cairo_t* cr, double lineWidth, double alpha)
{
    SetColor(cr, Pal::Outline, alpha);
    cairo_set_line_width(cr, lineWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
}

void FillOutlined(cairo_t* cr, Rgb fill, double lineWidth)
{
    SetColor(cr, fill);
    cairo_fill_preserve(cr);
    StrokeOutline(cr, lineWidth);
}

void VerticalGradient(cairo_t* cr, double y0, Rgb top, double y1, Rgb bottom)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void VerticalGradient3(cairo_t* cr, double y0, Rgb top, double ym, Rgb mid, double y1, Rgb bottom)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    double m = (ym - y0) / (y1 - y0);
    cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(p, m, mid.r, mid.g, mid.b, mid.a);
    cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void SoftSpot(cairo_t* cr, double x, double y, double radius, Rgb c)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, radius);
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, c.a);
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, x, y, radius, 0, 2 * Pi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void RippleTexture(cairo_t* cr, int width, int height, double periodX, double periodY, double strength, int seed)
{
    // A few waves with whole numbers of cycles per period: exactly periodic.
    struct Wave { int m, n; double amp, phase; };
    Rand r(static_cast<uint32_t>(seed));
    Wave waves[6];
    double total = 0;
    for (Wave& w : waves) {
        w = {1 + int(r.Range(0, 2)), int(r.Range(-2, 3)), r.Range(0.4, 1.0), r.Range(0, 2 * Pi)};
        total += w.amp;
    }
    cairo_surface_t* tex = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    unsigned char* data = cairo_image_surface_get_data(tex);
    const int stride = cairo_image_surface_get_stride(tex);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double v = 0;
            for (const Wave& w : waves)
                v += w.amp * std::cos(2 * Pi * (w.m * x / periodX + w.n * y / periodY) + w.phase);
            v /= total;
            const double a = std::min(1.0, strength * std::fabs(v));
            const uint8_t level = v > 0 ? uint8_t(std::lround(255 * a)) : 0; // premultiplied white or black
            uint32_t* px = reinterpret_cast<uint32_t*>(data + y * stride) + x;
            *px = uint32_t(std::lround(255 * a)) << 24 | uint32_t(level) << 16 | uint32_t(level) << 8 | level;
        }
    cairo_surface_mark_dirty(tex);
    cairo_set_source_surface(cr, tex, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(tex);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -Pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, Pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, Pi / 2, Pi);
    cairo_arc(cr, x + r, y + r, r, Pi, 1.5 * Pi);
    cairo_close_path(cr);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry)
{
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, std::max(rx, 0.01), std::max(ry, 0.01));
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * Pi);
    cairo_restore(cr);
}

void BlurSurface(cairo_surface_t* surface, int radius)
{
    if (radius < 1)
        return;
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface) / 4;
    uint32_t* px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
    std::vector<double> line(std::max(w, h) * 4), out(std::max(w, h) * 4);
    auto pass = [&](int n, auto get, auto set) {
        for (int i = 0; i < n; ++i) {
            uint32_t v = get(i);
            for (int c = 0; c < 4; ++c)
                line[i * 4 + c] = (v >> (c * 8)) & 255;
        }
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            int count = 0;
            for (int i = -radius; i <= radius; ++i)
                if (i >= 0 && i < n) {
                    sum += line[i * 4 + c];
                    ++count;
                }
            for (int i = 0; i < n; ++i) {
                out[i * 4 + c] = sum / (2 * radius + 1);
                int leave = i - radius, enter = i + radius + 1;
                if (leave >= 0)
                    sum -= line[leave * 4 + c];
                if (enter < n)
                    sum += line[enter * 4 + c];
            }
        }
        for (int i = 0; i < n; ++i) {
            uint32_t v = 0;
            for (int c = 0; c < 4; ++c)
                v |= uint32_t(std::clamp(std::lround(out[i * 4 + c]), 0L, 255L)) << (c * 8);
            set(i, v);
        }
    };
    for (int round = 0; round < 3; ++round) {
        for (int y = 0; y < h; ++y)
            pass(w, [&](int i) { return px[y * stride + i]; }, [&](int i, uint32_t v) { px[y * stride + i] = v; });
        for (int x = 0; x < w; ++x)
            pass(h, [&](int i) { return px[i * stride + x]; }, [&](int i, uint32_t v) { px[i * stride + x] = v; });
    }
    // Premultiplied colour may not exceed alpha after rounding.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t v = px[y * stride + x];
            uint32_t a = v >> 24;
            uint32_t r = std::min((v >> 16) & 255, a), g = std::min((v >> 8) & 255, a), b = std::min(v & 255, a);
            px[y * stride + x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    cairo_surface_mark_dirty(surface);
}

double Hash01(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double ValueNoise(double x, double y, int seed)
{
    int xi = int(std::floor(x)), yi = int(std::floor(y));
    double fx = x - xi, fy = y - yi;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    double a = Hash01(xi, yi, seed), b = Hash01(xi + 1, yi, seed);
    double c = Hash01(xi, yi + 1, seed), d = Hash01(xi + 1, yi + 1, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

uint32_t Rand::Next()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

double Rand::Unit() { return (Next() & 0xFFFFFF) / double(0x1000000); }
double Rand::Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }

// Fonts: one FreeType face per file, shared by every painter thread; cairo
// locks the face while it renders, and creation is guarded here.
namespace {
std::mutex gFontLock;
std::map<std::string, std::string> gFontFiles;
std::map<std::string, cairo_font_face_t*> gFaces;
FT_Library gFreeType = nullptr;

cairo_font_face_t* Face(const std::string& name)
{
    std::lock_guard<std::mutex> lock(gFontLock);
    auto found = gFaces.find(name);
    if (found != gFaces.end())
        return found->second;
    auto file = gFontFiles.find(name);
    if (file == gFontFiles.end())
        throw std::runtime_error("font not in the manifest: " + name);
    if (!gFreeType && FT_Init_FreeType(&gFreeType) != 0)
        throw std::runtime_error("cannot start FreeType");
    FT_Face ft = nullptr;
    if (FT_New_Face(gFreeType, file->second.c_str(), 0, &ft) != 0)
        throw std::runtime_error("cannot read font " + file->second);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(ft, 0);
    gFaces[name] = face;
    return face;
}
} // namespace

void SetFontFiles(const Manifest& manifest)
{
    std::lock_guard<std::mutex> lock(gFontLock);
    gFontFiles = manifest.fonts;
}

void SetFont(cairo_t* cr, const std::string& fontName, double size)
{
    cairo_set_font_face(cr, Face(fontName));
    cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& text)
{
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

namespace {
void TextPath(cairo_t* cr, const std::string& text, double x, double y, Align align)
{
    double w = TextWidth(cr, text);
    double left = align == Align::Left ? x : align == Align::Center ? x - w / 2 : x - w;
    cairo_move_to(cr, left, y);
    cairo_text_path(cr, text.c_str());
}
} // namespace

void DrawText(cairo_t* cr, const std::string& text, double x, double y, Align align, Rgb fill, double outlineWidth,
              Rgb outline)
{
    cairo_new_path(cr);
    TextPath(cr, text, x, y, align);
    if (outlineWidth > 0) {
        SetColor(cr, outline);
        cairo_set_line_width(cr, outlineWidth * 2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
    }
    SetColor(cr, fill);
    cairo_fill(cr);
}

void DrawTextGradient(cairo_t* cr, const std::string& text, double x, double y, Align align, Rgb top, Rgb bottom,
                      double outlineWidth, Rgb outline)
{
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_new_path(cr);
    TextPath(cr, text, x, y, align);
    if (outlineWidth > 0) {
        SetColor(cr, outline);
        cairo_set_line_width(cr, outlineWidth * 2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
    }
    VerticalGradient(cr, y - fe.ascent * 0.8, top, y, bottom);
    cairo_fill(cr);
}

Canvas::Canvas(int width, int height) : mWidth(width), mHeight(height)
{
    mSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    mCr = cairo_create(mSurface);
}

Canvas::~Canvas()
{
    cairo_destroy(mCr);
    cairo_surface_destroy(mSurface);
}

namespace {

// The box (left, top, right, bottom, exclusive) of every drawn pixel of all
// cels, in cel coordinates, painted unclipped on a margin around the cel.
struct InkBox {
    int left, top, right, bottom;
    bool empty() const { return right <= left; }
};

InkBox MeasureCels(const ImageSpec& entry, const CelPainter& paint)
{
    const int w = entry.CelWidth(), h = entry.CelHeight(), count = entry.CelCount();
    const int margin = std::max(w, h);
    const int sw = w + 2 * margin, sh = h + 2 * margin;
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
    InkBox box{sw, sh, -sw, -sh};
    for (int k = 0; k < count; ++k) {
        cairo_t* cr = cairo_create(scratch);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        cairo_translate(cr, margin, margin);
        paint(cr, k, count, double(k) / count, w, h);
        cairo_destroy(cr);
        cairo_surface_flush(scratch);
        const unsigned char* data = cairo_image_surface_get_data(scratch);
        const int stride = cairo_image_surface_get_stride(scratch);
        for (int y = 0; y < sh; ++y) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
            for (int x = 0; x < sw; ++x)
                if (row[x] >> 24) {
                    box.left = std::min(box.left, x - margin);
                    box.right = std::max(box.right, x - margin + 1);
                    box.top = std::min(box.top, y - margin);
                    box.bottom = std::max(box.bottom, y - margin + 1);
                }
        }
    }
    cairo_surface_destroy(scratch);
    return box;
}

// How far along one axis the ink may be scaled about the anchor and still
// leave a clear pixel (plus a little for antialiasing) on the free sides.
double AxisScale(double lo, double hi, double size, bool joinedLo, bool joinedHi)
{
    const double room = 1.5;
    const double anchor = joinedLo ? 0 : joinedHi ? size : size / 2;
    double scale = 1;
    if (!joinedLo && lo < room)
        scale = std::min(scale, (anchor - room) / (anchor - lo));
    if (!joinedHi && hi > size - room)
        scale = std::min(scale, (size - room - anchor) / (hi - anchor));
    return scale;
}

} // namespace

void PaintCels(Canvas& canvas, const ImageSpec& entry, const CelPainter& paint, unsigned joined)
{
    cairo_t* cr = canvas.Cr();
    int count = entry.CelCount();
    double w = entry.CelWidth(), h = entry.CelHeight();
    double scale = 1;
    if ((joined & (JoinedLeft | JoinedRight)) != (JoinedLeft | JoinedRight) ||
        (joined & (JoinedTop | JoinedBottom)) != (JoinedTop | JoinedBottom)) {
        const InkBox ink = MeasureCels(entry, paint);
        if (!ink.empty())
            scale = std::min(AxisScale(ink.left, ink.right, w, joined & JoinedLeft, joined & JoinedRight),
                             AxisScale(ink.top, ink.bottom, h, joined & JoinedTop, joined & JoinedBottom));
    }
    const double ax = (joined & JoinedLeft) ? 0 : (joined & JoinedRight) ? w : w / 2;
    const double ay = (joined & JoinedTop) ? 0 : (joined & JoinedBottom) ? h : h / 2;
    for (int k = 0; k < count; ++k) {
        int col = k % entry.columns, row = k / entry.columns;
        cairo_save(cr);
        cairo_rectangle(cr, col * w, row * h, w, h);
        cairo_clip(cr);
        cairo_translate(cr, col * w, row * h);
        if (scale < 1) {
            cairo_translate(cr, ax, ay);
            cairo_scale(cr, scale, scale);
            cairo_translate(cr, -ax, -ay);
        }
        cairo_new_path(cr);
        paint(cr, k, count, double(k) / count, w, h);
        cairo_restore(cr);
    }
}

void WithOpacity(cairo_t* cr, double opacity, const std::function<void(cairo_t*)>& paint)
{
    cairo_push_group(cr);
    paint(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, opacity);
}

void CopyRegion(Canvas& dest, cairo_surface_t* src, int x, int y)
{
    cairo_t* cr = dest.Cr();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, src, -x, -y);
    cairo_paint(cr);
    cairo_restore(cr);
}

} // namespace Zant::Art
