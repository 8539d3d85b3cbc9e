// Program entry: creates the game's application object, runs it and deletes it.
#include "framework/app/AppServices.h"
#include "framework/crash/CrashReporting.h"
#include "framework/crash/CrashWindowMode.h"
#include "framework/graphics/D3DTestProcess.h"
#include "game/common/Simulation.h"
#include "game/shell/WinBTApp.h"
#include "platform/Paths.h"
#include "platform/Process.h"

#include <string>

int main(int argc, char** argv)
{
    using namespace Zant;
    // A fault started this copy to show the crash windows.
    if (IsCrashWindowMode(argc, argv))
        return RunCrashWindowMode(argc, argv);
    // The display started this copy to draw the 3D test away from the game's process.
    if (IsD3DTestMode(argc, argv))
        RunD3DTestMode();
    InstallCrashReporting();
    Platform::InstallTerminationHandlers();
    AppServices::SetCommandLineParameters(AppServices::JoinArguments(argc, argv));

    // Simulation mode: its files live in the program folder, wherever the game was
    // started from. The application reports a refused plan and opens the result files.
    SimulationHarness& simulation = Simulation();
    std::string folder;
    if (Platform::ProgramFolder(folder))
        simulation.SetFolder(folder);
    simulation.ReadSimulationConfig(true);

    WinBTApp* app = new WinBTApp();
    app->mWidth = 640;
    app->mHeight = 480;
    app->Init();
    app->RunMainLoop();
    app->Shutdown();
    const int exitCode = app->mExitCode;
    delete app;

    delete gGameRandom;
    gGameRandom = nullptr;
    simulation.CloseResultFiles();
    return exitCode;
}
