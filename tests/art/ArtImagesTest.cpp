// Every image the game loads must come out of the game's own loader with the
// size, cel layout and alpha use its drawing code expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "game/shell/WinBTApp.h"
#include "tests/art/ArtFixture.h"
#include "tests/support/TestSupport.h"

using namespace ArtTest;
using Zant::Art::AlphaUse;
using Zant::Art::ImageSpec;
using Zant::Art::Layout;

namespace {

// The title screen's images and the window icon, which the image table does not name.
const char* const kOtherImages[] = {"title", "title_bar", "title_goldbar", "title_continue", "title_continue_over", "icon"};

// The PNG header's bit depth, colour type and interlace method; false when the
// file is not a PNG.
bool ReadPngHeader(const std::string& path, int& depth, int& colourType, int& interlace)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char h[29] = {};
    if (!in.read(reinterpret_cast<char*>(h), sizeof h))
        return false;
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!std::equal(kSignature, kSignature + 8, h) || std::string(reinterpret_cast<char*>(h + 12), 4) != "IHDR")
        return false;
    depth = h[24];
    colourType = h[25];
    interlace = h[28];
    return true;
}

} // namespace

TEST_F(ArtImages, ManifestCoversEveryImageTheGameLoads)
{
    for (const char* name : Zant::WinBTApp::IMAGE_NAMES)
        EXPECT_NE(TheManifest().Find(name), nullptr) << name;
    for (const char* name : kOtherImages)
        EXPECT_NE(TheManifest().Find(name), nullptr) << name;
}

TEST_F(ArtImages, EveryImageLoadsWithItsSizeAndAlphaUse)
{
    for (const ImageSpec& entry : TheManifest().images) {
        SCOPED_TRACE(entry.name);
        const ImageLib::Image& p = Pic(entry.name);
        if (p.GetWidth() == 0)
            continue;
        ASSERT_EQ(p.GetWidth(), entry.width);
        ASSERT_EQ(p.GetHeight(), entry.height);
        size_t clear = 0, partial = 0;
        for (uint32_t px : p.mBits) {
            clear += Alpha(px) == 0;
            partial += Alpha(px) > 0 && Alpha(px) < 255;
        }
        if (entry.alpha == AlphaUse::Transparent)
            EXPECT_GT(clear, 0u) << "a sprite needs fully transparent pixels";
        else
            EXPECT_EQ(clear + partial, 0u) << "opaque and additive images have alpha 255 everywhere";
    }
}

TEST_F(ArtImages, EachImageIsOnePlainPngThatNothingElseShadows)
{
    // The loader prefers a JPEG and merges a separate alpha picture, so a stray
    // file beside the PNG would change what the game shows.
    namespace fs = std::filesystem;
    for (const ImageSpec& entry : TheManifest().images) {
        SCOPED_TRACE(entry.name);
        const std::string base = GameImagePath(entry.name);
        int depth = 0, colourType = 0, interlace = 0;
        ASSERT_TRUE(ReadPngHeader(base + ".png", depth, colourType, interlace)) << "no PNG";
        EXPECT_EQ(depth, 8);
        EXPECT_EQ(colourType, 6) << "not RGBA";
        EXPECT_EQ(interlace, 0);
        const std::string alphaBase = fs::path(base).parent_path().string() + "/_" + entry.name;
        for (const std::string& other :
             {base + ".jpg", base + ".gif", alphaBase + ".png", alphaBase + ".jpg", base + "_.png", base + "_.gif"})
            EXPECT_FALSE(fs::exists(other)) << other;
    }
}

