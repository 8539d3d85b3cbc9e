#include "framework/widgets/WidgetManager.h"

#include <algorithm>

#include "framework/app/ZantApp.h"
#include "framework/app/AppServices.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/CursorWidget.h"
#include "framework/widgets/Widget.h"
#include "platform/Clock.h"

namespace Zant {

WidgetManager::WidgetManager(ZantApp* app) : mApp(app)
{
    mUpdateIterator = mWidgets.end();
    mCursorWidget = new CursorWidget();
}

WidgetManager::~WidgetManager()
{
    delete mCursorWidget;
    DeleteBackBuffer();
}

std::list<Widget*>::iterator WidgetManager::Find(const Widget* w)
{
    return std::find(mWidgets.begin(), mWidgets.end(), w);
}

std::list<Widget*>::const_iterator WidgetManager::Find(const Widget* w) const
{
    return std::find(mWidgets.begin(), mWidgets.end(), w);
}

bool WidgetManager::HasWidget(const Widget* w) const { return w && Find(w) != mWidgets.end(); }

void WidgetManager::Unlink(std::list<Widget*>::iterator it)
{
    if (it == mUpdateIterator) {
        ++mUpdateIterator;
        mUpdateIteratorModified = true;
    }
    mWidgets.erase(it);
}

void WidgetManager::AddWidget(Widget* w)
{
    if (!w)
        return;
    if (!HasWidget(w)) {
        mWidgets.push_back(w);
        w->AddedToManager(this);
        MarkDirty(w);
    }
    if (mShowCursorWidget && w != mCursorWidget)
        BringToFront(mCursorWidget);
    RehupMouse();
}

void WidgetManager::RemoveWidget(Widget* w)
{
    auto it = Find(w);
    if (it == mWidgets.end())
        return;
    MarkDirtyFull(w);
    Unlink(it);
    ForgetWidget(w);
    w->RemovedFromManager(this);
}

void WidgetManager::RemovePopupWidget()
{
    if (mPopupWidget) {
        RemoveWidget(mPopupWidget);
        mPopupWidget = nullptr;
    }
}

void WidgetManager::BringToFront(Widget* w)
{
    auto it = Find(w);
    if (it == mWidgets.end())
        return;
    Unlink(it);
    mWidgets.push_back(w);
    w->OrderInManagerChanged();
    if (mShowCursorWidget && w != mCursorWidget)
        BringToFront(mCursorWidget);
}

void WidgetManager::BringToBack(Widget* w)
{
    auto it = Find(w);
    if (it == mWidgets.end())
        return;
    Unlink(it);
    mWidgets.push_front(w);
    w->OrderInManagerChanged();
}

void WidgetManager::PutBehind(Widget* w, Widget* ref)
{
    auto it = Find(w);
    if (it == mWidgets.end())
        return;
    Unlink(it);
    auto at = Find(ref);
    mWidgets.insert(at, w); // end() when ref is absent: on top
    w->OrderInManagerChanged();
}

bool WidgetManager::IsBelow(const Widget* w, const Widget* ref) const
{
    for (const Widget* v : mWidgets) {
        if (v == w)
            return true;
        if (ref && v == ref)
            return false;
    }
    return false;
}

void WidgetManager::SetFocus(Widget* w)
{
    if (mFocusWidget)
        mFocusWidget->LostFocus();
    if (HasWidget(w)) {
        mFocusWidget = w;
        if (mHasFocus)
            w->GotFocus();
    } else {
        mFocusWidget = nullptr;
    }
}

void WidgetManager::SetBaseModal(Widget* w)
{
    mBaseModalWidget = w;
    if (mOverWidget && IsBelow(mOverWidget, w)) {
        Widget* over = mOverWidget;
        mOverWidget = nullptr;
        over->MouseLeave();
    }
    if (mLastDownWidget && IsBelow(mLastDownWidget, w)) {
        Widget* down = mLastDownWidget;
        mLastDownWidget = nullptr;
        down->MouseUp(mLastMouseX - down->mX, mLastMouseY - down->mY, mLastDownButton);
    }
    if (mFocusWidget && IsBelow(mFocusWidget, w)) {
        Widget* focus = mFocusWidget;
        mFocusWidget = nullptr;
        focus->LostFocus();
    }
}

void WidgetManager::ForgetWidget(Widget* w)
{
    if (!w)
        return;
    if (mOverWidget == w) {
        mOverWidget = nullptr;
        w->MouseLeave();
    }
    if (mLastDownWidget == w) {
        mLastDownWidget = nullptr;
        w->MouseUp(mLastMouseX - w->mX, mLastMouseY - w->mY, mLastDownButton);
    }
    if (mFocusWidget == w) {
        mFocusWidget = nullptr;
        w->LostFocus();
    }
    if (mBaseModalWidget == w)
        mBaseModalWidget = nullptr;
}

void WidgetManager::AppGotFocus()
{
    if (mHasFocus)
        return;
    mHasFocus = true;
    if (mFocusWidget)
        mFocusWidget->GotFocus();
}

void WidgetManager::AppLostFocus()
{
    if (!mHasFocus)
        return;
    mHasFocus = false;
    if (mFocusWidget)
        mFocusWidget->LostFocus();
}

void WidgetManager::KeyDown(int key)
{
    if (key >= 0 && key < 255) {
        if (!mKeyDown[key])
            ++mKeyPresses[key];
        mKeyDown[key] = true;
    }
    if (mFocusWidget)
        mFocusWidget->KeyDown(key);
}

void WidgetManager::KeyUp(int key)
{
    if (key >= 0 && key < 255)
        mKeyDown[key] = false;
    if (key == 9 && mKeyDown[17])
        return;
    if (mFocusWidget)
        mFocusWidget->KeyUp(key);
}

void WidgetManager::KeyChar(char c)
{
    if (c == 9 && mKeyDown[17]) {
        if (mDefaultTab)
            mDefaultTab->KeyChar(c);
        return;
    }
    if (mFocusWidget)
        mFocusWidget->KeyChar(c);
}

Widget* WidgetManager::GetWidgetAt(int x, int y)
{
    for (auto it = mWidgets.rbegin(); it != mWidgets.rend(); ++it) {
        Widget* w = *it;
        if (w->mVisible && w->mMouseVisible) {
            Rect r = w->GetInsetRect();
            if (x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height) {
                if (w->mDisabled)
                    return nullptr; // a disabled widget swallows the click
                if (w->AcceptsPoint(x - w->mX, y - w->mY))
                    return w;
            }
        }
        if (w == mBaseModalWidget)
            return nullptr;
    }
    return nullptr;
}

void WidgetManager::MousePosition(int x, int y)
{
    int oldX = mLastMouseX, oldY = mLastMouseY;
    mLastMouseX = x;
    mLastMouseY = y;
    Widget* w = GetWidgetAt(x, y);
    if (w != mOverWidget) {
        Widget* old = mOverWidget;
        mOverWidget = nullptr;
        if (old)
            old->MouseLeave();
        mOverWidget = w;
        if (w) {
            w->MouseEnter();
            w->MouseMove(x - w->mX, y - w->mY);
        }
    } else if (w && (x != oldX || y != oldY)) {
        w->MouseMove(x - w->mX, y - w->mY);
    }
    if (mShowCursorWidget && (x != oldX || y != oldY))
        mCursorWidget->MoveHotspotTo(x, y);
}

void WidgetManager::MouseMove(int x, int y)
{
    mMouseIn = true;
    MousePosition(x, y);
}

void WidgetManager::MouseDrag(int x, int y)
{
    mMouseIn = true;
    mLastMouseX = x;
    mLastMouseY = y;
    if (mOverWidget && mOverWidget != mLastDownWidget) {
        Widget* over = mOverWidget;
        mOverWidget = nullptr;
        over->MouseLeave();
    }
    if (mLastDownWidget) {
        Widget* down = mLastDownWidget;
        down->MouseDrag(x - down->mX, y - down->mY);
        if (mLastDownWidget == down) {
            if (!down->Contains(x, y)) {
                if (mOverWidget) {
                    Widget* over = mOverWidget;
                    mOverWidget = nullptr;
                    over->MouseLeave();
                }
            } else if (!mOverWidget) {
                mOverWidget = down;
                down->MouseEnter();
            }
        }
    }
    if (mShowCursorWidget)
        mCursorWidget->MoveHotspotTo(x, y);
}

void WidgetManager::MouseDown(int x, int y, int clickCount)
{
    mLastDownTick = Platform::TickCount();
    MousePosition(x, y);
    if (mPopupWidget && !mPopupWidget->Contains(x, y))
        RemovePopupWidget();
    Widget* w = GetWidgetAt(x, y);
    if (mLastDownWidget && mLastDownWidget != w) {
        Widget* prev = mLastDownWidget;
        mLastDownWidget = nullptr;
        prev->MouseUp(x - prev->mX, y - prev->mY, mLastDownButton);
    }
    mLastDownWidget = w;
    mLastDownButton = clickCount < 0 ? -1 : 1;
    if (w) {
        if (w->WantsFocus())
            SetFocus(w);
        w->MouseDown(x - w->mX, y - w->mY, clickCount);
    }
}

void WidgetManager::MouseUp(int x, int y, int clickCount)
{
    if (mLastDownWidget) {
        Widget* w = mLastDownWidget;
        mLastDownWidget = nullptr;
        w->MouseUp(x - w->mX, y - w->mY, clickCount);
    }
    MousePosition(x, y);
}

void WidgetManager::MouseLeftWindow()
{
    mMouseIn = false;
    if (mOverWidget) {
        Widget* over = mOverWidget;
        mOverWidget = nullptr;
        over->MouseLeave();
    }
}

void WidgetManager::RehupMouse()
{
    if (mMouseIn)
        MousePosition(mLastMouseX, mLastMouseY);
}

bool WidgetManager::UpdateFrame()
{
    mDirtyDuringUpdate = false;
    ++mUpdatePass;
    mUpdateIterator = mWidgets.begin();
    while (mUpdateIterator != mWidgets.end()) {
        Widget* w = *mUpdateIterator;
        mUpdateIteratorModified = false;
        if (w->mLastUpdatePass != mUpdatePass) {
            w->mLastUpdatePass = mUpdatePass;
            w->Update();
        }
        if (!mUpdateIteratorModified)
            ++mUpdateIterator;
    }
    mUpdateIterator = mWidgets.end();
    return mDirtyDuringUpdate;
}

void WidgetManager::MarkDirty(Widget* w)
{
    mDirtyDuringUpdate = true;
    if (w->mDirty)
        return;
    w->mDirty = true;
    if (w->mIsOverlay)
        return;
    if (w->mHasAlpha) {
        MarkDirtyFull(w);
        return;
    }
    auto it = Find(w);
    if (it == mWidgets.end())
        return;
    for (++it; it != mWidgets.end(); ++it) {
        Widget* v = *it;
        if (v->mVisible && v->Intersects(w))
            MarkDirty(v);
    }
}

void WidgetManager::MarkDirtyFull(Widget* w)
{
    mDirtyDuringUpdate = true;
    w->mDirty = true;
    if (w->mIsOverlay)
        return;
    auto pos = Find(w);
    if (pos == mWidgets.end())
        return;
    // Downward: repaint what shows through, stopping at an opaque widget covering all of w.
    for (auto it = std::make_reverse_iterator(pos); it != mWidgets.rend(); ++it) {
        Widget* v = *it;
        if (!v->mVisible)
            continue;
        if (!v->mHasTransparencies && !v->mHasAlpha && v->Contains(w->mX, w->mY) &&
            v->Contains(w->mX + w->mWidth - 1, w->mY + w->mHeight - 1)) {
            MarkDirty(v);
            break;
        }
        if (v->Intersects(w))
            MarkDirty(v);
    }
    // Upward: everything over it.
    for (auto it = std::next(pos); it != mWidgets.end(); ++it) {
        Widget* v = *it;
        if (v->mVisible && v->Intersects(w))
            MarkDirty(v);
    }
}

void WidgetManager::MarkAllWidgetsDirty()
{
    for (Widget* w : mWidgets)
        w->mDirty = true;
}

void WidgetManager::SetScreenSize(int width, int height)
{
    if (width == mWidth && height == mHeight)
        return;
    mWidth = width;
    mHeight = height;
    DeleteBackBuffer();
}

void WidgetManager::DeleteBackBuffer()
{
    delete mBackBuffer;
    mBackBuffer = nullptr;
}

void WidgetManager::DrawWidget(Graphics& g, Widget* w)
{
    Graphics wg(g);
    if (w->mClip)
        wg.ClipRect(w->mX, w->mY, w->mWidth, w->mHeight);
    wg.Translate(w->mX, w->mY);
    w->Draw(&wg);
    w->mDirty = false;
}

bool WidgetManager::DrawScreen()
{
    int dirty = 0;
    bool hasOverlay = false;
    for (Widget* w : mWidgets) {
        if (w->mDirty)
            ++dirty;
        if (w->mIsOverlay)
            hasOverlay = true;
    }
    if (!mImage)
        return false;

    Graphics screen(mImage);
    // The screen surface stays locked for the whole pass, which keeps the cursor
    // thread away from it.
    bool locked = mApp && AppServices::LockScreenImage(mApp, mImage);
    bool drewAny = false;
    bool overlayChanged = hasOverlay != mLastHadOverlay;

    if (dirty > 0 || overlayChanged) {
        Graphics* pass = &screen;
        Graphics backGraphics(nullptr);
        if (hasOverlay) {
            if (!mBackBuffer && mApp)
                mBackBuffer = AppServices::CreateBackBuffer(mApp, mWidth, mHeight);
            if (mBackBuffer) {
                backGraphics = Graphics(mBackBuffer);
                pass = &backGraphics;
            }
        }
        for (Widget* w : mWidgets) {
            if (w->mIsOverlay)
                break;
            if (!w->mDirty && !overlayChanged)
                continue;
            if (w->mVisible) {
                DrawWidget(*pass, w);
                drewAny = true;
            }
        }
    }

    if (hasOverlay && !(dirty == 0 && mLastHadOverlay)) {
        if (mBackBuffer)
            screen.DrawImage(mBackBuffer, 0, 0);
        bool inOverlay = false;
        for (Widget* w : mWidgets) {
            if (!inOverlay && w->mIsOverlay && w->mVisible)
                inOverlay = true;
            if (inOverlay && w->mVisible) {
                DrawWidget(screen, w);
                drewAny = true;
            }
        }
    }

    mLastHadOverlay = hasOverlay;
    if (locked)
        AppServices::UnlockScreenImage(mApp, mImage);
    return drewAny;
}

} // namespace Zant
