#include "framework/widgets/ScrollbuttonWidget.h"

#include "framework/graphics/Graphics.h"

namespace Zant {

void DrawScrollBevel(Graphics* g, int x, int y, int w, int h)
{
    g->SetColor(Color(212, 212, 212));
    g->FillRect(x, y, w, h);
    g->SetColor(Color(255, 255, 255));
    g->FillRect(x + 1, y + 1, w - 3, 1);
    g->FillRect(x + 1, y + 1, 1, h - 3);
    g->SetColor(Color(0, 0, 0));
    g->FillRect(x, y + h - 1, w, 1);
    g->FillRect(x + w - 1, y, 1, h);
    g->SetColor(Color(132, 132, 132));
    g->FillRect(x + 1, y + h - 2, w - 2, 1);
    g->FillRect(x + w - 2, y + 1, 1, h - 2);
}

ScrollbuttonWidget::ScrollbuttonWidget(int id, ButtonListener* listener) : ButtonWidget(id, listener) {}

void ScrollbuttonWidget::Draw(Graphics* g)
{
    const bool pressed = IsButtonDown();
    int shift = 0;
    if (pressed) {
        g->SetColor(Color(212, 212, 212));
        g->FillRect(0, 0, mWidth, mHeight);
        g->SetColor(Color(132, 132, 132));
        g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
        shift = 1;
    } else {
        DrawScrollBevel(g, 0, 0, mWidth, mHeight);
    }

    // Four lines of 1, 3, 5 and 7 pixels make the arrow head.
    g->SetColor(mDisabled ? Color(132, 132, 132) : Color(0, 0, 0));
    const bool first = mId == 0;
    for (int i = 0; i < 4; ++i) {
        const int step = first ? i : 3 - i;
        if (mHorizontal) {
            const int x = (mWidth - 4) / 2 + step + shift;
            g->FillRect(x, mHeight / 2 - i + shift, 1, 2 * i + 1);
        } else {
            const int y = (mHeight - 4) / 2 + step + shift;
            g->FillRect(mWidth / 2 - i + shift, y, 2 * i + 1, 1);
        }
    }
}

} // namespace Zant
