// The tutor as a player sees it, in a real X window (a private Xvfb server) with the
// program folder's pictures and fonts: a lesson waiting for its first key, then with
// a capital letter next, the question at its end, the results page once it is
// answered, and the statistics page of that lesson. Each frame is read back from the
// window and compared with the reference picture beside this test; the frames are
// also written beside the build for a look.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/KeyboardGuide.h"
#include "game/shell/Lesson.h"
#include "game/shell/TutorStatsPanel.h"
#include "game/shell/TypingTutor.h"
#include "game/shell/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

using namespace Zant;

namespace {

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

class ScreenshotApp : public WinBTApp {
public:
    void PlaySound(int) override {}
};

// The statistics screen's backdrop behind its tutor page.
class StatsBackdrop : public Widget {
public:
    explicit StatsBackdrop(WinBTApp* app) : mApp(app) {}
    void Draw(Graphics* g) override
    {
        g->DrawImage(mApp->GetImage(IMAGE_WATER1), 0, 0);
        if (Image* panel = mApp->GetImage(KeyboardGuide::ImageIndex("tab_panel")))
            g->DrawImage(panel, 0, 40);
    }
    WinBTApp* mApp;
};

Font* LoadFont(FontHost& host, const char* name)
{
    auto* font = new ImageFont(&host, "data/" + std::string(name));
    EXPECT_TRUE(font->IsLoaded()) << name;
    return font;
}

// Pixels whose channels differ by more than a small step from the reference; the
// reference stays as it is, the new picture goes beside the build.
int CompareWithReference(const std::vector<uint32_t>& shot, const std::string& name)
{
    ImageLib::Image picture(640, 480);
    for (size_t i = 0; i < shot.size(); ++i)
        picture.GetBits()[i] = shot[i] | 0xFF000000u;
    const char* binary = std::getenv("PLINDOR_BINARY_DIR");
    const std::string folder = std::string(binary ? binary : "/tmp") + "/screenshots";
    std::filesystem::create_directories(folder);
    ImageLib::WritePng(folder + "/" + name, picture);

    const std::string referencePath = TestSupport::SourceDir() + "/tests/tutor/reference/" + name;
    std::unique_ptr<ImageLib::Image> reference = ImageLib::LoadImageFile(referencePath, true);
    if (!reference || reference->GetWidth() != 640 || reference->GetHeight() != 480) {
        ADD_FAILURE() << "no reference picture " << referencePath << "; this run's is " << folder << "/" << name;
        return -1;
    }
    int differing = 0;
    for (size_t i = 0; i < shot.size(); ++i) {
        const uint32_t a = shot[i], b = reference->GetBits()[i];
        for (int shift : {0, 8, 16})
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 8) {
                ++differing;
                break;
            }
    }
    return differing;
}

} // namespace

