#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/Clock.h"
#include "platform/Process.h"
#include "platform/Window.h"

namespace Platform {

int VirtualKeyFromScancode(int sc)
{
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
        return 'A' + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9)
        return '1' + (sc - SDL_SCANCODE_1);
    if (sc == SDL_SCANCODE_0)
        return '0';
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12)
        return 112 + (sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9)
        return 97 + (sc - SDL_SCANCODE_KP_1);
    switch (sc) {
    case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return 13;
    case SDL_SCANCODE_ESCAPE: return 27;
    case SDL_SCANCODE_BACKSPACE: return 8;
    case SDL_SCANCODE_TAB: return 9;
    case SDL_SCANCODE_SPACE: return 32;
    case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return 16;
    case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return 17;
    case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return 18;
    case SDL_SCANCODE_PAUSE: return 19;
    case SDL_SCANCODE_CAPSLOCK: return 20;
    case SDL_SCANCODE_PAGEUP: return 33;
    case SDL_SCANCODE_PAGEDOWN: return 34;
    case SDL_SCANCODE_END: return 35;
    case SDL_SCANCODE_HOME: return 36;
    case SDL_SCANCODE_LEFT: return 37;
    case SDL_SCANCODE_UP: return 38;
    case SDL_SCANCODE_RIGHT: return 39;
    case SDL_SCANCODE_DOWN: return 40;
    case SDL_SCANCODE_INSERT: return 45;
    case SDL_SCANCODE_DELETE: return 46;
    case SDL_SCANCODE_KP_0: return 96;
    case SDL_SCANCODE_KP_MULTIPLY: return 106;
    case SDL_SCANCODE_KP_PLUS: return 107;
    case SDL_SCANCODE_KP_MINUS: return 109;
    case SDL_SCANCODE_KP_PERIOD: return 110;
    case SDL_SCANCODE_KP_DIVIDE: return 111;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 144;
    case SDL_SCANCODE_SCROLLLOCK: return 145;
    case SDL_SCANCODE_SEMICOLON: return 186;
    case SDL_SCANCODE_EQUALS: return 187;
    case SDL_SCANCODE_COMMA: return 188;
    case SDL_SCANCODE_MINUS: return 189;
    case SDL_SCANCODE_PERIOD: return 190;
    case SDL_SCANCODE_SLASH: return 191;
    case SDL_SCANCODE_GRAVE: return 192;
    case SDL_SCANCODE_LEFTBRACKET: return 219;
    case SDL_SCANCODE_BACKSLASH: return 220;
    case SDL_SCANCODE_RIGHTBRACKET: return 221;
    case SDL_SCANCODE_APOSTROPHE: return 222;
    default: return 0;
    }
}

SdlWindowSystem::SdlWindowSystem() : mKeyDown(256, 0) {}

SdlWindowSystem::~SdlWindowSystem()
{
    DestroyMainWindow();
    for (void*& c : mCursors) {
        if (c)
            SDL_FreeCursor(static_cast<SDL_Cursor*>(c));
        c = nullptr;
    }
    if (mVideoStarted)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlWindowSystem::InitVideo(std::string& error)
{
    if (mVideoStarted)
        return true;
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        return false;
    }
    // Without a display SDL falls back to a driver that draws nowhere: the game
    // would run unseen and hold the single-copy lock against the next start. Those
    // drivers are for runs that ask for them by name (tests, headless tools).
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const bool drawsNowhere = driver && (SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0);
    if (drawsNowhere && !(chosen && *chosen)) {
        error = std::string("no display (SDL chose its \"") + driver + "\" video driver)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    mVideoStarted = true;
    return true;
}

DisplayBounds SdlWindowSystem::UsableBounds()
{
    SDL_Rect r{};
    if (!mVideoStarted || SDL_GetDisplayUsableBounds(0, &r) != 0)
        return {0, 0};
    return {r.w, r.h};
}

bool SdlWindowSystem::CreateMainWindow(const std::string& title, int x, int y, int width, int height, bool fullScreen)
{
    DestroyMainWindow();
    mWidth = width;
    mHeight = height;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (fullScreen)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    mWindow = SDL_CreateWindow(title.c_str(), fullScreen ? 0 : x, fullScreen ? 0 : y, width, height, flags);
    if (!mWindow)
        return false;
    SDL_StartTextInput();
    mLastTimer = TickCount();
    return true;
}

void SdlWindowSystem::DestroyMainWindow()
{
    if (mWindow) {
        SDL_DestroyWindow(mWindow);
        mWindow = nullptr;
    }
}

void SdlWindowSystem::ShowMainWindow(bool activate)
{
    if (!mWindow)
        return;
    SDL_ShowWindow(mWindow);
    if (activate)
        SDL_RaiseWindow(mWindow);
}

void SdlWindowSystem::HideMainWindow()
{
    if (mWindow)
        SDL_HideWindow(mWindow);
}

void SdlWindowSystem::RestoreAndRaise()
{
    if (!mWindow)
        return;
    if (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_MINIMIZED)
        SDL_RestoreWindow(mWindow);
    SDL_RaiseWindow(mWindow);
}

bool SdlWindowSystem::IsMinimized()
{
    return mWindow && (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_MINIMIZED);
}

void SdlWindowSystem::SetTitle(const std::string& title)
{
    if (mWindow)
        SDL_SetWindowTitle(mWindow, title.c_str());
}

void SdlWindowSystem::SetIcon(const uint32_t* argb, int width, int height)
{
    if (!mWindow || !argb || width <= 0 || height <= 0)
        return;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb), width, height, 32, width * 4,
                                                        SDL_PIXELFORMAT_ARGB8888);
    if (s) {
        SDL_SetWindowIcon(mWindow, s);
        SDL_FreeSurface(s);
    }
}

