// The typing tutor: its screen with the keyboard, the hands, fingers and key glows.
#include <cmath>

#include "tools/art/Painters.h"

namespace Zant::Art {

namespace {

struct Key {
    const char* name;  // glow image suffix
    const char* label; // painted on the keycap
    double x, y;
};

// Keycap places match where the tutor draws each glow.
const Key kKeys[] = {
    {"tilde", "~", 36, 171},  {"1", "1", 64, 171},       {"2", "2", 91, 171},       {"3", "3", 117, 171},
    {"4", "4", 141, 171},     {"5", "5", 166, 171},      {"6", "6", 190, 171},      {"7", "7", 215, 171},
    {"8", "8", 237, 171},     {"9", "9", 264, 171},      {"0", "0", 289, 171},      {"hyphen", "-", 315, 171},
    {"plus", "=", 342, 171},  {"back", "Back", 370, 171}, {"tab", "Tab", 20, 197},   {"q", "Q", 67, 197},
    {"w", "W", 94, 197},      {"e", "E", 122, 197},      {"r", "R", 148, 197},      {"t", "T", 174, 197},
    {"y", "Y", 198, 197},     {"u", "U", 223, 197},      {"i", "I", 248, 197},      {"o", "O", 274, 197},
    {"p", "P", 300, 197},     {"lbrace", "[", 328, 197}, {"rbrace", "]", 356, 197}, {"backslash", "\\", 383, 197},
    {"caps", "Caps", 24, 224}, {"a", "A", 75, 224},      {"s", "S", 104, 224},      {"d", "D", 133, 224},
    {"f", "F", 160, 224},     {"g", "G", 188, 224},      {"h", "H", 213, 224},      {"j", "J", 238, 224},
    {"k", "K", 265, 224},     {"l", "L", 292, 224},      {"colon", ";", 321, 224},  {"apostrophe", "'", 350, 224},
    {"enter", "Enter", 378, 224}, {"lshift", "Shift", 20, 252}, {"z", "Z", 83, 252}, {"x", "X", 113, 252},
    {"c", "C", 143, 252},     {"v", "V", 171, 252},      {"b", "B", 201, 252},      {"n", "N", 227, 252},
    {"m", "M", 254, 252},     {"comma", ",", 283, 252},  {"period", ".", 310, 252}, {"forslash", "/", 341, 252},
    {"rshift", "Shift", 372, 252}, {"lctrl", "Ctrl", 20, 278}, {"lalt", "Alt", 72, 278}, {"space", "", 119, 278},
    {"ralt", "Alt", 290, 278}, {"rctrl", "Ctrl", 336, 278},
};

// Keys wider than a letter key.
double WideKey(const std::string& name)
{
    struct S {
        const char* n;
        double w;
    };
    static const S sizes[] = {{"back", 48},  {"caps", 44},  {"enter", 52},  {"lalt", 34},  {"ralt", 34},
                              {"lctrl", 40}, {"rctrl", 40}, {"lshift", 58}, {"rshift", 62}, {"space", 160},
                              {"tab", 40},   {"backslash", 30}};
    for (const S& s : sizes)
        if (name == s.n)
            return s.w;
    return 0;
}

// A key's size: letter keys are 26 wide but never reach the next key of their
// row, since the tutor's key places are not evenly spaced.
void KeySize(size_t index, double& w, double& h)
{
    const Key& k = kKeys[index];
    h = std::string(k.name) == "space" ? 24 : 25;
    w = WideKey(k.name);
    if (w > 0)
        return;
    w = 26;
    if (index + 1 < std::size(kKeys) && kKeys[index + 1].y == k.y)
        w = std::min(w, kKeys[index + 1].x - k.x - 1);
}

void Keycap(cairo_t* cr, size_t index)
{
    const Key& k = kKeys[index];
    double w, h;
    KeySize(index, w, h);
    RoundedRect(cr, k.x + 1, k.y + 1, w - 2, h - 2, 4);
    VerticalGradient(cr, k.y, Hex(0xF4F6F8), k.y + h, Hex(0xB8C4CE));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.2);
    cairo_new_path(cr);
    RoundedRect(cr, k.x + 3, k.y + 2.5, w - 6, h - 8, 3);
    SetColor(cr, Hex(0xFFFFFF, 0.5));
    cairo_fill(cr);
    if (*k.label) {
        SetFont(cr, "DejaVuSans-Bold", std::string(k.label).size() > 1 ? 8 : 10);
        DrawText(cr, k.label, k.x + 5, k.y + 12, Align::Left, Hex(0x3A4450));
    }
}

const Rgb kSkin = Hex(0xF2C9A0);

// Fingers seen from above, tip up: the fingertip (with its nail) sits where
// the tutor centres its 30-px ring, about (15, 15); the hands picture covers
// everything below about y 45. Widths follow the finger: little, ring,
// middle, index.
double FingerWidth(int finger)
{
    static const double widths[9] = {15, 17, 18, 18, 0, 18, 18, 17, 15};
    return widths[finger];
}

void Finger(Canvas& c, int finger, bool lit)
{
    cairo_t* cr = c.Cr();
    const double w = c.Width(), h = c.Height();
    const bool thumb = finger == 4;
    // The glow round a lit fingertip fades out a pixel inside the picture's edge, so
    // that it never ends in a straight cut.
    if (lit)
        SoftSpot(cr, thumb ? 12 : w / 2, thumb ? h / 2 : 14, thumb ? h / 2 - 1 : w / 2 - 1, Hex(0xFFE27A, 0.95));
    const Rgb skin = lit ? Mix(kSkin, Hex(0xFFD23A), 0.45) : kSkin;
    auto shade = [&](double x0, double x1) {
        // Lit from the upper left: lighter on the left side of the finger.
        cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
        Rgb a = Lighter(skin, 0.22), b = Darker(skin, 0.18);
        cairo_pattern_add_color_stop_rgb(p, 0, a.r, a.g, a.b);
        cairo_pattern_add_color_stop_rgb(p, 0.55, skin.r, skin.g, skin.b);
        cairo_pattern_add_color_stop_rgb(p, 1, b.r, b.g, b.b);
        cairo_set_source(cr, p);
        cairo_pattern_destroy(p);
    };
    const double outline = lit ? 2 : 1.5;
    if (thumb) {
        // Pointing left towards the space bar; its base slips under the right palm.
        cairo_move_to(cr, w + 2, 4);
        cairo_line_to(cr, 12, 3.5);
        cairo_curve_to(cr, 2, 3.5, 1.5, h - 3.5, 12, h - 3.5);
        cairo_line_to(cr, w + 2, h - 5);
        cairo_close_path(cr);
        VerticalGradient(cr, 3, Lighter(skin, 0.2), h - 3, Darker(skin, 0.18));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, outline);
        cairo_new_path(cr);
        RoundedRect(cr, 4, 6.5, 10, h - 13, 4);
        VerticalGradient(cr, 6, Hex(0xFFF3EA), h - 6, Hex(0xEBC9B8));
        cairo_fill_preserve(cr);
        SetColor(cr, Hex(0x8A5A40, 0.55));
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        SetColor(cr, Hex(0x8A5A40, 0.4));
        cairo_move_to(cr, 21, 7);
        cairo_curve_to(cr, 19, 10, 19, 14, 21, 17);
        cairo_stroke(cr);
        return;
    }
    const double fw = FingerWidth(finger), x0 = (w - fw) / 2, x1 = x0 + fw;
    cairo_move_to(cr, x0, h + 2);
    cairo_line_to(cr, x0, 2 + fw / 2);
    cairo_arc(cr, w / 2, 2 + fw / 2, fw / 2, Pi, 2 * Pi);
    cairo_line_to(cr, x1, h + 2);
    cairo_close_path(cr);
    shade(x0, x1);
    cairo_fill_preserve(cr);
    StrokeOutline(cr, outline);
    cairo_new_path(cr);
    // Nail, knuckle creases.
    RoundedRect(cr, x0 + 3, 4.5, fw - 6, 11, (fw - 6) / 2);
    VerticalGradient(cr, 4, Hex(0xFFF3EA), 15, Hex(0xEBC9B8));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x8A5A40, 0.55));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    SetColor(cr, Hex(0xFFFFFF, 0.7));
    cairo_move_to(cr, x0 + 5, 7);
    cairo_line_to(cr, x0 + 5, 11);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    SetColor(cr, Hex(0x8A5A40, 0.45));
    cairo_set_line_width(cr, 0.9);
    for (double y : {22.0, 25.0, 37.0}) {
        cairo_move_to(cr, x0 + 3, y);
        cairo_curve_to(cr, x0 + fw * 0.4, y + 1.5, x1 - fw * 0.4, y + 1.5, x1 - 3, y);
        cairo_stroke(cr);
    }
}

