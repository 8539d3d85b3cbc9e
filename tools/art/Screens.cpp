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
    ScaledAt(cr, 470, 330, 0.8, [](cairo_t* g) { PaintShark(g, "red", 0.6); });
    ScaledAt(cr, 520, 60, 0.9, [](cairo_t* g) { PaintJelly(g, 0.3); });
    ScaledAt(cr, 300, 300, 0.9, [](cairo_t* g) { PaintPiranha(g, "basic", 0.2); });
    ScaledAt(cr, 250, 340, 0.7, [](cairo_t* g) { PaintPiranha(g, "red", 0.7); });
    ScaledAt(cr, 80, 170, 2.2, [](cairo_t* g) { PaintDiver(g, 0.1); });
    // The hose from the diver up to the surface.
    cairo_move_to(cr, 112, 170);
    cairo_curve_to(cr, 110, 120, 130, 60, 120, 0);
    SetColor(cr, Hex(Pal::Outline, 0.85));
    cairo_set_line_width(cr, 9);
    cairo_stroke_preserve(cr);
    SetColor(cr, Hex(0x2B2B2B));
    cairo_set_line_width(cr, 6);
    cairo_stroke(cr);
    Bubbles(cr, 4, 150, 210, 40, 170, 14);
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
    // Welcome plate: dark glass for the white welcome lines, sand for the links.
    RoundedRect(cr, 26, 36, 268, 88, 12);
    VerticalGradient(cr, 36, Hex(0xE8C070), 124, Hex(0x8A6226));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    RoundedRect(cr, 32, 42, 256, 36, 8);
    VerticalGradient(cr, 42, Hex(0x1F5F80), 78, Hex(0x0C2A40));
    cairo_fill(cr);
    RoundedRect(cr, 32, 78, 256, 40, 8);
    VerticalGradient(cr, 78, Hex(0xF6EBD0), 118, Hex(0xE8D8B0));
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
};
const Site kSites[36] = {{115, 42},  {178, 82},  {277, 81},  {336, 86},  {464, 64},  {574, 81},  {91, 158},  {259, 164},
                         {401, 139}, {67, 246},  {168, 215}, {248, 227}, {297, 209}, {383, 180}, {471, 180}, {230, 263},
                         {286, 278}, {399, 244}, {444, 252}, {529, 238}, {46, 365},  {86, 340},  {196, 328}, {249, 320},
                         {363, 308}, {542, 284}, {168, 381}, {236, 406}, {294, 342}, {387, 347}, {526, 338}, {303, 375},
                         {292, 425}, {350, 420}, {448, 372}, {496, 425}};

double SiteClearance(double x, double y)
{
    double best = 1e9;
    for (const Site& s : kSites)
        best = std::min(best, std::hypot(x - s.x, y - s.y));
    return best;
}

void Island(cairo_t* cr, double cx, double cy, double r, int seed, bool volcano)
{
    cairo_new_path(cr);
    for (int i = 0; i <= 40; ++i) {
        double a = i * 2 * Pi / 40;
        double rr = r * (0.75 + 0.35 * ValueNoise(std::cos(a) * 2 + 5, std::sin(a) * 2 + 5, seed));
        double x = cx + std::cos(a) * rr, y = cy + std::sin(a) * rr * 0.8;
        i == 0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    SetColor(cr, Hex(0xE8F8F8, 0.5));
    cairo_set_line_width(cr, 8);
    cairo_stroke_preserve(cr);
    VerticalGradient(cr, cy - r, Hex(0xE6D29A), cy + r, Hex(0xB89A5A));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.6, 0.7);
    cairo_new_path(cr);
    if (volcano) {
        cairo_move_to(cr, cx - r * 0.5, cy + r * 0.2);
        cairo_line_to(cr, cx - r * 0.12, cy - r * 0.55);
        cairo_line_to(cr, cx + r * 0.12, cy - r * 0.55);
        cairo_line_to(cr, cx + r * 0.5, cy + r * 0.2);
        cairo_close_path(cr);
        FillOutlined(cr, Hex(0x5A4A44), 1.4);
        cairo_new_path(cr);
        SoftSpot(cr, cx, cy - r * 0.55, r * 0.3, Hex(0xFF7A2A, 0.9));
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
                SetColor(cr, Hex(Pal::Kelp));
                cairo_fill(cr);
            }
        }
    }
}

