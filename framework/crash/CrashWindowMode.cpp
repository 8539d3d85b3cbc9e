#include "framework/crash/CrashWindowMode.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "framework/app/ZantApp.h"
#include "framework/graphics/TextSurfaceImage.h"
#include "framework/net/HTTPTransfer.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"

namespace Zant {

const char CRASH_WINDOW_SWITCH[] = "--crash-window";

namespace {

constexpr uint32_t kUpdatePeriodMs = 10;

// The system's error icon: a red disc with a white cross.
std::vector<uint32_t> ErrorIcon(int size)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * size, 0);
    const double centre = (size - 1) / 2.0, radius = size / 2.0 - 1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = x - centre, dy = y - centre;
            if (dx * dx + dy * dy > radius * radius)
                continue;
            const bool cross = (std::abs(dx - dy) < 2.2 || std::abs(dx + dy) < 2.2) && std::abs(dx) < radius * 0.5;
            pixels[static_cast<size_t>(y) * size + x] = cross ? 0xFFFFFFFF : 0xFFD02020;
        }
    }
    return pixels;
}

struct Field {
    const char* name;
    std::string CrashSession::*text;
};

const Field kTextFields[] = {
    {"title", &CrashSession::mErrorTitle},
    {"host", &CrashSession::mHost},
    {"demo", &CrashSession::mDemoFile},
};

struct FactField {
    const char* name;
    std::string CrashReportFacts::*text;
};

const FactField kFactFields[] = {
    {"username", &CrashReportFacts::mUserName}, {"prod", &CrashReportFacts::mProdName},
    {"version", &CrashReportFacts::mVersion},   {"builddate", &CrashReportFacts::mBuildDate},
    {"referid", &CrashReportFacts::mReferId},
};

bool ReadReport(const std::string& path, std::string& report)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    report.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    // The crash file ends with one line end more than the report.
    if (report.size() >= 2 && report.compare(report.size() - 2, 2, "\r\n") == 0)
        report.resize(report.size() - 2);
    return true;
}

} // namespace

bool IsCrashWindowMode(int argc, char** argv)
{
    return argc > 1 && std::string(argv[1]) == CRASH_WINDOW_SWITCH;
}

std::vector<std::string> CrashWindowArguments(const CrashSession& session, const std::string& crashFile)
{
    std::vector<std::string> arguments{CRASH_WINDOW_SWITCH, "report=" + crashFile};
    for (const Field& field : kTextFields)
        arguments.push_back(std::string(field.name) + "=" + session.*field.text);
    for (const FactField& field : kFactFields)
        arguments.push_back(std::string(field.name) + "=" + session.mFacts.*field.text);
    arguments.push_back("buildnum=" + std::to_string(session.mFacts.mBuildNum));
    arguments.push_back(std::string("app=") + (session.mHasApplication ? "1" : "0"));
    return arguments;
}

bool ParseCrashWindowArguments(const std::vector<std::string>& arguments, CrashSession& session)
{
    for (const std::string& argument : arguments) {
        if (argument == CRASH_WINDOW_SWITCH)
            continue;
        const size_t equals = argument.find('=');
        if (equals == std::string::npos)
            return false;
        const std::string name = argument.substr(0, equals), value = argument.substr(equals + 1);
        bool known = false;
        for (const Field& field : kTextFields)
            if (name == field.name) {
                session.*field.text = value;
                known = true;
            }
        for (const FactField& field : kFactFields)
            if (name == field.name) {
                session.mFacts.*field.text = value;
                known = true;
            }
        if (name == "buildnum") {
            session.mFacts.mBuildNum = std::atoi(value.c_str());
        } else if (name == "app") {
            session.mHasApplication = value == "1";
        } else if (name == "report") {
            if (!ReadReport(value, session.mReport))
                session.mReport = "The crash report could not be read from " + value + ".";
        } else if (!known) {
            return false;
        }
    }
    return true;
}

struct SdlCrashWindowHost::Parts {
    Platform::SdlWindowSystem windows;
    Platform::SdlScreen screen;
    ZantApp app;
    TextSurfaceImage image; // the window's pixels
    bool started = false;
};

SdlCrashWindowHost::SdlCrashWindowHost() : mParts(std::make_unique<Parts>()) {}

SdlCrashWindowHost::~SdlCrashWindowHost()
{
    mWindows.reset();
    if (mParts->app.mWidgetManager)
        mParts->app.mWidgetManager->mImage = nullptr;
    mParts->screen.Detach();
    mParts->app.SetWindowSystem(nullptr);
}

bool SdlCrashWindowHost::Start(std::string& error)
{
    if (!mParts->windows.InitVideo(error))
        return false;
    mParts->app.SetWindowSystem(&mParts->windows);
    mParts->app.mWidgetManager = new WidgetManager(&mParts->app);
    mParts->started = true;
    return true;
}

