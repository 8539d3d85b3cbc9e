// Sharks: the plain, red-art and black-art sharks, the toxic and the ghost
// shark, their glows, deaths and shock flashes. One drawing serves every
// kind; a swim cel is the same pose at another phase of one sine, a standing
// sway that reads the same played forwards or (mirrored) backwards.
#include <cmath>
#include <vector>

#include "tools/art/CreatureParts.h"
#include "tools/art/Painters.h"

namespace Zant::Art {

namespace {

const Rgb kOutline = Hex(Pal::Outline, 0.85);

// Three bands from the top: the back, the flank the word is drawn on (mid
// tone, so black letters and the light typed letters both read), the belly.
struct SharkLook {
    Rgb back, flank, belly, fin;
    Rgb iris = Hex(0xFFD21F);
    bool scar = false;  // the black-art shark's pale scar
    bool spots = false; // the toxic shark's acid blotches
};

SharkLook LookOf(const std::string& kind)
{
    if (kind == "red")
        return {Hex(0x8E3038), Hex(0xB04A52), Hex(0xF2DAD5), Hex(0x7A2630)};
    if (kind == "black")
        return {Hex(0x2F3640), Hex(0x66707E), Hex(0xCDD3DB), Hex(0x262C35), Hex(0xFFD21F), true};
    if (kind == "toxic")
        return {Hex(0x2E7A16), Hex(0x4C9E26), Hex(0xDDF9B8), Hex(0x2A6A14), Hex(0xFFE23A), false, true};
    if (kind == "ghost")
        return {Hex(0x9FDDF0), Hex(0xBFEFFF), Hex(0xE8FBFF), Hex(0x8FD2EA), Hex(0xE8FFFF)};
    return {Hex(0x5D7189), Hex(0x7489A0), Hex(0xD8E2EA), Hex(0x536579)};
}

enum class Mode { Normal, Silhouette, Shock, Ghost };

// The body as a centre line and a half thickness sampled nose to tail.
struct Body {
    double x0 = 6, xt = 136; // nose, tail joint
    std::vector<double> x, c, t;