TEST_F(ArtImages, TransparentPixelsCarryTheirNeighboursColour)
{
    // A clear pixel next to a light solid one must not be left black, or
    // filtering and tinting leave dark fringes.
    for (const ImageSpec& entry : TheManifest().images) {
        if (entry.alpha != AlphaUse::Transparent || !Loaded(entry.name))
            continue;
        SCOPED_TRACE(entry.name);
        const ImageLib::Image& p = Pic(entry.name);
        int bad = 0, edges = 0;
        for (int y = 0; y < p.GetHeight(); ++y)
            for (int x = 0; x + 1 < p.GetWidth(); ++x) {
                uint32_t a = p.Pixel(x, y), b = p.Pixel(x + 1, y);
                if (!((Alpha(a) == 0 && Alpha(b) == 255) || (Alpha(b) == 0 && Alpha(a) == 255)))
                    continue;
                uint32_t clear = Alpha(a) == 0 ? a : b, solid = Alpha(a) == 0 ? b : a;
                ++edges;
                bad += Red(clear) + Green(clear) + Blue(clear) < 30 && Red(solid) + Green(solid) + Blue(solid) > 200;
            }
        EXPECT_EQ(bad, 0) << bad << " of " << edges << " edge pixels";
    }
}

TEST_F(ArtImages, LoopingStripsAnimateAndCloseOnThemselves)
{
    // Mirrored strips play backwards, so a swim cycle must join its last cel
    // to its first as smoothly as any two neighbours.
    for (const ImageSpec& entry : TheManifest().images) {
        if (!entry.loops || !Loaded(entry.name))
            continue;
        SCOPED_TRACE(entry.name);
        const ImageLib::Image& p = Pic(entry.name);
        int n = entry.CelCount();
        ASSERT_GT(n, 2);
        double largest = 0, smallest = 1e9;
        for (int k = 0; k + 1 < n; ++k) {
            double d = CelDifference(p, entry, k, k + 1);
            largest = std::max(largest, d);
            smallest = std::min(smallest, d);
        }
        EXPECT_GT(smallest, 0.0) << "two neighbouring cels are the same picture";
        EXPECT_LE(CelDifference(p, entry, n - 1, 0), largest * 1.5 + 0.01) << "the loop jumps";
    }
}

