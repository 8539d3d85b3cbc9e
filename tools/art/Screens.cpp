// Full screens: the title, the menu, the dive-site chart and the high scores.
#include <cmath>

#include "tools/art/Painters.h"

namespace Zant::Art {

namespace {

void Backdrop(cairo_t* cr, double w, double h, int seed)
{
    cairo_rectangle(cr, 0, 0, w, h);
    VerticalGradient3(cr, 0, Hex(0x5FC0DA), h * 0.35, Hex(Pal::Teal), h, Hex(Pal::Navy));
    cairo_fill(cr);
    Rand r(seed);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    for (int i = 0; i < 8; ++i) {
        double x = r.Range(-80, w), wd = r.Range(30, 80);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h * 0.8);
        cairo_pattern_add_color_stop_rgba(p, 0, 0.75, 0.95, 1, r.Range(0.08, 0.16));
        cairo_pattern_add_color_stop_rgba(p, 1, 0.75, 0.95, 1, 0);
        cairo_set_source(cr, p);
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x + wd * 0.4, 0);
        cairo_line_to(cr, x + wd + 120, h * 0.8);
        cairo_line_to(cr, x + 120, h * 0.8);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    // Far silhouettes: two layers of rock and kelp.
    for (int layer = 0; layer < 2; ++layer) {
        Rgb c = layer == 0 ? Hex(0x1A4A66, 0.7) : Hex(0x0E2A40, 0.85);
        double base = h - 90 + layer * 40;
        cairo_move_to(cr, 0, h);
        for (int x = 0; x <= int(w); x += 6)
            cairo_line_to(cr, x, base - 50 * ValueNoise(x / (80.0 - layer * 20), layer, seed));
        cairo_line_to(cr, w, h);
        cairo_close_path(cr);
        SetColor(cr, c);
        cairo_fill(cr);
        for (int k = 0; k < 6; ++k) {
            double x = r.Range(0, w), top = base - r.Range(60, 140);
            cairo_move_to(cr, x, h);
            for (double y = h; y > top; y -= 6)
                cairo_line_to(cr, x + 6 * std::sin(y * 0.05 + k), y);
            SetColor(cr, c);
            cairo_set_line_width(cr, 5);
            cairo_stroke(cr);
        }
    }
    for (int i = 0; i < 90; ++i) {
        Ellipse(cr, r.Range(0, w), r.Range(0, h), r.Range(0.6, 1.6), r.Range(0.6, 1.6));
        SetColor(cr, Hex(0xCFF4FF, r.Range(0.15, 0.45)));
        cairo_fill(cr);
    }
}

void Logo(cairo_t* cr, double cx, double y, double scale)
{
    SetFont(cr, "DejaVuSerif-Bold", 64 * scale);
    cairo_save(cr);
    // Soft shadow, then brass letters with a dark outline.
    cairo_translate(cr, 3 * scale, 4 * scale);
    DrawText(cr, "PLINDOR", cx, y, Align::Center, Hex(0x000000, 0.35), 0);
    cairo_restore(cr);
    DrawTextGradient(cr, "PLINDOR", cx, y, Align::Center, Hex(0xFFF0B0), Hex(0xB8893B), 4 * scale, Hex(Pal::Outline, 0.95));
    SetFont(cr, "DejaVuSans-Bold", 34 * scale);
    DrawTextGradient(cr, "O M B R E X", cx, y + 44 * scale, Align::Center, Hex(0xE8FBFF), Hex(0x7FD3E6), 3 * scale,
                     Hex(Pal::Outline, 0.95));
}

void ScaledAt(cairo_t* cr, double x, double y, double s, const std::function<void(cairo_t*)>& paint)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, s, s);
    paint(cr);
    cairo_restore(cr);
}

void Bubbles(cairo_t* cr, int seed, double x0, double x1, double y0, double y1, int count)
{
    Rand r(seed);
    for (int i = 0; i < count; ++i)
        PaintBubble(cr, r.Range(x0, x1), r.Range(y0, y1), r.Range(2, 6));
}

void PaintTitle(Canvas& c)
{
    cairo_t* cr = c.Cr();
    Backdrop(cr, 640, 480, 17);
    ScaledAt(cr, 360, 190, 1.45, [](cairo_t* g) { PaintShark(g, "basic", 0.15); });
    // Everything below y 350 lies under the loading bar and the continue button.
    ScaledAt(cr, 444, 296, 0.7, [](cairo_t* g) { PaintShark(g, "red", 0.6); });
    ScaledAt(cr, 520, 60, 0.9, [](cairo_t* g) { PaintJelly(g, 0.3); });
    ScaledAt(cr, 300, 300, 0.9, [](cairo_t* g) { PaintPiranha(g, "basic", 0.2); });
    ScaledAt(cr, 236, 290, 0.7, [](cairo_t* g) { PaintPiranha(g, "red", 0.7); });
    ScaledAt(cr, 80, 150, 2.2, [](cairo_t* g) { PaintDiver(g, 0.1); });
    // The hose from the diver up to the surface.
    cairo_move_to(cr, 112, 150);
    cairo_curve_to(cr, 110, 110, 130, 60, 120, 0);
    SetColor(cr, Hex(Pal::Outline, 0.85));
    cairo_set_line_width(cr, 9);
    cairo_stroke_preserve(cr);
    SetColor(cr, Hex(0x2B2B2B));
    cairo_set_line_width(cr, 6);
    cairo_stroke(cr);
    Bubbles(cr, 4, 150, 210, 30, 150, 14);
    Logo(cr, 330, 92, 1.0);
    // Darker floor under the loading bar.
    cairo_rectangle(cr, 0, 340, 640, 140);
    VerticalGradient(cr, 340, Hex(0x000000, 0), 480, Hex(0x000000, 0.45));
    cairo_fill(cr);
}

