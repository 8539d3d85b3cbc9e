#pragma once
// Holds the top-level widgets in drawing order, routes keys and mouse to them,
// keeps focus, capture, the widget under the mouse and the modal base, runs the
// update pass once per logic step and draws the dirty widgets onto the screen.
#include <cstdint>
#include <list>

namespace Zant {

class ZantApp;
class Widget;
class Image;
class DDImage;
class CursorWidget;
class Graphics;

class WidgetManager {
public:
    explicit WidgetManager(ZantApp* app);
    virtual ~WidgetManager();
    WidgetManager(const WidgetManager&) = delete;
    WidgetManager& operator=(const WidgetManager&) = delete;

    // List and order.
    void AddWidget(Widget* w);
    void RemoveWidget(Widget* w);
    void RemovePopupWidget();
    void BringToFront(Widget* w);
    void BringToBack(Widget* w);
    void PutBehind(Widget* w, Widget* ref);
    bool HasWidget(const Widget* w) const;
    bool IsBelow(const Widget* w, const Widget* ref) const;

    // Focus and modality.
    void SetFocus(Widget* w);
    void SetBaseModal(Widget* w);
    void ForgetWidget(Widget* w);
    void AppGotFocus();
    void AppLostFocus();

    // Keyboard.
    void KeyDown(int key);
    void KeyUp(int key);
    void KeyChar(char c);

    // Mouse (screen coordinates).
    Widget* GetWidgetAt(int x, int y);
    void MousePosition(int x, int y);
    void MouseMove(int x, int y);
    void MouseDrag(int x, int y);
    void MouseDown(int x, int y, int clickCount);
    void MouseUp(int x, int y, int clickCount);
    void MouseLeftWindow();
    void RehupMouse();

    // Update and drawing.
    bool UpdateFrame();
    bool DrawScreen();
    void MarkDirty(Widget* w);
    void MarkDirtyFull(Widget* w);
    void MarkAllWidgetsDirty();
    void SetScreenSize(int width, int height);
    void DeleteBackBuffer();

    bool IsKeyDown(int key) const { return key >= 0 && key < 255 && mKeyDown[key]; }
    // How often a key has gone down afresh (its auto-repeats not counted).
    int KeyPresses(int key) const { return key >= 0 && key < 255 ? mKeyPresses[key] : 0; }

public:
    int mUpdatePass = 0;
    Widget* mDefaultTab = nullptr;
    ZantApp* mApp = nullptr;
    Image* mImage = nullptr;
    Image* mBackBuffer = nullptr; // the display's surface for overlay drawing, owned
    bool mLastHadOverlay = false;
    int mWidth = 0;
    int mHeight = 0;
    Widget* mPopupWidget = nullptr;
    CursorWidget* mCursorWidget = nullptr;
    bool mShowCursorWidget = false;
    std::list<Widget*> mWidgets; // front = bottom, back = top
    bool mHasFocus = true;
    Widget* mFocusWidget = nullptr;
    Widget* mLastDownWidget = nullptr;
    Widget* mOverWidget = nullptr;
    Widget* mBaseModalWidget = nullptr;
    bool mMouseIn = false;
    int mLastMouseX = 0;
    int mLastMouseY = 0;
    bool mUpdateIteratorModified = false;
    std::list<Widget*>::iterator mUpdateIterator;
    bool mKeyDown[255] = {};
    int mKeyPresses[255] = {};
    uint32_t mLastDownTick = 0;
    int mLastDownButton = 0;
    bool mDirtyDuringUpdate = false;

private:
    std::list<Widget*>::iterator Find(const Widget* w);
    std::list<Widget*>::const_iterator Find(const Widget* w) const;
    // Unlinks w, moving the update iterator on when it stood on w.
    void Unlink(std::list<Widget*>::iterator it);
    void DrawWidget(Graphics& g, Widget* w);
};

} // namespace Zant