TEST_F(ArtImages, CelSizesAgreeAcrossCreatureFamilies)
{
    // The game reads one family's frame size from another's image, so these must agree.
    struct Same {
        const char* a;
        const char* b;
        int dw, dh; // b's cel = a's cel + (dw, dh)
    } pairs[] = {
        {"shark_basic_swim", "shark_red_swim", 0, 0},        {"shark_basic_swim", "shark_black_swim", 0, 0},
        {"shark_basic_swim", "toxic_basic_swim", 0, 0},      {"shark_basic_swim", "shark_ghost_swim", 0, 0},
        {"shark_basic_death", "shark_red_death", 0, 0},      {"shark_basic_death", "shark_black_death", 0, 0},
        {"shark_basic_death", "toxic_basic_death", 0, 0},    {"shark_basic_death", "shark_ghost_death", 0, 0},
        {"shark_basic_swim", "sharkshock", 0, 0},            {"shark_basic_swim", "shark_red_shock", 0, 0},
        {"shark_basic_swim", "shark_black_shock", 0, 0},     {"shark_basic_swim", "toxic_basic_shock", 0, 0},
        {"toxic_basic_swim", "toxic_glow_swim", 20, 20},     {"toxic_basic_death", "toxic_glow_death", 20, 20},
        {"shark_ghost_swim", "shark_ghost_glow_swim", 20, 20}, {"shark_ghost_death", "shark_ghost_glow_death", 20, 20},
        {"piranha_basic_swim", "piranha_white_swim", 0, 0},  {"piranha_basic_swim", "gumbo_swim", 0, 0},
        {"piranha_basic_swim", "piranhashock", 0, 0},        {"piranha_basic_swim", "gumbo_shock", 0, 0},
        {"piranha_basic_death", "piranha_white_death", 0, 0}, {"piranha_basic_death", "gumbo_die", 0, 0},
        {"bonus_creature_swim", "bonus_creature_death", 24, 40}, {"torpedo_swim", "torpedo_reverse", 0, 0},
    };
    for (const Same& s : pairs) {
        SCOPED_TRACE(std::string(s.a) + " / " + s.b);
        const ImageSpec& a = Entry(s.a);
        const ImageSpec& b = Entry(s.b);
        EXPECT_EQ(b.CelWidth(), a.CelWidth() + s.dw);
        EXPECT_EQ(b.CelHeight(), a.CelHeight() + s.dh);
    }
    struct Cels {
        const char* name;
        int count, w, h;
    } cels[] = {
        {"shark_basic_swim", 20, 0, 0}, {"shark_basic_death", 6, 0, 0},  {"piranha_basic_swim", 20, 0, 0},
        {"piranha_basic_death", 10, 0, 0}, {"bonus_creature_swim", 20, 0, 0}, {"bonus_creature_death", 8, 0, 0},
        {"smallcarn", 20, 20, 20},     {"smallgoldfish", 20, 20, 20},    {"gumbo_swim", 20, 60, 60},
        {"clams", 40, 0, 0},           {"diver_idle", 8, 50, 0},         {"rumblecloud", 7, 0, 0},
        {"upper_hose", 8, 9, 0},       {"rotor_torpedo", 14, 11, 0},     {"torpedo_reverse", 6, 0, 0},
        {"torpedo_explode", 8, 0, 0},  {"torpedo_launch", 8, 200, 100},  {"cannonball", 12, 74, 44},
        {"cannonball_turn", 5, 74, 44}, {"galleon_rudder", 5, 21, 47},   {"boss_mecha_fin", 10, 39, 0},
        {"boss_squid_fin", 10, 67, 47}, {"boss_squid_eye", 5, 12, 12},   {"torpedo_boss_rotor", 0, 22, 0},
        {"mapshipcolor", 6, 50, 45},   {"sparkle_large", 0, 40, 0},      {"checked", 2, 24, 25},
        {"editbox", 3, 32, 32},
    };
    for (const Cels& c : cels) {
        SCOPED_TRACE(c.name);
        const ImageSpec& s = Entry(c.name);
        // Zero means the code leaves that number to the image.
        EXPECT_EQ(s.CelCount(), c.count ? c.count : s.CelCount());
        EXPECT_EQ(s.CelWidth(), c.w ? c.w : s.CelWidth());
        EXPECT_EQ(s.CelHeight(), c.h ? c.h : s.CelHeight());
    }
    EXPECT_EQ(Entry("cannonball").layout, Layout::Vertical);
    EXPECT_EQ(Entry("clams").columns, 10);
    EXPECT_EQ(Entry("clams").rows, 4);
}

TEST_F(ArtImages, ScreenPiecesFitWhereTheCodePutsThem)
{
    struct Size {
        const char* name;
        int w, h;
    } sizes[] = {
        {"gameselector", 640, 480}, {"high_score_bg", 640, 480}, {"title", 640, 480},        {"tutor_bg", 640, 480},
        {"statusbarX", 640, 65},    {"button_adventure_over", 310, 101}, {"button_hall_down", 204, 41},
        {"button_quit_over", 98, 83}, {"statusbarX_pause_over", 82, 30}, {"statusbarX_quit_down", 81, 30},
        {"title_continue", 235, 28}, {"boss_meter_fill", 294, 20}, {"textovers", 400, 50}, {"waitbar", 32, 16},
        {"hands", 400, 100},
    };
    for (const Size& s : sizes) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(Entry(s.name).width, s.w);
        EXPECT_EQ(Entry(s.name).height, s.h);
    }
    const ImageSpec& map = Entry("mapbg");
    EXPECT_EQ(map.width - 640, map.height - 480) << "the map scrolls the same distance both ways";
    EXPECT_GT(map.width, 640);
    EXPECT_GE(Entry("water1").width, 660) << "the wavy draw reads past 640";
    EXPECT_LE(Entry("title_bar").width, 514);
    EXPECT_LE(Entry("title_bar").height, 126);
    EXPECT_GE(Entry("statusbarmeter").width, 228);
    EXPECT_GE(Entry("airgauge").width, 19 + 240 + 2) << "the air bar, 240 px when full, starts 19 px into the tank";
    EXPECT_GE(Entry("torpedo_explode").CelHeight(), 110);
    for (const char* scene : {"topbackground_iceberg", "topbackground_lighthouse", "topbackground_shipwreck",
                              "topbackground_storm", "topbackground_volcano"})
        EXPECT_EQ(Entry(scene).height, Entry("topbackground").height) << scene;
    for (const char* medal : {"medal_gold", "medal_silver", "medal_bronze"})
        EXPECT_NEAR(double(Entry(medal).width) / Entry(medal).height, 66.0 / 90.0, 0.02) << medal;
    EXPECT_LE(Entry("galleon_rudder").CelHeight() + 300, Entry("boss_galleon").height + 47);
    EXPECT_LE(Entry("boss_galleon").height + Entry("statusbarX").height, 400) << "the galleon must be able to bob";
}

