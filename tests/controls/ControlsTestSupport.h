#pragma once
// What the control tests share: an application on fake platform services with a
// 640x480 widget manager, a block font with fixed metrics that paints each glyph as
// a filled box (so text shows in pixel checks) and records what it drew, and
// listeners that write every call into one log.
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/app/ZantApp.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

namespace ControlsTest {

struct DrawnText {
    std::string text;
    int x = 0; // pen position and baseline in target coordinates
    int y = 0;
    Zant::Color color;
};

class BlockFont : public Zant::Font {
public:
    BlockFont(int charWidth = 6, int ascent = 10, int height = 13, int ascentPadding = 0, int lineSpacingOffset = 0)
        : mCharWidth(charWidth), mLog(std::make_shared<std::vector<DrawnText>>())
    {
        mAscent = ascent;
        mHeight = height;
        mAscentPadding = ascentPadding;
        mLineSpacingOffset = lineSpacingOffset;
    }

    // Characters that measure 0 (control characters always do).
    std::set<char> mZeroWidth;

    int CharWidth(char c) override
    {
        if (static_cast<unsigned char>(c) < 32 || mZeroWidth.count(c))
            return 0;
        return mCharWidth;
    }
    int StringWidth(const std::string& text) override
    {
        int width = 0;
        for (char c : text)
            width += CharWidth(c);
        return width;
    }
    void DrawString(Zant::Graphics* g, int x, int y, const std::string& text, const Zant::Color& color,
                    const Zant::Rect& clip) override
    {
        mLog->push_back({text, x + g->GetTransX(), y + g->GetTransY(), color});
        int pen = x;
        for (char c : text) {
            const int w = CharWidth(c);
            if (w > 1 && c != ' ')
                g->FillRect(pen, y - mAscent + 1, w - 1, mAscent - 1);
            pen += w;
        }
    }
    Zant::Font* Duplicate() override { return new BlockFont(*this); }

    // Shared by every copy, so what a control's own copy draws shows here.
    const std::vector<DrawnText>& Drawn() const { return *mLog; }
    void ClearDrawn() { mLog->clear(); }

private:
    int mCharWidth;
    std::shared_ptr<std::vector<DrawnText>> mLog;
};

// Listeners writing calls as "press 5 1", "depress 5", "tick 5", "checked 3 1",
// "slider 2 0.5", "scroll 1 7", "list 0 2 1", "text 4 abc".
class Recorder : public Zant::ButtonListener,
                 public Zant::CheckboxListener,
                 public Zant::SliderListener,
                 public Zant::ScrollListener,
                 public Zant::ListListener {
public:
    void ButtonPress(int id, int clickCount) override
    {
        log.push_back("press " + std::to_string(id) + " " + std::to_string(clickCount));
        Zant::ButtonListener::ButtonPress(id, clickCount);
    }
    void ButtonPress(int id) override { log.push_back("press " + std::to_string(id)); }
    void ButtonDepress(int id) override { log.push_back("depress " + std::to_string(id)); }
    void ButtonDownTick(int id) override { log.push_back("tick " + std::to_string(id)); }
    void CheckboxChecked(int id, bool checked) override
    {
        log.push_back("checked " + std::to_string(id) + " " + std::to_string(checked));
    }
    void SliderVal(int id, double value) override { log.push_back("slider " + std::to_string(id) + " " + Num(value)); }
    void ScrollPosition(int id, double position) override
    {
        log.push_back("scroll " + std::to_string(id) + " " + Num(position));
    }
    void ListClicked(int id, int index, int clickCount) override
    {
        log.push_back("list " + std::to_string(id) + " " + std::to_string(index) + " " + std::to_string(clickCount));
    }

    static std::string Num(double v)
    {
        char text[32];
        snprintf(text, sizeof text, "%g", v);
        return text;
    }
    size_t Count(const std::string& entry) const
    {
        size_t n = 0;
        for (const std::string& e : log)
            n += e == entry;
        return n;
    }

    std::vector<std::string> log;
};

// The game's dispatcher stand-in: an application that logs its button calls.
class RecordingApp : public Zant::ZantApp {
public:
    using Zant::ZantApp::ButtonPress;
    void ButtonPress(int id) override { log.push_back("app press " + std::to_string(id)); }
    void ButtonDepress(int id) override
    {
        log.push_back("app depress " + std::to_string(id));
        if (onDepress)
            onDepress(id);
    }
    void ButtonDownTick(int id) override { log.push_back("app tick " + std::to_string(id)); }
    // The dialog factory: plain dialogs on the fixture's frame and button images.
    Zant::Dialog* NewDialog(int id, bool modal, const std::string& header, const std::string& lines,
                            const std::string& footer, int buttonMode) override
    {
        return new Zant::Dialog(frameImage, buttonImage, id, modal, header, lines, footer, buttonMode);
    }
    void DialogAdded(Zant::Dialog*) override { ++added; }
    void DialogRemoved(Zant::Dialog*) override { ++removed; }

    std::vector<std::string> log;
    std::function<void(int)> onDepress;
    Zant::Image* frameImage = nullptr;
    Zant::Image* buttonImage = nullptr;
    int added = 0;
    int removed = 0;
};

// An application on a fake clock, window system and message boxes, with a 640x480
// widget manager drawing into a software screen.
class AppFixture {
public:
    explicit AppFixture(uint32_t start = 100000) : clock(start)
    {
        Platform::SetClock(&clock);
        Platform::SetMessageBoxes(&boxes);
        app = std::make_unique<RecordingApp>();
        app->SetWindowSystem(&windows);
        app->mWidgetManager = new Zant::WidgetManager(app.get());
        app->mWidgetManager->SetScreenSize(640, 480);
        screen.Create(640, 480);
        app->mWidgetManager->mImage = &screen;
        app->mLoadingThreadCompleted = true;
    }
    ~AppFixture()
    {
        app.reset();
        Platform::SetClock(nullptr);
        Platform::SetMessageBoxes(nullptr);
    }

    Zant::WidgetManager& Manager() { return *app->mWidgetManager; }
    // A left click (down and up) at a screen position.
    void Click(int x, int y, int count = 1)
    {
        Manager().MouseMove(x, y);
        Manager().MouseDown(x, y, count);
        Manager().MouseUp(x, y, count);
    }
    void Updates(int n)
    {
        for (int i = 0; i < n; ++i)
            Manager().UpdateFrame();
    }

    Platform::FakeClock clock;
    Platform::FakeWindowSystem windows;
    Platform::FakeMessageBoxService boxes;
    Zant::MemoryImage screen;
    std::unique_ptr<RecordingApp> app;
};

// A solid image of one colour.
inline std::unique_ptr<Zant::MemoryImage> SolidImage(int width, int height, uint32_t argb)
{
    auto image = std::make_unique<Zant::MemoryImage>();
    std::vector<uint32_t> bits(static_cast<size_t>(width) * height, argb);
    image->SetBits(bits.data(), width, height);
    return image;
}

inline uint32_t Pixel(Zant::MemoryImage& image, int x, int y)
{
    return image.GetBits()[static_cast<size_t>(y) * image.GetWidth() + x] | 0xFF000000u;
}

} // namespace ControlsTest
