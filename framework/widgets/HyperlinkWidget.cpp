#include "framework/widgets/HyperlinkWidget.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"

namespace Zant {

HyperlinkWidget::HyperlinkWidget(int id, ButtonListener* listener) : ButtonWidget(id, listener)
{
    mDoFinger = true;
}

void HyperlinkWidget::Draw(Graphics* g)
{
    Font* font = CaptionFont(10);
    const int width = font->StringWidth(mLabel);
    const int x = (mWidth - width) / 2;
    const int y = (font->GetAscent() + mHeight) / 2 - 1;
    g->SetFont(font);
    g->SetColor(mIsOver ? mOverColor : mColor);
    g->DrawString(mLabel, x, y);
    for (int i = 0; i < mUnderlineSize; ++i)
        g->FillRect(x, y + mUnderlineOffset + i, width, 1);
}

void HyperlinkWidget::MouseEnter()
{
    ButtonWidget::MouseEnter();
    MarkAllDirty();
}

void HyperlinkWidget::MouseLeave()
{
    ButtonWidget::MouseLeave();
    MarkAllDirty();
}

} // namespace Zant