// ---------------------------------------------------------------- menu --

struct MenuButton {
    double x, y, w, h;
    const char* label;
    const char* sub;
    double size;
};

const MenuButton kMenu[6] = {
    {303, 32, 310, 101, "ADVENTURE", "Explore the dive sites", 26},
    {303, 136, 310, 101, "ABYSS", "How deep can you go?", 26},
    {303, 240, 310, 101, "TYPING TUTOR", "Lessons and a typing test", 24},
    {307, 362, 204, 41, "HIGH SCORES", "", 15},
    {307, 404, 204, 41, "OPTIONS", "", 15},
    {511, 362, 98, 83, "QUIT", "", 18},
};

void MenuIcon(cairo_t* cr, int which, double x, double y)
{
    // A small picture on the left of each big button.
    if (which == 0) {
        RoundedRect(cr, x - 22, y - 6, 44, 26, 4);
        VerticalGradient(cr, y - 6, Hex(0xA0703A), y + 20, Hex(0x5A3A1A));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        cairo_move_to(cr, x - 22, y - 6);
        cairo_curve_to(cr, x - 20, y - 24, x + 20, y - 24, x + 22, y - 6);
        cairo_close_path(cr);
        VerticalGradient(cr, y - 22, Hex(0xB8803A), y - 6, Hex(0x7A4A1A));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        cairo_rectangle(cr, x - 4, y - 10, 8, 10);
        FillOutlined(cr, Hex(0xF2C230), 1.4);
    } else if (which == 1) {
        Ellipse(cr, x, y, 24, 24);
        VerticalGradient(cr, y - 24, Hex(0xF0D080), y + 24, Hex(0x7A5420));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        Ellipse(cr, x, y, 18, 18);
        SetColor(cr, Hex(0xF4F0E6));
        cairo_fill(cr);
        for (int i = 0; i < 12; ++i) {
            double a = i * Pi / 6;
            cairo_move_to(cr, x + std::cos(a) * 14, y + std::sin(a) * 14);
            cairo_line_to(cr, x + std::cos(a) * 17, y + std::sin(a) * 17);
        }
        SetColor(cr, Hex(0x0A1420));
        cairo_set_line_width(cr, 1.4);
        cairo_stroke(cr);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + 10, y + 8);
        SetColor(cr, Hex(0xD64545));
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    } else {
        RoundedRect(cr, x - 26, y - 14, 52, 30, 4);
        FillOutlined(cr, Hex(0x3A4450), 2);
        cairo_new_path(cr);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 6; ++col) {
                RoundedRect(cr, x - 23 + col * 8 + row * 2, y - 11 + row * 8, 6, 6, 1.5);
                SetColor(cr, row == 1 && col == 3 ? Hex(0xFFE27A) : Hex(0xE8EEF2));
                cairo_fill(cr);
            }
    }
}

void PaintMenu(cairo_t* cr, const int looks[6])
{
    Backdrop(cr, 640, 480, 23);
    // Welcome plate: dark glass for the two white welcome lines (baselines 55
    // and about 75), sand for the two brown links (baselines about 97 and 122).
    RoundedRect(cr, 26, 34, 268, 102, 12);
    VerticalGradient(cr, 34, Hex(0xE8C070), 136, Hex(0x8A6226));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    RoundedRect(cr, 32, 40, 256, 42, 8);
    VerticalGradient(cr, 40, Hex(0x1F5F80), 82, Hex(0x0C2A40));
    cairo_fill(cr);
    RoundedRect(cr, 32, 83, 256, 47, 8);
    VerticalGradient(cr, 83, Hex(0xF6EBD0), 130, Hex(0xE8D8B0));
    cairo_fill(cr);
    Logo(cr, 160, 200, 0.62);
    ScaledAt(cr, 95, 262, 1.9, [](cairo_t* g) { PaintDiver(g, 0.3); });
    ScaledAt(cr, 170, 330, 0.8, [](cairo_t* g) { PaintPiranha(g, "basic", 0.4); });
    ScaledAt(cr, 20, 390, 0.55, [](cairo_t* g) { PaintShark(g, "basic", 0.8); });
    Bubbles(cr, 9, 150, 200, 230, 300, 8);
    for (int i = 0; i < 6; ++i) {
        const MenuButton& b = kMenu[i];
        double y = b.y + (looks[i] == 2 ? 1 : 0);
        PaintGlassButton(cr, b.x, b.y, b.w, b.h, "", 0, looks[i], i < 3 ? 14 : 9);
        SetFont(cr, "DejaVuSans-Bold", b.size);
        Rgb text = looks[i] == 1 ? Hex(0xFFFFFF) : Hex(Pal::PanelText);
        if (i < 3) {
            MenuIcon(cr, i, b.x + 48, y + b.h / 2);
            DrawText(cr, b.label, b.x + 182, y + 50, Align::Center, text, 2);
            SetFont(cr, "DejaVuSans-Bold", 12);
            DrawText(cr, b.sub, b.x + 182, y + 74, Align::Center, Hex(0xD8F4FF), 1.4);
        } else {
            cairo_font_extents_t fe;
            cairo_font_extents(cr, &fe);
            DrawText(cr, b.label, b.x + b.w / 2, y + b.h / 2 + (fe.ascent - fe.descent) / 2, Align::Center, text, 1.8);
        }
    }
}

