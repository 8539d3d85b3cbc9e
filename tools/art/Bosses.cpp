// The four bosses, their moving parts and the shots they fire.
#include <cmath>

#include "tools/art/Painters.h"

namespace Zant::Art {

namespace {

void Rivet(cairo_t* cr, double x, double y, double r = 1.6)
{
    Ellipse(cr, x, y, r, r);
    SetColor(cr, Hex(0xD8DEE4));
    cairo_fill(cr);
    Ellipse(cr, x + 0.4, y + 0.4, r * 0.6, r * 0.6);
    SetColor(cr, Hex(0x2A3038, 0.7));
    cairo_fill(cr);
}

void Porthole(cairo_t* cr, double x, double y, double r, Rgb glass)
{
    Ellipse(cr, x, y, r + 2, r + 2);
    FillOutlined(cr, Hex(0xB8893B), 1.4);
    cairo_new_path(cr);
    Ellipse(cr, x, y, r, r);
    SetColor(cr, glass);
    cairo_fill(cr);
    Ellipse(cr, x - r * 0.35, y - r * 0.35, r * 0.35, r * 0.25);
    SetColor(cr, Hex(0xFFFFFF, 0.8));
    cairo_fill(cr);
}

// Submarine facing left: hull 25-218 x 53-153, tower 80-155 x 1-46.
void DrawTorpedoBoss(cairo_t* cr, bool dying)
{
    Rgb steel = Hex(0x7D8A96), red = Hex(0xD64545);
    if (dying) {
        steel = Mix(steel, Hex(0x5A4A40), 0.4);
        red = Darker(red, 0.35);
    }
    // Periscope, its head looking ahead, whole inside the frame.
    cairo_rectangle(cr, 113, 3, 3, 8);
    cairo_rectangle(cr, 107, 2.5, 9, 3);
    FillOutlined(cr, Darker(steel, 0.3), 1.2);
    cairo_new_path(cr);
    // Tower.
    cairo_move_to(cr, 86, 54);
    cairo_line_to(cr, 92, 12);
    cairo_curve_to(cr, 100, 7, 140, 7, 148, 12);
    cairo_line_to(cr, 156, 54);
    cairo_close_path(cr);
    VerticalGradient(cr, 8, Lighter(steel, 0.2), 54, Darker(steel, 0.25));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    Porthole(cr, 104, 26, 5, Hex(0xFFD24A));
    Porthole(cr, 128, 26, 5, Hex(0xFFD24A));
    // Hull.
    cairo_move_to(cr, 22, 104);
    cairo_curve_to(cr, 22, 66, 52, 52, 90, 52);
    cairo_line_to(cr, 200, 56);
    cairo_curve_to(cr, 222, 60, 232, 80, 232, 100);
    cairo_curve_to(cr, 232, 126, 222, 146, 200, 152);
    cairo_line_to(cr, 90, 156);
    cairo_curve_to(cr, 52, 156, 22, 142, 22, 104);
    cairo_close_path(cr);
    VerticalGradient3(cr, 52, Lighter(steel, 0.35), 92, steel, 156, Darker(steel, 0.4));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    // Warning stripes and plates.
    for (int i = 0; i < 7; ++i) {
        double x = 40 + i * 12;
        cairo_move_to(cr, x, 132);
        cairo_line_to(cr, x + 8, 132);
        cairo_line_to(cr, x + 16, 150);
        cairo_line_to(cr, x + 8, 150);
        cairo_close_path(cr);
        SetColor(cr, i % 2 ? Hex(0xF2D24A) : red);
        cairo_fill(cr);
    }
    cairo_rectangle(cr, 20, 86, 220, 10);
    SetColor(cr, red);
    cairo_fill(cr);
    SetColor(cr, Hex(0x2A3038, 0.5));
    cairo_set_line_width(cr, 1);
    for (int x = 60; x < 230; x += 34) {
        cairo_move_to(cr, x, 52);
        cairo_line_to(cr, x, 158);
        cairo_stroke(cr);
    }
    // Light from the upper left: a sheen along the hull's top, a soft spot
    // on the bow, and the keel in shadow.
    cairo_move_to(cr, 44, 70);
    cairo_curve_to(cr, 70, 60, 140, 59, 210, 64);
    SetColor(cr, Hex(0xFFFFFF, 0.35));
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    SoftSpot(cr, 70, 70, 30, Hex(0xFFFFFF, 0.3));
    cairo_move_to(cr, 30, 140);
    cairo_curve_to(cr, 80, 158, 160, 158, 232, 130);
    SetColor(cr, Hex(0x0A1420, 0.3));
    cairo_set_line_width(cr, 10);
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, 22, 104);
    cairo_curve_to(cr, 22, 66, 52, 52, 90, 52);
    cairo_line_to(cr, 200, 56);
    cairo_curve_to(cr, 222, 60, 232, 80, 232, 100);
    cairo_curve_to(cr, 232, 126, 222, 146, 200, 152);
    cairo_line_to(cr, 90, 156);
    cairo_curve_to(cr, 52, 156, 22, 142, 22, 104);
    cairo_close_path(cr);
    StrokeOutline(cr, 2.5);
    cairo_new_path(cr);
    for (int x = 64; x < 220; x += 17) {
        Rivet(cr, x, 60);
        Rivet(cr, x, 148);
    }
    // Torpedo tubes facing the diver at the three firing rows.
    for (int row : {65, 101, 135}) {
        Ellipse(cr, 34, row + 12, 7, 6);
        FillOutlined(cr, Hex(0x20262C), 1.6);
        cairo_new_path(cr);
    }
    // Angry eye-like searchlight at the nose.
    Ellipse(cr, 50, 80, 9, 7);
    FillOutlined(cr, Hex(0xFFF2A0), 1.6);
    cairo_new_path(cr);
    Ellipse(cr, 48, 80, 4, 4);
    SetColor(cr, Hex(0xC01818));
    cairo_fill(cr);
    cairo_move_to(cr, 38, 70);
    cairo_line_to(cr, 60, 74);
    SetColor(cr, Hex(0x1A1E24));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    // Stern fins.
    cairo_move_to(cr, 212, 62);
    cairo_line_to(cr, 236, 40);
    cairo_line_to(cr, 240, 66);
    cairo_close_path(cr);
    cairo_move_to(cr, 212, 146);
    cairo_line_to(cr, 236, 156);
    cairo_line_to(cr, 240, 136);
    cairo_close_path(cr);
    FillOutlined(cr, Darker(steel, 0.2), 2);
    cairo_new_path(cr);
    if (dying) {
        Rand r(3);
        for (int i = 0; i < 6; ++i) {
            double x = r.Range(50, 210), y = r.Range(64, 146);
            Ellipse(cr, x, y, r.Range(6, 12), r.Range(4, 8));
            SetColor(cr, Hex(0x1A1410, 0.8));
            cairo_fill(cr);
        }
        SetColor(cr, Hex(0xFFB347, 0.9));
        cairo_set_line_width(cr, 1.4);
        for (int i = 0; i < 5; ++i) {
            double x = r.Range(60, 200), y = r.Range(70, 140);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + r.Range(-12, 12), y + r.Range(-10, 10));
            cairo_stroke(cr);
        }
    }
}