void SdlWindowSystem::LogicalMouse(int wx, int wy, int& x, int& y)
{
    // The picture is scaled to the window keeping its aspect, centred (letterboxed).
    int ww = mWidth, wh = mHeight;
    if (mWindow)
        SDL_GetWindowSize(mWindow, &ww, &wh);
    if (ww <= 0 || wh <= 0 || (ww == mWidth && wh == mHeight)) {
        x = wx;
        y = wy;
        return;
    }
    double scale = std::min(static_cast<double>(ww) / mWidth, static_cast<double>(wh) / mHeight);
    double ox = (ww - mWidth * scale) / 2.0, oy = (wh - mHeight * scale) / 2.0;
    x = static_cast<int>((wx - ox) / scale);
    y = static_cast<int>((wy - oy) / scale);
}

void SdlWindowSystem::ReleaseAllKeys()
{
    // A key that was pressed is always released, also when the focus goes.
    for (int vk = 0; vk < 256; ++vk) {
        if (mKeyDown[vk]) {
            bool delivered = mKeyDown[vk] == 1;
            mKeyDown[vk] = 0;
            if (delivered)
                Push(Msg::KeyUp, vk);
        }
    }
}

void SdlWindowSystem::Translate(const void* raw)
{
    const SDL_Event& e = *static_cast<const SDL_Event*>(raw);
    switch (e.type) {
    case SDL_QUIT:
        Push(Msg::Close);
        break;
    case SDL_WINDOWEVENT:
        if (!mWindow || e.window.windowID != SDL_GetWindowID(mWindow))
            break;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: Push(Msg::Close); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: Push(Msg::ActivateApp, 1); break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            ReleaseAllKeys();
            Push(Msg::ActivateApp, 0);
            break;
        case SDL_WINDOWEVENT_MINIMIZED: Push(Msg::Size, 1); break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED: Push(Msg::Size, 0); break;
        case SDL_WINDOWEVENT_EXPOSED: Push(Msg::Paint); break;
        case SDL_WINDOWEVENT_ENTER:
        case SDL_WINDOWEVENT_LEAVE: Push(Msg::SetCursor); break;
        default: break;
        }
        break;
    case SDL_KEYDOWN: {
        int vk = VirtualKeyFromScancode(e.key.keysym.scancode);
        if (vk == 0)
            break;
        bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
        bool ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
        // Keys pressed with Alt (but not Ctrl+Alt, which is AltGr) and F10 are
        // system keys: the window procedure sees them, widgets never do.
        if ((alt && !ctrl) || vk == 121) {
            if (!mKeyDown[vk])
                mKeyDown[vk] = 2;
            Push(Msg::SysKeyDown, vk);
            break;
        }
        mKeyDown[vk] = 1;
        Push(Msg::KeyDown, vk);
        // Keys that also make a character the way Windows makes them.
        if (vk == 13 || vk == 8 || vk == 9 || vk == 27)
            Push(Msg::Char, vk);
        else if (ctrl && !alt && vk >= 'A' && vk <= 'Z')
            Push(Msg::Char, vk - 'A' + 1);
        break;
    }
    case SDL_KEYUP: {
        int vk = VirtualKeyFromScancode(e.key.keysym.scancode);
        if (vk == 0 || !mKeyDown[vk])
            break;
        // A key delivered to the widgets is always released to them.
        bool delivered = mKeyDown[vk] == 1;
        mKeyDown[vk] = 0;
        if (delivered)
            Push(Msg::KeyUp, vk);
        break;
    }
    case SDL_TEXTINPUT: {
        SDL_Keymod mod = SDL_GetModState();
        bool altGr = (mod & KMOD_RALT) || (mod & KMOD_MODE);
        if (!altGr && (mod & (KMOD_CTRL | KMOD_LALT)))
            break; // Ctrl+letter made its control character; Alt+key is a system key
        // UTF-8 to Latin-1; characters beyond Latin-1 are dropped.
        const unsigned char* s = reinterpret_cast<const unsigned char*>(e.text.text);
        while (*s) {
            unsigned cp;
            int len;
            if (*s < 0x80) { cp = *s; len = 1; }
            else if ((*s & 0xE0) == 0xC0) { cp = *s & 0x1F; len = 2; }
            else if ((*s & 0xF0) == 0xE0) { cp = *s & 0x0F; len = 3; }
            else if ((*s & 0xF8) == 0xF0) { cp = *s & 0x07; len = 4; }
            else { ++s; continue; }
            int i = 1;
            for (; i < len && s[i]; ++i)
                cp = (cp << 6) | (s[i] & 0x3F);
            s += i;
            if (i == len && cp >= 32 && cp <= 255 && cp != 127)
                Push(Msg::Char, static_cast<int>(cp));
        }
        break;
    }
    case SDL_MOUSEMOTION: {
        int x, y;
        LogicalMouse(e.motion.x, e.motion.y, x, y);
        Push(Msg::MouseMove, 0, PackMousePos(x, y));
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int x, y;
        LogicalMouse(e.button.x, e.button.y, x, y);
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        bool dbl = down && e.button.clicks == 2;
        if (e.button.button == SDL_BUTTON_LEFT)
            Push(down ? (dbl ? Msg::LButtonDblClk : Msg::LButtonDown) : Msg::LButtonUp, 0, PackMousePos(x, y));
        else if (e.button.button == SDL_BUTTON_RIGHT)
            Push(down ? (dbl ? Msg::RButtonDblClk : Msg::RButtonDown) : Msg::RButtonUp, 0, PackMousePos(x, y));
        break;
    }
    default:
        break;
    }
}

