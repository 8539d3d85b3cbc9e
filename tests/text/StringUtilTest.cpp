#include "framework/util/StringUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <set>

#include "platform/Directories.h"
#include "tests/support/TestSupport.h"

using namespace Zant;
namespace fs = std::filesystem;

TEST(FormatString, LongExpansionsComeBackWhole)
{
    for (size_t n : {0u, 159u, 160u, 161u, 1000u, 2000000u}) {
        std::string filler(n, 'x');
        std::string result = FormatString("<%s|%d>", filler.c_str(), 42);
        EXPECT_EQ(result, "<" + filler + "|42>") << n;
    }
}

TEST(FormatString, Thousands)
{
    const std::pair<int, const char*> cases[] = {
        {0, "0"},          {999, "999"},     {1000, "1,000"},   {1234567, "1,234,567"},
        {-1234, "-1,234"}, {-999, "-999"},   {INT_MAX, "2,147,483,647"},
        {INT_MIN, "-2,147,483,648"},
    };
    for (auto [n, text] : cases)
        EXPECT_EQ(FormatThousands(n), text) << n;
}

TEST(StringCase, ConversionSearchAndTrim)
{
    EXPECT_EQ(ToUpperCopy("abc\xe9z1"), "ABC\xe9Z1");
    EXPECT_EQ(ToLowerCopy("MiXeD"), "mixed");
    EXPECT_EQ(TrimCopy(" \t a b \r\n"), "a b");
    EXPECT_EQ(TrimCopy(" \n"), "");
    EXPECT_EQ(FindNoCase("Hello World", "WORLD"), 6);
    EXPECT_EQ(FindNoCase("Hello", "xyz"), -1);
    EXPECT_EQ(FindNoCase("Hello", ""), 0);
    EXPECT_EQ(FindNoCase("", ""), -1);
    EXPECT_EQ(FindNoCase("ab", "abc"), -1);
}

TEST(PathParts, TakeTheLaterSeparator)
{
    struct Case {
        const char* path;
        const char* file;
        const char* dir;
    } cases[] = {
        {"a/b\\c", "c", "a/b"},
        {"a\\b/c", "c", "a\\b"},
        {"f.txt", "f.txt", ""},
        {"data\\", "", "data"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathFilePart(c.path), c.file) << c.path;
        EXPECT_EQ(PathDirPart(c.path), c.dir) << c.path;
    }
    EXPECT_EQ(RemoveTrailingSlash("a\\\\"), "a\\");
    EXPECT_EQ(RemoveTrailingSlash("a/"), "a");
    EXPECT_EQ(RemoveTrailingSlash(""), "");
}

