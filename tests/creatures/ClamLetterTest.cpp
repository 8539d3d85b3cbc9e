// A clam's letter, drawn by the game where the clam puts it, must stand on the
// clam's dark plate: white letters read on it, not half on the pale shell and half
// on the water below the lip.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "framework/graphics/FontHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "game/creatures/Clam.h"
#include "tests/creatures/CreatureTestSupport.h"
#include "tests/support/Contrast.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

// Mid-water behind the clams, as on the secret bonus level.
constexpr uint32_t WATER = 0xFF1C6E8Cu;

// The clam drawn at (x, y) on the water, in the given state and idle frame.
std::unique_ptr<MemoryImage> DrawClam(Clam& clam, int state, int frame, int x, int y)
{
    auto screen = std::make_unique<MemoryImage>();
    screen->Create(96, 80);
    std::fill(screen->GetBits(), screen->GetBits() + 96 * 80, WATER);
    screen->BitsChanged();
    Graphics g(screen.get());
    clam.mState = state;
    clam.mFrame = frame;
    clam.mX = x;
    clam.mY = y;
    clam.Draw(&g);
    return screen;
}

} // namespace

TEST(ClamLetter, EveryLetterStandsOnTheClamsDarkPlate)
{
    const std::string folder = TestSupport::GameDir();
    if (!std::filesystem::exists(folder + "/images/clams.png"))
        GTEST_SKIP() << "the art is not built in " << folder;
    TestSupport::WorkingFolder inFolder(folder);
    CreatureTests::TestApp app;
    ASSERT_TRUE(app.LoadImageOrDie());
    SoftwareFontHost fonts;
    auto* font = new ImageFont(&fonts, "data/GillSansMT10Bold.txt");
    ASSERT_TRUE(font->IsLoaded());
    app.mFontGillSans10Bold = font; // the application frees it
    Clam clam(&app, 0);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        clam.SetWord(std::string(1, letter));
        for (int frame = 0; frame < Clam::COLUMNS; ++frame) {
            SCOPED_TRACE(std::string(1, letter) + " frame " + std::to_string(frame));
            const auto with = DrawClam(clam, Clam::SHOWING_LETTER, frame, 16, 12);
            const auto without = DrawClam(clam, Clam::IDLE, frame, 16, 12);
            const uint32_t* a = with->GetBits();
            const uint32_t* b = without->GetBits();
            const auto changed = [&](int x, int y) { return a[y * 96 + x] != b[y * 96 + x]; };
            // The ring of pixels round the letter's strokes, as they are without
            // it: nearly all of it must be dark enough for white to read at 7:1 (a
            // few of its pixels may fall on the plate's rim or the shell's lip).
            int ring = 0, dark = 0;
            for (int y = 1; y < 79; ++y)
                for (int x = 1; x < 95; ++x) {
                    if (changed(x, y))
                        continue;
                    bool next = false;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            next = next || changed(x + dx, y + dy);
                    if (!next)
                        continue;
                    ++ring;
                    dark += TestSupport::ContrastRatio(0xFFFFFFFFu, b[y * 96 + x]) >= 7.0;
                }
            ASSERT_GT(ring, 0) << "the letter is drawn";
            EXPECT_GE(double(dark) / ring, 0.9) << dark << " of " << ring << " pixels round the letter";
        }
    }
}
