#include "framework/crash/CrashWindows.h"

#include <fstream>
#include <iterator>

#include "framework/crash/CrashTextBox.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/SysFont.h"
#include "framework/net/HTTPTransfer.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"

namespace Zant {

namespace {

constexpr Color kFace(212, 212, 212);
constexpr Color kDisabledText(128, 128, 128);

const char kFatalText[] =
    "An unexpected error has occured!  Pressing 'Send Report' will send us helpful debugging information that "
    "may help us resolve this issue in the future.\r\n\r\nYou can also write to us at support@plindor.example.";
const char kDetailsText[] =
    "Please help us out by providing as much information as you can about this crash. Is this the first time it "
    "happened? Have you used other Vorlix Ombrex games successfully before? Have you upgraded your drivers or any "
    "software recently that may be interfering with this program?";
const char kFailedText[] =
    "Failed to connect to Vorlix servers.  Please check your Internet connection.\nIf you are on a dial-up "
    "connection, you may have to manually connect to your ISP.";
const char kCannotSend[] = "Reports cannot be sent";

// The window's background: the button face all over.
class CrashPanel : public Widget {
public:
    void Draw(Graphics* g) override
    {
        g->SetColor(kFace);
        g->FillRect(0, 0, mWidth, mHeight);
    }
};

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

struct WindowPlace {
    const char* title;
    int x, y, width, height;
};

WindowPlace PlaceOf(CrashWindows::Window window)
{
    switch (window) {
    case CrashWindows::Window::Details: return {"Error Details", 80, 80, 400, 300};
    case CrashWindows::Window::Progress: return {"Submitting Report", 64, 64, 240, 64};
    case CrashWindows::Window::Failed: return {"Connection Failed", 64, 64, 400, 100};
    default: return {"Fatal Error!", 64, 64, 400, 300};
    }
}

} // namespace

CrashWindows::CrashWindows(WidgetManager* manager, FontHost* fonts, CrashWindowHost* host,
                           const CrashSession& session, HTTPTransfer& transfer)
    : mManager(manager), mHost(host), mSession(session), mUploader(transfer),
      mSmallFont(new SysFont(fonts, "Tahoma", 8)), mBoldFont(new SysFont(fonts, "Tahoma", 10, 0, true)),
      mTextFont(new SysFont(fonts, "Arial", 9, 0, true)), mReportFont(new SysFont(fonts, "Courier New", 8))
{
}

CrashWindows::~CrashWindows() { ClearWidgets(); }

std::string CrashWindows::ProgressText(int seconds)
{
    std::string text = "Please Wait";
    for (int i = 0; i < seconds % 10; ++i)
        text += " .";
    return text;
}

void CrashWindows::Open() { ShowWindow(Window::Fatal); }

// A button's own press handler leads here: the widgets are deleted once it has
// returned, at the next tick.
void CrashWindows::ClearWidgets()
{
    for (auto it = mWidgets.rbegin(); it != mWidgets.rend(); ++it)
        mManager->RemoveWidget(it->get());
    mRetired.insert(mRetired.end(), std::make_move_iterator(mWidgets.begin()),
                    std::make_move_iterator(mWidgets.end()));
    mWidgets.clear();
    mButtons.clear();
    mDescription = nullptr;
    mProgressLine = nullptr;
}

void CrashWindows::ShowWindow(Window window)
{
    ClearWidgets();
    mWindow = window;
    if (window == Window::Done)
        return;

    const WindowPlace place = PlaceOf(window);
    mHost->OpenWindow(place.title, place.x, place.y, place.width, place.height);
    mManager->SetScreenSize(place.width, place.height);
    auto panel = std::make_unique<CrashPanel>();
    panel->Resize(0, 0, place.width, place.height);
    mManager->AddWidget(panel.get());
    mWidgets.push_back(std::move(panel));
    switch (window) {
    case Window::Fatal: BuildFatal(); break;
    case Window::Details: BuildDetails(); break;
    case Window::Progress: BuildProgress(); break;
    case Window::Failed: BuildFailed(); break;
    case Window::Done: break;
    }
    mManager->MarkAllWidgetsDirty();
}

CrashTextBox* CrashWindows::AddText(Font* font, const std::string& text, int x, int y, int width, int height,
                                    bool editable, bool framed)
{
    auto box = std::make_unique<CrashTextBox>(font, editable, framed, framed);
    box->Resize(x, y, width, height);
    box->SetText(text);
    CrashTextBox* raw = box.get();
    mManager->AddWidget(raw);
    mWidgets.push_back(std::move(box));
    return raw;
}

ButtonWidget* CrashWindows::AddButton(int id, const std::string& label, Font* font, int x, int y, int width,
                                      int height)
{
    auto button = std::make_unique<ButtonWidget>(id, this);
    button->mLabel = label;
    button->SetFont(font);
    button->Resize(x, y, width, height);
    ButtonWidget* raw = button.get();
    mManager->AddWidget(raw);
    mButtons.push_back(raw);
    mWidgets.push_back(std::move(button));
    return raw;
}

// The faces that stand in for the desktop's may be wider than the ones the
// windows were laid out for: an explanation that would not fit in its box is
// shown in the small font rather than cut off.
void CrashWindows::AddExplanation(const char* text)
{
    CrashTextBox* box = AddText(mTextFont.get(), text, 8, 8, 384, 84, false, false);
    if (!box->ShowsAllLines())
        box->SetFont(mSmallFont.get());
}

void CrashWindows::BuildFatal()
{
    AddExplanation(kFatalText);
    AddText(mReportFont.get(), mSession.mReport, 8, 92, 384, 168, false, true);
    const bool canSend = mSession.mHasApplication && !mSession.mHost.empty();
    ButtonWidget* send = AddButton(ID_SEND_REPORT, mSession.mHost.empty() ? kCannotSend : "Send Report",
                                   mTextFont.get(), 8, 268, 188, 24);
    send->SetDisabled(!canSend);
    if (!canSend)
        send->mColors = {kDisabledText, kDisabledText};
    AddButton(ID_CLOSE_NOW, "Close Now", mTextFont.get(), 204, 268, 188, 24);
}

void CrashWindows::BuildDetails()
{
    AddExplanation(kDetailsText);
    mDescription = AddText(mSmallFont.get(), "", 8, 92, 384, 168, true, true);
    mDescription->SetMaxChars(static_cast<int>(MAX_USER_TEXT));
    mManager->SetFocus(mDescription);
    ButtonWidget* next = AddButton(ID_CONTINUE, "Continue", mTextFont.get(), 8, 268, 188, 24);
    next->SetDisabled(!mSession.mHasApplication);
    AddButton(ID_DETAILS_ABORT, "Abort", mTextFont.get(), 204, 268, 188, 24);
}

void CrashWindows::BuildProgress()
{
    mProgressLine = AddText(mBoldFont.get(), ProgressText(mSeconds), 24, 10, 224, 24, false, false);
    AddButton(ID_PROGRESS_ABORT, "Abort", mSmallFont.get(), 72, 36, 96, 22);
}

void CrashWindows::BuildFailed()
{
    AddText(mSmallFont.get(), kFailedText, 8, 8, 384, 62, false, false);
    AddButton(ID_RETRY, "Retry", mSmallFont.get(), 192, 72, 96, 22);
    AddButton(ID_CANCEL, "Cancel", mSmallFont.get(), 296, 72, 96, 22);
}

ButtonWidget* CrashWindows::FindButton(int id) const
{
    for (ButtonWidget* button : mButtons)
        if (button->mId == id)
            return button;
    return nullptr;
}

void CrashWindows::ButtonDepress(int id)
{
    switch (id) {
    case ID_SEND_REPORT: ShowWindow(Window::Details); break;
    case ID_CONTINUE: {
        std::string text = mDescription ? mDescription->GetText() : std::string();
        if (text.size() > MAX_USER_TEXT)
            text.resize(MAX_USER_TEXT);
        mUserText = text;
        ShowWindow(Window::Progress);
        StartUpload();
        break;
    }
    case ID_PROGRESS_ABORT: mUploader.Abort(); break;
    case ID_RETRY:
        ShowWindow(Window::Progress);
        StartUpload();
        break;
    case ID_CLOSE_NOW:
    case ID_DETAILS_ABORT:
    case ID_CANCEL: ShowWindow(Window::Done); break;
    default: break;
    }
}

void CrashWindows::CloseRequested()
{
    if (mWindow == Window::Progress)
        mUploader.Abort();
    else
        ShowWindow(Window::Done);
}

void CrashWindows::StartUpload()
{
    mUploader.Start(mSession.mHost, [session = mSession, userText = mUserText] {
        std::string demo;
        const bool withDemo = !session.mDemoFile.empty();
        if (withDemo && !ReadWholeFile(session.mDemoFile, demo))
            demo.clear();
        const std::string body = BuildCrashUploadBody(session.mFacts, userText, session.mErrorTitle,
                                                      session.mReport, withDemo ? &demo : nullptr);
        return BuildCrashUploadRequest(session.mHost, body);
    });
}

void CrashWindows::PollUpload()
{
    switch (mUploader.GetResultCode()) {
    case HTTPTransfer::RESULT_IN_PROGRESS:
    case HTTPTransfer::RESULT_IDLE: break;
    case HTTPTransfer::RESULT_DONE:
    case HTTPTransfer::RESULT_ABORTED: ShowWindow(Window::Done); break;
    default:
        mUploader.Reset();
        ShowWindow(Window::Failed);
        break;
    }
}

void CrashWindows::Tick(uint32_t now)
{
    mRetired.clear();
    if (mWindow != Window::Progress && mWindow != Window::Failed) {
        mTimersStarted = false;
        return;
    }
    if (!mTimersStarted) {
        mTimersStarted = true;
        mLastPoll = now;
        mLastDot = now;
    }
    while (static_cast<int32_t>(now - mLastDot) >= static_cast<int32_t>(DOT_PERIOD_MS)) {
        mLastDot += DOT_PERIOD_MS;
        ++mSeconds;
        if (mProgressLine)
            mProgressLine->SetText(ProgressText(mSeconds));
    }
    if (mWindow == Window::Progress && static_cast<int32_t>(now - mLastPoll) >= static_cast<int32_t>(POLL_PERIOD_MS)) {
        mLastPoll = now;
        PollUpload();
    }
}

} // namespace Zant
