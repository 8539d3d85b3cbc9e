// The play field: sea, surface scenes, sea bed layers and the heads-up pieces.
#include <cmath>
#include <tuple>

#include "tools/art/Painters.h"

namespace Zant::Art {

namespace {

// Light rays from the surface: soft additive wedges.
void LightRays(cairo_t* cr, double w, double h, int seed, double strength, cairo_operator_t op = CAIRO_OPERATOR_ADD)
{
    Rand r(seed);
    cairo_set_operator(cr, op);
    for (int i = 0; i < 7; ++i) {
        double x = r.Range(-60, w), spread = r.Range(20, 60), slant = r.Range(40, 120);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
        double a = strength * r.Range(0.5, 1);
        cairo_pattern_add_color_stop_rgba(p, 0, 0.7, 0.95, 1, a);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.7, 0.95, 1, 0);
        cairo_set_source(cr, p);
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x + spread * 0.4, 0);
        cairo_line_to(cr, x + slant + spread, h);
        cairo_line_to(cr, x + slant, h);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void Particles(cairo_t* cr, double w, double h, int seed, int count, bool wrapY)
{
    Rand r(seed);
    for (int i = 0; i < count; ++i) {
        double x = r.Range(0, w), y = r.Range(0, h), rad = r.Range(0.6, 1.8), a = r.Range(0.15, 0.5);
        for (int k = wrapY ? -1 : 0; k <= (wrapY ? 1 : 0); ++k) {
            Ellipse(cr, x, y + k * h, rad, rad);
            SetColor(cr, Hex(0xCFF4FF, a));
            cairo_fill(cr);
        }
    }
}

// The sea tile: mid-water with slanted rays and motes that wrap top to bottom.
void PaintWater(Canvas& c)
{
    cairo_t* cr = c.Cr();
    double w = c.Width(), h = c.Height();
    // Colour changes only with x and with a period of h in y, so the tile repeats.
    cairo_surface_flush(c.Surface());
    Rgb a = Hex(0x1A5F82), b = Hex(0x123E66);
    uint8_t* data = cairo_image_surface_get_data(c.Surface());
    int stride = cairo_image_surface_get_stride(c.Surface());
    for (int y = 0; y < int(h); ++y)
        for (int x = 0; x < int(w); ++x) {
            double n = ValueNoise(x / 90.0, (y / h) * 6.0, 3);
            double n2 = ValueNoise(x / 90.0, (y / h) * 6.0 - 6.0, 3);
            double wy = y / h;
            double v = n * (1 - wy) + n2 * wy; // blend so row 0 meets row h
            double band = 0.5 + 0.5 * std::sin(2 * Pi * (y / h) * 2 + x * 0.01);
            Rgb col = Mix(a, b, 0.35 + 0.4 * v + 0.1 * band);
            uint32_t px = 0xFF000000u | (uint32_t(col.r * 255) << 16) | (uint32_t(col.g * 255) << 8) | uint32_t(col.b * 255);
            *reinterpret_cast<uint32_t*>(data + y * stride + x * 4) = px;
        }
    cairo_surface_mark_dirty(c.Surface());
    // Caustic streaks that bow sideways but leave the bottom edge where they entered
    // the top, so a streak runs on into the tile below without a step at the seam.
    Rand r(12);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    const int steps = 24;
    for (int i = 0; i < 9; ++i) {
        double x = r.Range(0, w), width = r.Range(18, 50), alpha = r.Range(0.03, 0.07);
        auto edge = [&](int step) { return x + 40 * std::sin(Pi * step / steps); };
        cairo_move_to(cr, edge(0), 0);
        for (int k = 1; k <= steps; ++k)
            cairo_line_to(cr, edge(k), h * k / steps);
        for (int k = steps; k >= 0; --k)
            cairo_line_to(cr, edge(k) + width, h * k / steps);
        cairo_close_path(cr);
        SetColor(cr, Hex(0x8FE0F0, alpha));
        cairo_fill(cr);
    }
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    Particles(cr, w, h, 7, 120, true);
    // The abyss's depth marks run down the left edge: the water deepens there, so
    // that their white reads also under the dimming of a paused board.
    cairo_pattern_t* edge = cairo_pattern_create_linear(0, 0, 90, 0);
    cairo_pattern_add_color_stop_rgba(edge, 0, 0.01, 0.04, 0.08, 0.6);
    cairo_pattern_add_color_stop_rgba(edge, 0.45, 0.01, 0.04, 0.08, 0.6);
    cairo_pattern_add_color_stop_rgba(edge, 1, 0.01, 0.04, 0.08, 0);
    cairo_set_source(cr, edge);
    cairo_rectangle(cr, 0, 0, 90, h);
    cairo_fill(cr);
    cairo_pattern_destroy(edge);
}

// ----------------------------------------------------------- surface scenes --

const double kWaterline = 118;

void Sky(cairo_t* cr, double w, Rgb top, Rgb bottom)
{
    cairo_rectangle(cr, 0, 0, w, kWaterline + 2);
    VerticalGradient(cr, 0, top, kWaterline, bottom);
    cairo_fill(cr);
}

void Cloud(cairo_t* cr, double x, double y, double s, Rgb c)
{
    for (int i = 0; i < 5; ++i) {
        Ellipse(cr, x + (i - 2) * 12 * s, y - (i % 2) * 6 * s, 14 * s, 10 * s);
        SetColor(cr, c);
        cairo_fill(cr);
    }
}

// Under the waterline: lit water fading to nothing, so the sea tile shows.
void SurfaceWater(cairo_t* cr, double w, double h, Rgb tint)
{
    cairo_rectangle(cr, 0, kWaterline, w, h - kWaterline);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, kWaterline, 0, h);
    // Light enough below the surface band that creatures swimming under the
    // scene (it is drawn over them) keep their colours.
    cairo_pattern_add_color_stop_rgba(p, 0, tint.r, tint.g, tint.b, 0.95);
    cairo_pattern_add_color_stop_rgba(p, 0.12, tint.r * 0.8, tint.g * 0.9, tint.b * 0.95, 0.6);
    cairo_pattern_add_color_stop_rgba(p, 0.45, tint.r * 0.6, tint.g * 0.75, tint.b * 0.85, 0.25);
    cairo_pattern_add_color_stop_rgba(p, 0.9, tint.r * 0.4, tint.g * 0.6, tint.b * 0.75, 0);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Wavy surface line with foam.
    cairo_move_to(cr, 0, kWaterline);
    for (int x = 0; x <= int(w); x += 4)
        cairo_line_to(cr, x, kWaterline + 2 * std::sin(x * 0.06));
    cairo_line_to(cr, w, kWaterline + 8);
    for (int x = int(w); x >= 0; x -= 4)
        cairo_line_to(cr, x, kWaterline + 6 + 2 * std::sin(x * 0.06 + 1));
    cairo_close_path(cr);
    SetColor(cr, Hex(0xE8FBFF, 0.55));
    cairo_fill(cr);
    cairo_save(cr);
    cairo_rectangle(cr, 0, kWaterline, w, h - kWaterline);
    cairo_clip(cr);
    LightRays(cr, w, h, 5, 0.16, CAIRO_OPERATOR_ATOP); // only where there is water
    cairo_restore(cr);
}

// The dive boat the diver went down from, at the left.
void DiveBoat(cairo_t* cr)
{
    cairo_move_to(cr, 0, kWaterline - 14);
    cairo_line_to(cr, 120, kWaterline - 14);
    cairo_curve_to(cr, 112, kWaterline + 4, 96, kWaterline + 10, 70, kWaterline + 10);
    cairo_line_to(cr, 0, kWaterline + 10);
    cairo_close_path(cr);
    VerticalGradient(cr, kWaterline - 14, Hex(0xF4F0E6), kWaterline + 10, Hex(0xC0B8A8));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, kWaterline - 8, 118, 4);
    SetColor(cr, Hex(0xD64545));
    cairo_fill(cr);
    cairo_rectangle(cr, 16, kWaterline - 36, 44, 22);
    FillOutlined(cr, Hex(0xE6E0D2), 2);
    cairo_new_path(cr);
    cairo_rectangle(cr, 22, kWaterline - 31, 12, 9);
    cairo_rectangle(cr, 40, kWaterline - 31, 12, 9);
    SetColor(cr, Hex(0x5AA8C8));
    cairo_fill(cr);
    // Davit the hose hangs from.
    cairo_move_to(cr, 70, kWaterline - 14);
    cairo_line_to(cr, 70, kWaterline - 44);
    cairo_line_to(cr, 44, kWaterline - 44);
    SetColor(cr, Hex(0x5A5F6B));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
}

