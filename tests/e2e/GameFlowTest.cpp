// The whole game driven from outside, in a real window on a private X server, with
// real key presses and clicks: a new player, an Easy adventure, level 1 finished by
// typing the words on screen, a site picked on the map, the game ended (saved), the
// typing tutor's lesson 1 typed to its end with a look at its statistics, and the
// program left; then a new start that continues the saved game, loses every
// diver by not typing, sees game over and goes back to the menu. Both runs are
// recorded as demos, and each demo replays to the same end, update for update.
//
// The program tells what it shows through its test probe; the updates run ten
// times as fast as a player's (the game counts updates, so only the clock
// differs). SDL draws in software here: Mesa's GL driver keeps blocks past its
// unloading, which the leak check of the sanitised build cannot tell from ours.
#include <gtest/gtest.h>

#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "game/shell/DifficultyDialog.h"
#include "game/shell/GameOverDialog.h"
#include "game/shell/HintDialog.h"
#include "game/shell/NewUserDialog.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/support/Contrast.h"
#include "tests/support/ReferencePicture.h"
#include "tests/support/Program.h"
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

namespace {

using E2E::ProbeView;
using E2E::ProgramRun;

constexpr int LEVEL_COMPLETE = Zant::Player::LEVEL_COMPLETE;
constexpr int GAME_OVER = Zant::Player::GAME_OVER;
constexpr int NEW_USER = Zant::NewUserDialog::DIALOG_ID;
constexpr int DIFFICULTY = Zant::DifficultyDialog::DIALOG_ID;
constexpr int HINT = Zant::HintDialog::ID;
constexpr int GAME_OVER_DIALOG = Zant::GameOverDialog::DIALOG_ID;
constexpr int END_GAME = Zant::StatusBar::BUTTON_QUIT;
// The game's message box and the menu's buttons.
constexpr int MESSAGE = 500;
constexpr int ADVENTURE = 100;
constexpr int TUTOR = 102;
constexpr int QUIT = 104;
// The tutor's Next and Back To Menu, and the statistics screen's Close.
constexpr int TUTOR_NEXT = 88;
constexpr int TUTOR_MENU = 90;
constexpr int STATS_CLOSE = 1104;
constexpr int TUTOR_TAB = 2;

const std::vector<std::string> PROGRAM_VARIABLES = {
    "PLINDOR_HOME",       "PLINDOR_HEADLESS",        "PLINDOR_TEST_PROBE",          "PLINDOR_TEST_SPEED",
    "SDL_VIDEODRIVER",    "SDL_AUDIODRIVER",         "SDL_RENDER_DRIVER",           "SDL_FRAMEBUFFER_ACCELERATION",
    "DISPLAY",            "WAYLAND_DISPLAY"};

std::string Dialog(int id) { return "dialog " + std::to_string(id); }

// One recorded run in a window: the program, its probe and the player's hands.
class WindowRun {
public:
    WindowRun(const std::string& display, const std::string& home, const std::string& name)
        : probe(home + "/../" + name + ".probe"), input(display), demo(home + "/../" + name + ".dmo"),
          program(TestSupport::GameDir() + "/plindor", {"-record", "-demofile=" + demo},
                  TestSupport::Environment(PROGRAM_VARIABLES,
                                   {"DISPLAY=" + display, "PLINDOR_HOME=" + home, "PLINDOR_HEADLESS=1",
                                    "PLINDOR_TEST_PROBE=" + home + "/../" + name + ".probe", "PLINDOR_TEST_SPEED=10",
                                    "SDL_AUDIODRIVER=dummy", "SDL_RENDER_DRIVER=software",
                                    "SDL_FRAMEBUFFER_ACCELERATION=0"}),
                  home + "/../" + name + ".err")
    {
    }

