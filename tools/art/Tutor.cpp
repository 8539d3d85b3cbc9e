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

void KeySize(const std::string& name, double& w, double& h)
{
    struct S {
        const char* n;
        double w, h;
    };
    static const S sizes[] = {{"back", 48, 25},  {"caps", 44, 25},   {"enter", 52, 25}, {"lalt", 34, 25},
                              {"ralt", 34, 25},  {"lctrl", 40, 25},  {"rctrl", 40, 25}, {"lshift", 58, 25},
                              {"rshift", 62, 25}, {"space", 160, 24}, {"tab", 40, 25},  {"backslash", 30, 25}};
    w = 26;
    h = 25;
    for (const S& s : sizes)
        if (name == s.n) {
            w = s.w;
            h = s.h;
        }
}

void Keycap(cairo_t* cr, const Key& k)
{
    double w, h;
    KeySize(k.name, w, h);
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

void Finger(Canvas& c, bool thumb, bool lit)
{
    cairo_t* cr = c.Cr();
    double w = c.Width(), h = c.Height();
    if (lit)
        SoftSpot(cr, w / 2, thumb ? h / 2 : 14, thumb ? 18 : 16, Hex(0xFFE27A, 0.9));
    Rgb skin = lit ? Mix(kSkin, Hex(0xFFE27A), 0.45) : kSkin;
    if (thumb)
        RoundedRect(cr, 2, 3, w - 4, h - 6, (h - 6) / 2);
    else
        RoundedRect(cr, 3, 2, w - 6, h + 10, (w - 6) / 2);
    VerticalGradient(cr, 0, Lighter(skin, 0.2), h, Darker(skin, 0.15));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, lit ? 2 : 1.5);
    cairo_new_path(cr);
    // Nail.
    if (thumb)
        RoundedRect(cr, 4, 7, 9, h - 14, 4);
    else
        RoundedRect(cr, 7, 5, w - 14, 10, 4);
    SetColor(cr, Hex(0xFBE8DA));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x8A5A40, 0.6));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    if (!thumb) {
        SetColor(cr, Hex(0x8A5A40, 0.4));
        cairo_set_line_width(cr, 0.8);
        cairo_move_to(cr, 8, 28);
        cairo_line_to(cr, w - 8, 28);
        cairo_stroke(cr);
    }
}

void Hands(Canvas& c)
{
    cairo_t* cr = c.Cr();
    // Left palm with its own thumb; right palm leaves the thumb area open.
    cairo_move_to(cr, 8, 100);
    cairo_curve_to(cr, 4, 60, 10, 20, 30, 14);
    cairo_line_to(cr, 160, 14);
    cairo_curve_to(cr, 176, 16, 182, 30, 184, 46);
    cairo_curve_to(cr, 206, 44, 224, 52, 226, 62);
    cairo_curve_to(cr, 224, 72, 204, 74, 184, 70);
    cairo_curve_to(cr, 180, 86, 176, 96, 172, 100);
    cairo_close_path(cr);
    VerticalGradient(cr, 14, kSkin, 100, Darker(kSkin, 0.2));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    cairo_move_to(cr, 392, 100);
    cairo_curve_to(cr, 398, 60, 394, 20, 372, 14);
    cairo_line_to(cr, 244, 14);
    cairo_curve_to(cr, 232, 16, 228, 30, 228, 44);
    cairo_curve_to(cr, 236, 46, 246, 46, 262, 44);
    cairo_line_to(cr, 262, 80);
    cairo_curve_to(cr, 262, 90, 262, 96, 264, 100);
    cairo_close_path(cr);
    VerticalGradient(cr, 14, kSkin, 100, Darker(kSkin, 0.2));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    // Cuffs of the dive suit.
    cairo_rectangle(cr, 20, 88, 140, 12);
    cairo_rectangle(cr, 268, 88, 120, 12);
    SetColor(cr, Hex(0xF2C230));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 1.6);
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
    // Keyboard body and caps.
    RoundedRect(cr, 12, 164, 434, 142, 12);
    VerticalGradient(cr, 164, Hex(0x4A5560, 0.95), 306, Hex(0x1E242C, 0.95));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    for (const Key& k : kKeys)
        Keycap(cr, k);
}

} // namespace

void RegisterTutor(Registry& reg)
{
    reg.Add("tutor_bg", [](Canvas& c, const ImageSpec&) { TutorScreen(c); });
    reg.Add("hands", [](Canvas& c, const ImageSpec&) { Hands(c); });
    for (int i = 0; i < 9; ++i) {
        reg.Add("finger" + std::to_string(i), [i](Canvas& c, const ImageSpec&) { Finger(c, i == 4, false); });
        reg.Add("finger" + std::to_string(i) + "x", [i](Canvas& c, const ImageSpec&) { Finger(c, i == 4, true); });
    }
    reg.Add("glowring", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        SoftSpot(cr, s.width / 2.0, s.height / 2.0, s.width / 2.0, Hex(0xFFE27A, 0.5));
        Ellipse(cr, s.width / 2.0, s.height / 2.0, s.width / 2.0 - 3, s.height / 2.0 - 3);
        SetColor(cr, Hex(0xFFFFFF, 0.85));
        cairo_fill_preserve(cr);
        SetColor(cr, Hex(0xFF9A2A));
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    });
    for (const Key& k : kKeys) {
        std::string name = k.name;
        reg.Add("glo_" + name, [](Canvas& c, const ImageSpec& s) {
            cairo_t* cr = c.Cr();
            RoundedRect(cr, 1, 1, s.width - 2, s.height - 2, 5);
            SetColor(cr, Hex(0xFFE27A, 0.45));
            cairo_fill_preserve(cr);
            SetColor(cr, Hex(0xFFB020, 0.95));
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        });
    }
}

} // namespace Zant::Art