TEST_F(ArtImages, SeeThroughWindowsAreOpen)
{
    // The charge bar shows through the status bar (its middle, where the
    // captions are written, behind smoked glass), the boss bar through its frame;
    // the gold bar's trough is solid.
    struct Hole {
        const char* name;
        int x, y;
        int least, most; // alpha
    } holes[] = {{"statusbarX", 120, 9, 0, 0},  {"statusbarX", 340, 31, 0, 0},   {"statusbarX", 230, 20, 1, 128},
                 {"boss_meter", 37, 11, 0, 0},  {"boss_meter", 328, 28, 0, 0},   {"title_bar", 30, 20, 255, 255}};
    for (const Hole& h : holes) {
        if (!Loaded(h.name))
            continue;
        const int alpha = Alpha(Pic(h.name).Pixel(h.x, h.y));
        EXPECT_GE(alpha, h.least) << h.name << " at " << h.x << "," << h.y;
        EXPECT_LE(alpha, h.most) << h.name << " at " << h.x << "," << h.y;
    }
}

TEST_F(ArtImages, CursorsAreCentredOnTheirHotSpot)
{
    // The display centres a cursor image on the mouse, so the point is the image centre.
    for (const char* name : {"cursor1", "pointer2", "overhand", "quillet"}) {
        SCOPED_TRACE(name);
        if (!Loaded(name))
            continue;
        const ImageLib::Image& p = Pic(name);
        EXPECT_LE(p.GetWidth(), 64);
        EXPECT_LE(p.GetHeight(), 64);
        EXPECT_EQ(p.GetWidth() % 2, 0);
        EXPECT_EQ(p.GetHeight() % 2, 0);
        int cx = p.GetWidth() / 2, cy = p.GetHeight() / 2;
        int covered = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                covered += Alpha(p.Pixel(cx + dx, cy + dy)) > 128;
        EXPECT_GT(covered, 0) << "nothing drawn at the hot spot";
    }
}

TEST_F(ArtImages, NinePartMiddlesTileSeamlessly)
{
    // Edges and centre repeat without stretching: a repeated middle cell must
    // join itself (its last column meets its first, and likewise rows).
    for (const ImageSpec& entry : TheManifest().images) {
        if (entry.layout != Layout::NinePart || !Loaded(entry.name))
            continue;
        SCOPED_TRACE(entry.name);
        const ImageLib::Image& p = Pic(entry.name);
        int cw = p.GetWidth() / 3, ch = p.GetHeight() / 3;
        ASSERT_GE(cw, 3);
        ASSERT_GE(ch, 3);
        auto step = [](uint32_t a, uint32_t b) {
            return std::max({std::abs(Alpha(a) - Alpha(b)), std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)),
                             std::abs(Blue(a) - Blue(b))});
        };
        int worst = 0;
        for (int y = 0; y < p.GetHeight(); ++y) // across the horizontal repeat
            worst = std::max(worst, step(p.Pixel(cw, y), p.Pixel(2 * cw - 1, y)));
        for (int x = 0; x < p.GetWidth(); ++x) // across the vertical repeat
            worst = std::max(worst, step(p.Pixel(x, ch), p.Pixel(x, 2 * ch - 1)));
        EXPECT_LE(worst, 24);
    }
}

