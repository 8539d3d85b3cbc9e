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
#include "tests/app/AppTestSupport.h"

namespace DemoTest {

using Log = std::vector<std::string>;

// Receives all input on the whole screen and writes it down.
class InputLog : public Zant::Widget {
public:
    InputLog(Zant::ZantApp* app, Log* log) : mApp(app), mLog(log) { Resize(0, 0, 640, 480); }
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
    void Put(const std::string& line) { mLog->push_back("u" + std::to_string(mApp->mUpdateCount) + " " + line); }
    Zant::ZantApp* mApp;
    Log* mLog;
};

// Runs the action planned for an update during that update and logs its result.
class Prober : public Zant::Widget {
public:
    using Action = std::function<std::string()>;
    Prober(Zant::ZantApp* app, Log* log) : mApp(app), mLog(log) {}
    void Plan(int update, Action action) { mActions[update].push_back(std::move(action)); }
    void Update() override
    {
        Widget::Update();
        auto it = mActions.find(mApp->mUpdateCount);
        if (it == mActions.end())
            return;
        for (const Action& action : it->second)
            mLog->push_back("u" + std::to_string(mApp->mUpdateCount) + " " + action());
    }

private:
    Zant::ZantApp* mApp;
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

// A recording or playing application with its own settings store and the two
// widgets above.
class DemoRun {
public:
    explicit DemoRun(const std::string& demoFile, Platform::SettingsStore* store = nullptr)
        : mStore(store ? store : &mOwnStore)
    {
        Platform::SetSettingsStore(mStore);
        app().mRegKey = "Vorlix\\DemoTest";
        app().mDemoFileName = demoFile;
        app().mInMainLoop = true;
        // Loading has finished; the first update takes note of it, as in a real run.
        app().mLoaded = true;
        app().mLoadingThreadCompleted = false;
        app().mWidgetManager->AddWidget(&mInput);
        app().mWidgetManager->SetFocus(&mInput);
        app().mWidgetManager->AddWidget(&mProber);
    }
    ~DemoRun()
    {
        Finish();
        Platform::SetSettingsStore(nullptr);
    }
    // Removes the widgets and destroys the application (a recording is written now).
    void Finish()
    {
        if (!mFixture.app)
            return;
        mFixture.app->mWidgetManager->RemoveWidget(&mInput);
        mFixture.app->mWidgetManager->RemoveWidget(&mProber);
        mFixture.app.reset();
    }
    Zant::ZantApp& app() { return *mFixture.app; }
    void Send(Platform::Msg msg, int64_t p1 = 0, int64_t p2 = 0) { mFixture.windows.events.push_back({msg, p1, p2}); }
    void SendMouse(Platform::Msg msg, int x, int y) { Send(msg, 0, Platform::PackMousePos(x, y)); }

    FakeAppFixture mFixture;
    Platform::SettingsStore mOwnStore;
    Platform::SettingsStore* mStore;
    Log mLog;
    InputLog mInput{mFixture.app.get(), &mLog};
    Prober mProber{mFixture.app.get(), &mLog};
};

} // namespace DemoTest