void DrawPropeller(cairo_t* cr, double cx, double cy, double len, double theta, Rgb metal)
{
    // Seen edge-on: blades as ellipses whose length follows the turn.
    for (int b = 0; b < 3; ++b) {
        double a = theta + b * 2 * Pi / 3;
        double y = cy + std::sin(a) * len * 0.5;
        double depth = std::cos(a);
        Ellipse(cr, cx + depth * 1.5, y, 3 + 2 * std::abs(depth), len * 0.28);
        SetColor(cr, depth > 0 ? Lighter(metal, 0.25) : Darker(metal, 0.25));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.2);
        cairo_new_path(cr);
    }
    Ellipse(cr, cx, cy, 3, 4);
    FillOutlined(cr, Darker(metal, 0.3), 1.2);
    cairo_new_path(cr);
}

// Ghost galleon facing left, tall masts with torn phosphor sails.
void DrawGalleon(cairo_t* cr, bool dying)
{
    Rgb wood = Hex(0x5B4636), ghost = Hex(0x9CFF9C);
    if (dying)
        wood = Darker(wood, 0.3);
    // Masts and sails.
    for (int m = 0; m < 2; ++m) {
        double x = 70 + m * 56;
        cairo_rectangle(cr, x - 3, 24 + m * 14, 6, 200 - m * 14);
        FillOutlined(cr, Darker(wood, 0.2), 1.6);
        cairo_new_path(cr);
        for (int s = 0; s < 2; ++s) {
            double top = 40 + m * 14 + s * 70, bottom = top + 60;
            cairo_move_to(cr, x - 30, top);
            cairo_curve_to(cr, x - 36, top + 25, x - 34, bottom - 10, x - 26, bottom);
            cairo_line_to(cr, x - 18, bottom - 8);
            cairo_line_to(cr, x - 8, bottom + 2);
            cairo_line_to(cr, x + 4, bottom - 10);
            cairo_line_to(cr, x + 16, bottom);
            cairo_line_to(cr, x + 24, bottom - 4);
            cairo_curve_to(cr, x + 30, top + 30, x + 26, top + 10, x + 28, top);
            cairo_close_path(cr);
            VerticalGradient(cr, top, Hex(0xD8FFE0, 0.75), bottom, WithAlpha(ghost, 0.45));
            cairo_fill_preserve(cr);
            StrokeOutline(cr, 1.6, 0.7);
            cairo_new_path(cr);
            // Holes in the cloth.
            Ellipse(cr, x - 10 + s * 12, top + 28, 5, 4);
            SetColor(cr, Hex(0x0B1E3A, 0.8));
            cairo_fill(cr);
        }
    }
    // Flag with a skull-ish mark.
    cairo_move_to(cr, 73, 26);
    cairo_line_to(cr, 48, 22 + 2);
    cairo_line_to(cr, 56, 30);
    cairo_line_to(cr, 46, 38);
    cairo_line_to(cr, 73, 36);
    cairo_close_path(cr);
    FillOutlined(cr, Hex(0x1E2A22), 1.2);
    cairo_new_path(cr);
    // Hull 25-159 x 200-324, bow at the left; filled, then outlined over the planks.
    auto hullPath = [cr] {
        cairo_move_to(cr, 14, 196);
        cairo_line_to(cr, 40, 206);
        cairo_line_to(cr, 160, 200);
        cairo_line_to(cr, 178, 184);
        cairo_line_to(cr, 184, 236);
        cairo_curve_to(cr, 176, 290, 160, 318, 130, 326);
        cairo_line_to(cr, 66, 326);
        cairo_curve_to(cr, 40, 300, 26, 250, 14, 196);
        cairo_close_path(cr);
    };
    hullPath();
    VerticalGradient(cr, 190, Lighter(wood, 0.25), 326, Darker(wood, 0.45));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    SetColor(cr, Darker(wood, 0.5));
    cairo_set_line_width(cr, 1.2);
    for (int y = 212; y < 330; y += 11) {
        cairo_move_to(cr, 0, y);
        cairo_curve_to(cr, 60, y + 4, 120, y + 4, 190, y - 6);
        cairo_stroke(cr);
    }
    SetColor(cr, WithAlpha(ghost, 0.9));
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, 30, 246);
    cairo_curve_to(cr, 80, 252, 130, 250, 180, 240);
    cairo_stroke(cr);
    // The hull's roundness: lit towards the bow (left), dark towards the
    // stern and the keel, with rotten holes.
    cairo_pattern_t* round = cairo_pattern_create_linear(14, 0, 186, 0);
    cairo_pattern_add_color_stop_rgba(round, 0, 1, 0.95, 0.85, 0.18);
    cairo_pattern_add_color_stop_rgba(round, 0.45, 1, 1, 1, 0);
    cairo_pattern_add_color_stop_rgba(round, 1, 0, 0, 0, 0.35);
    cairo_set_source(cr, round);
    cairo_paint(cr);
    cairo_pattern_destroy(round);
    Rand holes(12);
    for (int i = 0; i < 4; ++i) {
        Ellipse(cr, holes.Range(50, 160), holes.Range(275, 315), holes.Range(3, 6), holes.Range(2, 4));
        SetColor(cr, Hex(0x0E0A08, 0.8));
        cairo_fill(cr);
    }
    cairo_restore(cr);
    cairo_new_path(cr);
    hullPath();
    StrokeOutline(cr, 2.5);
    cairo_new_path(cr);
    // Gun ports glowing phosphor green at the firing rows.
    for (int row : {220, 266}) {
        for (int i = 0; i < 3; ++i) {
            double x = 44 + i * 34, y = row + 14;
            RoundedRect(cr, x, y - 6, 14, 12, 2);
            SetColor(cr, Hex(0x102010));
            cairo_fill_preserve(cr);
            StrokeOutline(cr, 1.4);
            cairo_new_path(cr);
            SoftSpot(cr, x + 7, y, 8, WithAlpha(ghost, dying ? 0.3 : 0.85));
        }
    }
    // Figurehead skull at the bow.
    Ellipse(cr, 22, 204, 8, 7);
    FillOutlined(cr, Hex(0xE6EEDC), 1.4);
    cairo_new_path(cr);
    for (int e = 0; e < 2; ++e) {
        Ellipse(cr, 19 + e * 5, 203, 1.8, 2);
        SetColor(cr, dying ? Hex(0x202020) : ghost);
        cairo_fill(cr);
    }
    // A phosphor haze.
    SoftSpot(cr, 95, 150, 92, WithAlpha(ghost, dying ? 0.05 : 0.12));
}

