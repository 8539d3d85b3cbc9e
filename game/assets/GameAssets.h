#pragma once
// The game's assets: the image table with the derived (mirrored, tinted, see-through)
// images and the creature image maps, the fonts and the sound table, and the loading
// of the images. The application (WinBTApp, which is a GameAssets) drives the loading
// and frees them; the board and the creatures read them through a reference and never
// see the application.
#include <array>
#include <map>
#include <vector>

#include "framework/graphics/ImageBatchLoader.h"

namespace Zant {

struct Color;
class Font;
class Image;
class ZantApp;

// Numbers of the image table that the game's code names (the full list of names is
// GameAssets::IMAGE_NAMES).
enum ImageId {
    IMAGE_DIVER_IDLE = 0,
    IMAGE_SHARK_BASIC_SWIM = 1,
    IMAGE_SHARKSHOCK = 2,
    IMAGE_SHARK_BASIC_DEATH = 3,
    IMAGE_BUBBLE1 = 4,
    IMAGE_BUBBLE2 = 5,
    IMAGE_BUBBLE3 = 6,
    IMAGE_UPPER_HOSE = 7,
    IMAGE_STATUSBARX = 8,
    IMAGE_GEM_GREEN = 10,
    IMAGE_GAMESELECTOR = 16,
    IMAGE_TOPBACKGROUND = 23,
    IMAGE_WATER1 = 31,
    IMAGE_EMPWAVE = 34,
    IMAGE_PIRANHA_BASIC_SWIM = 35,
    IMAGE_PIRANHA_BASIC_DEATH = 36,
    IMAGE_PIRANHASHOCK = 37,
    IMAGE_OCEANFLOOR = 38,
    IMAGE_RUMBLECLOUD = 43,
    IMAGE_DIVER_BEATEN = 54,
    IMAGE_BONUS_CREATURE_SWIM = 55,
    IMAGE_BONUS_CREATURE_DEATH = 56,
    IMAGE_TORPEDO_SWIM = 57,
    IMAGE_SHARK_RED_SWIM = 64,
    IMAGE_SHARK_RED_DEATH = 65,
    IMAGE_SHARK_BLACK_SWIM = 66,
    IMAGE_SHARK_BLACK_DEATH = 67,
    IMAGE_ROTOR_TORPEDO = 68,
    IMAGE_SHARK_BLACK_SHOCK = 71,
    IMAGE_SHARK_RED_SHOCK = 72,
    IMAGE_PIRANHA_WHITE_SWIM = 74,
    IMAGE_PIRANHA_WHITE_DEATH = 75,
    IMAGE_TOXIC_BASIC_SWIM = 77,
    IMAGE_TOXIC_BASIC_DEATH = 78,
    IMAGE_TOXIC_GLOW_SWIM = 79,
    IMAGE_TOXIC_GLOW_DEATH = 80,
    IMAGE_TOXIC_BASIC_SHOCK = 81,
    IMAGE_SHARK_GHOST_SWIM = 82,
    IMAGE_SHARK_GHOST_DEATH = 83,
    IMAGE_SHARK_GHOST_GLOW_SWIM = 84,
    IMAGE_SHARK_GHOST_GLOW_DEATH = 85,
    IMAGE_SMALLCARN = 86,
    IMAGE_SMALLGOLDFISH = 87,
    IMAGE_GUMBO_SWIM = 186,
    IMAGE_GUMBO_DIE = 187,
    IMAGE_GUMBO_SHOCK = 188,
    IMAGE_CLAMS = 189,
    IMAGE_SONAR_SWEEP_0 = 201,
    IMAGE_SONAR_SWEEP2_0 = 206,
    IMAGE_CANNONBALL = 213,
    IMAGE_CURSOR1 = 242,
    IMAGE_DIALOG = 246,
    IMAGE_DBUTTON = 247,
};

// Sound ids of the sound table.
enum SoundId {
    SOUND_EERIE1 = 0,
    SOUND_EERIE3 = 1,
    SOUND_PLAYERDIES = 2,
    SOUND_SHARKDIES = 3,
    SOUND_WRONG = 4,
    SOUND_BUTTONCLICK = 5,
    SOUND_DIVEBELL1 = 6,
    SOUND_WINGEM = 7,
    SOUND_WAVE_BONUS = 8,
    SOUND_WAVE_BONUS2 = 9,
    SOUND_WAVE_BONUS3 = 10,
    SOUND_TREASURE = 11,
    SOUND_SHIPMOVE = 12,
    SOUND_EMP = 13,
    SOUND_EXTRALIFE = 14,
    SOUND_TONE1 = 15,
    SOUND_SONARPING1 = 28,
    SOUND_TORPEDOLAUNCH = 29,
    SOUND_JELLYFISH = 30,
    SOUND_EXPLOSION = 31,
    SOUND_TYPE = 32,
    SOUND_TYPE2 = 33,
    SOUND_TYPE3 = 34,
    SOUND_SHARKHURT = 35,
    SOUND_DIVERENTERS = 36,
    SOUND_PIRANHADIES1 = 37,
    SOUND_UNDERWATERLOOP = 38,
    SOUND_BAD = 39,
};

// Image slots of the creature image maps, which hold the sprite variants built
// after loading. The stealth types hold see-through copies (white at half
// transparency) in the swim and death slots; other types may hold the strip itself.
enum SpriteVariant {
    VARIANT_SWIM = 0,
    VARIANT_DEATH = 2,
    VARIANT_MIRRORED = 3, // swim strip facing right
    VARIANT_RED = 4,      // swim strip tinted red
};

class GameAssets {
public:
    static constexpr int NUM_IMAGES = 248;
    // Images 0 .. NUM_LOADED_IMAGES - 1 come from the loading procedure, the rest from Init.
    static constexpr int NUM_LOADED_IMAGES = 242;
    static constexpr int NUM_SOUNDS = 40;
    static constexpr int NUM_FISH_TINTS = 3;
    static const char* const IMAGE_NAMES[NUM_IMAGES];
    static const char* const SOUND_NAMES[NUM_SOUNDS];
    // Named in the message about a missing or damaged file.
    static const char* const SUPPORT_ADDRESS;

