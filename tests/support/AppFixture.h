#pragma once
// An application object on fake platform services (window system, message boxes),
// on a fake clock unless the test runs threads, with a widget manager and loading
// finished unless asked.
#include <cstdint>
#include <memory>

#include "framework/app/ZantApp.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

namespace TestSupport {

template <typename App = Zant::ZantApp>
class AppFixture {
public:
    // Threads need the system clock: the fake one is not made for them.
    explicit AppFixture(bool fakeClock = true, bool loaded = true, uint32_t start = 100000) : clock(start)
    {
        if (fakeClock)
            Platform::SetClock(&clock);
        Platform::SetMessageBoxes(&boxes);
        app = std::make_unique<App>();
        app->SetWindowSystem(&windows);
        app->mWidgetManager = new Zant::WidgetManager(app.get());
        app->mLoadingThreadCompleted = loaded;
        app->mLastTime = Platform::TickCount();
        app->mLastDrawTick = Platform::TickCount();
        app->mNextDrawTick = Platform::TickCount();
    }
    ~AppFixture()
    {
        app.reset();
        Platform::SetClock(nullptr);
        Platform::SetMessageBoxes(nullptr);
    }

    Platform::FakeClock clock;
    Platform::FakeWindowSystem windows;
    Platform::FakeMessageBoxService boxes;
    std::unique_ptr<App> app;
};

} // namespace TestSupport
