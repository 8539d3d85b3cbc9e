#pragma once
// A one-line field of 8-bit text: a caret that blinks, a selection made with Shift,
// the mouse or a double click, copy, cut and paste, one level of undo that also
// redoes, word jumps, length limits in characters and pixels, and horizontal
// scrolling. Its EditListener may refuse keys, characters and whole edits, and
// receives the text when Enter is pressed.
#include <string>

#include "framework/widgets/Widget.h"

namespace Zant {

class EditListener;
class Font;

class EditWidget : public Widget {
public:
    // Updates between two blinks of the caret, minus one.
    static constexpr int BLINK_TICKS = 40;

    EditWidget(int id, EditListener* listener);
    ~EditWidget() override;

    // One key stroke: (key, 0) for a key going down, (0, char) for a typed character.
    virtual void ProcessKey(int key, char c);
    // Keeps a copy of the font.
    virtual void SetFont(Font* font);
    // Selects the whole new text with the caret at its end; starts a new undo history.
    virtual void SetText(const std::string& text);
    virtual bool IsPartOfWord(char c);
    // The caret index nearest to x (widget coordinates); y is not used.
    virtual int GetCharAt(int x, int y);
    // Scrolls so that the caret is visible, 10 characters a step with a big jump.
    virtual void FocusCursor(bool bigJump);

    bool WantsFocus() override { return true; }
    void KeyDown(int key) override;
    void KeyChar(char c) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    using Widget::MouseUp;
    void MouseUp(int x, int y, int clickCount) override;
    void MouseEnter() override;
    void MouseLeave() override;
    using Widget::Resize;
    void Resize(int x, int y, int width, int height) override;
    void MarkDirty() override;
    void GotFocus() override;
    void LostFocus() override;
    void Update() override;
    void Draw(Graphics* g) override;

public:
    int mId;
    std::string mString;
    Font* mFont = nullptr; // owned
    EditListener* mEditListener;
    bool mCaretShown = false;
    int mCursorPos = 0;
    int mHilitePos = -1;
    int mBlinkAcc = 0;
    int mLeftPos = 0;
    int mMaxChars = -1;
    int mMaxPixels = -1;
    std::string mUndoString;
    int mUndoCursor = 0;
    int mUndoHilitePos = 0;
    // Caret of the last one-character edit; a run of such edits is one undo step.
    int mLastModifyIdx = -1;

private:
    Font* GetFont();
    int Length() const { return static_cast<int>(mString.size()); }
    // Pulls caret, anchor and scroll position back inside the text.
    void ClampPositions();
    // Width of the text from mLeftPos up to index.
    int VisibleWidth(int index);
    bool IsKeyDown(int key) const;
    void ShowCaretNow();
};

} // namespace Zant