TEST_F(ArtImages, SeaTileRepeatsDownwards)
{
    // Two tiles stack and wrap at the tile's height.
    const ImageLib::Image& p = Pic("water1");
    ASSERT_GT(p.GetWidth(), 0);
    double sum = 0;
    for (int x = 0; x < p.GetWidth(); ++x) {
        uint32_t top = p.Pixel(x, 0), bottom = p.Pixel(x, p.GetHeight() - 1);
        sum += std::abs(Red(top) - Red(bottom)) + std::abs(Green(top) - Green(bottom)) +
               std::abs(Blue(top) - Blue(bottom));
    }
    EXPECT_LT(sum / (p.GetWidth() * 3), 6.0);
}

namespace {

// Relative luminance (0..1) of an sRGB colour.
double Luminance(double r, double g, double b)
{
    auto lin = [](double c) { c /= 255.0; return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
}

double MeanLuma(const ImageLib::Image& p, int x0, int y0, int w, int h)
{
    double sum = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const uint32_t c = p.Pixel(x, y);
            sum += 0.2126 * Red(c) + 0.7152 * Green(c) + 0.0722 * Blue(c);
        }
    return sum / (w * h);
}

} // namespace

TEST_F(ArtImages, OverLooksAreClearlyBrighterThanTheNormalOnes)
{
    // Each over cut against the same rectangle of the picture that holds the normal look.
    struct Cut { const char* over; const char* normal; int x, y; };
    const Cut cuts[] = {
        {"button_adventure_over", "gameselector", 303, 32}, {"button_abyss_over", "gameselector", 303, 136},
        {"button_tutor_over", "gameselector", 303, 240},    {"button_hall_over", "gameselector", 307, 362},
        {"button_options_over", "gameselector", 307, 404},  {"button_quit_over", "gameselector", 511, 362},
        {"statusbarX_pause_over", "statusbarX", 380, 4},    {"statusbarX_options_over", "statusbarX", 467, 4},
        {"statusbarX_quit_over", "statusbarX", 553, 4},
    };
    for (const Cut& c : cuts) {
        SCOPED_TRACE(c.over);
        const ImageLib::Image& over = Pic(c.over);
        const ImageLib::Image& normal = Pic(c.normal);
        ASSERT_GT(over.GetWidth(), 0);
        ASSERT_LE(c.x + over.GetWidth(), normal.GetWidth());
        ASSERT_LE(c.y + over.GetHeight(), normal.GetHeight());
        const double lit = MeanLuma(over, 0, 0, over.GetWidth(), over.GetHeight());
        const double plain = MeanLuma(normal, c.x, c.y, over.GetWidth(), over.GetHeight());
        EXPECT_GT(lit / plain, 1.25) << "the pointer's button hardly changes";
    }
}

