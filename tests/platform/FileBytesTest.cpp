#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>

#include "platform/FileBytes.h"
#include "tests/support/TestSupport.h"

TEST(FileBytes, GivesARegularFilesBytesAndRefusesEverythingElseWithItsReason)
{
    TestSupport::TempDir dir;
    TestSupport::WriteFile(dir.File("tune.xm"), std::string("Extended Module: \0\x01\xff", 20));
    TestSupport::WriteFile(dir.File("empty.xm"), "");
    TestSupport::WriteFile(dir.File("big.xm"), std::string(4097, 'x'));
    std::filesystem::create_directory(dir.File("folder.xm"));
    ASSERT_EQ(mkfifo(dir.File("fifo.xm").c_str(), 0600), 0);

    struct Case {
        std::string path;
        size_t limit;
        bool opens;
        std::string bytes; // when it opens
        std::string error; // when not: a part of the error
    };
    const Case cases[] = {
        {dir.File("tune.xm"), SIZE_MAX, true, std::string("Extended Module: \0\x01\xff", 20), ""},
        {dir.Path() + "\\tune.xm", 20, true, std::string("Extended Module: \0\x01\xff", 20), ""}, // a game path
        {dir.File("empty.xm"), SIZE_MAX, true, "", ""},
        {dir.File("big.xm"), 4096, false, "", dir.File("big.xm") + ": larger than 4096 bytes"},
        {dir.File("missing.xm"), SIZE_MAX, false, "", dir.File("missing.xm") + ": No such file"},
        {dir.File("folder.xm"), SIZE_MAX, false, "", dir.File("folder.xm") + ": not a regular file"},
        {dir.File("fifo.xm"), SIZE_MAX, false, "", dir.File("fifo.xm") + ": not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Platform::FileBytes file;
        // A FIFO must be refused, not waited on for a writer that never comes.
        auto opening = std::async(std::launch::async, [&] { return file.Open(c.path, c.limit); });
        if (opening.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "opening waits";
            close(open(c.path.c_str(), O_WRONLY)); // lets the blocked open go on
        }
        ASSERT_EQ(opening.get(), c.opens) << file.Error();
        if (c.opens) {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.Data()), file.Size()), c.bytes);
            EXPECT_EQ(file.Error(), "");
        } else {
            EXPECT_EQ(file.Error().rfind(c.error, 0), 0u) << file.Error();
            EXPECT_EQ(file.Size(), 0u);
        }
    }
}

TEST(FileBytes, AFailedOpenLeavesNothingOfTheFileReadBefore)
{
    TestSupport::TempDir dir;
    TestSupport::WriteFile(dir.File("a.xm"), "first");
    Platform::FileBytes file;
    ASSERT_TRUE(file.Open(dir.File("a.xm")));
    EXPECT_FALSE(file.Open(dir.File("b.xm")));
    EXPECT_EQ(file.Size(), 0u);
    ASSERT_TRUE(file.Open(dir.File("a.xm")));
    EXPECT_EQ(file.Size(), 5u);
    EXPECT_EQ(file.Error(), "");
}

// A sound or the music module cut short in place while the game holds it (a copy or an
// update over a running game): what was read stays readable, where pages of a mapped
// file past its new end would kill the process with SIGBUS.
TEST(FileBytes, AFileCutShortInPlaceAfterItWasOpenedKeepsItsBytes)
{
    TestSupport::TempDir dir;
    const std::string path = dir.File("tune.xm");
    const std::string bytes(256 << 10, 'm');
    TestSupport::WriteFile(path, bytes);
    EXPECT_EXIT(
        {
            Platform::FileBytes file;
            if (!file.Open(path))
                std::_Exit(2);
            if (truncate(path.c_str(), 0) != 0)
                std::_Exit(3);
            unsigned sum = 0;
            for (size_t i = 0; i < file.Size(); ++i)
                sum += file.Data()[i];
            std::_Exit(file.Size() == bytes.size() && sum == 'm' * bytes.size() ? 0 : 4);
        },
        testing::ExitedWithCode(0), "");
}