// The backs of both hands over the keyboard's home row, in the diver's
// yellow sleeves. The fingers (drawn before) show above the knuckles; the
// right thumb (drawn before too) shows through the gap left for it at
// x 235-271, y 51-75.
void Hands(Canvas& c)
{
    cairo_t* cr = c.Cr();
    auto hand = [&](bool right) {
        cairo_save(cr);
        if (right) {
            cairo_translate(cr, 400, 0);
            cairo_scale(cr, -1, 1);
        }
        // Knuckles just above where each finger picture ends (in this hand's
        // own coordinates: little finger first), so the hand covers its base.
        static const double left[4][2] = {{26, 30}, {53, 24}, {88, 21}, {135, 25}};
        static const double rightK[4][2] = {{26, 27}, {66, 20}, {109, 19}, {145, 23}};
        const double(&k)[4][2] = right ? rightK : left;
        cairo_move_to(cr, 8, 100);
        cairo_curve_to(cr, 4, 76, 4, 48, k[0][0] - 11, k[0][1] + 4);
        cairo_curve_to(cr, k[0][0] - 8, k[0][1] - 4, k[0][0] - 4, k[0][1] - 5, k[0][0], k[0][1] - 5);
        for (int i = 1; i < 4; ++i)
            cairo_curve_to(cr, k[i - 1][0] + 10, k[i - 1][1] - 5, k[i][0] - 10, k[i][1] - 5, k[i][0], k[i][1] - 5);
        if (right) {
            // Round the index knuckle, then in to leave room for the thumb picture.
            cairo_curve_to(cr, k[3][0] + 9, k[3][1] - 5, 157, 30, 152, 42);
            cairo_curve_to(cr, 146, 50, 134, 48, 130, 54);
            cairo_line_to(cr, 128, 80);
            cairo_curve_to(cr, 126, 88, 124, 95, 122, 100);
        } else {
            // The left thumb, reaching in under the space bar.
            cairo_curve_to(cr, k[3][0] + 9, k[3][1] - 5, 152, 30, 152, 40);
            cairo_curve_to(cr, 170, 44, 200, 44, 216, 50);
            cairo_curve_to(cr, 228, 56, 224, 70, 210, 70);
            cairo_curve_to(cr, 190, 70, 172, 70, 160, 76);
            cairo_curve_to(cr, 152, 82, 150, 92, 148, 100);
        }
        cairo_close_path(cr);
        VerticalGradient3(cr, 20, Lighter(kSkin, 0.15), 60, kSkin, 100, Darker(kSkin, 0.22));
        cairo_fill_preserve(cr);
        cairo_save(cr);
        cairo_clip(cr);
        // Light from the upper left on the back of the hand, knuckle bumps
        // and the tendons running to each finger.
        SoftSpot(cr, right ? 110 : 60, 48, 50, Hex(0xFFFFFF, 0.18));
        for (int i = 0; i < 4; ++i) {
            SoftSpot(cr, k[i][0], k[i][1] + 7, 9, Hex(0xFFF0E0, 0.45));
            cairo_move_to(cr, k[i][0], k[i][1] + 12);
            cairo_curve_to(cr, k[i][0], k[i][1] + 28, 45 + i * 20, 62, 50 + i * 16, 84);
            SetColor(cr, Hex(0xC8906A, 0.35));
            cairo_set_line_width(cr, 1.4);
            cairo_stroke(cr);
        }
        if (!right) {
            RoundedRect(cr, 207, 52, 12, 14, 5);
            VerticalGradient(cr, 52, Hex(0xFFF3EA), 66, Hex(0xEBC9B8));
            cairo_fill_preserve(cr);
            SetColor(cr, Hex(0x8A5A40, 0.55));
            cairo_set_line_width(cr, 0.8);
            cairo_stroke(cr);
        }
        cairo_restore(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        // Sleeve with a brass cuff ring.
        const double sx0 = 8, sx1 = right ? 126 : 150;
        cairo_move_to(cr, sx0 - 2, 100);
        cairo_curve_to(cr, sx0, 86, sx0 + 4, 82, sx0 + 10, 81);
        cairo_line_to(cr, sx1 - 8, 81);
        cairo_curve_to(cr, sx1 - 2, 82, sx1, 90, sx1 + 2, 100);
        cairo_close_path(cr);
        VerticalGradient(cr, 81, Hex(0xF6D260), 100, Hex(0xC89A1E));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        RoundedRect(cr, sx0 + 2, 78, sx1 - sx0 - 4, 7, 3);
        VerticalGradient(cr, 78, Hex(0xF0D080), 85, Hex(0x8A6226));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.4);
        cairo_new_path(cr);
        cairo_restore(cr);
    };
    hand(false);
    hand(true);
}