TEST_F(ArtImages, GhostSharkWordStaysReadableOnItsBody)
{
    // The game writes the word across the middle of each cel, untyped letters
    // black and typed ones yellow; over mid-water both need a 3:1 contrast.
    const ImageLib::Image& p = Pic("shark_ghost_swim");
    const ImageSpec& s = Entry("shark_ghost_swim");
    ASSERT_GT(p.GetWidth(), 0);
    const int cels = p.GetWidth() / 170;
    ASSERT_GT(cels, 0);
    const double water[3] = {0x1C, 0x6E, 0x8C};
    const double yellow = Luminance(0xFF, 0xFF, 0x64);
    for (int k = 0; k < cels; ++k) {
        SCOPED_TRACE(k);
        double y = 0;
        int n = 0;
        for (int py = s.height / 2 - 6; py < s.height / 2 + 5; ++py)
            for (int px = k * 170 + 60; px < k * 170 + 110; ++px) {
                const uint32_t c = p.Pixel(px, py);
                const double a = Alpha(c) / 255.0;
                y += Luminance(a * Red(c) + (1 - a) * water[0], a * Green(c) + (1 - a) * water[1],
                               a * Blue(c) + (1 - a) * water[2]);
                ++n;
            }
        y /= n;
        EXPECT_GE((y + 0.05) / 0.05, 3.0) << "black letters are lost";
        EXPECT_GE((yellow + 0.05) / (y + 0.05), 3.0) << "typed yellow letters are lost";
    }
}

namespace {

double PixelLuma(const ImageLib::Image& p, int x, int y)
{
    const uint32_t c = p.Pixel(x, y);
    return Luminance(Red(c), Green(c), Blue(c));
}

// The letters' full strokes and the ring of pixels right round them, in a box of a
// picture; letter() tells a stroke pixel from the ground.
struct StrokesAndRing {
    std::vector<double> strokes, ring;
    static double Median(std::vector<double> v)
    {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    }
    double Contrast() const { return (Median(strokes) + 0.05) / (Median(ring) + 0.05); }
};

template <typename Letter>
StrokesAndRing MeasureLetters(const ImageLib::Image& p, int x0, int y0, int x1, int y1, Letter letter)
{
    StrokesAndRing sr;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            if (letter(x, y)) {
                sr.strokes.push_back(PixelLuma(p, x, y));
                continue;
            }
            bool next = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    next = next || letter(x + dx, y + dy);
            if (next)
                sr.ring.push_back(PixelLuma(p, x, y));
        }
    return sr;
}

} // namespace

TEST_F(ArtImages, MapNamesReadAgainstTheirOutline)
{
    // The names of the waters painted on the chart stand over pale shallows and
    // deep water alike, so they carry a dark outline: their letters must read
    // against it at 7:1 (the letters' full strokes against the ring of pixels
    // right round them).
    const struct {
        const char* text;
        int x, y; // centre of the baseline
    } names[] = {{"THE SHALLOWS", 138, 124}, {"SEWAGE REACH", 548, 132}, {"LAVA RIFT", 488, 268},
                 {"KELP MAZE", 118, 318},    {"VICTORY BAY", 405, 402}};
    const ImageLib::Image& map = Pic("mapbg");
    ASSERT_GT(map.GetWidth(), 0);
    const auto luma = [&](int x, int y) { return PixelLuma(map, x, y); };
    for (const auto& n : names) {
        SCOPED_TRACE(n.text);
        const int half = int(std::string(n.text).size()) * 6, x0 = n.x - half, x1 = n.x + half;
        const int y0 = n.y - 12, y1 = n.y + 3;
        const auto letter = [&](int x, int y) { return luma(x, y) >= 0.6; };
        const StrokesAndRing sr = MeasureLetters(map, x0, y0, x1, y1, letter);
        const std::vector<double>& strokes = sr.strokes;
        if (strokes.size() < 50) {
            ADD_FAILURE() << "no light letters painted here";
            continue;
        }
        EXPECT_GE(sr.Contrast(), 7.0);
    }
}

TEST_F(ArtImages, AKeysGlowCarriesItsLabel)
{
    // Over the key to press the glow washes out the cap's painted label: the glow
    // carries it again, in the cap's dark slate, where the cap has it.
    for (const char* name : {"glo_s", "glo_rshift", "glo_tab"}) {
        SCOPED_TRACE(name);
        const ImageLib::Image& p = Pic(name);
        ASSERT_GT(p.GetWidth(), 0);
        int dark = 0;
        for (int y = 3; y <= 13; ++y)
            for (int x = 5; x <= 16; ++x) {
                const uint32_t c = p.Pixel(x, y);
                dark += Alpha(c) > 200 && Luminance(Red(c), Green(c), Blue(c)) < 0.1;
            }
        EXPECT_GE(dark, 6) << "no label on the glow";
    }
}

