// Every image the game loads must be in the program folder with the size,
// cel layout and alpha use its drawing code expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

#include "PngReader.h"
#include "tests/support/TestSupport.h"
#include "tools/art/Manifest.h"

using ArtTest::Picture;
using Zant::Art::AlphaUse;
using Zant::Art::ImageSpec;
using Zant::Art::Layout;
using Zant::Art::Manifest;

namespace {

// The game's image table in index order, then the title screen's images and the window icon.
const char* const kGameImages[] = {
    "diver_idle", "shark_basic_swim", "sharkshock", "shark_basic_death", "bubble1", "bubble2", "bubble3",
    "upper_hose", "statusbarX", "sharkfont1", "gem_green", "gem_orange", "gem_purple", "gem_red", "gem_white",
    "gem_yellow", "gameselector", "button_abyss_over", "button_abyss_down", "button_adventure_over",
    "button_adventure_down", "button_tutor_over", "button_tutor_down", "topbackground", "topbackground_iceberg",
    "topbackground_lighthouse", "topbackground_shipwreck", "topbackground_storm", "topbackground_volcano",
    "mapfont1", "airgauge", "water1", "textovers", "sharkfont1reversed", "empwave", "piranha_basic_swim",
    "piranha_basic_death", "piranhashock", "oceanfloor", "gemglow", "mapbg", "mapship", "point", "rumblecloud",
    "checked", "slideranchor", "slider", "statusbarX_options_down", "statusbarX_options_over",
    "statusbarX_quit_down", "statusbarX_quit_over", "statusbarmeter", "statusbarX_pause_down",
    "statusbarX_pause_over", "diver_beaten", "bonus_creature_swim", "bonus_creature_death", "torpedo_swim",
    "torpedo_explode", "torpedo_reverse", "torpedo_boss_bobbing", "torpedo_boss_dying", "mapscreen_arch",
    "torpedo_boss_rotor", "shark_red_swim", "shark_red_death", "shark_black_swim", "shark_black_death",
    "rotor_torpedo", "point_green", "mapshipcolor", "shark_black_shock", "shark_red_shock", "torpedo_launch",
    "piranha_white_swim", "piranha_white_death", "shipwreckbonus", "toxic_basic_swim", "toxic_basic_death",
    "toxic_glow_swim", "toxic_glow_death", "toxic_basic_shock", "shark_ghost_swim", "shark_ghost_death",
    "shark_ghost_glow_swim", "shark_ghost_glow_death", "smallcarn", "smallgoldfish", "mountain1", "mountain2",
    "mountain3", "editbox", "medal_gold", "medal_silver", "medal_bronze", "statusbarX_battery_up",
    "statusbarX_battery_down", "statusbarX_ready", "finger0", "finger1", "finger2", "finger3", "finger4", "finger5",
    "finger6", "finger7", "finger8", "tutor_bg", "finger0x", "finger1x", "finger2x", "finger3x", "finger4x",
    "finger5x", "finger6x", "finger7x", "finger8x", "hands", "glowring", "glo_0", "glo_1", "glo_2", "glo_3", "glo_4",
    "glo_5", "glo_6", "glo_7", "glo_8", "glo_9", "glo_a", "glo_b", "glo_c", "glo_d", "glo_e", "glo_f", "glo_g",
    "glo_h", "glo_i", "glo_j", "glo_k", "glo_l", "glo_m", "glo_n", "glo_o", "glo_p", "glo_q", "glo_r", "glo_s",
    "glo_t", "glo_u", "glo_v", "glo_w", "glo_x", "glo_y", "glo_z", "glo_apostrophe", "glo_back", "glo_backslash",
    "glo_caps", "glo_colon", "glo_comma", "glo_enter", "glo_forslash", "glo_hyphen", "glo_lalt", "glo_lbrace",
    "glo_lctrl", "glo_lshift", "glo_period", "glo_plus", "glo_ralt", "glo_rbrace", "glo_rctrl", "glo_rshift",
    "glo_space", "glo_tab", "glo_tilde", "tab_top", "tab_panel", "tab_top_shadow", "tab_panel_white", "tab_button",
    "tab_radiobtn_active", "tab_radiobtn_inactive", "tab_panel_treasure", "tab_panel_question", "gumbo_swim",
    "gumbo_die", "gumbo_shock", "clams", "sand", "secret_crown", "secret_figurine", "secret_necklace",
    "secret_scepter", "coralshelf", "secret_crown_lrg", "secret_figurine_lrg", "secret_necklace_lrg",
    "secret_scepter_lrg", "sonar_bg", "sonar_sweep_0", "sonar_sweep_1", "sonar_sweep_2", "sonar_sweep_3",
    "sonar_sweep_4", "sonar_sweep2_0", "sonar_sweep2_1", "sonar_sweep2_2", "sonar_sweep2_3", "sonar_sweep2_4",
    "sparkle_large", "boss_galleon", "cannonball", "galleon_rudder", "boss_galleon_death", "high_score_bg",
    "waitbar", "cannonball_turn", "boss_mecha", "boss_mecha_fin", "boss_mecha_death", "boss_squid",
    "boss_squid_death", "boss_squid_eye", "boss_squid_fin", "abyss_boss", "dbutton_hilight", "boss_meter",
    "boss_meter_fill", "button_hall_down", "button_hall_over", "button_options_down", "button_options_over",
    "button_quit_down", "button_quit_over", "mapchest_a", "mapchest_b", "mapchest_c", "mapchest_a_open",
    "mapchest_b_open", "mapchest_c_open", "cursor1", "pointer2", "overhand", "quillet", "dialog", "dbutton",
};
const char* const kOtherImages[] = {"title", "title_bar", "title_goldbar", "title_continue", "title_continue_over", "icon"};

class ArtImages : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sManifest = std::make_unique<Manifest>();
        std::string error;
        ASSERT_TRUE(Zant::Art::LoadManifest(TestSupport::SourceDir() + "/tools/art/images.manifest", *sManifest, error))
            << error;
        sPictures = std::make_unique<std::map<std::string, Picture>>();
        for (const ImageSpec& spec : sManifest->images) {
            Picture p;
            if (ArtTest::ReadPng(TestSupport::GameDir() + "/images/" + spec.name + ".png", p))
                (*sPictures)[spec.name] = std::move(p);
        }
    }
    static void TearDownTestSuite()
    {
        sManifest.reset();
        sPictures.reset();
    }

    static const ImageSpec& Spec(const std::string& name)
    {
        const ImageSpec* spec = sManifest->Find(name);
        if (!spec)
            ADD_FAILURE() << name << " is not in the manifest";
        static ImageSpec empty;
        return spec ? *spec : empty;
    }
    static const Picture& Pic(const std::string& name)
    {
        static Picture empty;
        auto found = sPictures->find(name);
        if (found == sPictures->end()) {
            ADD_FAILURE() << name << ".png was not read";
            return empty;
        }
        return found->second;
    }

    // Mean absolute channel difference (alpha-weighted colour plus alpha) of two cels.
    static double CelDifference(const Picture& p, const ImageSpec& s, int a, int b)
    {
        int cw = s.CelWidth(), ch = s.CelHeight();
        double sum = 0;
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) {
                const uint8_t* pa = p.At((a % s.columns) * cw + x, (a / s.columns) * ch + y);
                const uint8_t* pb = p.At((b % s.columns) * cw + x, (b / s.columns) * ch + y);
                for (int c = 0; c < 3; ++c)
                    sum += std::abs(pa[c] * pa[3] - pb[c] * pb[3]) / 255.0;
                sum += std::abs(pa[3] - pb[3]);
            }
        return sum / (double(cw) * ch);
    }

    static std::unique_ptr<Manifest> sManifest;
    static std::unique_ptr<std::map<std::string, Picture>> sPictures;
};

