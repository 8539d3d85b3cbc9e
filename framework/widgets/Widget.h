#pragma once
// The base of every rectangle on the screen: screens, the board, controls and
// dialogs. Holds position, size, state flags, a colour table and insets, and
// offers empty or minimal virtual operations for drawing, updates, focus, keys
// and the mouse.
#include <string>
#include <vector>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

namespace Zant {

class Graphics;
class Image;
class WidgetManager;

struct Insets {
    int mLeft = 0;
    int mTop = 0;
    int mRight = 0;
    int mBottom = 0;
};

// Inline colour codes ("^RRGGBB^") in drawn texts; on at start.
extern bool gColorMarkupEnabled;

class Widget {
public:
    Widget();
    virtual ~Widget();
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    virtual void AddedToManager(WidgetManager* manager);
    virtual void RemovedFromManager(WidgetManager* manager);
    virtual void OrderInManagerChanged() {}
    virtual void SetVisible(bool visible);
    virtual void SetColors(const int rows[][4], int count);
    virtual void SetColors(const int rows[][3], int count);
    virtual void SetColor(int index, const Color& color);
    virtual const Color& GetColor(int index);
    virtual void SetOverlay(bool overlay);
    virtual void SetDisabled(bool disabled);
    virtual void SetHandCursor(bool hand);
    virtual void Resize(const Rect& rect);
    virtual void Resize(int x, int y, int width, int height);
    virtual void Move(int x, int y);
    virtual bool WantsFocus() { return false; }
    virtual void Draw(Graphics* g) {}
    virtual void Update();
    virtual void GotFocus();
    virtual void LostFocus();
    virtual void KeyChar(char c) {}
    virtual void KeyDown(int key);
    virtual void KeyUp(int key) {}
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseMove(int x, int y) {}
    virtual void MouseDown(int x, int y, int clickCount);
    virtual void MouseUp(int x, int y, int clickCount);
    virtual void MouseUp(int x, int y);
    virtual void MouseDrag(int x, int y) {}
    virtual bool AcceptsPoint(int x, int y) { return true; }
    virtual void DrawCenteredLine(Graphics* g, int y, const std::string& text, const Color& textColor,
                                  const Color& shadowColor, int shadowOffsetX = 1, int shadowOffsetY = 2);
    virtual void DrawCenteredLine(Graphics* g, int y, const std::string& text);
    virtual int WriteString(Graphics* g, const std::string& text, int x, int y, int width = -1,
                            int justification = -1, bool draw = true, int start = 0, int length = -1);
    virtual int WriteWordWrapped(Graphics* g, const Rect& rect, const std::string& text, int lineSpacing = -1,
                                 int justification = -1);
    virtual int GetWordWrappedHeight(Graphics* g, int width, const std::string& text, int lineSpacing = -1);
    virtual int CountDigits(int n);
    virtual void DrawNumberFromStrip(Graphics* g, int n, int x, int y, Image* stripImage, int spacing);
    virtual bool Contains(int x, int y) const;
    virtual Rect GetInsetRect() const;
    virtual Rect GetRect() const;
    virtual bool Intersects(const Widget* other) const;
    virtual void MarkAllDirty();
    virtual void MarkDirty();

public:
    int mLastUpdatePass = 0;
    int mX = 0;
    int mY = 0;
    int mWidth = 0;
    int mHeight = 0;
    bool mDirty = true;
    bool mVisible = true;
    bool mMouseVisible = true;
    bool mClip = true;
    bool mIsOverlay = false;
    bool mDisabled = false;
    bool mHasFocus = false;
    bool mIsDown = false;
    bool mIsOver = false;
    bool mHasTransparencies = false;
    bool mHasAlpha = false;
    WidgetManager* mWidgetManager = nullptr;
    std::vector<Color> mColors;
    Insets mInsets;
    bool mDoFinger = false;
    int mUpdateCnt = 0;
    Widget* mTabPrev = nullptr;
    Widget* mTabNext = nullptr;
};

} // namespace Zant
