#pragma once
// The 3D test's drawing in a helper copy of the program. Making the 3D device loads
// the graphics driver (with Mesa some 85 MB resident), which no process can unload
// again: the game's own process would keep it for the whole session and present
// through it, and on a first start it would pay for it before its first frame. So
// the copy, started with an internal switch (never offered to players), opens a
// hidden window, runs the drawing tests on its device, writes the verdict on its
// channel and leaves; the game reads the verdict when it is ready. A copy that
// fails, crashes or overruns its time limit is a failed test; one that could make no
// device, or was ended from outside, leaves no verdict, and the next start tests
// again.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics/D3DTester.h"
#include "platform/HelperProcess.h"

namespace Zant {

// The switch that selects the helper's mode; it must come first.
extern const char D3D_TEST_SWITCH[];

bool IsD3DTestMode(int argc, char** argv);
// The helper's whole run; it leaves the process itself once the verdict is written.
[[noreturn]] void RunD3DTestMode();

// The verdict as the helper writes it, and back; false for anything but a whole
// verdict.
std::string FormatDrawingVerdict(const D3DDrawingVerdict& verdict);
bool ParseDrawingVerdict(const std::string& text, D3DDrawingVerdict& verdict);

class D3DTestProcess : public D3DTestDrawing {
public:
    // Long enough for a slow driver on a busy machine; a copy still drawing then
    // hangs.
    static constexpr uint32_t TIME_LIMIT_MS = 10000;

    // The helper's arguments after the program's name.
    static std::vector<std::string> Arguments();

    explicit D3DTestProcess(std::vector<std::string> arguments = Arguments(), uint32_t timeLimitMs = TIME_LIMIT_MS)
        : mArguments(std::move(arguments)), mTimeLimitMs(timeLimitMs)
    {
    }
    bool Start() override;
    bool Poll(bool wait, D3DDrawingVerdict& verdict) override;

private:
    // The verdict of an ended helper.
    D3DDrawingVerdict Ended() const;

    Platform::HelperProcess mHelper;
    std::vector<std::string> mArguments;
    uint32_t mTimeLimitMs;
    uint32_t mStarted = 0;
    bool mTimedOut = false;
};

} // namespace Zant
