#pragma once
// A private X server (Xvfb) for tests that need a real window, and a scope that
// sets environment variables and puts the old values back.
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace TestSupport {

class XvfbServer {
public:
    // Starts Xvfb on a free display; false when Xvfb is missing or fails to start.
    bool Start();
    ~XvfbServer();
    const std::string& Display() const { return mDisplay; }

private:
    pid_t mPid = -1;
    std::string mDisplay;
};

// Exit status of a scenario that could not use the display.
constexpr int CHILD_SKIPPED = 77;

enum class XvfbRun { PASSED, FAILED, CRASHED, NO_XVFB, NO_DISPLAY };

// Starts a private Xvfb and runs the scenario with its display name in a child
// process of its own: the X, GL and driver libraries keep memory past SDL_Quit and
// unload the code that made it, so the leak check could not tell their blocks from
// ours. Failures print in the child and show in the result; a scenario that cannot
// open the display ends the child with CHILD_SKIPPED.
XvfbRun RunInXvfbChild(const std::function<void(const std::string& display)>& scenario);
// The same in a child process without an X server, for SDL's headless driver.
XvfbRun RunInChild(const std::function<void()>& scenario);

class EnvScope;

// Points SDL at the X display; the software renderer draws an exact copy of each
// frame into the window and loads no GL driver, whose blocks the leak check could not
// attribute once the driver is unloaded.
void UseXDisplay(EnvScope& env, const std::string& display, bool softwareRenderer);

class EnvScope {
public:
    void Set(const char* name, const std::string& value);
    ~EnvScope();

private:
    struct Saved {
        const char* name;
        bool had;
        std::string value;
    };
    std::vector<Saved> mSaved;
};

} // namespace TestSupport
