#include <gtest/gtest.h>

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"
#include "tests/controls/ControlsTestSupport.h"

using namespace ControlsTest;
using Zant::Dialog;

namespace {

struct DialogFixture : AppFixture {
    DialogFixture() : frame(SolidImage(48, 48, 0xFF204060)), button(SolidImage(30, 30, 0xFF806040))
    {
        app->frameImage = frame.get();
        app->buttonImage = button.get();
    }
    std::unique_ptr<Zant::MemoryImage> frame, button;
};

struct Layout {
    int mode;
    std::vector<Zant::Rect> buttons;
    std::vector<std::string> captions;
};

} // namespace

TEST(Dialog, ButtonLayoutPerMode)
{
    DialogFixture f;
    const std::vector<Layout> cases = {
        {Zant::BUTTONS_YES_NO, {{34, 166, 122, 30}, {164, 166, 122, 30}}, {"YES", "NO"}},
        {Zant::BUTTONS_OK_CANCEL, {{34, 166, 122, 30}, {164, 166, 122, 30}}, {"OK", "CANCEL"}},
        {Zant::BUTTONS_FOOTER, {{34, 166, 252, 30}}, {"Close"}},
        {Zant::BUTTONS_NONE, {}, {}},
        {7, {}, {}},
    };
    for (const Layout& c : cases) {
        SCOPED_TRACE(c.mode);
        Dialog dialog(f.frame.get(), f.button.get(), 1, true, "H", "L", "Close", c.mode);
        dialog.Resize(10, 20, 300, 200);
        std::vector<Zant::Rect> rects;
        std::vector<std::string> captions;
        for (Zant::DialogButton* b : {dialog.mYesButton, dialog.mNoButton}) {
            if (b) {
                rects.push_back(b->GetRect());
                captions.push_back(b->mLabel);
            }
        }
        EXPECT_EQ(rects, c.buttons);
        EXPECT_EQ(captions, c.captions);
        // Colours, fonts and the manager are safe without buttons.
        BlockFont font;
        dialog.SetColor(3, Zant::Color(1, 2, 3));
        dialog.SetColor(4, Zant::Color(4, 5, 6));
        dialog.SetButtonFont(&font);
        f.Manager().AddWidget(&dialog);
        f.Manager().RemoveWidget(&dialog);
        for (Zant::DialogButton* b : {dialog.mYesButton, dialog.mNoButton}) {
            if (b) {
                EXPECT_EQ(b->GetColor(0), Zant::Color(1, 2, 3));
                EXPECT_EQ(b->GetColor(1), Zant::Color(4, 5, 6));
                EXPECT_NE(b->mFont, nullptr);
            }
        }
    }
}

TEST(Dialog, SidePaddingAndSpacingShapeTheTwoButtons)
{
    DialogFixture f;
    Dialog dialog(f.frame.get(), f.button.get(), 1, true, "", "", "", Zant::BUTTONS_YES_NO);
    dialog.mBackgroundInsets = {10, 5, 10, 5};
    dialog.mContentInsets = {20, 20, 20, 20};
    dialog.mButtonSidePadding = 15;
    dialog.mButtonHorzSpacing = 10;
    dialog.Resize(0, 0, 300, 200);
    // bw = (300 - 20 - 10 - 30 - 10 - 20 - 10) / 2 = 100
    EXPECT_EQ(dialog.mYesButton->GetRect(), Zant::Rect(45, 145, 100, 30));
    EXPECT_EQ(dialog.mNoButton->GetRect(), Zant::Rect(155, 145, 100, 30));
}

