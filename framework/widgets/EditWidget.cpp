#include "framework/widgets/EditWidget.h"

#include <algorithm>
#include <cassert>

#include "framework/app/ZantApp.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/ControlFont.h"
#include "framework/widgets/WidgetManager.h"

namespace Zant {

namespace {

// Virtual keys and the control characters that typing makes.
enum {
    KEY_BACK = 8,
    KEY_RETURN = 13,
    KEY_SHIFT = 16,
    KEY_CONTROL = 17,
    KEY_END = 35,
    KEY_HOME = 36,
    KEY_LEFT = 37,
    KEY_RIGHT = 39,
    KEY_DELETE = 46,
    CHAR_COPY = 3,
    CHAR_PASTE = 22,
    CHAR_CUT = 24,
    CHAR_UNDO = 26,
};

// Stands in for a missing listener so that a misuse cannot crash a release build.
EditListener gAllowEverything;

} // namespace

EditWidget::EditWidget(int id, EditListener* listener) : mId(id), mEditListener(listener)
{
    assert(listener && "an edit widget needs a listener");
    if (!mEditListener)
        mEditListener = &gAllowEverything;
    mColors = {Color(255, 255, 255), Color(0, 0, 0), Color(0, 0, 0), Color(0, 0, 0), Color(255, 255, 255)};
}

EditWidget::~EditWidget() { delete mFont; }

Font* EditWidget::GetFont()
{
    // Keys can arrive before the first draw, and they are measured too.
    if (!mFont)
        mFont = CreateControlFont(10);
    return mFont;
}

void EditWidget::SetFont(Font* font)
{
    delete mFont;
    mFont = font ? font->Duplicate() : nullptr;
}

void EditWidget::SetText(const std::string& text)
{
    mString = text;
    mCursorPos = Length();
    mHilitePos = 0;
    // The first undo after this must bring back this text, not an older one.
    mUndoString = mString;
    mUndoCursor = mCursorPos;
    mUndoHilitePos = -1;
    mLastModifyIdx = -1;
    ClampPositions();
    MarkDirty();
}

bool EditWidget::IsPartOfWord(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool EditWidget::IsKeyDown(int key) const { return mWidgetManager && mWidgetManager->IsKeyDown(key); }

void EditWidget::ShowCaretNow()
{
    mBlinkAcc = 0;
    mCaretShown = true;
}

void EditWidget::ClampPositions()
{
    const int length = Length();
    mCursorPos = std::clamp(mCursorPos, 0, length);
    if (mHilitePos < -1 || mHilitePos > length)
        mHilitePos = -1;
    mLeftPos = std::clamp(mLeftPos, 0, length);
}

int EditWidget::VisibleWidth(int index)
{
    Font* font = GetFont();
    const int left = std::clamp(mLeftPos, 0, Length());
    index = std::clamp(index, 0, Length());
    return font->StringWidth(mString.substr(0, index)) - font->StringWidth(mString.substr(0, left));
}

void EditWidget::ProcessKey(int key, char c)
{
    if (key == KEY_SHIFT || key == KEY_CONTROL)
        return;

    // Read once: the listener may take the field out of the manager half-way.
    const bool shift = IsKeyDown(KEY_SHIFT);
    const bool ctrl = IsKeyDown(KEY_CONTROL);
    ClampPositions();

    bool clearSelection = !shift;
    bool edited = false;
    if (shift && mHilitePos == -1)
        mHilitePos = mCursorPos;

    const std::string oldString = mString;
    const int oldCursor = mCursorPos;
    const int oldHilite = mHilitePos;

    const bool hasSelection = mHilitePos != -1 && mHilitePos != mCursorPos;
    const int selStart = std::min(mCursorPos, mHilitePos);
    const int selEnd = std::max(mCursorPos, mHilitePos);
    auto removeSelection = [&] {
        mString.erase(selStart, selEnd - selStart);
        mCursorPos = selStart;
        mHilitePos = -1;
        edited = true;
    };

    if (c == CHAR_COPY || c == CHAR_CUT) {
        if (hasSelection) {
            if (gZantApp)
                gZantApp->PutClipboardText(mString.substr(selStart, selEnd - selStart));
            if (c == CHAR_COPY)
                clearSelection = false;
            else
                removeSelection();
        }
    } else if (c == CHAR_PASTE) {
        const std::string clip = gZantApp ? gZantApp->GetClipboardText() : std::string();
        if (!clip.empty()) {
            Font* font = GetFont();
            std::string kept;
            for (char pc : clip) {
                if (pc == '\r' || pc == '\n')
                    break;
                if (font->CharWidth(pc) != 0 && mEditListener->AllowChar(mId, pc))
                    kept += pc;
            }
            if (mHilitePos == -1) {
                mString.insert(mCursorPos, kept);
            } else {
                mString.replace(selStart, selEnd - selStart, kept);
                mCursorPos = selStart;
                mHilitePos = -1;
            }
            mCursorPos += static_cast<int>(kept.size());
            edited = true;
        }
    } else if (c == CHAR_UNDO) {
        std::swap(mString, mUndoString);
        std::swap(mCursorPos, mUndoCursor);
        std::swap(mHilitePos, mUndoHilitePos);
        mLastModifyIdx = -1;
        clearSelection = false;
    } else if (key == KEY_LEFT) {
        if (ctrl) {
            while (mCursorPos > 0 && !IsPartOfWord(mString[mCursorPos - 1]))
                --mCursorPos;
            while (mCursorPos > 0 && IsPartOfWord(mString[mCursorPos - 1]))
                --mCursorPos;
        } else if (shift || mHilitePos == -1) {
            --mCursorPos;
        } else {
            mCursorPos = selStart;
        }
    } else if (key == KEY_RIGHT) {
        if (ctrl) {
            while (mCursorPos < Length() - 1 && IsPartOfWord(mString[mCursorPos + 1]))
                ++mCursorPos;
            while (mCursorPos < Length() - 1 && !IsPartOfWord(mString[mCursorPos + 1]))
                ++mCursorPos;
        }
        if (shift || mHilitePos == -1)
            ++mCursorPos;
        else
            mCursorPos = selEnd;
    } else if (key == KEY_BACK || key == KEY_DELETE) {
        if (!mString.empty()) {
            if (hasSelection) {
                removeSelection();
            } else if (key == KEY_BACK) {
                const bool removes = mCursorPos > 0;
                if (removes)
                    mString.erase(mCursorPos - 1, 1);
                --mCursorPos;
                mHilitePos = -1;
                // A key that removed nothing must not overwrite the undo state.
                if (removes && mCursorPos != mLastModifyIdx)
                    edited = true;
                mLastModifyIdx = mCursorPos - 1;
            } else {
                const bool removes = mCursorPos < Length();
                if (removes)
                    mString.erase(mCursorPos, 1);
                if (removes && mCursorPos != mLastModifyIdx)
                    edited = true;
                mLastModifyIdx = mCursorPos;
            }
        }
    } else if (key == KEY_HOME) {
        mCursorPos = 0;
    } else if (key == KEY_END) {
        mCursorPos = Length();
    } else if (key == KEY_RETURN) {
        mEditListener->EditWidgetText(mId, mString);
    } else {
        const signed char typed = static_cast<signed char>(c);
        if (typed < 32 || typed == 127 || GetFont()->StringWidth(std::string(1, c)) <= 0) {
            clearSelection = false;
        } else {
            if (hasSelection) {
                mString.replace(selStart, selEnd - selStart, 1, c);
                mCursorPos = selStart;
                edited = true;
            } else {
                mString.insert(mString.begin() + mCursorPos, c);
                if (mCursorPos != mLastModifyIdx + 1)
                    edited = true;
                mLastModifyIdx = mCursorPos;
            }
            ++mCursorPos;
            mHilitePos = -1;
            FocusCursor(false);
        }
    }

    if (mMaxChars != -1 && Length() > mMaxChars)
        mString.resize(std::max(mMaxChars, 0));
    if (mMaxPixels != -1) {
        Font* font = GetFont();
        while (!mString.empty() && font->StringWidth(mString) > mMaxPixels)
            mString.pop_back();
    }

    ClampPositions();
    if (mCursorPos != oldCursor)
        ShowCaretNow();
    FocusCursor(true);
    if (clearSelection)
        mHilitePos = -1;

    if (mEditListener->AllowText(mId, mString)) {
        if (edited) {
            mUndoString = oldString;
            mUndoCursor = oldCursor;
            mUndoHilitePos = oldHilite;
        }
    } else {
        mString = oldString;
        mCursorPos = oldCursor;
        mHilitePos = oldHilite;
        ClampPositions();
    }
    MarkDirty();
}

int EditWidget::GetCharAt(int x, int y)
{
    ClampPositions();
    Font* font = GetFont();
    // A point left of the first visible character's middle is that character, not
    // the start of the whole text.
    int result = mLeftPos;
    for (int i = mLeftPos; i < Length(); ++i) {
        const int before = font->StringWidth(mString.substr(mLeftPos, i - mLeftPos));
        const int through = font->StringWidth(mString.substr(mLeftPos, i - mLeftPos + 1));
        if (x >= (before + through) / 2 + 5)
            result = i + 1;
    }
    return result;
}

void EditWidget::FocusCursor(bool bigJump)
{
    ClampPositions();
    const int step = bigJump ? 10 : 1;
    while (mCursorPos < mLeftPos) {
        mLeftPos = std::max(0, mLeftPos - step);
        MarkDirty();
    }
    if (mWidth - 8 < 1)
        return;
    // Never past the caret, so the caret and the text after it stay in view.
    while (mLeftPos < mCursorPos && VisibleWidth(mCursorPos) >= mWidth - 8) {
        mLeftPos = std::min(mCursorPos, mLeftPos + step);
        MarkDirty();
    }
}

void EditWidget::KeyDown(int key)
{
    // Letters come as characters through KeyChar.
    if ((key < 'A' || key > 'Z') && mEditListener->AllowKey(mId, key))
        ProcessKey(key, 0);
    Widget::KeyDown(key);
}

void EditWidget::KeyChar(char c)
{
    if (mEditListener->AllowChar(mId, c))
        ProcessKey(0, c);
}

void EditWidget::MouseDown(int x, int y, int clickCount)
{
    Widget::MouseDown(x, y, clickCount);
    mHilitePos = -1;
    mCursorPos = GetCharAt(x, y);
    if (clickCount > 1 && mCursorPos < Length()) {
        // A double click selects the word under the mouse.
        mHilitePos = mCursorPos;
        while (mHilitePos > 0 && IsPartOfWord(mString[mHilitePos - 1]))
            --mHilitePos;
        while (mCursorPos < Length() - 1 && IsPartOfWord(mString[mCursorPos + 1]))
            ++mCursorPos;
        if (mCursorPos < Length())
            ++mCursorPos;
    }
    ShowCaretNow();
    MarkDirty();
    FocusCursor(false);
}

void EditWidget::MouseDrag(int x, int y)
{
    if (mHilitePos == -1)
        mHilitePos = mCursorPos;
    mCursorPos = GetCharAt(x, y);
    ShowCaretNow();
    MarkDirty();
    FocusCursor(false);
}

void EditWidget::MouseUp(int x, int y, int clickCount)
{
    Widget::MouseUp(x, y, clickCount);
    if (mHilitePos == mCursorPos)
        mHilitePos = -1;
}

void EditWidget::MouseEnter()
{
    Widget::MouseEnter();
    if (gZantApp)
        gZantApp->SelectCursor(CURSOR_TEXT);
}

void EditWidget::MouseLeave()
{
    Widget::MouseLeave();
    if (gZantApp)
        gZantApp->SelectCursor(CURSOR_POINTER);
}

void EditWidget::Resize(int x, int y, int width, int height)
{
    Widget::Resize(x, y, width, height);
    FocusCursor(false);
}

void EditWidget::MarkDirty()
{
    // A see-through background needs what lies below drawn again too.
    if (GetColor(0).alpha == 255)
        Widget::MarkDirty();
    else
        Widget::MarkAllDirty();
}

void EditWidget::GotFocus()
{
    Widget::GotFocus();
    ShowCaretNow();
    MarkDirty();
}

void EditWidget::LostFocus()
{
    Widget::LostFocus();
    mCaretShown = false;
    MarkDirty();
}

void EditWidget::Update()
{
    Widget::Update();
    if (!mHasFocus)
        return;
    if (++mBlinkAcc > BLINK_TICKS) {
        MarkDirty();
        mCaretShown = !mCaretShown;
        mBlinkAcc = 0;
    }
}

void EditWidget::Draw(Graphics* g)
{
    Font* font = GetFont();
    ClampPositions();
    g->SetColor(GetColor(0));
    g->FillRect(0, 0, mWidth, mHeight);

    const int top = (mHeight - font->GetHeight()) / 2;
    const int baseline = top + font->GetAscent();
    const std::string visible = mString.substr(mLeftPos);

    Graphics text(*g);
    text.SetFont(font);
    text.ClipRect(4, 0, mWidth - 8, mHeight);
    text.SetColor(GetColor(2));
    text.DrawString(visible, 4, baseline);

    // The selection, or the 2-pixel caret, in inverse colours.
    const int limit = mWidth - 8;
    const int caretX = VisibleWidth(mCursorPos);
    int from = mCaretShown ? caretX : caretX + 2;
    // An anchor on the caret (after SetText(""), or Shift+Left then Shift+Right)
    // selects nothing: the span is the caret alone, so it blinks the right way round.
    const bool selection = mHilitePos != -1 && mHilitePos != mCursorPos;
    int to = selection ? VisibleWidth(mHilitePos) : caretX + 2;
    from = std::clamp(from, 0, std::max(limit, 0));
    to = std::clamp(to, 0, std::max(limit, 0));
    if (from > to)
        std::swap(from, to);
    Graphics span(*g);
    span.SetFont(font);
    span.ClipRect(from + 4, top, to - from, font->GetHeight());
    if (mHasFocus) {
        span.SetColor(GetColor(3));
        span.FillRect(0, 0, mWidth, mHeight);
        span.SetColor(GetColor(4));
    } else {
        span.SetColor(GetColor(2));
    }
    span.DrawString(visible, 4, baseline);

    g->SetColor(GetColor(1));
    g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
}

} // namespace Zant
