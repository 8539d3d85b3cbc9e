#include "framework/net/InternetManager.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "framework/app/DemoSupport.h"
#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"
#include "framework/util/MersenneTwister.h"
#include "framework/util/StringUtil.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Process.h"

namespace Zant {

namespace {

const char* const AD_LIST_FILE = "adlist.txt";

// The value of the leading decimal digits (0 when there are none), kept in range.
int LeadingNumber(const std::string& text)
{
    return LeadingInt(text, 0, 1000000000, false);
}

bool AppPlayingDemo() { return gZantApp && gZantApp->mPlayingDemoBuffer; }

} // namespace

InternetManager::InternetManager(const std::string& folder) : mFolder(folder) { ReadAdList(); }

InternetManager::~InternetManager() { WriteAdList(); }

std::string InternetManager::PathOf(const std::string& name) const
{
    return mFolder.empty() ? name : mFolder + "/" + name;
}

bool InternetManager::Exists(const std::string& name)
{
    if (gZantApp)
        return gZantApp->FileExists(PathOf(name));
    std::error_code error;
    return std::filesystem::exists(Platform::ToNativePath(PathOf(name)), error);
}

void InternetManager::ReadAdList()
{
    std::string text;
    if (gZantApp) {
        Buffer buffer;
        if (!gZantApp->LoadFileToBuffer(PathOf(AD_LIST_FILE), buffer))
            return;
        text.assign(reinterpret_cast<const char*>(buffer.GetDataPtr()), static_cast<size_t>(buffer.GetDataLen()));
    } else if (!Platform::ReadWholeFile(PathOf(AD_LIST_FILE), text)) {
        return;
    }
    ParseAdList(text);
}

void InternetManager::ParseAdList(const std::string& text)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(std::string("\r\n\0", 3), start);
        if (end == std::string::npos)
            end = text.size();
        ParseAdEntry(text.substr(start, end - start));
        start = end + 1;
    }
    ReportIgnoredNames();
}

void InternetManager::ReportIgnoredNames()
{
    if (mIgnoredNames == 0)
        return;
    Platform::DebugOutput(FormatString("Ignored %d AdFile name(s), the first: ", mIgnoredNames) + mFirstIgnoredName +
                          "\r\n");
    mIgnoredNames = 0;
    mFirstIgnoredName.clear();
}

std::string InternetManager::FormatAdEntry(const AdEntry& entry)
{
    std::string line = FormatString("%d %d |", entry.mWidth, entry.mHeight);
    for (const std::string& name : entry.mFileNames)
        line += " " + name;
    line += " | ";
    line += entry.mShow ? "1" : "0";
    return line + "\r\n";
}

std::string InternetManager::FormatAdList() const
{
    std::string text;
    for (const AdEntry& entry : mAdList)
        text += FormatAdEntry(entry);
    return text;
}

void InternetManager::WriteAdList()
{
    // An empty list leaves the file of the last run as it was.
    if (mAdList.empty())
        return;
    const std::string text = FormatAdList();
    if (gZantApp)
        gZantApp->SaveBytesToFile(PathOf(AD_LIST_FILE), reinterpret_cast<const uint8_t*>(text.data()),
                                  static_cast<int>(text.size()));
    else
        Platform::WriteFileAtomic(Platform::ToNativePath(PathOf(AD_LIST_FILE)), text);
}

bool InternetManager::IsSafeFileName(const std::string& name)
{
    if (name.empty() || name.size() > 255 || name[0] == '/' || name.back() == '/')
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F || c == '\\' || c == ':')
            return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        const std::string part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

void InternetManager::ParseAdEntry(const std::string& line)
{
    if (line.empty())
        return;
    AdEntry entry;
    int section = 0;
    int number = 0;
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string::npos)
            end = line.size();
        const std::string token = line.substr(start, end - start);
        start = end + 1;
        if (token.empty())
            continue;
        if (token == "|") {
            ++section;
            continue;
        }
        if (section == 0) {
            if (number == 0)
                entry.mWidth = LeadingNumber(token);
            else if (number == 1)
                entry.mHeight = LeadingNumber(token);
            ++number;
        } else if (section == 1) {
            // Names come from the server and become files: only plain relative
            // names inside our folder are taken.
            // A damaged file can hold any number of them: they are counted and
            // reported once by the reader.
            if (!IsSafeFileName(token)) {
                if (mIgnoredNames++ == 0)
                    mFirstIgnoredName = EscapeUnprintable(token.substr(0, 64));
                continue;
            }
            if (entry.mFileNames.empty()) {
                // A page keeps its show flag across replies.
                entry.mShow = true;
                for (const AdEntry& prev : mPrevAdList)
                    if (!prev.mFileNames.empty() && prev.mFileNames[0] == token) {
                        entry.mShow = prev.mShow;
                        break;
                    }
            }
            entry.mFileNames.push_back(token);
            if (std::find(mPendingDownloads.begin(), mPendingDownloads.end(), token) == mPendingDownloads.end())
                mPendingDownloads.push_back(token);
        } else if (section == 2) {
            entry.mShow = LeadingNumber(token) != 0;
        }
    }
    mAdList.push_back(entry);
}

void InternetManager::FetchUrl(const std::string& url)
{
    // With updates switched off nothing goes to the network.
    if (gZantApp && gZantApp->mDontUpdate)
        return;
    mHandledTransferId = 0;
    mUpdateCheck.GetUrl(url);
}

