// The game's own dialogs in a real X window (a private Xvfb server), with the
// program's pictures and fonts: every text must stay inside its frame and clear of
// the buttons. Each is compared with its reference picture in this folder.
#include <gtest/gtest.h>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/ScrollbarWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/AbyssModeDialog.h"
#include "game/shell/DeleteUserDialog.h"
#include "game/shell/DifficultyDialog.h"
#include "game/shell/HintDialog.h"
#include "game/shell/NewUserDialog.h"
#include "game/shell/SelectUserDialog.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "platform/SettingsStore.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

const char* const ASSESS_TEXT =
    "Would you like to take a short test to measure your typing skill in Words Per Minute?\n\nThis will be used to "
    "recommend a difficulty level for you. You can take the test over again later if you like.\n\n\n\n\n";

// The lowest edge of the dialog's text may not reach its first button.
void ExpectTextAboveButtons(WinBTApp& app, int id, int textBottom)
{
    Dialog* dialog = app.FindDialog(id);
    ASSERT_NE(dialog, nullptr) << id;
    ASSERT_NE(dialog->mYesButton, nullptr) << id;
    EXPECT_LT(dialog->mY + textBottom, dialog->mYesButton->mY) << id;
}

// Where the dialog's lines end, as its own layout writes them.
int LinesBottom(Dialog* dialog)
{
    Graphics measure(nullptr);
    measure.SetFont(dialog->mLinesFont);
    std::string lines = dialog->mDialogLines;
    lines.erase(lines.find_last_not_of('\n') + 1);
    const int top = dialog->mContentInsets.mTop + dialog->mHeaderFont->GetHeight() + dialog->mSpaceAfterHeader;
    const int width = dialog->mWidth - dialog->mContentInsets.mLeft - dialog->mContentInsets.mRight - 4;
    return top + dialog->GetWordWrappedHeight(&measure, width, lines);
}

// Deep water behind the dialogs, repainted wherever a removed dialog stood.
class Backdrop : public Widget {
public:
    void Draw(Graphics* g) override
    {
        g->SetColor(Color(11, 30, 58));
        g->FillRect(0, 0, mWidth, mHeight);
    }
};

// The backdrop and a settings store for the profiles, for the scenario's length
// however it ends.
class Stage {
public:
    explicit Stage(WinBTApp& app) : mApp(app), mManager(app.mWidgetManager)
    {
        mStore.CreateKey("SOFTWARE\\Vorlix\\Plindor");
        Platform::SetSettingsStore(&mStore);
        mBackdrop.Resize(0, 0, 640, 480);
        mManager->AddWidget(&mBackdrop);
    }
    ~Stage()
    {
        mManager->RemoveWidget(&mBackdrop);
        // The profiles are written nowhere once the store is gone.
        mApp.mCurProfile = nullptr;
        Platform::SetSettingsStore(nullptr);
    }

private:
    WinBTApp& mApp;
    WidgetManager* mManager;
    Platform::SettingsStore mStore;
    Backdrop mBackdrop;
};

void Remove(WinBTApp& app, int id)
{
    app.RemoveDialog(id);
    app.FlushWidgetDeletions();
}

void Scenario(WinBTApp& app, const TestSupport::ShootFunction& shoot)
{
    Stage stage(app);
    app.mFontRockwell13 = new ImageFont(&app, "data/Rockwell13.txt");
    app.mFontRockwell13Bold = new ImageFont(&app, "data/Rockwell13Bold.txt");
    ASSERT_TRUE(static_cast<ImageFont*>(app.mFontRockwell13)->IsLoaded());
    // Start-up loads the dialogs' pictures after the loading step's.
    for (int index = WinBTApp::NUM_LOADED_IMAGES; index < WinBTApp::NUM_IMAGES; ++index)
        app.SetImage(index, app.LoadImageFile(std::string("images\\") + WinBTApp::IMAGE_NAMES[index]));
    app.mProfileMgr = new UserProfileMgr(&app);
    UserProfile* ann = nullptr;
    for (const char* name : {"Ann", "Bartholomew", "Cy"}) {
        auto* profile = new UserProfile(&app);
        profile->mName = name;
        profile->SetUserNumber(app.mProfileMgr->GetFreeUserNumber());
        app.mProfileMgr->AddUserProfile(profile);
        ann = ann ? ann : profile;
    }
    app.mProfileMgr->RegisterDefaultUserName("Ann");
    app.mCurProfile = ann;
    ann->mBestDepth = 1250;
    ann->mWpm[0] = 45; // recommends Hard

    app.DoMessageDialog("NAME CONFLICT", "The name you entered already exists.\nTry entering a unique player name.", "",
                        false);
    ExpectTextAboveButtons(app, 500, LinesBottom(app.FindDialog(500)));
    shoot("message.png");
    Remove(app, 500);

    app.DoMessageDialog2("ASSESS WPM?", ASSESS_TEXT, "", false, "YES", "NO");
    Dialog* question = app.FindDialog(500);
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(question->mDialogFooter.empty());
    ExpectTextAboveButtons(app, 500, LinesBottom(question));
    shoot("question.png");
    Remove(app, 500);

    app.mHintsOn = true;
    app.ShowHintDialog(WinBTApp::LevelHintText(0), "HINT");
    auto* hint = dynamic_cast<HintDialog*>(app.FindDialog(HintDialog::ID));
    ASSERT_NE(hint, nullptr);
    EXPECT_LT(hint->mY + LinesBottom(hint), hint->mCheckbox->mY);
    shoot("hint.png");
    Remove(app, HintDialog::ID);

    app.ButtonDepress(100); // the menu's adventure button, with no saved game
    ASSERT_NE(app.FindDialog(DifficultyDialog::DIALOG_ID), nullptr);
    shoot("difficulty.png");
    Remove(app, DifficultyDialog::DIALOG_ID);

    app.ShowAbyssModeDialog();
    // Every start fits the list: no bare scroll strip stands beside it.
    auto* abyss = dynamic_cast<AbyssModeDialog*>(app.FindDialog(AbyssModeDialog::DIALOG_ID));
    ASSERT_NE(abyss, nullptr);
    EXPECT_FALSE(abyss->mScrollbar->mVisible);
    shoot("abyss-start.png");
    Remove(app, AbyssModeDialog::DIALOG_ID);

    app.ShowSelectUserDialog();
    shoot("select-user.png");
    Remove(app, SelectUserDialog::DIALOG_ID);

    app.ShowNewUserDialog(WinBTApp::NEW_USER_PROMPT);
    shoot("new-user.png");
    Remove(app, NewUserDialog::DIALOG_ID);

    // A full roster, with a name as long as the name box takes.
    app.ShowDeleteUserDialog({"Ann", "Bartholomew", "Cy", "Wilhelmina Higginbotham", "Zed"});
    shoot("delete-user.png");
    Remove(app, DeleteUserDialog::DIALOG_ID);

    app.NoWindowedModeMessage();
    ExpectTextAboveButtons(app, 779, LinesBottom(app.FindDialog(779)));
    shoot("no-windowed-mode.png");
    Remove(app, 779);

}

} // namespace

TEST(GameDialogsScreen, TextsStayInsideTheirDialogs)
{
    const std::string skipped = TestSupport::RunGameScreens("dialogs", 2026, Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