enum class Scene { Plain, Iceberg, Lighthouse, Shipwreck, Storm, Volcano };

void PaintSurface(Canvas& c, Scene scene)
{
    cairo_t* cr = c.Cr();
    double w = c.Width(), h = c.Height();
    bool storm = scene == Scene::Storm;
    Sky(cr, w, storm ? Hex(0x2A3040) : scene == Scene::Volcano ? Hex(0xE07A4A) : Hex(0x4599D4),
        storm ? Hex(0x6A7484) : scene == Scene::Volcano ? Hex(0xFFD08A) : Hex(0xBFE8F8));
    if (!storm) {
        Cloud(cr, 200, 34, 1.2, Hex(0xFFFFFF, 0.85));
        if (scene != Scene::Volcano)
            Cloud(cr, 470, 22, 0.9, Hex(0xFFFFFF, 0.75));
        SoftSpot(cr, 580, 30, 40, Hex(0xFFF6C0, 0.8));
    } else {
        for (int i = 0; i < 5; ++i)
            Cloud(cr, 60 + i * 140, 20 + (i % 2) * 12, 1.8, Hex(0x1E2430, 0.85));
    }
    // Distant horizon land.
    cairo_move_to(cr, 140, kWaterline);
    cairo_curve_to(cr, 220, kWaterline - 18, 300, kWaterline - 10, 360, kWaterline);
    cairo_close_path(cr);
    SetColor(cr, storm ? Hex(0x3A4250) : Hex(0x6A9AA8));
    cairo_fill(cr);
    Rgb sea = storm ? Hex(0x2E5A70) : Hex(0x3FA0C0);
    switch (scene) {
    case Scene::Iceberg: {
        // Above the water a bright berg, below a bigger blue mass.
        cairo_move_to(cr, 380, kWaterline);
        cairo_line_to(cr, 410, 60);
        cairo_line_to(cr, 440, 72);
        cairo_line_to(cr, 470, 30);
        cairo_line_to(cr, 505, 66);
        cairo_line_to(cr, 540, 52);
        cairo_line_to(cr, 590, kWaterline);
        cairo_close_path(cr);
        VerticalGradient(cr, 30, Hex(0xFFFFFF), kWaterline, Hex(0xBFE6F5));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        cairo_move_to(cr, 470, 30);
        cairo_line_to(cr, 480, 80);
        cairo_line_to(cr, 505, 66);
        cairo_close_path(cr);
        SetColor(cr, Hex(0x9FD3EA, 0.8));
        cairo_fill(cr);
        SurfaceWater(cr, w, h, sea);
        cairo_move_to(cr, 360, kWaterline + 4);
        cairo_curve_to(cr, 350, 170, 400, 230, 480, 236);
        cairo_curve_to(cr, 560, 230, 620, 180, 610, kWaterline + 4);
        cairo_close_path(cr);
        VerticalGradient(cr, kWaterline, Hex(0xA8E0F2, 0.8), 236, Hex(0x5FB0D0, 0.0));
        cairo_fill(cr);
        break;
    }
    case Scene::Lighthouse: {
        cairo_move_to(cr, 400, kWaterline + 2);
        cairo_curve_to(cr, 420, 86, 520, 80, 600, kWaterline + 2);
        cairo_close_path(cr);
        VerticalGradient(cr, 80, Hex(0x7A7468), kWaterline, Hex(0x4A463E));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        cairo_move_to(cr, 482, 90);
        cairo_line_to(cr, 490, 24);
        cairo_line_to(cr, 514, 24);
        cairo_line_to(cr, 522, 90);
        cairo_close_path(cr);
        SetColor(cr, Hex(0xF4F0E6));
        cairo_fill_preserve(cr);
        cairo_save(cr);
        cairo_clip(cr);
        for (int i = 0; i < 3; ++i) {
            cairo_rectangle(cr, 470, 34 + i * 20, 60, 9);
            SetColor(cr, Hex(0xD64545));
            cairo_fill(cr);
        }
        cairo_restore(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        cairo_rectangle(cr, 488, 10, 28, 14);
        FillOutlined(cr, Hex(0xFFE27A), 2);
        cairo_new_path(cr);
        SoftSpot(cr, 502, 17, 36, Hex(0xFFF2B0, 0.6));
        cairo_move_to(cr, 484, 8);
        cairo_line_to(cr, 502, -2);
        cairo_line_to(cr, 520, 8);
        cairo_close_path(cr);
        FillOutlined(cr, Hex(0x2F3640), 1.6);
        cairo_new_path(cr);
        SurfaceWater(cr, w, h, sea);
        cairo_move_to(cr, 400, kWaterline + 2);
        cairo_curve_to(cr, 400, 180, 600, 190, 600, kWaterline + 2);
        VerticalGradient(cr, kWaterline, Hex(0x3A3A34, 0.7), 200, Hex(0x3A3A34, 0));
        cairo_fill(cr);
        break;
    }
    case Scene::Shipwreck: {
        SurfaceWater(cr, w, h, sea);
        // A tilted wreck, mostly under water, one mast breaking the surface.
        cairo_save(cr);
        cairo_translate(cr, 470, 170);
        cairo_rotate(cr, -0.25);
        cairo_move_to(cr, -120, -20);
        cairo_line_to(cr, 110, -30);
        cairo_curve_to(cr, 100, 20, 60, 40, -60, 40);
        cairo_curve_to(cr, -100, 30, -115, 0, -120, -20);
        cairo_close_path(cr);
        VerticalGradient(cr, -30, Hex(0x7A6048, 0.9), 40, Hex(0x3A2A20, 0.35));
        cairo_fill_preserve(cr);
        cairo_save(cr);
        cairo_clip(cr);
        // Planks, a row of dark portholes and a broken hole in the side.
        SetColor(cr, Hex(0x2A1E16, 0.45));
        cairo_set_line_width(cr, 1.2);
        for (int i = 0; i < 6; ++i) {
            cairo_move_to(cr, -130, -16 + i * 9);
            cairo_line_to(cr, 120, -26 + i * 9);
            cairo_stroke(cr);
        }
        for (int i = 0; i < 5; ++i) {
            Ellipse(cr, -70 + i * 34, -6 - i * 1.3, 4.5, 4.5);
            SetColor(cr, Hex(0x1A120C, 0.8));
            cairo_fill(cr);
        }
        cairo_move_to(cr, 20, 4);
        cairo_line_to(cr, 36, -4);
        cairo_line_to(cr, 44, 10);
        cairo_line_to(cr, 32, 22);
        cairo_line_to(cr, 18, 16);
        cairo_close_path(cr);
        SetColor(cr, Hex(0x140E0A, 0.85));
        cairo_fill(cr);
        cairo_move_to(cr, -120, -18);
        cairo_line_to(cr, 110, -28);
        SetColor(cr, Hex(0xC8A878, 0.6));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_restore(cr);
        StrokeOutline(cr, 2, 0.6);
        cairo_restore(cr);
        cairo_new_path(cr);
        cairo_move_to(cr, 452, 140);
        cairo_line_to(cr, 430, 30);
        SetColor(cr, Hex(0x4A3A2A));
        cairo_set_line_width(cr, 6);
        cairo_stroke(cr);
        cairo_move_to(cr, 420, 50);
        cairo_line_to(cr, 470, 40);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        cairo_move_to(cr, 436, 52);
        cairo_line_to(cr, 462, 46);
        cairo_line_to(cr, 458, 80);
        cairo_line_to(cr, 440, 86);
        cairo_close_path(cr);
        SetColor(cr, Hex(0xE8DCC0, 0.85));
        cairo_fill(cr);
        break;
    }
    case Scene::Storm: {
        SetColor(cr, Hex(0xFFFFFF, 0.9));
        cairo_set_line_width(cr, 2.5);
        cairo_move_to(cr, 470, 20);
        cairo_line_to(cr, 450, 60);
        cairo_line_to(cr, 466, 62);
        cairo_line_to(cr, 440, kWaterline - 2);
        cairo_stroke(cr);
        SetColor(cr, Hex(0xA8B8D0, 0.5));
        cairo_set_line_width(cr, 1);
        Rand r(4);
        for (int i = 0; i < 90; ++i) {
            double x = r.Range(0, w), y = r.Range(0, kWaterline);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x - 4, y + 12);
            cairo_stroke(cr);
        }
        SurfaceWater(cr, w, h, sea);
        for (int i = 0; i < 6; ++i) {
            double x = 120 + i * 100;
            cairo_move_to(cr, x - 50, kWaterline + 6);
            cairo_curve_to(cr, x - 20, kWaterline - 22, x + 20, kWaterline - 26, x + 30, kWaterline - 12);
            cairo_curve_to(cr, x + 10, kWaterline - 14, x + 6, kWaterline - 4, x + 40, kWaterline + 6);
            cairo_close_path(cr);
            VerticalGradient(cr, kWaterline - 26, Hex(0xE0F0F4), kWaterline + 6, Hex(0x2E5A70));
            cairo_fill(cr);
        }
        break;
    }
    case Scene::Volcano: {
        // Smoke plume drifting right.
        for (int i = 0; i < 7; ++i) {
            double x = 492 + i * 14, y = 34 - i * 5, r = 12 + i * 3;
            Ellipse(cr, x, y, r, r * 0.8);
            SetColor(cr, WithAlpha(Mix(Hex(0x5A4A4A), Hex(0x8A7A78), i / 7.0), 0.75 - i * 0.06));
            cairo_fill(cr);
        }
        auto cone = [&] {
            cairo_move_to(cr, 370, kWaterline + 2);
            cairo_curve_to(cr, 420, 90, 450, 60, 472, 42);
            cairo_line_to(cr, 518, 42);
            cairo_curve_to(cr, 540, 60, 570, 90, 620, kWaterline + 2);
            cairo_close_path(cr);
        };
        cone();
        VerticalGradient(cr, 40, Hex(0x5A4A44), kWaterline, Hex(0x2E2622));
        cairo_fill_preserve(cr);
        cairo_save(cr);
        cairo_clip(cr);
        // Lit left flank, shadowed right flank, rock ribs.
        cairo_move_to(cr, 370, kWaterline + 2);
        cairo_curve_to(cr, 420, 90, 450, 60, 472, 42);
        cairo_line_to(cr, 488, 42);
        cairo_curve_to(cr, 470, 70, 452, 100, 440, kWaterline + 2);
        cairo_close_path(cr);
        SetColor(cr, Hex(0xB08A70, 0.35));
        cairo_fill(cr);
        cairo_rectangle(cr, 530, 30, 100, 100);
        SetColor(cr, Hex(0x000000, 0.18));
        cairo_fill(cr);
        SetColor(cr, Hex(0x1E1814, 0.5));
        cairo_set_line_width(cr, 1.2);
        for (int i = 0; i < 6; ++i) {
            double x = 480 + i * 8;
            cairo_move_to(cr, x, 46);
            cairo_curve_to(cr, x - 10 + i * 4, 70, x - 30 + i * 12, 100, x - 50 + i * 20, kWaterline);
            cairo_stroke(cr);
        }
        cairo_restore(cr);
        cone();
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        // Lava running down, glowing.
        for (auto [x0, x1, x2] : {std::tuple{480.0, 470.0, 466.0}, std::tuple{508.0, 522.0, 534.0}}) {
            cairo_move_to(cr, x0, 44);
            cairo_curve_to(cr, x0 + 4, 70, x1, 90, x2, kWaterline);
            SetColor(cr, Hex(0xFF7A2A, 0.45));
            cairo_set_line_width(cr, 9);
            cairo_stroke_preserve(cr);
            SetColor(cr, Hex(0xFFB347));
            cairo_set_line_width(cr, 3.5);
            cairo_stroke(cr);
        }
        SoftSpot(cr, 495, 40, 26, Hex(0xFFB347, 0.9));
        // Steam where the lava meets the sea.
        for (double x : {466.0, 534.0})
            SoftSpot(cr, x, kWaterline - 6, 16, Hex(0xFFFFFF, 0.55));
        SurfaceWater(cr, w, h, Hex(0x3A90A8));
        break;
    }
    case Scene::Plain:
        SurfaceWater(cr, w, h, sea);
        break;
    }
    DiveBoat(cr);
}

