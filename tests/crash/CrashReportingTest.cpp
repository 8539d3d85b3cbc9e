// The application's part of a crash report, in child processes that fault: the
// session facts join the report, and a demo being recorded is saved with a
// marker at the fault. Headless, nothing waits for a person.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "framework/app/DemoFormat.h"
#include "framework/app/ZantApp.h"
#include "framework/crash/CrashReporting.h"
#include "framework/util/Buffer.h"
#include "platform/crash/CrashHandler.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

volatile int* volatile gBadAddress = reinterpret_cast<volatile int*>(uintptr_t{16});

struct Fault {
    const char* what;
    bool onWorker;
};

// The child: an application recording a demo, 20 updates into the run.
int FaultingApplication(const TestSupport::TempDir& dir, const Fault& fault)
{
    pid_t pid = fork();
    if (pid == 0) {
        ZantApp app;
        app.mProdName = "Plindor";
        app.mProductVersion = "1.01";
        app.mRecordingDemoBuffer = true;
        app.mDemoFileName = dir.File("run.dmo");
        app.mUpdateCount = 20;
        InstallCrashReporting(dir.File("crash.txt"));
        if (fault.onWorker) {
            std::thread loader([] {
                Platform::ThreadCrashStack crashStack;
                *gBadAddress = 1;
            });
            loader.join();
        } else {
            *gBadAddress = 1;
        }
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

} // namespace

TEST(CrashReporting, TheReportHoldsTheSessionAndTheDemoIsSavedWithAMarker)
{
    for (const Fault& fault : {Fault{"main thread", false}, Fault{"worker thread", true}}) {
        TestSupport::TempDir dir;
        EXPECT_EQ(FaultingApplication(dir, fault), SIGSEGV) << fault.what;

        const std::string report = TestSupport::ReadFile(dir.File("crash.txt"));
        EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005)", 0), 0u) << fault.what;
        const size_t facts = report.find("\r\n\r\nProduct: Plindor\r\nVersion: 1.01\r\n");
        EXPECT_NE(facts, std::string::npos) << fault.what << "\n" << report;
        EXPECT_LT(report.find("\r\nLinux Ver: "), facts) << fault.what;
        EXPECT_EQ(report.substr(report.size() - 2), "\r\n") << fault.what;
        EXPECT_EQ(report.find("\r\r\n"), std::string::npos) << fault.what;

        DemoFileContents demo;
        std::string error;
        ASSERT_TRUE(DecodeDemoFile(TestSupport::ReadFile(dir.File("run.dmo")), "1.01", demo, error))
            << fault.what << ": " << error;
        // A filler for the first 15 updates, then the marker 5 updates later.
        Buffer expected;
        for (int delta : {15, 5}) {
            expected.WriteNumBits(delta, 4);
            expected.WriteNumBits(0, 1);
            expected.WriteNumBits(DEMO_FILLER, 5);
        }
        EXPECT_EQ(demo.mStream, expected.ToString()) << fault.what;
        EXPECT_EQ(demo.mTotalUpdates, 20) << fault.what;
    }
}
