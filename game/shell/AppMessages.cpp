// The game's message boxes, questions and level hints, dressed in the game's look.
#include <algorithm>

#include "framework/graphics/Font.h"
#include "framework/graphics/Image.h"
#include "framework/util/StringUtil.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/common/Config.h"
#include "game/play/StatusBar.h"
#include "game/shell/HintDialog.h"
#include "game/shell/KeyDialog.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {

constexpr int MESSAGE_DIALOG_ID = 500;
constexpr int NO_WINDOWED_MODE_ID = 779;
constexpr int IMAGE_CHECKED = 44;
constexpr int SOUND_HINT_BUTTON = 5;
constexpr int ABYSS_SAVE_STEP_FEET = 400;

const char* const LEVEL_HINTS[] = {
    /* 0 */ "Welcome to Plindor! Place your hands on the keyboard and type the words on the sharks as they appear. "
            "The progress bar on the bottom is how full your Dozav Odaziz is. It fills up over time by itself. "
            "When it is full, press ENTER to blast the sharks out of the water!\n\n\n\n\n\n\n\n",
    /* 1 */ "Piranha attack! Type the letter on their side to blast them out of the water.\n",
    /* 2 */ "Turbo stealth sharks stalk these waters. Their words are hidden until they get close to you.\n",
    /* 3 */ "Watch out for the hammerhead sharks. After you type the word on their side, another one appears. "
            "Also, watch for bonus jellyfish! Type the words on these harmless creatures to gain extra zapper "
            "charges.\n\n\n\n\n",
    /* 4 */ "Beware the toxic shark, with letters that mutate!\n",
    /* 5 */ nullptr,
    /* 6 */ "Stealth piranha? These tricky fish try to hide their letter from you.\n",
    /* 7 */ "Turbo stealth sharks stalk these waters. Their words are hidden until they get close to you. Also, "
            "watch for bonus jellyfish! Type the words on these harmless creatures to gain extra zapper "
            "charges.\n\n\n\n\n",
    /* 8 */ "Watch out for the hammerhead sharks. After you type the word on their side, another one "
            "appears.\n\n",
    /* 9 */ "The piranha in these waters are tougher than usual. You'll have to blast them twice! Also, watch for "
            "bonus jellyfish. Type the words on these harmless creatures to gain extra zapper charges.\n\n\n\n\n",
    /* 10 */ nullptr,
    /* 11 */ "Watch out for the stealth sharks and deadly piranha, as well as the ghost sharks with gibberish on "
             "their sides!\n\n",
    /* 12 */ "Hammerhead sharks and strong piranha are twice as hard as their blue brethren. Also, beware the "
             "spooky ghost shark with gibberish on its side.\n\n\n",
    /* 13 */ "Tiger sharks are even tougher than hammerhead sharks. You have to type not 1, nor 2, but 3 words to "
             "defeat them!\n\n",
    /* 14 */ "Watch out for toxic sharks, with letters that mutate and stealth piranha!\n\n",
    /* 15 */ nullptr,
    /* 16 */ nullptr,
    /* 17 */ "Stealth hammerhead sharks! These monsters keep their words hidden until they are partially across "
             "the screen.\n\n",
    /* 18 */ nullptr,
    /* 19 */ "Ghost sharks have gibberish on their sides. Tiger sharks are even tougher than hammerheads. And the "
             "strong piranha take an extra blast!\n\n\n",
    /* 20 */ nullptr,
    /* 21 */ "Be careful, some of these stealth piranha are twice as strong!\n",
    /* 22 */ nullptr,
    /* 23 */ nullptr,
    /* 24 */ "Watch out for the ghost sharks, with gibberish on their sides!\n",
    /* 25 */ "Beware the stealthy hammerhead sharks and strong piranha!\n",
    /* 26 */ nullptr,
    /* 27 */ nullptr,
    /* 28 */ "Beware the toxic shark, with letters that mutate, and the stealth tiger sharks who are even harder "
             "than the hammerheads!\n\n\n",
    /* 29 */ "Stealth tiger sharks! These monsters keep their words hidden until they are partially across the "
             "screen. It takes 3 words to kill them.\n\n\n",
    /* 30 */ nullptr,
    /* 31 */ nullptr,
    /* 32 */ "Watch out for stealth hammerheads, as well as ghost sharks with gibberish on their sides!\n\n",
    /* 33 */ nullptr,
    /* 34 */ "You've almost made it. Another level after this and victory is at hand!\n",
    /* 35 */ "This is the last level! (Or is it?) Fight your way to the bottom to become the master of "
             "Plindor!\n\n\n",
};

