#include "tests/support/FakeHelper.h"

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/HelperProcess.h"

namespace TestSupport {

const char FAKE_HELPER_SWITCH[] = "--fake-helper";

bool IsFakeHelper(int argc, char** argv) { return argc > 1 && std::string(argv[1]) == FAKE_HELPER_SWITCH; }

namespace {

[[noreturn]] void EndBy(int signal)
{
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    std::signal(signal, SIG_DFL);
    raise(signal);
    _exit(126);
}

} // namespace

void RunFakeHelper(int argc, char** argv)
{
    const std::string part = argc > 2 ? argv[2] : "";
    const std::string value = argc > 3 ? argv[3] : "";
    Platform::EndWithStarter();
    if (part == "answer")
        Platform::LeaveHelper(Platform::AnswerStarter(value) ? 0 : 1);
    if (part == "exit")
        Platform::LeaveHelper(std::atoi(value.c_str()));
    if (part == "crash")
        EndBy(SIGABRT);
    if (part == "terminated")
        EndBy(SIGTERM);
    if (part == "killed")
        EndBy(SIGKILL);
    if (part == "hang")
        for (;;)
            pause();
    Platform::LeaveHelper(125);
}

std::vector<std::string> FakeHelperArguments(const std::string& part, const std::string& value)
{
    return {FAKE_HELPER_SWITCH, part, value};
}

} // namespace TestSupport
