#include "framework/widgets/Widget.h"

#include <string>

#include "framework/app/ZantApp.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/FontMarkup.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"

namespace Zant {

bool gColorMarkupEnabled = true;


Widget::Widget() = default;
Widget::~Widget() = default;

void Widget::AddedToManager(WidgetManager* manager) { mWidgetManager = manager; }
void Widget::RemovedFromManager(WidgetManager* manager) { mWidgetManager = nullptr; }

void Widget::SetVisible(bool visible)
{
    if (visible == mVisible)
        return;
    mVisible = visible;
    if (visible)
        MarkDirty();
    else
        MarkAllDirty();
    if (mWidgetManager)
        mWidgetManager->RehupMouse();
}

void Widget::SetColors(const int rows[][4], int count)
{
    mColors.clear();
    for (int i = 0; i < count; ++i)
        mColors.emplace_back(rows[i][0], rows[i][1], rows[i][2], rows[i][3]);
    MarkDirty();
}

void Widget::SetColors(const int rows[][3], int count)
{
    mColors.clear();
    for (int i = 0; i < count; ++i)
        mColors.emplace_back(rows[i][0], rows[i][1], rows[i][2], 255);
    MarkDirty();
}

void Widget::SetColor(int index, const Color& color)
{
    if (index < 0)
        return;
    if (static_cast<size_t>(index) >= mColors.size())
        mColors.resize(index + 1, Color(0, 0, 0, 255));
    mColors[index] = color;
    MarkDirty();
}

const Color& Widget::GetColor(int index)
{
    static const Color kBlack(0, 0, 0, 255);
    if (index < 0)
        return kBlack;
    if (static_cast<size_t>(index) >= mColors.size())
        mColors.resize(index + 1, Color(0, 0, 0, 255));
    return mColors[index];
}

void Widget::SetOverlay(bool overlay)
{
    if (overlay == mIsOverlay)
        return;
    if (overlay) {
        MarkAllDirty();
        mIsOverlay = true;
    } else {
        mIsOverlay = false;
        MarkDirty();
    }
}

void Widget::SetDisabled(bool disabled)
{
    if (disabled == mDisabled)
        return;
    if (disabled && mWidgetManager)
        mWidgetManager->ForgetWidget(this);
    mDisabled = disabled;
    MarkDirty();
    if (!disabled && mWidgetManager && Contains(mWidgetManager->mLastMouseX, mWidgetManager->mLastMouseY))
        mWidgetManager->MousePosition(mWidgetManager->mLastMouseX, mWidgetManager->mLastMouseY);
}

void Widget::SetHandCursor(bool hand)
{
    if (gZantApp)
        gZantApp->SelectCursor(hand ? CURSOR_HAND : CURSOR_POINTER);
}

void Widget::Resize(const Rect& rect) { Resize(rect.x, rect.y, rect.width, rect.height); }

void Widget::Resize(int x, int y, int width, int height)
{
    if (x == mX && y == mY && width == mWidth && height == mHeight)
        return;
    MarkAllDirty();
    mX = x;
    mY = y;
    mWidth = width;
    mHeight = height;
    MarkDirty();
    if (mWidgetManager)
        mWidgetManager->RehupMouse();
}

void Widget::Move(int x, int y) { Resize(x, y, mWidth, mHeight); }

void Widget::Update() { ++mUpdateCnt; }
void Widget::GotFocus() { mHasFocus = true; }
void Widget::LostFocus() { mHasFocus = false; }

void Widget::KeyDown(int key)
{
    if (key != 9 || !mWidgetManager)
        return;
    Widget* target = mWidgetManager->IsKeyDown(16) ? mTabPrev : mTabNext;
    if (target)
        mWidgetManager->SetFocus(target);
}

void Widget::MouseEnter()
{
    mIsOver = true;
    if (mDoFinger)
        SetHandCursor(true);
}

void Widget::MouseLeave()
{
    mIsOver = false;
    if (mDoFinger)
        SetHandCursor(false);
}

void Widget::MouseDown(int x, int y, int clickCount) { mIsDown = true; }
void Widget::MouseUp(int x, int y, int clickCount) { MouseUp(x, y); }
void Widget::MouseUp(int x, int y) { mIsDown = false; }

void Widget::DrawCenteredLine(Graphics* g, int y, const std::string& text, const Color& textColor,
                              const Color& shadowColor, int shadowOffsetX, int shadowOffsetY)
{
    Font* font = g->GetFont();
    if (!font)
        return;
    int x = (mWidth - font->StringWidth(text)) / 2;
    g->SetColor(shadowColor);
    g->DrawString(text, x + shadowOffsetX, y + shadowOffsetY);
    g->SetColor(textColor);
    g->DrawString(text, x, y);
}

void Widget::DrawCenteredLine(Graphics* g, int y, const std::string& text)
{
    Font* font = g->GetFont();
    if (!font)
        return;
    g->DrawString(text, (mWidth - font->StringWidth(text)) / 2, y);
}

int Widget::WriteString(Graphics* g, const std::string& text, int x, int y, int width, int justification,
                        bool draw, int start, int length)
{
    if (!g->GetFont())
        return 0;
    if (draw && (justification == 0 || justification == 1)) {
        int measured = WriteString(g, text, x, y, width, -1, false, start, length);
        x += justification == 0 ? (width - measured) / 2 : width - measured;
    }
    if (start < 0)
        start = 0;
    return WriteMarkupString(*g, text, x, y, draw, gColorMarkupEnabled, static_cast<size_t>(start), length);
}

int Widget::WriteWordWrapped(Graphics* g, const Rect& rect, const std::string& text, int lineSpacing,
                             int justification)
{
    Font* font = g->GetFont();
    if (!font)
        return 0;
    Color saved = g->GetColor();
    int y0 = font->GetAscent() - font->GetAscentPadding();
    if (lineSpacing == -1)
        lineSpacing = font->GetLineSpacing();

    int curY = y0;
    size_t n = text.size();
    size_t lineStart = 0;
    long breakAt = -1;
    int width = 0;
    char prev = 0;
    auto drawLine = [&](size_t from, size_t to) {
        WriteString(g, text, rect.x, rect.y + curY, rect.width, justification, true, static_cast<int>(from),
                    static_cast<int>(to - from));
    };

    size_t i = 0;
    while (i < n) {
        MarkupStep step = NextMarkupStep(text, i, n, gColorMarkupEnabled);
        size_t next = i + 1;
        if (step.kind == MarkupKind::Color) {
            i += step.length; // colour codes take no room
            continue;
        }
        char c = step.kind == MarkupKind::Caret ? '^' : text[i];
        if (step.kind == MarkupKind::Caret)
            next = i + step.length;
        if (c == '\n') {
            breakAt = static_cast<long>(i);
            width = rect.width + 1;
        } else {
            if (c == ' ')
                breakAt = static_cast<long>(i);
            width += font->CharWidthKern(c, prev);
            prev = c;
        }

        if (width > rect.width) {
            if (breakAt >= 0) {
                drawLine(lineStart, static_cast<size_t>(breakAt));
                next = static_cast<size_t>(breakAt) + 1;
            } else {
                size_t stop = i > lineStart ? i : next; // at least one character a line
                drawLine(lineStart, stop);
                next = stop;
            }
            lineStart = next;
            curY += lineSpacing;
            breakAt = -1;
            width = 0;
            prev = 0;
        }
        i = next;
    }
    if (lineStart < n) {
        drawLine(lineStart, n);
        curY += lineSpacing;
    }
    g->SetColor(saved);
    return curY - lineSpacing + font->GetDescent();
}

int Widget::GetWordWrappedHeight(Graphics* g, int width, const std::string& text, int lineSpacing)
{
    Graphics measure(nullptr);
    measure.SetFont(g->GetFont());
    return WriteWordWrapped(&measure, Rect(0, 0, width, 0), text, lineSpacing, -1);
}

int Widget::CountDigits(int n)
{
    if (n < 10)
        return 1;
    int digits = 0;
    while (n > 0) {
        ++digits;
        n /= 10;
    }
    return digits;
}

void Widget::DrawNumberFromStrip(Graphics* g, int n, int x, int y, Image* strip, int spacing)
{
    if (!strip)
        return;
    int cell = strip->GetWidth() / 10;
    std::string digits = std::to_string(n);
    int pos = 0;
    for (char d : digits) {
        if (d < '0' || d > '9')
            continue;
        int digit = d - '0';
        Graphics cg(*g);
        cg.ClipRect(x + pos, y, cell, strip->GetHeight());
        cg.DrawImage(strip, x + pos - digit * cell, y);
        pos += cell + spacing;
    }
}

bool Widget::Contains(int x, int y) const
{
    return x >= mX && x < mX + mWidth && y >= mY && y < mY + mHeight;
}

Rect Widget::GetInsetRect() const
{
    return Rect(mX + mInsets.mLeft, mY + mInsets.mTop, mWidth - mInsets.mLeft - mInsets.mRight,
                mHeight - mInsets.mTop - mInsets.mBottom);
}

Rect Widget::GetRect() const { return Rect(mX, mY, mWidth, mHeight); }

bool Widget::Intersects(const Widget* other) const { return GetRect().Intersects(other->GetRect()); }

void Widget::MarkAllDirty()
{
    if (mWidgetManager)
        mWidgetManager->MarkDirtyFull(this);
    else
        mDirty = true;
}

void Widget::MarkDirty()
{
    if (mWidgetManager)
        mWidgetManager->MarkDirty(this);
    else
        mDirty = true;
}

} // namespace Zant
