#include "framework/widgets/ScrollbarWidget.h"

#include <algorithm>

#include "framework/graphics/Graphics.h"
#include "framework/widgets/ScrollbuttonWidget.h"
#include "framework/widgets/WidgetManager.h"

namespace Zant {

namespace {
constexpr Color kTrack(232, 232, 232);
constexpr Color kTrackPaging(48, 48, 48);
} // namespace

ScrollbarWidget::ScrollbarWidget(int id, ScrollListener* listener)
    : mUpButton(new ScrollbuttonWidget(0, this)), mDownButton(new ScrollbuttonWidget(1, this)), mId(id),
      mScrollListener(listener)
{
    SetPartsDisabled(true);
}

ScrollbarWidget::~ScrollbarWidget()
{
    // Normally the arrows left the manager with the bar; never leave it holding them.
    for (ScrollbuttonWidget* button : {mUpButton, mDownButton})
        if (button->mWidgetManager)
            button->mWidgetManager->RemoveWidget(button);
    delete mUpButton;
    delete mDownButton;
}

void ScrollbarWidget::SetPartsDisabled(bool disabled)
{
    SetDisabled(disabled);
    mUpButton->SetDisabled(disabled);
    mDownButton->SetDisabled(disabled);
}

void ScrollbarWidget::SetPartsVisible(bool visible)
{
    SetVisible(visible);
    mUpButton->SetVisible(visible);
    mDownButton->SetVisible(visible);
}

void ScrollbarWidget::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    manager->AddWidget(mUpButton);
    manager->AddWidget(mDownButton);
}

void ScrollbarWidget::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    manager->RemoveWidget(mUpButton);
    manager->RemoveWidget(mDownButton);
}

void ScrollbarWidget::SetInvisIfNoScroll(bool invisIfNoScroll)
{
    mInvisIfNoScroll = invisIfNoScroll;
    if (invisIfNoScroll)
        SetPartsVisible(false);
}

void ScrollbarWidget::SetMaxValue(double maxValue)
{
    mMaxValue = maxValue;
    ClampValue();
    MarkDirty();
}

void ScrollbarWidget::SetPageSize(double pageSize)
{
    mPageSize = pageSize;
    ClampValue();
    MarkDirty();
}

void ScrollbarWidget::SetValue(double value)
{
    mValue = value;
    ClampValue();
    if (mScrollListener)
        mScrollListener->ScrollPosition(mId, mValue);
    MarkDirty();
}

void ScrollbarWidget::SetHorizontal(bool horizontal)
{
    mHorizontal = horizontal;
    mUpButton->mHorizontal = horizontal;
    mDownButton->mHorizontal = horizontal;
}

void ScrollbarWidget::ResizeScrollbar(int x, int y, int w, int h)
{
    if (mHorizontal) {
        Resize(x + h, y, w - 2 * h, h);
        mUpButton->Resize(x, y, h, h);
        mDownButton->Resize(x + w - h, y, h, h);
    } else {
        Resize(x, y + w, w, h - 2 * w);
        mUpButton->Resize(x, y, w, w);
        mDownButton->Resize(x, y + h - w, w, w);
    }
}

bool ScrollbarWidget::AtBottom() { return mMaxValue - mPageSize - mValue < 1.0; }

void ScrollbarWidget::GoToBottom()
{
    mValue = mMaxValue - mPageSize;
    ClampValue();
    SetValue(mValue);
}

void ScrollbarWidget::ClampValue()
{
    const double old = mValue;
    if (mValue > mMaxValue - mPageSize)
        mValue = mMaxValue - mPageSize;
    if (!(mValue >= 0)) // also not-a-number
        mValue = 0;

    const bool canScroll = mPageSize < mMaxValue;
    SetPartsDisabled(!canScroll);
    if (mInvisIfNoScroll)
        SetPartsVisible(canScroll);

    if (mValue != old && mScrollListener)
        mScrollListener->ScrollPosition(mId, mValue);
}

int ScrollbarWidget::GetTrackSize() { return mHorizontal ? mWidth : mHeight; }

int ScrollbarWidget::GetThumbSize()
{
    if (mPageSize >= mMaxValue)
        return 0;
    const int size = static_cast<int>(GetTrackSize() * mPageSize / mMaxValue + 0.5);
    return std::max(MIN_THUMB_SIZE, size);
}

