// The options dialog: where its controls lie, what the sliders change at once, what
// DONE applies (and to whom), the hardware box's capability answers and the
// credits box.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/graphics/D3DTester.h"
#include "framework/graphics/DDInterface.h"
#include "framework/sound/DSoundManager.h"
#include "framework/sound/MusicInterface.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/Slider.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/OptionsDialog.h"
#include "game/shell/SoundSlider.h"
#include "game/shell/TypingTutor.h"
#include "game/profile/UserProfile.h"
#include "game/shell/WinBTApp.h"
#include "platform/display/FakeScreen.h"
#include "tests/options/DialogParts.h"
#include "tests/support/AppFixture.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

using OptionsTest::LineFont;
using OptionsTest::Picture;

class FakeMusic : public MusicInterface {
public:
    void SetVolume(double volume) override { volumes.push_back(volume); }
    std::vector<double> volumes;
};

class OptionsApp : public WinBTApp {
public:
    void SwitchScreenMode(bool windowed, bool is3D) override
    {
        switches.emplace_back(windowed, is3D);
        mIsWindowed = windowed;
    }
    void PlaySound(int id) override { sounds.push_back(id); }
    bool OpenWebPage(const std::string& url, bool quitAfterOpen) override
    {
        pages.push_back(url);
        return true;
    }
    std::vector<std::pair<bool, bool>> switches;
    std::vector<int> sounds;
    std::vector<std::string> pages;
};

class OptionsDialogTest : public ::testing::Test {
protected:
    OptionsDialogTest()
    {
        app().SetImage(IMAGE_DIALOG, Picture(320, 300));
        app().SetImage(IMAGE_DBUTTON, Picture(90, 30));
        app().SetImage(44, Picture(48, 25));
        app().SetImage(45, Picture(20, 30));
        app().SetImage(46, Picture(30, 20));
        app().mFontRockwell13 = new LineFont();
        app().mFontRockwell13Bold = new LineFont();
    }
    ~OptionsDialogTest() override
    {
        fixture.app.reset();
        delete gGameRandom;
        gGameRandom = nullptr;
    }
    OptionsApp& app() { return *fixture.app; }
    OptionsDialog* Open()
    {
        app().ShowOptionsDialog();
        return dynamic_cast<OptionsDialog*>(app().FindDialog(OptionsDialog::ID));
    }
    // A display whose 3D test gave this answer.
    void Give3DTest(const std::string& failure, const std::string& warning)
    {
        app().mDDInterface = new DDInterface(&app(), std::make_unique<Platform::FakeScreen>());
        app().mDDInterface->mD3DTester = new D3DTester(nullptr);
        app().mDDInterface->mD3DTester->mFailureReason = failure;
        app().mDDInterface->mD3DTester->mWarning = warning;
    }
    UserProfile* GiveProfile(bool spacePauses)
    {
        profile = std::make_unique<UserProfile>(&app());
        profile->mName = "Ann";
        profile->mSpacePauses = spacePauses;
        app().mCurProfile = profile.get();
        return profile.get();
    }
    static Rect Bounds(const Widget* w) { return Rect(w->mX, w->mY, w->mWidth, w->mHeight); }

    TestSupport::AppFixture<OptionsApp> fixture;
    std::unique_ptr<UserProfile> profile;
};

void ExpectRect(const Rect& got, const Rect& want, const char* what)
{
    EXPECT_EQ(got.x, want.x) << what;
    EXPECT_EQ(got.y, want.y) << what;
    EXPECT_EQ(got.width, want.width) << what;
    EXPECT_EQ(got.height, want.height) << what;
}

} // namespace

