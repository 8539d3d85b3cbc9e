// The command line, the product version, web pages and the session report.
#include <csignal>
#include <cstdio>

#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "framework/util/StringUtil.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "BuildInfo.h"
#include "platform/Paths.h"
#include "platform/Process.h"

namespace Zant {

bool IsWebPageAddress(const std::string& url)
{
    const std::string lower = ToLowerCopy(url.substr(0, 8));
    const size_t start = lower.rfind("http://", 0) == 0 ? 7 : lower.rfind("https://", 0) == 0 ? 8 : 0;
    if (start == 0 || url.size() == start)
        return false;
    for (char c : url)
        if (static_cast<unsigned char>(c) < 0x21 || c == 0x7F)
            return false; // no blanks or control characters inside an address
    return true;
}

void ZantApp::ParseCommandLine(const std::string& text)
{
    std::string name, value;
    bool inQuotes = false, afterEquals = false, pending = false;
    auto finish = [&]() {
        HandleCommandLineParam(name, value);
        name.clear();
        value.clear();
        afterEquals = false;
        pending = false;
    };
    for (char c : text) {
        if (mShutdown)
            return;
        if (c == '"') {
            // A closing quote does not end the parameter by itself: the separator
            // after it does, so "-demofile=\"a b\" -play" is two parameters.
            inQuotes = !inQuotes;
            pending = true;
        } else if (c == ' ' && !inQuotes) {
            finish();
        } else if (c == '=') {
            afterEquals = true;
            pending = true;
        } else {
            (afterEquals ? value : name) += c;
            pending = true;
        }
    }
    // The text's end closes only a parameter that has begun: a line that ends in a
    // space (or was just ended by one) has nothing more to hand on.
    if (pending)
        finish();
}

void ZantApp::HandleCommandLineParam(const std::string& name, const std::string& value)
{
    if (name == "-play") {
        mDemoPlaybackRequested = true;
        mRecordingDemoBuffer = false;
    } else if (name == "-record") {
        mRecordingDemoBuffer = true;
        mDemoPlaybackRequested = false;
    } else if (name == "-demofile") {
        mDemoFileName = value;
    } else if (name == "-version") {
        Platform::MessageBoxRequest box;
        box.title = "Version Info";
        box.text = "Product: " + mProdName + "\r\nVersion: " + mProductVersion + "\r\nBuild Num: " +
                   std::to_string(mBuildNum) + "\r\nBuild Date: " + mBuildDate;
        box.icon = Platform::BoxIcon::Information;
        // Also on standard output (plain line ends), where scripts can read it.
        std::string lines = box.text;
        for (size_t at; (at = lines.find("\r\n")) != std::string::npos;)
            lines.erase(at, 1);
        std::printf("%s\n", lines.c_str());
        Platform::ShowMessageBox(box);
        FatalExit(EXIT_NORMAL);
    } else if (name == "-crash") {
        raise(SIGSEGV);
    } else {
        ShowMessage("Invalid Command Line Param: " + name);
        FatalExit(EXIT_BAD_PARAMETER);
    }
}

std::string ZantApp::ReadProductVersion(const std::string& path)
{
    // No version block in an ELF file: the build states the version of the program
    // it makes, and no other file has one.
    std::string folder;
    if (path.empty() || !Platform::ProgramFolder(folder) || path != folder + "/plindor")
        return std::string();
    return PLINDOR_PRODUCT_VERSION;
}

bool ZantApp::OpenWebPage(const std::string& url, bool quitAfterOpen)
{
    if (mWebPageOpenPending && mOpenedUrl == url)
        return true;
    mQuitAfterWebPage = quitAfterOpen;
    mWebPageOpenPending = true;
    mOpenedUrl = url;
    mOpenedUrlTime = Platform::TickCount();
    // Addresses may come from the network: only web pages are handed on, and the
    // browser is started without a shell. A demo being played opens nothing and
    // takes the recorded run's answer.
    bool launched = false;
    if (!mPlayingDemoBuffer)
        launched = IsWebPageAddress(url) && Platform::OpenWebPage(url);
    DemoSyncByte(launched);
    if (launched)
        return true;
    WebPageOpenFailed(url);
    return false;
}

void ZantApp::WebPageOpenFailed(const std::string& url) { mWebPageOpenPending = false; }

void ZantApp::WebPageOpened(const std::string& url)
{
    mWebPageOpenPending = false;
    if (mQuitAfterWebPage) {
        mQuittingAfterWebPage = true;
        Shutdown();
    }
}

std::string ZantApp::BuildSessionReport()
{
    std::string r;
    r += "Product: " + mProdName + "\r\n";
    r += "Version: " + mProductVersion + "\r\n";
    r += "Build Num: " + std::to_string(mBuildNum) + "\r\n";
    r += "Build Date: " + mBuildDate + "\r\n";
    if (!mReferId.empty())
        r += "ReferId: " + mReferId + "\r\n";
    uint32_t secs = (Platform::TickCount() - mTimeLoaded) / 1000;
    char buf[64];
    snprintf(buf, sizeof buf, "%02u:%02u:%02u", secs / 3600, (secs / 60) % 60, secs % 60);
    r += std::string("Time Loaded: ") + buf + "\r\n";
    r += std::string("Fullscreen: ") + (mIsWindowed ? "No" : "Yes") + "\r\n";
    snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(AppServices::PrimaryThreadNumber(this)));
    r += std::string("Primary ThreadId: ") + buf + "\r\n";
    return r;
}

} // namespace Zant