std::unique_ptr<Manifest> ArtImages::sManifest;
std::unique_ptr<std::map<std::string, Picture>> ArtImages::sPictures;

TEST_F(ArtImages, ManifestCoversEveryImageTheGameLoads)
{
    EXPECT_EQ(std::size(kGameImages), 248u);
    for (const char* name : kGameImages)
        EXPECT_NE(sManifest->Find(name), nullptr) << name;
    for (const char* name : kOtherImages)
        EXPECT_NE(sManifest->Find(name), nullptr) << name;
}

TEST_F(ArtImages, EveryImageExistsWithItsSizeAndAlphaUse)
{
    for (const ImageSpec& spec : sManifest->images) {
        SCOPED_TRACE(spec.name);
        const Picture& p = Pic(spec.name);
        if (p.pixels.empty())
            continue;
        EXPECT_TRUE(p.rgba8) << "not an 8-bit RGBA PNG";
        ASSERT_EQ(p.width, spec.width);
        ASSERT_EQ(p.height, spec.height);
        size_t clear = 0, partial = 0;
        for (size_t i = 3; i < p.pixels.size(); i += 4) {
            clear += p.pixels[i] == 0;
            partial += p.pixels[i] > 0 && p.pixels[i] < 255;
        }
        if (spec.alpha == AlphaUse::Transparent)
            EXPECT_GT(clear, 0u) << "a sprite needs fully transparent pixels";
        else
            EXPECT_EQ(clear + partial, 0u) << "opaque and additive images have alpha 255 everywhere";
    }
}