void TutorScreen(Canvas& c)
{
    cairo_t* cr = c.Cr();
    // Lesson lines panel: dark glass for white text.
    RoundedRect(cr, 4, 2, 456, 150, 12);
    SetColor(cr, Hex(Pal::Navy, 0.78));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(Pal::Brass));
    cairo_set_line_width(cr, 3);
    cairo_stroke_preserve(cr);
    StrokeOutline(cr, 1);
    cairo_new_path(cr);
    cairo_rectangle(cr, 14, 30, 436, 1.5);
    SetColor(cr, Hex(0x7FD3E6, 0.5));
    cairo_fill(cr);
    // Right-hand panel: parchment for the black texts, room for the buttons.
    cairo_rectangle(cr, 464, 0, 176, 480);
    VerticalGradient(cr, 0, Hex(0xFBF4E2), 480, Hex(0xE4D2A8));
    cairo_fill(cr);
    cairo_rectangle(cr, 464, 0, 4, 480);
    SetColor(cr, Hex(Pal::Brass));
    cairo_fill(cr);
    cairo_rectangle(cr, 463, 0, 1.5, 480);
    SetColor(cr, Hex(Pal::Outline));
    cairo_fill(cr);
    SetFont(cr, "DejaVuSerif-Bold", 17);
    DrawText(cr, "TYPING TUTOR", 552, 36, Align::Center, Hex(0x1F5F80));
    cairo_rectangle(cr, 476, 44, 152, 1.5);
    SetColor(cr, Hex(Pal::Brass));
    cairo_fill(cr);
    // Keyboard body and caps: the body is smoked glass, so the fish that swim behind
    // it stay in sight as shadows.
    RoundedRect(cr, 12, 164, 434, 142, 12);
    VerticalGradient(cr, 164, Hex(0x4A5560, 0.8), 306, Hex(0x1E242C, 0.85));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    for (size_t i = 0; i < std::size(kKeys); ++i)
        Keycap(cr, i);
}

} // namespace

