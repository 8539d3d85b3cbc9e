// The crash windows in a real X window (a private Xvfb server), read back from the
// window and compared with the reference pictures kept beside this test. A
// picture that differs is written into the build folder with a difference image.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <string>
#include <vector>

#include "framework/crash/CrashWindowMode.h"
#include "framework/graphics/ImageLib.h"
#include "framework/crash/CrashTextBox.h"
#include "framework/net/HTTPTransfer.h"
#include "tests/net/LoopbackServer.h"
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

using namespace Zant;

namespace {

struct Shot {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
};

std::string OutputFolder()
{
    const char* dir = std::getenv("PLINDOR_BINARY_DIR");
    const std::filesystem::path folder = std::filesystem::path(dir ? dir : "/tmp") / "crash-shots";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder.string();
}

void Save(const Shot& shot, const std::string& path)
{
    ImageLib::Image image(shot.width, shot.height);
    for (size_t i = 0; i < shot.pixels.size(); ++i)
        image.GetBits()[i] = shot.pixels[i] | 0xFF000000u;
    ImageLib::WritePng(path, image);
}

// Pixels whose channels differ by more than the tolerance; their places are
// painted red in the difference image.
int CompareWithReference(const Shot& shot, const std::string& name)
{
    const std::string reference = TestSupport::SourceDir() + "/tests/crash/" + name;
    const std::string actual = OutputFolder() + "/" + name;
    Save(shot, actual);
    std::unique_ptr<ImageLib::Image> want = ImageLib::ReadPng(reference);
    if (!want || want->GetWidth() != shot.width || want->mHeight != shot.height) {
        ADD_FAILURE() << "no reference picture of this size: " << reference << " (actual in " << actual << ")";
        return -1;
    }
    constexpr int kTolerance = 24;
    ImageLib::Image difference(shot.width, shot.height);
    int bad = 0;
    for (size_t i = 0; i < shot.pixels.size(); ++i) {
        const uint32_t got = shot.pixels[i], expected = want->GetBits()[i];
        bool differs = false;
        for (int shift : {0, 8, 16})
            differs |= std::abs(int((got >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > kTolerance;
        bad += differs;
        difference.GetBits()[i] = differs ? 0xFFFF0000u : (0xFF000000u | ((got >> 2) & 0x3F3F3F));
    }
    if (bad > 0)
        ImageLib::WritePng(OutputFolder() + "/diff-" + name, difference);
    return bad;
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
    env.Set("DISPLAY", server.Display());
    env.Set("SDL_VIDEODRIVER", "x11");
    // SDL's software renderer: an exact copy of the frame, no GL driver.
    env.Set("SDL_RENDER_DRIVER", "software");
    env.Set("SDL_FRAMEBUFFER_ACCELERATION", "0");

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
    EXPECT_EQ(CompareWithReference(fatal, "fatal-error.png"), 0);

    host.Windows().ButtonDepress(CrashWindows::ID_SEND_REPORT);
    for (char c : std::string("It froze on level 3.\rThe music went on."))
        host.Windows().DescriptionBox()->KeyChar(c);
    const Shot details = take();
    ASSERT_EQ(details.width, 400);
    ASSERT_EQ(details.height, 300);
    EXPECT_EQ(CompareWithReference(details, "error-details.png"), 0);

    // Nothing listens at the report service: the upload fails.
    host.Windows().ButtonDepress(CrashWindows::ID_CONTINUE);
    const Shot progress = take();
    ASSERT_EQ(progress.width, 240);
    ASSERT_EQ(progress.height, 64);
    EXPECT_EQ(CompareWithReference(progress, "submitting-report.png"), 0);

    for (int i = 0; i < 500 && host.Windows().Current() == CrashWindows::Window::Progress; ++i) {
        host.RunFrame();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(host.Windows().Current(), CrashWindows::Window::Failed);
    const Shot failed = take();
    ASSERT_EQ(failed.width, 400);
    ASSERT_EQ(failed.height, 100);
    EXPECT_EQ(CompareWithReference(failed, "connection-failed.png"), 0);

    host.Windows().ButtonDepress(CrashWindows::ID_CANCEL);
    EXPECT_TRUE(host.Windows().Done());
}
