#pragma once
// The windows shown after a fault: "Fatal Error!" with the report, "Error
// Details" where the player describes what happened, and "Submitting Report"
// while the report is sent, with "Connection Failed" offering a retry. They are
// drawn with the framework's own widgets, one window at a time, in whatever the
// host opens for them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/crash/CrashUpload.h"
#include "framework/widgets/ButtonListener.h"

namespace Zant {

class ButtonWidget;
class CrashTextBox;
class Font;
class FontHost;
class HTTPTransfer;
class Widget;
class WidgetManager;

// What the crash windows show and send.
struct CrashSession {
    std::string mReport;
    std::string mErrorTitle;
    std::string mHost;     // the report service; empty when reports cannot be sent
    std::string mDemoFile; // the demo saved at the fault, when one was being recorded
    bool mHasApplication = false;
    CrashReportFacts mFacts;
};

// Opens the window the widgets are drawn in: client size at a screen position.
class CrashWindowHost {
public:
    virtual ~CrashWindowHost() = default;
    virtual void OpenWindow(const std::string& title, int x, int y, int width, int height) = 0;
};

class CrashWindows : public ButtonListener {
public:
    enum class Window { Fatal, Details, Progress, Failed, Done };
    enum {
        ID_SEND_REPORT = 1,
        ID_CLOSE_NOW,
        ID_CONTINUE,
        ID_DETAILS_ABORT,
        ID_PROGRESS_ABORT,
        ID_RETRY,
        ID_CANCEL,
    };
    // The longest description sent.
    static constexpr size_t MAX_USER_TEXT = 8192;
    // The progress window's timers: the upload is looked at every 20 ms, the
    // dots move every second.
    static constexpr uint32_t POLL_PERIOD_MS = 20;
    static constexpr uint32_t DOT_PERIOD_MS = 1000;

    CrashWindows(WidgetManager* manager, FontHost* fonts, CrashWindowHost* host, const CrashSession& session,
                 HTTPTransfer& transfer);
    ~CrashWindows() override;
    CrashWindows(const CrashWindows&) = delete;
    CrashWindows& operator=(const CrashWindows&) = delete;

    // Shows the first window.
    void Open();
    // Runs the timers up to now (milliseconds on any steady clock).
    void Tick(uint32_t now);
    // The window's close box.
    void CloseRequested();
    bool Done() const { return mWindow == Window::Done; }
    Window Current() const { return mWindow; }

    // "Please Wait" followed by one " ." for each second, counted modulo 10.
    static std::string ProgressText(int seconds);

    // The widgets of the open window, for the host and tests.
    ButtonWidget* FindButton(int id) const;
    CrashTextBox* DescriptionBox() const { return mDescription; }
    CrashTextBox* ProgressLine() const { return mProgressLine; }

    void ButtonDepress(int id) override;
    void ButtonPress(int id) override {}

private:
    void ShowWindow(Window window);
    void ClearWidgets();
    CrashTextBox* AddText(Font* font, const std::string& text, int x, int y, int width, int height,
                          bool editable, bool framed);
    ButtonWidget* AddButton(int id, const std::string& label, Font* font, int x, int y, int width, int height);
    void AddExplanation(const char* text);
    void BuildFatal();
    void BuildDetails();
    void BuildProgress();
    void BuildFailed();
    void StartUpload();
    void PollUpload();

    WidgetManager* mManager;
    CrashWindowHost* mHost;
    CrashSession mSession;
    CrashUploader mUploader;
    Window mWindow = Window::Fatal;
    std::unique_ptr<Font> mSmallFont;
    std::unique_ptr<Font> mBoldFont;
    std::unique_ptr<Font> mTextFont;
    std::unique_ptr<Font> mReportFont;
    std::vector<std::unique_ptr<Widget>> mWidgets; // of the open window, bottom first
    std::vector<std::unique_ptr<Widget>> mRetired; // taken out, deleted at the next tick
    std::vector<ButtonWidget*> mButtons;
    CrashTextBox* mDescription = nullptr;
    CrashTextBox* mProgressLine = nullptr;
    std::string mUserText;
    int mSeconds = 0;
    bool mTimersStarted = false;
    uint32_t mLastPoll = 0;
    uint32_t mLastDot = 0;
};

} // namespace Zant