// Levels that share a hint with an earlier one.
int HintSource(int level)
{
    switch (level) {
    case 33: return 4;
    case 18: case 20: case 22: return 5;
    case 15: case 26: return 8;
    case 10: return 9;
    case 16: case 27: return 13;
    case 23: return 17;
    case 30: case 31: return 29;
    default: return level;
    }
}

const char* const CLAM_HINT = "It's time for a game of memory! Type the letter on a clam below to open it. Find two "
                              "pearls in a row to make a match and win the secret item! Make two matches for "
                              "extra bonus points.\n\n\n\n\n";

// The height a dialog needs to show its header, its text and its buttons at this
// width. Blank lines ending the text are left out: they only size the box by their
// count, and a text that wraps into more lines than it breaks must not run into the
// buttons.
int TextFitHeight(Dialog* dialog, int width)
{
    std::string& lines = dialog->mDialogLines;
    const std::string full = lines;
    lines.erase(lines.find_last_not_of('\n') + 1);
    const int height = dialog->Dialog::GetPreferredHeight(width);
    lines = full;
    return height;
}

} // namespace

std::string WinBTApp::LevelHintText(int levelIndex)
{
    if (levelIndex < 0 || levelIndex >= static_cast<int>(std::size(LEVEL_HINTS)))
        return "";
    const int source = HintSource(levelIndex);
    return source == 5 ? CLAM_HINT : LEVEL_HINTS[source];
}

int WinBTApp::CentredDialogTop(int height) const
{
    // Least room left between a dialog and the status bar below it.
    constexpr int STATUS_BAR_CLEARANCE = 4;
    int barTop = mHeight;
    if (mStatusBar != nullptr)
        barTop = mStatusBar->mY;
    else if (mBoard != nullptr)
        if (Image* bar = GetImage(IMAGE_STATUSBARX))
            barTop -= bar->GetHeight();
    return std::max(0, std::min(mHeight / 2 - height / 2, barTop - STATUS_BAR_CLEARANCE - height));
}

void WinBTApp::DressDialog(Dialog* dialog)
{
    dialog->SetHeaderFont(mFontRockwell13Bold);
    dialog->SetLinesFont(mFontRockwell13);
    dialog->SetButtonFont(mFontRockwell13);
    dialog->mSpaceAfterHeader = 25;
    dialog->mContentInsets = Insets{40, 20, 40, 40};
    for (int colour : {3, 0, 1, 2})
        dialog->SetColor(colour, LIGHT_FACE_CAPTION);
    // The buttons' caption under the mouse: left white, it would fade on the light face
    // just as the player reads it to click.
    dialog->SetColor(4, LIGHT_FACE_CAPTION_OVER);
    dialog->mHasAlpha = true;
    for (DialogButton* button : {dialog->mYesButton, dialog->mNoButton})
        if (button != nullptr)
            button->mHasAlpha = true;
}

void WinBTApp::DressLightButton(DialogButton* button)
{
    if (mFontRockwell13 != nullptr)
        button->SetFont(mFontRockwell13);
    button->SetColor(0, LIGHT_FACE_CAPTION);
    button->SetColor(1, LIGHT_FACE_CAPTION_OVER);
}

KeyDialog* WinBTApp::MakeMessageDialog(const std::string& header, const std::string& lines,
                                       const std::string& footer, bool joinLines, int buttonMode)
{
    // Only one message dialog exists: a question it replaces is withdrawn unanswered.
    if (mMessageDialog != nullptr && FindDialog(MESSAGE_DIALOG_ID) == mMessageDialog) {
        mQuitPending = mWpmTestPending = mEndGamePending = mContinuePending = mDeleteUserPending = false;
        --mOpenDialogCount;
    }
    ++mOpenDialogCount;
    const int newlines = static_cast<int>(std::count(lines.begin(), lines.end(), '\n'));
    std::string text = lines;
    if (joinLines) {
        std::replace(text.begin(), text.end(), '\n', ' ');
        text += '\n';
    }
    Image* frame = GetImage(IMAGE_DIALOG);
    const int frameWidth = frame ? frame->GetWidth() : 0;
    const int frameHeight = frame ? frame->GetHeight() : 0;
    const int lineHeight = mFontRockwell13 ? mFontRockwell13->GetHeight() : 0;
    const int width = frameWidth + 10;

    // The single button reads "OK" when no caption is given; a question's buttons
    // carry their own captions, so it keeps no footer line under its text.
    const bool single = buttonMode == BUTTONS_FOOTER;
    auto* dialog = new KeyDialog(this, frame, GetImage(IMAGE_DBUTTON), MESSAGE_DIALOG_ID, true, header, text,
                                 single && footer.empty() ? std::string("OK") : footer, buttonMode);
    mMessageDialog = dialog;
    DressDialog(dialog);
    const int height = std::max(frameHeight / 2 + lineHeight * newlines, TextFitHeight(dialog, width));
    dialog->Resize(mWidth / 2 - width / 2, CentredDialogTop(height), width, height);
    if (mBoard != nullptr)
        mBoard->Pause(true);
    return dialog;
}

