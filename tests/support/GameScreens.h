#pragma once
// Screens as a player sees them: a real X window on a private Xvfb server, with a fake
// clock and message boxes (and a settings store of the test's own where asked), the
// program folder as the working folder and the program's own pictures and fonts.
// Each frame is read back from the window and compared with its reference picture
// (see ReferencePicture.h).
//
// Two ways to run: RunScreenTest runs a scenario in a child process of its own, for
// an application drawing through its own display (the X and GL libraries keep memory
// past SDL_Quit that the leak check cannot tell from ours); FrameWindow and
// GameScreenshotRig stay in the test's process, drawing the widgets into a frame of
// their own shown through SDL's software renderer, which loads no GL driver.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/graphics/FontHost.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "game/shell/WinBTApp.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"
#include "tests/support/ReferencePicture.h"
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

namespace Zant {
class Board;
class Player;
class UserProfile;
class ZantApp;
} // namespace Zant

namespace TestSupport {

// The game without its sounds: a screen test looks, it does not listen.
class QuietApp : public Zant::WinBTApp {
public:
    void PlaySound(int) override {}
};

struct ScreenOptions {
    uint32_t clockStart = 100000;
    // A settings store of the test's own in place of the player's.
    bool settingsStore = false;
    // SDL's software renderer (see UseXDisplay).
    bool softwareRenderer = false;
    // SDL's headless dummy driver (and so its software renderer) in place of the X
    // display: no Xvfb is started.
    bool headless = false;
};

// What every screen test has around it: the fake clock and message boxes (and the
// settings store) in use while it lives, and SDL's video on the X display once open.
class ScreenSession {
public:
    explicit ScreenSession(const ScreenOptions& options = {});
    ~ScreenSession();
    ScreenSession(const ScreenSession&) = delete;
    ScreenSession& operator=(const ScreenSession&) = delete;

    // Points SDL at the display (or its headless driver) and starts its video: ""
    // when it is up, otherwise why not.
    std::string Open(const std::string& display);
    Platform::SdlWindowSystem& Windows() { return *mWindows; }
    // Makes the application's main window and shows it, its display capturing what
    // it shows; null with a failure when the display did not come up.
    Platform::SdlScreen* ShowWindow(Zant::ZantApp& app);
    // ShowWindow for an application as it stands after loading: it gets the window
    // system and a widget manager (where it has none); widgets added before are drawn
    // from the first frame.
    Platform::SdlScreen* ShowLoadedApp(Zant::ZantApp& app);    // Lets the X server settle the window (mapping, full screen) as the main loop
    // would between frames.
    void Settle();
    // Settles (unless told the window already has, drawing the same moment again),
    // moves the clock on two seconds (or as asked), draws every widget through the
    // application's own display and reads the 640x480 frame back (from whichever
    // screen the display has now, as after a switch to 3D or full screen).
    ImageLib::Image DrawFrame(Zant::ZantApp& app, const std::string& name, uint32_t advanceMs = 2000,
                              bool settle = true);

    Platform::FakeClock clock;
    Platform::FakeMessageBoxService boxes;
    Platform::SettingsStore store;

private:
    bool mSoftwareRenderer;
    bool mHeadless;
    bool mOwnStore;
    EnvScope mEnv;
    std::unique_ptr<Platform::SdlWindowSystem> mWindows;
};

// Runs the scenario in a child process with an open session on a private Xvfb (or
// SDL's headless driver), in the program folder. Returns why it could not run (for GTEST_SKIP), or "" when it
// ran; failures print in the child and fail the test.
std::string RunScreenTest(const std::function<void(ScreenSession& session)>& scenario,
                          const ScreenOptions& options = {});

// A 640x480 window of its own on a private Xvfb server, in the test's process, with
// the fake clock starting at 1000 and a settings store of the test's own.
class FrameWindow {
public:
    FrameWindow();
    ~FrameWindow();
    FrameWindow(const FrameWindow&) = delete;
    FrameWindow& operator=(const FrameWindow&) = delete;

