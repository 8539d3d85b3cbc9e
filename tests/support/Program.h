#pragma once
// The built program run as a player would run it, in a process of its own with its
// own per-user folder, for the tests that watch it from outside.
#include <string>
#include <sys/types.h>
#include <vector>

namespace TestSupport {

// How the program is started: headless with SDL's dummy drivers unless said otherwise.
struct ProgramOptions {
    std::string folder;            // the program folder ("" = the one the build made)
    std::vector<std::string> env;  // NAME=value added last
    std::vector<std::string> drop; // NAMEs removed from the test's environment
    bool headless = true;
};

// A copy of a program folder whose files are links to the built one (a damaged file
// is replaced, never written through): the program, its libraries and data folders.
// Other tests' files beside them (crash reports, users) are left out.
void LinkProgramFolder(const std::string& from, const std::string& to);

// The test's environment without the variables named (NAME=... entries), plus extra ones.
std::vector<std::string> Environment(const std::vector<std::string>& drop, const std::vector<std::string>& extra);
// Starts exe with the arguments and exactly that environment; its standard error goes
// to errPath, its standard output nowhere. -1 when it cannot start.
pid_t SpawnProgram(const std::string& exe, const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const std::string& errPath);
// Starts the program with the arguments and home as its per-user folder; its
// standard error goes to errPath, its standard output nowhere. -1 when it cannot start.
pid_t StartProgram(const std::vector<std::string>& args, const std::string& home, const std::string& errPath,
                   const ProgramOptions& options = {});
// Waits up to timeoutMs for the process: its exit code, 128 + the signal that ended
// it, or -1 when it still runs.
int WaitExit(pid_t pid, int timeoutMs);
void KillProcess(pid_t pid);
// WaitExit, the process killed when it still runs.
int WaitOrKill(pid_t pid, int timeoutMs);
// The environment entry that has the program's test probe report to probePath.
std::string ProbeSetting(const std::string& probePath);
// Waits up to timeoutMs for the probe to report the program's first update: start-up
// is over and the main loop runs. A loaded machine can take seconds to get there
// with a sanitised build. False on time-out.
bool WaitForFirstUpdate(const std::string& probePath, int timeoutMs);

} // namespace TestSupport
