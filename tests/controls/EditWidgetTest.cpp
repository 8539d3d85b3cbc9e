#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "framework/widgets/EditWidget.h"
#include "tests/controls/ControlsTestSupport.h"

using namespace ControlsTest;
using Zant::EditWidget;

namespace {

// Refuses '^' as the game's name entry does; can refuse every resulting text.
class EditRecorder : public Zant::EditListener {
public:
    void EditWidgetText(int id, const std::string& text) override
    {
        log.push_back("text " + text);
        if (onText)
            onText();
    }
    bool AllowKey(int id, int key) override
    {
        log.push_back("key " + std::to_string(key));
        return true;
    }
    bool AllowChar(int id, char c) override { return c != '^'; }
    bool AllowText(int id, const std::string& text) override
    {
        log.push_back("allow " + text);
        return allowText;
    }
    std::vector<std::string> log;
    bool allowText = true;
    std::function<void()> onText;
};

// The clipboard of SDL's video layer; the dummy driver keeps it inside the process.
class SdlClipboard {
public:
    SdlClipboard()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        std::string error;
        available = windows.InitVideo(error);
    }
    Platform::SdlWindowSystem windows;
    bool available = false;
};

struct EditFixture : AppFixture {
    EditFixture() : font(6, 10, 13), edit(4, &listener)
    {
        edit.SetFont(&font);
        edit.Resize(10, 10, 200, 24);
        Manager().AddWidget(&edit);
        Manager().SetFocus(&edit);
    }
    ~EditFixture() { Manager().RemoveWidget(&edit); }

    void Start(const std::string& text, int caret, int anchor)
    {
        edit.SetText(text);
        edit.mCursorPos = caret;
        edit.mHilitePos = anchor;
    }

    // Space-separated strokes: shift+ shift- ctrl+ ctrl- left right home end back del
    // enter ^C ^V ^X ^Z, 'c' for a typed character, #n for character code n.
    void Type(const std::string& script)
    {
        std::istringstream in(script);
        std::string t;
        auto press = [&](int key, int c = -1) {
            Manager().KeyDown(key);
            if (c >= 0)
                Manager().KeyChar(static_cast<char>(c));
            Manager().KeyUp(key);
        };
        while (in >> t) {
            if (t == "shift+")
                Manager().KeyDown(16);
            else if (t == "shift-")
                Manager().KeyUp(16);
            else if (t == "ctrl+")
                Manager().KeyDown(17);
            else if (t == "ctrl-")
                Manager().KeyUp(17);
            else if (t == "left")
                press(37);
            else if (t == "right")
                press(39);
            else if (t == "home")
                press(36);
            else if (t == "end")
                press(35);
            else if (t == "back")
                press(8, 8);
            else if (t == "del")
                press(46);
            else if (t == "enter")
                press(13, 13);
            else if (t.size() == 2 && t[0] == '^') {
                Manager().KeyDown(17);
                press(t[1], t[1] - 64);
                Manager().KeyUp(17);
            } else if (t.size() == 3 && t[0] == '\'')
                Manager().KeyChar(t[1]);
            else if (t[0] == '#')
                Manager().KeyChar(static_cast<char>(std::atoi(t.c_str() + 1)));
            else
                ADD_FAILURE() << "bad stroke " << t;
        }
    }

    BlockFont font;
    EditRecorder listener;
    EditWidget edit;
};

} // namespace

