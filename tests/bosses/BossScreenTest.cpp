// The bosses and the level-complete screen in a real X window (a private Xvfb
// server), with the program's own images and fonts: each boss fighting with a
// volley in the air and one shot half typed, the torpedo boss dying, and the
// level-complete panel in its sonar sweep. Each frame is read back from the
// renderer, written beside the build for a look and compared with its reference
// picture in this folder.
#include <gtest/gtest.h>

#include <sys/wait.h>
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
#include "game/creatures/BossKinds.h"
#include "game/play/BTTimer.h"
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
using TestSupport::XvfbServer;

constexpr int CHILD_SKIPPED = 77;
// Channel steps a pixel may differ by, and the share of pixels that may differ more.
constexpr int TOLERANCE = 3;
constexpr double MAX_BAD_SHARE = 0.002;

class QuietApp : public WinBTApp {
public:
    void PlaySound(int) override {}
};

// The board does not draw its boss: this layer over it does, as the game's own
// drawing will.
class BossLayer : public Widget {
public:
    explicit BossLayer(Board* board) : mBoard(board) {}
    void Draw(Graphics* g) override
    {
        if (mBoard->mBoss)
            mBoard->mBoss->Draw(g);
    }
    Board* mBoard;
};

std::string ShotFolder()
{
    const char* dir = getenv("PLINDOR_BINARY_DIR");
    return (std::filesystem::path(dir ? dir : "/tmp") / "boss-shots").string();
}

// The 640x480 picture out of the window's frame.
ImageLib::Image Picture(Platform::SdlScreen& screen)
{
    int width = 0, height = 0;
    const std::vector<uint32_t> whole = screen.Captured(width, height);
    int ox, oy, w, h;
    screen.FramePlacement(width, height, 640, 480, ox, oy, w, h);
    ImageLib::Image shot(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const int sx = ox + int((x + 0.5) * w / 640), sy = oy + int((y + 0.5) * h / 480);
            shot.mBits[size_t(y) * 640 + x] = whole[size_t(sy) * width + sx] | 0xFF000000u;
        }
    return shot;
}

void CheckAgainstReference(const ImageLib::Image& shot, const std::string& name)
{
    std::error_code ec;
    std::filesystem::create_directories(ShotFolder(), ec);
    ImageLib::WritePng(ShotFolder() + "/" + name, shot);
    const std::string referencePath = TestSupport::SourceDir() + "/tests/bosses/" + name;
    std::unique_ptr<ImageLib::Image> reference = ImageLib::ReadPng(referencePath);
    ASSERT_NE(reference, nullptr) << "no reference " << referencePath << "; the shot is in " << ShotFolder();
    ASSERT_EQ(reference->mWidth, 640);
    ASSERT_EQ(reference->mHeight, 480);
    int bad = 0;
    for (size_t i = 0; i < size_t(640 * 480); ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(int((shot.mBits[i] >> shift) & 0xFF) - int((reference->mBits[i] >> shift) & 0xFF)) >
                TOLERANCE) {
                ++bad;
                break;
            }
    EXPECT_LE(bad, int(640 * 480 * MAX_BAD_SHARE)) << name << " differs from its reference in " << bad << " pixels";
}

Font* LoadFont(WinBTApp* app, const std::string& file)
{
    auto* font = new ImageFont(app, "data/" + file);
    EXPECT_TRUE(font->IsLoaded()) << file;
    return font;
}

