#pragma once
// The program's crash-window mode: after a fault the handler starts a fresh copy
// of the program with an internal switch (never offered to players), and that
// copy shows the crash windows in an SDL window of its own and sends the report.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/crash/CrashWindows.h"

namespace Zant {

class ZantApp;

// The switch that selects the mode; it must come first.
extern const char CRASH_WINDOW_SWITCH[];

bool IsCrashWindowMode(int argc, char** argv);

// The arguments after the switch name the crash file, which holds the report,
// and carry the rest of the session as name=value pairs.
std::vector<std::string> CrashWindowArguments(const CrashSession& session, const std::string& crashFile);
// False when an argument is not one of ours. The report is read from the crash file.
bool ParseCrashWindowArguments(const std::vector<std::string>& arguments, CrashSession& session);

// The crash windows in a real window: each one a window of its own size.
class SdlCrashWindowHost : public CrashWindowHost {
public:
    SdlCrashWindowHost();
    ~SdlCrashWindowHost() override;
    SdlCrashWindowHost(const SdlCrashWindowHost&) = delete;
    SdlCrashWindowHost& operator=(const SdlCrashWindowHost&) = delete;

    // Starts the video; false with the reason when there is no display.
    bool Start(std::string& error);
    // The windows' flow; made by Start.
    CrashWindows& Windows() { return *mWindows; }
    // Starts the flow for the session (the report also goes on the clipboard).
    void Begin(const CrashSession& session, HTTPTransfer& transfer);
    // One pass: the window's events, the timers, the widgets' updates and a draw.
    void RunFrame();
    // A window could not be made: nobody can answer, so the run ends.
    bool WindowFailed() const { return mWindowFailed; }
    // While on, every frame shown is also kept as 0xAARRGGBB pixels.
    void SetCapture(bool on);
    const std::vector<uint32_t>& Captured(int& width, int& height) const;

    void OpenWindow(const std::string& title, int x, int y, int width, int height) override;

private:
    struct Parts;
    std::unique_ptr<Parts> mParts;
    std::unique_ptr<CrashWindows> mWindows;
    uint32_t mLastUpdate = 0;
    bool mButtonDown = false;
    bool mWindowFailed = false;
};

// The mode's whole run; returns the process's exit code.
int RunCrashWindowMode(int argc, char** argv);

} // namespace Zant