// Mechanical shark facing left: body 28-184 x 65-210, dorsal 111-156 x 4-70.
// Mechanical shark facing left: a riveted gunmetal shark whose tail is a
// separate strip joined at (184, 104-128); dorsal fin 95-152 x 4-70.
void MechaBodyPath(cairo_t* cr)
{
    cairo_move_to(cr, 8, 112);
    cairo_curve_to(cr, 14, 92, 46, 70, 96, 66);
    cairo_curve_to(cr, 136, 64, 168, 88, 188, 102);
    cairo_line_to(cr, 188, 130);
    cairo_curve_to(cr, 164, 150, 132, 176, 96, 178);
    cairo_curve_to(cr, 62, 178, 30, 162, 14, 140);
    cairo_curve_to(cr, 8, 132, 6, 122, 8, 112);
    cairo_close_path(cr);
}

void DrawMechaFin(cairo_t* cr, double theta, double w, double h);

void DrawMechaShark(cairo_t* cr, bool dying)
{
    Rgb metal = Hex(0x4A5560), belly = Hex(0x8A96A2);
    if (dying) {
        metal = Mix(metal, Hex(0x3A2E28), 0.35);
        belly = Mix(belly, Hex(0x5A4A40), 0.35);
        // The game draws no tail strip over a dying shark: it has its own, still.
        cairo_save(cr);
        cairo_translate(cr, 184, 60);
        DrawMechaFin(cr, 0, 39, 110);
        cairo_restore(cr);
    }
    // Far pectoral fin behind the body.
    cairo_move_to(cr, 96, 168);
    cairo_line_to(cr, 122, 170);
    cairo_line_to(cr, 134, 200);
    cairo_close_path(cr);
    FillOutlined(cr, Darker(metal, 0.35), 2);
    cairo_new_path(cr);
    // Dorsal fin: a swept blade with a lighter leading edge.
    cairo_move_to(cr, 96, 70);
    cairo_curve_to(cr, 112, 52, 128, 22, 142, 4);
    cairo_curve_to(cr, 144, 30, 146, 52, 154, 74);
    cairo_close_path(cr);
    VerticalGradient(cr, 4, Lighter(metal, 0.35), 74, Darker(metal, 0.2));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    cairo_move_to(cr, 100, 68);
    cairo_curve_to(cr, 114, 50, 128, 26, 140, 8);
    SetColor(cr, Hex(0xC8D2DC, 0.7));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    Rivet(cr, 126, 50);
    Rivet(cr, 138, 34);
    // Body: gunmetal back, a lighter belly plate, plates and light.
    MechaBodyPath(cr);
    VerticalGradient3(cr, 64, Lighter(metal, 0.42), 112, metal, 178, Darker(metal, 0.35));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_move_to(cr, 0, 138);
    cairo_curve_to(cr, 60, 150, 130, 146, 200, 122);
    cairo_line_to(cr, 200, 200);
    cairo_line_to(cr, 0, 200);
    cairo_close_path(cr);
    VerticalGradient(cr, 136, Lighter(belly, 0.2), 180, Darker(belly, 0.25));
    cairo_fill(cr);
    // Core shadow above the belly plate and plate seams across the body.
    cairo_move_to(cr, 0, 136);
    cairo_curve_to(cr, 60, 148, 130, 144, 200, 120);
    SetColor(cr, Hex(0x14181C, 0.5));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    SetColor(cr, Hex(0x14181C, 0.55));
    cairo_set_line_width(cr, 1.3);
    for (int x = 62; x < 190; x += 30) {
        cairo_move_to(cr, x, 60);
        cairo_curve_to(cr, x - 6, 100, x - 6, 150, x, 190);
        cairo_stroke(cr);
    }
    // Top-left light: a sheen along the back and a spot on the head.
    cairo_move_to(cr, 24, 96);
    cairo_curve_to(cr, 50, 76, 90, 70, 130, 74);
    SetColor(cr, Hex(0xFFFFFF, 0.28));
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    SoftSpot(cr, 60, 90, 28, Hex(0xFFFFFF, 0.22));
    cairo_restore(cr);
    MechaBodyPath(cr);
    StrokeOutline(cr, 2.5);
    cairo_new_path(cr);
    for (int x = 40; x < 184; x += 13) {
        const double top = x < 96 ? 66 + (96 - x) * (96 - x) * 0.0045 : 66 + (x - 96) * 0.42;
        Rivet(cr, x, top + 7);
    }
    for (int x = 30; x < 180; x += 15)
        Rivet(cr, x, 140 + (x - 30) * 0.02 - (x - 100) * (x - 100) * 0.0009 + 4, 1.3);
    // Jaw with steel teeth.
    cairo_move_to(cr, 12, 126);
    cairo_curve_to(cr, 30, 130, 56, 136, 74, 140);
    cairo_curve_to(cr, 56, 150, 32, 154, 16, 144);
    cairo_close_path(cr);
    SetColor(cr, Hex(0x1A0C0C));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.6);
    cairo_new_path(cr);
    for (int i = 0; i < 6; ++i) {
        const double x = 17 + i * 9;
        cairo_move_to(cr, x, 127 + i * 2.2);
        cairo_line_to(cr, x + 6, 128.5 + i * 2.2);
        cairo_line_to(cr, x + 3, 135 + i * 2.2);
        cairo_close_path(cr);
        cairo_move_to(cr, x + 1, 148 - i * 1.2);
        cairo_line_to(cr, x + 7, 147.5 - i * 1.2);
        cairo_line_to(cr, x + 4, 141 - i * 1.2);
        cairo_close_path(cr);
    }
    SetColor(cr, Hex(0xE6ECF0));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 0.7);
    cairo_new_path(cr);
    // Orange eye in an armoured socket, with a scowling plate over it.
    Ellipse(cr, 50, 102, 10, 9);
    FillOutlined(cr, Hex(0x20262C), 1.6);
    cairo_new_path(cr);
    SoftSpot(cr, 50, 102, 14, Hex(0xFF8A00, dying ? 0.2 : 0.75));
    Ellipse(cr, 50, 102, 5.5, 5.5);
    SetColor(cr, dying ? Hex(0x553311) : Hex(0xFF8A00));
    cairo_fill(cr);
    Ellipse(cr, 48.5, 100.5, 1.8, 1.8);
    SetColor(cr, Hex(0xFFF0C0));
    cairo_fill(cr);
    cairo_move_to(cr, 36, 90);
    cairo_line_to(cr, 64, 96);
    cairo_line_to(cr, 62, 91);
    cairo_line_to(cr, 40, 86);
    cairo_close_path(cr);
    FillOutlined(cr, Lighter(metal, 0.15), 1.4);
    cairo_new_path(cr);
    // Gill vents.
    for (int i = 0; i < 4; ++i) {
        RoundedRect(cr, 80 + i * 8, 102 + i, 4, 28, 2);
        SetColor(cr, Hex(0x14181C));
        cairo_fill(cr);
        if (!dying) {
            RoundedRect(cr, 81 + i * 8, 106 + i, 2, 20, 1);
            SetColor(cr, Hex(0xFF8A00, 0.5));
            cairo_fill(cr);
        }
    }
    // Near pectoral fin.
    cairo_move_to(cr, 70, 160);
    cairo_line_to(cr, 108, 166);
    cairo_line_to(cr, 120, 210);
    cairo_close_path(cr);
    VerticalGradient(cr, 160, Lighter(metal, 0.2), 210, Darker(metal, 0.3));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    Rivet(cr, 86, 168);
    Rivet(cr, 104, 178);
    if (dying) {
        Rand r(8);
        for (int i = 0; i < 6; ++i) {
            Ellipse(cr, r.Range(60, 180), r.Range(80, 170), r.Range(6, 12), r.Range(4, 8));
            SetColor(cr, Hex(0x100C0A, 0.8));
            cairo_fill(cr);
        }
        SetColor(cr, Hex(0xFFB347, 0.9));
        cairo_set_line_width(cr, 1.4);
        for (int i = 0; i < 5; ++i) {
            double x = r.Range(60, 180), y = r.Range(80, 170);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + r.Range(-12, 12), y + r.Range(-10, 10));
            cairo_stroke(cr);
        }
    }
}

