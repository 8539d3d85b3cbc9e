// Piranhas, the bonus jellyfish, clams, background fish and the diver.
#include <cmath>
#include <vector>

#include "tools/art/CreatureParts.h"
#include "tools/art/Painters.h"

namespace Zant::Art {

void DrawEye(cairo_t* cr, double x, double y, double r, Rgb iris, bool dead)
{
    if (dead) {
        SetColor(cr, Hex(0x101010));
        cairo_set_line_width(cr, 1.6);
        cairo_move_to(cr, x - r, y - r);
        cairo_line_to(cr, x + r, y + r);
        cairo_move_to(cr, x + r, y - r);
        cairo_line_to(cr, x - r, y + r);
        cairo_stroke(cr);
        return;
    }
    Ellipse(cr, x, y, r, r);
    SetColor(cr, Hex(0xFFFFFF));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    SetColor(cr, Hex(Pal::Outline, 0.85));
    cairo_stroke(cr);
    Ellipse(cr, x - r * 0.2, y + r * 0.05, r * 0.72, r * 0.72);
    SetColor(cr, iris);
    cairo_fill(cr);
    Ellipse(cr, x - r * 0.3, y + r * 0.05, r * 0.22, r * 0.55);
    SetColor(cr, Hex(0x111111));
    cairo_fill(cr);
    Ellipse(cr, x - r * 0.05, y - r * 0.35, r * 0.22, r * 0.22);
    SetColor(cr, Hex(0xFFFFFF, 0.95));
    cairo_fill(cr);
}

// The electric blue-white rim drawn round a shocked creature. The glow is
// blurred on a margin round the picture, so that it fades out on every side
// instead of stopping at the picture's edge.
void ShockRim(cairo_t* cr, int w, int h, const std::function<void(cairo_t*)>& silhouette)
{
    const int margin = 12;
    cairo_surface_t* glow = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w + 2 * margin, h + 2 * margin);
    cairo_t* g = cairo_create(glow);
    cairo_translate(g, margin, margin);
    cairo_set_source_rgba(g, 0.75, 0.95, 1.0, 1.0);
    silhouette(g);
    cairo_destroy(g);
    BlurSurface(glow, 2);
    cairo_set_source_surface(cr, glow, -margin, -margin);
    cairo_paint(cr);
    cairo_paint(cr);
    cairo_surface_destroy(glow);
}

void Bolt(cairo_t* cr, Rand& r, double x, double y, double len, double angle)
{
    cairo_move_to(cr, x, y);
    double cx = x, cy = y;
    for (int i = 0; i < 5; ++i) {
        double a = angle + r.Range(-0.8, 0.8);
        cx += std::cos(a) * len / 5;
        cy += std::sin(a) * len / 5;
        cairo_line_to(cr, cx, cy);
    }
    SetColor(cr, Hex(0xFFFFFF));
    cairo_set_line_width(cr, 1.4);
    cairo_stroke_preserve(cr);
    SetColor(cr, Hex(0x9FE8FF, 0.6));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
}