TEST(EditWidget, KeySequences)
{
    SdlClipboard clipboard;
    if (!clipboard.available)
        GTEST_SKIP() << "no video layer for the clipboard";
    struct Case {
        const char* name;
        std::string text;
        int caret, anchor;
        std::string clip; // on the clipboard before
        std::string keys;
        std::string expectText;
        int expectCaret, expectAnchor;
        std::string expectClip;
    };
    const std::vector<Case> cases = {
        {"shift selection replaced by a typed character", "hello", 0, -1, "", "shift+ right right right shift- 'x'",
         "xlo", 1, -1, ""},
        {"undo brings the selection back", "hello", 0, -1, "", "shift+ right right right shift- 'x' ^Z", "hello", 3, 0,
         ""},
        {"copy", "abcdefg", 5, 2, "old", "^C", "abcdefg", 5, 2, "cde"},
        {"cut", "abcdefg", 5, 2, "old", "^X", "abfg", 2, -1, "cde"},
        {"cut without a selection", "abcdefg", 5, -1, "old", "^X", "abcdefg", 5, -1, "old"},
        {"typing then undo, undo", "", 0, -1, "", "'a' 'b' 'c' ^Z", "", 0, 0, ""},
        {"undo twice redoes", "", 0, -1, "", "'a' 'b' 'c' ^Z ^Z", "abc", 3, -1, ""},
        {"paste stops at the line break", "xy", 1, -1, "ab\r\ncd", "^V", "xaby", 3, -1, "ab\r\ncd"},
        {"paste drops refused and unmeasurable characters", "xy", 1, -1, "a^\tb", "^V", "xaby", 3, -1, "a^\tb"},
        {"paste replaces a selection", "xy", 2, 0, "Q", "^V", "Q", 1, -1, "Q"},
        {"character above 127 is ignored", "abcd", 3, 1, "", "#200", "abcd", 3, 1, ""},
        {"refused character", "ab", 2, -1, "", "'^'", "ab", 2, -1, ""},
        {"ctrl+left from the end", "ab cd", 5, -1, "", "ctrl+ left ctrl-", "ab cd", 3, -1, ""},
        {"ctrl+left twice", "ab cd", 5, -1, "", "ctrl+ left left ctrl-", "ab cd", 0, -1, ""},
        {"ctrl+right from 0", "ab cd", 0, -1, "", "ctrl+ right ctrl-", "ab cd", 3, -1, ""},
        {"ctrl+right twice", "ab cd", 0, -1, "", "ctrl+ right right ctrl-", "ab cd", 5, -1, ""},
        {"ctrl+right from the end of a word", "ab cd", 2, -1, "", "ctrl+ right ctrl-", "ab cd", 5, -1, ""},
        {"left without shift collapses a selection", "abcdef", 4, 1, "", "left", "abcdef", 1, -1, ""},
        {"home and end", "abc", 1, -1, "", "end 'x' home 'y'", "yabcx", 1, -1, ""},
        {"backspace and delete", "abcd", 2, -1, "", "back del", "ad", 1, -1, ""},
        {"backspace removes a selection", "abcd", 1, 3, "", "back", "ad", 1, -1, ""},
        {"a new text is selected and replaced by typing", "abc", 3, 0, "", "'x'", "x", 1, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditFixture f;
        f.app->PutClipboardText(c.clip);
        if (c.text.empty()) {
            f.edit.mCursorPos = c.caret;
            f.edit.mHilitePos = c.anchor;
        } else {
            f.Start(c.text, c.caret, c.anchor);
        }
        f.Type(c.keys);
        EXPECT_EQ(f.edit.mString, c.expectText);
        EXPECT_EQ(f.edit.mCursorPos, c.expectCaret);
        EXPECT_EQ(f.edit.mHilitePos, c.expectAnchor);
        EXPECT_EQ(f.app->GetClipboardText(), c.expectClip);
    }
}

TEST(EditWidget, LengthLimitsCutTheText)
{
    struct Case {
        int maxChars, maxPixels;
        int caret;
        char typed;
        std::string expected;
    };
    const Case cases[] = {
        {3, -1, 3, 'd', "abc"},
        {3, -1, 1, 'x', "axb"},
        {-1, 20, 3, 'd', "abc"}, // 3 x 6 px fit in 20, 4 do not
        {-1, 24, 3, 'd', "abcd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.maxChars << " " << c.maxPixels << " " << c.typed);
        EditFixture f;
        f.Start("abc", c.caret, -1);
        f.edit.mMaxChars = c.maxChars;
        f.edit.mMaxPixels = c.maxPixels;
        f.Type(std::string("'") + c.typed + "'");
        EXPECT_EQ(f.edit.mString, c.expected);
        EXPECT_LE(f.edit.mCursorPos, static_cast<int>(f.edit.mString.size()));
    }
}

TEST(EditWidget, RefusedTextRestoresTheStateBeforeTheKey)
{
    EditFixture f;
    f.Start("abc", 2, -1);
    f.Type("'q'");
    f.listener.allowText = false;
    f.Type("back 'z' left ^X home");
    EXPECT_EQ(f.edit.mString, "abqc");
    EXPECT_EQ(f.edit.mCursorPos, 3);
    EXPECT_EQ(f.edit.mHilitePos, -1);
    f.listener.allowText = true;
    f.Type("^Z");
    EXPECT_EQ(f.edit.mString, "abc") << "the refused keys left the undo state alone";
}

TEST(EditWidget, EnterReportsTheTextAndShiftAloneIsOnlyOffered)
{
    EditFixture f;
    f.Start("name", 4, -1);
    f.listener.log.clear();
    f.edit.mDirty = false;
    f.Type("shift+ shift- ctrl+ ctrl-");
    EXPECT_EQ(f.listener.log, (std::vector<std::string>{"key 16", "key 17"}));
    EXPECT_FALSE(f.edit.mDirty);
    f.Type("enter");
    EXPECT_EQ(f.listener.log[2], "key 13");
    EXPECT_EQ(f.listener.log[3], "text name");
    EXPECT_EQ(f.edit.mString, "name");
}

TEST(EditWidget, EnterThatClosesTheFieldLeavesItSafe)
{
    // The name entry answers Enter by closing its dialog, taking the field out of
    // the manager in the middle of the key.
    EditFixture f;
    f.Start("name", 4, -1);
    f.listener.onText = [&] { f.Manager().RemoveWidget(&f.edit); };
    f.Type("enter");
    EXPECT_EQ(f.edit.mWidgetManager, nullptr);
    EXPECT_EQ(f.edit.mString, "name");
    f.Manager().AddWidget(&f.edit); // for the fixture's removal
}

TEST(EditWidget, FirstUndoAfterSetTextRestoresThatText)
{
    EditFixture f;
    f.edit.SetText("hello");
    f.Type("home right back ^Z");
    EXPECT_EQ(f.edit.mString, "hello");
    f.Type("^Z");
    EXPECT_EQ(f.edit.mString, "ello");
}

TEST(EditWidget, RunsOfTypingAndDeletingAreOneUndoStep)
{
    EditFixture f;
    f.edit.SetText("base");
    f.Type("end 'x' 'y' back back back ^Z");
    EXPECT_EQ(f.edit.mString, "base");
}

TEST(EditWidget, MouseSelection)
{
    EditFixture f;
    f.Start("ab cd", 0, -1);
    // Characters are 6 px wide from x 4: "c" spans 22..28 in the widget, "d" 28..34.
    f.Click(10 + 30, 15, 2);
    EXPECT_EQ(f.edit.mHilitePos, 3);
    EXPECT_EQ(f.edit.mCursorPos, 5);

    f.Manager().MouseMove(10 + 2, 15);
    f.Manager().MouseDown(10 + 2, 15, 1);
    f.Manager().MouseDrag(10 + 20, 15);
    f.Manager().MouseUp(10 + 20, 15, 1);
    EXPECT_EQ(f.edit.mHilitePos, 0);
    EXPECT_EQ(f.edit.mCursorPos, 3);

    f.Click(10 + 9, 15);
    EXPECT_EQ(f.edit.mCursorPos, 1);
    EXPECT_EQ(f.edit.mHilitePos, -1) << "an empty drag selection is dropped";
    EXPECT_EQ(f.app->mCursorNum, Zant::CURSOR_TEXT);
    f.Manager().MouseMove(400, 400);
    EXPECT_EQ(f.app->mCursorNum, Zant::CURSOR_POINTER);
}

TEST(EditWidget, LongTextScrollsAndStaysConsistentWhenShortened)
{
    EditFixture f;
    f.edit.Resize(10, 10, 68, 24); // 60 px of text: ten characters
    f.edit.SetText("abcdefghijklmnopqrstuvwxyz");
    f.Type("end");
    EXPECT_EQ(f.edit.mLeftPos, 20) << "scrolled in steps of ten until the caret shows";
    const int left = f.edit.mLeftPos;

    f.Click(10 + 0, 15);
    EXPECT_EQ(f.edit.mCursorPos, left) << "a click at the left edge lands on the first visible character";

    f.edit.SetText("a");
    EXPECT_LE(f.edit.mLeftPos, 1);
    f.Manager().DrawScreen();
    f.Type("end 'b'");
    EXPECT_EQ(f.edit.mString, "ab");
}

TEST(EditWidget, CaretBlinksEvery41UpdatesOnlyWithTheFocus)
{
    EditFixture f;
    EXPECT_TRUE(f.edit.mCaretShown);
    f.Updates(40);
    EXPECT_TRUE(f.edit.mCaretShown);
    f.Updates(1);
    EXPECT_FALSE(f.edit.mCaretShown);
    f.Updates(41);
    EXPECT_TRUE(f.edit.mCaretShown);
    f.Updates(20);
    f.Type("'a'");
    f.Updates(40);
    EXPECT_TRUE(f.edit.mCaretShown) << "a caret move shows it and restarts the count";
    f.Manager().SetFocus(nullptr);
    EXPECT_FALSE(f.edit.mCaretShown);
    f.Updates(100);
    EXPECT_FALSE(f.edit.mCaretShown);
}

TEST(EditWidget, DrawsTextCaretAndSelectionInTheirColours)
{
    EditFixture f;
    f.edit.SetColor(0, Zant::Color(255, 255, 255));
    f.edit.SetColor(3, Zant::Color(0, 0, 200));
    f.Start("abcd", 3, 1);
    f.font.ClearDrawn();
    f.Manager().DrawScreen();
    // Text at x 4, baseline (24 - 13) / 2 + 10.
    ASSERT_EQ(f.font.Drawn().size(), 2u);
    EXPECT_EQ(f.font.Drawn()[0].x, 14);
    EXPECT_EQ(f.font.Drawn()[0].y, 10 + 15);
    EXPECT_EQ(f.font.Drawn()[1].color, Zant::Color(255, 255, 255)) << "selected text";
    // The selection spans characters 1 and 2: x 4 + 6 to 4 + 18 inside the widget.
    // Row 16 lies below the glyph boxes and inside the selection's rows.
    EXPECT_EQ(Pixel(f.screen, 10 + 10, 10 + 16), 0xFF0000C8u);
    EXPECT_EQ(Pixel(f.screen, 10 + 21, 10 + 16), 0xFF0000C8u);
    EXPECT_EQ(Pixel(f.screen, 10 + 22, 10 + 16), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(f.screen, 10, 10), 0xFF000000u) << "outline";
}

// The caret is the 2-pixel span at the caret's x; an anchor on the caret is no
// selection, so the caret shows exactly while it is shown, whatever the anchor.
TEST(EditWidget, CaretShowsWhileShownAlsoWithTheAnchorOnIt)
{
    struct Case {
        const char* name;
        std::string keys; // typed after SetText("ab")
        bool emptyText;
    } cases[] = {
        {"no anchor", "end", false},
        {"SetText of nothing", "", true},
        {"Shift+Left then Shift+Right", "end shift+ left right shift-", false},
    };
    for (const Case& c : cases) {
        EditFixture f;
        f.edit.SetColor(0, Zant::Color(255, 255, 255));
        f.edit.SetColor(3, Zant::Color(0, 0, 200));
        f.edit.SetText(c.emptyText ? "" : "ab");
        f.Type(c.keys);
        const int caretX = 10 + 4 + 6 * f.edit.mCursorPos; // the widget at x 10
        for (const bool shown : {true, false}) {
            f.edit.mCaretShown = shown;
            f.edit.MarkDirty();
            f.Manager().DrawScreen();
            // Row 16 lies below the glyph boxes, inside the caret's rows.
            const uint32_t want = shown ? 0xFF0000C8u : 0xFFFFFFFFu;
            EXPECT_EQ(Pixel(f.screen, caretX, 10 + 16), want) << c.name << (shown ? " shown" : " hidden");
            EXPECT_EQ(Pixel(f.screen, caretX + 1, 10 + 16), want) << c.name << (shown ? " shown" : " hidden");
            EXPECT_EQ(Pixel(f.screen, caretX + 2, 10 + 16), 0xFFFFFFFFu) << c.name;
        }
    }
}
