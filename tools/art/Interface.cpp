// Panels, buttons and controls: the status bar, dialogs, tabs, cursors.
#include <algorithm>
#include <cmath>

#include "tools/art/Painters.h"

namespace Zant::Art {

namespace {

enum class Look { Normal, Over, Down };

// A brass-framed aqua glass button with a centred label.
void GlassButton(cairo_t* cr, double x, double y, double w, double h, const std::string& label, double size, Look look,
                 double radius = 8)
{
    if (look == Look::Down)
        y += 1;
    // Over: the glass lit from inside (clearly brighter, a glow along the rim
    // and the frame catching the light), so the pointer's button stands out.
    const bool over = look == Look::Over;
    Rgb glass = Hex(Pal::Glass);
    if (over)
        glass = Lighter(glass, 0.18);
    if (look == Look::Down)
        glass = Darker(glass, 0.2);
    RoundedRect(cr, x + 1, y + 1, w - 2, h - 2, radius);
    if (over)
        VerticalGradient(cr, y, Hex(0xFFE7A8), y + h, Hex(0xB08038));
    else
        VerticalGradient(cr, y, Hex(0xE8C070), y + h, Hex(0x8A6226));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    RoundedRect(cr, x + 4, y + 4, w - 8, h - 8, std::max(2.0, radius - 3));
    VerticalGradient3(cr, y + 4, Lighter(glass, 0.2), y + h * 0.45, Darker(glass, over ? 0.04 : 0.1), y + h - 4,
                      Darker(glass, over ? 0.4 : 0.5));
    cairo_fill(cr);
    if (over) {
        cairo_save(cr);
        RoundedRect(cr, x + 4, y + 4, w - 8, h - 8, std::max(2.0, radius - 3));
        cairo_clip(cr);
        SoftSpot(cr, x + w / 2, y + h * 0.55, std::max(w, h) * 0.55, Hex(0xBFF6FF, 0.22));
        for (int k = 0; k < 6; ++k) {
            RoundedRect(cr, x + 4 + k, y + 4 + k, w - 8 - 2 * k, h - 8 - 2 * k, std::max(2.0, radius - 3 - k));
            SetColor(cr, Hex(0xB6F4FF, 0.6 * (1.0 - k / 6.0)));
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
        cairo_restore(cr);
    }
    if (look != Look::Down) {
        RoundedRect(cr, x + 6, y + 5, w - 12, (h - 10) * 0.42, std::max(2.0, radius - 4));
        SetColor(cr, Hex(0xFFFFFF, over ? 0.3 : 0.18));
        cairo_fill(cr);
    }
    if (!label.empty()) {
        SetFont(cr, "DejaVuSans-Bold", size);
        double tw = TextWidth(cr, label);
        if (tw > w - 14)
            SetFont(cr, "DejaVuSans-Bold", size * (w - 14) / tw);
        cairo_font_extents_t fe;
        cairo_font_extents(cr, &fe);
        double base = y + h / 2 + (fe.ascent - fe.descent) / 2 - 1;
        DrawText(cr, label, x + w / 2, base, Align::Center, look == Look::Over ? Hex(0xFFFFFF) : Hex(Pal::PanelText), 1.6);
    }
}

// The status bar with its three buttons drawn in the given looks.
void StatusBar(cairo_t* cr, Look pause, Look options, Look quit)
{
    const double w = 640, h = 65;
    cairo_rectangle(cr, 0, 0, w, h);
    VerticalGradient3(cr, 0, Hex(0x3A8FB8), 6, Hex(0x1F5F80), h, Hex(0x0C2A40));
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 0, w, 2);
    SetColor(cr, Hex(Pal::Brass));
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 2, w, 1);
    SetColor(cr, Hex(Pal::Outline));
    cairo_fill(cr);
    Rand r(3);
    for (int i = 0; i < 30; ++i) {
        Ellipse(cr, r.Range(0, w), r.Range(10, h), 1.2, 1.2);
        SetColor(cr, Hex(0xFFFFFF, 0.1));
        cairo_fill(cr);
    }
    // The charge window: a brass frame round a hole the bar shows through.
    RoundedRect(cr, 106, 3, 250, 34, 7);
    VerticalGradient(cr, 3, Hex(0xE8C070), 37, Hex(0x8A6226));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    cairo_rectangle(cr, 117, 8, 228, 24);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    // Smoked glass across the window's middle, where the half-white captions are
    // written (their letters from y 17 to 26): it deepens the bar and its empty
    // grey under them and leaves the bar's glowing edges clear.
    cairo_pattern_t* glass = cairo_pattern_create_linear(0, 11, 0, 31);
    cairo_pattern_add_color_stop_rgba(glass, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(glass, 0.2, 0, 0, 0, 0.4);
    cairo_pattern_add_color_stop_rgba(glass, 0.85, 0, 0, 0, 0.4);
    cairo_pattern_add_color_stop_rgba(glass, 1, 0, 0, 0, 0);
    cairo_set_source(cr, glass);
    cairo_rectangle(cr, 117, 11, 228, 20);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
    cairo_rectangle(cr, 116, 7, 230, 26);
    SetColor(cr, Hex(Pal::Outline));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Gauge ticks under the window and a lightning badge at the left.
    for (int i = 0; i <= 10; ++i) {
        cairo_rectangle(cr, 117 + i * 22.8 - 0.5, 38, 1, i % 5 == 0 ? 6 : 3);
        SetColor(cr, Hex(0xFFE9A8, 0.6));
        cairo_fill(cr);
    }
    Ellipse(cr, 62, 26, 22, 18);
    VerticalGradient(cr, 8, Hex(0xE8C070), 44, Hex(0x8A6226));
    cairo_fill_preserve(cr);
    StrokeOutline(cr, 2);
    cairo_new_path(cr);
    cairo_move_to(cr, 66, 12);
    cairo_line_to(cr, 54, 28);
    cairo_line_to(cr, 62, 28);
    cairo_line_to(cr, 56, 41);
    cairo_line_to(cr, 71, 22);
    cairo_line_to(cr, 63, 22);
    cairo_close_path(cr);
    FillOutlined(cr, Hex(0x9FEFFF), 1.4);
    cairo_new_path(cr);
    SetFont(cr, "DejaVuSans-Bold", 9);
    DrawText(cr, "DOZAV ODAZIZ", 231, 52, Align::Center, Hex(0xFFE9A8, 0.85), 1);
    GlassButton(cr, 380, 4, 82, 30, "PAUSE", 12, pause, 7);
    GlassButton(cr, 466, 4, 81, 30, "OPTIONS", 12, options, 7);
    GlassButton(cr, 553, 4, 81, 30, "QUIT", 12, quit, 7);
}

void PaintStatusCut(Canvas& c, int which, Look look, int x)
{
    Canvas full(640, 65);
    Look looks[3] = {Look::Normal, Look::Normal, Look::Normal};
    looks[which] = look;
    // Only the button itself: the cut keeps its own rectangle of the bar.
    StatusBar(full.Cr(), looks[0], looks[1], looks[2]);
    CopyRegion(c, full.Surface(), x, 4);
}

// A nine-part frame whose middle cells are uniform so they tile: a bevelled
// brass frame, a shadow cast inward by it and a faint sea-glass ripple that
// repeats with the middle cells, finished like the other panels.
void NinePanel(Canvas& c, Rgb fill, Rgb frame, double border, double radius)
{
    cairo_t* cr = c.Cr();
    const double w = c.Width(), h = c.Height();
    RoundedRect(cr, 1, 1, w - 2, h - 2, radius);
    SetColor(cr, Hex(Pal::Outline, 0.9));
    cairo_fill(cr);
    RoundedRect(cr, 2.5, 2.5, w - 5, h - 5, radius - 1.5);
    SetColor(cr, frame);
    cairo_fill(cr);
    // Bevel: a lit ring on the outer half of the frame, a shaded one inside.
    RoundedRect(cr, 3.5, 3.5, w - 7, h - 7, radius - 2.5);
    SetColor(cr, Hex(0xFFE7A8, 0.7));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    RoundedRect(cr, border - 1.5, border - 1.5, w - 2 * border + 3, h - 2 * border + 3, std::max(1.0, radius - border + 3.5));
    SetColor(cr, Hex(0x6A4A1E, 0.8));
    cairo_stroke(cr);
    // Rivets in the frame's corners (drawn once: corners never repeat),
    // halfway across the band where it turns.
    const double outer = radius - 1.5, centre = 2.5 + outer;
    const double along = centre - (outer - (border - 2.5) / 2) * std::sqrt(0.5);
    for (double cx : {along, w - along})
        for (double cy : {along, h - along}) {
            Ellipse(cr, cx, cy, 2, 2);
            FillOutlined(cr, Hex(0xD8A858), 0.8);
            cairo_new_path(cr);
            Ellipse(cr, cx - 0.6, cy - 0.6, 0.8, 0.8);
            SetColor(cr, Hex(0xFFF2C8, 0.9));
            cairo_fill(cr);
        }
    const double inset = border + 1;
    RoundedRect(cr, border, border, w - 2 * border, h - 2 * border, std::max(1.0, radius - border + 2));
    SetColor(cr, Hex(Pal::Outline, 0.9));
    cairo_fill(cr);
    RoundedRect(cr, inset, inset, w - 2 * inset, h - 2 * inset, std::max(1.0, radius - border + 1));
    SetColor(cr, fill);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    RippleTexture(cr, int(w), int(h), w / 3, h / 3, 0.05, 5);
    // The frame's shadow inside, deepest at the edge; light from the top.
    for (int k = 0; k < 5; ++k) {
        RoundedRect(cr, inset + k, inset + k, w - 2 * (inset + k), h - 2 * (inset + k), std::max(1.0, radius - border + 1 - k));
        SetColor(cr, Hex(0x0A3040, 0.16 * (1.0 - k / 5.0)));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void Arrow(cairo_t* cr)
{
    // Tip at (0, 0).
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 0, 19);
    cairo_line_to(cr, 5, 14.5);
    cairo_line_to(cr, 8.5, 22);
    cairo_line_to(cr, 11.5, 20.5);
    cairo_line_to(cr, 8, 13.5);
    cairo_line_to(cr, 14, 13);
    cairo_close_path(cr);
}

void Hand(cairo_t* cr, bool closed)
{
    // Fingertip (or fist centre) at (0, 0).
    Rgb skin = Hex(0xF6E2C4);
    if (!closed) {
        RoundedRect(cr, -3, -1, 6, 14, 3);
        FillOutlined(cr, skin, 1.4);
        cairo_new_path(cr);
        for (int f = 0; f < 3; ++f) {
            RoundedRect(cr, 3 + f * 5, 7, 5.5, 9, 2.5);
            FillOutlined(cr, skin, 1.4);
            cairo_new_path(cr);
        }
        RoundedRect(cr, -4, 12, 21, 13, 5);
        FillOutlined(cr, skin, 1.4);
        cairo_new_path(cr);
    } else {
        RoundedRect(cr, -9, -6, 18, 14, 5);
        FillOutlined(cr, skin, 1.4);
        cairo_new_path(cr);
        SetColor(cr, Hex(Pal::Outline, 0.7));
        cairo_set_line_width(cr, 1);
        for (int f = 1; f < 4; ++f) {
            cairo_move_to(cr, -9 + f * 4.5, -6);
            cairo_line_to(cr, -9 + f * 4.5, -1);
        }
        cairo_stroke(cr);
        RoundedRect(cr, -8, 6, 16, 8, 3);
        FillOutlined(cr, skin, 1.4);
        cairo_new_path(cr);
    }
}

} // namespace

void RegisterInterface(Registry& reg)
{
    reg.Add("statusbarX", [](Canvas& c, const ImageSpec&) { StatusBar(c.Cr(), Look::Normal, Look::Normal, Look::Normal); });
    reg.Add("statusbarX_pause_over", [](Canvas& c, const ImageSpec&) { PaintStatusCut(c, 0, Look::Over, 380); });
    reg.Add("statusbarX_pause_down", [](Canvas& c, const ImageSpec&) { PaintStatusCut(c, 0, Look::Down, 380); });
    reg.Add("statusbarX_options_over", [](Canvas& c, const ImageSpec&) { PaintStatusCut(c, 1, Look::Over, 467); });
    reg.Add("statusbarX_options_down", [](Canvas& c, const ImageSpec&) { PaintStatusCut(c, 1, Look::Down, 467); });
    reg.Add("statusbarX_quit_over", [](Canvas& c, const ImageSpec&) { PaintStatusCut(c, 2, Look::Over, 553); });
    reg.Add("statusbarX_quit_down", [](Canvas& c, const ImageSpec&) { PaintStatusCut(c, 2, Look::Down, 553); });
    reg.Add("statusbarmeter", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        // A deep charge, so that the half-transparent white captions drawn over
        // it ("CHARGING", "READY!", "PRESS ENTER TO FIRE!", their letters from 4 px
        // down to 5 px above the bottom) read at 4.5:1 and more; it glows along its
        // top and bottom edges, where no letter comes, and so stands apart from the
        // dark grey of the empty part.
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, s.width, 0);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.016, 0.055, 0.19);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.039, 0.118, 0.345);
        cairo_set_source(cr, p);
        cairo_paint(cr);
        cairo_pattern_destroy(p);
        const auto glow = [&](double from, double to, Rgb edge) {
            cairo_pattern_t* g = cairo_pattern_create_linear(0, from, 0, to);
            cairo_pattern_add_color_stop_rgba(g, 0, edge.r, edge.g, edge.b, edge.a);
            cairo_pattern_add_color_stop_rgba(g, 1, edge.r, edge.g, edge.b, 0);
            cairo_set_source(cr, g);
            cairo_rectangle(cr, 0, std::min(from, to), s.width, std::abs(to - from));
            cairo_fill(cr);
            cairo_pattern_destroy(g);
        };
        glow(0, 5, Hex(0x7FD3FF, 0.95));
        glow(s.height, s.height - 4, Hex(0x3A9AF0, 0.85));
        for (int x = 6; x < s.width; x += 12) {
            cairo_move_to(cr, x, 0);
            cairo_line_to(cr, x - 2, 4);
            cairo_move_to(cr, x - 4, s.height - 3);
            cairo_line_to(cr, x - 5, s.height);
            SetColor(cr, Hex(0xFFFFFF, 0.25));
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
    });
    auto battery = [](Canvas& c, bool up) {
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 4, 5, 16, 23, 3);
        FillOutlined(cr, Hex(0x2A3038), 1.6);
        cairo_new_path(cr);
        cairo_rectangle(cr, 9, 2, 6, 4);
        FillOutlined(cr, Hex(Pal::Brass), 1.2);
        cairo_new_path(cr);
        cairo_rectangle(cr, 7, up ? 9 : 21, 10, up ? 17 : 5);
        SetColor(cr, up ? Hex(0x5CFF8A) : Hex(0xD64545));
        cairo_fill(cr);
    };
    reg.Add("statusbarX_battery_up", [battery](Canvas& c, const ImageSpec&) { battery(c, true); });
    reg.Add("statusbarX_battery_down", [battery](Canvas& c, const ImageSpec&) { battery(c, false); });
    reg.Add("statusbarX_ready", [](Canvas& c, const ImageSpec& s) {
        GlassButton(c.Cr(), 0, 0, s.width, s.height, "READY!", 12, Look::Over, 7);
    });

    // Dialog frame: brass edge, pale sea-glass inside for the black text.
    reg.Add("dialog", [](Canvas& c, const ImageSpec&) { NinePanel(c, Hex(0xDDF0F4), Hex(Pal::Brass), 9, 16); });
    reg.Add("dbutton", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        double w = s.width, h = s.height;
        RoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 6);
        SetColor(cr, Hex(Pal::Outline, 0.9));
        cairo_fill(cr);
        RoundedRect(cr, 1.5, 1.5, w - 3, h - 3, 5);
        SetColor(cr, Hex(Pal::Brass));
        cairo_fill(cr);
        // The inside is a horizontal band pattern: uniform along x so it tiles,
        // and rows 10-19 carry the middle colour so it tiles downwards too. The
        // bands are light enough for the black captions (over 4.5:1).
        cairo_rectangle(cr, 3, 3, w - 6, h - 6);
        SetColor(cr, Hex(0x5BA8CC));
        cairo_fill(cr);
        cairo_rectangle(cr, 3, 3, w - 6, 6);
        SetColor(cr, Hex(0x8CC8E4));
        cairo_fill(cr);
        cairo_rectangle(cr, 3, h - 9, w - 6, 6);
        SetColor(cr, Hex(0x3588B0));
        cairo_fill(cr);
    });
    reg.Add("dbutton_hilight", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        double w = s.width, h = s.height;
        RoundedRect(cr, 1, 1, w - 2, h - 2, 9);
        SetColor(cr, Hex(0xFFE27A, 0.95));
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        RoundedRect(cr, 4, 4, w - 8, h - 8, 7);
        SetColor(cr, Hex(0xFFE27A, 0.25));
        cairo_fill(cr);
    });
    reg.Add("editbox", [](Canvas& c, const ImageSpec&) {
        cairo_t* cr = c.Cr();
        // Left cap, tiling middle, right cap, each 32x32.
        RoundedRect(cr, 1, 1, 94, 30, 8);
        SetColor(cr, Hex(Pal::Outline, 0.9));
        cairo_fill(cr);
        RoundedRect(cr, 2.5, 2.5, 91, 27, 7);
        SetColor(cr, Hex(Pal::Brass));
        cairo_fill(cr);
        // Deep water inside: the name is typed in pale blue-white and selected
        // in black on white, both of which need a dark field to read.
        RoundedRect(cr, 5, 5, 86, 22, 5);
        SetColor(cr, Hex(0x0E2A40));
        cairo_fill(cr);
        cairo_rectangle(cr, 5, 5, 86, 3);
        SetColor(cr, Hex(0x061826));
        cairo_fill(cr);
    });
    reg.Add("checked", [](Canvas& c, const ImageSpec&) {
        cairo_t* cr = c.Cr();
        for (int cel = 0; cel < 2; ++cel) {
            double x = cel * 24;
            RoundedRect(cr, x + 2, 2.5, 20, 20, 4);
            VerticalGradient(cr, 2, Hex(0xFFFFFF), 22, Hex(0xC8DCE4));
            cairo_fill_preserve(cr);
            SetColor(cr, Hex(Pal::Brass));
            cairo_set_line_width(cr, 2.5);
            cairo_stroke_preserve(cr);
            StrokeOutline(cr, 1);
            cairo_new_path(cr);
            if (cel == 1) {
                cairo_move_to(cr, x + 6, 12);
                cairo_line_to(cr, x + 11, 18);
                cairo_line_to(cr, x + 20, 4);
                SetColor(cr, Hex(Pal::Outline));
                cairo_set_line_width(cr, 4.5);
                cairo_stroke_preserve(cr);
                SetColor(cr, Hex(0x2ECC71));
                cairo_set_line_width(cr, 2.5);
                cairo_stroke(cr);
            }
        }
    });
    reg.Add("slider", [](Canvas& c, const ImageSpec&) {
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 1, 2, 46, 8, 4);
        SetColor(cr, Hex(Pal::Outline, 0.9));
        cairo_fill(cr);
        RoundedRect(cr, 2, 3, 44, 6, 3);
        VerticalGradient(cr, 3, Hex(0x0F3A52), 9, Hex(0x3A8FB8));
        cairo_fill(cr);
    });
    reg.Add("slideranchor", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 2, 1, s.width - 4, s.height - 2, 6);
        VerticalGradient(cr, 0, Hex(0xF0D080), s.height, Hex(0x8A6226));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.6);
        cairo_new_path(cr);
        for (int i = -1; i <= 1; ++i) {
            cairo_rectangle(cr, s.width / 2.0 - 4, s.height / 2.0 + i * 4 - 0.5, 8, 1);
            SetColor(cr, Hex(0x5A3A10, 0.8));
            cairo_fill(cr);
        }
    });
    reg.Add("waitbar", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        SetColor(cr, Hex(0x1F6A90));
        cairo_paint(cr);
        for (int k = -1; k <= 1; ++k) {
            double x = k * 32;
            cairo_move_to(cr, x + 0, s.height);
            cairo_line_to(cr, x + 16, 0);
            cairo_line_to(cr, x + 32, 0);
            cairo_line_to(cr, x + 16, s.height);
            cairo_close_path(cr);
            SetColor(cr, Hex(0x7FD3E6));
            cairo_fill(cr);
        }
        cairo_rectangle(cr, 0, 0, 32, 5);
        SetColor(cr, Hex(0xFFFFFF, 0.25));
        cairo_fill(cr);
    });

    // Tabs of the statistics screen: three slices (left, tiling middle, right).
    auto tab = [](Canvas& c, bool active) {
        cairo_t* cr = c.Cr();
        double w = c.Width(), h = c.Height();
        Rgb top = active ? Hex(0xF6EBD0) : Hex(0xB8A888), bottom = active ? Hex(0xE8D8B0) : Hex(0x9A8A6A);
        cairo_move_to(cr, 1, h);
        cairo_curve_to(cr, 1, 6, 4, 2, 14, 2);
        cairo_line_to(cr, w - 14, 2);
        cairo_curve_to(cr, w - 4, 2, w - 1, 6, w - 1, h);
        cairo_close_path(cr);
        VerticalGradient(cr, 2, top, h, bottom);
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
    };
    reg.Add("tab_top", [tab](Canvas& c, const ImageSpec&) { tab(c, true); });
    reg.Add("tab_top_shadow", [tab](Canvas& c, const ImageSpec&) { tab(c, false); });
    reg.Add("tab_panel", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 6, 0, s.width - 12, s.height - 6, 12);
        VerticalGradient(cr, 0, Hex(0xF6EBD0), s.height, Hex(0xE0CCA0));
        cairo_fill_preserve(cr);
        SetColor(cr, Hex(Pal::Brass));
        cairo_set_line_width(cr, 5);
        cairo_stroke_preserve(cr);
        StrokeOutline(cr, 1.5);
    });
    // The graph's backdrop: a pale chart card in a thin brass frame, its shadow
    // cast inward and a faint ripple, under the lines the game draws.
    reg.Add("tab_panel_white", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 4, 4, s.width - 4, s.height - 4, 8);
        SetColor(cr, Hex(0x000000, 0.25));
        cairo_fill(cr);
        RoundedRect(cr, 1, 1, s.width - 5, s.height - 5, 8);
        VerticalGradient(cr, 1, Hex(0xE8C070), s.height - 4, Hex(0x8A6226));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.5);
        cairo_new_path(cr);
        RoundedRect(cr, 5, 5, s.width - 13, s.height - 13, 5);
        VerticalGradient(cr, 5, Hex(0xFFFFFF), s.height - 8, Hex(0xEAF4F6));
        cairo_fill_preserve(cr);
        cairo_save(cr);
        cairo_clip_preserve(cr);
        StrokeOutline(cr, 1.5, 0.7);
        RippleTexture(cr, s.width, s.height, s.width, s.height, 0.035, 11);
        for (int k = 1; k < 5; ++k) {
            RoundedRect(cr, 5 + k, 5 + k, s.width - 13 - 2 * k, s.height - 13 - 2 * k, std::max(1.0, 5.0 - k));
            SetColor(cr, Hex(0x0A3040, 0.1 * (1.0 - k / 5.0)));
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
        cairo_restore(cr);
    });
    reg.Add("tab_button", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        double w = s.width, h = s.height;
        RoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 6);
        SetColor(cr, Hex(Pal::Outline, 0.9));
        cairo_fill(cr);
        RoundedRect(cr, 1.5, 1.5, w - 3, h - 3, 5);
        SetColor(cr, Hex(Pal::Brass));
        cairo_fill(cr);
        cairo_rectangle(cr, 3, 3, w - 6, h - 6);
        SetColor(cr, Hex(0x6A4A1E));
        cairo_fill(cr);
        cairo_rectangle(cr, 3, 3, w - 6, 5);
        SetColor(cr, Hex(0x8A6A32));
        cairo_fill(cr);
    });
    auto radio = [](Canvas& c, bool active) {
        cairo_t* cr = c.Cr();
        double w = c.Width(), h = c.Height();
        RoundedRect(cr, 1, 1, w - 2, h - 2, h / 2 - 1);
        VerticalGradient(cr, 0, active ? Hex(0xFFE9A8) : Hex(0xF6EBD0), h, active ? Hex(0xE8B850) : Hex(0xD8C8A0));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.5);
        cairo_new_path(cr);
        Ellipse(cr, 13, h / 2, 7, 7);
        FillOutlined(cr, Hex(0xFFFFFF), 1.4);
        cairo_new_path(cr);
        if (active) {
            Ellipse(cr, 13, h / 2, 3.5, 3.5);
            SetColor(cr, Hex(0x1F6A90));
            cairo_fill(cr);
        }
    };
    reg.Add("tab_radiobtn_active", [radio](Canvas& c, const ImageSpec&) { radio(c, true); });
    reg.Add("tab_radiobtn_inactive", [radio](Canvas& c, const ImageSpec&) { radio(c, false); });
    reg.Add("tab_panel_question", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 3, 3, s.width - 6, s.height - 6, 8);
        VerticalGradient(cr, 0, Hex(0xD8C8A0), s.height, Hex(0xB8A070));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.6);
        SetFont(cr, "DejaVuSerif-Bold", 30);
        DrawText(cr, "?", s.width / 2.0, 36, Align::Center, Hex(0x6A4A1E), 1, Hex(0xFFF6D8, 0.8));
    });

    // Cursors: the hot spot is the image centre.
    reg.Add("cursor1", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        cairo_translate(cr, s.width / 2.0, s.height / 2.0);
        Arrow(cr);
        SetColor(cr, Hex(0xFFFFFF));
        cairo_fill_preserve(cr);
        SetColor(cr, Hex(0x0A1420));
        cairo_set_line_width(cr, 1.4);
        cairo_stroke(cr);
        cairo_rectangle(cr, -0.5, -0.5, 1, 1);
        SetColor(cr, Hex(0x0A1420));
        cairo_fill(cr);
    });
    reg.Add("pointer2", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        cairo_translate(cr, s.width / 2.0, s.height / 2.0);
        Hand(cr, false);
    });
    reg.Add("overhand", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        cairo_translate(cr, s.width / 2.0, s.height / 2.0);
        Hand(cr, true);
    });
    reg.Add("quillet", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        double cx = s.width / 2.0;
        cairo_move_to(cr, cx - 4, 2);
        cairo_line_to(cr, cx + 4, 2);
        cairo_move_to(cr, cx, 2);
        cairo_line_to(cr, cx, s.height - 2);
        cairo_move_to(cr, cx - 4, s.height - 2);
        cairo_line_to(cr, cx + 4, s.height - 2);
        SetColor(cr, Hex(0xFFFFFF));
        cairo_set_line_width(cr, 4);
        cairo_stroke_preserve(cr);
        SetColor(cr, Hex(0x0A1420));
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
    });
    reg.Add("icon", [](Canvas& c, const ImageSpec& s) {
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 2, 2, s.width - 4, s.height - 4, 12);
        VerticalGradient(cr, 0, Hex(0x7FD3E6), s.height, Hex(0x0B1E3A));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        // The diver's brass helmet.
        Ellipse(cr, 32, 34, 20, 20);
        VerticalGradient(cr, 14, Hex(0xF0D080), 54, Hex(0x7A5420));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 2);
        cairo_new_path(cr);
        Ellipse(cr, 36, 35, 10, 10);
        VerticalGradient(cr, 25, Hex(0x9FE0F0), 45, Hex(0x1A4A66));
        cairo_fill_preserve(cr);
        StrokeOutline(cr, 1.6);
        cairo_new_path(cr);
        Ellipse(cr, 33, 31, 3, 2);
        SetColor(cr, Hex(0xFFFFFF, 0.9));
        cairo_fill(cr);
    });
}

// Shared with the screens: the menu's buttons use the same glass look.
void PaintGlassButton(cairo_t* cr, double x, double y, double w, double h, const std::string& label, double size, int look,
                      double radius)
{
    GlassButton(cr, x, y, w, h, label, size, Look(look), radius);
}

} // namespace Zant::Art
