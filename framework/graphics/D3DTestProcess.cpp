#include "framework/graphics/D3DTestProcess.h"

#include <algorithm>
#include <csignal>
#include <sstream>

#include "platform/Clock.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"

namespace Zant {

const char D3D_TEST_SWITCH[] = "--test-3d";

namespace {

constexpr int HELPER_WINDOW_SIZE = 100;

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

} // namespace

bool IsD3DTestMode(int argc, char** argv) { return argc > 1 && std::string(argv[1]) == D3D_TEST_SWITCH; }

void RunD3DTestMode()
{
    // A helper stuck in a driver must not outlive the game that waits for it.
    Platform::EndWithStarter();
    D3DDrawingVerdict verdict;
    // The window stays hidden: the tests draw into a texture of the window's
    // renderer. Nothing here is torn down: the process leaves right after the
    // verdict, and a driver's teardown could only spoil it.
    auto* windows = new Platform::SdlWindowSystem();
    std::string error;
    if (windows->InitVideo(error) &&
        windows->CreateMainWindow("3D test", 0, 0, HELPER_WINDOW_SIZE, HELPER_WINDOW_SIZE, false)) {
        auto* screen = new Platform::SdlScreen();
        if (screen->Attach(windows->NativeWindow(), false))
            verdict = D3DDrawingTest::Run(screen->Device());
    }
    Platform::LeaveHelper(Platform::AnswerStarter(FormatDrawingVerdict(verdict)) ? 0 : 1);
}

std::string FormatDrawingVerdict(const D3DDrawingVerdict& verdict)
{
    return std::string("verdict ") + (verdict.conclusive ? "conclusive" : "inconclusive") + "\nfailure " +
           OneLine(verdict.failureReason) + "\nwarning " + OneLine(verdict.warning) + "\nend\n";
}

bool ParseDrawingVerdict(const std::string& text, D3DDrawingVerdict& verdict)
{
    std::istringstream lines(text);
    std::string kind, failure, warning, end, rest;
    if (!std::getline(lines, kind) || !std::getline(lines, failure) || !std::getline(lines, warning) ||
        !std::getline(lines, end) || end != "end" || std::getline(lines, rest))
        return false;
    if (kind != "verdict conclusive" && kind != "verdict inconclusive")
        return false;
    const std::string failurePrefix = "failure ", warningPrefix = "warning ";
    if (failure.compare(0, failurePrefix.size(), failurePrefix) != 0 ||
        warning.compare(0, warningPrefix.size(), warningPrefix) != 0)
        return false;
    verdict.conclusive = kind == "verdict conclusive";
    verdict.failureReason = failure.substr(failurePrefix.size());
    verdict.warning = warning.substr(warningPrefix.size());
    return true;
}

std::vector<std::string> D3DTestProcess::Arguments() { return {D3D_TEST_SWITCH}; }

bool D3DTestProcess::Start()
{
    mStarted = Platform::TickCount();
    return mHelper.Start(mArguments);
}

bool D3DTestProcess::Poll(bool wait, D3DDrawingVerdict& verdict)
{
    const int32_t left = int32_t(mTimeLimitMs) - Platform::TickDiff(Platform::TickCount(), mStarted);
    if (!mHelper.Poll(wait ? std::max<int32_t>(left, 0) : 0)) {
        if (Platform::TickDiff(Platform::TickCount(), mStarted) < int32_t(mTimeLimitMs))
            return false;
        mTimedOut = true;
        mHelper.Kill();
    }
    verdict = Ended();
    return true;
}

D3DDrawingVerdict D3DTestProcess::Ended() const
{
    D3DDrawingVerdict verdict;
    verdict.conclusive = true;
    const int signal = mHelper.EndSignal();
    if (mTimedOut) {
        verdict.failureReason = "3D test timed out.";
    } else if (signal == SIGTERM || signal == SIGINT || signal == SIGHUP || signal == SIGKILL) {
        // Ended from outside (the session closing, an operator), not by the test.
        verdict.conclusive = false;
    } else if (signal != 0) {
        verdict.failureReason = "3D test crashed (signal " + std::to_string(signal) + ").";
    } else if (mHelper.ExitCode() != 0) {
        verdict.failureReason = "3D test failed (exit code " + std::to_string(mHelper.ExitCode()) + ").";
    } else if (!ParseDrawingVerdict(mHelper.Answer(), verdict)) {
        verdict = D3DDrawingVerdict{};
        verdict.conclusive = true;
        verdict.failureReason = "3D test gave no verdict.";
    }
    return verdict;
}

} // namespace Zant