// The mechanical shark's tail: joined at the left edge (y 44-68 here) to the
// body, the two lobes sweeping across the view (foreshortened) on one sine.
void DrawMechaFin(cairo_t* cr, double theta, double w, double h)
{
    Rgb metal = Hex(0x4A5560);
    const double sx = 0.8 + 0.2 * std::cos(theta), tilt = 4 * std::sin(theta);
    auto tail = [&] {
        cairo_move_to(cr, -2, 42);
        cairo_curve_to(cr, 10 * sx, 34, 24 * sx, 16 + tilt, (w - 3) * sx, 2 + tilt);
        cairo_curve_to(cr, 26 * sx, 26 + tilt, 18 * sx, 44, 16 * sx, 56);
        cairo_curve_to(cr, 20 * sx, 68, 28 * sx, 84 + tilt, (w - 7) * sx, h - 4 + tilt * 0.6);
        cairo_curve_to(cr, 18 * sx, 86, 8 * sx, 74, -2, 70);
        cairo_close_path(cr);
    };
    tail();
    VerticalGradient3(cr, 0, Lighter(metal, 0.35), 56, metal, h, Darker(metal, 0.35));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    // Segment seams and a light leading edge on the upper lobe.
    SetColor(cr, Hex(0x14181C, 0.5));
    cairo_set_line_width(cr, 1.2);
    for (double f : {0.35, 0.65}) {
        cairo_move_to(cr, (w - 3) * sx * f, 0);
        cairo_line_to(cr, (w - 3) * sx * f - 4, h);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, 2, 42);
    cairo_curve_to(cr, 12 * sx, 34, 24 * sx, 18 + tilt, (w - 4) * sx, 4 + tilt);
    SetColor(cr, Hex(0xC8D2DC, 0.6));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_restore(cr);
    tail();
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    Rivet(cr, 6, 50);
    Rivet(cr, 6, 62);
    Rivet(cr, 14 * sx, 56);
}