TEST_F(ArtImages, UnchartedWatersCaptionReads)
{
    // The plain letters over the whirlpool's dark water, without an outline: they
    // read by themselves, their full strokes against the pixels right round them.
    const struct {
        const char* text;
        int x, y, half; // centre of the baseline, half the width
    } lines[] = {{"UNCHARTED WATERS", 720, 696, 130}, {"here be hungry fish", 720, 716, 85}};
    const ImageLib::Image& map = Pic("mapbg");
    ASSERT_GT(map.GetWidth(), 0);
    const auto luma = [&](int x, int y) { return PixelLuma(map, x, y); };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.text);
        const int x0 = line.x - line.half, x1 = line.x + line.half, y0 = line.y - 16, y1 = line.y + 4;
        double lightest = 0, darkest = 1;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                lightest = std::max(lightest, luma(x, y));
                darkest = std::min(darkest, luma(x, y));
            }
        // Letter pixels are those nearer the letters' own tone than the water's.
        const double cut = (lightest + darkest) / 2;
        const auto letter = [&](int x, int y) { return luma(x, y) >= cut; };
        const StrokesAndRing sr = MeasureLetters(map, x0, y0, x1, y1, letter);
        const std::vector<double>& strokes = sr.strokes;
        ASSERT_GT(strokes.size(), 50u) << "no letters painted here";
        EXPECT_GE(sr.Contrast(), 4.5);
    }
}

