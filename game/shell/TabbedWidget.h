#pragma once
// A strip of tabs over a panel area: each tab shows one panel, the others are put
// away. The statistics screen uses it for its adventure, abyss and tutor pages.
#include <string>
#include <vector>

#include "framework/graphics/Rect.h"
#include "framework/widgets/Widget.h"

namespace Zant {

class Font;
class Image;
class WinBTApp;

// One page of a TabbedWidget: its title labels the tab; its children come and go
// with it.
class TabPanel : public Widget {
public:
    explicit TabPanel(WinBTApp* app) : mApp(app) {}

    // Shown with its children and brought to the front, or hidden and sent back.
    virtual void SetActive(bool active);
    virtual void AddChild(Widget* widget) { mChildren.push_back(widget); }
    virtual Widget* GetChild(int index) const;
    int NumChildren() const { return static_cast<int>(mChildren.size()); }

public:
    std::vector<Widget*> mChildren; // not owned
    WinBTApp* mApp;
    bool mActive = true;
    std::string mTitle;
};

class TabbedWidget : public Widget {
public:
    explicit TabbedWidget(WinBTApp* app) : mApp(app) {}

    // Appends a tab for the panel (not owned), after the last tab.
    void AddTab(TabPanel* panel);
    void SelectTab(int index);
    // The tab under a point, or -1.
    int TabAt(int x, int y) const;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseMove(int x, int y) override;
    void MouseLeave() override;

public:
    std::vector<TabPanel*> mPanels;
    std::vector<Rect> mTabRects;
    int mSelected = 0;
    WinBTApp* mApp;
    Font* mFont = nullptr;
    Color mTextColor;
    Color mLineColor;
    Image* mBackground = nullptr;
    Image* mPanelImage = nullptr;
    Image* mTabImage = nullptr;
    Image* mInactiveTabImage = nullptr;
    int mTabPadding = 0;
    int mTextOffsetY = 0;
    int mFirstTabX = 0;
    int mTabY = 0;

private:
    void DrawTab(Graphics* g, Image* image, const Rect& tab);
};

} // namespace Zant