void PaintMenuCut(Canvas& c, int which, int look)
{
    Canvas full(640, 480);
    int looks[6] = {0, 0, 0, 0, 0, 0};
    looks[which] = look;
    PaintMenu(full.Cr(), looks);
    CopyRegion(c, full.Surface(), int(kMenu[which].x), int(kMenu[which].y));
}

// ------------------------------------------------------------------ map --

struct Site {
    int x, y;
    bool secret;
};
// The dive sites where the chart screen puts them; secret sites get no mark.
const Site kSites[36] = {
    {115, 42, false},  {178, 82, false},  {277, 81, false},  {336, 86, false},  {464, 64, false},  {574, 81, true},
    {91, 158, false},  {259, 164, false}, {401, 139, false}, {67, 246, false},  {168, 215, false}, {248, 227, false},
    {297, 209, false}, {383, 180, false}, {471, 180, false}, {230, 263, false}, {286, 278, false}, {399, 244, false},
    {444, 252, true},  {529, 238, false}, {46, 365, true},   {86, 340, false},  {196, 328, true},  {249, 320, false},
    {363, 308, false}, {542, 284, false}, {168, 381, false}, {236, 406, false}, {294, 342, false}, {387, 347, false},
    {526, 338, false}, {303, 375, false}, {292, 425, false}, {350, 420, false}, {448, 372, false}, {496, 425, false}};

double SiteClearance(double x, double y)
{
    double best = 1e9;
    for (const Site& s : kSites)
        best = std::min(best, std::hypot(x - s.x, y - s.y));
    return best;
}

// An island outline (noisy ellipse) as the current path.
void IslandPath(cairo_t* cr, double cx, double cy, double r, int seed, double grow)
{
    cairo_new_path(cr);
    for (int i = 0; i <= 48; ++i) {
        double a = i * 2 * Pi / 48;
        double rr = r * (0.75 + 0.35 * ValueNoise(std::cos(a) * 2 + 5, std::sin(a) * 2 + 5, seed)) + grow;
        double x = cx + std::cos(a) * rr, y = cy + std::sin(a) * rr * 0.8;
        i == 0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
}

void Island(cairo_t* cr, double cx, double cy, double r, int seed, bool volcano)
{
    // Shallows: pale water and depth contours round the shore.
    IslandPath(cr, cx, cy, r, seed, 9);
    SetColor(cr, Hex(0xBFF0F0, 0.35));
    cairo_fill(cr);
    for (double grow : {14.0, 22.0}) {
        IslandPath(cr, cx, cy, r, seed, grow);
        SetColor(cr, Hex(0xFFFFFF, grow < 20 ? 0.3 : 0.18));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    IslandPath(cr, cx, cy, r, seed, 3);
    SetColor(cr, Hex(0xF2E6C0));
    cairo_fill(cr);
    IslandPath(cr, cx, cy, r, seed, 0);
    VerticalGradient(cr, cy - r, Hex(0x7FB45A), cy + r, Hex(0x4E8A3A));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.4, 0.7);
    cairo_new_path(cr);
    SoftSpot(cr, cx - r * 0.3, cy - r * 0.3, r * 0.6, Hex(0xFFFFFF, 0.25));
    if (volcano) {
        cairo_move_to(cr, cx - r * 0.55, cy + r * 0.25);
        cairo_line_to(cr, cx - r * 0.12, cy - r * 0.6);
        cairo_line_to(cr, cx + r * 0.12, cy - r * 0.6);
        cairo_line_to(cr, cx + r * 0.55, cy + r * 0.25);
        cairo_close_path(cr);
        VerticalGradient(cr, cy - r * 0.6, Hex(0x7A6A60), cy + r * 0.25, Hex(0x3E3430));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.4);
        cairo_new_path(cr);
        SoftSpot(cr, cx, cy - r * 0.6, r * 0.35, Hex(0xFF7A2A, 0.9));
        cairo_move_to(cr, cx - 1, cy - r * 0.58);
        cairo_curve_to(cr, cx - 3, cy - r * 0.2, cx + 2, cy, cx, cy + r * 0.2);
        SetColor(cr, Hex(0xFF8A2A));
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
    } else {
        for (int t = 0; t < 2; ++t) {
            double tx = cx - r * 0.2 + t * r * 0.35, ty = cy - r * 0.1;
            cairo_move_to(cr, tx, ty + 6);
            cairo_line_to(cr, tx + 1, ty - 6);
            SetColor(cr, Hex(0x6A4A2A));
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
            for (int l = 0; l < 4; ++l) {
                double a = -Pi / 2 + (l - 1.5) * 0.7;
                Ellipse(cr, tx + 1 + std::cos(a) * 4, ty - 6 + std::sin(a) * 3, 4, 1.6);
                SetColor(cr, Hex(0x2E6E31));
                cairo_fill(cr);
            }
        }
    }
}