// Mechanical squid swimming mantle first (to the left): fins at the mantle's
// point, the eye socket at (139, 86) where the moving eye sits, the arms
// trailing right into the waving tips drawn at (217, 60).
void SquidArms(cairo_t* cr, Rgb bronze, double x1, double theta)
{
    for (int i = 0; i < 5; ++i) {
        // Bundled at the head, fanning out towards the tips.
        const double y0 = 70 + i * 5.5;
        const double yEnd = 66 + i * 9 + (x1 > 230 ? 4 * std::sin(theta + i) : 0);
        cairo_move_to(cr, 136, y0);
        cairo_curve_to(cr, 166, y0 - 4 + i * 2, 196, y0 + 6 - i * 2, x1, yEnd);
        SetColor(cr, Hex(Pal::Outline, 0.85));
        cairo_set_line_width(cr, 10 - std::abs(i - 2) * 0.6);
        cairo_stroke_preserve(cr);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, y0 - 4, 0, y0 + 4);
        Rgb a = Lighter(bronze, 0.3), b = Darker(bronze, 0.2);
        cairo_pattern_add_color_stop_rgb(p, 0, a.r, a.g, a.b);
        cairo_pattern_add_color_stop_rgb(p, 1, b.r, b.g, b.b);
        cairo_set_source(cr, p);
        cairo_set_line_width(cr, 7 - std::abs(i - 2) * 0.6);
        cairo_stroke(cr);
        cairo_pattern_destroy(p);
        for (int s = 0; s < 4; ++s) {
            const double f = (s + 0.5) / 4, x = 136 + (x1 - 136) * f;
            Ellipse(cr, x, y0 + (yEnd - y0) * f + 1.5, 1.8, 1.8);
            SetColor(cr, Darker(bronze, 0.5));
            cairo_fill(cr);
        }
    }
}