// ------------------------------------------------------------ sea bed layers --

// A rock layer behind the sea bed. At the end of a dive the layers rest with
// their tops at about y 143 (far), 259 (middle) and 375 (near), the sea bed at
// 275, so each ridge sits near the top of its image and the rock below it
// reaches down behind the next layer.
struct RockStyle {
    int seed;
    Rgb top, bottom, rim;  // lit ridge, hazy foot, rim light on the edge
    double ridge, depth;   // highest and lowest line of the ridge
    int spires;            // tall pinnacles standing out of the ridge
    double outline;        // opacity of the dark edge: far layers fade into the water
    bool fans;             // sea fans on the ridge
};

double RidgeAt(const RockStyle& st, double x, double w)
{
    double n = 0.55 * ValueNoise(x / 95.0, 0.5, st.seed) + 0.3 * ValueNoise(x / 31.0, 3.5, st.seed) +
               0.15 * ValueNoise(x / 11.0, 7.5, st.seed);
    double y = st.ridge + st.depth * (1 - n);
    Rand r(st.seed * 7 + 1);
    for (int i = 0; i < st.spires; ++i) {
        double sx = r.Range(30, w - 30), hw = r.Range(16, 34), top = st.ridge - r.Range(0, st.ridge * 0.6);
        double d = std::abs(x - sx) / hw;
        if (d < 1)
            y = std::min(y, top + std::pow(d, 1.6) * (st.ridge + st.depth * 0.7 - top));
    }
    return y;
}