    // Waits up to timeoutMs for done(); a failure names what was awaited.
    [[nodiscard]] ::testing::AssertionResult Await(const char* what, int timeoutMs, const std::function<bool()>& done)
    {
        if (E2E::WaitFor(probe, program, timeoutMs, done))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "waited in vain for " << what << "\nprobe:\n"
                                             << probe.Tail(25) << "\nstderr:\n"
                                             << program.Err();
    }
    [[nodiscard]] ::testing::AssertionResult AwaitDialog(int id, const std::string& header, int timeoutMs = 15000)
    {
        return Await(header.c_str(), timeoutMs, [&] { return probe.DialogHeader(id) == header; });
    }
    // Clicks a rectangle the probe reports: a screen button by its command id, or a
    // dialog's "yes", "no" or difficulty button.
    [[nodiscard]] ::testing::AssertionResult Click(const std::string& key, const std::string& name)
    {
        int x = 0, y = 0;
        if (!probe.Centre(key, name, x, y))
            return ::testing::AssertionFailure() << "no " << name << " in " << key << ": " << probe.Get(key);
        if (!input.Click(x, y))
            return ::testing::AssertionFailure() << "xdotool could not click " << name;
        return ::testing::AssertionSuccess();
    }
    // Closes a level hint or an open message the way a player does, and waits for it
    // to go; true when one was open.
    bool DismissHintOrMessage()
    {
        for (int id : {HINT, MESSAGE}) {
            if (!probe.Has(Dialog(id)))
                continue;
            if (id == HINT ? !Click(Dialog(id), "yes") : !input.Key("Escape"))
                return false;
            (void)Await("the dialog closed", 5000, [&] { return !probe.Has(Dialog(id)); });
            return true;
        }
        return false;
    }
    // Presses space and waits for the screen to change (a second press would reach
    // the next screen: a level paused, or the map left before a choice).
    bool PressSpaceFor(const std::string& screen)
    {
        if (!input.Key("space"))
            return false;
        return static_cast<bool>(Await(screen.c_str(), 5000, [&] { return probe.Get("screen") == screen; }));
    }
    // Leaves from the menu through its quit button and the question; the exit code.
    int QuitFromMenu()
    {
        if (!Click("buttons", std::to_string(QUIT)) || !AwaitDialog(MESSAGE, "LEAVING?") ||
            !Click(Dialog(MESSAGE), "yes"))
            return -2;
        return program.WaitExit(30000);
    }
    int Board(const char* field) const { return probe.Number("board", field); }

    ProbeView probe;
    E2E::XInput input;
    std::string demo;
    ProgramRun program;
};

// Types the word nearest the diver (the rest of it, when it is begun); true when
// one was typed. Waits a moment for the game to take the letters, so that the same
// word is not typed twice.
bool TypeNearestWord(WindowRun& run)
{
    const std::string words = run.probe.Get("words");
    const size_t slash = words.find('/');
    if (slash == std::string::npos)
        return false;
    const std::string word = words.substr(0, slash);
    const size_t typed = static_cast<size_t>(std::atoi(words.c_str() + slash + 1));
    if (typed >= word.size())
        return false;
    std::string rest = word.substr(typed);
    for (char& c : rest)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!run.input.Type(rest))
        return false;
    (void)run.Await("the word taken", 2000, [&] { return run.probe.Get("words") != words; });
    return true;
}

// Headless playback of a recorded run's demo at full speed, in a copy of the
// player's folder as it was when the run began: what its probe reported, beside
// what the recording's probe reported.
struct Replay {
    std::string name;
    int code = -1;
    std::string probe;
    std::string recorded;
    std::string err;

    static Replay Of(const TestSupport::TempDir& dir, const std::string& name)
    {
        const std::string probePath = dir.File("replay" + name + ".probe");
        ProgramRun player(TestSupport::GameDir() + "/plindor", {"-play", "-demofile=" + dir.File("run" + name + ".dmo")},
                          TestSupport::Environment(PROGRAM_VARIABLES,
                                           {"PLINDOR_HOME=" + dir.File("home-before-" + name), "PLINDOR_HEADLESS=1",
                                            "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy",
                                            "PLINDOR_TEST_PROBE=" + probePath, "PLINDOR_TEST_SPEED=100"}),
                          dir.File("replay" + name + ".err"));
        Replay replay;
        replay.name = name;
        replay.code = player.WaitExit(120000);
        replay.probe = TestSupport::ReadFile(probePath);
        replay.recorded = TestSupport::ReadFile(dir.File("run" + name + ".probe"));
        replay.err = player.Err();
        return replay;
    }
};