void SdlCrashWindowHost::Begin(const CrashSession& session, HTTPTransfer& transfer)
{
    // The faulting process's clipboard went with it; this process holds the report now.
    mParts->app.PutClipboardText(session.mReport);
    mWindows = std::make_unique<CrashWindows>(mParts->app.mWidgetManager, &mParts->app, this, session, transfer);
    mWindows->Open();
    mLastUpdate = Platform::TickCount();
}

void SdlCrashWindowHost::OpenWindow(const std::string& title, int x, int y, int width, int height)
{
    Parts& parts = *mParts;
    parts.app.mWidgetManager->mImage = nullptr;
    parts.screen.Detach();
    if (!parts.windows.CreateMainWindow(title, x, y, width, height, false)) {
        std::fprintf(stderr, "The crash window cannot be shown.\n");
        mWindowFailed = true;
        return;
    }
    const std::vector<uint32_t> icon = ErrorIcon(32);
    parts.windows.SetIcon(icon.data(), 32, 32);
    parts.windows.ShowMainWindow(true);
    parts.screen.Attach(parts.windows.NativeWindow(), false);
    parts.image.Create(width, height);
    parts.app.mWidgetManager->mImage = &parts.image;
    mButtonDown = false;
}

void SdlCrashWindowHost::RunFrame()
{
    Parts& parts = *mParts;
    WidgetManager* manager = parts.app.mWidgetManager;
    Platform::WindowEvent e;
    while (mWindows && !mWindows->Done() && parts.windows.PollEvent(e)) {
        const int x = Platform::MouseX(e.param2), y = Platform::MouseY(e.param2);
        switch (e.msg) {
        case Platform::Msg::Close: mWindows->CloseRequested(); break;
        case Platform::Msg::KeyDown: manager->KeyDown(static_cast<int>(e.param1)); break;
        case Platform::Msg::KeyUp: manager->KeyUp(static_cast<int>(e.param1)); break;
        case Platform::Msg::Char: manager->KeyChar(static_cast<char>(static_cast<int8_t>(e.param1))); break;
        case Platform::Msg::MouseMove:
            if (mButtonDown)
                manager->MouseDrag(x, y);
            else
                manager->MouseMove(x, y);
            break;
        case Platform::Msg::LButtonDown:
        case Platform::Msg::LButtonDblClk:
            mButtonDown = true;
            manager->MouseMove(x, y);
            manager->MouseDown(x, y, e.msg == Platform::Msg::LButtonDblClk ? 2 : 1);
            parts.windows.CaptureMouse(true);
            break;
        case Platform::Msg::LButtonUp:
            mButtonDown = false;
            manager->MouseUp(x, y, 1);
            parts.windows.CaptureMouse(false);
            break;
        case Platform::Msg::Paint: manager->MarkAllWidgetsDirty(); break;
        default: break;
        }
    }
    if (!mWindows || mWindows->Done())
        return;
    const uint32_t now = Platform::TickCount();
    mWindows->Tick(now);
    // The widgets' own timers (the caret, held scroll arrows) count 10 ms updates.
    for (int steps = 0; static_cast<int32_t>(now - mLastUpdate) >= static_cast<int32_t>(kUpdatePeriodMs) && steps < 10;
         ++steps) {
        mLastUpdate += kUpdatePeriodMs;
        manager->UpdateFrame();
    }
    if (static_cast<int32_t>(now - mLastUpdate) >= static_cast<int32_t>(kUpdatePeriodMs))
        mLastUpdate = now;
    if (manager->mImage && manager->DrawScreen())
        parts.screen.Show(parts.image.GetBits(), parts.image.GetWidth() * 4, 32, parts.image.GetWidth(),
                          parts.image.GetHeight());
}

void SdlCrashWindowHost::SetCapture(bool on) { mParts->screen.SetCapture(on); }

const std::vector<uint32_t>& SdlCrashWindowHost::Captured(int& width, int& height) const
{
    return mParts->screen.Captured(width, height);
}

int RunCrashWindowMode(int argc, char** argv)
{
    CrashSession session;
    if (!ParseCrashWindowArguments(std::vector<std::string>(argv + 1, argv + argc), session)) {
        std::fprintf(stderr, "Invalid crash window arguments\n");
        return EXIT_BAD_PARAMETER;
    }
    // Nobody is there to answer: the report file is all there is.
    if (Platform::IsHeadless())
        return EXIT_NORMAL;
    SdlCrashWindowHost host;
    std::string error;
    if (!host.Start(error)) {
        std::fprintf(stderr, "The crash window cannot be shown: %s\n", error.c_str());
        return EXIT_FATAL;
    }
    host.Begin(session, CrashUploadTransfer());
    while (!host.Windows().Done() && !host.WindowFailed()) {
        host.RunFrame();
        Platform::SleepMs(kUpdatePeriodMs);
    }
    return EXIT_NORMAL;
}

} // namespace Zant
