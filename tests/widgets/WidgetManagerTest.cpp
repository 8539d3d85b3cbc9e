#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

using Zant::Widget;
using Zant::WidgetManager;

namespace {

// Records the calls it receives, by name.
class Probe : public Widget {
public:
    explicit Probe(std::string n, std::vector<std::string>* log = nullptr) : name(std::move(n)), log(log) {}
    bool WantsFocus() override { return wantsFocus; }
    void Update() override
    {
        Widget::Update();
        if (log)
            log->push_back("update " + name);
        if (onUpdate)
            onUpdate();
    }
    void GotFocus() override
    {
        Widget::GotFocus();
        Note("gotfocus");
    }
    void LostFocus() override
    {
        Widget::LostFocus();
        Note("lostfocus");
    }
    void KeyChar(char c) override { Note("char " + std::to_string(static_cast<int>(c))); }
    void KeyDown(int key) override
    {
        Widget::KeyDown(key);
        Note("keydown " + std::to_string(key));
    }
    void KeyUp(int key) override { Note("keyup " + std::to_string(key)); }
    void MouseDown(int x, int y, int count) override
    {
        Widget::MouseDown(x, y, count);
        Note("mousedown");
    }
    void MouseLeave() override
    {
        Widget::MouseLeave();
        Note("leave");
    }
    void Draw(Zant::Graphics* g) override
    {
        ++draws;
        g->SetColor(Zant::Color(255, 0, 0));
        g->FillRect(0, 0, mWidth, mHeight);
    }
    void Note(const std::string& what)
    {
        if (log)
            log->push_back(what + " " + name);
    }

    std::string name;
    std::vector<std::string>* log;
    bool wantsFocus = false;
    int draws = 0;
    std::function<void()> onUpdate;
};

struct ManagerFixture {
    ManagerFixture()
    {
        screen.Create(640, 480);
        manager.mImage = &screen;
        manager.SetScreenSize(640, 480);
    }
    Zant::MemoryImage screen;
    WidgetManager manager{nullptr};
};

} // namespace

TEST(WidgetManager, ClickOnADisabledWidgetReachesNothing)
{
    ManagerFixture f;
    std::vector<std::string> log;
    Probe below("below", &log), top("top", &log);
    below.Resize(0, 0, 200, 200);
    top.Resize(50, 50, 50, 50);
    f.manager.AddWidget(&below);
    f.manager.AddWidget(&top);
    top.SetDisabled(true);
    f.manager.MouseDown(60, 60, 1);
    EXPECT_EQ(f.manager.mLastDownWidget, nullptr);
    EXPECT_EQ(std::count(log.begin(), log.end(), "mousedown below"), 0);
    f.manager.MouseDown(10, 10, 1);
    EXPECT_EQ(f.manager.mLastDownWidget, &below);
}

TEST(WidgetManager, ModalBaseCutsOffWidgetsBelowAndTakesTheirFocus)
{
    ManagerFixture f;
    std::vector<std::string> log;
    Probe board("board", &log), dialog("dialog", &log);
    board.Resize(0, 0, 640, 480);
    board.wantsFocus = true;
    dialog.Resize(200, 200, 100, 100);
    f.manager.AddWidget(&board);
    f.manager.SetFocus(&board);
    f.manager.AddWidget(&dialog);
    f.manager.SetBaseModal(&dialog);
    EXPECT_EQ(f.manager.mFocusWidget, nullptr);
    EXPECT_NE(std::find(log.begin(), log.end(), "lostfocus board"), log.end());
    EXPECT_EQ(f.manager.GetWidgetAt(10, 10), nullptr);
    EXPECT_EQ(f.manager.GetWidgetAt(210, 210), &dialog);
    f.manager.RemoveWidget(&dialog); // forgetting the modal base frees the board again
    EXPECT_EQ(f.manager.GetWidgetAt(10, 10), &board);
}

TEST(WidgetManager, RemovingWidgetsDuringTheUpdatePassUpdatesTheRestOnce)
{
    // Remove the current widget, the next one, or bring one to the front.
    for (int mode = 0; mode < 3; ++mode) {
        ManagerFixture f;
        std::vector<std::string> log;
        Probe a("a", &log), b("b", &log), c("c", &log), d("d", &log);
        for (Probe* p : {&a, &b, &c, &d})
            f.manager.AddWidget(p);
        if (mode == 0)
            b.onUpdate = [&] { f.manager.RemoveWidget(&b); };
        else if (mode == 1)
            b.onUpdate = [&] { f.manager.RemoveWidget(&c); };
        else
            b.onUpdate = [&] { f.manager.BringToFront(&a); };
        f.manager.UpdateFrame();
        std::vector<std::string> expected =
            mode == 1 ? std::vector<std::string>{"update a", "update b", "update d"}
                      : std::vector<std::string>{"update a", "update b", "update c", "update d"};
        EXPECT_EQ(log, expected) << "mode " << mode;
    }
}

