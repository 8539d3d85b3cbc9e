// The game's message boxes, questions and hints: their size from the frame picture
// and the text's line breaks, the keys that answer them, and the hint table.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/Font.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/DialogList.h"
#include "game/shell/HintDialog.h"
#include "game/shell/KeyDialog.h"
#include "game/shell/WinBTApp.h"
#include "tests/options/DialogParts.h"
#include "tests/support/Contrast.h"
#include "tests/support/TextContrast.h"

namespace {

using OptionsTest::LineFont;
using OptionsTest::Picture;

class AnswerApp : public Zant::WinBTApp {
public:
    void ButtonDepress(int id) override { answers.push_back(id); }
    std::vector<int> answers;
};

class GameDialogsTest : public ::testing::Test {
protected:
    GameDialogsTest()
    {
        app.mWidgetManager = new Zant::WidgetManager(&app);
        app.SetImage(Zant::IMAGE_DIALOG, Picture(320, 300));
        app.SetImage(Zant::IMAGE_DBUTTON, Picture(90, 30));
        app.SetImage(44, Picture(48, 25));
        app.mFontRockwell13 = new LineFont();
        app.mFontRockwell13Bold = new LineFont();
    }
    ~GameDialogsTest() override
    {
        delete Zant::gGameRandom;
        Zant::gGameRandom = nullptr;
    }
    Zant::KeyDialog* Message() { return dynamic_cast<Zant::KeyDialog*>(app.FindDialog(500)); }

    AnswerApp app;
};

} // namespace

TEST_F(GameDialogsTest, MessageBoxSizeFollowsTheFrameAndTheLineBreaks)
{
    app.DoMessageDialog("HELLO", "one\ntwo\nthree\n", "", false);
    Zant::KeyDialog* box = Message();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->mX, 155);
    EXPECT_EQ(box->mY, 141);
    EXPECT_EQ(box->mWidth, 330);
    EXPECT_EQ(box->mHeight, 198);
    ASSERT_NE(box->mYesButton, nullptr);
    EXPECT_EQ(box->mYesButton->mLabel, "OK");
    EXPECT_EQ(app.mOpenDialogCount, 1);

    // Joined lines: one line and a final break, the box as tall as for the breaks given.
    app.DoMessageDialog("HELLO", "a\nb", "Fine", true);
    box = Message();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->mDialogLines, "a b\n");
    EXPECT_EQ(box->mHeight, 150 + 16);
    EXPECT_EQ(box->mYesButton->mLabel, "Fine");
    EXPECT_EQ(app.mOpenDialogCount, 1);
}

TEST_F(GameDialogsTest, KeysThatAnswerMessagesAndQuestions)
{
    struct Case {
        bool question;
        char key;
        std::vector<int> answers;
    };
    const Case cases[] = {
        {false, 27, {2500}}, {false, ' ', {2500}}, {false, 'x', {}},
        {true, 27, {3500}},  {true, ' ', {}},      {true, 13, {}},
    };
    for (const Case& c : cases) {
        app.answers.clear();
        if (c.question)
            app.DoMessageDialog2("LEAVING?", "Are you sure you\nwish to quit?", "", false, "YES", "NO");
        else
            app.DoMessageDialog("Error", "text", "", false);
        ASSERT_NE(Message(), nullptr);
        Message()->KeyChar(c.key);
        EXPECT_EQ(app.answers, c.answers) << (c.question ? "question, key " : "message, key ") << int(c.key);
    }
}

TEST_F(GameDialogsTest, ANewMessageWithdrawsTheQuestionItReplaces)
{
    app.mQuitPending = true;
    app.DoMessageDialog2("LEAVING?", "Are you sure you\nwish to quit?", "", false, "YES", "NO");
    EXPECT_EQ(Message()->mYesButton->mLabel, "YES");
    EXPECT_EQ(Message()->mNoButton->mLabel, "NO");
    app.DoMessageDialog("Error", "Something else", "", false);
    EXPECT_FALSE(app.mQuitPending);
    EXPECT_EQ(app.mOpenDialogCount, 1);
}

TEST_F(GameDialogsTest, HintBoxAnswersWithItsButtonAndKeysAndCanBeSwitchedOff)
{
    app.ShowHintDialog("A hint\n\n", "HINT");
    auto* hint = dynamic_cast<Zant::HintDialog*>(app.FindDialog(1011));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->mWidth, 320);
    EXPECT_EQ(hint->mHeight, 150 + 25 + 2 * 16 + 35);
    EXPECT_EQ(hint->mCheckbox->mWidth, 24);
    for (char key : {char(13), char(10), ' ', char(27)})
        hint->KeyChar(key);
    hint->KeyChar('a');
    EXPECT_EQ(app.answers, (std::vector<int>{3011, 3011, 3011, 3011}));

    app.RemoveDialog(1011);
    app.mHintsOn = false;
    app.ShowHintDialog("Another", "HINT");
    EXPECT_EQ(app.FindDialog(1011), nullptr);
}

TEST(LevelHints, TableByLevelIndex)
{
    EXPECT_TRUE(Zant::WinBTApp::LevelHintText(0).starts_with("Welcome to Plindor! Place your hands"));
    EXPECT_TRUE(Zant::WinBTApp::LevelHintText(0).ends_with("water!\n\n\n\n\n\n\n\n"));
    EXPECT_EQ(Zant::WinBTApp::LevelHintText(4), "Beware the toxic shark, with letters that mutate!\n");
    EXPECT_EQ(Zant::WinBTApp::LevelHintText(33), Zant::WinBTApp::LevelHintText(4));
    EXPECT_EQ(Zant::WinBTApp::LevelHintText(20), Zant::WinBTApp::LevelHintText(5));
    EXPECT_TRUE(Zant::WinBTApp::LevelHintText(22).starts_with("It's time for a game of memory!"));
    EXPECT_EQ(Zant::WinBTApp::LevelHintText(31), Zant::WinBTApp::LevelHintText(29));
    EXPECT_TRUE(Zant::WinBTApp::LevelHintText(35).starts_with("This is the last level!"));
    EXPECT_EQ(Zant::WinBTApp::LevelHintText(36), "");
    EXPECT_EQ(Zant::WinBTApp::LevelHintText(-1), "");
    for (int level = 0; level < 36; ++level)
        EXPECT_FALSE(Zant::WinBTApp::LevelHintText(level).empty()) << level;
}

// The player and start-depth lists: their lines, plain or under the mouse, read on
// the list's panel and on the selected line's bar.
TEST(DialogList, LinesReadOnThePanelAndOnTheSelection)
{
    Zant::DialogList list(nullptr, nullptr);
    enum { PANEL = 0, LINE = 2, LINE_UNDER_MOUSE = 3, SELECTION = 4 };
    for (int text : {LINE, LINE_UNDER_MOUSE})
        for (int ground : {PANEL, SELECTION})
            EXPECT_GE(TestSupport::ContrastRatio(list.GetColor(text).ToInt(), list.GetColor(ground).ToInt()),
                      TestSupport::LEGIBLE_CONTRAST)
                << "colour " << text << " on colour " << ground;
}
