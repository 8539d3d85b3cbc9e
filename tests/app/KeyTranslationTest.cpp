// Keys and characters from SDL reach widgets as the game's window messages make them.
#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "tests/app/AppTestSupport.h"

namespace {

class KeyLog : public Zant::Widget {
public:
    void KeyDown(int key) override { calls.push_back("KeyDown(" + std::to_string(key) + ")"); }
    void KeyUp(int key) override { calls.push_back("KeyUp(" + std::to_string(key) + ")"); }
    void KeyChar(char c) override { calls.push_back("KeyChar(" + std::to_string(static_cast<int>(c)) + ")"); }
    std::vector<std::string> calls;
};

// One scripted step: a key press or release with modifiers, or typed text.
struct Step {
    enum Kind { Down, Up, Text } kind;
    SDL_Scancode scancode = SDL_SCANCODE_UNKNOWN;
    int mod = KMOD_NONE;
    const char* text = "";
};

Step Down(SDL_Scancode sc, int mod = KMOD_NONE) { return {Step::Down, sc, mod, ""}; }
Step Up(SDL_Scancode sc, int mod = KMOD_NONE) { return {Step::Up, sc, mod, ""}; }
Step Text(const char* t, int mod = KMOD_NONE) { return {Step::Text, SDL_SCANCODE_UNKNOWN, mod, t}; }

struct Harness {
    explicit Harness(bool loaded)
    {
        f.app->mLoadingThreadCompleted = loaded;
        f.app->mWidgetManager->AddWidget(&log);
        f.app->mWidgetManager->SetFocus(&log);
    }
    ~Harness() { f.app->mWidgetManager->RemoveWidget(&log); }

    void Run(const std::vector<Step>& steps)
    {
        for (const Step& s : steps) {
            SDL_Event e{};
            SDL_SetModState(static_cast<SDL_Keymod>(s.mod));
            if (s.kind == Step::Text) {
                e.type = SDL_TEXTINPUT;
                SDL_strlcpy(e.text.text, s.text, sizeof e.text.text);
            } else {
                e.type = s.kind == Step::Down ? SDL_KEYDOWN : SDL_KEYUP;
                e.key.keysym.scancode = s.scancode;
                e.key.keysym.mod = static_cast<Uint16>(s.mod);
            }
            sdl.Translate(&e);
            Platform::WindowEvent we;
            while (sdl.PollEvent(we))
                f.app->HandleWindowMessage(we.msg, we.param1, we.param2);
            f.app->ProcessDeferredMessages();
        }
        SDL_SetModState(KMOD_NONE);
    }

    FakeAppFixture f;
    Platform::SdlWindowSystem sdl;
    KeyLog log;
};

} // namespace

TEST(KeyTranslation, WidgetsSeeWindowsKeysAndCharacters)
{
    using V = std::vector<std::string>;
    struct Case {
        const char* name;
        std::vector<Step> steps;
        V expected;
    } cases[] = {
        {"a", {Down(SDL_SCANCODE_A), Text("a"), Up(SDL_SCANCODE_A)}, V{"KeyDown(65)", "KeyChar(97)", "KeyUp(65)"}},
        {"Shift+a",
         {Down(SDL_SCANCODE_LSHIFT, KMOD_LSHIFT), Down(SDL_SCANCODE_A, KMOD_LSHIFT), Text("A", KMOD_LSHIFT)},
         V{"KeyDown(16)", "KeyDown(65)", "KeyChar(65)"}},
        {"Enter", {Down(SDL_SCANCODE_RETURN)}, V{"KeyDown(13)", "KeyChar(13)"}},
        {"Backspace", {Down(SDL_SCANCODE_BACKSPACE)}, V{"KeyDown(8)", "KeyChar(8)"}},
        {"Ctrl+V",
         {Down(SDL_SCANCODE_LCTRL, KMOD_LCTRL), Down(SDL_SCANCODE_V, KMOD_LCTRL), Text("v", KMOD_LCTRL)},
         V{"KeyDown(17)", "KeyDown(86)", "KeyChar(22)"}},
        {"Alt+X",
         {Down(SDL_SCANCODE_LALT, KMOD_LALT), Down(SDL_SCANCODE_X, KMOD_LALT), Text("x", KMOD_LALT),
          Up(SDL_SCANCODE_X, KMOD_LALT), Up(SDL_SCANCODE_LALT)},
         V{}},
        {"F10", {Down(SDL_SCANCODE_F10), Up(SDL_SCANCODE_F10)}, V{}},
        {"e acute", {Text("\xC3\xA9")}, V{"KeyChar(" + std::to_string(static_cast<int>(static_cast<char>(0xE9))) + ")"}},
        {"euro", {Text("\xE2\x82\xAC")}, V{}}, // not Latin-1: dropped
    };
    for (const Case& c : cases) {
        Harness h(true);
        h.Run(c.steps);
        EXPECT_EQ(h.log.calls, c.expected) << c.name;
    }
}

TEST(KeyTranslation, AltEnterSwitchesScreenModeOnlyAfterLoading)
{
    for (bool loaded : {false, true}) {
        Harness h(loaded);
        h.Run({Down(SDL_SCANCODE_LALT, KMOD_LALT), Down(SDL_SCANCODE_RETURN, KMOD_LALT), Up(SDL_SCANCODE_RETURN, KMOD_LALT),
               Up(SDL_SCANCODE_LALT)});
        EXPECT_TRUE(h.log.calls.empty());
        EXPECT_EQ(h.f.windows.created, loaded ? 1 : 0);
        EXPECT_EQ(h.f.app->mIsWindowed, !loaded);
    }
}

TEST(KeyTranslation, CtrlAltDReleasedInAnyOrderLeavesNoKeyHeld)
{
    Harness h(true);
    h.Run({Down(SDL_SCANCODE_LCTRL, KMOD_LCTRL), Down(SDL_SCANCODE_LALT, KMOD_LCTRL | KMOD_LALT),
           Down(SDL_SCANCODE_D, KMOD_LCTRL | KMOD_LALT), Up(SDL_SCANCODE_D, KMOD_LCTRL | KMOD_LALT),
           Up(SDL_SCANCODE_LCTRL, KMOD_LALT), Up(SDL_SCANCODE_LALT)});
    EXPECT_TRUE(h.f.app->mDebugKeysEnabled);
    EXPECT_FALSE(h.f.app->mWidgetManager->IsKeyDown(17));
    EXPECT_FALSE(h.f.app->mWidgetManager->IsKeyDown(18));
}
