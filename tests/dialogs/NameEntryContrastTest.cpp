// The name a new player types must be legible: drawn with the program's own edit box
// picture and font, the typed letters stand out from the box's field by at least the
// contrast that body text needs.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/ImageFont.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/NewUserDialog.h"
#include "game/shell/WinBTApp.h"
#include "tests/support/Contrast.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

TEST(NameEntry, TheTypedNameStandsOutFromTheEditBox)
{
    if (!std::filesystem::exists(TestSupport::GameDir() + "/images/editbox.png"))
        GTEST_SKIP() << "the art is not built in " << TestSupport::GameDir();
    TestSupport::ScreenOptions options;
    options.headless = true;
    options.settingsStore = true;
    const std::string skipped = TestSupport::RunScreenTest(
        [](TestSupport::ScreenSession& session) {
            auto app = std::make_unique<TestSupport::QuietApp>();
            app->SetWindowSystem(&session.Windows());
            app->mWidgetManager = new WidgetManager(app.get());
            app->mLoadingThreadCompleted = true;
            ASSERT_NE(session.ShowWindow(*app), nullptr);
            app->mFontRockwell13 = new ImageFont(app.get(), "data/Rockwell13.txt");
            app->mFontRockwell13Bold = new ImageFont(app.get(), "data/Rockwell13Bold.txt");
            ASSERT_TRUE(static_cast<ImageFont*>(app->mFontRockwell13)->IsLoaded());
            for (int index = WinBTApp::NUM_LOADED_IMAGES; index < WinBTApp::NUM_IMAGES; ++index)
                app->SetImage(index, app->LoadImageFile(std::string("images\\") + WinBTApp::IMAGE_NAMES[index]));
            app->SetImage(NewUserDialog::IMAGE_EDITBOX, app->LoadImageFile("images\\editbox"));

            app->ShowNewUserDialog(WinBTApp::NEW_USER_PROMPT);
            auto* dialog = dynamic_cast<NewUserDialog*>(app->FindDialog(NewUserDialog::DIALOG_ID));
            ASSERT_NE(dialog, nullptr);
            const std::string name = "Wilhelmina";
            for (char c : name)
                app->mWidgetManager->KeyChar(c);
            ASSERT_EQ(dialog->GetName(), name);

            const ImageLib::Image frame = session.DrawFrame(*app, "new-user-name.png");
            TestSupport::SaveShot(frame, "dialogs", "new-user-name.png");
            // The letters only: the caret after them is drawn in the selection colour.
            const EditWidget& edit = *dialog->mEditWidget;
            const int textWidth = app->mFontRockwell13->StringWidth(name);
            uint32_t field = 0;
            const double contrast =
                TestSupport::ContrastOnField(frame, edit.mX + 4, edit.mY, textWidth, edit.mHeight, &field);
            EXPECT_GE(contrast, 4.5) << "field " << std::hex << field;
            std::printf("the typed name stands out %.1f:1 from its field %06x\n", contrast, field);
            app->RemoveDialog(NewUserDialog::DIALOG_ID);
            app->FlushWidgetDeletions();
        },
        options);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