void DrawSquid(cairo_t* cr, bool dying)
{
    Rgb bronze = Hex(0x8C6A3D), violet = Hex(0xB05CFF);
    if (dying)
        bronze = Darker(bronze, 0.3);
    // Arms behind the head; a dying squid shows them whole, otherwise the
    // waving tips continue them.
    SquidArms(cr, bronze, dying ? 290 : 224, 0);
    // Fins at the mantle's point.
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, 46, 72 + side * 24);
        cairo_curve_to(cr, 30, 72 + side * 46, 10, 72 + side * 56, 4, 72 + side * 50);
        cairo_curve_to(cr, 10, 72 + side * 30, 20, 72 + side * 10, 32, 72);
        cairo_close_path(cr);
        VerticalGradient(cr, 16, Lighter(bronze, 0.2), 128, Darker(bronze, 0.3));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
    }
    // Mantle: a riveted bronze cone, rounded to the head at the right.
    auto mantle = [&] {
        cairo_move_to(cr, 24, 72);
        cairo_curve_to(cr, 40, 24, 84, 4, 116, 6);
        cairo_curve_to(cr, 138, 10, 146, 42, 144, 72);
        cairo_curve_to(cr, 146, 102, 138, 134, 116, 140);
        cairo_curve_to(cr, 84, 142, 40, 120, 24, 72);
        cairo_close_path(cr);
    };
    mantle();
    VerticalGradient3(cr, 4, Lighter(bronze, 0.45), 62, bronze, 142, Darker(bronze, 0.45));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    SetColor(cr, Darker(bronze, 0.5));
    cairo_set_line_width(cr, 1.2);
    for (int x = 48; x < 140; x += 18) {
        cairo_move_to(cr, x, 0);
        cairo_curve_to(cr, x + 6, 50, x + 6, 100, x, 150);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, 36, 54);
    cairo_curve_to(cr, 60, 26, 92, 14, 124, 16);
    SetColor(cr, Hex(0xFFF0D0, 0.35));
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    SoftSpot(cr, 74, 36, 30, Hex(0xFFF0D0, 0.3));
    SoftSpot(cr, 96, 132, 30, Hex(0x000000, 0.2));
    cairo_restore(cr);
    mantle();
    StrokeOutline(cr, 2.5);
    cairo_new_path(cr);
    for (int i = 0; i < 6; ++i) {
        Rivet(cr, 62 + i * 12, 22 + std::abs(i - 2.5) * 3);
        Rivet(cr, 62 + i * 12, 124 - std::abs(i - 2.5) * 3);
    }
    // Violet lights along the mantle.
    for (int i = 0; i < 4; ++i) {
        const double x = 64 + i * 16, y = 72;
        SoftSpot(cr, x, y, 9, WithAlpha(violet, dying ? 0.15 : 0.85));
        Ellipse(cr, x, y, 3.2, 3.2);
        SetColor(cr, dying ? Darker(violet, 0.6) : Lighter(violet, 0.4));
        cairo_fill(cr);
    }
    // Eye socket where the moving eye sits.
    Ellipse(cr, 139, 86, 10, 10);
    VerticalGradient(cr, 76, Hex(0x4A3A22), 96, Hex(0x1A120A));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    if (dying) {
        Ellipse(cr, 139, 86, 5, 5);
        SetColor(cr, Hex(0x3A2A4A));
        cairo_fill(cr);
    }
}

void DrawSquidEye(cairo_t* cr, int k)
{
    // The iris looks left, centre, right as the strip plays.
    Ellipse(cr, 6, 6, 5.5, 5.5);
    SetColor(cr, Hex(0xF6E8FF));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1);
    cairo_new_path(cr);
    double x = 3.6 + k * 1.2;
    Ellipse(cr, x, 6, 2.8, 3.2);
    SetColor(cr, Hex(0xB05CFF));
    cairo_fill(cr);
    Ellipse(cr, x, 6, 1.2, 2.2);
    SetColor(cr, Hex(0x10081A));
    cairo_fill(cr);
}

// The squid's arm tips: they carry on the five arms from the left edge of
// the strip (y 6-44 here) and curl on one sine, so the strip loops.
void DrawSquidFin(cairo_t* cr, double theta, double w, double h)
{
    Rgb bronze = Hex(0x8C6A3D);
    for (int i = 0; i < 5; ++i) {
        const double y0 = 6 + i * 9, wave = std::sin(theta + i * 0.9);
        const double tipX = w - 8 - std::abs(i - 2) * 4, tipY = y0 + (i - 2) * 1.2 + 4 * wave;
        cairo_move_to(cr, -8, y0);
        cairo_curve_to(cr, 16, y0 + 3 * wave, 36, y0 - 4 * wave, tipX, tipY);
        SetColor(cr, Hex(Pal::Outline, 0.85));
        cairo_set_line_width(cr, 8.5 - i * 0.3);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke_preserve(cr);
        SetColor(cr, i % 2 ? bronze : Lighter(bronze, 0.15));
        cairo_set_line_width(cr, 5.5 - i * 0.3);
        cairo_stroke(cr);
        // A small violet light at each tip.
        SoftSpot(cr, tipX, tipY, 5, Hex(0xB05CFF, 0.7));
        Ellipse(cr, tipX, tipY, 1.6, 1.6);
        SetColor(cr, Hex(0xE0C0FF));
        cairo_fill(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

// Torpedo, nose left, with a light band for the word.
void DrawTorpedo(cairo_t* cr, double w, double h, double squash)
{
    cairo_save(cr);
    cairo_translate(cr, w / 2, h / 2);
    cairo_scale(cr, squash, 1);
    cairo_translate(cr, -w / 2, -h / 2);
    // The body leaves room above and below for the tail fins' tips.
    const double t = 4.5;
    const auto body = [&] {
        cairo_move_to(cr, 4, h / 2);
        cairo_curve_to(cr, 4, t + 2, 16, t, 26, t);
        cairo_line_to(cr, 108, t);
        cairo_line_to(cr, 114, t + 5);
        cairo_line_to(cr, 114, h - t - 5);
        cairo_line_to(cr, 108, h - t);
        cairo_line_to(cr, 26, h - t);
        cairo_curve_to(cr, 16, h - t, 4, h - t - 2, 4, h / 2);
        cairo_close_path(cr);
    };
    body();
    // Pale down to below the word's baseline (h / 2 + 5), so that its black and
    // green letters read on it; the shade gathers under the keel.
    VerticalGradient3(cr, t, Hex(0xF6F8FA), h / 2 + 6, Hex(0xE4EAEE), h - t, Hex(0x8A96A0));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    // Red warhead and fins.
    cairo_move_to(cr, 4, h / 2);
    cairo_curve_to(cr, 4, t + 2, 16, t, 24, t);
    cairo_line_to(cr, 24, h - t);
    cairo_curve_to(cr, 16, h - t, 4, h - t - 2, 4, h / 2);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xD64545));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.6);
    cairo_new_path(cr);
    // The fins' tips stop short of the frame, outline and all.
    for (int s : {-1, 1}) {
        cairo_move_to(cr, 96, h / 2 + s * (h / 2 - t - 1));
        cairo_line_to(cr, 112, h / 2 + s * (h / 2 - 2.5));
        cairo_line_to(cr, 114, h / 2 + s * (h / 2 - t - 4));
        cairo_close_path(cr);
        FillOutlined(cr, Hex(0x7D8A96), 1.4);
        cairo_new_path(cr);
    }
    // The sheen stays on the body.
    cairo_save(cr);
    body();
    cairo_clip(cr);
    SoftSpot(cr, 40, t + 5, 12, Hex(0xFFFFFF, 0.6));
    cairo_restore(cr);
    cairo_restore(cr);
}

