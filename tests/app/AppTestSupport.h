#pragma once
// An application object on fake platform services: a fake clock and window system,
// a widget manager without a screen, and loading already finished unless asked.
#include <memory>

#include "framework/app/ZantApp.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

class FakeAppFixture {
public:
    explicit FakeAppFixture(uint32_t start = 100000) : clock(start)
    {
        Platform::SetClock(&clock);
        Platform::SetMessageBoxes(&boxes);
        app = std::make_unique<Zant::ZantApp>();
        app->SetWindowSystem(&windows);
        app->mWidgetManager = new Zant::WidgetManager(app.get());
        app->mLoadingThreadCompleted = true;
        app->mLastTime = clock.TickCount();
        app->mLastDrawTick = clock.TickCount();
        app->mNextDrawTick = clock.TickCount();
    }
    ~FakeAppFixture()
    {
        app.reset();
        Platform::SetClock(nullptr);
        Platform::SetMessageBoxes(nullptr);
    }

    Platform::FakeClock clock;
    Platform::FakeWindowSystem windows;
    Platform::FakeMessageBoxService boxes;
    std::unique_ptr<Zant::ZantApp> app;
};