void RockLayer(Canvas& c, const RockStyle& st)
{
    cairo_t* cr = c.Cr();
    const double w = c.Width(), h = c.Height();
    auto ridge = [&](double dy) {
        cairo_move_to(cr, -2, RidgeAt(st, 0, w) + dy);
        for (int x = 2; x <= int(w) + 2; x += 2)
            cairo_line_to(cr, x, RidgeAt(st, x, w) + dy);
    };
    ridge(0);
    cairo_line_to(cr, w + 2, h);
    cairo_line_to(cr, -2, h);
    cairo_close_path(cr);
    VerticalGradient3(cr, st.ridge, st.top, st.ridge + st.depth + 40, Mix(st.top, st.bottom, 0.6), h, st.bottom);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    // Strata and boulders: darker bands and lighter lumps lit from the upper left.
    Rand r(st.seed);
    for (int i = 0; i < 26; ++i) {
        double x = r.Range(0, w), y = r.Range(st.ridge + 10, h);
        SoftSpot(cr, x, y, r.Range(14, 40), WithAlpha(Lighter(st.top, 0.25), 0.16));
        SoftSpot(cr, x + 10, y + 12, r.Range(14, 36), WithAlpha(Darker(st.bottom, 0.4), 0.22));
    }
    SetColor(cr, WithAlpha(Darker(st.bottom, 0.35), 0.35 * st.outline + 0.15));
    cairo_set_line_width(cr, 1.3);
    for (int i = 0; i < 16; ++i) {
        double x = r.Range(0, w), y = RidgeAt(st, x, w) + r.Range(12, 80);
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x + 8, y + r.Range(-4, 4), x + 16, y + r.Range(4, 12), x + r.Range(20, 40), y + r.Range(6, 20));
        cairo_stroke(cr);
    }
    // Rim light along the ridge.
    ridge(2);
    SetColor(cr, WithAlpha(st.rim, 0.55));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_restore(cr);
    ridge(0);
    StrokeOutline(cr, 2, st.outline);
    cairo_new_path(cr);
    if (st.fans) {
        // Sea fans and sponges standing on the ridge, in the layer's dark tone.
        Rand f(st.seed + 5);
        for (int i = 0; i < 6; ++i) {
            double x = f.Range(20, w - 20), base = RidgeAt(st, x, w) + 3, size = f.Range(12, 22);
            for (int b = -3; b <= 3; ++b) {
                cairo_move_to(cr, x, base);
                cairo_curve_to(cr, x + b * 1.5, base - size * 0.5, x + b * size * 0.22, base - size * 0.8,
                               x + b * size * 0.28, base - size * (0.75 + 0.06 * (3 - std::abs(b))));
            }
            SetColor(cr, WithAlpha(Darker(st.bottom, 0.15), 0.9));
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
    }
}

