#pragma once
// Drives the built program from outside, as a player would: starts it with its own
// per-user folder, reads what its test probe says it shows (game/shell/TestProbe.h),
// and presses keys and clicks into its window with xdotool on a private X server.
// Every wait has a time limit, and a program still running is killed when its run
// object goes.
#include <functional>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

#include "framework/graphics/ImageLib.h"

namespace E2E {

// True when an executable of that name is on PATH.
bool OnPath(const std::string& name);

// A command run to its end, killed after timeoutMs: exit code (-1 on time-out) and
// what it wrote to stdout.
struct CommandResult {
    int code = -1;
    std::string out;
};
CommandResult RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env, int timeoutMs);

// One start of a program; stderr goes to errPath, stdout nowhere.
class ProgramRun {
public:
    ProgramRun(const std::string& exe, const std::vector<std::string>& args, const std::vector<std::string>& env,
               const std::string& errPath);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return mPid > 0; }
    bool Running();
    // The exit code, 128 + the signal that ended it, or -1 while it still runs
    // after timeoutMs.
    int WaitExit(int timeoutMs);
    std::string Err() const;

private:
    pid_t mPid = -1;
    int mCode = -1;
    std::string mErrPath;
};

// The last value the probe file reported for each key; keys whose thing went away
// are absent.
class ProbeView {
public:
    explicit ProbeView(std::string path) : mPath(std::move(path)) {}
    void Read();
    bool Has(const std::string& key) const { return mValues.count(key) != 0; }
    std::string Get(const std::string& key) const;
    // A number "name=N" of a value ("state", "lives", "level", "site"), or fallback.
    int Number(const std::string& key, const std::string& name, int fallback = -99) const;
    // A rectangle "name=x,y,w,h" (or "name=...@x,y,w,h") in a value, and its centre.
    bool Rect(const std::string& key, const std::string& name, int& x, int& y, int& width, int& height) const;
    bool Centre(const std::string& key, const std::string& name, int& x, int& y) const;
    // The header of an open dialog ("" when it is not open).
    std::string DialogHeader(int id) const;
    // The last lines of the file, for failure messages.
    std::string Tail(int lines) const;

private:
    std::string mPath;
    std::string mText;
    std::map<std::string, std::string> mValues;
};

// Real key presses and clicks (XTEST) into the program's window.
class XInput {
public:
    explicit XInput(std::string display) : mDisplay(std::move(display)) {}
    // Waits for the shown window named "Plindor Ombrex" and gives it the keyboard.
    bool FindWindow(int timeoutMs);
    bool Key(const std::string& name);
    bool Type(const std::string& text);
    // A left click at (x, y) of the 640x480 window.
    bool Click(int x, int y);
    // What the window shows now, read back from the X server.
    bool Grab(ImageLib::Image& picture);

private:
    CommandResult Run(const std::vector<std::string>& args);
    std::string mDisplay;
    std::string mWindow;
};

// Polls the probe every 20 ms until done() holds; false after timeoutMs or as soon
// as the program has ended.
bool WaitFor(ProbeView& probe, ProgramRun& program, int timeoutMs, const std::function<bool()>& done);

} // namespace E2E
