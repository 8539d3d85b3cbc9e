#pragma once
// What the game shows, told to a test that drives the real program from outside.
// Off unless PLINDOR_TEST_PROBE names a file: then every update that changes the
// screen, an open dialog (with its buttons' rectangles), the board's phase, the map's
// offer or the words a player can type appends a line "<update> <what> <value>" to
// it. A key whose thing went away reads "-". The probe only reads the game, so a
// demo recorded with it replays with it, line for line.
// PLINDOR_TEST_SPEED=N runs the updates N times as often (past 10, as fast as the
// machine goes), so that a test plays whole levels in a short time; game logic
// counts updates, so nothing else changes.
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace Zant {

class WinBTApp;

class TestProbe {
public:
    static constexpr const char* ENV_FILE = "PLINDOR_TEST_PROBE";
    static constexpr const char* ENV_SPEED = "PLINDOR_TEST_SPEED";
    static constexpr int MAX_SPEED = 100;

    // Sets the pace PLINDOR_TEST_SPEED asks for (1 to MAX_SPEED) and returns the
    // probe PLINDOR_TEST_PROBE asks for; null when it is unset or its file cannot be
    // opened (said on stderr).
    static std::unique_ptr<TestProbe> FromEnvironment(WinBTApp& app);
    explicit TestProbe(std::FILE* file) : mFile(file) {}
    ~TestProbe();
    TestProbe(const TestProbe&) = delete;
    TestProbe& operator=(const TestProbe&) = delete;

    // Reports what changed since the last call.
    void Update(WinBTApp& app, int update);
    // The state the game shows now, key by key.
    static std::map<std::string, std::string> Observe(WinBTApp& app);

private:
    std::FILE* mFile;
    std::map<std::string, std::string> mLast;
};

} // namespace Zant