void DrawExplosion(cairo_t* cr, double f, double cx, double cy, double size)
{
    // A fireball that swells, flashes and breaks into smoke and bubbles.
    Rand r(11);
    double grow = std::sin(std::min(1.0, f * 1.4) * Pi / 2);
    double fire = std::max(0.0, 1 - f * 1.3);
    for (int i = 0; i < 9; ++i) {
        double a = r.Range(0, 2 * Pi), d = r.Range(0.2, 0.6) * size * grow;
        double rad = size * r.Range(0.18, 0.3) * (0.6 + grow * 0.6);
        Ellipse(cr, cx + std::cos(a) * d, cy + std::sin(a) * d - f * 10, rad, rad);
        SetColor(cr, Mix(Hex(0x58606A, 0.9), Hex(0x9AA4AE, 0.0), f));
        cairo_fill(cr);
    }
    if (fire > 0) {
        cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, size * 0.6 * (0.4 + grow));
        cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 0.85, fire);
        cairo_pattern_add_color_stop_rgba(p, 0.4, 1, 0.75, 0.2, fire);
        cairo_pattern_add_color_stop_rgba(p, 0.8, 0.95, 0.3, 0.1, fire * 0.8);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.9, 0.2, 0.1, 0);
        cairo_set_source(cr, p);
        cairo_arc(cr, cx, cy, size * 0.6 * (0.4 + grow), 0, 2 * Pi);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    for (int i = 0; i < 10; ++i) {
        double a = r.Range(0, 2 * Pi), d = size * (0.3 + 0.5 * f) * r.Range(0.6, 1.0);
        double x = cx + std::cos(a) * d, y = cy + std::sin(a) * d - f * 20;
        double rad = r.Range(2, 4.5);
        Ellipse(cr, x, y, rad, rad);
        SetColor(cr, Hex(0xFFFFFF, 0.8 * (1 - f * 0.6)));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

void DrawCannonball(cairo_t* cr, double theta, double turn)
{
    // A phosphor-green ghost ball with a trail to its right.
    for (int i = 0; i < 5; ++i) {
        double x = 40 + i * 7 + 2 * std::sin(theta + i), y = 22 + 3 * std::sin(theta * 1 + i * 1.3);
        SoftSpot(cr, x, y, 10 - i * 1.4, Hex(0x9CFF9C, 0.5 - i * 0.08));
    }
    double r = 14;
    cairo_save(cr);
    cairo_translate(cr, 25, 22);
    cairo_scale(cr, 1 - 0.25 * std::sin(turn * Pi), 1);
    Ellipse(cr, 0, 0, r, r);
    cairo_pattern_t* p = cairo_pattern_create_radial(-5, -5, 1, 0, 0, r);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.6, 0.72, 0.66);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.16, 0.22, 0.2);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    cairo_restore(cr);
    // Pale patch where the letter is drawn (x 18..30, baseline 30).
    Ellipse(cr, 24.5, 24, 9, 9);
    SetColor(cr, Hex(0xDFFFE4, 0.92));
    cairo_fill(cr);
}

} // namespace

