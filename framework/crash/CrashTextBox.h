#pragma once
// A multi-line text box for the crash windows: word-wrapped text, read-only or
// editable, with an optional sunken border and vertical scroll bar. Editing is
// what a description needs: typing, Backspace and Delete, the arrow keys, Home
// and End, Enter for a new line, and Ctrl+V to paste, within a length limit.
#include <string>
#include <vector>

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

namespace Zant {

class Font;
class ScrollbarWidget;

class CrashTextBox : public Widget, public ScrollListener {
public:
    static constexpr int SCROLLBAR_WIDTH = 16;

    // The box keeps its own copy of the font.
    CrashTextBox(Font* font, bool editable, bool border, bool scrollbar);
    ~CrashTextBox() override;

    void SetText(const std::string& text);
    // Keeps a copy of the font.
    void SetFont(Font* font);
    // Whether every line fits in the box without scrolling.
    bool ShowsAllLines() const { return LineCount() <= VisibleLines(); }
    // The text with CR LF line breaks.
    std::string GetText() const;
    // Characters the box takes at most (negative: no limit).
    void SetMaxChars(int maxChars) { mMaxChars = maxChars; }
    void SetBackground(const Color& color) { mBackground = color; }
    // Wrapped lines, for tests and the scroll bar.
    int LineCount() const { return static_cast<int>(mLines.size()); }
    int TopLine() const { return mTopLine; }
    int CaretIndex() const { return mCaret; }

    bool WantsFocus() override { return mEditable; }
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    using Widget::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    void Update() override;
    void KeyDown(int key) override;
    void KeyChar(char c) override;
    void MouseDown(int x, int y, int clickCount) override;
    void GotFocus() override;
    void LostFocus() override;
    void ScrollPosition(int id, double position) override;

private:
    struct Line {
        int mStart;  // index of the first character in the text
        int mLength; // characters shown (without the line break)
    };

    void MeasureCharacters();
    void Rewrap();
    void Insert(const std::string& text);
    void EraseAt(int index);
    void MoveCaret(int index);
    void KeepCaretVisible();
    int CaretLine() const;
    int VisibleLines() const;
    Rect TextArea() const;

    Font* mFont;
    int mCharWidths[256] = {}; // of the font, measured once
    bool mEditable;
    bool mBorder;
    ScrollbarWidget* mScrollbar = nullptr; // owned
    std::string mText;
    std::vector<Line> mLines;
    int mMaxChars = -1;
    int mCaret = 0;
    int mTopLine = 0;
    int mBlink = 0;
    bool mCaretShown = false;
    Color mBackground;
};

} // namespace Zant
