#pragma once
// The window system: one main window, its events as the game's window messages
// (Windows virtual-key codes, Latin-1 characters, 640x480 logical mouse positions),
// the mouse cursor and the screen's usable area. A fake stands in for tests.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct SDL_Window;

namespace Platform {

// Messages in the order the window procedure sees them. Parameters as Windows
// gives them: key messages carry the virtual-key code in param1; Char the
// character; mouse messages x and y in param2's low and high signed 16 bits;
// Size carries 1 in param1 when minimised; ActivateApp 1 when activated.
enum class Msg {
    Size,
    Close,
    ActivateApp,
    KeyDown,
    KeyUp,
    Char,
    SysKeyDown,
    Timer,
    MouseMove,
    LButtonDown,
    LButtonUp,
    LButtonDblClk,
    RButtonDown,
    RButtonUp,
    RButtonDblClk,
    Paint,
    EndSession,
    SetCursor,
    Notify, // a second instance was started
};

struct WindowEvent {
    Msg msg = Msg::Paint;
    int64_t param1 = 0;
    int64_t param2 = 0;
};

inline int64_t PackMousePos(int x, int y)
{
    return static_cast<int64_t>(static_cast<uint16_t>(static_cast<int16_t>(x)) |
                                (static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(y))) << 16));
}
inline int MouseX(int64_t p) { return static_cast<int16_t>(p & 0xFFFF); }
inline int MouseY(int64_t p) { return static_cast<int16_t>((p >> 16) & 0xFFFF); }

enum class SystemCursor { Arrow, Hand, Dragging, TextBeam, Move, None };

struct DisplayBounds {
    int width = 0;
    int height = 0;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Starts the video subsystem; false (with a reason) when there is no display.
    virtual bool InitVideo(std::string& error) = 0;
    // Usable desktop area (without panels), for the forced full-screen test.
    virtual DisplayBounds UsableBounds() = 0;

    // (Re)creates the main window: a window of width x height client pixels at
    // (x, y), or a full-screen one. Destroys an older main window first.
    virtual bool CreateMainWindow(const std::string& title, int x, int y, int width, int height, bool fullScreen) = 0;
    virtual void DestroyMainWindow() = 0;
    virtual bool HasMainWindow() const = 0;
    virtual void ShowMainWindow(bool activate) = 0;
    virtual void HideMainWindow() = 0;
    virtual void RestoreAndRaise() = 0;
    virtual bool IsMinimized() = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetIcon(const uint32_t* argb, int width, int height) = 0;

    // Takes the next event, translated; false when none is waiting.
    virtual bool PollEvent(WindowEvent& event) = 0;
    // Cursor position in the window's client coordinates (logical 640x480).
    virtual void GetCursorPos(int& x, int& y) = 0;
    // Whether the pointer is over the main window's client area.
    virtual bool IsCursorInWindow() = 0;
    virtual void CaptureMouse(bool capture) = 0;
    virtual void SetSystemCursor(SystemCursor cursor) = 0;
    // Makes the hand or dragging cursor from 32x32 monochrome masks (1 bit a pixel,
    // rows of 4 bytes, most significant bit first) with the given hot spot.
    virtual void DefineCursor(SystemCursor which, const uint8_t* data, const uint8_t* mask, int hotX, int hotY) = 0;

    // Refresh period of the window's display in ms (60 Hz when unknown).
    virtual int RefreshPeriod() = 0;

    virtual SDL_Window* NativeWindow() = 0;
};