// A dive site: a ring with a dive flag, clear enough to read at a glance
// but small enough that the chest, sign or ship drawn over it covers it.
void SiteMark(cairo_t* cr, double x, double y)
{
    Ellipse(cr, x, y, 10, 10);
    SetColor(cr, Hex(0x0B2A40, 0.35));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(Pal::Outline, 0.7));
    cairo_set_line_width(cr, 3.4);
    cairo_stroke_preserve(cr);
    SetColor(cr, Hex(0xF6EBD0, 0.95));
    cairo_set_line_width(cr, 1.8);
    cairo_stroke(cr);
    Ellipse(cr, x, y, 2.6, 2.6);
    SetColor(cr, Hex(0xF6EBD0));
    cairo_fill(cr);
    // Red dive flag with its white diagonal on a short pole, inside the
    // 36 x 34 chest that covers an offered site.
    cairo_move_to(cr, x + 6.5, y - 6);
    cairo_line_to(cr, x + 6.5, y - 16);
    SetColor(cr, Hex(Pal::Outline));
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    cairo_rectangle(cr, x + 7, y - 16, 9, 6.5);
    FillOutlined(cr, Hex(0xD64545), 1);
    cairo_new_path(cr);
    cairo_move_to(cr, x + 7.5, y - 15.5);
    cairo_line_to(cr, x + 15.5, y - 10);
    SetColor(cr, Hex(0xFFFFFF));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

void CompassRose(cairo_t* cr, double cx, double cy, double size)
{
    Ellipse(cr, cx, cy, size * 0.62, size * 0.62);
    SetColor(cr, Hex(0xFFFFFF, 0.35));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (int i = 0; i < 8; ++i) {
        double a = i * Pi / 4 - Pi / 2, len = i % 2 ? size * 0.5 : size;
        for (int half = 0; half < 2; ++half) {
            cairo_move_to(cr, cx, cy);
            cairo_line_to(cr, cx + std::cos(a + (half ? 0.28 : -0.28)) * size * 0.22,
                          cy + std::sin(a + (half ? 0.28 : -0.28)) * size * 0.22);
            cairo_line_to(cr, cx + std::cos(a) * len, cy + std::sin(a) * len);
            cairo_close_path(cr);
            Rgb c = i == 0 ? Hex(0xD64545) : Hex(0xF4F0E6);
            FillOutlined(cr, half ? Darker(c, 0.25) : c, 0.9);
            cairo_new_path(cr);
        }
    }
    SetFont(cr, "DejaVuSerif-Bold", size * 0.42);
    DrawText(cr, "N", cx, cy - size - 3, Align::Center, Hex(0xFFFFFF), 1.2);
}