TEST_F(ArtImages, NoPictureTouchesItsFrame)
{
    // A picture, or a strip's cel, that reaches its frame's edge shows a
    // straight cut where the drawing goes on past it (an explosion's rim, a
    // tail's tip, a glow's fringe), and a strip's neighbouring cel bleeds in
    // when it is filtered. Single pictures and strips alike. Parts joined to
    // something may reach the sides they join on.
    const std::map<std::string, std::set<std::string>> joined = {
        {"diver_idle", {"top"}},     // the air hose comes down into the helmet
        {"galleon_rudder", {"top"}}, // hangs from the stern
        {"boss_mecha_fin", {"left"}},
        {"boss_squid_fin", {"left"}},
        {"rotor_torpedo", {"left"}},
        {"empwave", {"top", "bottom"}}, // the beam runs the field's whole height
        // Scenery that runs on past the screen's sides and into the sea bed or the sky.
        {"topbackground", {"left", "right", "top"}},
        {"topbackground_iceberg", {"left", "right", "top"}},
        {"topbackground_lighthouse", {"left", "right", "top"}},
        {"topbackground_shipwreck", {"left", "right", "top"}},
        {"topbackground_storm", {"left", "right", "top"}},
        {"topbackground_volcano", {"left", "right", "top"}},
        {"mountain1", {"left", "right", "bottom"}},
        {"mountain2", {"left", "right", "bottom"}},
        {"mountain3", {"left", "right", "bottom"}},
        {"oceanfloor", {"left", "right", "bottom"}},
        {"sand", {"left", "right", "bottom"}},
        {"coralshelf", {"left", "right", "bottom"}},
        // A medal's ribbon ends in a straight cut.
        {"medal_gold", {"top"}},
        {"medal_silver", {"top"}},
        {"medal_bronze", {"top"}},
        {"mapscreen_arch", {"left", "top"}}, // fits into the view's corner
        // The tutor's hands rest on the screen's bottom edge, the fingers on the palms.
        {"hands", {"bottom"}},
        {"finger0", {"bottom"}},
        {"finger1", {"bottom"}},
        {"finger2", {"bottom"}},
        {"finger3", {"bottom"}},
        {"finger4", {"right"}}, // the thumb
        {"finger5", {"bottom"}},
        {"finger6", {"bottom"}},
        {"finger7", {"bottom"}},
        {"finger8", {"bottom"}},
        {"finger0x", {"bottom"}},
        {"finger1x", {"bottom"}},
        {"finger2x", {"bottom"}},
        {"finger3x", {"bottom"}},
        {"finger4x", {"right"}},
        {"finger5x", {"bottom"}},
        {"finger6x", {"bottom"}},
        {"finger7x", {"bottom"}},
        {"finger8x", {"bottom"}},
        {"pointer2", {"bottom"}}, // the hand's cuff
        {"quillet", {"top", "bottom"}}, // the text beam's serifs span its cell
    };
    // Pictures meant to fill their frame: a tile, letter strips, slices that
    // join side by side, control looks, plates and panels drawn edge to edge,
    // the tutor's key lights (each lies on its key) and pictures cut into
    // quarters that join round one centre.
    std::set<std::string> filling = {"upper_hose", "sharkfont1", "sharkfont1reversed", "mapfont1", "tab_top",
                                     "tab_top_shadow", "editbox", "slider", "checked", "airgauge", "boss_meter",
                                     "sonar_bg", "statusbarX", "statusbarX_ready", "title_continue",
                                     "title_continue_over", "tab_panel", "tab_panel_white", "tab_radiobtn_active",
                                     "tab_radiobtn_inactive", "tab_panel_treasure", "tutor_bg", "slideranchor",
                                     "abyss_boss"};
    for (const ImageSpec& entry : TheManifest().images)
        if (entry.name.rfind("glo_", 0) == 0 || entry.name.rfind("sonar_sweep", 0) == 0)
            filling.insert(entry.name);
    for (const ImageSpec& entry : TheManifest().images) {
        if (entry.alpha != AlphaUse::Transparent || entry.layout == Layout::NinePart || filling.count(entry.name) ||
            !Loaded(entry.name))
            continue;
        const auto join = joined.find(entry.name);
        const auto free = [&](const char* side) { return join == joined.end() || !join->second.count(side); };
        const bool open[4] = {free("left"), free("right"), free("top"), free("bottom")};
        const ImageLib::Image& p = Pic(entry.name);
        if (p.GetWidth() != entry.width || p.GetHeight() != entry.height)
            continue; // reported with the sizes
        const int cw = entry.CelWidth(), ch = entry.CelHeight();
        // The strongest alpha on each side of the frame (left, right, top, bottom) over all cels.
        int sides[4] = {0, 0, 0, 0};
        std::string cels;
        for (int k = 0; k < entry.CelCount(); ++k) {
            const int x0 = (k % entry.columns) * cw, y0 = (k / entry.columns) * ch;
            const auto alpha = [&](int x, int y) { return Alpha(p.Pixel(x0 + x, y0 + y)); };
            int here[4] = {0, 0, 0, 0};
            for (int y = 0; y < ch; ++y) {
                here[0] = std::max(here[0], alpha(0, y));
                here[1] = std::max(here[1], alpha(cw - 1, y));
            }
            for (int x = 0; x < cw; ++x) {
                here[2] = std::max(here[2], alpha(x, 0));
                here[3] = std::max(here[3], alpha(x, ch - 1));
            }
            bool touches = false;
            for (int side = 0; side < 4; ++side)
                if (open[side] && here[side] > 0) {
                    touches = true;
                    sides[side] = std::max(sides[side], here[side]);
                }
            if (touches)
                cels += " " + std::to_string(k);
        }
        EXPECT_TRUE(cels.empty()) << entry.name << ": cels" << cels << " touch their frame (alpha up to: left "
                                  << sides[0] << ", right " << sides[1] << ", top " << sides[2] << ", bottom "
                                  << sides[3] << ")";
    }
}