bool InternetManager::CheckUpdateReply()
{
    if (mUpdateCheck.GetResultCode() != HTTPTransfer::RESULT_DONE)
        return false;
    // Handling the same reply again would give the same lists, but would put the
    // files already fetched or dropped as failed back on the download list.
    if (mHandledTransferId == mUpdateCheck.GetTransferId())
        return true;
    mHandledTransferId = mUpdateCheck.GetTransferId();
    mDownloadsEnabled = true;
    mPrevAdList = mAdList;
    mAdList.clear();
    mPendingDownloads.clear();
    const std::string body = mUpdateCheck.GetContent();
    int counted = 0;
    size_t start = 0;
    while (start < body.size()) {
        size_t end = body.find('\n', start);
        if (end == std::string::npos)
            end = body.size();
        std::string line = body.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (line.empty())
            continue;
        if (counted == 0)
            mUpdateAvailable = LeadingNumber(line) != 0;
        else if (counted == 1)
            mUpdateUrl = line;
        else
            ParseAdEntry(line);
        ++counted;
    }
    ReportIgnoredNames();
    return true;
}

bool InternetManager::GetUpdateState() { return CheckUpdateReply() ? mUpdateAvailable : true; }

std::string InternetManager::GetUpdateUrl() { return CheckUpdateReply() ? mUpdateUrl : std::string(); }

void InternetManager::PruneDownloadList()
{
    CheckUpdateReply();
    std::erase_if(mPendingDownloads, [this](const std::string& name) { return Exists(name); });
}

int InternetManager::GetCheckState()
{
    switch (mUpdateCheck.GetResultCode()) {
    case HTTPTransfer::RESULT_DONE:
        return 2;
    case HTTPTransfer::RESULT_IDLE:
        return 0;
    case HTTPTransfer::RESULT_IN_PROGRESS:
        return 1;
    default:
        return 3;
    }
}

void InternetManager::SaveDownload(const std::string& name, const std::string& body)
{
    // Nothing is written while a demo plays back.
    if (AppPlayingDemo())
        return;
    const std::string path = PathOf(name);
    const std::string folder = PathDirPart(path);
    if (!folder.empty())
        MakeDirectories(folder);
    // Written whole or not at all, so that a page never counts as downloaded
    // with half a file.
    Platform::WriteFileAtomic(Platform::ToNativePath(path), body);
}

void InternetManager::UpdateDownloads()
{
    if (!mDownloadsEnabled)
        return;
    for (HTTPTransfer& t : mDownloads) {
        const int result = t.GetResultCode();
        if (result == HTTPTransfer::RESULT_IN_PROGRESS)
            continue;
        if (result == HTTPTransfer::RESULT_DONE) {
            const std::string name = t.GetRelativeUrl();
            Platform::DebugOutput(FormatString("AdFile: %s\r\n", name.c_str()));
            if (IsSafeFileName(name))
                SaveDownload(name, t.GetContent());
            t.Reset();
        } else if (result != HTTPTransfer::RESULT_IDLE) {
            Platform::DebugOutput("Error on AdFile: " + t.GetRelativeUrl() + "\r\n");
            t.Reset();
        }
        if (!mPendingDownloads.empty()) {
            const std::string name = mPendingDownloads.front();
            mPendingDownloads.erase(mPendingDownloads.begin());
            t.GetRelative(mUpdateCheck.GetFullUrl(), name);
        }
    }
}

bool InternetManager::DownloadsIdle()
{
    return std::all_of(std::begin(mDownloads), std::end(mDownloads),
                       [](HTTPTransfer& t) { return t.GetResultCode() == HTTPTransfer::RESULT_IDLE; });
}

void InternetManager::RefreshReadyFlags()
{
    for (AdEntry& entry : mAdList) {
        entry.mDownloaded = !entry.mFileNames.empty();
        for (const std::string& name : entry.mFileNames)
            if (entry.mDownloaded && !Exists(name))
                entry.mDownloaded = false;
    }
}

bool InternetManager::HasReadyPage()
{
    RefreshReadyFlags();
    return std::any_of(mAdList.begin(), mAdList.end(), [](const AdEntry& e) { return e.mDownloaded && e.mShow; });
}

std::string InternetManager::PickPage()
{
    RefreshReadyFlags();
    for (const AdEntry& e : mAdList)
        if (e.mDownloaded && e.mShow)
            return e.mFileNames[0];
    std::vector<const AdEntry*> downloaded;
    for (const AdEntry& e : mAdList)
        if (e.mDownloaded)
            downloaded.push_back(&e);
    if (downloaded.empty())
        return std::string();
    const unsigned pick = static_cast<unsigned>(NextRandom()) % downloaded.size();
    return downloaded[pick]->mFileNames[0];
}

void InternetManager::ShowPageWindow()
{
    const std::string page = PickPage();
    if (page.empty())
        return;
    std::string folder = mFolder;
    if (folder.empty() || folder[0] != '/') {
        std::error_code error;
        const std::string cwd = std::filesystem::current_path(error).string();
        if (error)
            return;
        folder = folder.empty() ? cwd : cwd + "/" + folder;
    }
    // The desktop's browser opens the page; we do not wait for it. It chooses
    // the window's size and bars itself.
    Platform::OpenWebPage("file://" + folder + "/" + page);
}

} // namespace Zant