void PaintMap(Canvas& c)
{
    cairo_t* cr = c.Cr();
    double w = c.Width(), h = c.Height();
    // Chart sea: bright shallows in the charted corner, deepening to the dark
    // uncharted waters at the far corner.
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, h);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.45, 0.8, 0.88);
    cairo_pattern_add_color_stop_rgb(p, 0.32, 0.22, 0.58, 0.74);
    cairo_pattern_add_color_stop_rgb(p, 0.58, 0.07, 0.22, 0.36);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.02, 0.06, 0.13);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    Rand r(40);
    for (int i = 0; i < 260; ++i) {
        double x = r.Range(0, w), y = r.Range(0, h);
        SoftSpot(cr, x, y, r.Range(20, 60), Hex(r.Unit() < 0.5 ? 0xFFFFFF : 0x000000, 0.05));
    }
    // Chart grid with a darker border line, fading out past the charted area.
    for (int x = 0; x <= 640; x += 64) {
        cairo_move_to(cr, x + 0.5, 30);
        cairo_line_to(cr, x + 0.5, 480);
    }
    for (int y = 64; y <= 480; y += 64) {
        cairo_move_to(cr, 0, y + 0.5);
        cairo_line_to(cr, 640, y + 0.5);
    }
    SetColor(cr, Hex(0xFFFFFF, 0.13));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // The home coast with its port, and the bay in the west.
    auto coast = [&](const std::function<void()>& path) {
        path();
        SetColor(cr, Hex(0xBFF0F0, 0.3));
        cairo_set_line_width(cr, 18);
        cairo_stroke_preserve(cr);
        SetColor(cr, Hex(0xF2E6C0));
        cairo_set_line_width(cr, 6);
        cairo_stroke_preserve(cr);
        VerticalGradient(cr, 0, Hex(0x7FB45A), 480, Hex(0x4E8A3A));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.6, 0.7);
        cairo_new_path(cr);
    };
    coast([&] {
        cairo_move_to(cr, 0, 0);
        cairo_line_to(cr, 250, 0);
        cairo_curve_to(cr, 210, 22, 160, 16, 128, 24);
        cairo_curve_to(cr, 88, 34, 40, 22, 0, 62);
        cairo_close_path(cr);
    });
    coast([&] {
        cairo_move_to(cr, 0, 296);
        cairo_curve_to(cr, 30, 316, 14, 350, 24, 382);
        cairo_curve_to(cr, 32, 412, 20, 442, 0, 472);
        cairo_close_path(cr);
    });
    // Harbour buildings at the port.
    for (int i = 0; i < 4; ++i) {
        double x = 40 + i * 16, y = 14 + (i % 2) * 4;
        cairo_rectangle(cr, x, y, 11, 8);
        FillOutlined(cr, i % 2 ? Hex(0xF4F0E6) : Hex(0xE8D8B0), 1);
        cairo_new_path(cr);
        cairo_move_to(cr, x - 1, y);
        cairo_line_to(cr, x + 5.5, y - 5);
        cairo_line_to(cr, x + 12, y);
        cairo_close_path(cr);
        FillOutlined(cr, Hex(0xC0503A), 1);
        cairo_new_path(cr);
    }
    struct Isle {
        double x, y, r;
        bool volcano;
    };
    for (Isle isle : {Isle{212, 128, 20, false}, Isle{492, 210, 15, true}, Isle{600, 200, 20, false},
                      Isle{130, 282, 18, false}, Isle{340, 252, 13, false}, Isle{600, 400, 18, false},
                      Isle{412, 30, 12, false}, Isle{196, 446, 14, false}})
        if (SiteClearance(isle.x, isle.y) > isle.r + 12)
            Island(cr, isle.x, isle.y, isle.r, int(isle.x), isle.volcano);
    // Sewage haze by the polluted sites, lava glow by the volcano.
    SoftSpot(cr, 530, 74, 56, Hex(0x7CFC3A, 0.2));
    SoftSpot(cr, 492, 220, 40, Hex(0xFF7A2A, 0.18));
    // Rocks by the secret site among the rocks.
    for (int i = 0; i < 6; ++i) {
        Ellipse(cr, 172 + i * 8, 344 + (i % 2) * 6, 4.5, 3.2);
        FillOutlined(cr, Hex(Pal::Rock), 1);
        cairo_new_path(cr);
    }
    // Soundings: depths in fathoms scattered between the sites.
    SetFont(cr, "DejaVuSans", 8);
    for (int i = 0; i < 70; ++i) {
        double x = r.Range(20, 620), y = r.Range(40, 470);
        if (SiteClearance(x, y) < 26 || (x > 440 && y > 335))
            continue;
        DrawText(cr, std::to_string(int(4 + (x + y) / 30 + r.Range(0, 6))), x, y, Align::Center, Hex(0xFFFFFF, 0.4));
    }
    // Names of the waters: opaque cream letters in a dark outline, which they
    // read against at 7:1 and more over the pale shallows as over deep water.
    SetFont(cr, "DejaVuSerif-Bold", 11);
    struct Name {
        const char* text;
        double x, y;
    };
    for (Name n : {Name{"THE SHALLOWS", 138, 124}, Name{"SEWAGE REACH", 548, 132}, Name{"LAVA RIFT", 488, 268},
                   Name{"KELP MAZE", 118, 318}, Name{"VICTORY BAY", 405, 402}})
        DrawText(cr, n.text, n.x, n.y, Align::Center, Hex(0xFFF6D8), 1.8, Hex(0x0B2A40, 0.9));
    CompassRose(cr, 606, 326, 20);
    // Uncharted waters: the whirlpool beyond the last site, and a warning.
    double wx = 640, wy = 800;
    for (int arm = 0; arm < 4; ++arm) {
        cairo_new_path(cr);
        for (int i = 0; i < 120; ++i) {
            double t = i / 120.0, a = arm * Pi / 2 + t * 4 * Pi, rr = 8 + t * 120;
            double x = wx + std::cos(a) * rr, y = wy + std::sin(a) * rr * 0.6;
            i == 0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
        }
        SetColor(cr, Hex(0x7FD3E6, 0.35));
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    }
    SoftSpot(cr, wx, wy, 40, Hex(0x000000, 0.6));
    SetFont(cr, "DejaVuSerif-Bold", 22);
    DrawText(cr, "UNCHARTED WATERS", 720, 696, Align::Center, Hex(0xFFE9A8, 0.6), 0);
    SetFont(cr, "DejaVuSerif-Bold", 14);
    DrawText(cr, "here be hungry fish", 720, 716, Align::Center, Hex(0xFFE9A8, 0.7), 0);
    for (const Site& s : kSites)
        if (!s.secret)
            SiteMark(cr, s.x, s.y);
}

void Chest(Canvas& c, char letter, bool open)
{
    cairo_t* cr = c.Cr();
    double w = c.Width(), h = c.Height();
    if (open) {
        SoftSpot(cr, w / 2, 13, 11.5, Hex(0xFFE27A, 0.8));
        cairo_move_to(cr, 4, 14);
        cairo_line_to(cr, 8, 2);
        cairo_line_to(cr, w - 8, 2);
        cairo_line_to(cr, w - 4, 14);
        cairo_close_path(cr);
        FillOutlined(cr, Hex(0x6A4018), 1.6);
        cairo_new_path(cr);
        Ellipse(cr, w / 2, 15, 12, 4);
        SetColor(cr, Hex(0xF2C230));
        cairo_fill(cr);
    } else {
        cairo_move_to(cr, 3, 14);
        cairo_curve_to(cr, 4, 2, w - 4, 2, w - 3, 14);
        cairo_close_path(cr);
        VerticalGradient(cr, 2, Hex(0xC08040), 14, Hex(0x7A4A1A));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.6);
        cairo_new_path(cr);
    }
    RoundedRect(cr, 3, 14, w - 6, h - 16, 3);
    VerticalGradient(cr, 14, Hex(0xA86A30), h, Hex(0x5A3412));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.6);
    cairo_new_path(cr);
    cairo_rectangle(cr, 3, 19, w - 6, 3);
    SetColor(cr, Hex(0xB8893B));
    cairo_fill(cr);
    // The site's key letter on a brass plate.
    Ellipse(cr, w / 2, 24, 8.5, 8);
    FillOutlined(cr, Hex(0xF6E2A0), 1.4);
    cairo_new_path(cr);
    SetFont(cr, "DejaVuSans-Bold", 12);
    DrawText(cr, std::string(1, letter), w / 2, 28.5, Align::Center, Hex(0x3A1A08));
}

