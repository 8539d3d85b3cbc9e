// The crash windows in a real X window (a private Xvfb server), read back from the
// window and compared with the reference pictures kept beside this test. A
// picture that differs is written into the build folder with a difference image.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <string>
#include <vector>

#include "framework/crash/CrashWindowMode.h"
#include "framework/crash/CrashTextBox.h"
#include "framework/net/HTTPTransfer.h"
#include "tests/net/LoopbackServer.h"
#include "tests/support/ReferencePicture.h"
#include "tests/support/XServer.h"

using namespace Zant;

namespace {

struct Shot {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
};

// A channel may be off by the display's rounding; no pixel may be off by more.
const TestSupport::Reference REFERENCE{"crash", 24, 0};

void ExpectMatchesReference(const Shot& shot, const std::string& name)
{
    TestSupport::ExpectMatchesReference(TestSupport::Picture(shot.pixels, shot.width, shot.height), REFERENCE, name);
}

CrashSession SampleSession(int port)
{
    CrashSession session;
    session.mErrorTitle = "Exception at 0001:0004A3F0";
    session.mHost = "127.0.0.1:" + std::to_string(port);
    session.mHasApplication = true;
    session.mReport = "Exception: Access Violation (code 0xc0000005) at address 0000557D3A4A43F0 in thread 1F2E\r\n"
                      "Module: plindor\r\nLogical Address: 0001:0004A3F0\r\n\r\n"
                      "0000557D3A4A43F0 0001:0004A3F0 plindor _ZN4Zant5Board6UpdateEv+0x1A0\r\n"
                      "0000557D3A3F1022 0001:00001022 plindor _ZN4Zant7ZantApp10UpdateOnceEv+0x52\r\n"
                      "00007F00BF44524A 0001:0002724A libc.so.6 __libc_start_call_main+0x7A\r\n\r\n"
                      "RAX:0000000000000000 RBX:0000557D3C0A1E80 RCX:0000000000000001\r\n"
                      "RIP:0000557D3A4A43F0 RSP:00007FFD1E2C8A10  RBP:00007FFD1E2C8A60\r\n\r\n"
                      "Linux Ver: Linux 6.1.0 #1 SMP x86_64\r\n\r\nProduct: Plindor\r\nVersion: 1.01\r\n";
    return session;
}

} // namespace

TEST(CrashWindowScreenshot, TheFatalErrorAndDetailsWindowsLookAsTheyShould)
{
    TestSupport::XvfbServer server;
    if (!server.Start())
        GTEST_SKIP() << "no Xvfb";
    TestSupport::EnvScope env;
    TestSupport::UseXDisplay(env, server.Display(), true);

    NetTest::ClosedPort closed;
    HTTPTransfer transfer;
    SdlCrashWindowHost host;
    std::string error;
    ASSERT_TRUE(host.Start(error)) << error;
    host.SetCapture(true);
    host.Begin(SampleSession(closed.Port()), transfer);

    auto take = [&] {
        host.RunFrame();
        Shot shot;
        shot.pixels = host.Captured(shot.width, shot.height);
        return shot;
    };
    const Shot fatal = take();
    ASSERT_EQ(fatal.width, 400);
    ASSERT_EQ(fatal.height, 300);
    ExpectMatchesReference(fatal, "fatal-error.png");

    host.Windows().ButtonDepress(CrashWindows::ID_SEND_REPORT);
    for (char c : std::string("It froze on level 3.\rThe music went on."))
        host.Windows().DescriptionBox()->KeyChar(c);
    const Shot details = take();
    ASSERT_EQ(details.width, 400);
    ASSERT_EQ(details.height, 300);
    ExpectMatchesReference(details, "error-details.png");

    // Nothing listens at the report service: the upload fails.
    host.Windows().ButtonDepress(CrashWindows::ID_CONTINUE);
    const Shot progress = take();
    ASSERT_EQ(progress.width, 240);
    ASSERT_EQ(progress.height, 64);
    ExpectMatchesReference(progress, "submitting-report.png");

    for (int i = 0; i < 500 && host.Windows().Current() == CrashWindows::Window::Progress; ++i) {
        host.RunFrame();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(host.Windows().Current(), CrashWindows::Window::Failed);
    const Shot failed = take();
    ASSERT_EQ(failed.width, 400);
    ASSERT_EQ(failed.height, 100);
    ExpectMatchesReference(failed, "connection-failed.png");

    host.Windows().ButtonDepress(CrashWindows::ID_CANCEL);
    EXPECT_TRUE(host.Windows().Done());
}