void RegisterTutor(Registry& reg)
{
    reg.Add("tutor_bg", [](Canvas& c, const ImageSpec&) { TutorScreen(c); });
    reg.Add("hands", [](Canvas& c, const ImageSpec&) { Hands(c); });
    for (int i = 0; i < 9; ++i) {
        reg.Add("finger" + std::to_string(i), [i](Canvas& c, const ImageSpec&) { Finger(c, i, false); });
        reg.Add("finger" + std::to_string(i) + "x", [i](Canvas& c, const ImageSpec&) { Finger(c, i, true); });
    }
    reg.Add("glowring", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        SoftSpot(cr, s.width / 2.0, s.height / 2.0, s.width / 2.0 - 1, Hex(0xFFE27A, 0.5));
        Ellipse(cr, s.width / 2.0, s.height / 2.0, s.width / 2.0 - 3, s.height / 2.0 - 3);
        SetColor(cr, Hex(0xFFFFFF, 0.85));
        cairo_fill_preserve(cr);
        SetColor(cr, Hex(0xFF9A2A));
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    });
    for (const Key& k : kKeys) {
        std::string name = k.name;
        reg.Add("glo_" + name, [k](Canvas& c, const ImageSpec& s) {
            cairo_t* cr = c.Cr();
            RoundedRect(cr, 1, 1, s.width - 2, s.height - 2, 5);
            SetColor(cr, Hex(0xFFE27A, 0.45));
            cairo_fill_preserve(cr);
            SetColor(cr, Hex(0xFFB020, 0.95));
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
            // The glow would wash out the label painted on the cap under it: it
            // carries the label again, in the cap's own letters and place.
            if (*k.label) {
                SetFont(cr, "DejaVuSans-Bold", std::string(k.label).size() > 1 ? 8 : 10);
                DrawText(cr, k.label, 5, 12, Align::Left, Hex(0x3A4450));
            }
        });
    }
}

} // namespace Zant::Art