void PaintHighScores(Canvas& c)
{
    cairo_t* cr = c.Cr();
    Backdrop(cr, 640, 480, 31);
    SetFont(cr, "DejaVuSerif-Bold", 40);
    DrawTextGradient(cr, "HALL OF FAME", 320, 66, Align::Center, Hex(0xFFF0B0), Hex(0xB8893B), 3.5, Hex(Pal::Outline, 0.95));
    auto panel = [&](double x, double y, double w, double h) {
        RoundedRect(cr, x, y, w, h, 12);
        VerticalGradient(cr, y, Hex(0xE8C070), y + h, Hex(0x8A6226));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        RoundedRect(cr, x + 6, y + 6, w - 12, h - 12, 8);
        VerticalGradient(cr, y, Hex(0xFBF4E2), y + h, Hex(0xECDDB8));
        cairo_fill(cr);
    };
    panel(26, 96, 312, 260);
    panel(362, 96, 252, 260);
    SetFont(cr, "DejaVuSans-Bold", 17);
    DrawText(cr, "ADVENTURE", 182, 124, Align::Center, Hex(0x1F5F80));
    DrawText(cr, "ABYSS", 488, 124, Align::Center, Hex(0x1F5F80));
    SetFont(cr, "DejaVuSans-Bold", 11);
    Rgb head = Hex(0x6A4A1E);
    DrawText(cr, "NAME", 49, 146, Align::Left, head);
    DrawText(cr, "SCORE", 264, 146, Align::Right, head);
    // The adventure table's last column is the difficulty played, centred over its
    // abbreviations between the scores and the panel's edge.
    const double difficultyRoom = 62;
    if (double w = TextWidth(cr, "DIFFICULTY"); w > difficultyRoom)
        SetFont(cr, "DejaVuSans-Bold", 11 * difficultyRoom / w);
    DrawText(cr, "DIFFICULTY", 300, 146, Align::Center, head);
    SetFont(cr, "DejaVuSans-Bold", 11);
    DrawText(cr, "NAME", 389, 146, Align::Left, head);
    DrawText(cr, "DEPTH (FT)", 581, 146, Align::Right, head);
    for (double x : {40.0, 376.0}) {
        cairo_rectangle(cr, x, 150, x < 100 ? 284 : 224, 1.5);
        SetColor(cr, Hex(0xB8893B));
        cairo_fill(cr);
    }
    ScaledAt(cr, 30, 370, 0.6, [](cairo_t* g) { PaintShark(g, "basic", 0.3); });
    ScaledAt(cr, 520, 380, 0.8, [](cairo_t* g) { PaintPiranha(g, "white", 0.5); });
}

void PaintTreasurePanel(Canvas& c)
{
    cairo_t* cr = c.Cr();
    double w = c.Width(), h = c.Height();
    RoundedRect(cr, 2, 2, w - 4, h - 4, 12);
    VerticalGradient(cr, 0, Hex(0xFBF4E2), h, Hex(0xE4D2A8));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(Pal::Brass));
    cairo_set_line_width(cr, 4);
    cairo_stroke_preserve(cr);
    StrokeOutline(cr, 1.4);
    cairo_new_path(cr);
    uint32_t colours[6] = {0x2ECC71, 0xFF8A2A, 0xA05CE8, 0xE83A4A, 0xE8F4FF, 0xFFD83A};
    for (int i = 0; i < 6; ++i) {
        double cx = i % 2 ? 146 : 46, cy = 57 + (i / 2) * 52.5;
        Ellipse(cr, cx, cy, 22, 20);
        SetColor(cr, Hex(0x1F5F80, 0.15));
        cairo_fill(cr);
        Rgb col = Hex(colours[i]);
        double rx = 15, ry = 14;
        double gy = cy - ry * 0.25;
        cairo_move_to(cr, cx - rx, gy);
        cairo_line_to(cr, cx - rx * 0.55, cy - ry);
        cairo_line_to(cr, cx + rx * 0.55, cy - ry);
        cairo_line_to(cr, cx + rx, gy);
        cairo_line_to(cr, cx, cy + ry);
        cairo_close_path(cr);
        VerticalGradient(cr, cy - ry, Lighter(col, 0.45), cy + ry, Darker(col, 0.35));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.6);
        cairo_new_path(cr);
        SoftSpot(cr, cx - 5, cy - 8, 4, Hex(0xFFFFFF, 0.9));
    }
}

} // namespace

