#pragma once
// A stock grey scroll bar for a value from 0 to (maximum - page size), with a
// draggable thumb, page jumps that repeat while the track is held, and two arrow
// buttons that step by one and repeat while held. Repeats count update ticks.
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

namespace Zant {

class ScrollbuttonWidget;

class ScrollbarWidget : public Widget, public ButtonListener {
public:
    // Updates before a held track or arrow starts repeating, and the repeat periods.
    static constexpr int REPEAT_DELAY = 25;
    static constexpr int PAGE_REPEAT_PERIOD = 5;
    static constexpr int MIN_THUMB_SIZE = 8;

    ScrollbarWidget(int id, ScrollListener* listener);
    ~ScrollbarWidget() override;

    virtual void SetInvisIfNoScroll(bool invisIfNoScroll);
    virtual void SetMaxValue(double maxValue);
    virtual void SetPageSize(double pageSize);
    // Reports the (clamped) value to the listener every time.
    virtual void SetValue(double value);
    virtual void SetHorizontal(bool horizontal);
    // Places the bar and its two arrows in the rectangle (x, y, w, h).
    virtual void ResizeScrollbar(int x, int y, int w, int h);
    virtual bool AtBottom();
    virtual void GoToBottom();
    virtual void DrawThumb(Graphics* g, int x, int y, int w, int h);
    virtual int GetTrackSize();
    virtual int GetThumbSize();
    virtual int GetThumbPosition();
    virtual void ClampValue();
    virtual void SetThumbPosition(int position);
    // -1 before the thumb, 0 on it, 1 after it (bar coordinates).
    virtual int ThumbCompare(int x, int y);

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    void Update() override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    using Widget::MouseUp;
    void MouseUp(int x, int y) override;

    // The arrows.
    using ButtonListener::ButtonPress;
    void ButtonPress(int id) override;
    void ButtonDownTick(int id) override;

public:
    ScrollbuttonWidget* mUpButton;   // owned
    ScrollbuttonWidget* mDownButton; // owned
    bool mInvisIfNoScroll = false;
    int mId;
    double mValue = 0;
    double mMaxValue = 0;
    double mPageSize = 0;
    bool mHorizontal = false;
    bool mPressedOnThumb = false;
    int mMouseDownThumbPos = 0;
    int mMouseDownX = 0;
    int mMouseDownY = 0;
    int mUpdateMode = 0; // 0 none, 1 paging up, 2 paging down
    int mUpdateAcc = 0;
    int mButtonAcc = 0;
    int mLastMouseX = 0;
    int mLastMouseY = 0;
    ScrollListener* mScrollListener;

private:
    void SetPartsDisabled(bool disabled);
    void SetPartsVisible(bool visible);
};

} // namespace Zant
