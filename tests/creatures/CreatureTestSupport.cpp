#include "tests/creatures/CreatureTestSupport.h"

#include <algorithm>
#include <map>
#include <sstream>

#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "tests/support/TestSupport.h"

namespace CreatureTests {

using namespace Zant;

namespace {

// The images creatures, the diver, bubbles and the board read.
const int FIXTURE_IMAGES[] = {
    IMAGE_DIVER_IDLE, IMAGE_SHARK_BASIC_SWIM, IMAGE_SHARKSHOCK, IMAGE_SHARK_BASIC_DEATH, IMAGE_BUBBLE1,
    IMAGE_BUBBLE2, IMAGE_BUBBLE3, IMAGE_UPPER_HOSE, IMAGE_STATUSBARX, IMAGE_TOPBACKGROUND, IMAGE_WATER1,
    IMAGE_EMPWAVE, IMAGE_PIRANHA_BASIC_SWIM, IMAGE_PIRANHA_BASIC_DEATH, IMAGE_PIRANHASHOCK, IMAGE_RUMBLECLOUD,
    IMAGE_DIVER_BEATEN, IMAGE_BONUS_CREATURE_SWIM, IMAGE_BONUS_CREATURE_DEATH, IMAGE_SHARK_RED_SWIM,
    IMAGE_SHARK_RED_DEATH, IMAGE_SHARK_BLACK_SWIM, IMAGE_SHARK_BLACK_DEATH, IMAGE_SHARK_BLACK_SHOCK,
    IMAGE_SHARK_RED_SHOCK, IMAGE_PIRANHA_WHITE_SWIM, IMAGE_PIRANHA_WHITE_DEATH, IMAGE_TOXIC_BASIC_SWIM,
    IMAGE_TOXIC_BASIC_DEATH, IMAGE_TOXIC_GLOW_SWIM, IMAGE_TOXIC_GLOW_DEATH, IMAGE_TOXIC_BASIC_SHOCK,
    IMAGE_SHARK_GHOST_SWIM, IMAGE_SHARK_GHOST_DEATH, IMAGE_SHARK_GHOST_GLOW_SWIM, IMAGE_SHARK_GHOST_GLOW_DEATH,
    IMAGE_SMALLCARN, IMAGE_SMALLGOLDFISH, IMAGE_GUMBO_SWIM, IMAGE_GUMBO_DIE, IMAGE_GUMBO_SHOCK, IMAGE_CLAMS,
};

const std::map<std::string, ManifestEntry>& Manifest()
{
    static const std::map<std::string, ManifestEntry> entries = [] {
        std::map<std::string, ManifestEntry> m;
        std::istringstream in(TestSupport::ReadFile(TestSupport::SourceDir() + "/tools/art/images.manifest"));
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string kind, name, size;
            fields >> kind >> name >> size;
            if (kind != "image")
                continue;
            ManifestEntry e;
            if (std::sscanf(size.c_str(), "%dx%d", &e.width, &e.height) == 2)
                m[name] = e;
        }
        return m;
    }();
    return entries;
}

} // namespace

uint32_t CodedPixel(int index, int x) { return 0xFF000000u | (uint32_t(index) << 16) | (uint32_t(x) & 0xFFFF); }
int PixelImage(uint32_t pixel) { return int((pixel >> 16) & 0xFF); }
int PixelColumn(uint32_t pixel) { return int(pixel & 0xFFFF); }

ManifestEntry ManifestSize(const std::string& name)
{
    auto it = Manifest().find(name);
    EXPECT_NE(it, Manifest().end()) << name;
    return it == Manifest().end() ? ManifestEntry{} : it->second;
}

MemoryImage* MakeCodedImage(int index)
{
    const ManifestEntry size = ManifestSize(WinBTApp::IMAGE_NAMES[index]);
    // The coded pixels of an image never change: made once for all the tests.
    static std::map<int, std::vector<uint32_t>> cache;
    std::vector<uint32_t>& pixels = cache[index];
    if (pixels.empty()) {
        pixels.resize(size_t(size.width) * size.height);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                pixels[size_t(y) * size.width + x] = CodedPixel(index, x);
    }
    auto* image = new MemoryImage();
    image->SetBits(pixels.data(), size.width, size.height);
    return image;
}

CreatureFixture::CreatureFixture()
{
    delete gGameRandom;
    gGameRandom = new MersenneTwister(SEED);
    app = std::make_unique<TestApp>();
    app->mWidgetManager = new WidgetManager(app.get());
    for (int index : FIXTURE_IMAGES)
        app->SetImage(index, MakeCodedImage(index));
    app->BuildDerivedImages();

    wordFont = new RecordingFont(WORD_ADVANCE, &draws);
    typedFont = new RecordingFont(TYPED_ADVANCE, &draws);
    app->mFontMyriad15 = wordFont;
    app->mFontMyriad15b = typedFont;
    app->mFontMyriad14Bold = new RecordingFont(14, &draws);
    app->mFontMyriad12Bold = new RecordingFont(9, &draws);
    app->mFontGillSans10Bold = new RecordingFont(8, &draws);

    board = new Board(app.get());
    app->mBoard = board;
    screen.Create(640, 480);
    graphics = Graphics(&screen);
    Reseed(SEED);
}

CreatureFixture::~CreatureFixture()
{
    app.reset();
    delete gGameRandom;
    gGameRandom = nullptr;
}

void CreatureFixture::Reseed(uint32_t seed)
{
    gGameRandom->Seed(seed);
    mExpected.Seed(seed);
}

void CreatureFixture::Step(GameObject& creature, int updates)
{
    for (int i = 0; i < updates; ++i) {
        creature.Update();
        app->mWidgetManager->UpdateFrame();
    }
}

std::vector<int> CreatureFixture::DrainEvents(Enemy& creature)
{
    std::vector<int> events;
    for (int e = creature.PopEvent(); e != EVENT_NONE; e = creature.PopEvent())
        events.push_back(e);
    return events;
}

void CreatureFixture::Draw(GameObject& creature)
{
    draws.clear();
    uint32_t* bits = screen.GetBits();
    std::fill_n(bits, size_t(screen.GetWidth()) * screen.GetHeight(), BACKGROUND);
    screen.BitsChanged();
    creature.Draw(&graphics);
}

uint32_t CreatureFixture::ScreenPixel(int x, int y) const
{
    auto& image = const_cast<MemoryImage&>(screen);
    return image.GetBits()[size_t(y) * image.GetWidth() + x];
}

} // namespace CreatureTests