void Kelp(cairo_t* cr, double x, double bottom, double height, int seed)
{
    cairo_move_to(cr, x, bottom);
    for (double y = bottom; y > bottom - height; y -= 5)
        cairo_line_to(cr, x + 5 * std::sin(y * 0.07 + seed), y);
    SetColor(cr, Hex(Pal::Outline, 0.7));
    cairo_set_line_width(cr, 6);
    cairo_stroke_preserve(cr);
    SetColor(cr, Hex(Pal::Kelp));
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    for (double y = bottom - 14; y > bottom - height + 6; y -= 16) {
        double xx = x + 5 * std::sin(y * 0.07 + seed);
        Ellipse(cr, xx + 6, y, 6, 2.5);
        SetColor(cr, Hex(0x4FA852));
        cairo_fill(cr);
    }
}

void Coral(cairo_t* cr, double x, double bottom, double size, Rgb colour)
{
    for (int b = -2; b <= 2; ++b) {
        cairo_move_to(cr, x, bottom);
        cairo_curve_to(cr, x + b * size * 0.1, bottom - size * 0.4, x + b * size * 0.3, bottom - size * 0.6,
                       x + b * size * 0.35, bottom - size * (0.8 + 0.1 * (2 - std::abs(b))));
        SetColor(cr, Hex(Pal::Outline, 0.7));
        cairo_set_line_width(cr, 7);
        cairo_stroke_preserve(cr);
        SetColor(cr, colour);
        cairo_set_line_width(cr, 5);
        cairo_stroke(cr);
    }
}

void SeaBed(Canvas& c, double top, int seed, bool decorate)
{
    cairo_t* cr = c.Cr();
    double w = c.Width(), h = c.Height();
    Rgb sand = Mix(Hex(Pal::Sand), Hex(Pal::Teal), 0.25);
    Rand r(seed);
    if (decorate) {
        // Kelp and coral grow out of the sand, mostly towards the sides so
        // that the middle, where creatures swim, stays calm.
        const double kelpX[] = {18, 46, 74, 262, 548, 590, 622};
        for (size_t i = 0; i < std::size(kelpX); ++i)
            Kelp(cr, kelpX[i], top + 18, r.Range(50, top - 4), int(i));
        Coral(cr, 150, top + 16, 52, Hex(Pal::Coral));
        Coral(cr, 178, top + 18, 34, Hex(Pal::CoralGold));
        Coral(cr, 470, top + 16, 58, Hex(Pal::CoralGold));
        Coral(cr, 500, top + 18, 36, Hex(0xE86BC4));
    }
    cairo_move_to(cr, 0, h);
    for (int x = 0; x <= int(w); x += 4)
        cairo_line_to(cr, x, top + 12 * ValueNoise(x / 60.0, 1, seed) + 6 * std::sin(x * 0.02));
    cairo_line_to(cr, w, h);
    cairo_close_path(cr);
    VerticalGradient(cr, top, Lighter(sand, 0.15), h, Darker(sand, 0.35));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    for (int i = 0; i < 400; ++i) {
        double x = r.Range(0, w), y = r.Range(top, h);
        Ellipse(cr, x, y, 1, 0.7);
        SetColor(cr, WithAlpha(r.Unit() < 0.5 ? Darker(sand, 0.3) : Lighter(sand, 0.3), 0.5));
        cairo_fill(cr);
    }
    // Ripples.
    SetColor(cr, WithAlpha(Darker(sand, 0.25), 0.5));
    cairo_set_line_width(cr, 1.2);
    for (int i = 0; i < 16; ++i) {
        double x = r.Range(0, w), y = r.Range(top + 20, h);
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x + 10, y - 4, x + 20, y - 4, x + 30, y);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    StrokeOutline(cr, 2, 0.6);
    cairo_new_path(cr);
    if (decorate) {
        for (int i = 0; i < 6; ++i) {
            double x = r.Range(20, w - 20), y = r.Range(top + 16, h - 10);
            Ellipse(cr, x, y, r.Range(10, 22), r.Range(6, 11));
            VerticalGradient(cr, y - 10, Lighter(Hex(Pal::Rock), 0.25), y + 10, Darker(Hex(Pal::Rock), 0.3));
            cairo_fill_preserve(cr);
            StrokeOutline(cr, 2);
            cairo_new_path(cr);
        }
        for (int i = 0; i < 5; ++i) {
            double x = r.Range(20, w - 20), y = r.Range(top + 20, h - 8);
            // Starfish.
            for (int a = 0; a < 10; ++a) {
                double ang = a * Pi / 5 - Pi / 2, rr = a % 2 ? 2.6 : 7;
                if (a == 0)
                    cairo_move_to(cr, x + std::cos(ang) * rr, y + std::sin(ang) * rr);
                else
                    cairo_line_to(cr, x + std::cos(ang) * rr, y + std::sin(ang) * rr);
            }
            cairo_close_path(cr);
            FillOutlined(cr, i % 2 ? Hex(Pal::Coral) : Hex(Pal::CoralGold), 1.2);
            cairo_new_path(cr);
        }
    }
}

// ----------------------------------------------------------------- HUD bits --

void Banner(Canvas& c, const std::string& text, double size, Rgb top, Rgb bottom)
{
    cairo_t* cr = c.Cr();
    SetFont(cr, "DejaVuSans-Bold", size);
    double w = c.Width(), h = c.Height();
    double tw = TextWidth(cr, text);
    if (tw > w - 16)
        SetFont(cr, "DejaVuSans-Bold", size * (w - 16) / tw);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    double base = h / 2 + (fe.ascent - fe.descent) / 2;
    DrawTextGradient(cr, text, w / 2, base, Align::Center, top, bottom, 3, Hex(Pal::Outline, 0.9));
}