TEST_F(ArtImages, TransparentPixelsCarryTheirNeighboursColour)
{
    // A clear pixel next to a light solid one must not be left black, or
    // filtering and tinting leave dark fringes.
    for (const ImageSpec& spec : sManifest->images) {
        if (spec.alpha != AlphaUse::Transparent)
            continue;
        SCOPED_TRACE(spec.name);
        const Picture& p = Pic(spec.name);
        int bad = 0, edges = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x + 1 < p.width; ++x) {
                const uint8_t* a = p.At(x, y);
                const uint8_t* b = p.At(x + 1, y);
                const uint8_t* clear = a[3] == 0 && b[3] == 255 ? a : b[3] == 0 && a[3] == 255 ? b : nullptr;
                if (!clear)
                    continue;
                const uint8_t* solid = clear == a ? b : a;
                ++edges;
                bad += clear[0] + clear[1] + clear[2] < 30 && solid[0] + solid[1] + solid[2] > 200;
            }
        EXPECT_EQ(bad, 0) << bad << " of " << edges << " edge pixels";
    }
}

TEST_F(ArtImages, LoopingStripsAnimateAndCloseOnThemselves)
{
    // Mirrored strips play backwards, so a swim cycle must join its last cel
    // to its first as smoothly as any two neighbours.
    for (const ImageSpec& spec : sManifest->images) {
        if (!spec.loops)
            continue;
        SCOPED_TRACE(spec.name);
        const Picture& p = Pic(spec.name);
        if (p.pixels.empty())
            continue;
        int n = spec.CelCount();
        ASSERT_GT(n, 2);
        double largest = 0, smallest = 1e9;
        for (int k = 0; k + 1 < n; ++k) {
            double d = CelDifference(p, spec, k, k + 1);
            largest = std::max(largest, d);
            smallest = std::min(smallest, d);
        }
        EXPECT_GT(smallest, 0.0) << "two neighbouring cels are the same picture";
        EXPECT_LE(CelDifference(p, spec, n - 1, 0), largest * 1.5 + 0.01) << "the loop jumps";
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
        const ImageSpec& a = Spec(s.a);
        const ImageSpec& b = Spec(s.b);
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
        const ImageSpec& s = Spec(c.name);
        // Zero means the code leaves that number to the image.
        EXPECT_EQ(s.CelCount(), c.count ? c.count : s.CelCount());
        EXPECT_EQ(s.CelWidth(), c.w ? c.w : s.CelWidth());
        EXPECT_EQ(s.CelHeight(), c.h ? c.h : s.CelHeight());
    }
    EXPECT_EQ(Spec("cannonball").layout, Layout::Vertical);
    EXPECT_EQ(Spec("clams").columns, 10);
    EXPECT_EQ(Spec("clams").rows, 4);
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
        EXPECT_EQ(Spec(s.name).width, s.w);
        EXPECT_EQ(Spec(s.name).height, s.h);
    }
    const ImageSpec& map = Spec("mapbg");
    EXPECT_EQ(map.width - 640, map.height - 480) << "the map scrolls the same distance both ways";
    EXPECT_GT(map.width, 640);
    EXPECT_GE(Spec("water1").width, 660) << "the wavy draw reads past 640";
    EXPECT_LE(Spec("title_bar").width, 514);
    EXPECT_LE(Spec("title_bar").height, 126);
    EXPECT_GE(Spec("statusbarmeter").width, 228);
    EXPECT_GE(Spec("torpedo_explode").CelHeight(), 110);
    for (const char* scene : {"topbackground_iceberg", "topbackground_lighthouse", "topbackground_shipwreck",
                              "topbackground_storm", "topbackground_volcano"})
        EXPECT_EQ(Spec(scene).height, Spec("topbackground").height) << scene;
    for (const char* medal : {"medal_gold", "medal_silver", "medal_bronze"})
        EXPECT_NEAR(double(Spec(medal).width) / Spec(medal).height, 66.0 / 90.0, 0.02) << medal;
    EXPECT_LE(Spec("galleon_rudder").CelHeight() + 300, Spec("boss_galleon").height + 47);
    EXPECT_LE(Spec("boss_galleon").height + Spec("statusbarX").height, 400) << "the galleon must be able to bob";
}