TEST(TutorScreenshots, LessonResultsAndStatistics)
{
    const std::string gameDir = TestSupport::GameDir();
    if (!std::filesystem::exists(gameDir + "/images/tutor_bg.png"))
        GTEST_SKIP() << "the art is not built in " << gameDir;
    TestSupport::XvfbServer server;
    if (!server.Start())
        GTEST_SKIP() << "no Xvfb";
    TestSupport::EnvScope env;
    env.Set("DISPLAY", server.Display());
    env.Set("SDL_VIDEODRIVER", "x11");
    env.Set("SDL_RENDER_DRIVER", "software");
    env.Set("SDL_FRAMEBUFFER_ACCELERATION", "0");

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
        ASSERT_TRUE(windows.CreateMainWindow("tutor", 0, 0, 640, 480, false));
        windows.ShowMainWindow(true);
        Platform::SdlScreen screen;
        ASSERT_TRUE(screen.Attach(windows.NativeWindow(), false));
        screen.SetCapture(true);

        ScreenshotApp app;
        app.mWidth = 640;
        app.mHeight = 480;
        app.SetWindowSystem(&windows);
        app.mWidgetManager = new WidgetManager(&app);
        app.mWidgetManager->SetScreenSize(640, 480);
        MemoryImage frame;
        frame.Create(640, 480);
        app.mWidgetManager->mImage = &frame;
        ASSERT_TRUE(app.LoadImageOrDie());
        // The fish's mirrored strips.
        app.BuildDerivedImages();
        // The dialog frame and buttons, which start-up loads before the rest.
        for (int i = WinBTApp::NUM_LOADED_IMAGES; i < WinBTApp::NUM_IMAGES; ++i)
            app.SetImage(i, app.LoadImageFile(std::string("images\\") + WinBTApp::IMAGE_NAMES[i]));
        SoftwareFontHost host;
        app.mFontMyriad14Bold = LoadFont(host, "MyriadCondensedWeb14Bold.txt");
        app.mFontMyriad12Bold = LoadFont(host, "MyriadCondensedWeb12Bold.txt");
        app.mFontGillSans10Bold = LoadFont(host, "GillSansMT10Bold.txt");
        app.mFontRockwell13 = LoadFont(host, "Rockwell13.txt");
        app.mFontRockwell13Bold = LoadFont(host, "Rockwell13Bold.txt");
        app.mFontSwiss24 = LoadFont(host, "SwissCheesed24.txt");

        app.mProfileMgr = new UserProfileMgr(&app);
        auto* profile = new UserProfile(&app);
        profile->mName = "Screens";
        profile->mUserNumber = 1;
        app.mProfileMgr->AddUserProfile(profile);
        app.mCurProfile = profile;
        profile->mLastLesson = 12;

        auto shoot = [&](const char* name) {
            app.mWidgetManager->MarkAllWidgetsDirty();
            app.mWidgetManager->DrawScreen();
            EXPECT_TRUE(screen.Show(frame.GetBits(), 640 * 4, 32, 640, 480));
            int w = 0, h = 0;
            const std::vector<uint32_t> shot = screen.Captured(w, h);
            ASSERT_EQ(w, 640);
            ASSERT_EQ(h, 480);
            EXPECT_LE(CompareWithReference(shot, name), 640 * 480 / 200) << name;
        };
        auto updates = [&](int n) {
            for (int i = 0; i < n; ++i)
                app.mWidgetManager->UpdateFrame();
        };

        auto* tutor = new TypingTutor(&app);
        tutor->Resize(0, 0, 640, 480);
        app.mWidgetManager->AddWidget(tutor);
        app.mWidgetManager->SetFocus(tutor);
        ASSERT_EQ(tutor->GetLessonIndex(), 12);
        // Before the first key: the lesson's description, the prompt and fish behind the panels.
        updates(300);
        ASSERT_GT(tutor->mFish.Count(), 0);
        shoot("tutor-waiting.png");

        // The capitals lesson, with "S" next: the right Shift and the left ring finger lit.
        for (char c : std::string("Aa "))
            tutor->KeyChar(c);
        tutor->KeyChar('x');
        updates(30);
        ASSERT_EQ(tutor->mExpectedChar, 'S');
        shoot("tutor-lesson.png");

        // The rest of the lesson at a steady pace, then the results and the question.
        while (tutor->mState == TypingTutor::STATE_TYPING) {
            tutor->KeyChar(tutor->mExpectedChar);
            updates(25);
        }
        ASSERT_EQ(tutor->mState, TypingTutor::STATE_RESULTS);
        ASSERT_NE(app.FindDialog(TypingTutor::QUESTION_DIALOG), nullptr);
        EXPECT_GT(tutor->mPauseCount, 0) << "the question pauses the tutor";
        shoot("tutor-question.png");
        // Answered "no": the results page stays, running again.
        app.RemoveDialog(TypingTutor::QUESTION_DIALOG);
        app.FlushWidgetDeletions();
        tutor->mAskedViewStats = false;
        app.mWidgetManager->SetFocus(tutor);
        ASSERT_EQ(tutor->mPauseCount, 0);
        // The fish come back while the results are shown.
        updates(300);
        shoot("tutor-results.png");
        app.mWidgetManager->RemoveWidget(tutor);
        delete tutor;
        app.FlushWidgetDeletions();

        // The lesson's statistics, the bars grown to their heights.
        StatsBackdrop backdrop(&app);
        backdrop.Resize(0, 0, 640, 480);
        app.mWidgetManager->AddWidget(&backdrop);
        auto panel = std::make_unique<TutorialPanel>(&app);
        panel->Resize(0, 40, 640, 432);
        panel->SetProfile(profile);
        app.mWidgetManager->AddWidget(panel.get());
        panel->ShowLesson(profile->mLastLesson);
        panel->SetActive(true);
        updates(20);
        ASSERT_EQ(panel->mBars[2].shown, panel->mBars[2].target);
        shoot("tutor-stats.png");
        app.mWidgetManager->RemoveWidget(panel.get());
        app.mWidgetManager->RemoveWidget(&backdrop);

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