int ScrollbarWidget::GetThumbPosition()
{
    if (mPageSize >= mMaxValue)
        return 0;
    return static_cast<int>((GetTrackSize() - GetThumbSize()) * mValue / (mMaxValue - mPageSize) + 0.5);
}

void ScrollbarWidget::SetThumbPosition(int position)
{
    const int travel = GetTrackSize() - GetThumbSize();
    if (travel <= 0)
        return;
    SetValue((mMaxValue - mPageSize) * position / travel);
}

int ScrollbarWidget::ThumbCompare(int x, int y)
{
    const int c = mHorizontal ? x : y;
    const int position = GetThumbPosition();
    if (c < position)
        return -1;
    if (c >= position + GetThumbSize())
        return 1;
    return 0;
}

void ScrollbarWidget::DrawThumb(Graphics* g, int x, int y, int w, int h) { DrawScrollBevel(g, x, y, w, h); }

void ScrollbarWidget::Draw(Graphics* g)
{
    const int track = GetTrackSize();
    const int size = GetThumbSize();
    const int position = GetThumbPosition();
    const int after = position + size;

    g->SetColor(mUpdateMode == 1 ? kTrackPaging : kTrack);
    if (mHorizontal)
        g->FillRect(0, 0, position, mHeight);
    else
        g->FillRect(0, 0, mWidth, position);

    g->SetColor(mUpdateMode == 2 ? kTrackPaging : kTrack);
    if (mHorizontal)
        g->FillRect(after, 0, track - after, mHeight);
    else
        g->FillRect(0, after, mWidth, track - after);

    if (size > 0) {
        if (mHorizontal)
            DrawThumb(g, position, 0, size, mHeight);
        else
            DrawThumb(g, 0, position, mWidth, size);
    }
}

void ScrollbarWidget::Update()
{
    Widget::Update();
    if (mUpdateMode == 0)
        return;
    // Paging goes on until the thumb reaches the held mouse.
    const int side = mUpdateMode == 1 ? -1 : 1;
    if (ThumbCompare(mLastMouseX, mLastMouseY) != side) {
        mUpdateMode = 0;
        MarkDirty();
        return;
    }
    if (++mUpdateAcc >= REPEAT_DELAY) {
        SetValue(mValue + side * mPageSize);
        mUpdateAcc = REPEAT_DELAY - PAGE_REPEAT_PERIOD;
    }
}

void ScrollbarWidget::MouseDown(int x, int y, int clickCount)
{
    Widget::MouseDown(x, y, clickCount);
    if (mDisabled)
        return;
    mLastMouseX = x;
    mLastMouseY = y;
    switch (ThumbCompare(x, y)) {
    case -1:
        SetValue(mValue - mPageSize);
        mUpdateMode = 1;
        mUpdateAcc = 0;
        break;
    case 1:
        SetValue(mValue + mPageSize);
        mUpdateMode = 2;
        mUpdateAcc = 0;
        break;
    default:
        mPressedOnThumb = true;
        mMouseDownThumbPos = GetThumbPosition();
        mMouseDownX = x;
        mMouseDownY = y;
        break;
    }
    MarkDirty();
}

void ScrollbarWidget::MouseDrag(int x, int y)
{
    if (mDisabled)
        return;
    mLastMouseX = x;
    mLastMouseY = y;
    if (mPressedOnThumb)
        SetThumbPosition(mMouseDownThumbPos + (mHorizontal ? x - mMouseDownX : y - mMouseDownY));
}

void ScrollbarWidget::MouseUp(int x, int y)
{
    Widget::MouseUp(x, y);
    mUpdateMode = 0;
    mPressedOnThumb = false;
    MarkDirty();
}

void ScrollbarWidget::ButtonPress(int id)
{
    mButtonAcc = 0;
    SetValue(mValue + (id == 0 ? -1.0 : 1.0));
}

void ScrollbarWidget::ButtonDownTick(int id)
{
    if (++mButtonAcc >= REPEAT_DELAY) {
        SetValue(mValue + (id == 0 ? -1.0 : 1.0));
        mButtonAcc = REPEAT_DELAY - 1;
    }
}

} // namespace Zant