TEST(WidgetManager, KeysReachTheFocusWidgetButCtrlTabGoesNowhere)
{
    ManagerFixture f;
    std::vector<std::string> log;
    Probe w("w", &log);
    f.manager.AddWidget(&w);
    f.manager.SetFocus(&w);
    log.clear();
    f.manager.KeyDown(300); // passed on, not recorded
    EXPECT_FALSE(f.manager.IsKeyDown(300));
    f.manager.KeyDown(17);
    f.manager.KeyChar(9);
    f.manager.KeyUp(9);
    f.manager.KeyUp(17);
    EXPECT_EQ(log, (std::vector<std::string>{"keydown 300 w", "keydown 17 w", "keyup 17 w"}));
}

TEST(WidgetManager, TabMovesTheFocusAlongTheTabChain)
{
    ManagerFixture f;
    Probe a("a"), b("b"), c("c");
    for (Probe* p : {&a, &b, &c})
        f.manager.AddWidget(p);
    a.mTabNext = &b;
    b.mTabPrev = &a;
    f.manager.SetFocus(&a);
    f.manager.KeyDown(9);
    EXPECT_EQ(f.manager.mFocusWidget, &b);
    f.manager.KeyDown(9); // b has no next: stays
    EXPECT_EQ(f.manager.mFocusWidget, &b);
    f.manager.KeyDown(16);
    f.manager.KeyDown(9);
    EXPECT_EQ(f.manager.mFocusWidget, &a);
}

TEST(WidgetManager, DrawsOnlyDirtyWidgetsAndRepaintsWhatAMoveUncovers)
{
    ManagerFixture f;
    Probe back("back"), box("box"), other("other");
    back.Resize(0, 0, 200, 200);
    box.Resize(10, 10, 20, 20);
    other.Resize(400, 400, 20, 20);
    for (Probe* p : {&back, &box, &other})
        f.manager.AddWidget(p);
    EXPECT_TRUE(f.manager.DrawScreen());
    EXPECT_FALSE(f.manager.DrawScreen()); // nothing changed
    EXPECT_EQ(back.draws, 1);

    box.Resize(10, 10, 20, 20); // unchanged: nothing dirty
    EXPECT_FALSE(f.manager.DrawScreen());

    box.Move(100, 100);
    EXPECT_TRUE(f.manager.DrawScreen());
    EXPECT_EQ(back.draws, 2); // the uncovered area comes from below
    EXPECT_EQ(box.draws, 2);
    EXPECT_EQ(other.draws, 1);
}

TEST(WidgetManager, FirstOverlayWidgetRedrawsEverythingOnce)
{
    ManagerFixture f;
    Probe a("a"), b("b"), overlay("overlay");
    a.Resize(0, 0, 100, 100);
    b.Resize(200, 200, 100, 100);
    overlay.Resize(0, 0, 10, 10);
    f.manager.AddWidget(&a);
    f.manager.AddWidget(&b);
    f.manager.DrawScreen();
    overlay.SetOverlay(true);
    f.manager.AddWidget(&overlay);
    EXPECT_TRUE(f.manager.DrawScreen());
    EXPECT_EQ(a.draws, 2);
    EXPECT_EQ(b.draws, 2);
    EXPECT_EQ(overlay.draws, 1);
}

TEST(Widget, ColourTableGrowsWithOpaqueBlack)
{
    Probe w("w");
    Zant::Color c = w.GetColor(5);
    EXPECT_EQ(w.mColors.size(), 6u);
    EXPECT_EQ(c, Zant::Color(0, 0, 0, 255));
}

TEST(Widget, WidgetsSharingOnlyAnEdgeDoNotIntersect)
{
    Probe a("a"), b("b");
    a.Resize(0, 0, 10, 10);
    b.Resize(10, 0, 10, 10);
    EXPECT_FALSE(a.Intersects(&b));
    b.Move(9, 0);
    EXPECT_TRUE(a.Intersects(&b));
}