void WinBTApp::ShowGameDialog(int id, Dialog* dialog)
{
    AddDialog(id, dialog);
    if (mWidgetManager != nullptr)
        mWidgetManager->SetFocus(dialog);
}

void WinBTApp::DoMessageDialog(const std::string& header, const std::string& lines, const std::string& footer,
                               bool joinLines)
{
    KeyDialog* dialog = MakeMessageDialog(header, lines, footer, joinLines, BUTTONS_FOOTER);
    dialog->mUseKeys = true;
    dialog->RemoveKey(27);
    dialog->AddKey(27);
    dialog->AddKey(' ');
    ShowGameDialog(MESSAGE_DIALOG_ID, dialog);
}

void WinBTApp::DoMessageDialog2(const std::string& header, const std::string& lines, const std::string& footer,
                                bool joinLines, const std::string& yesCaption, const std::string& noCaption)
{
    KeyDialog* dialog = MakeMessageDialog(header, lines, footer, joinLines, BUTTONS_YES_NO);
    dialog->mUseKeys = true;
    if (dialog->mYesButton != nullptr)
        dialog->mYesButton->mLabel = yesCaption;
    if (dialog->mNoButton != nullptr)
        dialog->mNoButton->mLabel = noCaption;
    ShowGameDialog(MESSAGE_DIALOG_ID, dialog);
}

void WinBTApp::ShowHintDialog(const std::string& text, const std::string& header)
{
    if (!mHintsOn)
        return;
    ++mOpenDialogCount;
    Image* frame = GetImage(IMAGE_DIALOG);
    Image* checked = GetImage(IMAGE_CHECKED);
    auto* dialog = new HintDialog(this, checked, HintDialog::ID, header, text, "Click here or press space", frame,
                                  GetImage(IMAGE_DBUTTON));
    mHintDialog = dialog;
    DressDialog(dialog);
    dialog->mSoundId = SOUND_HINT_BUTTON;

    const int newlines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    const int lineHeight = mFontRockwell13 ? mFontRockwell13->GetHeight() : 0;
    const int width = frame ? frame->GetWidth() : 0;
    const int formulaHeight = (frame ? frame->GetHeight() / 2 : 0) + (checked ? checked->GetHeight() : 0) +
                              lineHeight * newlines + 35;
    // The check box stands a button's height and 20 pixels above the button: the text
    // ends above it.
    const int buttonHeight = dialog->mButtonImage ? dialog->mButtonImage->GetHeight() : 0;
    const int height = std::max(formulaHeight, TextFitHeight(dialog, width) + buttonHeight + 12);
    dialog->Resize(mWidth / 2 - width / 2, CentredDialogTop(height), width, height);
    if (mBoard != nullptr)
        mBoard->Pause(true);
    ShowGameDialog(HintDialog::ID, dialog);
}

void WinBTApp::ShowLevelHint()
{
    if (mConfig == nullptr)
        return;
    if (mConfig->IsAbyssMode()) {
        // A dive from the surface is welcomed. By the hint's moment the descent has
        // counted feet already: the depth the dive started at decides.
        if (mBoard == nullptr || mBoard->mStartDepth == 0)
            ShowHintDialog(FormatString("Welcome to abyss mode! There is no end to how far you can dive. The deeper "
                                        "you go, the harder the fish get. Your progress is automatically saved every "
                                        "%dft and you can resume diving at your last depth.\n\n\n\n\n",
                                        ABYSS_SAVE_STEP_FEET),
                           "HINT");
        return;
    }
    const std::string text = LevelHintText(mConfig->GetLevel());
    if (!text.empty())
        ShowHintDialog(text, "HINT");
}

void WinBTApp::NoWindowedModeMessage()
{
    if (mBoard != nullptr)
        mBoard->Pause(true);
    ++mOpenDialogCount;
    Dialog* dialog = ShowDialog(NO_WINDOWED_MODE_ID, true, "No Windowed Mode",
                                "Windowed mode is only available if your desktop is running in either 16 bit or 32 "
                                "bit color mode, which it is not.",
                                "OK", BUTTONS_FOOTER);
    if (dialog != nullptr)
        DressDialog(dialog);
}

} // namespace Zant