TEST_F(OptionsDialogTest, ControlsLieWhereThePlayerExpectsThem)
{
    OptionsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ExpectRect(Bounds(dialog), Rect(110, 3, 420, 474), "dialog");
    EXPECT_EQ(dialog->mSpaceAfterHeader, 30);
    EXPECT_EQ(dialog->mDialogHeader, "OPTIONS");
    ASSERT_NE(dialog->mYesButton, nullptr);
    EXPECT_EQ(dialog->mYesButton->mLabel, "DONE");
    EXPECT_EQ(dialog->mYesButton->mId, 2778);
    const int doneY = dialog->mYesButton->mY;
    EXPECT_EQ(doneY, 3 + 474 - 40 - 30);

    const struct {
        const Widget* widget;
        Rect where;
        const char* what;
    } cases[] = {
        {dialog->mMusicSlider, Rect(262, 81, 228, 32), "music slider"},
        {dialog->mSfxSlider, Rect(262, 113, 228, 32), "effects slider"},
        {dialog->mFullscreenCheckbox, Rect(158, 151, 36, 37), "full screen"},
        {dialog->mEffectsCheckbox, Rect(158, 185, 36, 37), "effects"},
        {dialog->mCustomCursorsCheckbox, Rect(158, 219, 36, 37), "custom cursors"},
        {dialog->mSpacePausesCheckbox, Rect(158, 253, 36, 37), "space bar"},
        {dialog->mHardwareCheckbox, Rect(158, 287, 36, 37), "hardware"},
        // No "NumOptionsLinks" property: one link, so the two buttons share the row.
        {dialog->mLinkButton, Rect(150, doneY - 42, 167, 36), "link"},
        {dialog->mCreditsButton, Rect(150 + 6 + 167, doneY - 42, 167, 36), "credits"},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.widget, nullptr) << c.what;
        ExpectRect(Bounds(c.widget), c.where, c.what);
        EXPECT_EQ(c.widget->mWidgetManager, app().mWidgetManager) << c.what << " goes with the dialog";
    }
    EXPECT_EQ(dialog->mHardwareCheckbox->mId, OptionsDialog::HARDWARE_CHECKBOX_ID);
}

TEST_F(OptionsDialogTest, CheckBoxesStandEvenlySpaced)
{
    OptionsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    const Checkbox* const boxes[] = {dialog->mFullscreenCheckbox, dialog->mEffectsCheckbox,
                                     dialog->mCustomCursorsCheckbox, dialog->mSpacePausesCheckbox,
                                     dialog->mHardwareCheckbox};
    const int step = boxes[1]->mY - boxes[0]->mY;
    EXPECT_GE(step, boxes[0]->mHeight - 3);
    for (size_t i = 1; i < std::size(boxes); ++i)
        EXPECT_EQ(boxes[i]->mY - boxes[i - 1]->mY, step) << "box " << i;
}

TEST_F(OptionsDialogTest, WithoutLinksTheCreditsButtonFillsTheRow)
{
    app().StoreIntProperty("NumOptionsLinks", 0);
    OptionsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->mLinkButton, nullptr);
    ExpectRect(Bounds(dialog->mCreditsButton), Rect(150, dialog->mYesButton->mY - 42, 2 * 167 + 6, 36), "credits");
}

TEST_F(OptionsDialogTest, BoxesStartFromTheCurrentSettings)
{
    GiveProfile(true);
    app().mIsWindowed = false;
    app().mEffectsOn = true;
    app().mCustomCursorsEnabled = false;
    OptionsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->mFullscreenCheckbox->IsChecked());
    EXPECT_TRUE(dialog->mEffectsCheckbox->IsChecked());
    EXPECT_FALSE(dialog->mCustomCursorsCheckbox->IsChecked());
    EXPECT_TRUE(dialog->mSpacePausesCheckbox->IsChecked());
    EXPECT_FALSE(dialog->mHardwareCheckbox->IsChecked()) << "no display runs in 3D";
    EXPECT_FALSE(dialog->mSpacePausesCheckbox->mDisabled);
}