void PaintMap(Canvas& c)
{
    cairo_t* cr = c.Cr();
    double w = c.Width(), h = c.Height();
    // Chart sea: shallow aqua in the charted corner to the deep uncharted dark.
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, h);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.42, 0.78, 0.86);
    cairo_pattern_add_color_stop_rgb(p, 0.35, 0.2, 0.55, 0.7);
    cairo_pattern_add_color_stop_rgb(p, 0.6, 0.07, 0.2, 0.33);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.03, 0.08, 0.16);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    // Depth mottling.
    Rand r(40);
    for (int i = 0; i < 220; ++i) {
        double x = r.Range(0, w), y = r.Range(0, h);
        SoftSpot(cr, x, y, r.Range(20, 60), Hex(r.Unit() < 0.5 ? 0xFFFFFF : 0x000000, 0.05));
    }
    // Chart grid over the charted waters.
    SetColor(cr, Hex(0xFFFFFF, 0.12));
    cairo_set_line_width(cr, 1);
    for (int x = 0; x < 640; x += 64) {
        cairo_move_to(cr, x + 0.5, 0);
        cairo_line_to(cr, x + 0.5, 480);
    }
    for (int y = 0; y < 480; y += 64) {
        cairo_move_to(cr, 0, y + 0.5);
        cairo_line_to(cr, 640, y + 0.5);
    }
    cairo_stroke(cr);
    // Coast at the port and islands in the gaps between sites.
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 240, 0);
    cairo_curve_to(cr, 200, 22, 150, 14, 120, 24);
    cairo_curve_to(cr, 80, 36, 40, 20, 0, 60);
    cairo_close_path(cr);
    VerticalGradient(cr, 0, Hex(0xB89A5A), 60, Hex(0xE6D29A));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.6, 0.7);
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 300);
    cairo_curve_to(cr, 30, 320, 10, 350, 24, 380);
    cairo_curve_to(cr, 34, 410, 20, 440, 0, 470);
    cairo_close_path(cr);
    VerticalGradient(cr, 300, Hex(0xE6D29A), 470, Hex(0xB89A5A));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.6, 0.7);
    cairo_new_path(cr);
    struct Isle {
        double x, y, r;
        bool volcano;
    };
    for (Isle isle : {Isle{210, 135, 20, false}, Isle{490, 212, 16, true}, Isle{590, 170, 22, false},
                      Isle{130, 280, 18, false}, Isle{340, 250, 14, false}, Isle{600, 380, 18, false},
                      Isle{420, 30, 14, false}, Isle{200, 440, 14, false}})
        if (SiteClearance(isle.x, isle.y) > isle.r + 12)
            Island(cr, isle.x, isle.y, isle.r, int(isle.x), isle.volcano);
    // Sewage haze by the polluted sites.
    SoftSpot(cr, 540, 70, 50, Hex(0x7CFC3A, 0.18));
    // Rocks by the secret site among the rocks.
    for (int i = 0; i < 5; ++i) {
        Ellipse(cr, 176 + i * 7, 344 + (i % 2) * 6, 4, 3);
        FillOutlined(cr, Hex(Pal::Rock), 1);
        cairo_new_path(cr);
    }
    // Uncharted waters: the whirlpool and a warning.
    double wx = 640, wy = 760;
    for (int arm = 0; arm < 4; ++arm) {
        cairo_new_path(cr);
        for (int i = 0; i < 120; ++i) {
            double t = i / 120.0;
            double a = arm * Pi / 2 + t * 4 * Pi;
            double rr = 8 + t * 150;
            double x = wx + std::cos(a) * rr, y = wy + std::sin(a) * rr * 0.6;
            i == 0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
        }
        SetColor(cr, Hex(0x7FD3E6, 0.35));
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    }
    SoftSpot(cr, wx, wy, 40, Hex(0x000000, 0.6));
    SetFont(cr, "DejaVuSerif-Bold", 22);
    DrawText(cr, "UNCHARTED WATERS", 720, 470, Align::Center, Hex(0xFFE9A8, 0.55), 0);
    SetFont(cr, "DejaVuSerif-Bold", 14);
    DrawText(cr, "here be hungry fish", 720, 492, Align::Center, Hex(0xFFE9A8, 0.4), 0);
    // Compass rose in the open sea.
    double cx = 590, cy = 40;
    for (int i = 0; i < 8; ++i) {
        double a = i * Pi / 4 - Pi / 2, len = i % 2 ? 12 : 24;
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + std::cos(a - 0.25) * 6, cy + std::sin(a - 0.25) * 6);
        cairo_line_to(cr, cx + std::cos(a) * len, cy + std::sin(a) * len);
        cairo_close_path(cr);
        FillOutlined(cr, i == 0 ? Hex(0xD64545) : Hex(0xF4F0E6), 1);
        cairo_new_path(cr);
    }
    SetFont(cr, "DejaVuSerif-Bold", 10);
    DrawText(cr, "N", cx, cy - 27, Align::Center, Hex(0xFFFFFF), 1);
    // Faint rings marking each dive site.
    for (const Site& s : kSites) {
        Ellipse(cr, s.x, s.y, 9, 9);
        SetColor(cr, Hex(0xFFFFFF, 0.25));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
}

