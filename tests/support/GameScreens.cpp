#include "tests/support/GameScreens.h"
#include "tests/support/TextContrast.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <unistd.h>

#include "framework/app/AppServices.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/ImageFont.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/common/Config.h"
#include "game/play/StatusBar.h"
#include "game/play/Player.h"
#include "game/shell/HintDialog.h"
#include "game/shell/TitleScreen.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"

namespace TestSupport {

namespace {

using namespace Zant;

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
const char* const SETTINGS_KEY = "SOFTWARE\\Vorlix\\Plindor";

// A fixed processor speed, so the title's pace does not depend on the machine.
class FixedSpeedApp : public WinBTApp {
public:
    int64_t EstimateCpuMHz() override { return 2000; }
};

Font* LoadFont(WinBTApp* app, const std::string& file)
{
    auto* font = new ImageFont(app, "data/" + file);
    EXPECT_TRUE(font->IsLoaded()) << file;
    return font;
}

void LoadGameArt(WinBTApp& app)
{
    ASSERT_TRUE(app.LoadImageOrDie());
    app.BuildDerivedImages();
    app.mFontMyriad14Bold = LoadFont(&app, "MyriadCondensedWeb14Bold.txt");
    app.mFontMyriad12Bold = LoadFont(&app, "MyriadCondensedWeb12Bold.txt");
    app.mFontMyriad15 = LoadFont(&app, "MyriadCondensedWeb15.txt");
    app.mFontMyriad15b = LoadFont(&app, "MyriadCondensedWeb15.txt");
    app.mFontMyriad28Bold = LoadFont(&app, "MyriadCondensedWeb28Bold.txt");
    app.mFontSwiss24 = LoadFont(&app, "SwissCheesed24.txt");
    app.mFontUnsteady22 = LoadFont(&app, "UnsteadyOversteer22.txt");
    app.mFontGillSans10Bold = LoadFont(&app, "GillSansMT10Bold.txt");
    app.mFont12pt = LoadFont(&app, "12ptfont.txt");
    app.mFontCourier15Bold = LoadFont(&app, "CourierFinalDraft15Bold.txt");
    app.RimWordFonts();
}

} // namespace

ScreenSession::ScreenSession(const ScreenOptions& options)
    : clock(options.clockStart), mSoftwareRenderer(options.softwareRenderer), mHeadless(options.headless),
      mOwnStore(options.settingsStore)
{
    Platform::SetClock(&clock);
    Platform::SetMessageBoxes(&boxes);
    if (mOwnStore) {
        store.CreateKey(SETTINGS_KEY);
        Platform::SetSettingsStore(&store);
    }
}

ScreenSession::~ScreenSession()
{
    mWindows.reset();
    if (mOwnStore)
        Platform::SetSettingsStore(nullptr);
    Platform::SetMessageBoxes(nullptr);
    Platform::SetClock(nullptr);
}

std::string ScreenSession::Open(const std::string& display)
{
    if (mHeadless)
        mEnv.Set("SDL_VIDEODRIVER", "dummy");
    else
        UseXDisplay(mEnv, display, mSoftwareRenderer);
    mWindows = std::make_unique<Platform::SdlWindowSystem>();
    std::string error;
    if (!mWindows->InitVideo(error))
        return "SDL cannot open the X display: " + error;
    return "";
}

Platform::SdlScreen* ScreenSession::ShowWindow(ZantApp& app)
{
    app.CreateMainWindow();
    mWindows->ShowMainWindow(true);
    DDInterface* dd = app.mDDInterface;
    if (dd == nullptr || !dd->mInitialized) {
        ADD_FAILURE() << "the display did not start: " << (dd ? dd->mErrorString : "no display");
        return nullptr;
    }
    auto* screen = dynamic_cast<Platform::SdlScreen*>(dd->Screen());
    if (screen == nullptr) {
        ADD_FAILURE() << "the display has no SDL screen";
        return nullptr;
    }
    screen->SetCapture(true);
    return screen;
}

Platform::SdlScreen* ScreenSession::ShowLoadedApp(ZantApp& app)
{
    app.SetWindowSystem(mWindows.get());
    if (app.mWidgetManager == nullptr)
        app.mWidgetManager = new WidgetManager(&app);
    app.mLoadingThreadCompleted = true;
    return ShowWindow(app);
}

void ScreenSession::Settle()
{
    for (int i = 0; i < 20; ++i) {
        Platform::WindowEvent e;
        while (mWindows->PollEvent(e)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

ImageLib::Image ScreenSession::DrawFrame(ZantApp& app, const std::string& name, uint32_t advanceMs, bool settle)
{
    auto screenOf = [&app]() -> Platform::SdlScreen* {
        return app.mDDInterface ? dynamic_cast<Platform::SdlScreen*>(app.mDDInterface->Screen()) : nullptr;
    };
    if (Platform::SdlScreen* screen = screenOf())
        screen->SetCapture(true);
    if (settle)
        Settle();
    clock.Advance(advanceMs);
    app.mWidgetManager->MarkAllWidgetsDirty();
    EXPECT_TRUE(app.DrawFrame()) << name;
    AppServices::PollDisplay(&app);
    Platform::SdlScreen* screen = screenOf();
    if (screen == nullptr) {
        ADD_FAILURE() << name << ": the application has no SDL screen";
        return ImageLib::Image(WIDTH, HEIGHT);
    }
    return CaptureFrame(*screen);
}

std::string RunScreenTest(const std::function<void(ScreenSession& session)>& scenario, const ScreenOptions& options)
{
    const auto inChild = [&](const std::string& display) {
        ScreenSession session(options);
        if (const std::string why = session.Open(display); !why.empty()) {
            printf("%s\n", why.c_str());
            fflush(stdout);
            _exit(CHILD_SKIPPED);
        }
        std::optional<WorkingFolder> folder;
        if (std::filesystem::is_directory(GameDir()))
            folder.emplace(GameDir());
        scenario(session);
    };
    const XvfbRun run = options.headless ? RunInChild([&] { inChild(""); }) : RunInXvfbChild(inChild);
    switch (run) {
    case XvfbRun::NO_XVFB:
        return "no Xvfb to run a real display";
    case XvfbRun::NO_DISPLAY:
        return options.headless ? "SDL's headless video driver cannot be used here" : "SDL cannot use the X display";
    case XvfbRun::CRASHED:
        ADD_FAILURE() << "the display run crashed";
        break;
    case XvfbRun::FAILED:
        ADD_FAILURE() << "see the failures printed above";
        break;
    case XvfbRun::PASSED:
        break;
    }
    return "";
}

FrameWindow::FrameWindow() : mSession(ScreenOptions{1000, true, true, false}) {}

FrameWindow::~FrameWindow()
{
    if (mAttached)
        mScreen.Detach();
}

std::string FrameWindow::Start(const char* title)
{
    if (!mServer.Start())
        return "no Xvfb";
    if (std::string why = mSession.Open(mServer.Display()); !why.empty())
        return why;
    if (!Windows().CreateMainWindow(title, 0, 0, WIDTH, HEIGHT, false))
        return "no window";
    Windows().ShowMainWindow(true);
    if (!mScreen.Attach(Windows().NativeWindow(), false))
        return "no screen on the window";
    mAttached = true;
    mScreen.SetCapture(true);
    return "";
}

std::vector<uint32_t> FrameWindow::Show(MemoryImage& frame, const std::string& name)
{
    EXPECT_TRUE(mScreen.Show(frame.GetBits(), WIDTH * 4, 32, WIDTH, HEIGHT)) << name;
    int width = 0, height = 0;
    std::vector<uint32_t> shot = mScreen.Captured(width, height);
    if (width != WIDTH || height != HEIGHT) {
        ADD_FAILURE() << name << ": the window read back as " << width << "x" << height;
        return {};
    }
    return shot;
}

GameScreenshotRig::GameScreenshotRig() = default;

GameScreenshotRig::~GameScreenshotRig()
{
    if (mApp != nullptr) {
        mApp->mWidgetManager->mImage = nullptr;
        mApp->SetWindowSystem(nullptr);
        mApp.reset();
    }
    delete gGameRandom;
    gGameRandom = nullptr;
}

std::string GameScreenshotRig::Start(const char* title, uint32_t gameSeed)
{
    const std::string gameDir = GameDir();
    if (!std::filesystem::exists(gameDir + "/images"))
        return "the art is not built in " + gameDir;
    if (std::string why = mWindow.Start(title); !why.empty())
        return why;
    delete gGameRandom;
    gGameRandom = new MersenneTwister(gameSeed);
    mWorkingFolder.emplace(gameDir);
    mFrame.Create(WIDTH, HEIGHT);
    return "";
}

bool GameScreenshotRig::Attach(std::unique_ptr<WinBTApp> owned)
{
    mApp = std::move(owned);
    WinBTApp& app = *mApp;
    app.SetWindowSystem(&mWindow.Windows());
    app.mWidgetManager = new WidgetManager(&app);
    app.mWidgetManager->SetScreenSize(WIDTH, HEIGHT);
    app.mWidgetManager->mImage = &mFrame;
    if (!app.LoadImageOrDie()) {
        ADD_FAILURE() << "the program folder's pictures";
        return false;
    }
    // Mirrored and tinted sprites (the tutor's fish, the board's creatures).
    app.BuildDerivedImages();
    // Start-up loads the dialogs' pictures and the rest after the loading step's.
    for (int i = WinBTApp::NUM_LOADED_IMAGES; i < WinBTApp::NUM_IMAGES; ++i)
        app.SetImage(i, app.LoadImageFile(std::string("images\\") + WinBTApp::IMAGE_NAMES[i]));
    bool loaded = app.GetImage(IMAGE_DBUTTON) != nullptr;
    auto font = [&](Font*& slot, const char* file) {
        auto* f = new ImageFont(&mFontHost, std::string("data/") + file);
        loaded = loaded && f->IsLoaded();
        EXPECT_TRUE(f->IsLoaded()) << file;
        slot = f;
    };
    font(app.mFontMyriad14Bold, "MyriadCondensedWeb14Bold.txt");
    font(app.mFontMyriad12Bold, "MyriadCondensedWeb12Bold.txt");
    font(app.mFontGillSans10Bold, "GillSansMT10Bold.txt");
    font(app.mFontRockwell13, "Rockwell13.txt");
    font(app.mFontRockwell13Bold, "Rockwell13Bold.txt");
    font(app.mFontSwiss24, "SwissCheesed24.txt");
    font(app.mFont12pt, "12ptfont.txt");
    return loaded;
}

UserProfile& GameScreenshotRig::AddPlayer(const std::string& name, int userNumber)
{
    if (mApp->mProfileMgr == nullptr)
        mApp->mProfileMgr = new UserProfileMgr(mApp.get());
    auto* profile = new UserProfile(mApp.get());
    profile->mName = name;
    profile->mUserNumber = userNumber;
    mApp->mProfileMgr->AddUserProfile(profile);
    mApp->mCurProfile = profile;
    return *profile;
}

int GameScreenshotRig::Shoot(const std::string& folder, const std::string& name, int channelTolerance)
{
    TextRecorder recorder(WIDTH, HEIGHT);
    bool shown = true;
    const TextFrames frames = DrawTextFrames(recorder, [&](const std::string& what) {
        mApp->mWidgetManager->MarkAllWidgetsDirty();
        mApp->mWidgetManager->DrawScreen();
        const std::vector<uint32_t> shot = mWindow.Show(mFrame, name + what);
        shown = shown && !shot.empty();
        return shot.empty() ? ImageLib::Image(WIDTH, HEIGHT) : Picture(shot, WIDTH, HEIGHT);
    });
    if (!shown)
        return -1;
    const int differing = DifferingPixels(frames.full, folder, name, channelTolerance);
    ListIllegibleTexts(frames, recorder.Texts(), folder, name,
                       SaveShot(frames.bare, folder, name + ".textfree.png") + ".contrast.txt");
    return differing;
}

ImageLib::Image ShootTexts(ScreenSession& session, WinBTApp& app, const std::string& folder, const std::string& name,
                           uint32_t advanceMs)
{
    TextRecorder recorder(WIDTH, HEIGHT);
    // The clock moves on before the shot only: the other drawings are of the same
    // moment in the same settled window, so that nothing but the texts changes, and
    // the frame pacing (which spaces the frames while loading) lets each of them be
    // drawn.
    const TextFrames frames = DrawTextFrames(recorder, [&](const std::string& what) {
        if (!what.empty())
            app.mNextDrawTick = session.clock.TickCount();
        return session.DrawFrame(app, name + what, what.empty() ? advanceMs : 0, what.empty());
    });
    ListIllegibleTexts(frames, recorder.Texts(), folder, name,
                       SaveShot(frames.bare, folder, name + ".textfree.png") + ".contrast.txt");
    return frames.full;
}

void ShootLegible(ScreenSession& session, WinBTApp& app, const Reference& reference, const std::string& name)
{
    ExpectMatchesReference(ShootTexts(session, app, reference.folder, name), reference, name);
}

std::string RunStartingGame(const std::string& testFolder, const StartingGameScenario& scenario)
{
    if (!std::filesystem::exists(GameDir() + "/images"))
        return "the art is not built in " + GameDir();
    // Channel steps: the display's rounding; pixels: a few edge pixels of scaled text.
    const Reference reference{testFolder, 6, 200};
    ScreenOptions options;
    options.settingsStore = true;
    // A player folder of the run's own: what an earlier run saved for Ann (the ship
    // names she has met) would change what this one shows.
    const TempDir home("plindor-screens");
    EnvScope env;
    env.Set("PLINDOR_HOME", home.Path());
    return RunScreenTest(
        [&](ScreenSession& session) {
            auto app = std::make_unique<FixedSpeedApp>();
            app->SetWindowSystem(&session.Windows());
            app->mWidgetManager = new WidgetManager(app.get());
            app->mProfileMgr = new UserProfileMgr(app.get());
            auto* ann = new UserProfile(app.get());
            ann->mName = "Ann";
            app->mProfileMgr->AddUserProfile(ann);
            app->mProfileMgr->RegisterDefaultUserName("Ann");
            // Ann's data loaded as start-up loads it: without it the menu opens over
            // a message that her saved data was lost.
            app->mCurProfile = ann;

            app->mTitleScreen = new TitleScreen(app.get());
            app->mTitleScreen->Resize(0, 0, WIDTH, HEIGHT);
            ASSERT_TRUE(app->mTitleScreen->LoadImages());
            app->mWidgetManager->AddWidget(app->mTitleScreen);
            if (session.ShowWindow(*app) == nullptr)
                return;
            // The pictures start-up loads besides the loading step's (the dialogs' frames).
            for (int i = WinBTApp::NUM_LOADED_IMAGES; i < WinBTApp::NUM_IMAGES; ++i)
                app->SetImage(i, app->LoadImageFile(std::string("images\\") + WinBTApp::IMAGE_NAMES[i]));
            scenario(session, *app, [&](const char* name) { ShootLegible(session, *app, reference, name); });
        },
        options);
}

void FinishLoading(WinBTApp& app)
{
    app.mFontRockwell13 = new ImageFont(&app, "data\\Rockwell13.txt");
    app.mFontRockwell13Bold = new ImageFont(&app, "data\\Rockwell13Bold.txt");
    app.LoadingProc();
    app.mLoaded = true;
    app.mLoadingThreadCompleted = true;
    app.LoadingCompleted();
    app.FlushWidgetDeletions();
}

std::string RunGameScreens(const std::string& testFolder, unsigned seed, const GameScreenScenario& scenario)
{
    if (!std::filesystem::exists(GameDir() + "/images/diver_idle.png"))
        return "the art is not built in " + GameDir();
    // Channel steps a pixel may differ by (the renderer's rounding), and a share of
    // 0.2 % of the pixels that may differ more.
    const Reference reference{testFolder, 3, WIDTH * HEIGHT / 500};
    return RunScreenTest([&](ScreenSession& session) {
        gGameRandom = new MersenneTwister(seed);
        auto app = std::make_unique<QuietApp>();
        app->SetWindowSystem(&session.Windows());
        app->mWidgetManager = new WidgetManager(app.get());
        app->mLoadingThreadCompleted = true;
        if (session.ShowWindow(*app) != nullptr) {
            LoadGameArt(*app);
            if (!testing::Test::HasFatalFailure())
                scenario(*app, [&](const char* name) {
                    ShootLegible(session, *app, reference, name);
                });
        }
        app.reset();
        delete gGameRandom;
        gGameRandom = nullptr;
    });
}

Board* ShowBoard(WinBTApp& app, const std::string& configText)
{
    app.mConfig = new Config(&app);
    const int loaded = app.mConfig->LoadText(configText, 0, "test.xml");
    EXPECT_EQ(loaded, 0);
    if (loaded != 0)
        return nullptr;
    app.mConfig->ResetWaves(0);

    auto* board = new Board(&app);
    app.mBoard = board;
    board->Resize(0, 0, WIDTH, HEIGHT);
    board->StartLevel(app.mConfig);
    auto* bar = new StatusBar(&app);
    const int barHeight = app.GetImage(IMAGE_STATUSBARX)->GetHeight();
    bar->Resize(0, HEIGHT - barHeight, WIDTH, barHeight);
    app.mStatusBar = bar;
    app.mWidgetManager->AddWidget(board);
    app.mWidgetManager->AddWidget(bar);
    return board;
}

Player& PutDiverInPlay(Board& board, int state, int score, double charge)
{
    Player& player = *board.mPlayer;
    player.SetState(state);
    player.mY = 235.0;
    player.mBaseY = 235.0;
    player.mScore = score;
    player.mCharge = charge;
    board.mScrollDistance = board.mLeadInHeight + 1.0;
    board.mWaveCleared = false;
    return player;
}

void RunAnsweringHints(WinBTApp& app, int updates)
{
    for (int i = 0; i < updates; ++i) {
        app.mWidgetManager->UpdateFrame();
        if (Dialog* hint = app.FindDialog(HintDialog::ID))
            hint->ButtonDepress(HintDialog::ID + Dialog::ID_YES);
    }
}

void RemoveBoard(WinBTApp& app)
{
    app.RemoveDialog(Board::GAME_OVER_DIALOG);
    app.mWidgetManager->RemoveWidget(app.mStatusBar);
    app.mWidgetManager->RemoveWidget(app.mBoard);
    delete app.mStatusBar;
    app.mStatusBar = nullptr;
    delete app.mBoard;
    app.mBoard = nullptr;
    if (app.mConfig)
        app.mConfig->ClearLevels();
    delete app.mConfig;
    app.mConfig = nullptr;
}

} // namespace TestSupport