TEST(LeadingInt, ReadsTheStartAsAtoiDoesWithinTheCallersRange)
{
    struct Case {
        const char* text;
        long long low, high;
        bool signedText;
        int value;
    } cases[] = {
        {"42", INT_MIN, INT_MAX, true, 42},
        {"  \t-17 apples", INT_MIN, INT_MAX, true, -17},
        {"+8x", INT_MIN, INT_MAX, true, 8},
        {"", INT_MIN, INT_MAX, true, 0},
        {"-", INT_MIN, INT_MAX, true, 0},
        {"x12", INT_MIN, INT_MAX, true, 0},
        {"\n5", INT_MIN, INT_MAX, true, 0}, // only spaces and tabs are blanks
        {"- 5", INT_MIN, INT_MAX, true, 0},
        {"2147483647", INT_MIN, INT_MAX, true, INT_MAX},
        {"2147483648", INT_MIN, INT_MAX, true, INT_MAX},
        {"-2147483648", INT_MIN, INT_MAX, true, INT_MIN},
        {"-99999999999999999999999999", INT_MIN, INT_MAX, true, INT_MIN},
        {"99999999999999999999999999", INT_MIN, INT_MAX, true, INT_MAX},
        // The data files' range.
        {"2000000001", -2000000000, 2000000000, true, 2000000000},
        {"-2100000000", -2000000000, 2000000000, true, -2000000000},
        {"1999999999", -2000000000, 2000000000, true, 1999999999},
        // Unsigned text: no blanks nor sign are read.
        {"640x480", 0, 1000000000, false, 640},
        {" 5", 0, 1000000000, false, 0},
        {"-5", 0, 1000000000, false, 0},
        {"+5", 0, 1000000000, false, 0},
        {"12345678901", 0, 1000000000, false, 1000000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LeadingInt(c.text, c.low, c.high, c.signedText), c.value)
            << '"' << c.text << "\" in [" << c.low << ", " << c.high << "]";
}

TEST(ResolveRelativePath, Table)
{
    struct Case {
        const char* relative;
        const char* base;
        const char* result;
    } cases[] = {
        {"..\\f.txt", "C:\\a\\b", "C:\\a\\f.txt"},
        {"D:\\x", "C:\\a", "D:\\x"},
        {"\\x\\y", "C:\\a\\b", "C:\\x\\y"},
        {"x/y", "C:\\a", "C:\\a\\x\\y"},
        {"..\\..\\x", "", "..\\..\\x"},
        {"a\\..", "b", "b\\a\\.."},
        {".\\x", "a/b", "a\\b\\x"},
        {"..\\..\\x", "..\\a", "..\\..\\x"},
        {"x", "C:", "C:x"},
        {"f.png", "data", "data/f.png"},
        {"../f.png", "game/data/", "game/f.png"},
        // A parent reference at the root stays at the root.
        {"..\\x", "C:\\", "C:\\x"},
        {"../x", "/", "/x"},
        {"../../x", "/a", "/x"},
        // Empty inner components are no-ops, as the file system reads them.
        {"a\\\\b", "C:\\base", "C:\\base\\a\\b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveRelativePath(c.relative, c.base), c.result) << c.relative << " | " << c.base;
}

namespace {

// Real operations, except that removing any path ending in one chosen name fails.
class FailingOps : public Platform::DirectoryOps {
public:
    explicit FailingOps(std::string name) : mName(std::move(name)) {}
    bool RemoveFile(const std::string& path) override
    {
        return !EndsWith(path) && Platform::DirectoryOps::RemoveFile(path);
    }
    bool RemoveDirectory(const std::string& path) override
    {
        return !EndsWith(path) && Platform::DirectoryOps::RemoveDirectory(path);
    }

private:
    bool EndsWith(const std::string& path) const
    {
        return path.size() >= mName.size() && path.compare(path.size() - mName.size(), mName.size(), mName) == 0;
    }
    std::string mName;
};

struct OpsGuard {
    explicit OpsGuard(Platform::DirectoryOps* ops) { Platform::SetDirectoryOps(ops); }
    ~OpsGuard() { Platform::SetDirectoryOps(nullptr); }
};

} // namespace

TEST(DirectoryTree, MakeAndDeleteWithoutFollowingLinks)
{
    TestSupport::TempDir tmp;
    MakeDirectories(tmp.Path() + "\\tree\\sub/deeper");
    ASSERT_TRUE(fs::is_directory(tmp.Path() + "/tree/sub/deeper"));
    TestSupport::WriteFile(tmp.File("tree/sub/noext"), "x");
    TestSupport::WriteFile(tmp.File("tree/file.txt"), "x");
    fs::create_directory(tmp.File("outside"));
    TestSupport::WriteFile(tmp.File("outside/keep.txt"), "keep");
    fs::create_directory_symlink(tmp.File("outside"), tmp.File("tree/sub/link"));

    EXPECT_TRUE(DeleteDirectoryTree(tmp.Path() + "\\tree"));
    EXPECT_FALSE(fs::exists(tmp.File("tree")));
    EXPECT_EQ(TestSupport::ReadFile(tmp.File("outside/keep.txt")), "keep");
}

TEST(DirectoryTree, OneFailureStillDeletesTheRest)
{
    TestSupport::TempDir tmp;
    MakeDirectories(tmp.Path() + "/tree/a");
    for (const char* f : {"tree/a/1", "tree/a/stuck", "tree/a/2", "tree/3"})
        TestSupport::WriteFile(tmp.File(f), "x");
    FailingOps ops("stuck");
    OpsGuard guard(&ops);
    EXPECT_FALSE(DeleteDirectoryTree(tmp.Path() + "/tree"));
    std::set<std::string> left;
    for (auto& e : fs::recursive_directory_iterator(tmp.Path()))
        left.insert(fs::relative(e.path(), tmp.Path()).string());
    EXPECT_EQ(left, (std::set<std::string>{"tree", "tree/a", "tree/a/stuck"}));
}

TEST(DirectoryTree, ShortOrUnlistablePathsAreLeftAlone)
{
    EXPECT_TRUE(DeleteDirectoryTree(""));
    EXPECT_TRUE(DeleteDirectoryTree("a"));
    TestSupport::TempDir tmp;
    EXPECT_TRUE(DeleteDirectoryTree(tmp.File("missing")));
    TestSupport::WriteFile(tmp.File("plain"), "x");
    EXPECT_TRUE(DeleteDirectoryTree(tmp.File("plain")));
    EXPECT_TRUE(fs::exists(tmp.File("plain")));
}
