#pragma once
// An application on fake services with a display on a fake screen, and a tick
// source the tests move by hand.
#include <cstdint>
#include <memory>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/util/PerfTimer.h"
#include "platform/display/FakeScreen.h"
#include "tests/support/AppFixture.h"

namespace DebugKeysTest {

// Counts the display-reset hook calls made around a re-initialisation.
class HookApp : public Zant::ZantApp {
public:
    void DisplayResetHook() override { ++displayResets; }
    int displayResets = 0;
};

class DisplayAppFixture : public TestSupport::AppFixture<HookApp> {
public:
    DisplayAppFixture()
    {
        auto fake = std::make_unique<Platform::FakeScreen>();
        screen = fake.get();
        app->mDDInterface = new Zant::DDInterface(app.get(), std::move(fake));
        initResult = app->mDDInterface->Init(nullptr, true);
        app->mWidgetManager->mImage = app->mDDInterface->GetScreenImage();
    }
    Platform::FakeScreen* screen = nullptr;
    int initResult = -1;
};

// Milliseconds as counter ticks.
class ManualTickSource : public Zant::TickSource {
public:
    ManualTickSource() { Zant::SetTickSource(this); }
    ~ManualTickSource() override { Zant::SetTickSource(nullptr); }
    uint64_t CounterFrequency() override { return 1000; }
    uint64_t Counter() override { return now; }
    uint64_t TimeStamp() override { return now; }
    uint64_t now = 5000;
};

} // namespace DebugKeysTest
