#include "framework/widgets/Dialog.h"

#include <algorithm>

#include "framework/app/ZantApp.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ControlFont.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"

namespace Zant {

const std::string DIALOG_YES_STRING = "YES";
const std::string DIALOG_NO_STRING = "NO";
const std::string DIALOG_OK_STRING = "OK";
const std::string DIALOG_CANCEL_STRING = "CANCEL";

namespace {

// lo wins when the range is empty (a dialog larger than the screen).
int ClampLow(int value, int lo, int hi) { return std::max(lo, std::min(hi, value)); }

// How far a dialog may be dragged past each screen edge.
constexpr int DRAG_MARGIN = 8;

} // namespace

Dialog::Dialog(Image* componentImage, Image* buttonImage, int dialogId, bool isModal, const std::string& header,
               const std::string& lines, const std::string& footer, int buttonMode)
    : mComponentImage(componentImage), mButtonImage(buttonImage), mDialogHeader(header), mDialogFooter(footer),
      mDialogLines(lines), mButtonMode(buttonMode), mId(dialogId), mIsModal(isModal)
{
    mHasTransparencies = true;
    mHasAlpha = true;
    mColors = {Color(255, 255, 255), Color(255, 255, 0), Color(255, 255, 255), Color(255, 255, 255),
               Color(255, 255, 255)};

    switch (buttonMode) {
    case BUTTONS_YES_NO:
    case BUTTONS_OK_CANCEL:
        mYesButton = new DialogButton(buttonImage, dialogId + ID_YES, this);
        mNoButton = new DialogButton(buttonImage, dialogId + ID_NO, this);
        mYesButton->mLabel = buttonMode == BUTTONS_YES_NO ? DIALOG_YES_STRING : DIALOG_OK_STRING;
        mNoButton->mLabel = buttonMode == BUTTONS_YES_NO ? DIALOG_NO_STRING : DIALOG_CANCEL_STRING;
        break;
    case BUTTONS_FOOTER:
        mYesButton = new DialogButton(buttonImage, dialogId + ID_YES, this);
        mYesButton->mLabel = footer;
        break;
    default:
        break;
    }
}

Dialog::~Dialog()
{
    // Normally the buttons left the manager with the dialog; never leave it holding them.
    for (DialogButton* button : {mYesButton, mNoButton})
        if (button && button->mWidgetManager)
            button->mWidgetManager->RemoveWidget(button);
    delete mYesButton;
    delete mNoButton;
    delete mHeaderFont;
    delete mLinesFont;
}

void Dialog::SetButtonFont(Font* font)
{
    for (DialogButton* button : {mYesButton, mNoButton})
        if (button)
            button->SetFont(font);
}

void Dialog::SetHeaderFont(Font* font)
{
    delete mHeaderFont;
    mHeaderFont = font ? font->Duplicate() : nullptr;
    MarkDirty();
}

void Dialog::SetLinesFont(Font* font)
{
    delete mLinesFont;
    mLinesFont = font ? font->Duplicate() : nullptr;
    MarkDirty();
}

bool Dialog::IsModal() { return mIsModal; }

void Dialog::EnsureFonts()
{
    if (!mHeaderFont)
        mHeaderFont = CreateControlFont(14);
    if (!mLinesFont)
        mLinesFont = CreateControlFont(12);
}

ButtonListener* Dialog::Application() { return mWidgetManager ? mWidgetManager->mApp : nullptr; }

void Dialog::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    // After the dialog, so the buttons lie above it.
    for (DialogButton* button : {mYesButton, mNoButton})
        if (button)
            manager->AddWidget(button);
}

void Dialog::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    for (DialogButton* button : {mYesButton, mNoButton})
        if (button)
            manager->RemoveWidget(button);
}

void Dialog::SetColor(int index, const Color& color)
{
    Widget::SetColor(index, color);
    if (index != 3 && index != 4)
        return;
    for (DialogButton* button : {mYesButton, mNoButton})
        if (button)
            button->SetColor(index - 3, color);
}

void Dialog::Resize(int x, int y, int width, int height)
{
    Widget::Resize(x, y, width, height);
    const int bh = mButtonImage ? mButtonImage->GetHeight() : 0;
    const int by = mY + mHeight - mContentInsets.mBottom - mBackgroundInsets.mBottom - bh;
    if (mYesButton && mNoButton) {
        const int bw = (mWidth - mContentInsets.mRight - mBackgroundInsets.mRight - 2 * mButtonSidePadding -
                        mButtonHorzSpacing - mContentInsets.mLeft - mBackgroundInsets.mLeft) /
                       2;
        const int bx = mX + mButtonSidePadding + mContentInsets.mLeft + mBackgroundInsets.mLeft;
        mYesButton->Resize(bx, by, bw, bh);
        mNoButton->Resize(bx + bw + mButtonHorzSpacing, by, bw, bh);
    } else if (mYesButton) {
        mYesButton->Resize(mX + mBackgroundInsets.mLeft + mContentInsets.mLeft, by,
                           mWidth - mContentInsets.mLeft - mContentInsets.mRight - mBackgroundInsets.mLeft -
                               mBackgroundInsets.mRight,
                           bh);
    }
}

int Dialog::LinesWidth(int width) const
{
    return width - mContentInsets.mRight - mContentInsets.mLeft - mBackgroundInsets.mLeft -
           mBackgroundInsets.mRight - 4;
}

