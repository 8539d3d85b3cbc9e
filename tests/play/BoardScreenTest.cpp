// The play field in a real X window (a private Xvfb server), with the program's own
// images and fonts: a level in play with creatures carrying words, a typed prefix
// and the status bar, then the same level paused. Each frame is read back from the
// renderer, written beside the build for a look and compared with its reference
// picture in this folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/ImageLib.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "game/shell/WinBTApp.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"
#include "tests/levels/LevelFileBuilder.h"
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

using namespace Zant;

namespace {

using TestSupport::EnvScope;
using TestSupport::CHILD_SKIPPED;
using TestSupport::WorkingFolder;
// Channel steps a pixel may differ by (the renderer's rounding); and how many of the
// sampled pixels may differ more.
constexpr int TOLERANCE = 3;
constexpr double MAX_BAD_SHARE = 0.002;

class QuietApp : public WinBTApp {
public:
    void PlaySound(int) override {}
};

struct Shot {
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
};

std::string ShotFolder()
{
    const char* dir = getenv("PLINDOR_BINARY_DIR");
    return (std::filesystem::path(dir ? dir : "/tmp") / "board-shots").string();
}

// The 640x480 picture out of the window's frame.
Shot Picture(Platform::SdlScreen& screen)
{
    Shot whole;
    whole.pixels = screen.Captured(whole.width, whole.height);
    int ox, oy, w, h;
    screen.FramePlacement(whole.width, whole.height, 640, 480, ox, oy, w, h);
    Shot shot;
    shot.width = 640;
    shot.height = 480;
    shot.pixels.resize(640 * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const int sx = ox + int((x + 0.5) * w / 640), sy = oy + int((y + 0.5) * h / 480);
            shot.pixels[size_t(y) * 640 + x] = whole.pixels[size_t(sy) * whole.width + sx] | 0xFF000000u;
        }
    return shot;
}

void Save(const Shot& shot, const std::string& path)
{
    ImageLib::Image image(shot.width, shot.height);
    for (size_t i = 0; i < shot.pixels.size(); ++i)
        image.mBits[i] = shot.pixels[i];
    ImageLib::WritePng(path, image);
}

// Pixels that differ from the reference by more than the tolerance in a channel.
int CountMismatches(const Shot& shot, const ImageLib::Image& reference)
{
    int bad = 0;
    for (size_t i = 0; i < shot.pixels.size(); ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(int((shot.pixels[i] >> shift) & 0xFF) - int((reference.mBits[i] >> shift) & 0xFF)) >
                TOLERANCE) {
                ++bad;
                break;
            }
    return bad;
}

void CheckAgainstReference(const Shot& shot, const std::string& name)
{
    std::error_code ec;
    std::filesystem::create_directories(ShotFolder(), ec);
    Save(shot, ShotFolder() + "/" + name);
    const std::string referencePath = TestSupport::SourceDir() + "/tests/play/" + name;
    std::unique_ptr<ImageLib::Image> reference = ImageLib::ReadPng(referencePath);
    ASSERT_NE(reference, nullptr) << "no reference " << referencePath << "; the shot is in " << ShotFolder();
    ASSERT_EQ(reference->mWidth, 640);
    ASSERT_EQ(reference->mHeight, 480);
    const int bad = CountMismatches(shot, *reference);
    EXPECT_LE(bad, int(640 * 480 * MAX_BAD_SHARE)) << name << " differs from its reference in " << bad << " pixels";
}

Font* LoadFont(WinBTApp* app, const std::string& file)
{
    auto* font = new ImageFont(app, "data/" + file);
    EXPECT_TRUE(font->IsLoaded()) << file;
    return font;
}

template <typename T>
T* Place(std::vector<T*>& list, T* creature, const std::string& word, double x, double y)
{
    creature->SetWord(word);
    creature->SetReleased(true);
    creature->mX = x;
    creature->mY = y;
    list.push_back(creature);
    return creature;
}

void RunScenario(const std::string& display)
{
    EnvScope env;
    env.Set("DISPLAY", display);
    env.Set("SDL_VIDEODRIVER", "x11");
    Platform::FakeClock clock(100000);
    Platform::FakeMessageBoxService boxes;
    Platform::SetClock(&clock);
    Platform::SetMessageBoxes(&boxes);
    {
        Platform::SdlWindowSystem windows;
        std::string error;
        if (!windows.InitVideo(error)) {
            printf("SDL cannot open the X display: %s\n", error.c_str());
            fflush(stdout);
            _exit(CHILD_SKIPPED);
        }
        WorkingFolder folder(TestSupport::GameDir());
        gGameRandom = new MersenneTwister(2026);
        auto app = std::make_unique<QuietApp>();
        app->SetWindowSystem(&windows);
        app->mWidgetManager = new WidgetManager(app.get());
        app->mLoadingThreadCompleted = true;
        app->mHintsOn = false; // no hint dialog over the field
        app->CreateMainWindow();
        windows.ShowMainWindow(true);
        DDInterface* dd = app->mDDInterface;
        ASSERT_NE(dd, nullptr);
        ASSERT_TRUE(dd->mInitialized) << dd->mErrorString;
        auto* screen = dynamic_cast<Platform::SdlScreen*>(dd->Screen());
        ASSERT_NE(screen, nullptr);
        screen->SetCapture(true);

        ASSERT_TRUE(app->LoadImageOrDie());
        app->BuildDerivedImages();
        app->mFontMyriad14Bold = LoadFont(app.get(), "MyriadCondensedWeb14Bold.txt");
        app->mFontMyriad12Bold = LoadFont(app.get(), "MyriadCondensedWeb12Bold.txt");
        app->mFontMyriad15 = LoadFont(app.get(), "MyriadCondensedWeb15.txt");
        app->mFontMyriad15b = LoadFont(app.get(), "MyriadCondensedWeb15.txt");
        app->mFontMyriad28Bold = LoadFont(app.get(), "MyriadCondensedWeb28Bold.txt");
        app->mFontSwiss24 = LoadFont(app.get(), "SwissCheesed24.txt");
        app->mFontUnsteady22 = LoadFont(app.get(), "UnsteadyOversteer22.txt");
        app->mFontGillSans10Bold = LoadFont(app.get(), "GillSansMT10Bold.txt");
        app->mFont12pt = LoadFont(app.get(), "12ptfont.txt");
        app->mFontRockwell13 = LoadFont(app.get(), "Rockwell13.txt");

        using namespace LevelFiles;
        app->mConfig = new Config(app.get());
        ASSERT_EQ(app->mConfig->LoadText(File(Level(Sharks())), 0, "test.xml"), 0);
        app->mConfig->ResetWaves(0);

        auto* board = new Board(app.get());
        app->mBoard = board;
        board->Resize(0, 0, 640, 480);
        board->StartLevel(app->mConfig);
        auto* bar = new StatusBar(app.get());
        const int barHeight = app->GetImage(IMAGE_STATUSBARX)->GetHeight();
        bar->Resize(0, 480 - barHeight, 640, barHeight);
        app->mStatusBar = bar;
        app->mWidgetManager->AddWidget(board);
        app->mWidgetManager->AddWidget(bar);

        // A level in play: the diver in place, creatures with words, one being typed.
        Player* player = board->mPlayer;
        player->SetState(Player::PLAYING);
        player->mY = 235.0;
        player->mBaseY = 235.0;
        player->mScore = 12345;
        player->mCharge = 0.5;
        board->mScrollDistance = board->mLeadInHeight + 1.0;
        board->mWaveCleared = false;
        Place(board->mSharks, new Shark(app.get()), "OCEAN", 300, 90);
        Place(board->mSharks, static_cast<Shark*>(new BlackShark(app.get())), "KELP", 420, 200);
        Place(board->mSharks, new Shark(app.get()), "TIDE", 230, 280);
        Place(board->mPiranhas, new Piranha(app.get(), player), "Q", 520, 320);
        Place(board->mBonusCreatures, new BonusCreature(app.get()), "SEA", 560, 120);
        for (Shark* shark : board->mSharks)
            shark->SetVelX(0.0);
        board->mPiranhas[0]->SetVelX(0.0);
        board->mBonusCreatures[0]->SetVelY(0.0);
        for (int i = 0; i < 300; ++i)
            app->mWidgetManager->UpdateFrame();
        board->HandleKeyChar('O');
        board->HandleKeyChar('C');
        app->mWidgetManager->UpdateFrame();
        board->mHintAlpha = 0; // the level's hint has faded by now

        auto shoot = [&](const char* name) {
            for (int i = 0; i < 20; ++i) {
                Platform::WindowEvent e;
                while (windows.PollEvent(e)) {
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            clock.Advance(2000);
            app->mWidgetManager->MarkAllWidgetsDirty();
            ASSERT_TRUE(app->DrawFrame()) << name;
            CheckAgainstReference(Picture(*screen), name);
        };
        shoot("level-in-play.png");
        board->Pause(true);
        shoot("level-paused.png");
        board->Pause(false);

        app->mWidgetManager->RemoveWidget(bar);
        app->mWidgetManager->RemoveWidget(board);
        app->mStatusBar = nullptr;
        delete bar;
        app.reset();
        delete gGameRandom;
        gGameRandom = nullptr;
    }
    Platform::SetClock(nullptr);
    Platform::SetMessageBoxes(nullptr);
}

} // namespace

TEST(BoardScreen, LevelInPlayAndPaused)
{
    if (!std::filesystem::exists(TestSupport::GameDir() + "/images/diver_idle.png"))
        GTEST_SKIP() << "the art is not built in " << TestSupport::GameDir();
    switch (TestSupport::RunInXvfbChild(RunScenario)) {
    case TestSupport::XvfbRun::NO_XVFB:
        GTEST_SKIP() << "no Xvfb to run a real display";
    case TestSupport::XvfbRun::NO_DISPLAY:
        GTEST_SKIP() << "SDL cannot use the X display";
    case TestSupport::XvfbRun::CRASHED:
        FAIL() << "the display run crashed";
    case TestSupport::XvfbRun::FAILED:
        FAIL() << "see the failures printed above";
    case TestSupport::XvfbRun::PASSED:
        break;
    }
}
