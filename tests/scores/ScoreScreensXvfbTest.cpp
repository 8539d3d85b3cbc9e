// The high-score screen and both pages of the statistics screen as a player sees
// them, in a real X window (a private Xvfb server) with the program folder's pictures
// and fonts: a fixed table and a fixed player. Each frame is read back from the
// window and compared with the reference picture beside this test.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/HighScoreScreen.h"
#include "game/shell/StatsScreen.h"
#include "game/shell/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"
#include "tests/support/ReferencePicture.h"
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

using namespace Zant;

namespace {

// Per channel: the display's rounding. Pixels: none may differ beyond it but a few
// edge pixels.
constexpr int CHANNEL_TOLERANCE = 8;
constexpr int MAX_DIFFERING_PIXELS = 100;

class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& path) : mOld(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~WorkingFolder() { std::filesystem::current_path(mOld); }

private:
    std::filesystem::path mOld;
};

class QuietApp : public WinBTApp {
public:
    void PlaySound(int) override {}
};

Font* LoadFont(FontHost& host, const char* name)
{
    auto* font = new ImageFont(&host, "data/" + std::string(name));
    EXPECT_TRUE(font->IsLoaded()) << name;
    return font;
}

// The tables: the defaults with a long-named player's results entered.
void FillTables(WinBTApp& app)
{
    UserProfileMgr& mgr = *app.mProfileMgr;
    mgr.ResetHighScores();
    UserProfile player(&app);
    player.mName = "Maximilian Oddfellow";
    player.SetCurrentMode(3, 455000, 9);
    mgr.EnterResult(&player);
    player.mName = "Jo";
    player.mDepth = 1925;
    player.SetCurrentMode(UserProfile::ABYSS_MODE_RECORD, 88000, 4);
    mgr.EnterResult(&player);
}

void FillProfile(UserProfile& p)
{
    p.mNumSharksKilled = 1284;
    p.mNumPiranhasKilled = 903;
    p.mNumBossesKilled = 7;
    p.mBestTreasureStreak = 12;
    p.SetCurrentMode(2, 318450, 11);
    p.mExpeditions = 3;
    p.mGameTreasures = {4, 0, 2, 9, 1, 3};
    p.mGameSecretItems = {1, 0, 2, 0};
    p.mBestDepth = 2350;
    p.mNumAbyssSharksKilled = 412;
    p.mNumAbyssPiranhasKilled = 377;
    const std::pair<int, int> bosses[] = {{12, 3}, {14, 2}, {15, 1}, {16, 0}};
    for (const auto& [kind, count] : bosses)
        for (int i = 0; i < count; ++i)
            p.AddBossKill(kind);
    p.mDepth = 2350;
    p.SetCurrentMode(UserProfile::ABYSS_MODE_RECORD, 96120, 6);
}

} // namespace

