#include "game/shell/OptionsDialog.h"

#include <iterator>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/Slider.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/SoundSlider.h"
#include "game/profile/UserProfile.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {

constexpr int IMAGE_CHECKED = 44;
constexpr int IMAGE_SLIDERANCHOR = 45;
constexpr int IMAGE_SLIDER = 46;
// A check box's cell picture sits in the box's top left corner; the box takes clicks
// over its label's first letters too.
constexpr int BOX_WIDTH = 36;
constexpr int BOX_HEIGHT = 37;
constexpr int BOX_X = 48;
constexpr int LABEL_X = 36;
constexpr int LABEL_Y = 17;
// Top of the first box below the dialog's top edge, and the even step down to each
// next one: full screen, effects, custom cursors, space bar, hardware acceleration.
constexpr int BOX_TOP = 148;
constexpr int BOX_STEP = 34;
constexpr int MUSIC_SLIDER_Y = 78;
constexpr int SFX_SLIDER_Y = 110;
constexpr int SLIDER_X = 152;
constexpr int SLIDER_HEIGHT = 32;
constexpr int BUTTON_ROW_HEIGHT = 36;
constexpr int BUTTON_ROW_ABOVE_DONE = 42;
constexpr int BUTTON_GAP = 6;

const Color BLACK(0, 0, 0);
const Color GREY(128, 128, 128);

} // namespace

const char* const OptionsDialog::HOME_PAGE = "http://www.vorlix.example/";

const char* const OptionsDialog::CREDITS_TEXT = "Game Design: Vorlix Studio\n"
                                                "Programming: The Plindor team\n"
                                                "Art: The Plindor team\n"
                                                "Music and Sound: The Plindor team\n"
                                                "Word Lists: The Plindor team\n"
                                                "Testing: Our players\n"
                                                "\n\n\n";

OptionsDialog::OptionsDialog(WinBTApp* app)
    : Dialog(app->GetImage(IMAGE_DIALOG), app->GetImage(IMAGE_DBUTTON), ID, true, "OPTIONS", "", "DONE",
             BUTTONS_FOOTER),
      mApp(app)
{
    Image* track = app->GetImage(IMAGE_SLIDER);
    Image* thumb = app->GetImage(IMAGE_SLIDERANCHOR);
    mMusicSlider = new Slider(track, thumb, MUSIC_SLIDER_ID, this);
    mMusicSlider->SetValue(app->GetMusicVolume());
    mSfxSlider = new SoundSlider(track, thumb, SFX_SLIDER_ID, this, SFX_PREVIEW_SOUND, app);
    mSfxSlider->SetValue(app->GetSfxVolume());

    if (app->LookupIntProperty("NumOptionsLinks", 1) > 0) {
        mLinkButton = new DialogButton(app->GetImage(IMAGE_DBUTTON), LINK_BUTTON_ID, this);
        mLinkButton->mLabel = "Visit Our Web Site";
        mLinkButton->SetFont(app->mFontRockwell13);
        mLinkButton->mHasAlpha = true;
    }
    mCreditsButton = new DialogButton(app->GetImage(IMAGE_DBUTTON), CREDITS_BUTTON_ID, this);
    mCreditsButton->mLabel = "Credits";
    mCreditsButton->SetFont(app->mFontRockwell13);
    mCreditsButton->mHasAlpha = true;

    // Without a current player the dialog still opens; the space-bar box then shows
    // the default and applies to nobody.
    const UserProfile* profile = app->mCurProfile;
    mFullscreenCheckbox = MakeCheckbox(0, !app->mIsWindowed);
    mEffectsCheckbox = MakeCheckbox(0, app->mEffectsOn);
    mSpacePausesCheckbox = MakeCheckbox(0, profile != nullptr && profile->mSpacePauses);
    mCustomCursorsCheckbox = MakeCheckbox(0, app->mCustomCursorsEnabled);
    mHardwareCheckbox = MakeCheckbox(HARDWARE_CHECKBOX_ID, app->Is3D());
    mSpacePausesCheckbox->SetDisabled(SpacePauseLocked());

    app->DressDialog(this);
    if (mYesButton != nullptr)
        mYesButton->mHasAlpha = true;
}

OptionsDialog::~OptionsDialog()
{
    // The credits box belongs to this dialog's visit. At shutdown the application
    // deletes every dialog itself (and is walking its dialog map).
    if (!mApp->mShutdown)
        mApp->RemoveDialog(CREDITS_ID);
    for (Widget* child : Children()) {
        if (child->mWidgetManager != nullptr)
            child->mWidgetManager->RemoveWidget(child);
        delete child;
    }
}

Checkbox* OptionsDialog::MakeCheckbox(int id, bool checked)
{
    Image* cells = mApp->GetImage(IMAGE_CHECKED);
    auto* box = new Checkbox(cells, cells, id, this);
    if (cells != nullptr) {
        const int cell = cells->GetWidth() / 2;
        box->mUncheckedRect = Rect(0, 0, cell, cells->GetHeight());
        box->mCheckedRect = Rect(cell, 0, cell, cells->GetHeight());
    }
    // Set directly: the listener hears only the player's clicks.
    box->mChecked = checked;
    box->mHasAlpha = true;
    return box;
}

std::vector<Widget*> OptionsDialog::Children() const
{
    std::vector<Widget*> children{mMusicSlider, mSfxSlider};
    if (mLinkButton != nullptr)
        children.push_back(mLinkButton);
    children.insert(children.end(), {mCreditsButton, mFullscreenCheckbox, mEffectsCheckbox, mCustomCursorsCheckbox,
                                     mSpacePausesCheckbox, mHardwareCheckbox});
    return children;
}