    // Empty when the window is up; otherwise why the test cannot run here.
    std::string Start(const char* title);
    ScreenSession& Session() { return mSession; }
    Platform::SdlWindowSystem& Windows() { return mSession.Windows(); }
    // Shows the frame in the window and reads it back: empty, with a failure, when
    // it comes back in another size.
    std::vector<uint32_t> Show(Zant::MemoryImage& frame, const std::string& name);

private:
    XvfbServer mServer;
    ScreenSession mSession;
    Platform::SdlScreen mScreen;
    bool mAttached = false;
};

// The game's application drawing into a FrameWindow, in the program folder, with the
// pictures loading loads, the dialogs' pictures and the fonts the screens use.
class GameScreenshotRig {
public:
    GameScreenshotRig();
    ~GameScreenshotRig();

    // Empty when the window is up; otherwise why the test cannot run here (no art,
    // no Xvfb, no display), for GTEST_SKIP.
    std::string Start(const char* title, uint32_t gameSeed);
    // The application (kept until the rig ends) draws into the frame. False (with
    // failures) when the pictures or fonts cannot be read.
    bool Attach(std::unique_ptr<Zant::WinBTApp> app);
    Zant::WinBTApp& App() { return *mApp; }
    // The application's profile manager (made when missing) with a new player, who
    // becomes the player in play.
    Zant::UserProfile& AddPlayer(const std::string& name, int userNumber);
    // Draws every widget, shows the frame and compares it with tests/<folder>/<name>:
    // the pixels beyond the channel tolerance, or -1 without a reference. Every
    // text on it must be legible (see ShootLegible).
    int Shoot(const std::string& folder, const std::string& name, int channelTolerance);

private:
    FrameWindow mWindow;
    std::optional<WorkingFolder> mWorkingFolder;
    Zant::MemoryImage mFrame;
    Zant::SoftwareFontHost mFontHost;
    std::unique_ptr<Zant::WinBTApp> mApp;
};

// Draws the frame through the application's display (the clock moved on by
// advanceMs first) and checks every text on it is legible (see TextContrast.h):
// the texts under 4.5:1 are listed beside the shot in <build>/screenshots/<folder>
// and fail the test. Returns the frame as shown.
ImageLib::Image ShootTexts(ScreenSession& session, Zant::WinBTApp& app, const std::string& folder,
                           const std::string& name, uint32_t advanceMs = 2000);
// Draws the frame through the application's display, checks it against the named
// reference, and checks every text on it is legible (see TextContrast.h): the
// texts under 4.5:1 are listed beside the shot and fail the test.
void ShootLegible(ScreenSession& session, Zant::WinBTApp& app, const Reference& reference, const std::string& name);

// Draws the widget manager's frame and checks it against the named reference.
using ShootFunction = std::function<void(const char* name)>;
using GameScreenScenario = std::function<void(Zant::WinBTApp& app, const ShootFunction& shoot)>;

// Runs the scenario under RunScreenTest, with a settings store of its own, on the game
// as it starts: a player "Ann" registered as the default and the title screen (its
// pictures loaded) over the main window. Each shot is drawn through the game's
// display and compared with tests/<testFolder>/<name>. Returns why the run was
// skipped, or "" when it ran.
using StartingGameScenario =
    std::function<void(ScreenSession& session, Zant::WinBTApp& app, const ShootFunction& shoot)>;
std::string RunStartingGame(const std::string& testFolder, const StartingGameScenario& scenario);

// The loading step and its end as the main thread runs it, up to the menu.
void FinishLoading(Zant::WinBTApp& app);

// Runs the scenario under RunScreenTest with the game's application in its own
// window, the program's pictures and fonts loaded and the game generator seeded with
// seed. Each shot is compared with tests/<testFolder>/<name>. Returns why the run was
// skipped, or "" when it ran.
std::string RunGameScreens(const std::string& testFolder, unsigned seed, const GameScreenScenario& scenario);

// A level on screen: loads the configuration text and shows a board on its first
// level over the window with the status bar under it; null (with a failure) when the
// text does not load.
Zant::Board* ShowBoard(Zant::WinBTApp& app, const std::string& configText);
// The diver in the middle of the field past the lead-in, in the given state with a
// score and a zapper charge, the wave not yet cleared.
Zant::Player& PutDiverInPlay(Zant::Board& board, int state, int score, double charge);
// Runs the widget manager, answering a hint dialog as soon as it shows, as a player
// does (it pauses the board).
void RunAnsweringHints(Zant::WinBTApp& app, int updates);
// Takes the board, the status bar, the game-over dialog and the configuration away.
void RemoveBoard(Zant::WinBTApp& app);

} // namespace TestSupport