namespace {

const Rgb kOutline = Hex(Pal::Outline, 0.85);

// -------------------------------------------------------------- piranhas --

struct FishLook {
    Rgb body, belly, fin;
    Rgb iris;
};

FishLook PiranhaLook(const std::string& kind)
{
    if (kind == "white")
        return {Hex(0xE8EEF2), Hex(0xF4D3D3), Hex(0xC9D3DA), Hex(0xE0202A)};
    if (kind == "red")
        return {Hex(0xD2382C), Hex(0x8C1D16), Hex(0xA82A20), Hex(0xFFE04A)};
    return {Hex(0x8A9A5B), Hex(0xC8102E), Hex(0x6E7D45), Hex(0xFFC21F)};
}

void PiranhaBody(cairo_t* cr, double wag, double chomp)
{
    // Deep round body, blunt head on the left, jutting lower jaw.
    cairo_move_to(cr, 9, 27);
    cairo_curve_to(cr, 10, 14, 22, 8, 33, 9);
    cairo_curve_to(cr, 43, 10, 49, 20, 50, 29 + wag * 0.3);
    cairo_curve_to(cr, 49, 38, 42, 47, 31, 48);
    cairo_curve_to(cr, 20, 48, 12, 43, 8 - chomp * 0.3, 37 + chomp);
    cairo_curve_to(cr, 5, 35 + chomp, 4, 32 + chomp * 0.5, 7, 30);
    cairo_close_path(cr);
}

void PiranhaTail(cairo_t* cr, double wag)
{
    double y = 29 + wag * 0.3;
    cairo_move_to(cr, 47, y - 4);
    cairo_curve_to(cr, 52, y - 8, 55, y - 14 + wag, 59, y - 16 + wag);
    cairo_curve_to(cr, 56, y - 6 + wag, 56, y + 5 + wag, 59, y + 15 + wag);
    cairo_curve_to(cr, 55, y + 13 + wag, 52, y + 8, 47, y + 4);
    cairo_close_path(cr);
}

void PiranhaFins(cairo_t* cr, double flap)
{
    cairo_move_to(cr, 26, 10);
    cairo_curve_to(cr, 30, 2 + flap, 38, 1 + flap, 42, 12);
    cairo_close_path(cr);
    cairo_move_to(cr, 30, 47);
    cairo_curve_to(cr, 33, 55 - flap, 40, 55 - flap, 43, 42);
    cairo_close_path(cr);
}

void DrawPiranha(cairo_t* cr, const FishLook& look, double theta, bool dead, bool shock)
{
    double wag = 4.5 * std::sin(theta), flap = 1.6 * std::sin(theta + 1.3);
    double chomp = dead ? 1 : 2.2 * (1 - std::cos(theta)) * 0.5;
    Rgb body = shock ? Hex(0x1A3C9A) : look.body, belly = shock ? Hex(0x5A86E0) : look.belly;
    Rgb fin = shock ? Hex(0x16307E) : look.fin;
    cairo_new_path(cr);
    PiranhaTail(cr, wag);
    PiranhaFins(cr, flap);
    VerticalGradient(cr, 0, Lighter(fin, 0.1), 60, Darker(fin, 0.3));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.6);
    cairo_new_path(cr);
    PiranhaBody(cr, wag, chomp);
    VerticalGradient(cr, 8, Lighter(body, 0.15), 48, Darker(body, 0.2));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    // Coloured belly below, a pale flank where the letter sits.
    Ellipse(cr, 26, 52, 26, 14);
    SetColor(cr, belly);
    cairo_fill(cr);
    SoftSpot(cr, 26, 26, 15, WithAlpha(Lighter(body, 0.55), 0.85));
    SoftSpot(cr, 20, 14, 10, Hex(0xFFFFFF, 0.35));
    // Scales.
    SetColor(cr, WithAlpha(Darker(body, 0.3), 0.25));
    cairo_set_line_width(cr, 0.8);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            double x = 36 + col * 4.5, y = 16 + row * 7 + (col % 2) * 3.5;
            cairo_arc(cr, x, y, 3, -Pi / 2, Pi / 2);
            cairo_stroke(cr);
        }
    cairo_restore(cr);
    cairo_new_path(cr);
    PiranhaBody(cr, wag, chomp);
    StrokeOutline(cr, 1.6);
    cairo_new_path(cr);
    // Teeth on the jutting jaw.
    SetColor(cr, Hex(0xFFFFFF));
    for (int i = 0; i < 4; ++i) {
        double x = 8.5 + i * 3.2, y = 31 + chomp * 0.6 + i * 0.6;
        cairo_move_to(cr, x - 1.4, y + 1.8);
        cairo_line_to(cr, x + 1.4, y + 1.8);
        cairo_line_to(cr, x, y - 1.6);
        cairo_close_path(cr);
        cairo_fill_preserve(cr);
        SetColor(cr, Hex(Pal::Outline, 0.85));
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
        SetColor(cr, Hex(0xFFFFFF));
    }
    DrawEye(cr, 17, 19, 3.8, shock ? Hex(0xFFFFFF) : look.iris, dead);
    if (!dead) {
        SetColor(cr, Darker(body, 0.65));
        cairo_set_line_width(cr, 1.8);
        cairo_move_to(cr, 12, 13);
        cairo_line_to(cr, 22, 16);
        cairo_stroke(cr);
    }
    if (shock) {
        SetColor(cr, Hex(0xFFFFFF, 0.95));
        cairo_set_line_width(cr, 1.6);
        Ellipse(cr, 18, 24, 8, 8);
        cairo_stroke(cr);
        cairo_move_to(cr, 25, 29);
        cairo_line_to(cr, 52, 29);
        cairo_stroke(cr);
        for (int i = 0; i < 4; ++i) {
            double x = 29 + i * 5.5;
            cairo_move_to(cr, x, 17);
            cairo_curve_to(cr, x + 3, 24, x + 3, 34, x, 41);
            cairo_stroke(cr);
        }
    }
}

void PiranhaCel(cairo_t* cr, const std::string& kind, double t, int deathCel)
{
    FishLook look = PiranhaLook(kind);
    bool dead = false;
    cairo_save(cr);
    if (deathCel >= 0) {
        double turn = std::clamp((deathCel - 0.5) / 6.0, 0.0, 1.0); // never quite edge-on
        double sy = std::cos(Pi * turn);
        cairo_translate(cr, 30, 29);
        cairo_scale(cr, 1, std::abs(sy) < 0.12 ? (sy < 0 ? -0.12 : 0.12) : sy);
        cairo_translate(cr, -30, -29);
        dead = deathCel >= 2;
        if (deathCel <= 1) {
            look.body = Lighter(look.body, 0.6);
            look.belly = Lighter(look.belly, 0.5);
            look.fin = Lighter(look.fin, 0.6);
        }
    }
    double fade = deathCel >= 7 ? 1.0 - (deathCel - 6) * 0.18 : 1.0;
    WithOpacity(cr, fade, [&](cairo_t* c) { DrawPiranha(c, look, 2 * Pi * t, dead, false); });
    cairo_restore(cr);
    if (deathCel >= 2) {
        Rand r(50 + deathCel);
        for (int i = 0; i < deathCel / 2 + 1; ++i) {
            double x = r.Range(10, 50), y = r.Range(4, 16);
            double rad = r.Range(1.2, 2.6);
            Ellipse(cr, x, y, rad, rad);
            SetColor(cr, Hex(0xDDF6FF, 0.35));
            cairo_fill_preserve(cr);
            SetColor(cr, Hex(0xFFFFFF, 0.8));
            cairo_set_line_width(cr, 0.8);
            cairo_stroke(cr);
        }
    }
}