TEST_F(OptionsDialogTest, VolumesChangeWhileTheSlidersMoveAndTheEffectSliderPlaysOnRelease)
{
    auto* music = new FakeMusic();
    app().mMusicInterface = music;
    app().mSoundManager = new DSoundManager(std::unique_ptr<Platform::AudioDevice>());
    app().SetMusicVolume(0.8);
    app().SetSfxVolume(0.8);
    OptionsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_DOUBLE_EQ(dialog->mMusicSlider->mVal, 0.8);

    dialog->SliderVal(OptionsDialog::MUSIC_SLIDER_ID, 0.25);
    EXPECT_DOUBLE_EQ(app().GetMusicVolume(), 0.25);
    ASSERT_FALSE(music->volumes.empty());
    EXPECT_DOUBLE_EQ(music->volumes.back(), 0.25) << "the music's gain changes before DONE";

    dialog->SliderVal(OptionsDialog::SFX_SLIDER_ID, 0.4);
    EXPECT_DOUBLE_EQ(app().GetSfxVolume(), 0.4);
    EXPECT_DOUBLE_EQ(app().mSoundManager->GetMasterVolume(), 0.4) << "the effects' gain changes before DONE";

    // Dragging the effect slider's thumb: the sound plays only when it is let go.
    SoundSlider* sfx = dialog->mSfxSlider;
    app().sounds.clear();
    const int thumb = sfx->GetThumbX() + 2;
    sfx->MouseDown(thumb, 16, 1);
    sfx->MouseDrag(thumb - 40, 16);
    EXPECT_TRUE(app().sounds.empty());
    EXPECT_LT(sfx->mVal, 0.8);
    EXPECT_DOUBLE_EQ(app().mSoundManager->GetMasterVolume(), sfx->mVal) << "the drag reaches the mixer";
    sfx->MouseUp(thumb - 40, 16);
    EXPECT_EQ(app().sounds, std::vector<int>{OptionsDialog::SFX_PREVIEW_SOUND});
    EXPECT_TRUE(app().switches.empty()) << "nothing else changed before DONE";
}

TEST_F(OptionsDialogTest, DoneAppliesTheBoxes)
{
    struct Case {
        const char* name;
        bool fullscreen, effects, cursors, spacePauses;
        bool fullScreenForced;
        bool withProfile;
        // What DONE does:
        bool switchesMode; // else the no-windowed-mode message
    };
    const Case cases[] = {
        {"all on", true, true, true, true, false, true, true},
        {"all off", false, false, false, false, false, true, true},
        {"window asked where none can be had", false, true, false, true, true, true, false},
        {"full screen where no window can be had", true, false, true, false, true, true, true},
        {"no current player", false, true, true, true, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app().switches.clear();
        app().mFullScreenForced = c.fullScreenForced;
        app().mCurProfile = nullptr;
        UserProfile* player = c.withProfile ? GiveProfile(!c.spacePauses) : nullptr;
        OptionsDialog* dialog = Open();
        ASSERT_NE(dialog, nullptr);
        dialog->mFullscreenCheckbox->SetChecked(c.fullscreen);
        dialog->mEffectsCheckbox->SetChecked(c.effects);
        dialog->mCustomCursorsCheckbox->SetChecked(c.cursors);
        dialog->mSpacePausesCheckbox->SetChecked(c.spacePauses);

        app().ButtonDepress(2778);
        app().FlushWidgetDeletions();

        EXPECT_EQ(app().FindDialog(OptionsDialog::ID), nullptr);
        EXPECT_EQ(app().mOptionsDialog, nullptr);
        if (c.switchesMode) {
            ASSERT_EQ(app().switches.size(), 1u);
            EXPECT_EQ(app().switches[0], std::make_pair(!c.fullscreen, false));
            EXPECT_EQ(app().FindDialog(779), nullptr);
        } else {
            EXPECT_TRUE(app().switches.empty());
            EXPECT_NE(app().FindDialog(779), nullptr) << "the no-windowed-mode message";
            app().RemoveDialog(779);
        }
        EXPECT_EQ(app().mEffectsOn, c.effects);
        EXPECT_EQ(app().mCustomCursorsEnabled, c.cursors);
        bool stored3D = true;
        EXPECT_TRUE(app().ReadRegistryBool("Is3D", stored3D));
        EXPECT_FALSE(stored3D) << "the display's mode is kept in the settings store";
        if (player != nullptr) {
            EXPECT_EQ(player->mSpacePauses, c.spacePauses);
            bool stored = !c.spacePauses;
            EXPECT_TRUE(app().ReadRegistryBool("Users\\Ann\\SpacePauses", stored));
            EXPECT_EQ(stored, c.spacePauses);
        }
        app().FlushWidgetDeletions();
    }
}

TEST_F(OptionsDialogTest, HardwareBoxFollowsTheCapabilityTest)
{
    struct Case {
        const char* name;
        std::string failure, warning;
        bool staysChecked;
        const char* message; // header of the message shown, or null
    };
    const Case cases[] = {
        {"unsupported", "no renderer", "", false, "Not Supported"},
        {"supported, not recommended", "", "little video memory", true, "Warning"},
        {"recommended", "", "", true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Give3DTest(c.failure, c.warning);
        OptionsDialog* dialog = Open();
        ASSERT_NE(dialog, nullptr);
        dialog->mHardwareCheckbox->MouseDown(5, 5, 1);
        EXPECT_EQ(dialog->mHardwareCheckbox->IsChecked(), c.staysChecked);
        Dialog* message = app().FindDialog(500);
        if (c.message == nullptr) {
            EXPECT_EQ(message, nullptr);
        } else {
            ASSERT_NE(message, nullptr);
            EXPECT_EQ(message->mDialogHeader, c.message);
            app().RemoveDialog(500);
        }
        // Unchecking asks nothing.
        if (dialog->mHardwareCheckbox->IsChecked()) {
            dialog->mHardwareCheckbox->MouseDown(5, 5, 1);
            EXPECT_EQ(app().FindDialog(500), nullptr);
        }
        app().RemoveDialog(OptionsDialog::ID);
        app().mOptionsDialog = nullptr;
        app().FlushWidgetDeletions();
        delete app().mDDInterface;
        app().mDDInterface = nullptr;
    }
}

TEST_F(OptionsDialogTest, SpaceBarBoxIsLockedOnlyWhileTheTutorIsOpen)
{
    GiveProfile(false);
    OptionsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->mSpacePausesCheckbox->mDisabled);
    app().ButtonDepress(2778);
    app().FlushWidgetDeletions();

    TestSupport::TempDir lessons;
    app().mTypingTutor = new TypingTutor(&app(), lessons.Path());
    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->mSpacePausesCheckbox->mDisabled);
    EXPECT_TRUE(dialog->SpacePauseLocked());
    // A click on a disabled box does not reach it.
    app().mWidgetManager->MouseDown(dialog->mSpacePausesCheckbox->mX + 5, dialog->mSpacePausesCheckbox->mY + 5, 1);
    EXPECT_FALSE(dialog->mSpacePausesCheckbox->IsChecked());
}