// A boss at its fighting place with a volley fired and flown a little way, the first
// shot with two letters typed.
void FightingBoss(Board* board, int type)
{
    ProjectileBoss* boss = board->CreateBoss(type);
    board->mBoss = boss;
    auto* kind = static_cast<TorpedoBoss*>(boss);
    kind->mX = kind->mMinX;
    kind->mY = (kind->mMinY + kind->mMaxY) / 2;
    kind->mTimeToFire = 0.0;
    kind->mMaxMissiles = 3;
    kind->mMinMissileSpeed = 0.8;
    kind->mMaxMissileSpeed = 1.0;
    kind->mMinWord = 4;
    kind->mMaxWord = 6;
    kind->mFireTimer->SetDisabled(false);
    kind->SetState(ProjectileBoss::FIGHTING);
    kind->mBobSpeed = 0.0;
    kind->mStrafeSpeed = 0.0;
    for (int i = 0; i < 90; ++i)
        kind->Update();
    if (!kind->GetShots().empty()) {
        kind->GetShots()[0]->TypeLetter();
        kind->GetShots()[0]->TypeLetter();
    }
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
        const std::filesystem::path oldFolder = std::filesystem::current_path();
        std::filesystem::current_path(TestSupport::GameDir());
        gGameRandom = new MersenneTwister(2026);
        auto app = std::make_unique<QuietApp>();
        app->SetWindowSystem(&windows);
        app->mWidgetManager = new WidgetManager(app.get());
        app->mLoadingThreadCompleted = true;
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
        app->mFontCourier15Bold = LoadFont(app.get(), "CourierFinalDraft15Bold.txt");
        ASSERT_TRUE(app->mWordLists.LoadWordLengthLists());

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
        BossLayer layer(board);
        layer.Resize(0, 0, 640, 480 - barHeight);
        app->mWidgetManager->AddWidget(board);
        app->mWidgetManager->AddWidget(&layer);
        app->mWidgetManager->AddWidget(bar);

        Player* player = board->mPlayer;
        player->SetState(Player::BOSS_FIGHT);
        player->mY = 235.0;
        player->mBaseY = 235.0;
        player->mScore = 52340;
        player->mCharge = 0.8;
        board->mScrollDistance = board->mLeadInHeight + 1.0;
        board->mWaveCleared = false;
        for (int i = 0; i < 300; ++i)
            app->mWidgetManager->UpdateFrame();
        board->mHintAlpha = 0;
        board->Pause(true); // the field stands still from here; the words are hidden while paused
        board->mPaused = false;

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
        const struct {
            int type;
            const char* name;
        } bosses[] = {{ENEMY_TORPEDO, "boss-torpedo.png"},
                      {ENEMY_GHOST_SHIP, "boss-ghost-ship.png"},
                      {ENEMY_MECHA_SHARK, "boss-mecha-shark.png"},
                      {ENEMY_MECHA_SQUID, "boss-mecha-squid.png"}};
        for (const auto& b : bosses) {
            FightingBoss(board, b.type);
            shoot(b.name);
            if (b.type == ENEMY_TORPEDO) {
                auto* boss = static_cast<TorpedoBoss*>(board->mBoss);
                boss->mHealth = 0;
                boss->SetState(ProjectileBoss::HIT);
                for (int i = 0; i < 40; ++i)
                    boss->Update();
                shoot("boss-torpedo-dying.png");
            }
            delete board->mBoss;
            board->mBoss = nullptr;
        }

        // The level complete: the panel over the field, its sonar sweep under way.
        board->mPaused = true;
        board->Pause(false);
        board->mAccuracyHits = 190;
        board->mAccuracyMisses = 8;
        player->SetState(Player::PLAYING);
        board->ShowLevelComplete();
        for (int i = 0; i < 40; ++i)
            app->mWidgetManager->UpdateFrame();
        shoot("level-complete.png");

        app->mWidgetManager->RemoveWidget(bar);
        app->mWidgetManager->RemoveWidget(&layer);
        app->mWidgetManager->RemoveWidget(board);
        app->mStatusBar = nullptr;
        delete bar;
        app.reset();
        delete gGameRandom;
        gGameRandom = nullptr;
        std::filesystem::current_path(oldFolder);
    }
    Platform::SetClock(nullptr);
    Platform::SetMessageBoxes(nullptr);
}

} // namespace

// The real window runs in a child process of its own, as the display tests do: the
// X and GL libraries keep memory past SDL_Quit that the leak check cannot tell apart.
TEST(BossScreen, BossesAndTheLevelComplete)
{
    if (!std::filesystem::exists(TestSupport::GameDir() + "/images/boss_galleon.png"))
        GTEST_SKIP() << "the art is not built in " << TestSupport::GameDir();
    XvfbServer server;
    if (!server.Start())
        GTEST_SKIP() << "no Xvfb to run a real display";
    fflush(stdout);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RunScenario(server.Display());
        fflush(stdout);
        _exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the display run crashed";
    if (WEXITSTATUS(status) == CHILD_SKIPPED)
        GTEST_SKIP() << "SDL cannot use the X display";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see the failures printed above";
}
