#include "game/assets/GameAssets.h"

#include "framework/app/ZantApp.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/ImageFont.h"

namespace Zant {

// ---- Tables.

const char* const GameAssets::SUPPORT_ADDRESS = "support@vorlix.example";

const char* const GameAssets::IMAGE_NAMES[NUM_IMAGES] = {
    "diver_idle", "shark_basic_swim", "sharkshock", "shark_basic_death", // 0
    "bubble1", "bubble2", "bubble3", "upper_hose", // 4
    "statusbarX", "sharkfont1", "gem_green", "gem_orange", // 8
    "gem_purple", "gem_red", "gem_white", "gem_yellow", // 12
    "gameselector", "button_abyss_over", "button_abyss_down", "button_adventure_over", // 16
    "button_adventure_down", "button_tutor_over", "button_tutor_down", "topbackground", // 20
    "topbackground_iceberg", "topbackground_lighthouse", "topbackground_shipwreck", "topbackground_storm", // 24
    "topbackground_volcano", "mapfont1", "airgauge", "water1", // 28
    "textovers", "sharkfont1reversed", "empwave", "piranha_basic_swim", // 32
    "piranha_basic_death", "piranhashock", "oceanfloor", "gemglow", // 36
    "mapbg", "mapship", "point", "rumblecloud", // 40
    "checked", "slideranchor", "slider", "statusbarX_options_down", // 44
    "statusbarX_options_over", "statusbarX_quit_down", "statusbarX_quit_over", "statusbarmeter", // 48
    "statusbarX_pause_down", "statusbarX_pause_over", "diver_beaten", "bonus_creature_swim", // 52
    "bonus_creature_death", "torpedo_swim", "torpedo_explode", "torpedo_reverse", // 56
    "torpedo_boss_bobbing", "torpedo_boss_dying", "mapscreen_arch", "torpedo_boss_rotor", // 60
    "shark_red_swim", "shark_red_death", "shark_black_swim", "shark_black_death", // 64
    "rotor_torpedo", "point_green", "mapshipcolor", "shark_black_shock", // 68
    "shark_red_shock", "torpedo_launch", "piranha_white_swim", "piranha_white_death", // 72
    "shipwreckbonus", "toxic_basic_swim", "toxic_basic_death", "toxic_glow_swim", // 76
    "toxic_glow_death", "toxic_basic_shock", "shark_ghost_swim", "shark_ghost_death", // 80
    "shark_ghost_glow_swim", "shark_ghost_glow_death", "smallcarn", "smallgoldfish", // 84
    "mountain1", "mountain2", "mountain3", "editbox", // 88
    "medal_gold", "medal_silver", "medal_bronze", "statusbarX_battery_up", // 92
    "statusbarX_battery_down", "statusbarX_ready", "finger0", "finger1", // 96
    "finger2", "finger3", "finger4", "finger5", // 100
    "finger6", "finger7", "finger8", "tutor_bg", // 104
    "finger0x", "finger1x", "finger2x", "finger3x", // 108
    "finger4x", "finger5x", "finger6x", "finger7x", // 112
    "finger8x", "hands", "glowring", "glo_0", // 116
    "glo_1", "glo_2", "glo_3", "glo_4", // 120
    "glo_5", "glo_6", "glo_7", "glo_8", // 124
    "glo_9", "glo_a", "glo_b", "glo_c", // 128
    "glo_d", "glo_e", "glo_f", "glo_g", // 132
    "glo_h", "glo_i", "glo_j", "glo_k", // 136
    "glo_l", "glo_m", "glo_n", "glo_o", // 140
    "glo_p", "glo_q", "glo_r", "glo_s", // 144
    "glo_t", "glo_u", "glo_v", "glo_w", // 148
    "glo_x", "glo_y", "glo_z", "glo_apostrophe", // 152
    "glo_back", "glo_backslash", "glo_caps", "glo_colon", // 156
    "glo_comma", "glo_enter", "glo_forslash", "glo_hyphen", // 160
    "glo_lalt", "glo_lbrace", "glo_lctrl", "glo_lshift", // 164
    "glo_period", "glo_plus", "glo_ralt", "glo_rbrace", // 168
    "glo_rctrl", "glo_rshift", "glo_space", "glo_tab", // 172
    "glo_tilde", "tab_top", "tab_panel", "tab_top_shadow", // 176
    "tab_panel_white", "tab_button", "tab_radiobtn_active", "tab_radiobtn_inactive", // 180
    "tab_panel_treasure", "tab_panel_question", "gumbo_swim", "gumbo_die", // 184
    "gumbo_shock", "clams", "sand", "secret_crown", // 188
    "secret_figurine", "secret_necklace", "secret_scepter", "coralshelf", // 192
    "secret_crown_lrg", "secret_figurine_lrg", "secret_necklace_lrg", "secret_scepter_lrg", // 196
    "sonar_bg", "sonar_sweep_0", "sonar_sweep_1", "sonar_sweep_2", // 200
    "sonar_sweep_3", "sonar_sweep_4", "sonar_sweep2_0", "sonar_sweep2_1", // 204
    "sonar_sweep2_2", "sonar_sweep2_3", "sonar_sweep2_4", "sparkle_large", // 208
    "boss_galleon", "cannonball", "galleon_rudder", "boss_galleon_death", // 212
    "high_score_bg", "waitbar", "cannonball_turn", "boss_mecha", // 216
    "boss_mecha_fin", "boss_mecha_death", "boss_squid", "boss_squid_death", // 220
    "boss_squid_eye", "boss_squid_fin", "abyss_boss", "dbutton_hilight", // 224
    "boss_meter", "boss_meter_fill", "button_hall_down", "button_hall_over", // 228
    "button_options_down", "button_options_over", "button_quit_down", "button_quit_over", // 232
    "mapchest_a", "mapchest_b", "mapchest_c", "mapchest_a_open", // 236
    "mapchest_b_open", "mapchest_c_open", "cursor1", "pointer2", // 240
    "overhand", "quillet", "dialog", "dbutton", // 244
};

const char* const GameAssets::SOUND_NAMES[NUM_SOUNDS] = {
    "eerie1",     "eerie3",    "playerdies",  "sharkdies",     "wrong",         "buttonclick", "divebell1",
    "wingem",     "wave_bonus", "wave_bonus2", "wave_bonus3",  "treasure",      "shipmove",    "emp",
    "extralife",  "tone1",     "tone2",       "tone3",         "tone4",         "tone5",       "tone6",
    "tone7",      "tone8",     "tone9",       "tone10",        "tone11",        "tone12",      "tone13",
    "sonarping1", "torpedolaunch", "jellyfish", "explosion",   "type",          "type2",       "type3",
    "sharkhurt",  "diverenters", "piranhadies1", "underwaterloop", "bad",
};

// ---- Image table.

Image* GameAssets::GetImage(int index) const
{
    if (index < 0 || index >= NUM_IMAGES)
        return nullptr;
    return mImages[index];
}

void GameAssets::SetImage(int index, Image* image)
{
    if (index < 0 || index >= NUM_IMAGES) {
        delete image;
        return;
    }
    if (mImages[index] != image)
        delete mImages[index];
    mImages[index] = image;
}

namespace {

// An entry of a creature image map, or null when the map has none.
Image* MapEntry(const std::map<int, std::map<int, Image*>>& map, int creatureType, int slot)
{
    auto type = map.find(creatureType);
    if (type == map.end())
        return nullptr;
    auto image = type->second.find(slot);
    return image == type->second.end() ? nullptr : image->second;
}

} // namespace

Image* GameAssets::GetSharkImage(int creatureType, int slot) const
{
    return MapEntry(mSharkImages, creatureType, slot);
}

Image* GameAssets::GetPiranhaImage(int creatureType, int slot) const
{
    return MapEntry(mPiranhaImages, creatureType, slot);
}

Image* GameAssets::GetFishImage(int kind, int tint) const
{
    const size_t index = size_t(kind) * NUM_FISH_TINTS + size_t(tint);
    if (kind < 0 || tint < 0 || tint >= NUM_FISH_TINTS || index >= mFishImages.size())
        return nullptr;
    return mFishImages[index];
}

GameAssets::~GameAssets()
{
    FreeOutlinedFonts();
    FreeImages();
}

Font* GameAssets::OutlinedFont(Font* font)
{
    if (font == nullptr)
        return nullptr;
    Font*& outlined = mOutlinedFonts[font];
    if (outlined == nullptr) {
        outlined = font->Duplicate();
        if (auto* image = dynamic_cast<ImageFont*>(outlined))
            image->AddTag("DarkRim");
    }
    return outlined;
}

void GameAssets::FreeOutlinedFonts()
{
    for (auto& [font, outlined] : mOutlinedFonts)
        delete outlined;
    mOutlinedFonts.clear();
}

void GameAssets::FreeFonts()
{
    FreeOutlinedFonts();
    for (Font** font : {&mFontGillSans10Bold, &mFontMyriad28Bold, &mFontMyriad28BoldGL, &mFontMyriad12Bold,
                        &mFontMyriad14Bold, &mFontSwiss24, &mFontUnsteady22, &mFontRockwell13, &mFontRockwell13Bold,
                        &mFontMyriad15, &mFontMyriad15b, &mFont12pt, &mFont12ptGlow, &mFontCourier15Bold}) {
        delete *font;
        *font = nullptr;
    }
}

void GameAssets::PlaySound(int id)
{
    if (mApp != nullptr)
        mApp->PlaySound(id);
}

} // namespace Zant
