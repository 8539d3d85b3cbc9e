// The built program started on a per-user folder it cannot write: a disk with no
// room left, a folder standing under a file, a read-only folder. The player is told
// that the folder cannot be written and why that may be, the program ends with code
// 1, and what the folder holds stays as it was.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/SettingsStore.h"
#include "tests/support/Program.h"
#include "tests/support/TestSupport.h"

namespace {

// Every file the program writes is held to maxBytes, as on a disk where that much is
// left: a write past it fails (EFBIG) rather than ending the program.
pid_t StartWithRoomFor(rlim_t maxBytes, const std::string& home, const std::string& errPath)
{
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = maxBytes;
    // Both are inherited by the program: an ignored signal stays ignored.
    void (*savedHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const pid_t pid = TestSupport::StartProgram({}, home, errPath);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    return pid;
}

} // namespace

TEST(DataFolder, AFolderThatCannotBeWrittenIsSaidSoAtStart)
{
    TestSupport::TempDir dir("plindor-e2e");
    // A store larger than the room left: saving it again cannot succeed.
    const std::string store = dir.File("full/settings.txt");
    std::filesystem::create_directories(dir.File("full"));
    {
        Platform::SettingsStore filled(store);
        filled.BeginBatch();
        for (int n = 0; n < 200; ++n)
            filled.SetString("SOFTWARE\\Vorlix\\Plindor\\Users\\Ann", "Pad" + std::to_string(n), std::string(100, 'x'));
        ASSERT_TRUE(filled.EndBatch());
    }
    const std::string storeBytes = TestSupport::ReadFile(store);
    ASSERT_GT(storeBytes.size(), 20000u);
    TestSupport::WriteFile(dir.File("file"), "not a folder");
    std::filesystem::create_directories(dir.File("readonly"));
    chmod(dir.File("readonly").c_str(), 0555);

    struct Case {
        const char* what;
        std::string home;
        bool full;
        bool refusesRoot;
    };
    const Case cases[] = {
        {"full disk", dir.File("full"), true, true},
        {"under a file", dir.File("file/plindor"), false, true},
        {"read-only", dir.File("readonly"), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.refusesRoot && geteuid() == 0) {
            std::printf("[   NOTE   ] the row \"%s\" needs a user other than root\n", c.what);
            continue;
        }
        const std::string errPath = dir.File(std::string(c.what) + ".err");
        const pid_t pid = c.full ? StartWithRoomFor(16384, c.home, errPath)
                                 : TestSupport::StartProgram({}, c.home, errPath);
        ASSERT_GT(pid, 0);
        const int code = TestSupport::WaitOrKill(pid, 30000);
        const std::string err = TestSupport::ReadFile(errPath);
        EXPECT_EQ(code, 1) << err;
        EXPECT_NE(err.find("Plindor Ombrex cannot write its settings store and users folder (" + c.home +
                           "). The disk may be full or read-only, or the folder may belong to another account."),
                  std::string::npos)
            << err;
        EXPECT_EQ(err.find("must be run using an account"), std::string::npos) << err;
        if (c.full) {
            EXPECT_TRUE(TestSupport::ReadFile(store) == storeBytes) << "the store was not left as it was";
        }
    }
}