TEST(Dialog, ModalDialogTakesTheMouseAndAnswersWithItsIds)
{
    DialogFixture f;
    Recorder below;
    Zant::ButtonWidget first(1, &below), second(2, &below);
    first.Resize(0, 0, 100, 40);
    second.Resize(500, 400, 100, 40);
    f.Manager().AddWidget(&first);
    f.Manager().AddWidget(&second);
    f.Manager().SetFocus(&first);

    Dialog* dialog = f.app->ShowDialog(1101, true, "NEW USER", "Enter your name.", "", Zant::BUTTONS_OK_CANCEL);
    ASSERT_NE(dialog, nullptr);
    dialog->Resize(170, 140, 300, 200);
    EXPECT_EQ(f.app->added, 1);
    EXPECT_EQ(f.Manager().mBaseModalWidget, dialog);
    EXPECT_EQ(f.Manager().mFocusWidget, nullptr) << "the focus below a modal dialog is taken away";

    f.Click(50, 20);
    f.Click(550, 420);
    f.Manager().KeyDown(13);
    f.Manager().KeyChar(13);
    f.Manager().KeyDown(27);
    f.Manager().KeyChar(27);
    EXPECT_TRUE(below.log.empty());
    EXPECT_TRUE(f.app->log.empty()) << "the dialog itself answers no keys";

    const Zant::Rect ok = dialog->mYesButton->GetRect();
    const Zant::Rect cancel = dialog->mNoButton->GetRect();
    f.Click(ok.x + 5, ok.y + 5);
    f.Click(cancel.x + 5, cancel.y + 5);
    EXPECT_EQ(f.app->log, (std::vector<std::string>{"app press 3101", "app depress 3101", "app press 4101",
                                                   "app depress 4101"}));

    dialog->ButtonPress(77);
    dialog->ButtonDepress(77);
    dialog->ButtonDownTick(77);
    EXPECT_EQ(f.app->log.size(), 4u) << "foreign ids reach nothing";

    EXPECT_TRUE(f.app->RemoveDialog(1101));
    EXPECT_EQ(f.app->removed, 1);
    EXPECT_EQ(f.Manager().mBaseModalWidget, nullptr);
    f.app->FlushWidgetDeletions();
    f.Click(50, 20);
    EXPECT_EQ(below.Count("depress 1"), 1u);
    f.Manager().RemoveWidget(&first);
    f.Manager().RemoveWidget(&second);
}

TEST(Dialog, AnswerThatClosesTheDialogLeavesEverythingSafe)
{
    DialogFixture f;
    Dialog* dialog = f.app->ShowDialog(500, true, "HEADER", "lines", "OK", Zant::BUTTONS_FOOTER);
    dialog->Resize(100, 100, 300, 200);
    f.app->onDepress = [&](int id) { f.app->RemoveDialog(id - Dialog::ID_YES); };
    const Zant::Rect ok = dialog->mYesButton->GetRect();
    f.Click(ok.x + 5, ok.y + 5);
    f.Updates(2);
    EXPECT_EQ(f.app->FindDialog(500), nullptr);
    EXPECT_EQ(f.app->CountDialogs(), 0);
    EXPECT_EQ(f.app->log, (std::vector<std::string>{"app press 2500", "app depress 2500"}));
    f.app->FlushWidgetDeletions();
    EXPECT_TRUE(f.Manager().mWidgets.empty()) << "the buttons left with the dialog";
}