// A failed test leaves the runs' probes, logs and demos in the build folder for a
// person to read.
struct LogKeeper {
    const TestSupport::TempDir& dir;
    ~LogKeeper()
    {
        const char* build = std::getenv("PLINDOR_BINARY_DIR");
        if (!::testing::Test::HasFailure() || build == nullptr)
            return;
        const std::filesystem::path kept = std::filesystem::path(build) / "e2e-gameflow";
        std::error_code error;
        std::filesystem::create_directories(kept, error);
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path(), error))
            if (entry.is_regular_file())
                std::filesystem::copy_file(entry.path(), kept / entry.path().filename(),
                                           std::filesystem::copy_options::overwrite_existing, error);
        std::printf("The runs' probes, logs and demos are kept in %s\n", kept.c_str());
    }
};

// The lines of a shipped lesson, one after the other, as the tutor takes them.
std::string LessonText(int lesson)
{
    const std::string file = TestSupport::ReadFile(TestSupport::GameDir() + "/data/lesson" + std::to_string(lesson) + ".xml");
    std::string text;
    for (size_t at = file.find("<TEXT>"); at != std::string::npos; at = file.find("<TEXT>", at)) {
        at += 6;
        text += file.substr(at, file.find("</TEXT>", at) - at);
    }
    return text;
}

// The window as the player sees it, kept in the build folder for a look.
ImageLib::Image Screenshot(WindowRun& run, const std::string& name)
{
    ImageLib::Image shot;
    EXPECT_TRUE(run.input.Grab(shot)) << name;
    if (shot.GetWidth() > 0)
        std::printf("screenshot: %s\n", TestSupport::SaveShot(shot, "e2e", name).c_str());
    return shot;
}

void CopyFolder(const std::string& from, const std::string& to)
{
    std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
}

} // namespace

