#include "game/shell/DifficultyDialog.h"

#include "framework/graphics/Color.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/profile/UserProfile.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {
constexpr int IMAGE_DBUTTON_HILIGHT = 227;
constexpr int BUTTON_HEIGHT = 40;
constexpr int BUTTON_TOPS[DifficultyDialog::NUM_DIFFICULTIES] = {65, 110, 155, 200, 245};
const char* const CAPTIONS[DifficultyDialog::NUM_DIFFICULTIES] = {"Easy", "Normal", "Hard", "Expert", "X-Treme!"};

int FontHeight(Font* font) { return font != nullptr ? font->GetHeight() : 0; }

// The recommended difficulty: a button like the others, ringed by the highlight
// frame. Only the frame's edge is laid over it, so that its warm inside does not
// dull the button's blue.
class HighlightedButton : public DialogButton {
public:
    HighlightedButton(Image* highlight, Image* plate, int id, ButtonListener* listener)
        : DialogButton(plate, id, listener), mHighlight(highlight)
    {
    }
    void Draw(Graphics* g) override
    {
        DialogButton::Draw(g);
        if (mBtnNoDraw || mHighlight == nullptr)
            return;
        const Rect strips[] = {Rect(0, 0, mWidth, RING), Rect(0, mHeight - RING, mWidth, RING),
                               Rect(0, RING, RING, mHeight - 2 * RING),
                               Rect(mWidth - RING, RING, RING, mHeight - 2 * RING)};
        for (const Rect& strip : strips) {
            Graphics edge(*g);
            edge.ClipRect(strip);
            edge.DrawImageBox(Rect(0, 0, mWidth, mHeight), mHighlight);
        }
    }

private:
    // How far in from the button's edge the highlight frame's ring reaches.
    static constexpr int RING = 4;
    Image* mHighlight;
};
} // namespace

DifficultyDialog::DifficultyDialog(WinBTApp* app)
    : KeyDialog(app, app->GetImage(IMAGE_DIALOG), app->GetImage(IMAGE_DBUTTON), DIALOG_ID, true, "DIFFICULTY", "",
                "Cancel", BUTTONS_FOOTER),
      mFont(app->mFontRockwell13), mApp(app)
{
    mUseKeys = true;
    app->DressDialog(this);
    mRecommended = RecommendedDifficulty(app->mCurProfile != nullptr ? app->mCurProfile->GetAverageWpm() : 0);
    Image* plate = app->GetImage(IMAGE_DBUTTON);
    for (int i = 0; i < NUM_DIFFICULTIES; ++i) {
        Image* highlight = app->GetImage(IMAGE_DBUTTON_HILIGHT);
        auto* button = i == mRecommended && highlight != nullptr
                           ? new HighlightedButton(highlight, plate, FIRST_BUTTON_ID + i, app)
                           : new DialogButton(plate, FIRST_BUTTON_ID + i, app);
        button->mLabel = CAPTIONS[i];
        // Dark captions on the light face, as on every dialog button; the
        // recommended one is set apart by its ring.
        app->DressLightButton(button);
        button->mHasAlpha = true;
        mButtons[i] = button;
    }
    mEasyButton = mButtons[0];
    mNormalButton = mButtons[1];
    mHardButton = mButtons[2];
    mExpertButton = mButtons[3];
    mXtremeButton = mButtons[4];
}

DifficultyDialog::~DifficultyDialog()
{
    for (DialogButton*& button : mButtons) {
        if (mWidgetManager != nullptr && mWidgetManager->HasWidget(button))
            mWidgetManager->RemoveWidget(button);
        delete button;
        button = nullptr;
    }
}

int DifficultyDialog::RecommendedDifficulty(int averageWpm)
{
    if (averageWpm < 30)
        return 0;
    if (averageWpm < 40)
        return 1;
    if (averageWpm < 60)
        return 2;
    if (averageWpm < 80)
        return 3;
    return 4;
}

int DifficultyDialog::GetPreferredHeight(int width) { return 2 * FontHeight(mFont) + 385; }

void DifficultyDialog::Resize(int x, int y, int width, int height)
{
    KeyDialog::Resize(x, y, width, height);
    const int labelRoom = 2 * FontHeight(mFont);
    for (int i = 0; i < NUM_DIFFICULTIES; ++i) {
        const int top = mY + BUTTON_TOPS[i] + (i >= mRecommended ? labelRoom : 0);
        mButtons[i]->Resize(mX + mContentInsets.mLeft, top, mWidth - mContentInsets.mLeft - mContentInsets.mRight,
                            BUTTON_HEIGHT);
    }
}

void DifficultyDialog::Draw(Graphics* g)
{
    KeyDialog::Draw(g);
    g->SetFont(mFont);
    g->SetColor(Color(0, 0, 0));
    g->DrawString("Recommended difficulty:", mContentInsets.mLeft + 4,
                  (mButtons[mRecommended]->mY - mY) - FontHeight(mFont) + 13);
}

void DifficultyDialog::AddedToManager(WidgetManager* manager)
{
    KeyDialog::AddedToManager(manager);
    for (DialogButton* button : mButtons)
        manager->AddWidget(button);
}

void DifficultyDialog::RemovedFromManager(WidgetManager* manager)
{
    KeyDialog::RemovedFromManager(manager);
    for (DialogButton* button : mButtons)
        if (manager->HasWidget(button))
            manager->RemoveWidget(button);
}

} // namespace Zant
