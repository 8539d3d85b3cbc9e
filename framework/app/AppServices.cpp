// The services the application owns, created and driven in one place. Each
// service that is not built in yet behaves as an absent device would: no display
// surface, no sound, no transfers.
#include "framework/app/AppServices.h"

#include <atomic>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "framework/app/ZantApp.h"
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

void Construct(ZantApp* app) {}
void CreateInternetManager(ZantApp* app) {}
void StopMusicAndTransfers(ZantApp* app)
{
    StopAllMusic(app);
}
void Destroy(ZantApp* app)
{
    DestroyDisplay(app);
    DestroySound(app);
}
void FlushBeforeExit(ZantApp* app) {}
void UpdateServices(ZantApp* app)
{
    UpdateMusic(app);
}

bool HasReadyPage(ZantApp* app) { return false; }
void ShowExitPage(ZantApp* app) {}

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
