// Scene sheets: the painted images put together the way the game draws them
// (same images, same places, same order), so the whole can be judged as a
// player sees it rather than one picture at a time.
#include <cairo.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/art/ImageFile.h"
#include "tools/art/Paint.h"
#include "tools/art/Sheets.h"

namespace Zant::Art {

namespace {

constexpr int ScreenW = 640, ScreenH = 480;
constexpr int StatusTop = 415; // the play area ends where the 65-px status bar starts

// The painted images by name, as cairo surfaces made on first use.
class Library {
public:
    explicit Library(const std::vector<PaintedImage>& images)
    {
        for (const PaintedImage& image : images)
            if (image.entry)
                mImages[image.entry->name] = &image;
    }
    ~Library()
    {
        for (auto& [key, surface] : mSurfaces)
            cairo_surface_destroy(surface);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    const ImageSpec* Entry(const std::string& name) const
    {
        auto found = mImages.find(name);
        return found == mImages.end() ? nullptr : found->second->entry;
    }

    // The image multiplied channel by channel (255 keeps a channel), as the
    // game's tinted copies are; null when the image was not painted.
    cairo_surface_t* Surface(const std::string& name, int r = 255, int g = 255, int b = 255, int a = 255)
    {
        const std::string key = name + "/" + std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b) +
                                "," + std::to_string(a);
        if (auto found = mSurfaces.find(key); found != mSurfaces.end())
            return found->second;
        auto image = mImages.find(name);
        if (image == mImages.end())
            return nullptr;
        PaintedImage tinted = *image->second;
        if (r != 255 || g != 255 || b != 255 || a != 255) {
            const int k[4] = {r, g, b, a};
            for (size_t i = 0; i < tinted.rgba.size(); ++i)
                tinted.rgba[i] = uint8_t(tinted.rgba[i] * k[i % 4] / 256);
        }
        cairo_surface_t* surface = SurfaceOf(tinted);
        mSurfaces[key] = surface;
        return surface;
    }

private:
    std::map<std::string, const PaintedImage*> mImages;
    std::map<std::string, cairo_surface_t*> mSurfaces;
};

struct Look {
    bool mirror = false;   // turned to face the other way, cel by cel
    bool additive = false; // glows: light added, black adds nothing
    double alpha = 1.0;
    int tint[4] = {255, 255, 255, 255};
    int clipWidth = -1; // only the left part of the cel (bars)
};

// Draws cel `cel` of an image with its top-left corner at (x, y).
void Blit(cairo_t* cr, Library& lib, const std::string& name, int cel, double x, double y, const Look& look = {})
{
    const ImageSpec* entry = lib.Entry(name);
    cairo_surface_t* src = lib.Surface(name, look.tint[0], look.tint[1], look.tint[2], look.tint[3]);
    if (!entry || !src)
        return;
    const int cw = entry->CelWidth(), ch = entry->CelHeight();
    cel %= entry->CelCount();
    const int sx = (cel % entry->columns) * cw, sy = (cel / entry->columns) * ch;
    const int w = look.clipWidth >= 0 ? std::min(look.clipWidth, cw) : cw;
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, ch);
    cairo_clip(cr);
    cairo_translate(cr, x, y);
    if (look.mirror) {
        cairo_translate(cr, cw, 0);
        cairo_scale(cr, -1, 1);
    }
    cairo_set_source_surface(cr, src, -sx, -sy);
    if (look.additive)
        cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_paint_with_alpha(cr, look.alpha);
    cairo_restore(cr);
}

void Fill(cairo_t* cr, double x, double y, double w, double h, Rgb c)
{
    cairo_rectangle(cr, x, y, w, h);
    SetColor(cr, c);
    cairo_fill(cr);
}

// Text in a plain font standing in for the game's bitmap fonts.
void Say(cairo_t* cr, const std::string& text, double x, double baseline, double size, Rgb colour,
         Align align = Align::Left, bool bold = true)
{
    SetFont(cr, bold ? "DejaVuSans-Bold" : "DejaVuSans", size);
    DrawText(cr, text, x, baseline, align, colour);
}

// ---------------------------------------------------------- play field --

// A shark's word as the game places it: centred on the cel plus the kind's
// offset, the typed letters in the typed colour.
void SharkWord(cairo_t* cr, double x, double y, const std::string& word, size_t typed, double offX, double offY,
               Rgb typedColour)
{
    SetFont(cr, "DejaVuSans-Bold", 14);
    const double cx = x + 85 + offX, baseline = y + 38 + offY + 5;
    double left = std::trunc(cx - std::floor(TextWidth(cr, word) / 2) - 5);
    DrawText(cr, word.substr(0, typed), left, baseline, Align::Left, typedColour);
    DrawText(cr, word.substr(typed), left + TextWidth(cr, word.substr(0, typed)), baseline, Align::Left, Hex(0));
}

void PiranhaLetter(cairo_t* cr, double x, double y, const std::string& letter, Rgb colour)
{
    SetFont(cr, "DejaVuSans-Bold", 13);
    DrawText(cr, letter, x + 30 - std::floor(TextWidth(cr, letter) / 2) - 5, y + 6 + 28, Align::Left, colour);
}

void Diver(cairo_t* cr, Library& lib, double x, double y, int cel)
{
    const ImageSpec* hose = lib.Entry("upper_hose");
    if (hose) {
        const int h = hose->height;
        Blit(cr, lib, "upper_hose", cel, 40, y - h + 3);
        Blit(cr, lib, "upper_hose", cel, 40, y - 2 * h + 3);
    }
    Blit(cr, lib, "diver_idle", cel, x, y);
}

void Header(cairo_t* cr, const std::string& level, const std::string& points)
{
    Fill(cr, 0, 0, ScreenW, 25, Hex(0, 0.5));
    SetFont(cr, "DejaVuSans-Bold", 12);
    double x = 4;
    for (auto [text, colour] : {std::pair{std::string("LEVEL: "), Hex(0xFFFFFF)}, std::pair{level + "     ", Hex(0xC8C8C8)},
                                std::pair{points, Hex(0xFFFFFF)}, std::pair{std::string(" Points"), Hex(0xC8C8C8)}}) {
        DrawText(cr, text, x, 17, Align::Left, colour);
        x += TextWidth(cr, text);
    }
    DrawText(cr, "Lives left: 3", ScreenW - 5, 17, Align::Right, Hex(0xC8C8C8));
}

void StatusBar(cairo_t* cr, Library& lib, double charge, const std::string& text, double textX)
{
    const int w = int(charge * 228);
    Look bar;
    bar.clipWidth = w;
    Blit(cr, lib, "statusbarmeter", 0, 117, StatusTop + 8, bar);
    Fill(cr, 117 + w, StatusTop + 8, 228 - w, 24, Hex(0x2B2B2B));
    Blit(cr, lib, "statusbarX", 0, 0, StatusTop);
    Say(cr, text, textX, StatusTop + 26, 12, Hex(0xFFFFFF, 0.5));
}

void Bubble(cairo_t* cr, Library& lib, int size, double x, double y)
{
    Blit(cr, lib, "bubble" + std::to_string(size), 0, x, y);
}

// The start of a level: the surface scene still in view, the first wave swimming in.
void PlayStart(cairo_t* cr, Library& lib)
{
    Blit(cr, lib, "water1", 0, 0, 0);
    Look blue;
    blue.tint[0] = blue.tint[1] = 50;
    for (int i = 0; i < 5; ++i)
        Blit(cr, lib, "smallcarn", 3 + i * 4, 400 + i * 23 - (i % 2) * 9, 350 + (i % 3) * 11, blue);
    Blit(cr, lib, "smallgoldfish", 7, 180, 200);
    Blit(cr, lib, "smallgoldfish", 15, 204, 212);
    Blit(cr, lib, "piranha_basic_swim", 4, 300, 236);
    PiranhaLetter(cr, 300, 236, "K", Hex(0));
    Blit(cr, lib, "shark_basic_swim", 6, 380, 112);
    SharkWord(cr, 380, 112, "OCEAN", 2, 11, 0, Hex(0xFFFF64));
    Blit(cr, lib, "shark_black_swim", 13, 150, 290);
    SharkWord(cr, 150, 290, "DEEP", 0, 4, 1, Hex(0xFFFFFF));
    Blit(cr, lib, "bonus_creature_swim", 5, 500, 225);
    SetFont(cr, "DejaVuSans-Bold", 12);
    DrawText(cr, "SUN", 500 + 47, 225 + 56 - 14, Align::Center, Hex(0));
    Diver(cr, lib, 30, 150, 2);
    Bubble(cr, lib, 1, 70, 138);
    Bubble(cr, lib, 2, 64, 112);
    Bubble(cr, lib, 3, 72, 70);
    Blit(cr, lib, "topbackground", 0, 0, -70);
    Header(cr, "1", "0");
    StatusBar(cr, lib, 0.35, "CHARGING", 193);
}

// A surface scene at the very start of a level, before the descent scrolls it away.
void Surface(cairo_t* cr, Library& lib, const std::string& scene)
{
    Blit(cr, lib, "water1", 0, 0, 0);
    Blit(cr, lib, "shark_basic_swim", 9, 420, 300);
    SharkWord(cr, 420, 300, "WAVE", 0, 11, 0, Hex(0xFFFF64));
    Blit(cr, lib, "piranha_basic_swim", 3, 330, 200);
    PiranhaLetter(cr, 330, 200, "P", Hex(0));
    Diver(cr, lib, 30, 100, 0);
    Blit(cr, lib, scene, 0, 0, 0);
    Header(cr, "1", "0");
    StatusBar(cr, lib, 0.0, "CHARGING", 193);
}

// The floor reached: scenery layers at rest, a boss fight with the glowing sharks.
void PlayFloor(cairo_t* cr, Library& lib)
{
    Blit(cr, lib, "water1", 0, 0, 0);
    Blit(cr, lib, "mountain3", 0, 0, 143);
    Blit(cr, lib, "mountain2", 0, 0, 259);
    Blit(cr, lib, "mountain1", 0, 0, 318);
    Blit(cr, lib, "oceanfloor", 0, 0, 275);
    Look glow;
    glow.additive = true;
    Blit(cr, lib, "shark_ghost_glow_swim", 3, 120 - 10, 92 - 10, glow);
    Blit(cr, lib, "shark_ghost_swim", 3, 120, 92);
    SharkWord(cr, 120, 92, "HAUNT", 2, 11, 0, Hex(0xFFFF64));
    Blit(cr, lib, "toxic_glow_swim", 11, 215 - 10, 228 - 10, glow);
    Blit(cr, lib, "toxic_basic_swim", 11, 215, 228);
    SharkWord(cr, 215, 228, "SLUDGE", 3, 11, 0, Hex(0xFFFF64));
    Blit(cr, lib, "piranha_white_swim", 9, 120, 330);
    PiranhaLetter(cr, 120, 330, "Q", Hex(0));
    Diver(cr, lib, 30, 235, 5);
    Blit(cr, lib, "torpedo_boss_bobbing", 0, 384, 150);
    Blit(cr, lib, "torpedo_boss_rotor", 3, 384 + 227, 150 + 54);
    Blit(cr, lib, "torpedo_swim", 0, 330, 110);
    Blit(cr, lib, "rotor_torpedo", 4, 330 + 113, 110);
    Say(cr, "TORPEDO", 338, 131, 13, Hex(0));
    Blit(cr, lib, "boss_meter", 0, 124, 38);
    Look fill;
    fill.clipWidth = int(0.62 * 294);
    Blit(cr, lib, "boss_meter_fill", 0, 160, 48, fill);
    Header(cr, "9", "48210");
    StatusBar(cr, lib, 1.0, "READY!", 204);
}

// The secret bonus level: sand, coral and clams to open.
void PlaySpecial(cairo_t* cr, Library& lib)
{
    Blit(cr, lib, "water1", 0, 0, 0);
    Blit(cr, lib, "sand", 0, 0, 275);
    Blit(cr, lib, "coralshelf", 0, 126, 275);
    Say(cr, "SECRET BONUS LEVEL!", 320, 60, 22, Hex(0xFDA03D), Align::Center);
    Say(cr, "Type the letter on a clam to open it before time runs out.", 320, 85, 12, Hex(0xFFFFFF), Align::Center);
    // The 22 clams in the four rows the level lays out; a few opening or open.
    const char* letters = "QWERTYUIOPASDFGHJKLZXC";
    int k = 0;
    for (int row = 0; row < 4; ++row) {
        const int count = row % 2 ? 6 : 5, y = row == 0 ? 170 : row == 1 ? 220 : row == 2 ? 280 : 330;
        for (int i = 0; i < count; ++i, ++k) {
            const int x = (row % 2 ? 175 : 200) + i * 50;
            const int cel = k == 4 ? 19 : k == 9 ? 39 : k == 13 ? 25 : k == 17 ? 29 : (k * 3) % 10;
            Blit(cr, lib, "clams", cel, x, y);
            SetFont(cr, "DejaVuSans-Bold", 11);
            DrawText(cr, std::string(1, letters[k]), x + 20, y + 41, Align::Left, Hex(0xFFFFFF));
        }
    }
    Diver(cr, lib, 30, 235, 1);
    Header(cr, "5", "12400");
    StatusBar(cr, lib, 0.8, "CHARGING", 193);
}

// Open water in the abyss: a shark turned back at the diver, a red flash, a
// see-through stealth piranha, a dying jellyfish and the fight cloud.
void PlayAbyss(cairo_t* cr, Library& lib)
{
    Blit(cr, lib, "water1", 0, -40, 0);
    for (int i = 0; i < 8; ++i) {
        const int feet = 1180 + i * 4;
        const double y = 40 + i * 40;
        Say(cr, feet % 20 == 0 ? "- " + std::to_string(feet) : "-", 600, y, 11, Hex(0xFFFFFF), Align::Left);
    }
    Look mirror;
    mirror.mirror = true;
    Blit(cr, lib, "shark_red_swim", 8, 90, 70, mirror);
    SharkWord(cr, 90, 70, "BITE", 0, 4, 1, Hex(0xFFFF64));
    Look red;
    red.tint[0] = 200;
    red.tint[1] = red.tint[2] = 0;
    Blit(cr, lib, "shark_basic_swim", 2, 380, 60, red);
    SharkWord(cr, 380, 60, "STORM", 0, 11, 0, Hex(0xFFFF64));
    Look stealth;
    stealth.tint[3] = 128;
    Blit(cr, lib, "piranha_basic_swim", 12, 420, 200, stealth);
    Blit(cr, lib, "bonus_creature_death", 3, 280, 170);
    Blit(cr, lib, "shark_basic_death", 4, 420, 290);
    Blit(cr, lib, "rumblecloud", 2, 30 - 25, 230);
    Blit(cr, lib, "diver_beaten", 0, 30 + 48, 235 + 5);
    Blit(cr, lib, "empwave", 0, 250, 0, Look{false, false, 0.8});
    Header(cr, "Abyss", "1184");
    StatusBar(cr, lib, 0.1, "CHARGING", 193);
}

// -------------------------------------------------------------- screens --

// A nine-part image drawn the way the dialog code tiles it: corners kept,
// edges and centre repeated, the last repeat cut.
void NineBox(cairo_t* cr, Library& lib, const std::string& name, int x0, int y0, int w, int h)
{
    const ImageSpec* entry = lib.Entry(name);
    cairo_surface_t* src = lib.Surface(name);
    if (!entry || !src)
        return;
    const int cw = entry->width / 3, ch = entry->height / 3;
    for (int y = 0; y < h; y += ch)
        for (int x = 0; x < w; x += cw) {
            const int col = x == 0 ? 0 : x + cw >= w ? 2 : 1, row = y == 0 ? 0 : y + ch >= h ? 2 : 1;
            const int dx = col == 2 ? w - cw : x, dy = row == 2 ? h - ch : y;
            cairo_save(cr);
            cairo_rectangle(cr, x0 + dx, y0 + dy, std::min(cw, w - dx), std::min(ch, h - dy));
            cairo_clip(cr);
            cairo_set_source_surface(cr, src, x0 + dx - col * cw, y0 + dy - row * ch);
            cairo_paint(cr);
            cairo_restore(cr);
        }
}

void DialogButton(cairo_t* cr, Library& lib, int x, int y, int w, int h, const std::string& caption)
{
    NineBox(cr, lib, "dbutton", x, y, w, h);
    Say(cr, caption, x + w / 2.0, y + h / 2.0 + 5, 12, Hex(0xFFFFFF), Align::Center);
}

struct Rect {
    int x, y, w, h;
    const char* name;
};
const Rect kMenuButtons[] = {{303, 32, 310, 101, "adventure"}, {303, 136, 310, 101, "abyss"},
                             {303, 240, 310, 101, "tutor"},    {511, 362, 98, 83, "quit"},
                             {307, 362, 204, 41, "hall"},      {307, 404, 204, 41, "options"}};

void Menu(cairo_t* cr, Library& lib, const char* look)
{
    Blit(cr, lib, "gameselector", 0, 0, 0);
    if (look)
        for (const Rect& b : kMenuButtons)
            Blit(cr, lib, std::string("button_") + b.name + "_" + look, 0, b.x, b.y);
    // The welcome lines and the two links where the menu writes them.
    Say(cr, "Welcome to Plindor,", 35 + 125, 55, 13, Hex(0xFFFFFF), Align::Center, false);
    Say(cr, "Marina", 35 + 125, 16 + 58, 13, Hex(0xFFFFFF), Align::Center, false);
    const std::pair<const char*, int> links[] = {{"(Click here if this is not you)", 75},
                                                 {"Click here to view your statistics", 62}};
    for (int i = 0; i < 2; ++i) {
        const double baseline = (i ? 103 : 78) + 19, colour = i ? 0x964614 : 0x8C3C00;
        Say(cr, links[i].first, links[i].second + 5, baseline, 11, Hex(uint32_t(colour)));
        Fill(cr, links[i].second + 5, baseline + 3, TextWidth(cr, links[i].first), 1, Hex(uint32_t(colour)));
    }
}

void Title(cairo_t* cr, Library& lib, double progress, bool over)
{
    Blit(cr, lib, "title", 0, 0, 0);
    Blit(cr, lib, "title_bar", 0, 126, 354);
    Look bar;
    bar.clipWidth = int(434 * progress);
    Blit(cr, lib, "title_goldbar", 0, 149, 369, bar);
    if (progress >= 1)
        Blit(cr, lib, over ? "title_continue_over" : "title_continue", 0, 200, 432);
}

struct Place {
    const char* image;
    int x, y;
};
const Place kFingers[9] = {{"finger0", 26, 358},  {"finger1", 53, 352},  {"finger2", 88, 349},
                           {"finger3", 135, 353}, {"finger4", 248, 430}, {"finger5", 255, 351},
                           {"finger6", 291, 347}, {"finger7", 334, 348}, {"finger8", 374, 355}};

// The tutor asking for a capital F: right Shift with the right little finger,
// F with the left index finger.
void Tutor(cairo_t* cr, Library& lib, bool typing)
{
    Blit(cr, lib, "water1", 0, 0, 0);
    if (!typing) {
        Blit(cr, lib, "shark_basic_swim", 4, 200, 180);
        Blit(cr, lib, "piranha_white_swim", 7, 60, 320);
        Blit(cr, lib, "bonus_creature_swim", 9, 330, 290);
    }
    Blit(cr, lib, "tutor_bg", 0, 0, 0);
    Say(cr, "LESSON 3", 472, 75, 13, Hex(0));
    cairo_rectangle(cr, 472, 86, 145, 1);
    SetColor(cr, Hex(0));
    cairo_fill(cr);
    for (int f : {0, 1, 2, 3, 8, 7, 6, 5, 4}) {
        const bool lit = f == 3 || f == 8;
        Blit(cr, lib, std::string(kFingers[f].image) + (lit ? "x" : ""), 0, kFingers[f].x, kFingers[f].y);
    }
    Blit(cr, lib, "hands", 0, 13, 379);
    for (auto [f, label] : {std::pair{3, "F"}, std::pair{8, "Shift"}}) {
        Blit(cr, lib, "glowring", 0, kFingers[f].x, kFingers[f].y);
        SetFont(cr, "DejaVuSans-Bold", 11);
        DrawText(cr, label, kFingers[f].x + 15, kFingers[f].y + 15 + 5, Align::Center, Hex(0));
    }
    Blit(cr, lib, "glo_f", 0, 160, 224);
    Blit(cr, lib, "glo_rshift", 0, 372, 252);
    Say(cr, "Capital letters with the other hand's Shift key.", 472, 110, 9, Hex(0), Align::Left, false);
    Say(cr, "Home row: left hand", 10, 22, 12, Hex(0x00C8E6));
    const char* lines[] = {"Fad Dad Sad Gas", "Fast Dash Glad Flag", "Add a Fad Flask", "Gag Dad Sass"};
    for (int i = 0; i < 4; ++i)
        Say(cr, lines[i], 16, 65 + i * 18, 14, i == 0 && typing ? Hex(0x00FF00) : Hex(0xFFFFFF));
    cairo_rectangle(cr, 472, 247, 152, 1);
    cairo_rectangle(cr, 472, 280, 152, 1);
    SetColor(cr, Hex(0));
    cairo_fill(cr);
    Say(cr, "TIME 1:05", 508, 270, 12, Hex(0xFF0000));
    Say(cr, typing ? "25% COMPLETE" : "Start typing to begin", 472, 300, 12, Hex(0));
    DialogButton(cr, lib, 587, 380, 50, 30, "Next");
    DialogButton(cr, lib, 468, 380, 50, 30, "Prev");
    DialogButton(cr, lib, 466, 425, 170, 25, "Options");
    DialogButton(cr, lib, 466, 447, 170, 25, "Back To Menu");
}

const int kSites[][2] = {{115, 42},  {178, 82},  {277, 81},  {336, 86},  {464, 64},  {574, 81},  {91, 158},  {259, 164},
                         {401, 139}, {67, 246},  {168, 215}, {248, 227}, {297, 209}, {383, 180}, {471, 180}, {230, 263},
                         {286, 278}, {399, 244}, {444, 252}, {529, 238}, {46, 365},  {86, 340},  {196, 328}, {249, 320},
                         {363, 308}, {542, 284}, {168, 381}, {236, 406}, {294, 342}, {387, 347}, {526, 338}, {303, 375},
                         {292, 425}, {350, 420}, {448, 372}, {496, 425}};

void CourseDots(cairo_t* cr, Library& lib, int from, int to, const Look& look, const std::string& image)
{
    const int x0 = kSites[from][0], y0 = kSites[from][1], dx = kSites[to][0] - x0, dy = kSites[to][1] - y0;
    const int n = int(std::sqrt(double(dx * dx + dy * dy)) * 0.125);
    for (int i = 2; i <= n - 2; ++i)
        Blit(cr, lib, image, 0, x0 + dx * i / n - 4, y0 + dy * i / n - 4, look);
}

// The chart on the way from site 1: sites 0 and 1 done, three chests offered.
void Chart(cairo_t* cr, Library& lib)
{
    Blit(cr, lib, "mapbg", 0, 0, 0);
    Fill(cr, 0, 0, ScreenW, 30, Hex(0, 180 / 255.0));
    Say(cr, "Level 2", 10, 19, 14, Hex(0xFFFFFF));
    Say(cr, "Which site will you explore next?", 80, 19, 12, Hex(0x00FF00), Align::Left, false);
    Look passed;
    passed.tint[3] = 168;
    CourseDots(cr, lib, 0, 1, passed, "point");
    Look faint;
    faint.tint[3] = 128;
    for (int to : {6, 7, 2})
        CourseDots(cr, lib, 1, to, faint, "point_green");
    const ImageSpec* sign = lib.Entry("mapship");
    if (sign)
        Blit(cr, lib, "mapship", 0, kSites[0][0] - sign->width / 2, kSites[0][1] - sign->height / 2);
    const char* chests[] = {"mapchest_a", "mapchest_b_open", "mapchest_c"};
    int offered[] = {6, 7, 2};
    const ImageSpec* chest = lib.Entry("mapchest_a");
    for (int i = 0; i < 3 && chest; ++i) {
        Look look;
        look.alpha = 128 / 255.0;
        Blit(cr, lib, chests[i], 0, kSites[offered[i]][0] - chest->width / 2, kSites[offered[i]][1] - chest->height / 2,
             look);
    }
    Blit(cr, lib, "mapshipcolor", 2, kSites[1][0] - 25, kSites[1][1] - 22);
    Blit(cr, lib, "mapscreen_arch", 0, 443, 341);
    Fill(cr, 0, 452, ScreenW, 28, Hex(0, 180 / 255.0));
    Say(cr, "Type the letter of the dive site you wish to explore", 110, 452 + 12 + 6, 12, Hex(0xFFFFFF),
        Align::Left, false);
}

// Lost at sea: the chart scrolled to its far corner.
void ChartUncharted(cairo_t* cr, Library& lib)
{
    const ImageSpec* map = lib.Entry("mapbg");
    if (!map)
        return;
    const int vx = ScreenW - map->width, vy = ScreenH - map->height;
    Blit(cr, lib, "mapbg", 0, vx, vy);
    Fill(cr, 100, 60, 440, 204, Hex(0, 180 / 255.0));
    Blit(cr, lib, "gumbo_swim", 0, 128, 105);
    Say(cr, "LEVEL 37", 320, 95 + 12, 14, Hex(0xF7F776), Align::Center);
    Say(cr, "You are in uncharted and deadly waters.", 205, 130, 11, Hex(0xFFFFFF), Align::Left, false);
    Say(cr, "Difficulty: Easy + 50%", 205, 240, 11, Hex(0xFF0000), Align::Left, false);
    Blit(cr, lib, "mapscreen_arch", 0, vx + 443, vy + 341);
    Blit(cr, lib, "mapshipcolor", 1, 486, 403);
}

void HighScores(cairo_t* cr, Library& lib)
{
    Blit(cr, lib, "high_score_bg", 0, 0, 0);
    const char* names[] = {"Marina", "Oskar", "Tamsin", "Lev", "Ines"};
    for (int i = 0; i < 5; ++i) {
        const double y = 172 + i * 18;
        Say(cr, names[i], 50, y, 12, Hex(0x202020), Align::Left, false);
        Say(cr, std::to_string(98000 - i * 12345), 264, y, 12, Hex(0x202020), Align::Right, false);
        Say(cr, std::to_string(30 - i * 4), 300, y, 12, Hex(0x202020), Align::Center, false);
        Say(cr, names[4 - i], 389, y, 12, Hex(0x202020), Align::Left, false);
        Say(cr, std::to_string(5400 - i * 800), 581, y, 12, Hex(0x202020), Align::Right, false);
    }
    DialogButton(cr, lib, 221, 443, 193, 27, "Close This Screen");
}

// ---------------------------------------------------------------- bosses --

// Each boss with its moving part at the code's offset, in three frames.
void Bosses(cairo_t* cr, Library& lib, int frame)
{
    Blit(cr, lib, "water1", 0, 0, 0);
    Blit(cr, lib, "torpedo_boss_bobbing", 0, 20, 20);
    Blit(cr, lib, "torpedo_boss_rotor", frame * 3, 20 + 227, 20 + 54);
    Blit(cr, lib, "boss_mecha", 0, 20, 230);
    Blit(cr, lib, "boss_mecha_fin", frame * 3, 20 + 184, 230 + 60);
    Blit(cr, lib, "boss_galleon", 0, 440, 0);
    Blit(cr, lib, "galleon_rudder", frame * 2, 440 + 121, 0 + 300);
    Blit(cr, lib, "boss_squid", 0, 300, 328);
    Blit(cr, lib, "boss_squid_fin", frame * 3, 300 + 217, 328 + 60);
    Blit(cr, lib, "boss_squid_eye", frame * 2, 300 + 133, 328 + 80);
}

void BossesDying(cairo_t* cr, Library& lib)
{
    Blit(cr, lib, "water1", 0, 0, 0);
    Blit(cr, lib, "torpedo_boss_dying", 0, 20, 20);
    Blit(cr, lib, "torpedo_explode", 3, 80, 40);
    Blit(cr, lib, "boss_mecha_death", 0, 20, 230);
    Blit(cr, lib, "boss_galleon_death", 0, 440, 0);
    Blit(cr, lib, "boss_squid_death", 0, 300, 328);
    Blit(cr, lib, "cannonball", 4, 300, 40);
    Blit(cr, lib, "cannonball_turn", 2, 300, 100);
    Blit(cr, lib, "torpedo_swim", 0, 280, 200);
    Blit(cr, lib, "rotor_torpedo", 5, 280 + 113, 200);
}

// ------------------------------------------------------------- the sheet --

struct Scene {
    std::string label;
    std::function<void(cairo_t*)> paint;
    int width = ScreenW, height = ScreenH;
};

// Scenes side by side at real size, each with its label over it.
bool WriteScenes(const std::string& path, const std::vector<Scene>& scenes, int perRow, std::string& error)
{
    constexpr int Gap = 12, Label = 18;
    int rows = int(scenes.size() + perRow - 1) / perRow;
    int cellW = 0, cellH = 0;
    for (const Scene& s : scenes) {
        cellW = std::max(cellW, s.width);
        cellH = std::max(cellH, s.height);
    }
    const int w = Gap + perRow * (cellW + Gap), h = Gap + rows * (cellH + Label + Gap);
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(sheet);
    SetColor(cr, Hex(0x202830));
    cairo_paint(cr);
    for (size_t i = 0; i < scenes.size(); ++i) {
        const double x = Gap + (i % perRow) * (cellW + Gap), y = Gap + (i / perRow) * (cellH + Label + Gap);
        Say(cr, scenes[i].label, x, y + 13, 12, Hex(0xFFFFFF), Align::Left, false);
        cairo_save(cr);
        cairo_translate(cr, x, y + Label);
        cairo_rectangle(cr, 0, 0, scenes[i].width, scenes[i].height);
        cairo_clip(cr);
        SetColor(cr, Hex(0));
        cairo_paint(cr);
        scenes[i].paint(cr);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    bool ok = WritePng(path, ToRgba(sheet, AlphaUse::Opaque), w, h, error);
    cairo_surface_destroy(sheet);
    return ok;
}

} // namespace

bool WriteSceneSheets(const std::string& dir, const std::vector<PaintedImage>& images, std::string& error)
{
    Library lib(images);
    auto scene = [&](const std::string& label, void (*paint)(cairo_t*, Library&)) {
        return Scene{label, [&lib, paint](cairo_t* cr) { paint(cr, lib); }};
    };
    const std::vector<Scene> play = {
        scene("Level start: surface scene scrolling away, first wave", PlayStart),
        scene("At the floor: scenery layers at rest, torpedo boss, glowing sharks", PlayFloor),
        scene("Secret bonus level: sand, coral shelf, clams", PlaySpecial),
        scene("Abyss: turned shark, red flash, stealth piranha, deaths, fight cloud, beam", PlayAbyss),
    };
    std::vector<Scene> surface;
    for (const char* name : {"topbackground", "topbackground_iceberg", "topbackground_lighthouse",
                             "topbackground_shipwreck", "topbackground_storm", "topbackground_volcano"})
        surface.push_back(Scene{std::string("Level start: ") + name,
                                [&lib, name](cairo_t* cr) { Surface(cr, lib, name); }});
    std::vector<Scene> screens = {
        Scene{"Title while loading", [&lib](cairo_t* cr) { Title(cr, lib, 0.6, false); }},
        Scene{"Title loaded, continue under the mouse", [&lib](cairo_t* cr) { Title(cr, lib, 1.0, true); }},
        Scene{"Menu", [&lib](cairo_t* cr) { Menu(cr, lib, nullptr); }},
        Scene{"Menu, every button's over look pasted in", [&lib](cairo_t* cr) { Menu(cr, lib, "over"); }},
        Scene{"Menu, every button's down look pasted in", [&lib](cairo_t* cr) { Menu(cr, lib, "down"); }},
        scene("High scores", HighScores),
    };
    const std::vector<Scene> tutor = {
        Scene{"Tutor waiting (fish behind the panel)", [&lib](cairo_t* cr) { Tutor(cr, lib, false); }},
        Scene{"Tutor typing: capital F", [&lib](cairo_t* cr) { Tutor(cr, lib, true); }},
        scene("Chart from site 1, three sites offered", Chart),
        scene("Chart lost at sea", ChartUncharted),
    };
    std::vector<Scene> bosses;
    for (int f = 0; f < 3; ++f)
        bosses.push_back(Scene{"Bosses with their moving parts, frame " + std::to_string(f),
                               [&lib, f](cairo_t* cr) { Bosses(cr, lib, f); }});
    bosses.push_back(scene("Bosses dying, and their shots", BossesDying));
    return WriteScenes(dir + "/artsheet-playfield.png", play, 2, error) &&
           WriteScenes(dir + "/artsheet-surface.png", surface, 2, error) &&
           WriteScenes(dir + "/artsheet-screens.png", screens, 2, error) &&
           WriteScenes(dir + "/artsheet-tutor-map.png", tutor, 2, error) &&
           WriteScenes(dir + "/artsheet-bosses.png", bosses, 2, error);
}

} // namespace Zant::Art
