#include "game/shell/TabbedWidget.h"

#include <algorithm>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

void TabPanel::SetActive(bool active)
{
    if (mWidgetManager != nullptr) {
        if (active)
            mWidgetManager->BringToFront(this);
        else
            mWidgetManager->BringToBack(this);
    }
    for (Widget* child : mChildren) {
        child->SetVisible(active);
        if (active && mWidgetManager != nullptr)
            mWidgetManager->BringToFront(child);
    }
    SetVisible(active);
    mApp->RaiseStatsCloseButton();
    mActive = active;
}

Widget* TabPanel::GetChild(int index) const
{
    return index >= 0 && index < NumChildren() ? mChildren[size_t(index)] : nullptr;
}

void TabbedWidget::AddTab(TabPanel* panel)
{
    const int slice = mTabImage != nullptr ? mTabImage->GetWidth() / 3 : 0;
    const int titleWidth = mFont != nullptr ? mFont->StringWidth(panel->mTitle) : 0;
    const int width = std::max(titleWidth, 2 * slice) + 2 * mTabPadding;
    const int height = mTabImage != nullptr ? mTabImage->GetHeight() : 0;
    const int x = mTabRects.empty() ? mFirstTabX : mTabRects.back().x + mTabRects.back().width;
    mPanels.push_back(panel);
    mTabRects.emplace_back(x, mTabY, width, height);
}

void TabbedWidget::SelectTab(int index)
{
    if (index < 0 || index >= static_cast<int>(mPanels.size()))
        return;
    if (mSelected >= 0 && mSelected < static_cast<int>(mPanels.size()))
        mPanels[size_t(mSelected)]->SetActive(false);
    mPanels[size_t(index)]->SetActive(true);
    mSelected = index;
    MarkDirty();
}

int TabbedWidget::TabAt(int x, int y) const
{
    for (size_t i = 0; i < mTabRects.size(); ++i) {
        const Rect& r = mTabRects[i];
        // Edges included.
        if (x >= r.x && x <= r.x + r.width && y >= r.y && y <= r.y + r.height)
            return static_cast<int>(i);
    }
    return -1;
}

void TabbedWidget::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    for (TabPanel* panel : mPanels)
        manager->AddWidget(panel);
    for (TabPanel* panel : mPanels)
        for (Widget* child : panel->mChildren)
            manager->BringToFront(child);
}

void TabbedWidget::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    for (TabPanel* panel : mPanels)
        manager->RemoveWidget(panel);
}

void TabbedWidget::DrawTab(Graphics* g, Image* image, const Rect& tab)
{
    const int slice = image->GetWidth() / 3;
    const int height = image->GetHeight();
    if (slice <= 0)
        return;
    g->DrawImage(image, tab.x, tab.y, Rect(0, 0, slice, height));
    // The middle slice repeats; the last piece is cut to what is left.
    const int middle = tab.width - 2 * slice;
    int x = tab.x + slice;
    for (int left = middle; left > 0; left -= slice) {
        const int piece = std::min(slice, left);
        g->DrawImage(image, x, tab.y, Rect(slice, 0, piece, height));
        x += piece;
    }
    g->DrawImage(image, x, tab.y, Rect(2 * slice, 0, slice, height));
}

void TabbedWidget::Draw(Graphics* g)
{
    if (mBackground != nullptr)
        g->DrawImage(mBackground, 0, 0);
    if (mPanelImage != nullptr)
        g->DrawImage(mPanelImage, 0, mTabImage != nullptr ? mTabImage->GetHeight() : 0);
    for (size_t i = 0; i < mPanels.size(); ++i) {
        const Rect& tab = mTabRects[i];
        const bool selected = static_cast<int>(i) == mSelected;
        Image* image = selected || mInactiveTabImage == nullptr ? mTabImage : mInactiveTabImage;
        if (image != nullptr)
            DrawTab(g, image, tab);
        if (mFont != nullptr) {
            g->SetFont(mFont);
            g->SetColor(mTextColor);
            WriteString(g, mPanels[i]->mTitle, tab.x, tab.y + mFont->GetAscent() + mTextOffsetY, tab.width, 0);
        }
        if (!selected && image != nullptr) {
            g->SetColor(mLineColor);
            g->FillRect(tab.x, tab.y + image->GetHeight() - 1, tab.width, 1);
        }
    }
}

void TabbedWidget::MouseDown(int x, int y, int clickCount)
{
    Widget::MouseDown(x, y, clickCount);
    const int tab = TabAt(x, y);
    if (tab >= 0 && tab != mSelected)
        SelectTab(tab);
}

void TabbedWidget::MouseMove(int x, int y) { SetHandCursor(TabAt(x, y) >= 0); }

void TabbedWidget::MouseLeave()
{
    Widget::MouseLeave();
    SetHandCursor(false);
}

} // namespace Zant
