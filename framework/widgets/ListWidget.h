#pragma once
// A scrollable list of text rows with a highlighted row under the mouse and a
// selected row. Lists can be linked side by side (mParent / mChild) into the columns
// of a table: linked lists share their rows' count, highlight, selection, scrolling
// and sorting, each showing its own column's text.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

namespace Zant {

class Font;
class ScrollbarWidget;

class ListWidget : public Widget, public ScrollListener {
public:
    enum { JUSTIFY_LEFT = 0, JUSTIFY_CENTER = 1, JUSTIFY_RIGHT = 2 };

    // The font is not owned; without one the system font is used.
    ListWidget(int id, Font* font, ListListener* listener);
    ~ListWidget() override;

    // The row's text padded with leading "0"s to mMaxNumericPlaces, joined with the
    // next column's key (that one first with mSortFromChild).
    virtual std::string GetSortKey(int index);
    // A stable sort of every linked list's rows by this list's keys.
    virtual void Sort(bool ascending);
    virtual std::string GetStringAt(int index);
    // Adds a row to every linked list (the others get "-"); sorted: after the rows
    // that compare equal without regard to case. Returns the row's index.
    virtual int AddLine(const std::string& text, bool sorted);
    virtual void SetLine(int index, const std::string& text);
    virtual int GetLineCount();
    virtual int GetLineIdx(const std::string& text);
    using Widget::SetColor;
    virtual void SetColor(const std::string& text, const Color& color);
    virtual void RemoveLine(int index);
    virtual void RemoveAll();
    virtual int GetOptimalWidth();
    virtual int GetOptimalHeight();
    // -1 clears the selection; other indices outside the rows are ignored.
    virtual void SetSelect(int index);

    using Widget::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseLeave() override;

    void ScrollPosition(int id, double position) override;

    // The row height: mItemHeight, or the font's height; never below 1.
    int GetItemHeight();

public:
    int mId;
    Font* mFont; // not owned
    ScrollbarWidget* mScrollbar = nullptr; // not owned
    int mJustify = JUSTIFY_LEFT;
    std::vector<std::string> mLines;
    std::vector<Color> mLineColors;
    double mPosition = 0;
    double mPageSize = 0;
    int mHiliteIdx = -1;
    int mSelectIdx = -1;
    ListListener* mListListener;
    ListWidget* mParent = nullptr;
    ListWidget* mChild = nullptr;
    bool mSortFromChild = false;
    bool mDrawOutline = true;
    int mMaxNumericPlaces = 0;
    int mItemHeight = -1;

private:
    Font* GetFont();
    // Calls f on the first linked list and every one after it.
    void ForAllLinked(const std::function<void(ListWidget*)>& f);
    void SetHilite(int index);
    void UpdateScrollbars();

    std::unique_ptr<Font> mDefaultFont;
};

} // namespace Zant
