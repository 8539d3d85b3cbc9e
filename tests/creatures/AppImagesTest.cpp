// The application's image table and the sprite variants built from it.
#include "tests/creatures/CreatureTestSupport.h"

#include <filesystem>
#include <set>
#include <unistd.h>

#include "game/assets/GameAssets.h"
#include "platform/MessageBox.h"
#include "tests/support/AppFixture.h"
#include "tests/support/TestSupport.h"

using namespace Zant;
using namespace CreatureTests;

namespace {

uint32_t PixelAt(Image* image, int x, int y)
{
    auto* memory = dynamic_cast<MemoryImage*>(image);
    EXPECT_NE(memory, nullptr);
    return memory ? memory->GetBits()[size_t(y) * memory->GetWidth() + x] : 0;
}

MemoryImage* TwoPixels(uint32_t left, uint32_t right)
{
    const uint32_t pixels[] = {left, right};
    auto* image = new MemoryImage();
    image->SetBits(pixels, 2, 1);
    return image;
}

// Runs a test body with the working folder moved.
using TestSupport::WorkingFolder;

} // namespace

TEST(ImageTable, NamesAreTheArtManifestsAtTheirIndices)
{
    std::set<std::string> seen;
    for (const char* name : WinBTApp::IMAGE_NAMES) {
        EXPECT_TRUE(seen.insert(name).second) << name;
        EXPECT_GT(ManifestSize(name).width, 0) << name;
    }
    const struct {
        int index;
        const char* name;
    } golden[] = {
        {0, "diver_idle"}, {1, "shark_basic_swim"}, {2, "sharkshock"}, {3, "shark_basic_death"},
        {35, "piranha_basic_swim"}, {36, "piranha_basic_death"}, {37, "piranhashock"},
        {55, "bonus_creature_swim"}, {56, "bonus_creature_death"}, {64, "shark_red_swim"}, {65, "shark_red_death"},
        {66, "shark_black_swim"}, {67, "shark_black_death"}, {71, "shark_black_shock"}, {72, "shark_red_shock"},
        {74, "piranha_white_swim"}, {75, "piranha_white_death"}, {77, "toxic_basic_swim"}, {81, "toxic_basic_shock"},
        {82, "shark_ghost_swim"}, {85, "shark_ghost_glow_death"}, {86, "smallcarn"}, {87, "smallgoldfish"},
        {98, "finger0"}, {116, "finger8x"}, {119, "glo_0"}, {129, "glo_a"}, {154, "glo_z"}, {176, "glo_tilde"},
        {186, "gumbo_swim"}, {187, "gumbo_die"}, {188, "gumbo_shock"}, {189, "clams"}, {201, "sonar_sweep_0"},
        {210, "sonar_sweep2_4"}, {241, "mapchest_c_open"}, {242, "cursor1"}, {247, "dbutton"},
    };
    for (const auto& g : golden)
        EXPECT_STREQ(WinBTApp::IMAGE_NAMES[g.index], g.name) << g.index;
    EXPECT_STREQ(WinBTApp::SOUND_NAMES[SOUND_EMP], "emp");
    EXPECT_STREQ(WinBTApp::SOUND_NAMES[SOUND_UNDERWATERLOOP], "underwaterloop");
}

TEST(ImageTable, DerivedImagesTintMirrorAndSeeThrough)
{
    TestApp app;
    app.SetImage(IMAGE_SHARK_BASIC_SWIM, TwoPixels(0xFFFFFFFF, 0xFF102030));
    app.SetImage(IMAGE_TOXIC_BASIC_SWIM, TwoPixels(0xFFFFFFFF, 0xFF102030));
    app.BuildDerivedImages();

    EXPECT_EQ(PixelAt(app.GetSharkImage(0, VARIANT_RED), 0, 0), 0xFEC70000u);
    EXPECT_EQ(PixelAt(app.GetSharkImage(3, VARIANT_SWIM), 0, 0), 0x7FFEFEFEu);
    Image* mirrored = app.GetSharkImage(0, VARIANT_MIRRORED);
    EXPECT_EQ(PixelAt(mirrored, 0, 0), 0xFF102030u);
    EXPECT_EQ(PixelAt(mirrored, 1, 0), 0xFFFFFFFFu);
    // The darkened mirrors are tinted (200, 200, 200) first.
    EXPECT_EQ(PixelAt(app.mToxicSwimMirror, 1, 0), 0xFEC7C7C7u);
    // Strips used as they are.
    EXPECT_EQ(app.GetSharkImage(0, VARIANT_SWIM), app.GetImage(IMAGE_SHARK_BASIC_SWIM));
    EXPECT_EQ(app.GetSharkImage(4, VARIANT_SWIM), app.GetImage(IMAGE_TOXIC_BASIC_SWIM));
    // Images that were not loaded give no variants, and no map invents one.
    EXPECT_EQ(app.GetSharkImage(2, VARIANT_MIRRORED), nullptr);
    EXPECT_EQ(app.GetSharkImage(5, VARIANT_SWIM), nullptr);
    EXPECT_EQ(app.GetPiranhaImage(0, VARIANT_RED), nullptr);
}

