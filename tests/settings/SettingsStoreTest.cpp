#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/SettingsStore.h"
#include "tests/support/TestSupport.h"

using Platform::SettingsStore;
using TestSupport::TempDir;

namespace {

std::string Get(SettingsStore& store, const std::string& key, const std::string& name, int* type = nullptr)
{
    int t = 0;
    std::string data;
    if (!store.GetValue(key, name, t, data))
        return "<missing>";
    if (type)
        *type = t;
    return data;
}

std::vector<std::string> List(SettingsStore& store, const std::string& key)
{
    std::vector<std::string> names;
    if (!store.ListSubKeys(key, names))
        return {"<missing>"};
    return names;
}

TEST(SettingsStore, KeysAndValues)
{
    SettingsStore store;
    ASSERT_TRUE(store.SetString("SOFTWARE\\Vorlix\\Plindor\\Users\\Bob", "Score", "12"));
    EXPECT_TRUE(store.KeyExists("software\\VORLIX\\plindor\\users"));
    EXPECT_EQ(Get(store, "Software\\Vorlix\\Plindor\\USERS\\bob", "SCORE"), "12");
    EXPECT_TRUE(store.KeyExists("\\SOFTWARE\\\\Vorlix\\")); // empty components are passed over

    // A later write with another spelling overwrites; the key keeps its first spelling.
    ASSERT_TRUE(store.SetDword("SOFTWARE\\Vorlix\\Plindor\\users\\BOB", "score", 7));
    int type = 0;
    EXPECT_EQ(Get(store, "SOFTWARE\\Vorlix\\Plindor\\Users\\Bob", "Score", &type), std::string("\x07\0\0\0", 4));
    EXPECT_EQ(type, Platform::SETTINGS_DWORD);
    EXPECT_EQ(List(store, "SOFTWARE\\Vorlix\\Plindor\\Users"), std::vector<std::string>{"Bob"});

    EXPECT_EQ(Get(store, "SOFTWARE\\Vorlix\\Plindor\\Users\\Bob", "Missing"), "<missing>");
    EXPECT_EQ(Get(store, "SOFTWARE\\Nobody", "Score"), "<missing>");
    EXPECT_EQ(List(store, "SOFTWARE\\Nobody"), std::vector<std::string>{"<missing>"});
}

TEST(SettingsStore, SubKeysAreListedInCaseInsensitiveOrder)
{
    SettingsStore store;
    for (const char* name : {"zed", "Amy", "bob", "Carl", "_x", "amy2"})
        ASSERT_TRUE(store.CreateKey(std::string("Users\\") + name));
    EXPECT_EQ(List(store, "Users"), (std::vector<std::string>{"_x", "Amy", "amy2", "bob", "Carl", "zed"}));
    EXPECT_EQ(List(store, ""), std::vector<std::string>{"Users"});
}

TEST(SettingsStore, Deleting)
{
    SettingsStore store;
    ASSERT_TRUE(store.SetString("A\\B\\C", "v", "1"));
    ASSERT_TRUE(store.SetString("A\\B", "w", "2"));
    EXPECT_FALSE(store.DeleteKey("A\\B")); // it has a sub-key
    EXPECT_FALSE(store.DeleteKey(""));    // the root stays
    EXPECT_FALSE(store.DeleteKey("A\\Nope"));
    EXPECT_TRUE(store.DeleteKey("a\\b\\c")); // values go with their key
    EXPECT_FALSE(store.KeyExists("A\\B\\C"));
    EXPECT_TRUE(store.DeleteKey("A\\B"));

    ASSERT_TRUE(store.SetString("K", "One", "1"));
    EXPECT_TRUE(store.DeleteValue("K", "ONE"));
    EXPECT_FALSE(store.DeleteValue("K", "ONE"));
    EXPECT_TRUE(store.KeyExists("K"));
}

TEST(SettingsStore, SurvivesARestartWithEveryKindOfName)
{
    TempDir dir;
    const std::string path = dir.File("settings.txt");
    // Key names cannot hold the separator; value names and texts can.
    const std::string oddKey = "tab\there\nnew % # \xE9\x01";
    const std::string odd = oddKey + "\\";
    const std::string binary("\x00\xFF\t\n%#", 6);
    {
        SettingsStore store(path);
        ASSERT_TRUE(store.SetString("SOFTWARE\\Vorlix\\Plindor", "MusicVolume text", "85"));
        ASSERT_TRUE(store.SetDword("SOFTWARE\\Vorlix\\Plindor", "MusicVolume", 85));
        ASSERT_TRUE(store.SetDword("SOFTWARE\\Vorlix\\Plindor", "Negative", 0xFFFFFFFFu));
        ASSERT_TRUE(store.SetString("SOFTWARE\\Vorlix\\Plindor\\Users\\" + oddKey, odd, odd));
        ASSERT_TRUE(store.SetValue("SOFTWARE\\Vorlix\\Plindor\\Test3D", "DisplayGUID", Platform::SETTINGS_BINARY,
                                   reinterpret_cast<const uint8_t*>(binary.data()), binary.size()));
        ASSERT_TRUE(store.SetValue("T", "Odd type", 7, reinterpret_cast<const uint8_t*>("ab"), 2));
        ASSERT_TRUE(store.SetValue("T", "Short dword", Platform::SETTINGS_DWORD,
                                   reinterpret_cast<const uint8_t*>("ab"), 2));
        ASSERT_TRUE(store.SetString("T", "", "default value"));
        ASSERT_TRUE(store.CreateKey("SOFTWARE\\Vorlix\\Plindor\\Users\\Empty"));
        ASSERT_TRUE(store.SetString("", "AtRoot", "r"));
    }
    SettingsStore store(path);
    int type = 0;
    EXPECT_EQ(Get(store, "SOFTWARE\\Vorlix\\Plindor", "MusicVolume text", &type), "85");
    EXPECT_EQ(type, Platform::SETTINGS_SZ);
    EXPECT_EQ(Get(store, "SOFTWARE\\Vorlix\\Plindor", "MusicVolume"), std::string("\x55\0\0\0", 4));
    EXPECT_EQ(Get(store, "SOFTWARE\\Vorlix\\Plindor", "Negative"), std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_EQ(Get(store, "SOFTWARE\\Vorlix\\Plindor\\Users\\" + oddKey, odd), odd);
    EXPECT_EQ(Get(store, "SOFTWARE\\Vorlix\\Plindor\\Test3D", "DisplayGUID", &type), binary);
    EXPECT_EQ(type, Platform::SETTINGS_BINARY);
    EXPECT_EQ(Get(store, "T", "Odd type", &type), "ab");
    EXPECT_EQ(type, 7);
    EXPECT_EQ(Get(store, "T", "Short dword", &type), "ab");
    EXPECT_EQ(type, Platform::SETTINGS_DWORD);
    EXPECT_EQ(Get(store, "T", ""), "default value");
    EXPECT_EQ(Get(store, "", "AtRoot"), "r");
    EXPECT_EQ(List(store, "SOFTWARE\\Vorlix\\Plindor\\Users"), (std::vector<std::string>{"Empty", oddKey}));

    // The file is text a person can read: one value a line.
    const std::string text = TestSupport::ReadFile(path);
    EXPECT_NE(text.find("SOFTWARE\\Vorlix\\Plindor\tMusicVolume\tdword\t85\n"), std::string::npos) << text;
    EXPECT_NE(text.find("SOFTWARE\\Vorlix\\Plindor\\Users\\Empty\n"), std::string::npos) << text;
}

// Runs check where the settings folder cannot be written. Root may write anywhere, so
// it runs in a child process that gives up root first.
bool RunWithoutWriteAccess(const std::string& folder, const std::function<bool()>& check)
{
    chmod(folder.c_str(), 0555);
    if (geteuid() != 0) {
        const bool ok = check();
        chmod(folder.c_str(), 0755);
        return ok;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    chmod(folder.c_str(), 0755);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SettingsStore, FailedWriteKeepsTheOldFileAndContents)
{
    TempDir dir;
    const std::string folder = dir.File("home");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    chmod(dir.Path().c_str(), 0755); // the unprivileged child must reach the folder
    const std::string path = folder + "/settings.txt";
    {
        SettingsStore store(path);
        ASSERT_TRUE(store.SetDword("K", "Volume", 40));
    }
    const std::string before = TestSupport::ReadFile(path);

    const bool ok = RunWithoutWriteAccess(folder, [&] {
        SettingsStore store(path);
        // Reading needs no write access; every change reports failure and is not kept.
        const bool readable = Get(store, "K", "Volume") == std::string("\x28\0\0\0", 4);
        const bool writeFailed = !store.SetDword("K", "Volume", 99) && !store.CreateKey("New") &&
                                 !store.DeleteValue("K", "Volume") && !store.CanWrite();
        const bool unchanged = Get(store, "K", "Volume") == std::string("\x28\0\0\0", 4) && !store.KeyExists("New");
        return readable && writeFailed && unchanged;
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(TestSupport::ReadFile(path), before);
}

TEST(SettingsStore, FailingWritesInMemory)
{
    SettingsStore store;
    ASSERT_TRUE(store.SetString("K", "a", "old"));
    EXPECT_TRUE(store.CanWrite());
    store.SetFailWrites(true);
    EXPECT_FALSE(store.CanWrite());
    EXPECT_FALSE(store.SetString("K", "a", "new"));
    EXPECT_FALSE(store.DeleteKey("K"));
    EXPECT_EQ(Get(store, "K", "a"), "old");
}

// Lines, names and values longer than any the program writes are passed over with one
// log line, and the store does not make them either: kept, each would ride along in
// every later write of the file.
TEST(SettingsStore, OverlongLinesNamesAndValuesArePassedOver)
{
    const std::string longName(SettingsStore::MAX_NAME_BYTES + 1, 'n');
    const std::string longData(SettingsStore::MAX_DATA_BYTES + 1, '7');
    std::string longPath;
    while (longPath.size() <= SettingsStore::MAX_PATH_BYTES)
        longPath += "Key\\";
    struct Case {
        const char* what;
        std::string line;
    };
    const Case cases[] = {
        {"a line of 15 MB", std::string(15u << 20, 'x')},
        {"a long key name", "K\\" + longName},
        {"a long key path", longPath},
        {"a long value name", "K\t" + longName + "\tsz\tv"},
        {"a long value", "K\tName\tsz\t" + longData},
        {"a long binary value", "K\tName\tbinary\t" + std::string(2 * longData.size(), 'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = dir.File("settings.txt");
        TestSupport::WriteFile(file, "Good\tA\tsz\tone\n" + c.line + "\nGood\tB\tsz\ttwo\n");
        testing::internal::CaptureStderr();
        SettingsStore store(file);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "SettingsStore: 1 unreadable line(s) in " + file + " passed over\n");
        EXPECT_EQ(Get(store, "Good", "A"), "one");
        EXPECT_EQ(Get(store, "Good", "B"), "two");
        std::vector<std::string> root;
        ASSERT_TRUE(store.ListSubKeys("", root));
        EXPECT_EQ(root, std::vector<std::string>{"Good"});
        ASSERT_TRUE(store.SetString("Good", "C", "three"));
        EXPECT_LT(TestSupport::ReadFile(file).size(), 1000u);
    }

    SettingsStore store;
    EXPECT_FALSE(store.CreateKey("K\\" + longName));
    EXPECT_FALSE(store.CreateKey(longPath));
    EXPECT_FALSE(store.SetString("K", longName, "v"));
    EXPECT_FALSE(store.SetString("K", "Name", longData));
    EXPECT_FALSE(store.KeyExists("K"));
    EXPECT_TRUE(store.SetString("K", std::string(SettingsStore::MAX_NAME_BYTES, 'n'),
                                std::string(SettingsStore::MAX_DATA_BYTES, '7')));
}

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's run-time calls these on every allocation and release.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                          void (*onFree)(const volatile void*));

namespace {
std::atomic<bool> gWatching{false};
std::atomic<size_t> gLargestBlock{0};
void NoteBlock(const volatile void*, size_t size)
{
    if (gWatching && size > gLargestBlock)
        gLargestBlock = size;
}
void NoteFree(const volatile void*) {}
} // namespace

// A store file grown large (a runaway writer, a damaged disk), yet under the size the
// store reads at all, is read a piece at a time: no block larger than a few lines is
// ever taken for it, lines that straddle the pieces are read whole, and the overlong
// ones are passed over.
TEST(SettingsStore, AHugeFileIsReadWithoutHoldingIt)
{
    TempDir dir;
    const std::string file = dir.File("settings.txt");
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "Key\tBefore" + std::to_string(i) + "\tsz\t" + std::string(1000 + i * 37, 'a') + "\n";
        text += std::string(300u << 10, 'x') + "\n";
    }
    text += "Key\tLast\tdword\t7"; // no final line break
    TestSupport::WriteFile(file, text);

    static const bool installed = __sanitizer_install_malloc_and_free_hooks(NoteBlock, NoteFree) != 0;
    ASSERT_TRUE(installed);
    gLargestBlock = 0;
    gWatching = true;
    testing::internal::CaptureStderr();
    SettingsStore store(file);
    gWatching = false;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "SettingsStore: 40 unreadable line(s) in " + file + " passed over\n");
    EXPECT_LT(gLargestBlock.load(), 1u << 20) << "a block of " << gLargestBlock << " bytes for a "
                                              << text.size() << "-byte file";
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(Get(store, "Key", "Before" + std::to_string(i)), std::string(1000 + i * 37, 'a')) << i;
    EXPECT_EQ(Get(store, "Key", "Last"), std::string("\x07\0\0\0", 4));
}
#endif

// A batch's changes reach the file in one write at the outermost end; when that write
// fails every one of them is undone.
TEST(SettingsStore, ABatchIsWrittenOnceOrUndoneWhole)
{
    TempDir dir;
    const std::string file = dir.File("settings.txt");
    SettingsStore store(file);
    ASSERT_TRUE(store.SetString("K", "a", "old"));
    const std::string before = TestSupport::ReadFile(file);

    store.BeginBatch();
    store.BeginBatch();
    EXPECT_TRUE(store.SetString("K", "a", "new"));
    EXPECT_TRUE(store.SetString("K", "b", "added"));
    EXPECT_TRUE(store.EndBatch());
    EXPECT_TRUE(store.DeleteValue("K", "b"));
    EXPECT_TRUE(store.SetString("L", "c", "more"));
    EXPECT_EQ(Get(store, "K", "a"), "new");
    EXPECT_EQ(TestSupport::ReadFile(file), before) << "nothing is written before the outermost end";
    store.SetWritesLeft(1);
    EXPECT_TRUE(store.EndBatch());
    {
        SettingsStore reread(file);
        EXPECT_EQ(Get(reread, "L", "c"), "more");
        EXPECT_EQ(Get(reread, "K", "b"), "<missing>");
    }

    // The write fails: the contents go back to where the batch began.
    const std::string written = TestSupport::ReadFile(file);
    store.BeginBatch();
    EXPECT_TRUE(store.SetString("K", "a", "lost"));
    EXPECT_TRUE(store.CreateKey("M"));
    EXPECT_FALSE(store.EndBatch());
    EXPECT_EQ(Get(store, "K", "a"), "new");
    EXPECT_FALSE(store.KeyExists("M"));
    EXPECT_EQ(TestSupport::ReadFile(file), written);
}

TEST(SettingsStore, DamagedLinesArePassedOver)
{
    SettingsStore store;
    const std::string text = "# comment\r\n"
                             "Good\tA\tsz\tone\r\n"
                             "Good\tB\tdword\t4294967296\n" // too large
                             "Good\tC\tdword\t-1\n"
                             "Good\tD\tbinary\tabc\n"     // odd hex
                             "Good\tE\tsz\tbad%zzescape\n"
                             "Good\tF\tmystery\t00\n"
                             "Good\tG\tsz\n"              // three fields
                             "Good\tH\ttype9\t0aFF\n"
                             "Good\tI\tdword\t4294967295\n"
                             "Good\tJ\tsz\ttrailing%4\n"
                             "\n"
                             "Other\\Empty";              // no final line break
    EXPECT_EQ(store.Parse(text), 7);
    std::vector<std::string> names;
    ASSERT_TRUE(store.ListValues("Good", names));
    EXPECT_EQ(names, (std::vector<std::string>{"A", "H", "I"}));
    EXPECT_EQ(Get(store, "Good", "A"), "one");
    int type = 0;
    EXPECT_EQ(Get(store, "Good", "H", &type), "\x0a\xff");
    EXPECT_EQ(type, 9);
    EXPECT_TRUE(store.KeyExists("Other\\Empty"));
}

} // namespace

// A save killed half-way leaves "settings.txt.tmp-<pid>"; opening the store clears
// those of dead processes and keeps a live writer's file and unrelated names.
TEST(SettingsStore, OpeningRemovesTemporariesOfDeadProcessesOnly)
{
    TempDir dir;
    const std::string file = dir.File("settings.txt");
    TestSupport::WriteFile(file, "Software\tName\tsz\tkept\n");

    const int dead = TestSupport::DeadProcessId();

    const std::string deadTemp = file + ".tmp-" + std::to_string(dead);
    const std::string liveTemp = file + ".tmp-" + std::to_string(getppid());
    const std::string ownTemp = file + ".tmp-" + std::to_string(getpid());
    const std::string otherName = dir.File("settings.txt.tmp-12x");
    const std::string otherFile = dir.File("users.dat.tmp-" + std::to_string(dead));
    for (const std::string& p : {deadTemp, liveTemp, ownTemp, otherName, otherFile})
        TestSupport::WriteFile(p, "partial");

    SettingsStore store(file);
    EXPECT_EQ(Get(store, "Software", "Name"), "kept");
    struct stat st{};
    EXPECT_NE(stat(deadTemp.c_str(), &st), 0) << "a dead writer's temporary is removed";
    for (const std::string& p : {liveTemp, ownTemp, otherName, otherFile})
        EXPECT_EQ(stat(p.c_str(), &st), 0) << p << " is kept";
}

TEST(SettingsStore, TheTemporaryFileIsMadeAfreshNeverThroughALink)
{
    TempDir dir;
    const std::string path = dir.File("settings.txt");
    const std::string victim = dir.File("victim.txt");
    TestSupport::WriteFile(victim, "someone else's");
    // The name of this process's temporary file, taken by a link before the write.
    const std::string temp = path + ".tmp-" + std::to_string(getpid());
    ASSERT_EQ(symlink(victim.c_str(), temp.c_str()), 0);

    SettingsStore store(path);
    ASSERT_TRUE(store.SetString("K", "Name", "Ann"));
    EXPECT_EQ(TestSupport::ReadFile(victim), "someone else's");
    struct stat st{};
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode)) << "the store became a link";
    EXPECT_EQ(lstat(temp.c_str(), &st), -1);
    SettingsStore reread(path);
    EXPECT_EQ(Get(reread, "K", "Name"), "Ann");
}

// A refused file is moved aside by the first write; when that write fails all the
// same (a full disk), it goes back in its place, so that the next start finds it and
// the player hears of it, and the next write that succeeds moves it again.
TEST(SettingsStore, ARefusedFileGoesBackWhenTheWriteAfterItsMoveFails)
{
    TempDir dir;
    const std::string file = dir.File("settings.txt");
    const std::string zeros(600, '\0');
    TestSupport::WriteFile(file, zeros);
    SettingsStore store(file);
    EXPECT_EQ(store.GetFileState(), SettingsStore::FileState::Damaged);
    // The temporary file's name taken by a folder that holds something: the write
    // cannot be made.
    const std::string temp = file + ".tmp-" + std::to_string(getpid());
    ASSERT_EQ(mkdir(temp.c_str(), 0700), 0);
    TestSupport::WriteFile(temp + "/in", "x");
    EXPECT_FALSE(store.SetString("K", "a", "1"));
    EXPECT_EQ(TestSupport::ReadFile(file), zeros);
    struct stat st{};
    EXPECT_NE(lstat((file + ".bad").c_str(), &st), 0);
    SettingsStore::RefusedFile refused;
    EXPECT_FALSE(store.TakeRefusedFile(refused));

    std::filesystem::remove_all(temp);
    ASSERT_TRUE(store.SetString("K", "a", "1"));
    EXPECT_EQ(TestSupport::ReadFile(file + ".bad"), zeros);
    ASSERT_TRUE(store.TakeRefusedFile(refused));
    EXPECT_EQ(refused.path, file);
    EXPECT_EQ(refused.asidePath, file + ".bad");
    EXPECT_FALSE(store.TakeRefusedFile(refused)) << "told once";
    SettingsStore reread(file);
    EXPECT_EQ(reread.GetFileState(), SettingsStore::FileState::Read);
    EXPECT_EQ(Get(reread, "K", "a"), "1");
}

// A file without the store's header line (made by hand, or by a program before the
// end line) needs no end line: one cut between lines cannot be told and is read.
TEST(SettingsStore, AFileWithoutTheHeaderNeedsNoEndLine)
{
    TempDir dir;
    const std::string file = dir.File("settings.txt");
    TestSupport::WriteFile(file, "# Plindor settings: key path, value name, type, value (tab-separated)\n"
                                 "K\ta\tsz\tone\n"
                                 "K\tb\tdword\t2");
    SettingsStore store(file);
    EXPECT_EQ(store.GetFileState(), SettingsStore::FileState::Read);
    EXPECT_EQ(Get(store, "K", "b"), std::string("\x02\0\0\0", 4));
    ASSERT_TRUE(store.SetString("K", "c", "three"));
    struct stat st{};
    EXPECT_NE(lstat((file + ".bad").c_str(), &st), 0);
    const std::string written = TestSupport::ReadFile(file);
    EXPECT_EQ(written.substr(0, written.find('\n')), SettingsStore::HEADER_LINE);
    EXPECT_EQ(written.substr(written.size() - 6), std::string(SettingsStore::END_LINE) + "\n");
}
