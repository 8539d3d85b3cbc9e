#include "game/shell/DialogList.h"

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"

namespace Zant {

namespace {
// Glass deep enough for white lines and the gold of the line under the mouse.
const int COLOURS[][3] = {{23, 79, 108}, {10, 20, 32}, {255, 255, 255}, {255, 200, 86}, {10, 46, 68}};
const Color BRASS(184, 137, 59);
constexpr int FRAME = 2;
} // namespace

DialogList::DialogList(Font* font, ListListener* listener) : ListWidget(0, font, listener)
{
    SetColors(COLOURS, 5);
    mDrawOutline = true;
    mJustify = JUSTIFY_CENTER;
}

void DialogList::Draw(Graphics* g)
{
    ListWidget::Draw(g);
    // The frame lies in the margin the lines keep from the list's edge.
    g->SetColor(BRASS);
    for (int i = 1; i <= FRAME; ++i)
        g->DrawRect(i, i, mWidth - 1 - 2 * i, mHeight - 1 - 2 * i);
}

} // namespace Zant