TEST_F(CreatureFixture, CreatureImageMapsHoldEveryVariantTheCreaturesUse)
{
    const struct {
        int type;
        int slot;
        int source;
        bool itself;
    } sharks[] = {
        {0, VARIANT_SWIM, IMAGE_SHARK_BASIC_SWIM, true},   {0, VARIANT_DEATH, IMAGE_SHARK_BASIC_DEATH, true},
        {0, VARIANT_MIRRORED, IMAGE_SHARK_BASIC_SWIM, false}, {0, VARIANT_RED, IMAGE_SHARK_BASIC_SWIM, false},
        {1, VARIANT_MIRRORED, IMAGE_SHARK_BLACK_SWIM, false}, {1, VARIANT_RED, IMAGE_SHARK_BLACK_SWIM, false},
        {2, VARIANT_MIRRORED, IMAGE_SHARK_RED_SWIM, false}, {2, VARIANT_RED, IMAGE_SHARK_RED_SWIM, false},
        {3, VARIANT_SWIM, IMAGE_SHARK_BASIC_SWIM, false},  {3, VARIANT_DEATH, IMAGE_SHARK_BASIC_DEATH, false},
        {4, VARIANT_SWIM, IMAGE_TOXIC_BASIC_SWIM, true},   {4, VARIANT_DEATH, IMAGE_TOXIC_BASIC_DEATH, true},
        {4, VARIANT_RED, IMAGE_TOXIC_BASIC_SWIM, false},   {9, VARIANT_SWIM, IMAGE_SHARK_RED_SWIM, false},
        {9, VARIANT_DEATH, IMAGE_SHARK_RED_DEATH, false},  {10, VARIANT_SWIM, IMAGE_SHARK_BLACK_SWIM, false},
        {10, VARIANT_DEATH, IMAGE_SHARK_BLACK_DEATH, false},
    };
    for (const auto& e : sharks) {
        Image* image = app->GetSharkImage(e.type, e.slot);
        Image* source = app->GetImage(e.source);
        ASSERT_NE(image, nullptr) << e.type << "/" << e.slot;
        EXPECT_EQ(image == source, e.itself);
        EXPECT_EQ(image->GetWidth(), source->GetWidth());
        EXPECT_EQ(image->GetHeight(), source->GetHeight());
        // Every variant keeps the source's red channel code but the red tint and the
        // darkened ones; the mirror reverses the columns.
        const uint32_t first = PixelAt(image, 0, 0);
        if (e.slot == VARIANT_MIRRORED) {
            EXPECT_EQ(PixelColumn(first), source->GetWidth() - 1);
        } else if (e.slot == VARIANT_RED) {
            EXPECT_EQ(first & 0xFFFF, 0u);
        } else if (!e.itself) {
            EXPECT_EQ(first >> 24, 127u);
        }
    }
    const struct {
        int type;
        int slot;
        int source;
    } piranhas[] = {
        {0, VARIANT_MIRRORED, IMAGE_PIRANHA_BASIC_SWIM}, {2, VARIANT_MIRRORED, IMAGE_GUMBO_SWIM},
        {3, VARIANT_SWIM, IMAGE_PIRANHA_BASIC_SWIM},     {3, VARIANT_DEATH, IMAGE_PIRANHA_BASIC_DEATH},
        {6, VARIANT_MIRRORED, IMAGE_PIRANHA_WHITE_SWIM}, {7, VARIANT_SWIM, IMAGE_PIRANHA_WHITE_SWIM},
        {7, VARIANT_DEATH, IMAGE_PIRANHA_WHITE_DEATH},
    };
    for (const auto& e : piranhas) {
        Image* image = app->GetPiranhaImage(e.type, e.slot);
        ASSERT_NE(image, nullptr) << e.type << "/" << e.slot;
        EXPECT_EQ(image->GetWidth(), app->GetImage(e.source)->GetWidth());
    }
    for (int kind = 0; kind < 2; ++kind)
        for (int tint = 0; tint < 3; ++tint)
            ASSERT_NE(app->GetFishImage(kind, tint), nullptr);
    EXPECT_EQ(app->GetFishImage(2, 0), nullptr);
    EXPECT_EQ(app->GetFishImage(0, 3), nullptr);
    for (Image* mirror : {app->mToxicSwimMirror, app->mToxicGlowMirror, app->mGhostSwimMirror, app->mGhostGlowMirror})
        EXPECT_NE(mirror, nullptr);
}