void RegisterBosses(Registry& reg)
{
    reg.Add("torpedo_boss_bobbing", [](Canvas& c, const ImageSpec&) { DrawTorpedoBoss(c.Cr(), false); });
    reg.Add("torpedo_boss_dying", [](Canvas& c, const ImageSpec&) { DrawTorpedoBoss(c.Cr(), true); });
    reg.Add("torpedo_boss_rotor", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int, int, double t, double w, double h) {
            DrawPropeller(cr, w / 2, h / 2, h - 6, 2 * Pi * t / 3, Hex(0xB8893B));
        });
    });
    reg.Add("boss_galleon", [](Canvas& c, const ImageSpec&) { DrawGalleon(c.Cr(), false); });
    reg.Add("boss_galleon_death", [](Canvas& c, const ImageSpec&) { DrawGalleon(c.Cr(), true); });
    reg.Add("galleon_rudder", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int k, int, double, double w, double h) {
            cairo_translate(cr, w / 2, 3);
            cairo_rotate(cr, (k - 2) * 0.12);
            cairo_move_to(cr, -3, 0);
            cairo_line_to(cr, 3, 0);
            cairo_line_to(cr, 8, h - 10);
            cairo_curve_to(cr, 4, h - 4, -4, h - 4, -6, h - 10);
            cairo_close_path(cr);
            VerticalGradient(cr, 0, Hex(0x7A604A), h, Hex(0x3A2A20));
            cairo_fill_preserve(cr);
            StrokeOutline(cr, 1.6);
        }, JoinedTop); // hung from the stern post
    });
    reg.Add("boss_mecha", [](Canvas& c, const ImageSpec&) { DrawMechaShark(c.Cr(), false); });
    reg.Add("boss_mecha_death", [](Canvas& c, const ImageSpec&) { DrawMechaShark(c.Cr(), true); });
    reg.Add("boss_mecha_fin", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int, int, double t, double w, double h) { DrawMechaFin(cr, 2 * Pi * t, w, h); },
                  JoinedLeft);
    });
    reg.Add("boss_squid", [](Canvas& c, const ImageSpec&) { DrawSquid(c.Cr(), false); });
    reg.Add("boss_squid_death", [](Canvas& c, const ImageSpec&) { DrawSquid(c.Cr(), true); });
    reg.Add("boss_squid_eye", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int k, int, double, double, double) { DrawSquidEye(cr, k); });
    });
    reg.Add("boss_squid_fin", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int, int, double t, double w, double h) { DrawSquidFin(cr, 2 * Pi * t, w, h); },
                  JoinedLeft);
    });
    reg.Add("torpedo_swim", [](Canvas& c, const ImageSpec& s) { DrawTorpedo(c.Cr(), s.width, s.height, 1); });
    reg.Add("torpedo_reverse", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int k, int n, double, double w, double h) {
            // Turning round: the body narrows to edge-on and widens mirrored.
            double a = Pi * (k + 0.5) / n;
            double sx = std::cos(a);
            cairo_translate(cr, w / 2, 0);
            cairo_scale(cr, std::abs(sx) < 0.08 ? (sx < 0 ? -0.08 : 0.08) : sx, 1);
            cairo_translate(cr, -w / 2, 0);
            DrawTorpedo(cr, w, h, 1);
        });
    });
    reg.Add("rotor_torpedo", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int, int, double t, double w, double h) {
            DrawPropeller(cr, w / 2, h / 2, h - 4, 2 * Pi * t / 3, Hex(0xB8893B));
        }, JoinedLeft); // on the torpedo's tail
    });
    reg.Add("torpedo_explode", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int k, int n, double, double w, double h) {
            DrawExplosion(cr, double(k) / (n - 1), w / 2, h / 2 + 6, w * 0.8);
        });
    });
    reg.Add("torpedo_launch", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int k, int n, double, double, double) {
            // Bubbles of the launch, drifting up and thinning out.
            double f = double(k) / (n - 1);
            Rand r(21);
            for (int i = 0; i < 40; ++i) {
                double x = r.Range(30, 190), y = r.Range(30, 70) - f * r.Range(10, 30);
                double rad = r.Range(1.5, 5) * (1 - f * 0.4);
                if (r.Unit() < f * 0.8)
                    continue;
                Ellipse(cr, x, y, rad, rad);
                SetColor(cr, Hex(0xDDF6FF, 0.3));
                cairo_fill_preserve(cr);
                SetColor(cr, Hex(0xFFFFFF, 0.85));
                cairo_set_line_width(cr, 1);
                cairo_stroke(cr);
            }
        });
    });
    reg.Add("cannonball", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int, int, double t, double, double) { DrawCannonball(cr, 2 * Pi * t, 0); });
    });
    reg.Add("cannonball_turn", [](Canvas& c, const ImageSpec& s) {
        PaintCels(c, s, [](cairo_t* cr, int k, int n, double, double, double) {
            DrawCannonball(cr, k, double(k) / (n - 1));
        });
    });
}

} // namespace Zant::Art

namespace Zant::Art {

void PaintBossPortrait(cairo_t* cr, int kind)
{
    cairo_save(cr);
    switch (kind) {
    case 0:
        DrawTorpedoBoss(cr, false);
        break;
    case 1:
        DrawGalleon(cr, false);
        break;
    case 2:
        DrawMechaShark(cr, false);
        cairo_translate(cr, 184, 60);
        DrawMechaFin(cr, 0, 39, 110);
        break;
    default:
        DrawSquid(cr, false);
        cairo_save(cr);
        cairo_translate(cr, 217, 60);
        DrawSquidFin(cr, 0, 67, 47);
        cairo_restore(cr);
        cairo_translate(cr, 133, 80);
        DrawSquidEye(cr, 2);
        break;
    }
    cairo_restore(cr);
}

} // namespace Zant::Art