    double At(const std::vector<double>& v, double u) const
    {
        double f = std::clamp(u, 0.0, 1.0) * (x.size() - 1);
        size_t i = size_t(std::min(f, double(x.size() - 2)));
        double k = f - i;
        return v[i] * (1 - k) + v[i + 1] * k;
    }
    double X(double u) const { return At(x, u); }
    double C(double u) const { return At(c, u); }
    double T(double u) const { return At(t, u); }
    double Top(double u) const { return C(u) - T(u); }
    double Bottom(double u) const { return C(u) + 0.86 * T(u); }
    // Where the flank meets the light belly: low under the word, rising to
    // the jaw at the head, with a ragged edge.
    double BellyLine(double u) const { return C(u) + T(u) * (0.2 + 0.26 * u) + 1.1 * std::sin(u * 23); }
};

Body MakeBody(double cy, double theta)
{
    Body b;
    const int n = 64;
    for (int i = 0; i <= n; ++i) {
        double u = double(i) / n;
        b.x.push_back(b.x0 + u * (b.xt - b.x0));
        b.c.push_back(cy + 3.0 * u * u * std::sin(theta) - 3.0 * std::pow(1 - u, 3));
        b.t.push_back(3.8 + 21.5 * std::pow(std::sin(Pi * std::pow(u, 0.58)), 0.8) * (1 - 0.3 * u));
    }
    return b;
}

void BodyPath(cairo_t* cr, const Body& b)
{
    const size_t n = b.x.size();
    // A pointed, slightly raised snout.
    cairo_move_to(cr, b.x[0] - 4, b.c[0] + 1.5);
    for (size_t i = 1; i < n; ++i)
        cairo_line_to(cr, b.x[i], b.c[i] - b.t[i]);
    for (size_t i = n; i-- > 1;)
        cairo_line_to(cr, b.x[i], b.c[i] + 0.86 * b.t[i]);
    cairo_close_path(cr);
}

// The tail seen from the side sweeps across the view: its lobes foreshorten
// and tip a little with the sway.
void TailPath(cairo_t* cr, const Body& b, double theta)
{
    const double x = b.xt, y = b.c.back();
    const double sx = 0.78 + 0.22 * std::cos(theta), tilt = 3.0 * std::sin(theta);
    cairo_move_to(cr, x - 5, y - 4);
    cairo_curve_to(cr, x + 6 * sx, y - 10, x + 20 * sx, y - 24 + tilt, x + 31 * sx, y - 33 + tilt);
    cairo_curve_to(cr, x + 27 * sx, y - 20 + tilt, x + 20 * sx, y - 7, x + 15 * sx, y);
    cairo_curve_to(cr, x + 19 * sx, y + 7, x + 23 * sx, y + 13 + tilt, x + 24 * sx, y + 20 + tilt);
    cairo_curve_to(cr, x + 13 * sx, y + 14 + tilt * 0.5, x + 5 * sx, y + 8, x - 5, y + 4);
    cairo_close_path(cr);
}

void DorsalPath(cairo_t* cr, const Body& b, double theta)
{
    // Tall and swept back: the shark's mark.
    const double xa = b.X(0.3), ya = b.Top(0.3) + 3, xb = b.X(0.53), yb = b.Top(0.53) + 3;
    const double ax = b.X(0.52) + 2 + 1.2 * std::sin(theta), ay = 0.8;
    cairo_move_to(cr, xa, ya);
    cairo_curve_to(cr, xa + 10, ya - 8, ax - 12, ay + 4, ax, ay);
    cairo_curve_to(cr, ax - 5, ay + 6, xb - 3, yb - 9, xb, yb);
    cairo_close_path(cr);
}

void SmallFinsPath(cairo_t* cr, const Body& b)
{
    // Second dorsal, pelvic and anal fins.
    double x = b.X(0.83), y = b.Top(0.83) + 1.5;
    cairo_move_to(cr, x - 5, y);
    cairo_line_to(cr, x + 4, y - 8);
    cairo_line_to(cr, x + 6, y + 1);
    cairo_close_path(cr);
    x = b.X(0.66), y = b.Bottom(0.66) - 1.5;
    cairo_move_to(cr, x - 7, y);
    cairo_line_to(cr, x + 5, y + 8);
    cairo_line_to(cr, x + 5, y - 1);
    cairo_close_path(cr);
    x = b.X(0.82), y = b.Bottom(0.82) - 1;
    cairo_move_to(cr, x - 5, y);
    cairo_line_to(cr, x + 4, y + 7);
    cairo_line_to(cr, x + 5, y - 1);
    cairo_close_path(cr);
}

void PectoralPath(cairo_t* cr, const Body& b, double theta, double dx, double dy, double size)
{
    const double xa = b.X(0.25) + dx, ya = b.C(0.25) + b.T(0.25) * 0.45 + dy;
    const double xb = b.X(0.37) + dx, yb = b.C(0.37) + b.T(0.37) * 0.55 + dy;
    const double swing = 3.0 * std::sin(theta);
    const double tx = b.X(0.47) + swing * 0.6 + dx, ty = b.Bottom(0.3) + 13 * size - swing * 0.4 + dy;
    cairo_move_to(cr, xa, ya);
    cairo_curve_to(cr, xa + 2, ya + 12 * size, tx - 10, ty - 1, tx, ty);
    cairo_curve_to(cr, tx - 5, ty - 8, xb - 1, yb + 3, xb, yb);
    cairo_close_path(cr);
}

void Silhouette(cairo_t* cr, const Body& b, double theta)
{
    TailPath(cr, b, theta);
    DorsalPath(cr, b, theta);
    SmallFinsPath(cr, b);
    PectoralPath(cr, b, theta, 0, 0, 1);
    BodyPath(cr, b);
}

void FinFill(cairo_t* cr, Rgb fin, double y0, double y1, double alpha)
{
    VerticalGradient(cr, y0, WithAlpha(Lighter(fin, 0.18), alpha), y1, WithAlpha(Darker(fin, 0.3), alpha));
}

// The skeleton: skull, spine and ribs (shock flash, and faintly inside the ghost).
void Skeleton(cairo_t* cr, const Body& b, Rgb colour, double width)
{
    SetColor(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    Ellipse(cr, b.X(0.11), b.C(0.11) - 1, 11, 9);
    cairo_stroke(cr);
    cairo_move_to(cr, b.X(0.2), b.C(0.2) - 1);
    for (int i = 1; i <= 24; ++i) {
        double u = 0.2 + 0.8 * i / 24;
        cairo_line_to(cr, b.X(u), b.C(u) - 1);
    }
    cairo_stroke(cr);
    cairo_set_line_width(cr, width * 0.75);
    for (int i = 0; i < 9; ++i) {
        double u = 0.27 + i * 0.05, x = b.X(u), c = b.C(u) - 1, t = b.T(u) * 0.66;
        cairo_move_to(cr, x - 2, c - t);
        cairo_curve_to(cr, x + 3, c - t * 0.4, x + 3, c + t * 0.4, x - 2, c + t * 0.85);
        cairo_stroke(cr);
    }
}

void DrawShark(cairo_t* cr, SharkLook look, double cy, double theta, bool dead, Mode mode)
{
    Body b = MakeBody(cy, theta);
    if (mode == Mode::Silhouette) {
        cairo_new_path(cr);
        Silhouette(cr, b, theta);
        cairo_fill(cr);
        return;
    }
    const bool shock = mode == Mode::Shock, ghost = mode == Mode::Ghost;
    if (shock)
        look = {Hex(0x1A3C9A), Hex(0x2F56C0), Hex(0x7AA2F0), Hex(0x16307E), Hex(0xFFFFFF)};
    // A ghost is see-through: thin fills, a bright rim instead of the dark edge.
    const double fill = ghost ? 0.42 : 1.0;
    auto edge = [&](double width) {
        if (ghost) {
            SetColor(cr, Hex(0xE8FFFF, 0.85));
            cairo_set_line_width(cr, width * 0.8);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_stroke_preserve(cr);
            StrokeOutline(cr, 0.8, 0.35);
        } else {
            StrokeOutline(cr, width);
        }
    };

    // The far pectoral fin peeks out behind the body.
    cairo_new_path(cr);
    PectoralPath(cr, b, theta + 0.8, 7, -3, 0.8);
    FinFill(cr, Darker(look.fin, 0.25), cy, cy + 36, fill);
    cairo_fill_preserve(cr);
    edge(1.6);
    cairo_new_path(cr);
    // Fins behind the body.
    TailPath(cr, b, theta);
    DorsalPath(cr, b, theta);
    SmallFinsPath(cr, b);
    FinFill(cr, look.fin, 0, 76, fill);
    cairo_fill_preserve(cr);
    edge(2);
    cairo_new_path(cr);
    // A lighter leading edge on the tail and dorsal fin.
    cairo_save(cr);
    DorsalPath(cr, b, theta);
    TailPath(cr, b, theta);
    cairo_clip(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, b.X(0.3), b.Top(0.3) + 3);
    cairo_curve_to(cr, b.X(0.3) + 10, b.Top(0.3) - 5, b.X(0.52) - 10, 4.5, b.X(0.52) + 2, 0.8);
    SetColor(cr, WithAlpha(Lighter(look.fin, 0.45), 0.6 * fill));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_restore(cr);

    // Body: the three bands, shaded, clipped to the outline.
    cairo_new_path(cr);
    BodyPath(cr, b);
    VerticalGradient3(cr, cy - 24, WithAlpha(Lighter(look.back, 0.22), fill), cy - 8, WithAlpha(look.back, fill),
                      cy + 6, WithAlpha(look.flank, fill));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_new_path(cr);
    // Core shadow where the flank turns under, just above the belly.
    const int n = 48;
    cairo_move_to(cr, b.X(0) - 6, b.BellyLine(0) - 3);
    for (int i = 0; i <= n; ++i)
        cairo_line_to(cr, b.X(double(i) / n), b.BellyLine(double(i) / n) - 2.5);
    SetColor(cr, WithAlpha(Darker(look.flank, 0.35), 0.45 * fill));
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    // The light belly.
    cairo_move_to(cr, b.X(0) - 6, b.BellyLine(0));
    for (int i = 0; i <= n; ++i)
        cairo_line_to(cr, b.X(double(i) / n), b.BellyLine(double(i) / n));
    cairo_line_to(cr, b.xt + 6, 80);
    cairo_line_to(cr, 0, 80);
    cairo_close_path(cr);
    VerticalGradient(cr, cy + 2, WithAlpha(Lighter(look.belly, 0.25), fill), cy + 24,
                     WithAlpha(Darker(look.belly, 0.2), fill));
    cairo_fill(cr);
    if (look.spots && !shock) {
        Rand r(77);
        for (int i = 0; i < 11; ++i) {
            double u = r.Range(0.18, 0.92), x = b.X(u), y = b.Top(u) + r.Range(2.5, 8);
            Ellipse(cr, x, y, r.Range(1.8, 4), r.Range(1.4, 2.8));
            SetColor(cr, i % 3 ? Hex(0x7CFC3A, 0.95) : Darker(look.back, 0.35));
            cairo_fill(cr);
        }
    }
    // Light from the top left: a sheen along the back and a soft spot on the head.
    cairo_move_to(cr, b.X(0.04), b.Top(0.04) + 3.5);
    for (int i = 2; i <= 20; ++i) {
        double u = i / 24.0;
        cairo_line_to(cr, b.X(u), b.Top(u) + 3.5);
    }
    SetColor(cr, Hex(0xFFFFFF, (ghost ? 0.35 : 0.22)));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    SoftSpot(cr, b.X(0.2), b.Top(0.2) + 7, 16, Hex(0xFFFFFF, shock ? 0.3 : 0.22));
    // Gill slits.
    SetColor(cr, WithAlpha(Darker(look.flank, 0.55), ghost ? 0.4 : 0.9));
    cairo_set_line_width(cr, 1.3);
    for (int g = 0; g < 4; ++g) {
        double u = 0.17 + g * 0.027, x = b.X(u), c = b.C(u), t = b.T(u);
        cairo_move_to(cr, x, c - t * 0.42);
        cairo_curve_to(cr, x + 2.2, c - t * 0.15, x + 2.2, c + t * 0.2, x + 0.5, c + t * 0.42);
        cairo_stroke(cr);
    }
    if (ghost) {
        Skeleton(cr, b, Hex(0xFFFFFF, 0.3), 1.6);
        // The game writes the shark's word across the middle of the cel in
        // black, typed letters in yellow: on the pale glassy body yellow would
        // vanish. A mid-tone slate core behind the word (luminance about 0.16)
        // gives both about 4.5:1, and hides the ribs under the letters.
        cairo_save(cr);
        cairo_translate(cr, 85, cy - 1);
        cairo_scale(cr, 1.0, 0.24);
        cairo_pattern_t* core = cairo_pattern_create_radial(0, 0, 0, 0, 0, 56);
        cairo_pattern_add_color_stop_rgba(core, 0.0, 0x4A / 255.0, 0x74 / 255.0, 0x90 / 255.0, 0.9);
        cairo_pattern_add_color_stop_rgba(core, 0.72, 0x4A / 255.0, 0x74 / 255.0, 0x90 / 255.0, 0.88);
        cairo_pattern_add_color_stop_rgba(core, 1.0, 0x4A / 255.0, 0x74 / 255.0, 0x90 / 255.0, 0.0);
        cairo_set_source(cr, core);
        cairo_arc(cr, 0, 0, 56, 0, 2 * Pi);
        cairo_fill(cr);
        cairo_pattern_destroy(core);
        cairo_restore(cr);
    }
    cairo_restore(cr);
    cairo_new_path(cr);
    BodyPath(cr, b);
    edge(2);
    cairo_new_path(cr);

    // The near pectoral fin over the body.
    PectoralPath(cr, b, theta, 0, 0, 1);
    FinFill(cr, look.fin, cy, cy + 34, fill);
    cairo_fill_preserve(cr);
    edge(2);
    cairo_new_path(cr);

    // Underslung mouth with teeth; the jaw works a little with the swim.
    const double mx0 = b.X(0.03), my0 = b.C(0.03) + b.T(0.03) * 0.35 + 1.5;
    const double mx1 = b.X(0.16), my1 = b.C(0.16) + b.T(0.16) * 0.42;
    const double open = dead ? 0.4 : 1.0 + 1.1 * (1 - std::cos(theta)) * 0.5;
    cairo_move_to(cr, mx0, my0);
    cairo_curve_to(cr, mx0 + 7, my0 + 3 + open, mx1 - 8, my1 + 1 + open, mx1, my1);
    cairo_curve_to(cr, mx1 - 8, my1 - 1, mx0 + 7, my0 - 0.5, mx0, my0);
    SetColor(cr, ghost ? Hex(0x2A5A70, 0.6) : Hex(0x3A0E14));
    cairo_fill_preserve(cr);
    SetColor(cr, WithAlpha(kOutline, ghost ? 0.4 : 0.85));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    SetColor(cr, Hex(0xFFFFFF, ghost ? 0.7 : 1.0));
    for (int k = 0; k < 6; ++k) {
        double f = (k + 0.5) / 6, x = mx0 + (mx1 - mx0) * f, y = my0 + (my1 - my0) * f + 0.8;
        cairo_move_to(cr, x - 1.4, y - 0.4);
        cairo_line_to(cr, x + 1.4, y - 0.4);
        cairo_line_to(cr, x, y + 2.4);
        cairo_close_path(cr);
        cairo_fill(cr);
    }

    // Eye with an angry brow.
    const double ex = b.X(0.1), ey = b.C(0.1) - b.T(0.1) * 0.36;
    if (ghost) {
        // Hollow glowing eye.
        SoftSpot(cr, ex, ey, 7, Hex(0xE8FFFF, 0.9));
        Ellipse(cr, ex, ey, 2.6, 2.6);
        SetColor(cr, Hex(0x16445A, 0.9));
        cairo_fill(cr);
    } else {
        DrawEye(cr, ex, ey, 4.4, look.iris, dead);
    }
    if (!dead) {
        SetColor(cr, ghost ? Hex(0x2A5A70, 0.6) : Darker(look.back, 0.6));
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, ex - 6, ey - 6.5);
        cairo_line_to(cr, ex + 5, ey - 3.5);
        cairo_stroke(cr);
    }
    if (look.scar && !shock) {
        SetColor(cr, Hex(0xE9E2D6, 0.95));
        cairo_set_line_width(cr, 1.6);
        const double sx = b.X(0.3), sy = b.Top(0.3) + 3;
        cairo_move_to(cr, sx, sy);
        cairo_line_to(cr, sx + 9, sy + 14);
        cairo_stroke(cr);
        for (int k = 0; k < 3; ++k) {
            double f = 0.25 + 0.25 * k, x = sx + 9 * f, y = sy + 14 * f;
            cairo_move_to(cr, x - 2.5, y + 1.2);
            cairo_line_to(cr, x + 2.5, y - 1.2);
            cairo_stroke(cr);
        }
    }
    if (shock)
        Skeleton(cr, b, Hex(0xFFFFFF, 0.95), 2.2);
}

// Bubbles leaving a dying shark.
void DeathBubbles(cairo_t* cr, int deathCel)
{
    Rand r(31 + deathCel);
    for (int i = 0; i < 3 + deathCel; ++i) {
        double x = r.Range(20, 150), y = r.Range(6, 30) - deathCel * 2, rad = r.Range(1.5, 3.5);
        Ellipse(cr, x, y, rad, rad);
        SetColor(cr, Hex(0xDDF6FF, 0.35));
        cairo_fill_preserve(cr);
        SetColor(cr, Hex(0xFFFFFF, 0.8));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

// A swimming (deathCel < 0) or dying shark in one cel.
void SharkCel(cairo_t* cr, const std::string& kind, double t, int deathCel, double w, double h, bool silhouette)
{
    SharkLook look = LookOf(kind);
    const double cy = h / 2 + 1;
    double theta = 2 * Pi * t;
    bool dead = false;
    cairo_save(cr);
    if (deathCel >= 0) {
        // A flash, then a turn belly-up about the body's middle, drifting up.
        double turn = std::min(1.0, deathCel / 5.0);
        double sy = std::cos(Pi * turn);
        cairo_translate(cr, w / 2, cy - deathCel * 0.6);
        cairo_rotate(cr, -0.12 * std::sin(Pi * turn));
        cairo_scale(cr, 1, std::abs(sy) < 0.12 ? (sy < 0 ? -0.12 : 0.12) : sy);
        cairo_translate(cr, -w / 2, -cy);
        dead = deathCel >= 2;
        theta = 0.4 * deathCel;
        if (deathCel == 0) {
            look.back = Lighter(look.back, 0.6);
            look.flank = Lighter(look.flank, 0.6);
            look.fin = Lighter(look.fin, 0.6);
            look.belly = Lighter(look.belly, 0.5);
        } else {
            const Rgb pale = Hex(0xB0B8C0);
            look.back = Mix(look.back, pale, 0.1 * deathCel);
            look.flank = Mix(look.flank, pale, 0.1 * deathCel);
        }
    }
    const Mode mode = silhouette ? Mode::Silhouette : kind == "ghost" ? Mode::Ghost : Mode::Normal;
    DrawShark(cr, look, cy, theta, dead, mode);
    cairo_restore(cr);
    if (deathCel >= 1 && !silhouette)
        DeathBubbles(cr, deathCel);
}

void PaintSharkStrip(Canvas& canvas, const ImageSpec& entry, const std::string& kind, bool death)
{
    PaintCels(canvas, entry, [&](cairo_t* cr, int k, int, double t, double w, double h) {
        SharkCel(cr, kind, t, death ? k : -1, w, h, false);
    });
}

// The swim cel's shark fills its frame, so the flash with its rim and sparks
// is drawn a little smaller, its glow fading out inside the frame.
void PaintSharkShock(Canvas& canvas, const ImageSpec& entry, const std::string& kind)
{
    PaintCels(canvas, entry, [&](cairo_t* cr, int, int, double, double w, double h) {
        const double cy = h / 2 + 1, theta = 0.6;
        ShockRim(cr, int(w), int(h), [&](cairo_t* g) {
            cairo_save(g);
            cairo_translate(g, 85, cy);
            cairo_scale(g, 1.03, 1.03);
            cairo_translate(g, -85, -cy);
            DrawShark(g, LookOf(kind), cy, theta, false, Mode::Silhouette);
            cairo_restore(g);
        });
        DrawShark(cr, LookOf(kind), cy, theta, false, Mode::Shock);
        Rand r(9);
        Bolt(cr, r, 60, 16, 14, -2.2);
        Bolt(cr, r, 118, 60, 14, 0.9);
        Bolt(cr, r, 24, 58, 12, 2.4);
        Bolt(cr, r, 146, 22, 12, -0.8);
    });
}

// Additive glow, light on black: a halo round the body that leaves the body
// itself mostly clear, so the shark under it keeps its colours.
void PaintGlowStrip(Canvas& canvas, const ImageSpec& entry, const std::string& kind, bool death)
{
    const Rgb glow = kind == "toxic" ? Hex(0xB6FF5C) : Hex(0xBFEFFF);
    const int cw = entry.CelWidth(), ch = entry.CelHeight();
    cairo_t* cr = canvas.Cr();
    for (int k = 0; k < entry.CelCount(); ++k) {
        const double t = double(k) / entry.CelCount();
        const double pulse = death ? std::max(0.12, 1.0 - k / 5.5) : 0.8 + 0.2 * std::sin(2 * Pi * t);
        auto silhouette = [&](cairo_surface_t* surface, Rgb colour) {
            cairo_t* g = cairo_create(surface);
            cairo_translate(g, 10, 10);
            SetColor(g, colour);
            SharkCel(g, kind, t, death ? k : -1, cw - 20, ch - 20, true);
            cairo_destroy(g);
        };
        cairo_surface_t* halo = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cw, ch);
        silhouette(halo, WithAlpha(glow, pulse));
        BlurSurface(halo, 5);
        // Take most of the light back off the body.
        cairo_surface_t* body = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cw, ch);
        silhouette(body, Hex(0xFFFFFF, 0.72));
        BlurSurface(body, 1);
        cairo_t* h = cairo_create(halo);
        cairo_set_operator(h, CAIRO_OPERATOR_DEST_OUT);
        cairo_set_source_surface(h, body, 0, 0);
        cairo_paint(h);
        cairo_destroy(h);
        cairo_surface_destroy(body);
        cairo_set_source_surface(cr, halo, k * cw, 0);
        cairo_paint(cr);
        cairo_surface_destroy(halo);
    }
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OVER);
    SetColor(cr, Hex(0));
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

} // namespace

void RegisterSharks(Registry& reg)
{
    for (std::string kind : {"basic", "red", "black"}) {
        reg.Add("shark_" + kind + "_swim", [kind](Canvas& c, const ImageSpec& s) { PaintSharkStrip(c, s, kind, false); });
        reg.Add("shark_" + kind + "_death", [kind](Canvas& c, const ImageSpec& s) { PaintSharkStrip(c, s, kind, true); });
    }
    reg.Add("sharkshock", [](Canvas& c, const ImageSpec& s) { PaintSharkShock(c, s, "basic"); });
    reg.Add("shark_red_shock", [](Canvas& c, const ImageSpec& s) { PaintSharkShock(c, s, "red"); });
    reg.Add("shark_black_shock", [](Canvas& c, const ImageSpec& s) { PaintSharkShock(c, s, "black"); });
    reg.Add("toxic_basic_shock", [](Canvas& c, const ImageSpec& s) { PaintSharkShock(c, s, "toxic"); });
    for (std::string kind : {"toxic", "ghost"}) {
        const std::string prefix = kind == "toxic" ? "toxic_basic" : "shark_ghost";
        const std::string glow = kind == "toxic" ? "toxic_glow" : "shark_ghost_glow";
        reg.Add(prefix + "_swim", [kind](Canvas& c, const ImageSpec& s) { PaintSharkStrip(c, s, kind, false); });
        reg.Add(prefix + "_death", [kind](Canvas& c, const ImageSpec& s) { PaintSharkStrip(c, s, kind, true); });
        reg.Add(glow + "_swim", [kind](Canvas& c, const ImageSpec& s) { PaintGlowStrip(c, s, kind, false); });
        reg.Add(glow + "_death", [kind](Canvas& c, const ImageSpec& s) { PaintGlowStrip(c, s, kind, true); });
    }
}

void PaintShark(cairo_t* cr, const std::string& kind, double phase)
{
    cairo_save(cr);
    SharkCel(cr, kind, phase, -1, 170, 76, false);
    cairo_restore(cr);
}

} // namespace Zant::Art