TEST(ImageTable, MissingImageStopsLoadingWithTheFileNamed)
{
    Platform::FakeMessageBoxService boxes;
    Platform::SetMessageBoxes(&boxes);
    {
        TestSupport::TempDir empty;
        WorkingFolder folder(empty.Path());
        TestApp app;
        EXPECT_FALSE(app.LoadImageOrDie());
        EXPECT_EQ(app.GetImage(0), nullptr);
    }
    Platform::SetMessageBoxes(nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    const std::string expected = "The file: images\\diver_idle, is missing or corrupt. Please reinstall the product "
                                 "or email tech support at " +
                                 std::string(WinBTApp::SUPPORT_ADDRESS);
    EXPECT_EQ(boxes.shown[0].text, expected);
}

TEST(ImageTable, AssetsLoadOverTheBareFrameworkApplication)
{
    // The loading needs only the framework application: images, loading steps and
    // the missing-file message all go through it.
    const std::string folder = TestSupport::GameDir();
    if (!std::filesystem::exists(folder + "/images/diver_idle.png"))
        GTEST_SKIP() << "the art is not built in " << folder;
    WorkingFolder inFolder(folder);
    TestSupport::AppFixture<ZantApp> fixture;
    GameAssets assets(fixture.app.get());
    ASSERT_TRUE(assets.LoadImageOrDie());
    EXPECT_EQ(fixture.app->mCompletedLoadingThreadTasks, GameAssets::NUM_LOADED_IMAGES);
    for (int i = 0; i < GameAssets::NUM_LOADED_IMAGES; ++i)
        EXPECT_NE(assets.GetImage(i), nullptr) << GameAssets::IMAGE_NAMES[i];
    assets.BuildDerivedImages();
    EXPECT_NE(assets.GetSharkImage(0, VARIANT_MIRRORED), nullptr);
    EXPECT_NE(assets.GetPiranhaImage(3, VARIANT_SWIM), nullptr);
    EXPECT_NE(assets.GetFishImage(1, 2), nullptr);
    EXPECT_NE(assets.mCannonballMirror, nullptr);
    EXPECT_TRUE(fixture.boxes.shown.empty());
}

TEST(ImageTable, MissingImageOverTheBareFrameworkApplicationIsShownByIt)
{
    TestSupport::TempDir empty;
    WorkingFolder folder(empty.Path());
    TestSupport::AppFixture<ZantApp> fixture;
    {
        GameAssets assets(fixture.app.get());
        EXPECT_FALSE(assets.LoadImageOrDie());
        EXPECT_EQ(assets.GetImage(0), nullptr);
    }
    ASSERT_EQ(fixture.boxes.shown.size(), 1u);
    EXPECT_EQ(fixture.boxes.shown[0].text, "The file: images\\diver_idle, is missing or corrupt. Please reinstall the "
                                           "product or email tech support at " +
                                               std::string(GameAssets::SUPPORT_ADDRESS));
}

TEST(ImageTable, ProgramFolderImagesLoadAtTheirManifestSizes)
{
    const std::string folder = TestSupport::GameDir();
    if (!std::filesystem::exists(folder + "/images/diver_idle.png"))
        GTEST_SKIP() << "the art is not built in " << folder;
    WorkingFolder inFolder(folder);
    TestApp app;
    ASSERT_TRUE(app.LoadImageOrDie());
    for (int i = 0; i < WinBTApp::NUM_LOADED_IMAGES; ++i) {
        const ManifestEntry size = ManifestSize(WinBTApp::IMAGE_NAMES[i]);
        ASSERT_NE(app.GetImage(i), nullptr) << i;
        EXPECT_EQ(app.GetImage(i)->GetWidth(), size.width) << WinBTApp::IMAGE_NAMES[i];
        EXPECT_EQ(app.GetImage(i)->GetHeight(), size.height) << WinBTApp::IMAGE_NAMES[i];
    }
    EXPECT_EQ(app.mCompletedLoadingThreadTasks, WinBTApp::NUM_LOADED_IMAGES);
    app.BuildDerivedImages();
    for (const auto& [type, slots] : app.mSharkImages)
        for (const auto& [slot, image] : slots)
            EXPECT_NE(image, nullptr) << type << "/" << slot;
    EXPECT_EQ(app.mSonarSweeps.size(), 5u);
    EXPECT_EQ(app.mSonarSweeps2.size(), 5u);
}