TEST(Dialog, PreferredHeightIsWhatDrawingUses)
{
    struct Case {
        const char* name;
        std::string header, lines, footer;
        int mode;
    };
    const std::vector<Case> cases = {
        {"everything, two buttons", "HEADER", "one two three four five six seven eight nine ten", "", Zant::BUTTONS_YES_NO},
        {"footer as a line", "HEADER", "a\nb\nc", "footer", Zant::BUTTONS_NONE},
        {"footer button", "HEADER", "a\nb", "Close", Zant::BUTTONS_FOOTER},
        {"lines only", "", "a\nb", "", Zant::BUTTONS_OK_CANCEL},
        {"header and footer line without lines", "HEADER", "", "footer", Zant::BUTTONS_NONE},
        {"footer line alone", "", "", "footer", Zant::BUTTONS_NONE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogFixture f;
        BlockFont header(8, 14, 18, 2), lines(6, 10, 13, 0, 3);
        Dialog dialog(f.frame.get(), f.button.get(), 1, false, c.header, c.lines, c.footer, c.mode);
        dialog.mBackgroundInsets = {4, 6, 4, 6};
        dialog.SetHeaderFont(&header);
        dialog.SetLinesFont(&lines);
        const int height = dialog.GetPreferredHeight(200);
        header.ClearDrawn(); // measuring passes through the font too
        lines.ClearDrawn();
        dialog.Resize(0, 0, 200, height);
        Zant::MemoryImage target;
        target.Create(200, height);
        Zant::Graphics g(&target);
        dialog.Draw(&g);

        const int top = 24 + 6;
        const int bottom = height - 24 - 6;
        std::vector<int> lineBaselines;
        int headerBaseline = -1, footerBaseline = -1;
        for (const DrawnText& d : header.Drawn())
            (d.text == c.header ? headerBaseline : footerBaseline) = d.y;
        for (const DrawnText& d : lines.Drawn())
            lineBaselines.push_back(d.y);
        int reached = top;
        if (!c.header.empty()) {
            EXPECT_EQ(headerBaseline, top + 14 - 2);
            reached = top + 18 - 2;
        }
        ASSERT_EQ(lineBaselines.empty(), c.lines.empty());
        int linesBottom = reached;
        if (!c.lines.empty()) {
            EXPECT_EQ(lineBaselines.front(), reached + (c.header.empty() ? 0 : 10) + 10);
            linesBottom = lineBaselines.back() + 3; // descent
        }
        if (c.mode == Zant::BUTTONS_NONE) {
            EXPECT_EQ(footerBaseline, bottom) << "the footer line ends the dialog";
        } else {
            EXPECT_EQ(footerBaseline, -1);
            EXPECT_EQ(dialog.mYesButton->mY, linesBottom + 16) << "the buttons sit 16 px below the lines";
            EXPECT_EQ(dialog.mYesButton->mY + dialog.mYesButton->mHeight, bottom);
        }
    }
}

TEST(Dialog, DrawsItsFrameInsideTheBackgroundInsets)
{
    DialogFixture f;
    BlockFont font;
    Dialog dialog(f.frame.get(), f.button.get(), 1, false, "", "", "", Zant::BUTTONS_NONE);
    dialog.SetHeaderFont(&font);
    dialog.SetLinesFont(&font);
    dialog.mBackgroundInsets = {5, 7, 5, 7};
    dialog.Resize(0, 0, 60, 60);
    auto target = SolidImage(60, 60, 0xFF000000);
    Zant::Graphics g(target.get());
    dialog.Draw(&g);
    EXPECT_EQ(Pixel(*target, 4, 30), 0xFF000000u);
    EXPECT_EQ(Pixel(*target, 5, 7), 0xFF204060u);
    EXPECT_EQ(Pixel(*target, 54, 52), 0xFF204060u);
    EXPECT_EQ(Pixel(*target, 55, 53), 0xFF000000u);
}

TEST(Dialog, WithoutFontsItUsesTheSystemFontAndStaysUsable)
{
    DialogFixture f;
    Dialog dialog(f.frame.get(), f.button.get(), 1, false, "HEADER", "Some lines of text.", "", Zant::BUTTONS_YES_NO);
    const int height = dialog.GetPreferredHeight(300);
    EXPECT_GE(height, 24 + 24 + 8 + 8 + 30);
    dialog.Resize(0, 0, 300, height);
    f.Manager().AddWidget(&dialog);
    f.Manager().DrawScreen();
    f.Manager().RemoveWidget(&dialog);
}

TEST(Dialog, OnlyALeftSingleClickDragsAndTheScreenEdgesHoldIt)
{
    struct Case {
        const char* name;
        int width, clickCount, dragX, dragY, expectX, expectY;
    };
    const Case cases[] = {
        {"far left and up", 200, 1, -1000, -1000, -8, -8},
        {"far right and down", 200, 1, 2000, 2000, 640 - 200 + 8, 480 - 100 + 8},
        {"a small move", 200, 1, 130, 125, 120, 120},
        {"right click", 200, -1, 2000, 2000, 100, 100},
        {"double click", 200, 2, 2000, 2000, 100, 100},
        {"wider than the screen", 700, 1, 2000, 2000, -8, 480 - 100 + 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogFixture f;
        Dialog dialog(f.frame.get(), f.button.get(), 1, false, "", "", "", Zant::BUTTONS_NONE);
        dialog.Resize(100, 100, c.width, 100);
        f.Manager().AddWidget(&dialog);
        f.Manager().MouseMove(110, 105);
        f.Manager().MouseDown(110, 105, c.clickCount);
        if (c.clickCount == 1) {
            EXPECT_EQ(f.app->mCursorNum, Zant::CURSOR_DRAGGING);
        }
        f.Manager().MouseDrag(c.dragX, c.dragY);
        f.Manager().MouseUp(c.dragX, c.dragY, c.clickCount);
        EXPECT_EQ(dialog.mX, c.expectX);
        EXPECT_EQ(dialog.mY, c.expectY);
        EXPECT_FALSE(dialog.mDragging);
        EXPECT_EQ(f.app->mCursorNum, Zant::CURSOR_POINTER);
        f.Manager().RemoveWidget(&dialog);
    }
}