TEST(ScoreScreenshots, HighScoresAndStatistics)
{
    const std::string gameDir = TestSupport::GameDir();
    if (!std::filesystem::exists(gameDir + "/images/high_score_bg.png"))
        GTEST_SKIP() << "the art is not built in " << gameDir;
    TestSupport::XvfbServer server;
    if (!server.Start())
        GTEST_SKIP() << "no Xvfb";
    TestSupport::EnvScope env;
    env.Set("DISPLAY", server.Display());
    env.Set("SDL_VIDEODRIVER", "x11");
    env.Set("SDL_RENDER_DRIVER", "software");
    env.Set("SDL_FRAMEBUFFER_ACCELERATION", "0");
    std::filesystem::remove_all(Platform::UserDataFolder() + "/users");

    Platform::FakeClock clock(1000);
    Platform::SetClock(&clock);
    Platform::FakeMessageBoxService boxes;
    Platform::SetMessageBoxes(&boxes);
    Platform::SettingsStore store;
    Platform::SetSettingsStore(&store);
    store.CreateKey("SOFTWARE\\Vorlix\\Plindor");
    delete gGameRandom;
    gGameRandom = new MersenneTwister(2026);
    {
        WorkingFolder inGameFolder(gameDir);
        Platform::SdlWindowSystem windows;
        std::string error;
        ASSERT_TRUE(windows.InitVideo(error)) << error;
        ASSERT_TRUE(windows.CreateMainWindow("scores", 0, 0, 640, 480, false));
        windows.ShowMainWindow(true);
        Platform::SdlScreen screen;
        ASSERT_TRUE(screen.Attach(windows.NativeWindow(), false));
        screen.SetCapture(true);

        QuietApp app;
        app.SetWindowSystem(&windows);
        app.mWidgetManager = new WidgetManager(&app);
        app.mWidgetManager->SetScreenSize(640, 480);
        MemoryImage frame;
        frame.Create(640, 480);
        app.mWidgetManager->mImage = &frame;
        ASSERT_TRUE(app.LoadImageOrDie());
        // Start-up loads the high-score screen's button picture, past the loading step's.
        app.SetImage(IMAGE_DBUTTON, app.LoadImageFile("images\\dbutton"));
        ASSERT_NE(app.GetImage(IMAGE_DBUTTON), nullptr);
        SoftwareFontHost host;
        app.mFontMyriad14Bold = LoadFont(host, "MyriadCondensedWeb14Bold.txt");
        app.mFontMyriad12Bold = LoadFont(host, "MyriadCondensedWeb12Bold.txt");
        app.mFontRockwell13 = LoadFont(host, "Rockwell13.txt");
        app.mFontRockwell13Bold = LoadFont(host, "Rockwell13Bold.txt");

        app.mProfileMgr = new UserProfileMgr(&app);
        auto* profile = new UserProfile(&app);
        profile->mName = "Screens";
        profile->mUserNumber = 1;
        app.mProfileMgr->AddUserProfile(profile);
        app.mCurProfile = profile;
        FillTables(app);
        FillProfile(*profile);

        auto shoot = [&](const char* name) {
            app.mWidgetManager->MarkAllWidgetsDirty();
            app.mWidgetManager->DrawScreen();
            EXPECT_TRUE(screen.Show(frame.GetBits(), 640 * 4, 32, 640, 480));
            int w = 0, h = 0;
            const std::vector<uint32_t> shot = screen.Captured(w, h);
            ASSERT_EQ(w, 640);
            ASSERT_EQ(h, 480);
            const std::string reference = TestSupport::SourceDir() + "/tests/scores/reference/" + name;
            EXPECT_LE(TestSupport::DifferingPixels(shot, reference, name, CHANNEL_TOLERANCE), MAX_DIFFERING_PIXELS)
                << name;
        };

        {
            HighScoreScreen scores(&app, app.mProfileMgr);
            scores.Resize(0, 0, 640, 480);
            std::unique_ptr<DialogButton> close(HighScoreScreen::CreateCloseButton(&app));
            app.mWidgetManager->AddWidget(&scores);
            app.mWidgetManager->AddWidget(close.get());
            shoot("high-scores.png");
            app.mWidgetManager->RemoveWidget(close.get());
            app.mWidgetManager->RemoveWidget(&scores);
        }
        {
            StatsScreen stats(&app, StatsScreen::TAB_ADVENTURE);
            stats.SetUserProfile(profile);
            stats.Resize(0, 0, 640, 480);
            std::unique_ptr<DialogButton> close(StatsScreen::CreateCloseButton(&app));
            app.mWidgetManager->AddWidget(&stats);
            app.mWidgetManager->AddWidget(close.get());
            app.mStatsCloseButton = close.get();
            shoot("stats-adventure.png");
            stats.mTabs->SelectTab(StatsScreen::TAB_ABYSS);
            shoot("stats-abyss.png");
            app.mStatsCloseButton = nullptr;
            app.mWidgetManager->RemoveWidget(close.get());
            app.mWidgetManager->RemoveWidget(&stats);
        }

        app.mWidgetManager->mImage = nullptr;
        screen.Detach();
        app.SetWindowSystem(nullptr);
    }
    delete gGameRandom;
    gGameRandom = nullptr;
    Platform::SetSettingsStore(nullptr);
    Platform::SetMessageBoxes(nullptr);
    Platform::SetClock(nullptr);
}
