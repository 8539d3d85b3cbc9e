// Real faults in child processes: each child installs the handler, faults,
// and the parent checks how it ended and what crash.txt says.
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/crash/CrashHandler.h"
#include "tests/support/TestSupport.h"

using namespace Platform;

namespace {

// Not null, so the sanitizer lets the write reach the hardware fault.
volatile int* volatile gNull = reinterpret_cast<volatile int*>(uintptr_t{16});

void WriteThroughNull() { *gNull = 1; }

// Deep enough to run out of stack; the array keeps it from becoming a loop.
volatile bool gKeepGoing = true;
int Recurse(int depth)
{
    volatile char pad[512];
    pad[0] = static_cast<char>(depth);
    if (!gKeepGoing)
        return 0;
    return Recurse(depth + 1) + pad[0];
}

void RunOutOfStack() { (void)Recurse(0); }
void RaiseBus() { raise(SIGBUS); }
void RaiseFpe() { raise(SIGFPE); }
void RaiseIll() { raise(SIGILL); }
void CallAbort() { abort(); }

struct Outcome {
    pid_t pid = 0;  // also the id of the child's main thread
    int signal = 0; // 0 when the child was not ended by a signal
    std::string report;
};

// On a thread the program started, with the alternate stack every such thread makes.
void FaultOnWorker(void (*fault)())
{
    std::thread worker([fault] {
        ThreadCrashStack crashStack;
        fault();
    });
    worker.join();
}

Outcome RunFaultingChild(const std::string& crashFile, void (*fault)(), bool onWorker = false)
{
    pid_t pid = fork();
    if (pid == 0) {
        CrashHandler::Install(crashFile);
        if (onWorker)
            FaultOnWorker(fault);
        else
            fault();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Outcome outcome;
    outcome.pid = pid;
    if (WIFSIGNALED(status))
        outcome.signal = WTERMSIG(status);
    outcome.report = access(crashFile.c_str(), F_OK) == 0 ? TestSupport::ReadFile(crashFile) : "";
    return outcome;
}

} // namespace

// Faults on the main thread and on a thread the program started (with the
// alternate stack every such thread makes) are reported alike.
TEST(CrashHandlerTest, EachFatalSignalIsReportedAndEndsTheProcessWithThatSignal)
{
    struct Case {
        const char* what;
        void (*fault)();
        bool onWorker;
        int signal;
        const char* firstLine;
    } cases[] = {
        {"null write", WriteThroughNull, false, SIGSEGV, "Exception: Access Violation (code 0xc0000005) at address "},
        {"stack overflow", RunOutOfStack, false, SIGSEGV, "Exception: Stack Overflow (code 0xc00000fd) at address "},
        {"bus", RaiseBus, false, SIGBUS, "Exception: In Page Error (code 0xc0000006)"},
        {"fpe", RaiseFpe, false, SIGFPE, "Exception: Integer Divide by Zero (code 0xc0000094)"},
        {"ill", RaiseIll, false, SIGILL, "Exception: Illegal Instruction (code 0xc000001d)"},
        {"abort", CallAbort, false, SIGABRT, "Unknown exception: (code 0x40000015)"},
        {"null write on a worker", WriteThroughNull, true, SIGSEGV,
         "Exception: Access Violation (code 0xc0000005) at address "},
        {"stack overflow on a worker", RunOutOfStack, true, SIGSEGV,
         "Exception: Stack Overflow (code 0xc00000fd) at address "},
        {"abort on a worker", CallAbort, true, SIGABRT, "Unknown exception: (code 0x40000015)"},
    };
    for (const Case& c : cases) {
        TestSupport::TempDir dir;
        Outcome outcome = RunFaultingChild(dir.File("crash.txt"), c.fault, c.onWorker);
        EXPECT_EQ(outcome.signal, c.signal) << c.what;
        EXPECT_EQ(outcome.report.rfind(c.firstLine, 0), 0u) << c.what << "\n" << outcome.report;
        for (const char* part : {"\r\nModule: ", "\r\nLogical Address: 0001:", "\r\nLinux Ver: Linux "})
            EXPECT_NE(outcome.report.find(part), std::string::npos) << c.what << " lacks " << part;
#if defined(__x86_64__)
        EXPECT_NE(outcome.report.find("\r\nRIP:"), std::string::npos) << c.what;
#endif
        // The thread named is the one that faulted (the main thread's id is the process's).
        const size_t thread = outcome.report.find(" in thread ");
        ASSERT_NE(thread, std::string::npos) << c.what;
        const long id = std::strtol(outcome.report.c_str() + thread + 11, nullptr, 16);
        EXPECT_EQ(id == static_cast<long>(outcome.pid), !c.onWorker) << c.what;
        // No application object: no session facts, and the file ends with one line end.
        EXPECT_EQ(outcome.report.find("Product: "), std::string::npos) << c.what;
        ASSERT_GE(outcome.report.size(), 4u);
        EXPECT_EQ(outcome.report.substr(outcome.report.size() - 4), "\r\n\r\n") << c.what;
        EXPECT_EQ(outcome.report.find("\r\r\n"), std::string::npos) << c.what;
    }
}

TEST(CrashHandlerTest, TheStackWalkStartsAtTheFaultingCode)
{
    TestSupport::TempDir dir;
    Outcome outcome = RunFaultingChild(dir.File("crash.txt"), WriteThroughNull);
    ASSERT_EQ(outcome.signal, SIGSEGV);
    size_t stack = outcome.report.find("\r\n\r\n");
    ASSERT_NE(stack, std::string::npos);
    std::string firstFrame = outcome.report.substr(stack + 4, outcome.report.find("\r\n", stack + 4) - stack - 4);
    // The faulting frame is in this test program, not in the handler or libc.
    EXPECT_NE(firstFrame.find("test_crash"), std::string::npos) << outcome.report;
    size_t address = outcome.report.find("at address ") + 11;
    std::string faultPc = outcome.report.substr(address, outcome.report.find(' ', address) - address);
    EXPECT_EQ(firstFrame.rfind(faultPc, 0), 0u) << outcome.report;
}

TEST(CrashHandlerTest, AnUnwritableCrashFileFallsBackAndOnlyAWrittenReportIsClaimed)
{
    struct Case {
        const char* what;
        bool firstWritable;
        bool fallbackWritable;
        const char* writtenTo; // "first", "fallback" or "" for none
        bool firstIsLink = false; // crash.txt planted as a link to another file
    };
    const Case cases[] = {
        {"first place", true, true, "first"},
        {"first place unwritable", false, true, "fallback"},
        {"neither place", false, false, ""},
        {"first place a link to another file", true, true, "first", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestSupport::TempDir dir;
        // A folder standing at a file's name cannot be written as a file, also by root.
        const std::string first = dir.File("program/crash.txt");
        const std::string fallback = dir.File("home/crash.txt");
        std::filesystem::create_directories(c.firstWritable ? dir.File("program") : first);
        std::filesystem::create_directories(c.fallbackWritable ? dir.File("home") : fallback);
        const std::string victim = dir.File("victim.txt");
        TestSupport::WriteFile(victim, "the player's own file");
        if (c.firstIsLink)
            std::filesystem::create_symlink(victim, first);
        const std::string errPath = dir.File("stderr.txt");
        pid_t pid = fork();
        if (pid == 0) {
            const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(err, STDERR_FILENO);
            CrashHandler::Install(first, fallback);
            WriteThroughNull();
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGSEGV);
        const std::string errors = TestSupport::ReadFile(errPath);
        const std::string written = std::string(c.writtenTo) == "first" ? first
                                    : std::string(c.writtenTo) == "fallback" ? fallback
                                                                               : "";
        if (written.empty()) {
            EXPECT_EQ(errors.find("Crash report written to"), std::string::npos) << errors;
            EXPECT_NE(errors.find("The crash report could not be written to " + first + " nor to " + fallback),
                      std::string::npos)
                << errors;
            continue;
        }
        EXPECT_NE(errors.find("Crash report written to " + written + "\n"), std::string::npos) << errors;
        EXPECT_EQ(TestSupport::ReadFile(written).rfind("Exception: Access Violation", 0), 0u);
        // The report replaced a planted link instead of writing through it, and left no
        // temporary file behind.
        EXPECT_EQ(TestSupport::ReadFile(victim), "the player's own file");
        EXPECT_FALSE(std::filesystem::is_symlink(written));
        EXPECT_FALSE(std::filesystem::exists(written + "." + std::to_string(pid) + ".tmp"));
        if (written == fallback) {
            EXPECT_TRUE(std::filesystem::is_directory(first));
        }
    }
}

namespace {
void MarkerHandler(int) {}
} // namespace

TEST(CrashHandlerTest, UninstallPutsThePreviousHandlersBack)
{
    const int signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
    struct sigaction saved[5];
    struct sigaction marker {};
    marker.sa_handler = MarkerHandler;
    sigemptyset(&marker.sa_mask);
    for (int i = 0; i < 5; ++i)
        sigaction(signals[i], &marker, &saved[i]);

    TestSupport::TempDir dir;
    CrashHandler::Install(dir.File("crash.txt"));
    EXPECT_TRUE(CrashHandler::IsInstalled());
    EXPECT_EQ(std::string(CrashHandler::CrashFilePath()), dir.File("crash.txt"));
    for (int signal : signals) {
        struct sigaction now {};
        sigaction(signal, nullptr, &now);
        EXPECT_NE(now.sa_handler, MarkerHandler) << signal;
    }
    CrashHandler::Uninstall();
    EXPECT_FALSE(CrashHandler::IsInstalled());
    for (int i = 0; i < 5; ++i) {
        struct sigaction now {};
        sigaction(signals[i], nullptr, &now);
        EXPECT_EQ(now.sa_handler, MarkerHandler) << signals[i];
        sigaction(signals[i], &saved[i], nullptr);
    }
}