void Chest(Canvas& c, char letter, bool open)
{
    cairo_t* cr = c.Cr();
    double w = c.Width(), h = c.Height();
    if (open) {
        SoftSpot(cr, w / 2, 12, 14, Hex(0xFFE27A, 0.8));
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
    DrawText(cr, "LEVEL", 300, 146, Align::Center, head);
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
        cairo_move_to(cr, 6, 18);
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
        Ellipse(cr, 6, 18, 4, 1.5);
        SetColor(cr, Hex(0x3A2A1A));
        cairo_fill(cr);
    });
    reg.Add("point", [](Canvas& c, const ImageSpec&) {
        Ellipse(c.Cr(), 3, 3, 2.4, 2.4);
        FillOutlined(c.Cr(), Hex(0xFFFFFF), 0.8);
    });
    reg.Add("point_green", [](Canvas& c, const ImageSpec&) {
        Ellipse(c.Cr(), 3, 3, 2.4, 2.4);
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
        cairo_t* cr = c.Cr();
        double cx = s.width - 62, cy = s.height - 62;
        Ellipse(cr, cx, cy, 56, 56);
        VerticalGradient(cr, cy - 56, Hex(0xE8C070), cy + 56, Hex(0x8A6226));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        Ellipse(cr, cx, cy, 46, 46);
        SetColor(cr, Hex(0xF6EBD0));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.4);
        cairo_new_path(cr);
        for (int i = 0; i < 8; ++i) {
            double a = i * Pi / 4 - Pi / 2, len = i % 2 ? 22 : 42;
            cairo_move_to(cr, cx, cy);
            cairo_line_to(cr, cx + std::cos(a - 0.3) * 9, cy + std::sin(a - 0.3) * 9);
            cairo_line_to(cr, cx + std::cos(a) * len, cy + std::sin(a) * len);
            cairo_close_path(cr);
            FillOutlined(cr, i == 0 ? Hex(0xD64545) : i % 2 ? Hex(0xB8893B) : Hex(0x1F5F80), 1);
            cairo_new_path(cr);
        }
        SetFont(cr, "DejaVuSerif-Bold", 12);
        DrawText(cr, "N", cx, cy - 48 + 10, Align::Center, Hex(0x3A1A08));
        // A rope swag along the left to frame the corner.
        cairo_move_to(cr, 0, s.height - 6);
        cairo_curve_to(cr, 30, s.height - 20, 60, s.height - 20, cx - 56, cy + 10);
        SetColor(cr, Hex(Pal::Outline, 0.8));
        cairo_set_line_width(cr, 6);
        cairo_stroke_preserve(cr);
        SetColor(cr, Hex(0xC8A870));
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
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