// The flash, rim and sparks drawn a little smaller than a swim cel where they
// would reach past it, so that the tail's glow fades out inside the frame.
void PaintPiranhaShock(Canvas& canvas, const ImageSpec& entry, const std::string& kind)
{
    FishLook look = PiranhaLook(kind);
    PaintCels(canvas, entry, [&](cairo_t* cr, int, int, double, double w, double h) {
        ShockRim(cr, int(w), int(h), [&](cairo_t* g) {
            cairo_translate(g, 30, 30);
            cairo_scale(g, 1.08, 1.08);
            cairo_translate(g, -30, -30);
            PiranhaTail(g, 2);
            PiranhaFins(g, 0);
            PiranhaBody(g, 2, 1);
            cairo_fill(g);
        });
        DrawPiranha(cr, look, 0.5, false, true);
        Rand r(4);
        Bolt(cr, r, 30, 6, 10, -1.4);
        Bolt(cr, r, 50, 48, 10, 0.8);
    });
}

// ------------------------------------------------------------- jellyfish --

void JellyBell(cairo_t* cr, double cx, double cy, double rx, double ry, double theta)
{
    cairo_move_to(cr, cx - rx, cy + ry * 0.25);
    cairo_curve_to(cr, cx - rx, cy - ry * 1.15, cx + rx, cy - ry * 1.15, cx + rx, cy + ry * 0.25);
    // Scalloped rim.
    const int lobes = 7;
    for (int i = lobes; i > 0; --i) {
        double x1 = cx - rx + 2 * rx * (i - 1) / lobes;
        double xm = (cx - rx + 2 * rx * i / lobes + x1) / 2;
        cairo_curve_to(cr, xm + rx / lobes * 0.6, cy + ry * 0.5 + std::sin(theta + i) * 1.5, xm - rx / lobes * 0.6,
                       cy + ry * 0.5 + std::sin(theta + i) * 1.5, x1, cy + ry * 0.25);
    }
    cairo_close_path(cr);
}

void DrawJelly(cairo_t* cr, double cx, double cy, double theta, double squeeze, double alpha, bool eyes)
{
    double rx = 38 * (1 + 0.07 * squeeze), ry = 30 * (1 - 0.06 * squeeze);
    Rgb mag = Hex(0xE86BC4);
    // Tentacles: thin outer ones and two frilly oral arms.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 7; ++i) {
        double x0 = cx - rx * 0.8 + i * rx * 1.6 / 6;
        cairo_move_to(cr, x0, cy + ry * 0.3);
        for (int s = 1; s <= 12; ++s) {
            double y = cy + ry * 0.3 + s * 4.6;
            double x = x0 + 3.2 * std::sin(theta - s * 0.55 + i) * (s / 12.0 + 0.3);
            cairo_line_to(cr, x, y);
        }
        SetColor(cr, WithAlpha(Darker(mag, 0.35), 0.7 * alpha));
        cairo_set_line_width(cr, 2.6);
        cairo_stroke_preserve(cr);
        SetColor(cr, WithAlpha(Lighter(mag, 0.35), 0.9 * alpha));
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
    for (int arm = 0; arm < 2; ++arm) {
        double x0 = cx - 8 + arm * 16;
        cairo_move_to(cr, x0 - 4, cy + ry * 0.3);
        std::vector<std::pair<double, double>> pts;
        for (int s = 0; s <= 10; ++s) {
            double y = cy + ry * 0.3 + s * 4.2;
            double x = x0 + 4 * std::sin(theta - s * 0.5 + arm * 2);
            pts.push_back({x, y});
        }
        for (auto& p : pts)
            cairo_line_to(cr, p.first - 4 + 0.3 * (p.second - cy) * 0.05, p.second);
        for (auto it = pts.rbegin(); it != pts.rend(); ++it)
            cairo_line_to(cr, it->first + 4, it->second);
        cairo_close_path(cr);
        SetColor(cr, WithAlpha(Lighter(mag, 0.25), 0.75 * alpha));
        cairo_fill_preserve(cr);
        SetColor(cr, WithAlpha(Hex(Pal::Outline), 0.6 * alpha));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    // Bell: translucent body with a glowing rim.
    cairo_new_path(cr);
    JellyBell(cr, cx, cy, rx, ry, theta);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 10, cy - 14, 4, cx, cy, rx * 1.1);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.86, 0.96, 0.92 * alpha);
    cairo_pattern_add_color_stop_rgba(p, 0.6, mag.r, mag.g, mag.b, 0.82 * alpha);
    cairo_pattern_add_color_stop_rgba(p, 1, mag.r * 0.8, mag.g * 0.6, mag.b * 0.8, 0.9 * alpha);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    SetColor(cr, Hex(0xFFC8EE, 0.8 * alpha));
    cairo_set_line_width(cr, 3.5);
    cairo_stroke_preserve(cr);
    SetColor(cr, WithAlpha(Hex(Pal::Outline), 0.8 * alpha));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    SoftSpot(cr, cx - 14, cy - 16, 12, Hex(0xFFFFFF, 0.55 * alpha));
    if (eyes) {
        for (int e = -1; e <= 1; e += 2) {
            double x = cx + e * 9, y = cy - 15;
            Ellipse(cr, x, y, 4, 4.6);
            SetColor(cr, Hex(0xFFFFFF, alpha));
            cairo_fill_preserve(cr);
            SetColor(cr, WithAlpha(Hex(Pal::Outline), alpha));
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            Ellipse(cr, x + 0.5, y + 0.8, 2, 2.4);
            SetColor(cr, Hex(0x1A1030, alpha));
            cairo_fill(cr);
            Ellipse(cr, x - 0.6, y - 0.8, 0.8, 0.8);
            SetColor(cr, Hex(0xFFFFFF, alpha));
            cairo_fill(cr);
        }
        // A small smile above the word.
        SetColor(cr, Hex(0x5A1848, alpha));
        cairo_set_line_width(cr, 1.3);
        cairo_arc(cr, cx, cy - 11, 4, 0.3, Pi - 0.3);
        cairo_stroke(cr);
    }
}