    // The framework application plays the sounds, and decodes, copies and registers
    // the images; its shutdown flag stops the loading.
    explicit GameAssets(ZantApp* app) : mApp(app) {}
    GameAssets(const GameAssets&) = delete;
    GameAssets& operator=(const GameAssets&) = delete;
    // Frees the images and derived images still held.
    virtual ~GameAssets();

    // ---- Loading (on the loading thread; each loaded image counts one loading step).
    // Starts decoding the files of images 0 .. 241 on worker threads, so the loading
    // thread does other work meanwhile.
    void StartImageDecoding();
    // Loads images 0 .. 241 from images\ (the decoding started, or starts it); false
    // (after the missing-file message) on the first that fails. Stops early, with
    // true, once the application is shutting down.
    bool LoadImageOrDie();
    // The mirrored, tinted and see-through copies the creatures, shots and the board use.
    void BuildDerivedImages();
    // Gives the creature word fonts their rims (see the fonts' LightRim and DarkRim
    // layers), once they are loaded.
    void RimWordFonts();

    // ---- Image table and derived images.
    // Null for an index outside the table or an image not loaded.
    Image* GetImage(int index) const;
    // Puts an image into the table, which owns it from then on (a previous one is freed).
    void SetImage(int index, Image* image);
    // An entry of the shark or piranha image map: by creature type and image slot;
    // null when the map has none.
    Image* GetSharkImage(int creatureType, int slot) const;
    Image* GetPiranhaImage(int creatureType, int slot) const;
    // Background fish: kind 0 smallcarn, 1 smallgoldfish; tint 0 .. 2.
    Image* GetFishImage(int kind, int tint) const;

    // ---- Fonts of the creatures.
    Font* GetWordFont() const { return mFontMyriad15; }
    Font* GetTypedFont() const { return mFontMyriad15b; }
    Font* GetPiranhaFont() const { return mFontMyriad14Bold; }
    Font* GetBonusFont() const { return mFontMyriad12Bold; }
    Font* GetClamFont() const { return mFontGillSans10Bold; }
    Font* GetShotFont() const { return mFontCourier15Bold; }

    // The font with a dark outline round its letters (its DarkRim layer), for texts
    // whose colour is fixed but lies near that of the picture under them; made once
    // and kept until FreeOutlinedFonts. Null for null.
    Font* OutlinedFont(Font* font);
    // Frees the outlined copies; done before the fonts they copy are freed.
    void FreeOutlinedFonts();

    // ---- Sounds: one of the sound table (SoundId).
    void PlaySound(int id);

    // ---- Derived images (owned; see BuildDerivedImages).
    std::vector<Image*> mFishImages;
    Image* mRotorTorpedoMirror = nullptr;
    Image* mCannonballMirror = nullptr;
    Image* mTorpedoSwimMirror = nullptr;
    Image* mToxicSwimMirror = nullptr;
    Image* mToxicGlowMirror = nullptr;
    Image* mGhostSwimMirror = nullptr;
    Image* mGhostGlowMirror = nullptr;
    std::vector<Image*> mSonarSweeps;
    std::vector<Image*> mSonarSweeps2;

    // ---- Fonts (owned ImageFonts, named after their descriptor files).
    Font* mFontGillSans10Bold = nullptr;
    Font* mFontMyriad28Bold = nullptr;
    Font* mFontMyriad28BoldGL = nullptr;
    Font* mFontMyriad12Bold = nullptr;
    Font* mFontMyriad14Bold = nullptr;
    Font* mFontSwiss24 = nullptr;
    Font* mFontUnsteady22 = nullptr;
    Font* mFontRockwell13 = nullptr;
    Font* mFontRockwell13Bold = nullptr;
    Font* mFontMyriad15 = nullptr;
    Font* mFontMyriad15b = nullptr;
    Font* mFont12pt = nullptr;
    Font* mFont12ptGlow = nullptr;
    Font* mFontCourier15Bold = nullptr;

    // The image table by index (owned).
    std::array<Image*, NUM_IMAGES> mImages{};

    // Creature image maps: creature type -> image slot -> image (not all owned).
    std::map<int, std::map<int, Image*>> mSharkImages;
    std::map<int, std::map<int, Image*>> mPiranhaImages;

protected:
    // Deletes the fonts and their outlined copies (not done on destruction: fonts
    // set from outside stay their setter's).
    void FreeFonts();
    // Empties the image table, the derived images and the maps that point into them.
    void FreeImages();

private:
    // Keeps a derived image for deletion and returns it.
    Image* KeepDerived(Image* image);
    Image* MirroredCopy(Image* source);
    Image* TintedCopy(Image* source, const Color& color);
    Image* DarkenedMirror(int index);

    ZantApp* mApp = nullptr;
    std::map<Font*, Font*> mOutlinedFonts;
    std::vector<Image*> mDerivedImages;
    // The image table's files being decoded (joined before the application goes).
    ImageBatchLoader mImageDecoding{true};
};

} // namespace Zant
