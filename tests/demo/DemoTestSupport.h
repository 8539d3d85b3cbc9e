#pragma once
// Recording and playing demos on an application with fake platform services: a
// widget that logs the input it receives and a widget that asks for outside results
// at chosen updates, each line stamped with the update it happened at.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/util/Buffer.h"
#include "platform/SettingsStore.h"
#include <memory>

#include "framework/app/ZantApp.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

namespace DemoTest {

using Log = std::vector<std::string>;

// Receives all input on the whole screen and writes it down.
class InputLog : public Zant::Widget {
public:
    InputLog(Zant::ZantApp*, Log* log) : mLog(log) { Resize(0, 0, 640, 480); }
    bool WantsFocus() override { return true; }
    void KeyDown(int key) override { Put("down " + std::to_string(key)); }
    void KeyUp(int key) override { Put("up " + std::to_string(key)); }
    void KeyChar(char c) override { Put("char " + std::to_string(static_cast<int>(c))); }
    void MouseMove(int x, int y) override { Put("move " + Pos(x, y)); }
    void MouseDrag(int x, int y) override { Put("drag " + Pos(x, y)); }
    void MouseDown(int x, int y, int count) override
    {
        Widget::MouseDown(x, y, count);
        Put("mdown " + Pos(x, y) + " " + std::to_string(count));
    }
    void MouseUp(int x, int y, int count) override
    {
        Widget::MouseUp(x, y, count);
        Put("mup " + Pos(x, y) + " " + std::to_string(count));
    }
    void MouseEnter() override { Put("enter"); }
    void MouseLeave() override { Put("leave"); }
    void GotFocus() override { Put("focus"); }
    void LostFocus() override { Put("unfocus"); }

private:
    static std::string Pos(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    void Put(const std::string& line)
    {
        mLog->push_back("u" + std::to_string(Zant::gZantApp ? Zant::gZantApp->mUpdateCount : -1) + " " + line);
    }
    Log* mLog;
};

// Runs the action planned for an update during that update and logs its result.
class Prober : public Zant::Widget {
public:
    using Action = std::function<std::string()>;
    Prober(Zant::ZantApp*, Log* log) : mLog(log) {}
    void Plan(int update, Action action) { mActions[update].push_back(std::move(action)); }
    void Update() override
    {
        Widget::Update();
        const int update = Zant::gZantApp->mUpdateCount;
        auto it = mActions.find(update);
        if (it == mActions.end())
            return;
        for (const Action& action : it->second)
            mLog->push_back("u" + std::to_string(update) + " " + action());
    }

private:
    Log* mLog;
    std::map<int, std::vector<Action>> mActions;
};

// One main-loop pass without the pacing: window messages, due records, the
// deferred list, then one update unless the run is quitting.
inline void Pass(Zant::ZantApp& app)
{
    app.PumpMessages();
    app.ReplayDemoEvents();
    app.ProcessDeferredMessages();
    if (!app.mShutdown)
        app.UpdateOnce();
}

// Passes until the run quits or maxPasses have run.
inline int RunToEnd(Zant::ZantApp& app, int maxPasses = 5000)
{
    int passes = 0;
    while (!app.mShutdown && passes < maxPasses) {
        Pass(app);
        ++passes;
    }
    return passes;
}

// A recording or playing application (App derives from ZantApp) on fake platform
// services, with its own settings store and the two widgets above.
template <class App = Zant::ZantApp>
class BasicDemoRun {
public:
    explicit BasicDemoRun(const std::string& demoFile, Platform::SettingsStore* store = nullptr)
        : mStore(store ? store : &mOwnStore)
    {
        Platform::SetClock(&mClock);
        Platform::SetMessageBoxes(&mBoxes);
        Platform::SetSettingsStore(mStore);
        mApp = std::make_unique<App>();
        mApp->SetWindowSystem(&mWindows);
        mApp->mWidgetManager = new Zant::WidgetManager(mApp.get());
        mApp->mLastTime = mClock.TickCount();
        mApp->mRegKey = "Vorlix\\DemoTest";
        mApp->mProductVersion = "1.01";
        mApp->mDemoFileName = demoFile;
        mApp->mInMainLoop = true;
        // Loading has finished; the first update takes note of it, as in a real run.
        mApp->mLoaded = true;
        mApp->mWidgetManager->AddWidget(&mInput);
        mApp->mWidgetManager->SetFocus(&mInput);
        mApp->mWidgetManager->AddWidget(&mProber);
    }
    ~BasicDemoRun()
    {
        Finish();
        Platform::SetSettingsStore(nullptr);
        Platform::SetMessageBoxes(nullptr);
        Platform::SetClock(nullptr);
    }
    // Removes the widgets and destroys the application (a recording is written now).
    void Finish()
    {
        if (!mApp)
            return;
        mApp->mWidgetManager->RemoveWidget(&mInput);
        mApp->mWidgetManager->RemoveWidget(&mProber);
        mApp.reset();
    }
    App& app() { return *mApp; }
    void Send(Platform::Msg msg, int64_t p1 = 0, int64_t p2 = 0) { mWindows.events.push_back({msg, p1, p2}); }
    void SendMouse(Platform::Msg msg, int x, int y) { Send(msg, 0, Platform::PackMousePos(x, y)); }

    Platform::FakeClock mClock{100000};
    Platform::FakeWindowSystem mWindows;
    Platform::FakeMessageBoxService mBoxes;
    Platform::SettingsStore mOwnStore;
    Platform::SettingsStore* mStore;
    std::unique_ptr<App> mApp;
    Log mLog;
    InputLog mInput{nullptr, &mLog};
    Prober mProber{nullptr, &mLog};
};

using DemoRun = BasicDemoRun<>;

} // namespace DemoTest