// ------------------------------------------------------------------ clams --

void DrawClam(cairo_t* cr, double open, int content, double breath)
{
    Rgb shell = Hex(0xC7A27C), inside = Hex(0xF2D7C9);
    const double hx = 54, hy = 30; // hinge at the back
    // Lower shell, a little narrower than the rows' 50 px spacing.
    cairo_move_to(cr, 10, 30);
    cairo_curve_to(cr, 12, 52, 53, 54, 56, 30);
    cairo_close_path(cr);
    VerticalGradient(cr, 28, Lighter(shell, 0.1), 50, Darker(shell, 0.35));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    SetColor(cr, WithAlpha(Darker(shell, 0.45), 0.6));
    cairo_set_line_width(cr, 1);
    for (int i = 1; i < 6; ++i) {
        double x = 10 + i * 7.7;
        cairo_move_to(cr, x, 32);
        cairo_line_to(cr, 33 + (x - 33) * 0.8, 47);
        cairo_stroke(cr);
    }
    // The dark plate on the shell's front, under the letter the game writes at
    // 20 px in with its baseline 41 px down: wide and tall enough for a W.
    Ellipse(cr, 25.5, 37, 9.5, 7);
    SetColor(cr, Hex(0x2A1E24));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x0A1420, 0.9));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    if (open > 0.05) {
        // Open: the soft inside and what the clam holds.
        Ellipse(cr, 33, 29, 24 * std::min(1.0, open * 1.6), 4 * std::min(1.0, open * 2));
        SetColor(cr, inside);
        cairo_fill(cr);
        if (content != 0 && open > 0.35) {
            Rgb pearl = content == 1 ? Hex(0xF4F1EA) : Hex(0xFFC94A);
            double r = 6.5 * std::min(1.0, (open - 0.35) * 2.5);
            Ellipse(cr, 37, 26, r, r);
            cairo_pattern_t* p = cairo_pattern_create_radial(35, 24, 0.5, 37, 26, r);
            cairo_pattern_add_color_stop_rgb(p, 0, 1, 1, 1);
            cairo_pattern_add_color_stop_rgb(p, 1, pearl.r * 0.8, pearl.g * 0.8, pearl.b * 0.8);
            cairo_set_source(cr, p);
            cairo_fill_preserve(cr);
            cairo_pattern_destroy(p);
            StrokeOutline(cr, 1);
            cairo_new_path(cr);
        }
    }
    // Upper shell, lifting about the hinge as the clam opens.
    cairo_save(cr);
    cairo_translate(cr, hx, hy);
    cairo_rotate(cr, open * 0.42 + breath * 0.04);
    cairo_translate(cr, -hx, -hy);
    const auto upper = [cr] {
        cairo_move_to(cr, 10, 30);
        cairo_curve_to(cr, 10, 13, 54, 11, 56, 30);
        cairo_curve_to(cr, 40, 27, 22, 27, 10, 30);
        cairo_close_path(cr);
    };
    upper();
    VerticalGradient(cr, 10, Lighter(shell, 0.3), 30, Darker(shell, 0.1));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    SetColor(cr, WithAlpha(Darker(shell, 0.4), 0.65));
    cairo_set_line_width(cr, 1.1);
    for (int i = 1; i < 7; ++i) {
        double x = 10 + i * 6.6;
        cairo_move_to(cr, 33 + (x - 33) * 0.25, 15);
        cairo_line_to(cr, x, 28);
        cairo_stroke(cr);
    }
    SoftSpot(cr, 25, 16, 9, Hex(0xFFFFFF, 0.4));
    cairo_restore(cr);
    upper();
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    cairo_restore(cr);
}