void Gem(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb colour)
{
    // A cut gem: crown facets above the girdle, pavilion below.
    double gy = cy - ry * 0.25;
    cairo_move_to(cr, cx - rx, gy);
    cairo_line_to(cr, cx - rx * 0.55, cy - ry);
    cairo_line_to(cr, cx + rx * 0.55, cy - ry);
    cairo_line_to(cr, cx + rx, gy);
    cairo_line_to(cr, cx, cy + ry);
    cairo_close_path(cr);
    VerticalGradient(cr, cy - ry, Lighter(colour, 0.45), cy + ry, Darker(colour, 0.35));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    SetColor(cr, WithAlpha(Lighter(colour, 0.6), 0.8));
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, cx - rx, gy);
    cairo_line_to(cr, cx + rx, gy);
    for (double f : {-0.55, -0.2, 0.2, 0.55}) {
        cairo_move_to(cr, cx + rx * f, cy - ry);
        cairo_line_to(cr, cx + rx * f * 1.4, gy);
        cairo_line_to(cr, cx, cy + ry);
    }
    cairo_stroke(cr);
    cairo_move_to(cr, cx - rx * 0.45, cy - ry + 1);
    cairo_line_to(cr, cx - rx * 0.1, cy - ry + 1);
    cairo_line_to(cr, cx - rx * 0.3, gy);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xFFFFFF, 0.75));
    cairo_fill(cr);
}

void Medal(Canvas& c, Rgb metal, const std::string& mark)
{
    cairo_t* cr = c.Cr();
    double w = c.Width();
    // Ribbon.
    cairo_move_to(cr, w / 2 - 14, 0);
    cairo_line_to(cr, w / 2 - 4, 0);
    cairo_line_to(cr, w / 2 + 4, 24);
    cairo_line_to(cr, w / 2 - 6, 24);
    cairo_close_path(cr);
    FillOutlined(cr, Hex(0x2A7FA8), 1.4);
    cairo_new_path(cr);
    cairo_move_to(cr, w / 2 + 14, 0);
    cairo_line_to(cr, w / 2 + 4, 0);
    cairo_line_to(cr, w / 2 - 4, 24);
    cairo_line_to(cr, w / 2 + 6, 24);
    cairo_close_path(cr);
    FillOutlined(cr, Hex(0xD64545), 1.4);
    cairo_new_path(cr);
    double cy = 40, r = 18;
    Ellipse(cr, w / 2, cy, r, r);
    cairo_pattern_t* p = cairo_pattern_create_radial(w / 2 - 6, cy - 6, 2, w / 2, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0, std::min(1.0, metal.r + 0.35), std::min(1.0, metal.g + 0.35),
                                     std::min(1.0, metal.b + 0.35));
    cairo_pattern_add_color_stop_rgb(p, 1, metal.r * 0.6, metal.g * 0.6, metal.b * 0.6);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    Ellipse(cr, w / 2, cy, r - 5, r - 5);
    SetColor(cr, WithAlpha(Darker(metal, 0.4), 0.8));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    SetFont(cr, "DejaVuSans-Bold", 13);
    DrawText(cr, mark, w / 2, cy + 5, Align::Center, Lighter(metal, 0.5), 1, Darker(metal, 0.5));
}

void SonarQuadrant(Canvas& c, int frame, bool upper)
{
    // Centre of the sonar at the bottom-left (upper) or top-left (lower) corner.
    cairo_t* cr = c.Cr();
    double s = c.Width();
    double cy = upper ? s : 0;
    Rgb green = Hex(0x5CFF8A);
    // A faint ring grid at rest, brighter while the beam passes.
    for (int ring = 1; ring <= 3; ++ring) {
        cairo_arc(cr, 0, cy, s * ring / 3.2, upper ? -Pi / 2 : 0, upper ? 0 : Pi / 2);
        SetColor(cr, WithAlpha(green, frame == 0 ? 0.25 : 0.4));
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
    if (frame == 0)
        return;
    // Beam angle: clockwise through the quadrant over frames 1-4.
    double start = upper ? -Pi / 2 : 0;
    double end = start + (Pi / 2) * frame / 4.0;
    for (int i = 0; i < 12; ++i) {
        double a0 = end - 0.06 * (i + 1), a1 = end - 0.06 * i;
        if (a1 < start)
            break;
        cairo_move_to(cr, 0, cy);
        cairo_arc(cr, 0, cy, s, std::max(a0, start), a1);
        cairo_close_path(cr);
        SetColor(cr, WithAlpha(green, 0.45 * (1 - i / 12.0)));
        cairo_fill(cr);
    }
    cairo_move_to(cr, 0, cy);
    cairo_line_to(cr, std::cos(end) * s, cy + std::sin(end) * s);
    SetColor(cr, Hex(0xD8FFE4, 0.95));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Blips found by the sweep.
    Rand r(frame * 7 + (upper ? 1 : 2));
    for (int i = 0; i < 3; ++i) {
        double a = r.Range(start, end), d = r.Range(0.3, 0.9) * s;
        SoftSpot(cr, std::cos(a) * d, cy + std::sin(a) * d, 5, WithAlpha(green, 0.9));
    }
}

void LetterStrip(Canvas& c, bool mirrored, Rgb colour)
{
    cairo_t* cr = c.Cr();
    SetFont(cr, "DejaVuSans-Bold", 15);
    for (int i = 0; i < 26; ++i) {
        std::string s(1, char('A' + i));
        cairo_save(cr);
        if (mirrored) {
            cairo_translate(cr, i * 10 + 10, 0);
            cairo_scale(cr, -1, 1);
            cairo_translate(cr, -(i * 10), 0);
        }
        SetFont(cr, "DejaVuSans-Bold", 12);
        DrawText(cr, s, i * 10 + 5, 16, Align::Center, colour, 1);
        cairo_restore(cr);
    }
}

void SecretItem(cairo_t* cr, const std::string& item, double s)
{
    cairo_scale(cr, s / 48.0, s / 48.0);
    Rgb gold = Hex(0xF2C230);
    if (item == "crown") {
        cairo_move_to(cr, 6, 38);
        cairo_line_to(cr, 4, 14);
        cairo_line_to(cr, 15, 24);
        cairo_line_to(cr, 24, 8);
        cairo_line_to(cr, 33, 24);
        cairo_line_to(cr, 44, 14);
        cairo_line_to(cr, 42, 38);
        cairo_close_path(cr);
        VerticalGradient(cr, 8, Lighter(gold, 0.4), 38, Darker(gold, 0.35));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        for (int i = 0; i < 3; ++i) {
            Ellipse(cr, 13 + i * 11, 32, 3, 3);
            SetColor(cr, i == 1 ? Hex(0xD64545) : Hex(0x2A7FA8));
            cairo_fill(cr);
        }
    } else if (item == "figurine") {
        Ellipse(cr, 24, 11, 7, 7);
        cairo_move_to(cr, 16, 44);
        cairo_curve_to(cr, 14, 30, 18, 20, 24, 19);
        cairo_curve_to(cr, 30, 20, 34, 30, 32, 44);
        cairo_close_path(cr);
        VerticalGradient(cr, 4, Hex(0x7FE0C0), 44, Hex(0x2E7A5E));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        RoundedRect(cr, 12, 40, 24, 6, 2);
        FillOutlined(cr, gold, 1.6);
    } else if (item == "necklace") {
        cairo_arc(cr, 24, 14, 16, 0.2, Pi - 0.2);
        SetColor(cr, Hex(Pal::Outline, 0.85));
        cairo_set_line_width(cr, 4);
        cairo_stroke_preserve(cr);
        SetColor(cr, gold);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        for (int i = 0; i < 7; ++i) {
            double a = 0.35 + i * (Pi - 0.7) / 6;
            Ellipse(cr, 24 + std::cos(a) * 16, 14 + std::sin(a) * 16, 3, 3);
            FillOutlined(cr, Hex(0xF4F1EA), 1);
            cairo_new_path(cr);
        }
        Gem(cr, 24, 38, 7, 7, Hex(0xD64545));
    } else {
        cairo_move_to(cr, 10, 44);
        cairo_line_to(cr, 34, 14);
        SetColor(cr, Hex(Pal::Outline, 0.85));
        cairo_set_line_width(cr, 7);
        cairo_stroke_preserve(cr);
        SetColor(cr, gold);
        cairo_set_line_width(cr, 4.5);
        cairo_stroke(cr);
        Ellipse(cr, 36, 11, 7, 7);
        FillOutlined(cr, Hex(0xB05CFF), 2);
        cairo_new_path(cr);
        SoftSpot(cr, 34, 9, 3, Hex(0xFFFFFF, 0.9));
    }
}

} // namespace