bool SdlWindowSystem::PollEvent(WindowEvent& event)
{
    if (mQueue.empty()) {
        if (TerminationRequested()) {
            ClearTerminationRequest();
            Push(Msg::EndSession, 1);
        }
        if (mVideoStarted) {
            SDL_Event e;
            while (mQueue.empty() && SDL_PollEvent(&e))
                Translate(&e);
        }
        // The 10 ms window timer.
        if (mQueue.empty() && mWindow) {
            uint32_t now = TickCount();
            if (TickDiff(now, mLastTimer) >= 10) {
                mLastTimer = now;
                Push(Msg::Timer, 100);
            }
        }
    }
    if (mQueue.empty())
        return false;
    event = mQueue.front();
    mQueue.pop_front();
    return true;
}

void SdlWindowSystem::GetCursorPos(int& x, int& y)
{
    int wx = 0, wy = 0;
    if (mVideoStarted)
        SDL_GetMouseState(&wx, &wy);
    LogicalMouse(wx, wy, x, y);
}

bool SdlWindowSystem::IsCursorInWindow()
{
    if (!mWindow || SDL_GetMouseFocus() != mWindow)
        return false;
    int x, y;
    GetCursorPos(x, y);
    return x >= 0 && y >= 0 && x < mWidth && y < mHeight;
}

void SdlWindowSystem::CaptureMouse(bool capture)
{
    if (mVideoStarted)
        SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}

void SdlWindowSystem::SetSystemCursor(SystemCursor cursor)
{
    if (!mVideoStarted)
        return;
    if (cursor == SystemCursor::None) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    static const SDL_SystemCursor ids[] = {SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_HAND, SDL_SYSTEM_CURSOR_SIZEALL,
                                           SDL_SYSTEM_CURSOR_IBEAM, SDL_SYSTEM_CURSOR_SIZEALL};
    int i = static_cast<int>(cursor);
    if (!mCursors[i])
        mCursors[i] = SDL_CreateSystemCursor(ids[i]);
    if (mCursors[i])
        SDL_SetCursor(static_cast<SDL_Cursor*>(mCursors[i]));
    SDL_ShowCursor(SDL_ENABLE);
}

void SdlWindowSystem::DefineCursor(SystemCursor which, const uint8_t* data, const uint8_t* mask, int hotX, int hotY)
{
    if (!mVideoStarted)
        return;
    int i = static_cast<int>(which);
    if (i < 0 || i >= 5)
        return;
    SDL_Cursor* c = SDL_CreateCursor(data, mask, 32, 32, hotX, hotY);
    if (!c)
        return;
    if (mCursors[i])
        SDL_FreeCursor(static_cast<SDL_Cursor*>(mCursors[i]));
    mCursors[i] = c;
}

int SdlWindowSystem::RefreshPeriod()
{
    SDL_DisplayMode mode{};
    int rate = 0;
    if (mWindow && SDL_GetWindowDisplayMode(mWindow, &mode) == 0)
        rate = mode.refresh_rate;
    if (rate < 60)
        rate = 60;
    return 1000 / rate;
}

} // namespace Platform
