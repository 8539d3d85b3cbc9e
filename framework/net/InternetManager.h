#pragma once
// The application's small network services: the update check and its reply, the
// pages the reply lists (downloaded in the background and remembered in
// adlist.txt between runs), and one of those pages opened at exit.
#include <memory>
#include <string>
#include <vector>

#include "framework/net/HTTPTransfer.h"

namespace Zant {

struct AdEntry {
    int mWidth = 0;
    int mHeight = 0;
    std::vector<std::string> mFileNames; // the first is the page shown
    bool mDownloaded = false;            // recomputed before each use
    bool mShow = false;
};

class InternetManager {
public:
    static constexpr int DOWNLOAD_TRANSFERS = 4;

    // folder: where adlist.txt and the downloads live ("" = the working folder,
    // which is the program's folder).
    explicit InternetManager(const std::string& folder = std::string());
    ~InternetManager();
    InternetManager(const InternetManager&) = delete;
    InternetManager& operator=(const InternetManager&) = delete;

    void ReadAdList();
    void WriteAdList();
    void FetchUrl(const std::string& url);
    bool CheckUpdateReply();
    bool GetUpdateState();
    std::string GetUpdateUrl();
    void PruneDownloadList();
    int GetCheckState();
    void UpdateDownloads();
    bool HasReadyPage();
    void ShowPageWindow();

    void ParseAdEntry(const std::string& line);
    // adlist.txt's text: one entry a line (CR, LF or NUL end a line).
    void ParseAdList(const std::string& text);
    std::string FormatAdList() const;
    static std::string FormatAdEntry(const AdEntry& entry);
    // A name the server may have us write: relative, inside the folder, no "..".
    static bool IsSafeFileName(const std::string& name);

    const std::vector<AdEntry>& GetAdList() const { return mAdList; }
    const std::vector<std::string>& GetPendingDownloads() const { return mPendingDownloads; }
    HTTPTransfer& GetUpdateCheckTransfer() { return mUpdateCheck; }
    // No download transfer is running or holds a result not yet collected.
    bool DownloadsIdle();
    // The page ShowPageWindow would open ("" when none), for the file:// address.
    std::string PickPage();

private:
    std::string PathOf(const std::string& name) const;
    bool Exists(const std::string& name);
    void RefreshReadyFlags();
    void SaveDownload(const std::string& name, const std::string& body);
    // One log line for the names ParseAdEntry refused since the last report.
    void ReportIgnoredNames();

    std::string mFolder;
    HTTPTransfer mUpdateCheck;
    HTTPTransfer mDownloads[DOWNLOAD_TRANSFERS];
    bool mUpdateAvailable = true;
    bool mDownloadsEnabled = false;
    std::string mUpdateUrl;
    std::vector<AdEntry> mAdList;
    std::vector<AdEntry> mPrevAdList;
    std::vector<std::string> mPendingDownloads;
    uint32_t mHandledTransferId = 0; // the reply already handled (0 = none)
    int mIgnoredNames = 0;
    std::string mFirstIgnoredName;
};

} // namespace Zant