void RegisterBoard(Registry& reg)
{
    reg.Add("water1", [](Canvas& c, const ImageSpec&) { PaintWater(c); });
    reg.Add("topbackground", [](Canvas& c, const ImageSpec&) { PaintSurface(c, Scene::Plain); });
    reg.Add("topbackground_iceberg", [](Canvas& c, const ImageSpec&) { PaintSurface(c, Scene::Iceberg); });
    reg.Add("topbackground_lighthouse", [](Canvas& c, const ImageSpec&) { PaintSurface(c, Scene::Lighthouse); });
    reg.Add("topbackground_shipwreck", [](Canvas& c, const ImageSpec&) { PaintSurface(c, Scene::Shipwreck); });
    reg.Add("topbackground_storm", [](Canvas& c, const ImageSpec&) { PaintSurface(c, Scene::Storm); });
    reg.Add("topbackground_volcano", [](Canvas& c, const ImageSpec&) { PaintSurface(c, Scene::Volcano); });
    // Far pinnacles fading into the water, a rugged middle ridge, and near
    // boulders dark, sharply outlined and crowned with sea fans: the foreground.
    reg.Add("mountain3", [](Canvas& c, const ImageSpec&) {
        RockLayer(c, {31, Hex(0x3D7F9C), Hex(0x1B5478), Hex(0x8FD0E4), 40, 60, 3, 0.18, false});
    });
    reg.Add("mountain2", [](Canvas& c, const ImageSpec&) {
        RockLayer(c, {32, Hex(0x3A6680), Hex(0x163650), Hex(0x7FC0D8), 14, 44, 1, 0.45, true});
    });
    reg.Add("mountain1", [](Canvas& c, const ImageSpec&) {
        RockLayer(c, {33, Hex(0x2C3C4A), Hex(0x0C141C), Hex(0xA8DCEC), 8, 36, 2, 1.0, true});
    });
    reg.Add("oceanfloor", [](Canvas& c, const ImageSpec&) { SeaBed(c, 100, 41, true); });
    reg.Add("sand", [](Canvas& c, const ImageSpec&) { SeaBed(c, 70, 42, false); });
    reg.Add("coralshelf", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        Rand r(6);
        for (int i = 0; i < 9; ++i)
            Coral(cr, 20 + i * 44, s.height - 12, r.Range(40, 80), i % 2 ? Hex(Pal::Coral) : Hex(Pal::CoralGold));
        cairo_move_to(cr, 0, s.height);
        cairo_curve_to(cr, 40, s.height - 30, 340, s.height - 30, s.width, s.height);
        cairo_close_path(cr);
        FillOutlined(cr, Mix(Hex(Pal::Rock), Hex(Pal::Sand), 0.4), 2);
    });
    reg.Add("textovers", [](Canvas& c, const ImageSpec&) { Banner(c, "GET READY TO DIVE!", 30, Hex(0xFFFFFF), Hex(0xC8D8E0)); });
    reg.Add("shipwreckbonus", [](Canvas& c, const ImageSpec&) {
        Banner(c, "SHIPWRECK BONUS!", 34, Hex(0xFFF0A0), Hex(0xE8A030));
    });
    reg.Add("airgauge", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 1, 1, s.width - 2, s.height - 2, 13);
        VerticalGradient(cr, 0, Hex(0xE8EEF2), s.height, Hex(0x7D8A96));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        // The slot holds the air bar at its fullest, 240 px.
        RoundedRect(cr, 17, 5, 244, 19, 4);
        SetColor(cr, Hex(0x14202C));
        cairo_fill(cr);
        cairo_rectangle(cr, 19, 7, 240, 15);
        SetColor(cr, Hex(0x0A1420));
        cairo_fill(cr);
        RoundedRect(cr, s.width - 16, 8, 12, 14, 3);
        FillOutlined(cr, Hex(Pal::Brass), 1.4);
    });
    reg.Add("boss_meter", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 1, 1, s.width - 2, s.height - 2, 8);
        VerticalGradient(cr, 0, Hex(0x9AA6B0), s.height, Hex(0x3A4450));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        // Window for the fill, left open.
        cairo_rectangle(cr, 36, 10, 294, 20);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_fill(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        cairo_rectangle(cr, 35, 9, 296, 22);
        SetColor(cr, Hex(Pal::Outline));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        // Skull badge at the left.
        Ellipse(cr, 18, 19, 10, 9);
        FillOutlined(cr, Hex(0xE8EEF2), 1.6);
        cairo_new_path(cr);
        Ellipse(cr, 14.5, 18, 2.6, 3);
        Ellipse(cr, 21.5, 18, 2.6, 3);
        SetColor(cr, Hex(0xD64545));
        cairo_fill(cr);
        SetFont(cr, "DejaVuSans-Bold", 10);
        DrawText(cr, "BOSS", 352, 24, Align::Center, Hex(0xFFE9A8), 1);
    });
    reg.Add("boss_meter_fill", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        cairo_rectangle(cr, 0, 0, s.width, s.height);
        VerticalGradient3(cr, 0, Hex(0xFF9A8A), 6, Hex(0xD64545), s.height, Hex(0x7A1818));
        cairo_fill(cr);
        for (int x = 0; x < s.width; x += 14) {
            cairo_rectangle(cr, x, 0, 1, s.height);
            SetColor(cr, Hex(0x000000, 0.25));
            cairo_fill(cr);
        }
    });
    reg.Add("sonar_bg", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        double cx = 182, cy = 182, rad = 172;
        RoundedRect(cr, 2, 2, s.width - 4, s.height - 4, 26);
        VerticalGradient(cr, 0, Hex(0xD8A850), s.height, Hex(0x7A5420));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2.5);
        cairo_new_path(cr);
        Ellipse(cr, cx, cy, rad, rad);
        cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 10, cx, cy, rad);
        // Deep enough at its middle for the sea-green bonus line written there.
        cairo_pattern_add_color_stop_rgb(p, 0, 0.02, 0.12, 0.08);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.01, 0.07, 0.05);
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
        StrokeOutline(cr, 3);
        cairo_new_path(cr);
        SetColor(cr, Hex(0x5CFF8A, 0.18));
        cairo_set_line_width(cr, 1);
        for (int ring = 1; ring <= 3; ++ring) {
            cairo_arc(cr, cx, cy, 155.0 * ring / 3.2, 0, 2 * Pi);
            cairo_stroke(cr);
        }
        cairo_move_to(cr, cx - rad, cy);
        cairo_line_to(cr, cx + rad, cy);
        cairo_move_to(cr, cx, cy - rad);
        cairo_line_to(cr, cx, cy + rad);
        cairo_stroke(cr);
        for (int i = 0; i < 4; ++i) {
            double a = Pi / 4 + i * Pi / 2;
            Ellipse(cr, cx + std::cos(a) * 166, cy + std::sin(a) * 166, 4, 4);
            FillOutlined(cr, Hex(0xE8D8A0), 1.2);
            cairo_new_path(cr);
        }
    });
    for (int i = 0; i < 5; ++i) {
        reg.Add("sonar_sweep_" + std::to_string(i), [i](Canvas& c, const ImageSpec&) { SonarQuadrant(c, i, true); });
        reg.Add("sonar_sweep2_" + std::to_string(i), [i](Canvas& c, const ImageSpec&) { SonarQuadrant(c, i, false); });
    }
    reg.Add("sparkle_large", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int, int, double t, double w, double h) {
            double g = 0.5 + 0.5 * std::sin(2 * Pi * t);
            double len = 6 + 12 * g;
            cairo_translate(cr, w / 2, h / 2);
            cairo_rotate(cr, t * Pi / 2);
            SoftSpot(cr, 0, 0, 6 + 6 * g, Hex(0xFFF6C8, 0.9));
            for (int arm = 0; arm < 4; ++arm) {
                cairo_rotate(cr, Pi / 2);
                cairo_move_to(cr, 0, -2);
                cairo_line_to(cr, len, 0);
                cairo_line_to(cr, 0, 2);
                cairo_close_path(cr);
                SetColor(cr, Hex(0xFFFFFF, 0.95));
                cairo_fill(cr);
            }
        });
        cairo_t* cr = c.Cr();
        cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OVER);
        SetColor(cr, Hex(0));
        cairo_paint(cr);
    });
    struct G {
        const char* name;
        uint32_t colour;
    };
    for (G g : {G{"gem_green", 0x2ECC71}, G{"gem_orange", 0xFF8A2A}, G{"gem_purple", 0xA05CE8}, G{"gem_red", 0xE83A4A},
                G{"gem_white", 0xE8F4FF}, G{"gem_yellow", 0xFFD83A}}) {
        uint32_t colour = g.colour;
        reg.Add(g.name, [colour](Canvas& c, const ImageSpec& s) {
            Gem(c.Cr(), s.width / 2.0, s.height / 2.0 + 2, s.width / 2.0 - 4, s.height / 2.0 - 5, Hex(colour));
        });
    }
    reg.Add("gemglow", [](Canvas& c, const ImageSpec& s) {
        SoftSpot(c.Cr(), s.width / 2.0, s.height / 2.0, s.width / 2.0 - 1.5, Hex(0xFFF6C8, 0.8));
    });
    reg.Add("medal_gold", [](Canvas& c, const ImageSpec&) { Medal(c, Hex(0xF2C230), "1"); });
    reg.Add("medal_silver", [](Canvas& c, const ImageSpec&) { Medal(c, Hex(0xC8D0D8), "2"); });
    reg.Add("medal_bronze", [](Canvas& c, const ImageSpec&) { Medal(c, Hex(0xC8803A), "3"); });
    for (std::string item : {"crown", "figurine", "necklace", "scepter"}) {
        reg.Add("secret_" + item, [item](Canvas& c, const ImageSpec& s) { SecretItem(c.Cr(), item, s.width); });
        reg.Add("secret_" + item + "_lrg", [item](Canvas& c, const ImageSpec& s) {
            SoftSpot(c.Cr(), s.width / 2.0, s.height / 2.0, s.width / 2.0 - 1.5, Hex(0xFFF6C8, 0.5));
            SecretItem(c.Cr(), item, s.width);
        });
    }
    reg.Add("sharkfont1", [](Canvas& c, const ImageSpec&) { LetterStrip(c, false, Hex(0xFFFFFF)); });
    reg.Add("sharkfont1reversed", [](Canvas& c, const ImageSpec&) { LetterStrip(c, true, Hex(0xFFFFFF)); });
    reg.Add("mapfont1", [](Canvas& c, const ImageSpec&) { LetterStrip(c, false, Hex(0xFFE9A8)); });
}

} // namespace Zant::Art