// The SDL2 window system.
class SdlWindowSystem : public WindowSystem {
public:
    SdlWindowSystem();
    ~SdlWindowSystem() override;
    bool InitVideo(std::string& error) override;
    DisplayBounds UsableBounds() override;
    bool CreateMainWindow(const std::string& title, int x, int y, int width, int height, bool fullScreen) override;
    void DestroyMainWindow() override;
    bool HasMainWindow() const override { return mWindow != nullptr; }
    void ShowMainWindow(bool activate) override;
    void HideMainWindow() override;
    void RestoreAndRaise() override;
    bool IsMinimized() override;
    void SetTitle(const std::string& title) override;
    void SetIcon(const uint32_t* argb, int width, int height) override;
    bool PollEvent(WindowEvent& event) override;
    void GetCursorPos(int& x, int& y) override;
    bool IsCursorInWindow() override;
    void CaptureMouse(bool capture) override;
    void SetSystemCursor(SystemCursor cursor) override;
    void DefineCursor(SystemCursor which, const uint8_t* data, const uint8_t* mask, int hotX, int hotY) override;
    int RefreshPeriod() override;
    SDL_Window* NativeWindow() override { return mWindow; }

    // Translates one SDL event into window messages (queued for PollEvent).
    void Translate(const void* sdlEvent);

private:
    void Push(Msg msg, int64_t p1 = 0, int64_t p2 = 0) { mQueue.push_back({msg, p1, p2}); }
    void ReleaseAllKeys();
    void LogicalMouse(int wx, int wy, int& x, int& y);

    SDL_Window* mWindow = nullptr;
    bool mVideoStarted = false;
    int mWidth = 640;
    int mHeight = 480;
    std::deque<WindowEvent> mQueue;
    // Virtual-key codes held: 1 delivered as a key, 2 as a system key (Alt held).
    std::vector<uint8_t> mKeyDown;
    uint32_t mLastTimer = 0;
    uint32_t mLastClickTime[2] = {0, 0};
    int mLastClickX[2] = {0, 0};
    int mLastClickY[2] = {0, 0};
    void* mCursors[6] = {};
};

// A window system that records what it was asked and delivers queued events.
class FakeWindowSystem : public WindowSystem {
public:
    bool InitVideo(std::string& error) override
    {
        if (!videoAvailable)
            error = "no display";
        return videoAvailable;
    }
    DisplayBounds UsableBounds() override { return usable; }
    bool CreateMainWindow(const std::string& t, int x, int y, int w, int h, bool fs) override
    {
        ++created;
        hasWindow = true;
        title = t;
        posX = x;
        posY = y;
        width = w;
        height = h;
        fullScreen = fs;
        return true;
    }
    void DestroyMainWindow() override { hasWindow = false; }
    bool HasMainWindow() const override { return hasWindow; }
    void ShowMainWindow(bool) override { shown = true; }
    void HideMainWindow() override { shown = false; }
    void RestoreAndRaise() override { ++raised; minimized = false; }
    bool IsMinimized() override { return minimized; }
    void SetTitle(const std::string& t) override { title = t; }
    void SetIcon(const uint32_t*, int, int) override {}
    bool PollEvent(WindowEvent& e) override
    {
        if (events.empty())
            return false;
        e = events.front();
        events.pop_front();
        return true;
    }
    void GetCursorPos(int& x, int& y) override { x = cursorX; y = cursorY; }
    bool IsCursorInWindow() override { return cursorInside; }
    void CaptureMouse(bool c) override { captured = c; }
    void SetSystemCursor(SystemCursor c) override { cursor = c; }
    void DefineCursor(SystemCursor which, const uint8_t*, const uint8_t*, int, int) override { ++definedCursors; }
    int RefreshPeriod() override { return 16; }
    SDL_Window* NativeWindow() override { return nullptr; }

    bool videoAvailable = true;
    DisplayBounds usable{1920, 1080};
    std::deque<WindowEvent> events;
    bool hasWindow = false, shown = false, minimized = false, fullScreen = false, captured = false;
    bool cursorInside = true;
    int cursorX = 0, cursorY = 0;
    int created = 0, raised = 0, definedCursors = 0;
    int posX = 0, posY = 0, width = 0, height = 0;
    std::string title;
    SystemCursor cursor = SystemCursor::Arrow;
};

// Windows virtual-key code for an SDL scancode (by key position), or 0.
int VirtualKeyFromScancode(int scancode);

} // namespace Platform