// --------------------------------------------------------- background fish --

void DrawSmallFish(cairo_t* cr, Rgb body, double theta)
{
    double wag = 2.2 * std::sin(theta);
    cairo_move_to(cr, 5, 10);
    cairo_line_to(cr, 1, 6 + wag);
    cairo_line_to(cr, 1, 14 + wag);
    cairo_close_path(cr);
    SetColor(cr, Darker(body, 0.15));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1, 0.5);
    cairo_new_path(cr);
    Ellipse(cr, 11, 10, 7.5, 4.6);
    VerticalGradient(cr, 5, Lighter(body, 0.15), 15, Darker(body, 0.2));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1, 0.5);
    cairo_new_path(cr);
    Ellipse(cr, 15, 8.8, 1.4, 1.4);
    SetColor(cr, Hex(0xFFFFFF, 0.85));
    cairo_fill(cr);
    Ellipse(cr, 15.4, 8.8, 0.7, 0.7);
    SetColor(cr, Hex(0x102030));
    cairo_fill(cr);
}

// ------------------------------------------------------------------ diver --

void DrawHelmet(cairo_t* cr, double cx, double cy, bool cracked)
{
    Rgb brass = Hex(Pal::Brass);
    Ellipse(cr, cx, cy, 15, 15);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 6, cy - 7, 2, cx, cy, 16);
    cairo_pattern_add_color_stop_rgb(p, 0, 1, 0.92, 0.62);
    cairo_pattern_add_color_stop_rgb(p, 0.45, brass.r, brass.g, brass.b);
    cairo_pattern_add_color_stop_rgb(p, 1, brass.r * 0.55, brass.g * 0.5, brass.b * 0.4);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    // Glass port facing right, with its rim.
    Ellipse(cr, cx + 5, cy + 1, 8.5, 8.5);
    SetColor(cr, Darker(brass, 0.35));
    cairo_fill(cr);
    Ellipse(cr, cx + 5, cy + 1, 6.5, 6.5);
    cairo_pattern_t* g = cairo_pattern_create_linear(cx, cy - 6, cx + 8, cy + 7);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.55, 0.85, 0.95);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.08, 0.25, 0.38);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Face behind the glass: two friendly eyes.
    for (int e = 0; e < 2; ++e) {
        Ellipse(cr, cx + 4 + e * 4, cy + 1, 1.3, 1.6);
        SetColor(cr, Hex(0x0A1420, 0.9));
        cairo_fill(cr);
    }
    Ellipse(cr, cx + 2.5, cy - 2.5, 2.4, 1.6);
    SetColor(cr, Hex(0xFFFFFF, 0.8));
    cairo_fill(cr);
    if (cracked) {
        SetColor(cr, Hex(0xFFFFFF, 0.9));
        cairo_set_line_width(cr, 0.9);
        cairo_move_to(cr, cx + 1, cy - 4);
        cairo_line_to(cr, cx + 5, cy + 1);
        cairo_line_to(cr, cx + 3, cy + 5);
        cairo_move_to(cr, cx + 5, cy + 1);
        cairo_line_to(cr, cx + 10, cy);
        cairo_stroke(cr);
    }
    Ellipse(cr, cx + 5, cy + 1, 8.5, 8.5);
    StrokeOutline(cr, 1.2);
    cairo_new_path(cr);
    // Bolts and the hose fitting on top.
    SetColor(cr, Darker(brass, 0.5));
    for (double a : {2.3, 3.3, 4.2}) {
        Ellipse(cr, cx + std::cos(a) * 11, cy + std::sin(a) * 11, 1.3, 1.3);
        cairo_fill(cr);
    }
    RoundedRect(cr, cx - 13.5, cy - 17, 6, 6, 1.5);
    SetColor(cr, Darker(brass, 0.2));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.2);
    cairo_new_path(cr);
}

