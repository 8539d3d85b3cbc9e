// The game's message boxes, questions and hints hold a text that wraps into more
// lines than it breaks: the box grows so that the text ends above its buttons (and
// above the hint's check box), and a question shows no footer line of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/HintDialog.h"
#include "game/shell/WinBTApp.h"

using namespace Zant;

namespace {

// Every character 7 pixels wide, lines 16 high: about 35 characters a line in a
// message box drawn from a 320-pixel frame.
class SevenPixelFont : public Font {
public:
    SevenPixelFont()
    {
        mHeight = 16;
        mAscent = 12;
    }
    int StringWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
    int CharWidth(char) override { return 7; }
    Font* Duplicate() override { return new SevenPixelFont(*this); }
};

MemoryImage* Picture(int width, int height)
{
    auto* image = new MemoryImage();
    image->Create(width, height);
    return image;
}

// Where the dialog's text ends, relative to the dialog, as its layout writes it.
int TextBottom(Dialog* dialog)
{
    Graphics measure(nullptr);
    measure.SetFont(dialog->mLinesFont);
    std::string lines = dialog->mDialogLines;
    lines.erase(lines.find_last_not_of('\n') + 1);
    const int width = dialog->mWidth - dialog->mContentInsets.mLeft - dialog->mContentInsets.mRight - 4;
    return dialog->mContentInsets.mTop + dialog->mHeaderFont->GetHeight() + dialog->mSpaceAfterHeader +
           dialog->GetWordWrappedHeight(&measure, width, lines);
}

class GameMessageFit : public ::testing::Test {
protected:
    GameMessageFit()
    {
        app.mWidgetManager = new WidgetManager(&app);
        app.SetImage(IMAGE_DIALOG, Picture(320, 300));
        app.SetImage(IMAGE_DBUTTON, Picture(90, 30));
        app.SetImage(44, Picture(48, 25));
        app.mFontRockwell13 = new SevenPixelFont();
        app.mFontRockwell13Bold = new SevenPixelFont();
    }
    WinBTApp app;
};

const std::string LONG_TEXT = "This line runs on without a single break in it, so the box must make room for every "
                              "line the words wrap into before it reaches the buttons.";

TEST_F(GameMessageFit, TextsThatWrapPastTheirBreaksEndAboveTheButtons)
{
    struct Case {
        const char* name;
        bool question;
        std::string text;
    } cases[] = {
        {"message without breaks", false, LONG_TEXT},
        {"question without breaks", true, LONG_TEXT},
        {"question with trailing breaks", true, LONG_TEXT + "\n\n" + LONG_TEXT + "\n\n\n"},
        {"short message", false, "one\ntwo\nthree\n"},
    };
    for (const Case& c : cases) {
        if (c.question)
            app.DoMessageDialog2("ASK", c.text, "", false, "YES", "NO");
        else
            app.DoMessageDialog("TELL", c.text, "", false);
        Dialog* box = app.FindDialog(500);
        ASSERT_NE(box, nullptr) << c.name;
        // Never smaller than the frame's half and a line per break.
        const int breaks = static_cast<int>(std::count(c.text.begin(), c.text.end(), '\n'));
        EXPECT_GE(box->mHeight, 150 + 16 * breaks) << c.name;
        EXPECT_LT(box->mY + TextBottom(box), box->mYesButton->mY) << c.name;
        // A question's buttons carry the captions: no "OK" line under the text.
        EXPECT_EQ(box->mDialogFooter, c.question ? "" : "OK") << c.name;
        EXPECT_EQ(box->mYesButton->mLabel, c.question ? "YES" : "OK") << c.name;
    }
    app.DoMessageDialog("TELL", "one\ntwo\nthree\n", "", false);
    EXPECT_EQ(app.FindDialog(500)->mHeight, 198); // the frame's rule where the text fits
}

TEST_F(GameMessageFit, AHintThatWrapsEndsAboveItsCheckBox)
{
    app.mHintsOn = true;
    app.ShowHintDialog(LONG_TEXT + "\n", "HINT");
    auto* hint = dynamic_cast<HintDialog*>(app.FindDialog(HintDialog::ID));
    ASSERT_NE(hint, nullptr);
    EXPECT_LT(hint->mY + TextBottom(hint), hint->mCheckbox->mY);
    EXPECT_GT(hint->mHeight, 150 + 25 + 16 + 35);
}

} // namespace
