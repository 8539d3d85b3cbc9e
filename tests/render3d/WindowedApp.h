#pragma once
// What an application needs to open its real window in a scenario's child process:
// a fake clock and message boxes set for the scenario's lifetime, and SDL's video
// on the driver the environment names (the child ends as skipped without it).
#include <unistd.h>

#include <cstdio>
#include <string>

#include "framework/app/ZantApp.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "tests/render3d/ChildProcess.h"

namespace RenderTest {

class WindowedServices {
public:
    WindowedServices()
    {
        Platform::SetClock(&clock);
        Platform::SetMessageBoxes(&boxes);
        std::string error;
        if (!windows.InitVideo(error)) {
            printf("no SDL video: %s\n", error.c_str());
            fflush(stdout);
            _exit(CHILD_SKIPPED);
        }
    }
    ~WindowedServices()
    {
        Platform::SetClock(nullptr);
        Platform::SetMessageBoxes(nullptr);
    }

    // Gives app the window system, a widget manager and finished loading, and opens
    // its main window; widgets added before this are drawn from the first frame.
    void OpenMainWindow(Zant::ZantApp& app)
    {
        app.SetWindowSystem(&windows);
        if (app.mWidgetManager == nullptr)
            app.mWidgetManager = new Zant::WidgetManager(&app);
        app.mLoadingThreadCompleted = true;
        app.CreateMainWindow();
        windows.ShowMainWindow(true);
    }

    Platform::FakeClock clock{100000};
    Platform::FakeMessageBoxService boxes;
    Platform::SdlWindowSystem windows;
};

} // namespace RenderTest
