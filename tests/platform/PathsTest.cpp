#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/Paths.h"
#include "tests/support/TestSupport.h"

TEST(Paths, AtomicWriteReplacesWholeFileAndLeavesNoTemporary)
{
    TestSupport::TempDir dir;
    std::string file = dir.File("user.dat");
    ASSERT_TRUE(Platform::WriteFileAtomic(file, std::string("first version")));
    ASSERT_TRUE(Platform::WriteFileAtomic(file, std::string("second")));
    EXPECT_EQ(TestSupport::ReadFile(file), "second");
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(Paths, AtomicWriteIntoMissingFolderFailsAndReportsIt)
{
    TestSupport::TempDir dir;
    EXPECT_FALSE(Platform::WriteFileAtomic(dir.File("missing/user.dat"), std::string("x")));
}

TEST(Paths, UserDataFolderFollowsEnvironmentOverride)
{
    TestSupport::TempDir dir;
    std::string old = getenv("PLINDOR_HOME") ? getenv("PLINDOR_HOME") : "";
    setenv("PLINDOR_HOME", (dir.Path() + "/a/b").c_str(), 1);
    EXPECT_EQ(Platform::UserDataFolder(), dir.Path() + "/a/b");
    struct stat st{};
    EXPECT_EQ(stat((dir.Path() + "/a/b").c_str(), &st), 0);
    setenv("PLINDOR_HOME", old.c_str(), 1);
}

TEST(Paths, GamePathsBecomeSlashes)
{
    EXPECT_EQ(Platform::ToNativePath("images\\dialog.png"), "images/dialog.png");
}
