// The services the application owns, created and driven in one place. Each
// service that is not built in yet behaves as an absent device would: no display
// surface, no sound, no transfers.
#include "framework/app/AppServices.h"

#include <atomic>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "framework/app/ZantApp.h"
#include "framework/net/HTTPTransfer.h"
#include "framework/net/InternetManager.h"
#include "framework/util/MersenneTwister.h"

namespace Zant {
namespace AppServices {

namespace {
std::string gParams;
} // namespace

void SetCommandLineParameters(const std::string& params) { gParams = params; }
const std::string& CommandLineParameters() { return gParams; }

std::string JoinArguments(int argc, char** argv)
{
    std::string out;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            out += ' ';
        std::string arg = argv[i] ? argv[i] : "";
        if (arg.find(' ') != std::string::npos)
            out += '"' + arg + '"';
        else
            out += arg;
    }
    return out;
}

void Construct(ZantApp* app) { app->mHTTPTransfer = new HTTPTransfer(); }
void CreateInternetManager(ZantApp* app)
{
    if (!app->mInternetManager)
        app->mInternetManager = new InternetManager();
}
void StopMusicAndTransfers(ZantApp* app)
{
    StopAllMusic(app);
    // A transfer that got to its end counts as a successful contact, whether it
    // was the application's own or the update check.
    bool success = false;
    if (app->mHTTPTransfer) {
        app->mHTTPTransfer->Abort();
        success = app->mHTTPTransfer->GetResultCode() == HTTPTransfer::RESULT_DONE;
    }
    if (app->mInternetManager) {
        HTTPTransfer& check = app->mInternetManager->GetUpdateCheckTransfer();
        check.Abort();
        success = success || check.GetResultCode() == HTTPTransfer::RESULT_DONE;
    }
    if (success)
        app->mITSuccess = true;
}
void Destroy(ZantApp* app)
{
    DestroyDisplay(app);
    DestroySound(app);
    // Each transfer's destructor waits for its worker thread.
    delete app->mHTTPTransfer;
    app->mHTTPTransfer = nullptr;
    delete app->mInternetManager;
    app->mInternetManager = nullptr;
}
void UpdateServices(ZantApp* app)
{
    UpdateMusic(app);
    // DontUpdate turns off the update check only (InternetManager::FetchUrl); the
    // downloads a reply listed are still polled every update.
    if (app->mInternetManager)
        app->mInternetManager->UpdateDownloads();
}

bool HasReadyPage(ZantApp* app) { return app->mInternetManager && app->mInternetManager->HasReadyPage(); }
void ShowExitPage(ZantApp* app)
{
    if (app->mInternetManager)
        app->mInternetManager->ShowPageWindow();
}

bool DecideExitPage(bool hasReadyPage, const std::function<int()>& nextRandom)
{
    if (hasReadyPage)
        return nextRandom() % 2 == 0 || nextRandom() % 10 == 0;
    return nextRandom() % 10 == 0;
}

bool ShouldShowExitPage(ZantApp* app) { return DecideExitPage(HasReadyPage(app), [] { return NextRandom(); }); }

unsigned long PrimaryThreadNumber(ZantApp* app) { return static_cast<unsigned long>(getpid()); }

} // namespace AppServices
} // namespace Zant