TEST(GameFlow, FromANewPlayerToGameOverInAContinuedGameAndTheDemosReplay)
{
    for (const char* tool : {"Xvfb", "xdotool"})
        if (!E2E::OnPath(tool))
            GTEST_SKIP() << tool << " is not installed";
    TestSupport::XvfbServer x;
    if (!x.Start())
        GTEST_SKIP() << "Xvfb did not start";
    TestSupport::TempDir dir("plindor-flow-e2e");
    const LogKeeper keeper{dir};
    const std::string home = dir.File("home");
    std::filesystem::create_directories(home);
    CopyFolder(home, dir.File("home-before-1"));

    // ---- First run: a new player, level 1 typed, a site picked, the game ended and saved.
    {
        WindowRun run(x.Display(), home, "run1");
        ASSERT_TRUE(run.program.Started());
        ASSERT_TRUE(run.input.FindWindow(60000)) << run.program.Err();
        ASSERT_TRUE(run.AwaitDialog(NEW_USER, "NEW USER", 60000));
        ASSERT_TRUE(run.input.Type("Ann"));
        // The name typed reads clearly on its box: its first letter against the field.
        ASSERT_TRUE(run.Await("the name typed", 15000, [&] {
            return run.probe.Get(Dialog(NEW_USER)).find("|name=Ann") != std::string::npos;
        }));
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // a frame or two drawn
        int ex = 0, ey = 0, ew = 0, eh = 0;
        ASSERT_TRUE(run.probe.Rect(Dialog(NEW_USER), "edit", ex, ey, ew, eh)) << run.probe.Get(Dialog(NEW_USER));
        const ImageLib::Image entry = Screenshot(run, "new-user-name.png");
        uint32_t field = 0;
        const double contrast = TestSupport::ContrastOnField(entry, ex + 4, ey, 12, eh, &field);
        EXPECT_GE(contrast, 4.5) << "field " << std::hex << field;
        std::printf("the typed name stands out %.1f:1 from its field %06x\n", contrast, field);
        ASSERT_TRUE(run.input.Key("Return"));
        ASSERT_TRUE(run.AwaitDialog(MESSAGE, "ASSESS WPM?"));
        ASSERT_TRUE(run.input.Key("Escape")); // no typing test
        ASSERT_TRUE(run.Await("the menu", 15000, [&] {
            return run.probe.Get("screen") == "menu" && !run.probe.Has(Dialog(MESSAGE));
        }));

        ASSERT_TRUE(run.Click("buttons", std::to_string(ADVENTURE)));
        ASSERT_TRUE(run.AwaitDialog(DIFFICULTY, "DIFFICULTY"));
        ASSERT_TRUE(run.Click(Dialog(DIFFICULTY), "600")); // Easy
        ASSERT_TRUE(run.Await("level 1", 15000, [&] { return run.Board("level") == 0; }));

        int wordsTyped = 0;
        ASSERT_TRUE(run.Await("level 1 finished", 120000, [&] {
            if (run.probe.Get("screen") == "map")
                return true;
            if (run.DismissHintOrMessage())
                return false;
            if (run.Board("state") == LEVEL_COMPLETE)
                run.PressSpaceFor("map");
            else if (TypeNearestWord(run))
                ++wordsTyped;
            return false;
        }));
        // Four waves of two to four sharks; on a busy machine one may reach the diver.
        EXPECT_GE(wordsTyped, 4);

        // From the port one site is open: its chest is lettered A.
        ASSERT_TRUE(run.Await("the chest of site 1", 15000, [&] {
            run.DismissHintOrMessage();
            return run.probe.Number("map", "site") == 1 && !run.probe.Has(Dialog(MESSAGE));
        }));
        EXPECT_NE(run.probe.Get("map").find(" A=1@"), std::string::npos) << run.probe.Get("map");
        ASSERT_TRUE(run.input.Type("a"));
        ASSERT_TRUE(run.Await("level 2", 15000, [&] {
            return run.probe.Get("screen") == "board" && run.Board("level") == 1;
        }));
        // The level's hint comes up at once; then the game is ended from the status bar.
        ASSERT_TRUE(run.AwaitDialog(HINT, "HINT"));
        ASSERT_TRUE(run.Click(Dialog(HINT), "yes"));
        ASSERT_TRUE(run.Await("the hint closed", 15000, [&] { return !run.probe.Has(Dialog(HINT)); }));
        ASSERT_TRUE(run.Click("buttons", std::to_string(END_GAME)));
        ASSERT_TRUE(run.AwaitDialog(MESSAGE, "CONFIRM"));
        ASSERT_TRUE(run.Click(Dialog(MESSAGE), "yes"));
        ASSERT_TRUE(run.Await("the menu", 15000, [&] {
            return run.probe.Get("screen") == "menu" && !run.probe.Has("board");
        }));

        // The tutor: lesson 1 typed to its end, its statistics looked at, and on to lesson 2.
        ASSERT_TRUE(run.Click("buttons", std::to_string(TUTOR)));
        ASSERT_TRUE(run.Await("lesson 1", 15000, [&] { return run.probe.Number("tutor", "lesson") == 1; }));
        ASSERT_TRUE(run.input.Type(LessonText(1)));
        ASSERT_TRUE(run.AwaitDialog(MESSAGE, "VIEW STATS?", 30000));
        ASSERT_TRUE(run.Click(Dialog(MESSAGE), "yes"));
        ASSERT_TRUE(run.Await("the statistics", 15000, [&] { return run.probe.Get("screen") == "stats"; }));
        EXPECT_EQ(run.probe.Number("stats", "tab"), TUTOR_TAB);
        std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the bars grown
        Screenshot(run, "tutor-stats.png");
        ASSERT_TRUE(run.Click("buttons", std::to_string(STATS_CLOSE)));
        ASSERT_TRUE(run.Await("the tutor again", 15000, [&] {
            int x = 0, y = 0;
            return run.probe.Get("screen") == "tutor" && run.probe.Number("tutor", "paused") == 0 &&
                   run.probe.Centre("buttons", std::to_string(TUTOR_NEXT), x, y);
        }));
        ASSERT_TRUE(run.Click("buttons", std::to_string(TUTOR_NEXT)));
        ASSERT_TRUE(run.Await("lesson 2", 15000, [&] { return run.probe.Number("tutor", "lesson") == 2; }));
        ASSERT_TRUE(run.Click("buttons", std::to_string(TUTOR_MENU)));
        ASSERT_TRUE(run.AwaitDialog(MESSAGE, "QUIT?"));
        ASSERT_TRUE(run.Click(Dialog(MESSAGE), "yes"));
        ASSERT_TRUE(run.Await("the menu", 15000, [&] {
            return run.probe.Get("screen") == "menu" && !run.probe.Has(Dialog(MESSAGE));
        }));
        EXPECT_EQ(run.QuitFromMenu(), 0) << run.program.Err();
    }
    CopyFolder(home, dir.File("home-before-2"));
    // The first demo replays while the second run plays (that run types nothing, so
    // a busy machine only slows it down).
    std::future<Replay> firstReplay = std::async(std::launch::async, [&] { return Replay::Of(dir, "1"); });

    // ---- Second run: the saved game continued, every diver lost, game over, the menu.
    {
        WindowRun run(x.Display(), home, "run2");
        ASSERT_TRUE(run.program.Started());
        ASSERT_TRUE(run.input.FindWindow(60000)) << run.program.Err();
        ASSERT_TRUE(run.Await("the menu", 60000, [&] { return run.probe.Get("screen") == "menu"; }));
        ASSERT_TRUE(run.Click("buttons", std::to_string(ADVENTURE)));
        ASSERT_TRUE(run.AwaitDialog(MESSAGE, "CONTINUE?"));
        ASSERT_TRUE(run.Click(Dialog(MESSAGE), "yes"));
        ASSERT_TRUE(run.Await("level 2 again", 15000, [&] { return run.Board("level") == 1; }));
        EXPECT_GE(run.Board("lives"), 0);

        // Nothing typed: the sharks reach the diver. Levels still end at the floor, so
        // the map comes between them; there the leftmost chest is clicked.
        int sitesPicked = 0;
        ASSERT_TRUE(run.Await("game over", 150000, [&] {
            if (run.probe.Has(Dialog(GAME_OVER_DIALOG)))
                return true;
            if (run.DismissHintOrMessage())
                return false;
            if (run.probe.Get("screen") == "map") {
                const int site = run.probe.Number("map", "site");
                if (site == -1 && run.Click("map", "A") &&
                    run.Await("a site chosen", 5000, [&] { return run.probe.Number("map", "site") != -1; }))
                    ++sitesPicked;
                else if (site != -1)
                    run.PressSpaceFor("board");
            } else if (run.Board("state") == LEVEL_COMPLETE) {
                run.PressSpaceFor("map");
            }
            return false;
        }));
        EXPECT_EQ(run.probe.DialogHeader(GAME_OVER_DIALOG), "GAME OVER");
        EXPECT_EQ(run.Board("state"), GAME_OVER);
        EXPECT_EQ(run.Board("lives"), -1);
        EXPECT_GE(sitesPicked, 1) << "two divers are not lost in one level";
        ASSERT_TRUE(run.Click(Dialog(GAME_OVER_DIALOG), "no")); // MAIN MENU
        ASSERT_TRUE(run.Await("the menu", 15000, [&] {
            return run.probe.Get("screen") == "menu" && !run.probe.Has("board");
        }));
        // Game over took the saved game away: an adventure starts with the difficulty.
        ASSERT_TRUE(run.Click("buttons", std::to_string(ADVENTURE)));
        ASSERT_TRUE(run.AwaitDialog(DIFFICULTY, "DIFFICULTY"));
        ASSERT_TRUE(run.Click(Dialog(DIFFICULTY), "yes")); // Cancel
        ASSERT_TRUE(run.Await("the menu", 15000, [&] { return !run.probe.Has(Dialog(DIFFICULTY)); }));
        EXPECT_EQ(run.QuitFromMenu(), 0) << run.program.Err();
    }

    // ---- Each recorded run replays to the same end: every line its probe reported.
    for (const Replay& replay : {firstReplay.get(), Replay::Of(dir, "2")}) {
        SCOPED_TRACE("run" + replay.name);
        EXPECT_EQ(replay.code, 0) << replay.err;
        EXPECT_EQ(replay.err.find("out of sync"), std::string::npos) << replay.err;
        EXPECT_FALSE(replay.recorded.empty());
        EXPECT_EQ(replay.probe, replay.recorded);
    }
}