bool OptionsDialog::SpacePauseLocked() const { return mApp->mTypingTutor != nullptr; }

void OptionsDialog::AddedToManager(WidgetManager* manager)
{
    Dialog::AddedToManager(manager);
    for (Widget* child : Children())
        manager->AddWidget(child);
}

void OptionsDialog::RemovedFromManager(WidgetManager* manager)
{
    Dialog::RemovedFromManager(manager);
    for (Widget* child : Children())
        manager->RemoveWidget(child);
}

void OptionsDialog::SetColor(int index, const Color& color)
{
    Dialog::SetColor(index, color);
    // Its own buttons take the caption colours as the dialog's pair does: 3 as
    // they stand, 4 under the mouse.
    if (index != 3 && index != 4)
        return;
    for (DialogButton* button : {mLinkButton, mCreditsButton})
        if (button != nullptr)
            button->SetColor(index - 3, color);
}

void OptionsDialog::Resize(int x, int y, int width, int height)
{
    Dialog::Resize(x, y, width, height);
    const int content = mWidth - mContentInsets.mLeft - mContentInsets.mRight;
    const int half = (content - BUTTON_GAP) / 2;
    const int doneY = mYesButton != nullptr ? mYesButton->mY : mY + mHeight - mContentInsets.mBottom;
    const int rowY = doneY - BUTTON_ROW_ABOVE_DONE;
    const int left = mX + mContentInsets.mLeft;
    if (mLinkButton != nullptr) {
        mLinkButton->Resize(left, rowY, half, BUTTON_ROW_HEIGHT);
        mCreditsButton->Resize(left + BUTTON_GAP + half, rowY, half, BUTTON_ROW_HEIGHT);
    } else {
        mCreditsButton->Resize(left, rowY, 2 * half + BUTTON_GAP, BUTTON_ROW_HEIGHT);
    }
    mMusicSlider->Resize(mX + SLIDER_X, mY + MUSIC_SLIDER_Y, mWidth - 192, SLIDER_HEIGHT);
    mSfxSlider->Resize(mX + SLIDER_X, mY + SFX_SLIDER_Y, mWidth - 192, SLIDER_HEIGHT);
    Checkbox* const boxes[] = {mFullscreenCheckbox, mEffectsCheckbox, mCustomCursorsCheckbox, mSpacePausesCheckbox,
                               mHardwareCheckbox};
    for (size_t i = 0; i < std::size(boxes); ++i)
        boxes[i]->Resize(mX + BOX_X, mY + BOX_TOP + static_cast<int>(i) * BOX_STEP, BOX_WIDTH, BOX_HEIGHT);
}

void OptionsDialog::Draw(Graphics* g)
{
    Dialog::Draw(g);
    Font* font = mApp->mFontRockwell13;
    if (font == nullptr)
        return;
    g->SetFont(font);
    g->SetColor(BLACK);
    g->DrawString("Music", 48, 98);
    g->DrawString("Sound Fx", 48, 130);
    const struct {
        const Checkbox* box;
        const char* label;
        bool grey;
    } labels[] = {
        {mFullscreenCheckbox, "Fullscreen", false},
        {mEffectsCheckbox, "Enable Fx (may slow down game)", false},
        {mCustomCursorsCheckbox, "Custom Cursors", false},
        {mSpacePausesCheckbox, "Space bar pauses game", SpacePauseLocked()},
        {mHardwareCheckbox, "Hardware Acceleration", false},
    };
    for (const auto& label : labels) {
        g->SetColor(label.grey ? GREY : BLACK);
        g->DrawString(label.label, label.box->mX - mX + LABEL_X, label.box->mY - mY + LABEL_Y);
    }
}

void OptionsDialog::ButtonPress(int id) { mApp->PlaySound(SOUND_BUTTONCLICK); }

void OptionsDialog::ButtonDepress(int id)
{
    Dialog::ButtonDepress(id);
    if (id == LINK_BUTTON_ID) {
        mApp->OpenWebPage(HOME_PAGE, false);
    } else if (id == CREDITS_BUTTON_ID) {
        Dialog* credits = mApp->ShowDialog(CREDITS_ID, true, "CREDITS", CREDITS_TEXT, "OK", BUTTONS_FOOTER);
        if (credits == nullptr)
            return;
        credits->mContentInsets = Insets{40, 20, 40, 30};
        credits->mSpaceAfterHeader = 32;
        credits->mTextAlign = -1;
        credits->Resize(mApp->mWidth / 2 - 190, 110, 380, 330);
        if (mWidgetManager != nullptr)
            mWidgetManager->SetFocus(credits);
    }
}

void OptionsDialog::SliderVal(int id, double value)
{
    if (id == MUSIC_SLIDER_ID)
        mApp->SetMusicVolume(value);
    else if (id == SFX_SLIDER_ID)
        mApp->SetSfxVolume(value);
}

void OptionsDialog::CheckboxChecked(int id, bool checked)
{
    if (id != HARDWARE_CHECKBOX_ID || !checked)
        return;
    if (!mApp->Is3DSupported()) {
        mHardwareCheckbox->mChecked = false;
        mHardwareCheckbox->MarkDirty();
        mApp->DoMessageDialog("Not Supported",
                              "Hardware Acceleration cannot be enabled on this computer. Your video card does not "
                              "meet the minimum requirements for this game.\n\n\n\n\n",
                              "OK", false);
    } else if (!mApp->Is3DRecommended()) {
        mApp->DoMessageDialog("Warning",
                              "Your video card may not fully support this feature. If you experience slower "
                              "performance, please disable Hardware Acceleration.\n\n\n\n\n",
                              "OK", false);
    }
}

} // namespace Zant
