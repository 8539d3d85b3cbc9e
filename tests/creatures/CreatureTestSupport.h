#pragma once
// A headless game application for creature tests: coded images of the art
// manifest's sizes, recording fonts and sounds, a board, a widget manager and a
// seeded game generator.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "game/creatures/Enemy.h"
#include "game/shell/WinBTApp.h"

namespace CreatureTests {

struct DrawCall {
    std::string text;
    int x = 0;
    int y = 0;
    Zant::Color color;
    const Zant::Font* font = nullptr;
};

// A font with a fixed advance per character that records what it is asked to draw.
class RecordingFont : public Zant::Font {
public:
    RecordingFont(int advance, std::vector<DrawCall>* log) : mAdvance(advance), mLog(log) { mHeight = 20; }
    int StringWidth(const std::string& text) override { return mAdvance * static_cast<int>(text.size()); }
    void DrawString(Zant::Graphics*, int x, int y, const std::string& text, const Zant::Color& color,
                    const Zant::Rect&) override
    {
        mLog->push_back({text, x, y, color, this});
    }
    Zant::Font* Duplicate() override { return new RecordingFont(*this); }

    int mAdvance;
    std::vector<DrawCall>* mLog;
};

class TestApp : public Zant::WinBTApp {
public:
    void PlaySound(int id) override
    {
        sounds.push_back(id);
        if (playThrough)
            WinBTApp::PlaySound(id);
    }
    std::vector<int> sounds;
    // Also plays them through the application's sound manager, as the game does.
    bool playThrough = false;
};

// The pixels of a fixture image: opaque, red = the image's table index, green and
// blue = the column, so a drawn pixel tells which image and column it came from.
uint32_t CodedPixel(int index, int x);
int PixelImage(uint32_t pixel);
// The screen behind every draw: opaque black, as the board's sea is opaque.
constexpr uint32_t BACKGROUND = 0xFF000000u;
int PixelColumn(uint32_t pixel);

// The images of the art manifest by name: width, height.
struct ManifestEntry {
    int width = 0;
    int height = 0;
};
ManifestEntry ManifestSize(const std::string& name);
// An image of the art manifest's size for a table index, in coded pixels.
Zant::MemoryImage* MakeCodedImage(int index);

class CreatureFixture : public ::testing::Test {
protected:
    static constexpr uint32_t SEED = 1234;
    // Word font advance, typed font advance.
    static constexpr int WORD_ADVANCE = 10;
    static constexpr int TYPED_ADVANCE = 12;

    CreatureFixture();
    ~CreatureFixture() override;

    // Puts the game generator at the start of a seed's sequence; Expected() follows
    // the same sequence for the test's own arithmetic.
    void Reseed(uint32_t seed);
    int NextExpected() { return mExpected.Next(); }

    // One update as the board gives it: the creature, then the widget manager's timers.
    void Step(Zant::GameObject& creature, int updates = 1);
    std::vector<int> DrainEvents(Zant::Enemy& creature);
    void Draw(Zant::GameObject& creature);
    uint32_t ScreenPixel(int x, int y) const;

    std::unique_ptr<TestApp> app;
    Zant::Board* board = nullptr;
    std::vector<DrawCall> draws;
    RecordingFont* wordFont = nullptr;
    RecordingFont* typedFont = nullptr;
    Zant::MemoryImage screen;
    Zant::Graphics graphics;

private:
    Zant::MersenneTwister mExpected;
};

} // namespace CreatureTests