void RegisterScreens(Registry& reg)
{
    reg.Add("title", [](Canvas& c, const ImageSpec&) { PaintTitle(c); });
    reg.Add("title_bar", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 2, 2, s.width - 4, s.height - 4, 16);
        VerticalGradient(cr, 0, Hex(0xE8C070), s.height, Hex(0x8A6226));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        // Trough the gold bar fills: (23, 15), 434 x 18.
        RoundedRect(cr, 20, 12, 440, 24, 5);
        SetColor(cr, Hex(Pal::Outline, 0.95));
        cairo_fill(cr);
        cairo_rectangle(cr, 23, 15, 434, 18);
        VerticalGradient(cr, 15, Hex(0x05101C), 33, Hex(0x1A3A50));
        cairo_fill(cr);
        SetFont(cr, "DejaVuSans-Bold", 13);
        DrawText(cr, "LOADING THE DEEP...", s.width / 2.0, 56, Align::Center, Hex(0xFFE9A8), 1.4);
    });
    reg.Add("title_goldbar", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        cairo_rectangle(cr, 0, 0, s.width, s.height);
        VerticalGradient3(cr, 0, Hex(0xFFF4C0), 5, Hex(0xF2C230), s.height, Hex(0x8A5A10));
        cairo_fill(cr);
        for (int x = 0; x < s.width; x += 18) {
            cairo_move_to(cr, x, s.height);
            cairo_line_to(cr, x + 8, 0);
            SetColor(cr, Hex(0xFFFFFF, 0.18));
            cairo_set_line_width(cr, 4);
            cairo_stroke(cr);
        }
    });
    reg.Add("title_continue", [](Canvas& c, const ImageSpec& s) {
        PaintGlassButton(c.Cr(), 0, 0, s.width, s.height, "CLICK HERE TO CONTINUE", 13, 0, 8);
    });
    reg.Add("title_continue_over", [](Canvas& c, const ImageSpec& s) {
        PaintGlassButton(c.Cr(), 0, 0, s.width, s.height, "CLICK HERE TO CONTINUE", 13, 1, 8);
    });
    reg.Add("gameselector", [](Canvas& c, const ImageSpec&) {
        int looks[6] = {0, 0, 0, 0, 0, 0};
        PaintMenu(c.Cr(), looks);
    });
    const char* names[6] = {"adventure", "abyss", "tutor", "hall", "options", "quit"};
    for (int i = 0; i < 6; ++i) {
        reg.Add(std::string("button_") + names[i] + "_over", [i](Canvas& c, const ImageSpec&) { PaintMenuCut(c, i, 1); });
        reg.Add(std::string("button_") + names[i] + "_down", [i](Canvas& c, const ImageSpec&) { PaintMenuCut(c, i, 2); });
    }
    reg.Add("mapbg", [](Canvas& c, const ImageSpec&) { PaintMap(c); });
    reg.Add("mapship", [](Canvas& c, const ImageSpec&) {
        cairo_t* cr = c.Cr();
        cairo_move_to(cr, 6, 17);
        cairo_line_to(cr, 6, 2);
        SetColor(cr, Hex(0x3A2A1A));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_move_to(cr, 7, 2);
        cairo_line_to(cr, 18, 6);
        cairo_line_to(cr, 7, 10);
        cairo_close_path(cr);
        FillOutlined(cr, Hex(0xD64545), 1.2);
        cairo_new_path(cr);
        Ellipse(cr, 6, 17, 4, 1.5);
        SetColor(cr, Hex(0x3A2A1A));
        cairo_fill(cr);
    });
    // Course dots with a clear pixel round them, so their outline is not cut.
    reg.Add("point", [](Canvas& c, const ImageSpec&) {
        Ellipse(c.Cr(), 4, 4, 2.4, 2.4);
        FillOutlined(c.Cr(), Hex(0xFFFFFF), 0.8);
    });
    reg.Add("point_green", [](Canvas& c, const ImageSpec&) {
        Ellipse(c.Cr(), 4, 4, 2.4, 2.4);
        FillOutlined(c.Cr(), Hex(0x5CFF8A), 0.8);
    });
    reg.Add("mapshipcolor", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int, int, double t, double w, double) {
            double th = 2 * Pi * t;
            cairo_translate(cr, w / 2, 30 + 1.2 * std::sin(th));
            cairo_rotate(cr, 0.06 * std::sin(th + 0.8));
            cairo_move_to(cr, -20, 0);
            cairo_line_to(cr, 20, 0);
            cairo_line_to(cr, 14, 9);
            cairo_line_to(cr, -15, 9);
            cairo_close_path(cr);
            VerticalGradient(cr, 0, Hex(0xA86A30), 9, Hex(0x5A3412));
            cairo_fill_preserve(cr);
            StrokeOutline(cr, 1.6);
            cairo_new_path(cr);
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, 0, -26);
            SetColor(cr, Hex(0x3A2A1A));
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
            cairo_move_to(cr, 1, -25);
            cairo_curve_to(cr, 14 + 2 * std::sin(th), -18, 14 + 2 * std::sin(th), -8, 1, -3);
            cairo_close_path(cr);
            FillOutlined(cr, Hex(0xF4F0E6), 1.4);
            cairo_new_path(cr);
            cairo_move_to(cr, -1, -22);
            cairo_curve_to(cr, -10, -16, -10, -8, -1, -5);
            cairo_close_path(cr);
            FillOutlined(cr, Hex(0xE8E0D0), 1.4);
            cairo_new_path(cr);
            cairo_move_to(cr, 0, -26);
            cairo_line_to(cr, 8, -28);
            cairo_line_to(cr, 0, -30);
            SetColor(cr, Hex(0xD64545));
            cairo_fill(cr);
            // Wake.
            cairo_move_to(cr, -22, 8);
            cairo_curve_to(cr, -16, 4 + std::sin(th) * 2, 16, 4 - std::sin(th) * 2, 22, 8);
            SetColor(cr, Hex(0xFFFFFF, 0.7));
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
        });
    });
    reg.Add("mapscreen_arch", [](Canvas& c, const ImageSpec& s) {
        // A rope frame round the chart's bottom-right corner with a brass
        // compass in the corner; sites 34 and 35 and the ship on them lie
        // inside the frame's open part (x < 110, y < 110 here).
        cairo_t* cr = c.Cr();
        const double w = s.width, h = s.height;
        auto rope = [&](const std::function<void()>& path) {
            path();
            SetColor(cr, Hex(Pal::Outline, 0.8));
            cairo_set_line_width(cr, 7);
            cairo_stroke_preserve(cr);
            SetColor(cr, Hex(0xC8A870));
            cairo_set_line_width(cr, 5);
            cairo_stroke_preserve(cr);
            SetColor(cr, Hex(0x8A6A3A));
            cairo_set_line_width(cr, 1.2);
            const double dashes[] = {2.5, 3.5};
            cairo_set_dash(cr, dashes, 2, 0);
            cairo_stroke(cr);
            cairo_set_dash(cr, nullptr, 0, 0);
        };
        rope([&] {
            cairo_move_to(cr, w - 8, 0);
            cairo_curve_to(cr, w - 2, h * 0.35, w - 14, h * 0.5, w - 30, h * 0.62);
        });
        rope([&] {
            cairo_move_to(cr, 0, h - 6);
            cairo_curve_to(cr, w * 0.3, h - 14, w * 0.55, h - 2, w - 62, h - 26);
        });
        const double cx = w - 38, cy = h - 44;
        Ellipse(cr, cx, cy, 30, 30);
        VerticalGradient(cr, cy - 30, Hex(0xF0D080), cy + 30, Hex(0x8A6226));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        Ellipse(cr, cx, cy, 23, 23);
        SetColor(cr, Hex(0xF6EBD0));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.2);
        cairo_new_path(cr);
        for (int i = 0; i < 8; ++i) {
            double a = i * Pi / 4 - Pi / 2, len = i % 2 ? 11 : 20;
            cairo_move_to(cr, cx, cy);
            cairo_line_to(cr, cx + std::cos(a - 0.35) * 5, cy + std::sin(a - 0.35) * 5);
            cairo_line_to(cr, cx + std::cos(a) * len, cy + std::sin(a) * len);
            cairo_close_path(cr);
            FillOutlined(cr, i == 0 ? Hex(0xD64545) : i % 2 ? Hex(0xB8893B) : Hex(0x1F5F80), 0.8);
            cairo_new_path(cr);
        }
        SoftSpot(cr, cx - 10, cy - 12, 10, Hex(0xFFFFFF, 0.5));
    });
    for (char l : {'a', 'b', 'c'}) {
        reg.Add(std::string("mapchest_") + l, [l](Canvas& c, const ImageSpec&) { Chest(c, char(l - 32), false); });
        reg.Add(std::string("mapchest_") + l + "_open", [l](Canvas& c, const ImageSpec&) { Chest(c, char(l - 32), true); });
    }
    reg.Add("high_score_bg", [](Canvas& c, const ImageSpec&) { PaintHighScores(c); });
    reg.Add("tab_panel_treasure", [](Canvas& c, const ImageSpec&) { PaintTreasurePanel(c); });
    reg.Add("abyss_boss", [](Canvas& c, const ImageSpec&) {
        cairo_t* cr = c.Cr();
        struct Q {
            double x, y, scale, ox, oy;
        };
        // Torpedo boss, ghost ship, mechanical shark, mechanical squid.
        Q q[4] = {{2, 2, 0.5, 6, 22}, {150, 2, 0.36, 34, 2}, {2, 164, 0.5, 8, 8}, {150, 164, 0.42, 4, 30}};
        int kinds[4] = {0, 1, 2, 3};
        for (int i = 0; i < 4; ++i) {
            RoundedRect(cr, q[i].x, q[i].y, 136, 128, 10);
            VerticalGradient(cr, q[i].y, Hex(0x1F5F80), q[i].y + 128, Hex(0x0B1E3A));
            cairo_fill_preserve(cr);
            SetColor(cr, Hex(Pal::Brass));
            cairo_set_line_width(cr, 3);
            cairo_stroke_preserve(cr);
            StrokeOutline(cr, 1);
            cairo_new_path(cr);
            cairo_save(cr);
            RoundedRect(cr, q[i].x + 2, q[i].y + 2, 132, 124, 9);
            cairo_clip(cr);
            cairo_translate(cr, q[i].x + q[i].ox, q[i].y + q[i].oy);
            cairo_scale(cr, q[i].scale, q[i].scale);
            PaintBossPortrait(cr, kinds[i]);
            cairo_restore(cr);
        }
    });
}

} // namespace Zant::Art