int Dialog::GetPreferredHeight(int width)
{
    EnsureFonts();
    int height = mContentInsets.mTop + mContentInsets.mBottom + mBackgroundInsets.mTop + mBackgroundInsets.mBottom;
    bool somethingAbove = false;
    if (!mDialogHeader.empty()) {
        height += mHeaderFont->GetHeight() - mHeaderFont->GetAscentPadding();
        somethingAbove = true;
    }
    if (!mDialogLines.empty()) {
        if (somethingAbove)
            height += mSpaceAfterHeader;
        Graphics measure(nullptr);
        measure.SetFont(mLinesFont);
        height += GetWordWrappedHeight(&measure, LinesWidth(width), mDialogLines,
                                       mLinesFont->GetLineSpacing() + mLineSpacingOffset);
        somethingAbove = true;
    }
    if (!mDialogFooter.empty() && mButtonMode != BUTTONS_FOOTER) {
        if (somethingAbove)
            height += 8;
        height += mHeaderFont->GetLineSpacing();
        somethingAbove = true;
    }
    if (mYesButton) {
        if (somethingAbove)
            height += 8;
        height += 8 + (mButtonImage ? mButtonImage->GetHeight() : 0);
    }
    return height;
}

void Dialog::Draw(Graphics* g)
{
    EnsureFonts();
    g->DrawImageBox(Rect(mBackgroundInsets.mLeft, mBackgroundInsets.mTop,
                         mWidth - mBackgroundInsets.mLeft - mBackgroundInsets.mRight,
                         mHeight - mBackgroundInsets.mTop - mBackgroundInsets.mBottom),
                    mComponentImage);

    int y = mContentInsets.mTop + mBackgroundInsets.mTop;
    // Where the drawn content ends; the footer goes below it, as the preferred
    // height counts it.
    int reached = y;
    bool somethingAbove = false;
    if (!mDialogHeader.empty()) {
        y += mHeaderFont->GetAscent() - mHeaderFont->GetAscentPadding();
        g->SetFont(mHeaderFont);
        g->SetColor(GetColor(0));
        DrawCenteredLine(g, y, mDialogHeader);
        y += mHeaderFont->GetHeight() - mHeaderFont->GetAscent();
        reached = y;
        y += mSpaceAfterHeader;
        somethingAbove = true;
    }

    if (!mDialogLines.empty()) {
        g->SetFont(mLinesFont);
        g->SetColor(GetColor(1));
        const Rect area(mContentInsets.mLeft + 2 + mBackgroundInsets.mLeft, y, LinesWidth(mWidth), 0);
        reached = y + WriteWordWrapped(g, area, mDialogLines, mLinesFont->GetLineSpacing() + mLineSpacingOffset,
                                       mTextAlign);
        somethingAbove = true;
    }

    if (!mDialogFooter.empty() && mButtonMode != BUTTONS_FOOTER) {
        g->SetFont(mHeaderFont);
        g->SetColor(GetColor(2));
        DrawCenteredLine(g, reached + (somethingAbove ? 8 : 0) + mHeaderFont->GetLineSpacing(), mDialogFooter);
    }
}

void Dialog::MouseDown(int x, int y, int clickCount)
{
    Widget::MouseDown(x, y, clickCount);
    // Only a single left click picks the dialog up.
    if (clickCount != 1)
        return;
    if (gZantApp)
        gZantApp->SelectCursor(CURSOR_DRAGGING);
    mDragging = true;
    mDragMouseX = x;
    mDragMouseY = y;
}

void Dialog::MouseDrag(int x, int y)
{
    if (!mDragging || !mWidgetManager)
        return;
    const int screenWidth = mWidgetManager->mWidth;
    const int screenHeight = mWidgetManager->mHeight;
    int nx = mX - mDragMouseX + x;
    int ny = mY - mDragMouseY + y;
    nx = ClampLow(nx, -DRAG_MARGIN, screenWidth - mWidth + DRAG_MARGIN);
    ny = ClampLow(ny, -DRAG_MARGIN, screenHeight - mHeight + DRAG_MARGIN);
    mDragMouseX = ClampLow(mX - nx + x, DRAG_MARGIN, mWidth - DRAG_MARGIN - 1);
    mDragMouseY = ClampLow(mY - ny + y, DRAG_MARGIN, mHeight - DRAG_MARGIN - 1);
    Move(nx, ny);
}

void Dialog::MouseUp(int x, int y)
{
    Widget::MouseUp(x, y);
    if (!mDragging)
        return;
    if (gZantApp)
        gZantApp->SelectCursor(CURSOR_POINTER);
    mDragging = false;
}

void Dialog::ButtonPress(int id)
{
    if (!IsOwnAnswer(id))
        return;
    if (ButtonListener* app = Application())
        app->ButtonPress(id);
}

void Dialog::ButtonDepress(int id)
{
    if (!IsOwnAnswer(id))
        return;
    if (ButtonListener* app = Application())
        app->ButtonDepress(id);
}

void Dialog::ButtonDownTick(int id)
{
    if (!IsOwnAnswer(id))
        return;
    if (ButtonListener* app = Application())
        app->ButtonDownTick(id);
}

} // namespace Zant