TEST_F(ArtImages, SeeThroughWindowsAreOpen)
{
    // The charge bar shows through the status bar, the boss bar through its frame.
    struct Hole {
        const char* name;
        int x, y;
    } holes[] = {{"statusbarX", 120, 10}, {"statusbarX", 340, 30}, {"statusbarX", 230, 20},
                 {"boss_meter", 37, 11},  {"boss_meter", 328, 28}, {"title_bar", 30, 20}};
    for (const Hole& h : holes) {
        const Picture& p = Pic(h.name);
        if (p.pixels.empty())
            continue;
        int want = std::string(h.name) == "title_bar" ? 255 : 0; // the gold bar's trough is solid
        EXPECT_EQ(p.At(h.x, h.y)[3], want) << h.name << " at " << h.x << "," << h.y;
    }
}

TEST_F(ArtImages, CursorsAreCentredOnTheirHotSpot)
{
    // The display centres a cursor image on the mouse, so the point is the image centre.
    for (const char* name : {"cursor1", "pointer2", "overhand", "quillet"}) {
        SCOPED_TRACE(name);
        const Picture& p = Pic(name);
        if (p.pixels.empty())
            continue;
        EXPECT_LE(p.width, 64);
        EXPECT_LE(p.height, 64);
        EXPECT_EQ(p.width % 2, 0);
        EXPECT_EQ(p.height % 2, 0);
        int cx = p.width / 2, cy = p.height / 2;
        int covered = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                covered += p.At(cx + dx, cy + dy)[3] > 128;
        EXPECT_GT(covered, 0) << "nothing drawn at the hot spot";
    }
}

TEST_F(ArtImages, NinePartMiddlesTileSeamlessly)
{
    // Edges and centre repeat without stretching: a repeated middle cell must
    // join itself (its last column meets its first, and likewise rows).
    for (const ImageSpec& spec : sManifest->images) {
        if (spec.layout != Layout::NinePart)
            continue;
        SCOPED_TRACE(spec.name);
        const Picture& p = Pic(spec.name);
        if (p.pixels.empty())
            continue;
        int cw = p.width / 3, ch = p.height / 3;
        ASSERT_GE(cw, 3);
        ASSERT_GE(ch, 3);
        int worst = 0;
        for (int y = 0; y < p.height; ++y) // across the horizontal repeat
            for (int c = 0; c < 4; ++c)
                worst = std::max(worst, std::abs(p.At(cw, y)[c] - p.At(2 * cw - 1, y)[c]));
        for (int x = 0; x < p.width; ++x) // across the vertical repeat
            for (int c = 0; c < 4; ++c)
                worst = std::max(worst, std::abs(p.At(x, ch)[c] - p.At(x, 2 * ch - 1)[c]));
        EXPECT_LE(worst, 24);
    }
}

TEST_F(ArtImages, SeaTileRepeatsDownwards)
{
    // Two tiles stack and wrap at the tile's height.
    const Picture& p = Pic("water1");
    ASSERT_FALSE(p.pixels.empty());
    double sum = 0;
    for (int x = 0; x < p.width; ++x)
        for (int c = 0; c < 3; ++c)
            sum += std::abs(p.At(x, 0)[c] - p.At(x, p.height - 1)[c]);
    EXPECT_LT(sum / (p.width * 3), 6.0);
}

} // namespace
