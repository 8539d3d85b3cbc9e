// The real program on a copy of its folder with one file damaged at a time: it names
// the file in its missing-or-corrupt message and ends with exit code 1 (no signal),
// leaving nothing half-written in the player's folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/util/StringUtil.h"
#include "tests/support/Program.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

void Replace(const std::string& path, const std::string& bytes)
{
    fs::remove(path);
    TestSupport::WriteFile(path, bytes);
}

// The file's first half: a level file so cut ends inside its last level.
void CutInHalf(const std::string& path)
{
    const std::string bytes = TestSupport::ReadFile(path);
    Replace(path, bytes.substr(0, bytes.size() / 2));
}

// A font descriptor cut right before its character widths, after its image map.
void CutBeforeWidths(const std::string& path)
{
    const std::string bytes = TestSupport::ReadFile(path);
    const size_t widths = bytes.find("LayerSetCharWidths");
    ASSERT_NE(widths, std::string::npos) << path;
    Replace(path, bytes.substr(0, widths));
}

struct Outcome {
    int exitCode = -1; // 128 + signal when killed by one
    std::string errors;
};

Outcome RunProgram(const std::string& folder, const std::string& home)
{
    const std::string errPath = home + "/../stderr.txt";
    TestSupport::ProgramOptions options;
    options.folder = folder;
    Outcome outcome;
    const pid_t pid = TestSupport::StartProgram({}, home, errPath, options);
    if (pid > 0)
        outcome.exitCode = TestSupport::WaitOrKill(pid, 40000);
    outcome.errors = TestSupport::ReadFile(errPath);
    return outcome;
}

// Every file of the player's folder, relative to it.
std::vector<std::string> PlayerFiles(const std::string& home)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(home))
        files.push_back(fs::relative(entry.path(), home).string());
    return files;
}

} // namespace

TEST(DamagedData, EachDamagedFileIsNamedAndEndsTheProgram)
{
    const std::string game = TestSupport::GameDir();
    if (!fs::exists(game + "/plindor") || !fs::exists(game + "/images"))
        GTEST_SKIP() << "no program folder at " << game;

    struct Case {
        const char* what;
        std::function<void(const std::string& folder)> damage;
        const char* named;
        const char* detail = nullptr; // also said, where it helps to find the fault
        const char* unsaid = nullptr;  // not said: the fault is told in one box
    };
    const Case cases[] = {
        {"truncated image",
         [](const std::string& f) {
             const std::string bytes = TestSupport::ReadFile(f + "/images/diver_idle.png");
             Replace(f + "/images/diver_idle.png", bytes.substr(0, bytes.size() / 2));
         },
         "The file: images\\diver_idle, is missing or corrupt."},
        {"missing font descriptor", [](const std::string& f) { fs::remove(f + "/data/GillSansMT10Bold.txt"); },
         "The file: \"GillSansMT10Bold.txt\", is missing or corrupt."},
        {"empty word list", [](const std::string& f) { Replace(f + "/data/waves.txt", ""); },
         "The file: \"waves.txt\", is missing or corrupt."},
        {"sound with a lying header",
         [](const std::string& f) {
             std::string bytes = TestSupport::ReadFile(f + "/sounds/bad.wav");
             // The data chunk claims far more samples than the file holds.
             bytes.replace(40, 4, std::string("\xf0\xff\xff\x7f", 4));
             Replace(f + "/sounds/bad.wav", bytes);
         },
         "The file: sounds\\bad, is missing or corrupt."},
        {"level file with a bad line",
         [](const std::string& f) {
             std::string bytes = TestSupport::ReadFile(f + "/data/easy-cfg.xml");
             bytes.insert(bytes.find("<Config>"), "<Wave Type=\"Squids\"/>\n");
             Replace(f + "/data/easy-cfg.xml", bytes);
         },
         "The file: \"easy-cfg.xml\", is missing or corrupt."},
        // Cut in half: the last level and the file's Config are left open.
        {"level file cut short", [](const std::string& f) { CutInHalf(f + "/data/normal-cfg.xml"); },
         "The file: \"normal-cfg.xml\", is missing or corrupt.", "normal-cfg.xml line "},
        {"abyss file cut short", [](const std::string& f) { CutInHalf(f + "/data/abyss.xml"); },
         "The file: \"abyss.xml\", is missing or corrupt.", "abyss.xml line "},
        // A descriptor names its file and fault itself, in the one box it shows.
        {"font descriptor with a huge line",
         [](const std::string& f) {
             const std::string bytes = TestSupport::ReadFile(f + "/data/GillSansMT10Bold.txt");
             Replace(f + "/data/GillSansMT10Bold.txt", bytes + "\nBogus " + std::string(8 << 20, 'x') + ";\n");
         },
         "Font Descriptor Error in data\\GillSansMT10Bold.txt\nUnknown Command", "... (8388614 characters)",
         "is missing or corrupt"},
        {"font descriptor cut before its widths",
         [](const std::string& f) { CutBeforeWidths(f + "/data/MyriadCondensedWeb15.txt"); },
         "Font Descriptor Error in data\\MyriadCondensedWeb15.txt\nNo Character Widths Defined", nullptr,
         "is missing or corrupt"},
        {"font descriptor of the title cut before its widths",
         [](const std::string& f) { CutBeforeWidths(f + "/data/Rockwell13.txt"); },
         "Font Descriptor Error in data\\Rockwell13.txt\nNo Character Widths Defined", nullptr,
         "is missing or corrupt"},
        {"missing title image", [](const std::string& f) { fs::remove(f + "/images/title_bar.png"); },
         "Could not load title images. images\\title_bar"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestSupport::TempDir dir("plindor-damaged");
        const std::string folder = dir.File("game");
        const std::string home = dir.File("home");
        fs::create_directories(home);
        TestSupport::LinkProgramFolder(game, folder);
        c.damage(folder);

        const Outcome outcome = RunProgram(folder, home);
        EXPECT_EQ(outcome.exitCode, 1) << Zant::TextStart(outcome.errors, 4000);
        EXPECT_NE(outcome.errors.find(c.named), std::string::npos) << Zant::TextStart(outcome.errors, 4000);
        if (c.detail != nullptr) {
            EXPECT_NE(outcome.errors.find(c.detail), std::string::npos) << Zant::TextStart(outcome.errors, 4000);
        }
        if (c.unsaid != nullptr) {
            EXPECT_EQ(outcome.errors.find(c.unsaid), std::string::npos) << Zant::TextStart(outcome.errors, 4000);
        }
        // A line of the damaged file is quoted by its start only.
        EXPECT_LT(outcome.errors.size(), 64u << 10) << Zant::TextStart(outcome.errors, 4000);
        EXPECT_EQ(outcome.errors.find("Sanitizer"), std::string::npos) << Zant::TextStart(outcome.errors, 4000);
        for (const std::string& file : PlayerFiles(home)) {
            EXPECT_EQ(file.find(".tmp"), std::string::npos) << file;
            EXPECT_FALSE(fs::path(file).filename().string().starts_with(".")) << file;
        }
    }
}