void DrawDiver(cairo_t* cr, double theta, bool limp)
{
    Rgb suit = Hex(0xF2C230), boot = Hex(0x3A3F48), rubber = Hex(0x2B2B2B);
    double bob = limp ? 0 : 1.4 * std::sin(theta);
    cairo_save(cr);
    cairo_translate(cr, 0, bob);
    if (limp) {
        cairo_translate(cr, 25, 45);
        cairo_rotate(cr, 0.35);
        cairo_translate(cr, -25, -45);
    }
    // Back arm (darker), legs with boots.
    double armBack = limp ? 0.45 : 0.25 * std::sin(theta + Pi);
    cairo_save(cr);
    cairo_translate(cr, 18, 38);
    cairo_rotate(cr, 0.5 + armBack);
    RoundedRect(cr, -4, 0, 8, 22, 4);
    SetColor(cr, Darker(suit, 0.25));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.6);
    cairo_restore(cr);
    for (int leg = 0; leg < 2; ++leg) {
        double kick = limp ? (leg ? 0.3 : -0.2) : 0.12 * std::sin(theta + leg * Pi);
        cairo_save(cr);
        cairo_translate(cr, 19 + leg * 9, 60);
        cairo_rotate(cr, kick);
        RoundedRect(cr, -5, 0, 10, 18, 4);
        SetColor(cr, leg ? suit : Darker(suit, 0.15));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.6);
        cairo_new_path(cr);
        RoundedRect(cr, -6, 15, 14, 8, 3);
        VerticalGradient(cr, 15, Lighter(boot, 0.2), 23, Darker(boot, 0.3));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.6);
        cairo_restore(cr);
    }
    // Torso with a weight belt.
    cairo_new_path(cr);
    RoundedRect(cr, 11, 31, 28, 32, 9);
    VerticalGradient(cr, 31, Lighter(suit, 0.2), 63, Darker(suit, 0.2));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    SoftSpot(cr, 19, 39, 8, Hex(0xFFFFFF, 0.35));
    cairo_rectangle(cr, 11.5, 52, 27, 5);
    SetColor(cr, Hex(0x3A2A1A));
    cairo_fill(cr);
    cairo_rectangle(cr, 22, 51.5, 6, 6);
    SetColor(cr, Hex(0xD9B45A));
    cairo_fill(cr);
    // Brass breastplate under the helmet.
    cairo_new_path(cr);
    Ellipse(cr, 25, 32, 14, 5.5);
    VerticalGradient(cr, 27, Hex(0xE5BE6A), 38, Hex(0x8A6226));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.6);
    cairo_new_path(cr);
    // Front arm, waving gently.
    double armFront = limp ? -0.5 : 0.3 * std::sin(theta);
    cairo_save(cr);
    cairo_translate(cr, 33, 37);
    cairo_rotate(cr, -0.55 + armFront);
    RoundedRect(cr, -4, 0, 8, 21, 4);
    SetColor(cr, suit);
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.6);
    cairo_new_path(cr);
    Ellipse(cr, 0, 22, 4.5, 4.5);
    SetColor(cr, Hex(0x5C4A3A));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.4);
    cairo_restore(cr);
    cairo_new_path(cr);
    // Short hose stub from the fitting, so the upper hose joins it; the limp
    // diver's is torn off short.
    cairo_move_to(cr, 14.5, limp ? 5 : 0);
    cairo_curve_to(cr, 14.5, 4, 14.5, 6, 13.5, 9);
    SetColor(cr, rubber);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    DrawHelmet(cr, 24, 18, limp);
    cairo_restore(cr);
    if (!limp) {
        // Exhaust bubbles rising from the helmet valve, one loop per strip.
        for (int i = 0; i < 3; ++i) {
            double f = std::fmod(theta / (2 * Pi) + i / 3.0, 1.0);
            double x = 40 + 2 * std::sin(f * 9 + i), y = 18 - f * 18;
            double r = 1.2 + f * 1.6;
            Ellipse(cr, x, y + bob, r, r);
            SetColor(cr, Hex(0xDDF6FF, 0.3 * (1 - f) + 0.1));
            cairo_fill_preserve(cr);
            SetColor(cr, Hex(0xFFFFFF, 0.85 * (1 - f * 0.7)));
            cairo_set_line_width(cr, 0.8);
            cairo_stroke(cr);
        }
    }
}

void DrawBubble(cairo_t* cr, double cx, double cy, double r)
{
    Ellipse(cr, cx, cy, r, r);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, r * 0.1, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.9, 0.98, 1, 0.15);
    cairo_pattern_add_color_stop_rgba(p, 0.75, 0.75, 0.93, 1, 0.25);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.9, 1, 1, 0.85);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    Ellipse(cr, cx - r * 0.35, cy - r * 0.35, r * 0.28, r * 0.22);
    SetColor(cr, Hex(0xFFFFFF, 0.95));
    cairo_fill(cr);
}

void DrawCloudPuff(cairo_t* cr, double x, double y, double r, Rgb c)
{
    Ellipse(cr, x, y, r, r);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.4, y - r * 0.4, r * 0.1, x, y, r);
    cairo_pattern_add_color_stop_rgb(p, 0, std::min(1.0, c.r + 0.15), std::min(1.0, c.g + 0.15), std::min(1.0, c.b + 0.15));
    cairo_pattern_add_color_stop_rgb(p, 1, c.r * 0.75, c.g * 0.78, c.b * 0.85);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
}