TEST_F(OptionsDialogTest, ButtonsClickOpenTheLinkAndTheCredits)
{
    OptionsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    app().sounds.clear();
    dialog->ButtonPress(OptionsDialog::LINK_BUTTON_ID);
    EXPECT_EQ(app().sounds, std::vector<int>{SOUND_BUTTONCLICK});
    dialog->ButtonDepress(OptionsDialog::LINK_BUTTON_ID);
    EXPECT_EQ(app().pages, std::vector<std::string>{OptionsDialog::HOME_PAGE});

    dialog->ButtonDepress(OptionsDialog::CREDITS_BUTTON_ID);
    Dialog* credits = app().FindDialog(OptionsDialog::CREDITS_ID);
    ASSERT_NE(credits, nullptr);
    EXPECT_EQ(credits->mDialogHeader, "CREDITS");
    ExpectRect(Bounds(credits), Rect(130, 110, 380, 330), "credits box");
    EXPECT_EQ(credits->mTextAlign, -1);
    ASSERT_NE(credits->mYesButton, nullptr);
    EXPECT_EQ(credits->mYesButton->mId, 2780);
    app().ButtonDepress(2780);
    EXPECT_EQ(app().FindDialog(OptionsDialog::CREDITS_ID), nullptr);
    EXPECT_NE(app().FindDialog(OptionsDialog::ID), nullptr) << "the options stay open";

    // Credits left open go with the options.
    dialog->ButtonDepress(OptionsDialog::CREDITS_BUTTON_ID);
    app().ButtonDepress(2778);
    app().FlushWidgetDeletions();
    EXPECT_EQ(app().FindDialog(OptionsDialog::CREDITS_ID), nullptr);
    EXPECT_EQ(app().CountDialogs(), 0);
}

TEST_F(OptionsDialogTest, MenuButtonOpensOneDialogAndCountsIt)
{
    app().ButtonDepress(107);
    app().ButtonDepress(107);
    EXPECT_NE(app().FindDialog(OptionsDialog::ID), nullptr);
    EXPECT_EQ(app().mOpenDialogCount, 1);
    EXPECT_EQ(app().mWidgetManager->mFocusWidget, app().mOptionsDialog);
}
