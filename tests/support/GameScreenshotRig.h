#pragma once
// A game application's screens as a player sees them: a real X window on a private
// Xvfb server, fake clock, message boxes and settings store, the program folder as
// the working folder, and an application that draws into a 640x480 frame shown in
// the window with the program folder's pictures and the screens' fonts loaded.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "framework/graphics/FontHost.h"
#include "framework/graphics/MemoryImage.h"
#include "game/shell/WinBTApp.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"
#include "tests/support/XServer.h"

namespace TestSupport {

class GameScreenshotRig {
public:
    GameScreenshotRig();
    ~GameScreenshotRig();

    // Empty when the window is up; otherwise why the test cannot run here (no art,
    // no Xvfb, no display), for GTEST_SKIP.
    std::string Start(const char* title, uint32_t gameSeed);
    // The application (kept until the rig ends) draws into the frame: window, widget
    // manager, every picture loading loads and the fonts the screens use. False (with
    // failures) when the pictures or fonts cannot be read.
    bool Attach(std::unique_ptr<Zant::WinBTApp> app);
    Zant::WinBTApp& App() { return *mApp; }
    // The application's profile manager (made when missing) with a new player, who
    // becomes the player in play.
    Zant::UserProfile& AddPlayer(const std::string& name, int userNumber);
    // Draws every widget, shows the frame in the window, reads it back and compares
    // it with the picture name in referenceFolder (below the source tree): the pixels
    // beyond the channel tolerance, or -1 without a reference.
    int Shoot(const std::string& referenceFolder, const std::string& name, int channelTolerance);

private:
    class WorkingFolder {
    public:
        explicit WorkingFolder(const std::string& path);
        ~WorkingFolder();

    private:
        std::filesystem::path mOld;
    };

    XvfbServer mServer;
    EnvScope mEnv;
    Platform::FakeClock mClock{1000};
    Platform::FakeMessageBoxService mBoxes;
    Platform::SettingsStore mStore;
    std::optional<WorkingFolder> mWorkingFolder;
    std::unique_ptr<Platform::SdlWindowSystem> mWindows;
    Platform::SdlScreen mScreen;
    bool mAttached = false;
    Zant::MemoryImage mFrame;
    Zant::SoftwareFontHost mFontHost;
    std::unique_ptr<Zant::WinBTApp> mApp;
};

} // namespace TestSupport