void Star(cairo_t* cr, double x, double y, double r, double rot)
{
    for (int i = 0; i < 10; ++i) {
        double a = rot + i * Pi / 5, rr = i % 2 ? r * 0.45 : r;
        if (i == 0)
            cairo_move_to(cr, x + std::cos(a) * rr, y + std::sin(a) * rr);
        else
            cairo_line_to(cr, x + std::cos(a) * rr, y + std::sin(a) * rr);
    }
    cairo_close_path(cr);
}

} // namespace

void RegisterCreatures(Registry& reg)
{
    struct P {
        const char* prefix;
        const char* kind;
        const char* death;
        const char* shock;
    };
    for (P p : {P{"piranha_basic", "basic", "piranha_basic_death", "piranhashock"},
                P{"piranha_white", "white", "piranha_white_death", ""}, P{"gumbo", "red", "gumbo_die", "gumbo_shock"}}) {
        std::string kind = p.kind;
        reg.Add(std::string(p.prefix) + "_swim", [kind](Canvas& c, const ImageSpec& s) {
            PaintCels(c, s, [&](cairo_t* cr, int, int, double t, double, double) { PiranhaCel(cr, kind, t, -1); });
        });
        reg.Add(p.death, [kind](Canvas& c, const ImageSpec& s) {
            PaintCels(c, s, [&](cairo_t* cr, int k, int, double, double, double) { PiranhaCel(cr, kind, 0.1, k); });
        });
        if (*p.shock)
            reg.Add(p.shock, [kind](Canvas& c, const ImageSpec& s) { PaintPiranhaShock(c, s, kind); });
    }

    reg.Add("bonus_creature_swim", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int, int, double t, double, double) {
            double th = 2 * Pi * t;
            cairo_translate(cr, 0, -1.5 * std::cos(th));
            DrawJelly(cr, 48, 40, th, std::sin(th), 1.0, true);
        });
    });
    reg.Add("bonus_creature_death", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int k, int n, double, double w, double) {
            double f = double(k) / (n - 1);
            if (k <= 1) {
                SoftSpot(cr, w / 2, 58, 55 - k * 8, Hex(0xFFD6F4, 0.8 - k * 0.25));
            }
            cairo_save(cr);
            cairo_translate(cr, 60, 60);
            cairo_scale(cr, 1 + 0.15 * f, 1 - 0.35 * f);
            cairo_translate(cr, -60, -60);
            DrawJelly(cr, 60, 60, k * 0.7, 0, 1 - 0.85 * f, k < 3);
            cairo_restore(cr);
            Rand r(100 + k);
            for (int i = 0; i < 4 + k * 2; ++i) {
                double x = 60 + r.Range(-45, 45) * (0.4 + f), y = 60 - r.Range(0, 50) * (0.3 + f);
                DrawBubble(cr, x, y, r.Range(1.5, 4));
            }
            if (k < 4)
                for (int i = 0; i < 4; ++i) {
                    Star(cr, 60 + std::cos(i * 1.7 + k) * (25 + k * 10), 50 + std::sin(i * 1.7 + k) * (20 + k * 8), 4, k);
                    SetColor(cr, Hex(0xFFF2A8, 0.9 - k * 0.2));
                    cairo_fill(cr);
                }
        });
    });

    reg.Add("clams", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int k, int, double, double, double) {
            int row = k / 10, col = k % 10;
            if (row == 0)
                DrawClam(cr, 0, 0, std::sin(Pi * col / 9.0));
            else
                DrawClam(cr, col / 9.0, row == 1 ? 1 : row == 2 ? 0 : 2, 0);
        });
    });
    auto fish = [&reg](const std::string& name, Rgb body) {
        reg.Add(name, [body](Canvas& c, const ImageSpec& s) {
            PaintCels(c, s, [&](cairo_t* cr, int, int, double t, double, double) { DrawSmallFish(cr, body, 2 * Pi * t); });
        });
    };
    // Muted towards the water so they stay behind the play.
    fish("smallcarn", Mix(Hex(0xF08A3C), Hex(Pal::Teal), 0.3));
    fish("smallgoldfish", Mix(Hex(0xE8C04A), Hex(Pal::Teal), 0.3));

    reg.Add("diver_idle", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int, int, double t, double, double) { DrawDiver(cr, 2 * Pi * t, false); },
                  JoinedTop); // the air hose comes down into the helmet
    });
    // The limp diver spreads his arms wider than the idle one: drawn a little
    // smaller where arms or stars would reach the frame.
    reg.Add("diver_beaten", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int, int, double, double, double) {
            DrawDiver(cr, 0, true);
            for (int i = 0; i < 3; ++i) {
                Star(cr, 14 + i * 11, 4 + (i % 2) * 3, 3.5, i);
                SetColor(cr, Hex(0xFFE45C));
                cairo_fill_preserve(cr);
                StrokeOutline(cr, 0.8);
                cairo_new_path(cr);
            }
        });
    });
    reg.Add("rumblecloud", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int, int, double t, double w, double h) {
            double th = 2 * Pi * t;
            Rgb dust = Hex(0xC9D9E4);
            // Things sticking out of the fight, behind the puffs.
            cairo_save(cr);
            cairo_translate(cr, 112 + 4 * std::sin(th), 30 + 3 * std::cos(th));
            cairo_rotate(cr, 0.4 + 0.3 * std::sin(th));
            cairo_move_to(cr, -6, 10);
            cairo_line_to(cr, 10, -16);
            cairo_line_to(cr, 14, 8);
            cairo_close_path(cr);
            FillOutlined(cr, Hex(0x6B7F95), 2);
            cairo_restore(cr);
            cairo_save(cr);
            cairo_translate(cr, 22 + 3 * std::cos(th), 84 + 3 * std::sin(th));
            cairo_rotate(cr, -0.6 + 0.25 * std::sin(th + 1));
            RoundedRect(cr, -14, -5, 16, 10, 3);
            FillOutlined(cr, Hex(0x3A3F48), 1.6);
            cairo_restore(cr);
            cairo_new_path(cr);
            for (int i = 0; i < 9; ++i) {
                double a = th + i * 2 * Pi / 9;
                double x = w / 2 + std::cos(a) * 32 + 6 * std::sin(a * 2), y = h / 2 + std::sin(a) * 24;
                DrawCloudPuff(cr, x, y, 20 + 3 * std::sin(th * 1 + i), Mix(dust, Hex(0xFFFFFF), (i % 3) * 0.15));
            }
            DrawCloudPuff(cr, w / 2, h / 2, 26, dust);
            for (int i = 0; i < 4; ++i) {
                double a = -th + i * Pi / 2;
                Star(cr, w / 2 + std::cos(a) * 44, h / 2 + std::sin(a) * 36, 6, a);
                SetColor(cr, Hex(0xFFE45C));
                cairo_fill_preserve(cr);
                StrokeOutline(cr, 1.2);
                cairo_new_path(cr);
            }
        });
    });
    reg.Add("upper_hose", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int k, int, double, double w, double h) {
            // The sway is periodic in y so two stacked tiles join.
            cairo_move_to(cr, w / 2, -2);
            for (int y = 0; y <= int(h) + 2; y += 2)
                cairo_line_to(cr, w / 2 + 1.2 * std::sin(2 * Pi * y / h + k * Pi / 7), y);
            cairo_set_line_width(cr, 6.5);
            SetColor(cr, Hex(Pal::Outline, 0.85));
            cairo_stroke_preserve(cr);
            cairo_set_line_width(cr, 4.5);
            SetColor(cr, Hex(0x2B2B2B));
            cairo_stroke_preserve(cr);
            cairo_translate(cr, -1, 0);
            cairo_set_line_width(cr, 1.2);
            SetColor(cr, Hex(0x6A6A6A));
            cairo_stroke(cr);
        }, JoinedLeft | JoinedRight | JoinedTop | JoinedBottom); // a tile: the hose runs on through every side
    });
    reg.Add("empwave", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        double w = s.width, h = s.height;
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, 0);
        cairo_pattern_add_color_stop_rgba(p, 0.08, 0.4, 0.85, 1, 0);
        cairo_pattern_add_color_stop_rgba(p, 0.45, 0.6, 0.95, 1, 0.55);
        cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0.95);
        cairo_pattern_add_color_stop_rgba(p, 0.55, 0.6, 0.95, 1, 0.55);
        cairo_pattern_add_color_stop_rgba(p, 0.92, 0.4, 0.85, 1, 0);
        cairo_set_source(cr, p);
        cairo_paint(cr);
        cairo_pattern_destroy(p);
        Rand r(5);
        for (int b = 0; b < 3; ++b) {
            cairo_move_to(cr, w / 2, 0);
            for (int y = 8; y <= h; y += 8)
                cairo_line_to(cr, w / 2 + r.Range(-12, 12) * (b + 1) / 3, y);
            SetColor(cr, Hex(0xFFFFFF, 0.9 - b * 0.2));
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
        }
    });
    for (int i = 1; i <= 3; ++i)
        reg.Add("bubble" + std::to_string(i), [](Canvas& c, const ImageSpec& s) {
            DrawBubble(c.Cr(), s.width / 2.0, s.height / 2.0, s.width / 2.0 - 1.1);
        });
}

} // namespace Zant::Art

namespace Zant::Art {

void PaintPiranha(cairo_t* cr, const std::string& kind, double phase)
{
    cairo_save(cr);
    PiranhaCel(cr, kind, phase, -1);
    cairo_restore(cr);
}

void PaintJelly(cairo_t* cr, double phase)
{
    cairo_save(cr);
    DrawJelly(cr, 48, 40, 2 * Pi * phase, std::sin(2 * Pi * phase), 1.0, true);
    cairo_restore(cr);
}

void PaintDiver(cairo_t* cr, double phase)
{
    cairo_save(cr);
    DrawDiver(cr, 2 * Pi * phase, false);
    cairo_restore(cr);
}

void PaintBubble(cairo_t* cr, double x, double y, double r) { DrawBubble(cr, x, y, r); }

} // namespace Zant::Art
