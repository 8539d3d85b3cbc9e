#include "framework/widgets/ListWidget.h"

#include <cmath>
#include <numeric>

#include "framework/app/ZantApp.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/ControlFont.h"
#include "framework/widgets/ScrollbarWidget.h"

namespace Zant {

namespace {

// Byte-wise and independent of the locale: only A-Z fold to a-z.
int CompareNoCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = static_cast<unsigned char>(a[i]);
        int cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca += 'a' - 'A';
        if (cb >= 'A' && cb <= 'Z')
            cb += 'a' - 'A';
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void Cursor(int number)
{
    if (gZantApp)
        gZantApp->SelectCursor(number);
}

// An index after removing row `removed`: that row's index is gone.
int IndexAfterRemoval(int index, int removed)
{
    if (index == removed)
        return -1;
    return index > removed ? index - 1 : index;
}

} // namespace

ListWidget::ListWidget(int id, Font* font, ListListener* listener) : mId(id), mFont(font), mListListener(listener)
{
    mColors = {Color(255, 255, 255), Color(255, 255, 255), Color(0, 0, 0), Color(0, 192, 0), Color(0, 0, 128)};
}

ListWidget::~ListWidget() = default;

Font* ListWidget::GetFont()
{
    if (mFont)
        return mFont;
    if (!mDefaultFont)
        mDefaultFont.reset(CreateControlFont(10));
    return mDefaultFont.get();
}

int ListWidget::GetItemHeight()
{
    const int h = mItemHeight == -1 ? GetFont()->GetHeight() : mItemHeight;
    // A font that failed to load has height 0; rows must still have a height.
    return std::max(h, 1);
}

void ListWidget::ForAllLinked(const std::function<void(ListWidget*)>& f)
{
    ListWidget* first = this;
    while (first->mParent)
        first = first->mParent;
    for (ListWidget* list = first; list; list = list->mChild)
        f(list);
}

void ListWidget::UpdateScrollbars()
{
    ForAllLinked([](ListWidget* list) {
        if (list->mScrollbar)
            list->mScrollbar->SetMaxValue(static_cast<double>(list->mLines.size()));
    });
}

std::string ListWidget::GetSortKey(int index)
{
    if (index < 0 || index >= GetLineCount())
        return std::string();
    std::string key = mLines[index];
    if (static_cast<int>(key.size()) < mMaxNumericPlaces)
        key.insert(0, mMaxNumericPlaces - key.size(), '0');
    if (mChild) {
        const std::string childKey = mChild->GetSortKey(index);
        key = mSortFromChild ? childKey + key : key + childKey;
    }
    return key;
}

void ListWidget::Sort(bool ascending)
{
    const int count = GetLineCount();
    std::vector<std::string> keys(count);
    for (int i = 0; i < count; ++i)
        keys[i] = GetSortKey(i);
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);

    // Swapping only pairs that are strictly out of order keeps equal keys in place.
    for (int pass = 0; pass + 1 < count; ++pass) {
        for (int j = 0; j + 1 < count - pass; ++j) {
            const bool outOfOrder = ascending ? keys[j] > keys[j + 1] : keys[j] < keys[j + 1];
            if (outOfOrder) {
                std::swap(keys[j], keys[j + 1]);
                std::swap(order[j], order[j + 1]);
            }
        }
    }

    std::vector<int> newIndex(count);
    for (int i = 0; i < count; ++i)
        newIndex[order[i]] = i;
    ForAllLinked([&](ListWidget* list) {
        if (static_cast<int>(list->mLines.size()) != count)
            return; // not a column of this table
        std::vector<std::string> lines(count);
        std::vector<Color> colors(count);
        for (int i = 0; i < count; ++i) {
            lines[i] = list->mLines[order[i]];
            const bool hasColor = order[i] < static_cast<int>(list->mLineColors.size());
            colors[i] = hasColor ? list->mLineColors[order[i]] : list->GetColor(2);
        }
        list->mLines.swap(lines);
        list->mLineColors.swap(colors);
        // The selected row stays selected wherever it moved.
        if (list->mSelectIdx >= 0 && list->mSelectIdx < count)
            list->mSelectIdx = newIndex[list->mSelectIdx];
        if (list->mHiliteIdx >= 0 && list->mHiliteIdx < count)
            list->mHiliteIdx = newIndex[list->mHiliteIdx];
        list->MarkDirty();
    });
}

std::string ListWidget::GetStringAt(int index)
{
    if (index < 0 || index >= GetLineCount())
        return std::string();
    return mLines[index];
}

int ListWidget::AddLine(const std::string& text, bool sorted)
{
    int index = GetLineCount();
    if (sorted) {
        for (int i = 0; i < GetLineCount(); ++i) {
            if (CompareNoCase(text, mLines[i]) < 0) {
                index = i;
                break;
            }
        }
    }
    ForAllLinked([&](ListWidget* list) {
        const int at = std::min(index, static_cast<int>(list->mLines.size()));
        list->mLines.insert(list->mLines.begin() + at, list == this ? text : std::string("-"));
        const int colorAt = std::min(at, static_cast<int>(list->mLineColors.size()));
        list->mLineColors.insert(list->mLineColors.begin() + colorAt, list->GetColor(2));
        // Rows below the new one moved down by one.
        if (sorted) {
            if (list->mSelectIdx >= at)
                ++list->mSelectIdx;
            if (list->mHiliteIdx >= at)
                ++list->mHiliteIdx;
        }
        list->MarkDirty();
    });
    UpdateScrollbars();
    return index;
}

void ListWidget::SetLine(int index, const std::string& text)
{
    if (index < 0 || index >= GetLineCount())
        return;
    mLines[index] = text;
    MarkDirty();
}

int ListWidget::GetLineCount() { return static_cast<int>(mLines.size()); }

int ListWidget::GetLineIdx(const std::string& text)
{
    for (int i = 0; i < GetLineCount(); ++i)
        if (mLines[i] == text)
            return i;
    return -1;
}

void ListWidget::SetColor(const std::string& text, const Color& color)
{
    const int index = GetLineIdx(text);
    if (index < 0)
        return;
    ForAllLinked([&](ListWidget* list) {
        if (index < static_cast<int>(list->mLineColors.size())) {
            list->mLineColors[index] = color;
            list->MarkDirty();
        }
    });
}

void ListWidget::RemoveLine(int index)
{
    if (index < 0 || index >= GetLineCount())
        return;
    ForAllLinked([&](ListWidget* list) {
        if (index < static_cast<int>(list->mLines.size()))
            list->mLines.erase(list->mLines.begin() + index);
        if (index < static_cast<int>(list->mLineColors.size()))
            list->mLineColors.erase(list->mLineColors.begin() + index);
        // The selection must not slide onto the next row or past the end.
        list->mSelectIdx = IndexAfterRemoval(list->mSelectIdx, index);
        list->mHiliteIdx = IndexAfterRemoval(list->mHiliteIdx, index);
        list->MarkDirty();
    });
    UpdateScrollbars();
}

void ListWidget::RemoveAll()
{
    ForAllLinked([](ListWidget* list) {
        list->mLines.clear();
        list->mLineColors.clear();
        list->mSelectIdx = -1;
        list->mHiliteIdx = -1;
        list->MarkDirty();
    });
    UpdateScrollbars();
}

int ListWidget::GetOptimalWidth()
{
    Font* font = GetFont();
    int widest = 0;
    for (const std::string& line : mLines)
        widest = std::max(widest, font->StringWidth(line));
    return widest + 16;
}

int ListWidget::GetOptimalHeight() { return GetLineCount() * GetItemHeight() + 8; }

void ListWidget::SetSelect(int index)
{
    if (index < -1 || index >= GetLineCount())
        return;
    ForAllLinked([&](ListWidget* list) {
        list->mSelectIdx = index;
        list->MarkDirty();
    });
}

void ListWidget::SetHilite(int index)
{
    ForAllLinked([&](ListWidget* list) {
        if (list->mHiliteIdx != index) {
            list->mHiliteIdx = index;
            list->MarkDirty();
        }
    });
}

void ListWidget::Resize(int x, int y, int width, int height)
{
    Widget::Resize(x, y, width, height);
    const int h = GetItemHeight();
    mPageSize = mHeight > h + 8 ? static_cast<double>((mHeight - 8) / h) : 1.0;
    if (mScrollbar)
        mScrollbar->SetPageSize(mPageSize);
}

void ListWidget::Draw(Graphics* g)
{
    Font* font = GetFont();
    const int h = GetItemHeight();
    g->SetColor(GetColor(0));
    g->FillRect(0, 0, mWidth, mHeight);

    const int count = GetLineCount();
    const int first = std::max(0, static_cast<int>(mPosition));
    const int last = std::min(first + static_cast<int>(mPageSize) + 1, count - 1);
    for (int i = first; i <= last; ++i) {
        const int y = static_cast<int>((i - mPosition) * h) + 4;
        if (i == mSelectIdx) {
            Graphics bar(*g);
            bar.ClipRect(0, 4, mWidth, mHeight - 8);
            bar.SetColor(GetColor(4));
            bar.FillRect(0, y, mWidth, h);
        }
        Graphics text(*g);
        text.ClipRect(4, 4, mWidth - 8, mHeight - 8);
        text.SetFont(font);
        text.SetColor(i == mHiliteIdx ? GetColor(3)
                                      : (i < static_cast<int>(mLineColors.size()) ? mLineColors[i] : GetColor(2)));
        int x = 4;
        if (mJustify != JUSTIFY_LEFT) {
            const int width = WriteString(&text, mLines[i], 0, 0, -1, -1, false);
            x = mJustify == JUSTIFY_CENTER ? (mWidth - width) / 2 : mWidth - width - 4;
        }
        WriteString(&text, mLines[i], x, y + font->GetAscent());
    }

    if (mDrawOutline) {
        g->SetColor(GetColor(1));
        g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
    }
}

void ListWidget::MouseMove(int x, int y)
{
    const int row = static_cast<int>(std::floor(static_cast<double>(y - 4) / GetItemHeight() + mPosition));
    const int index = row < 0 || row >= GetLineCount() ? -1 : row;
    if (index == mHiliteIdx)
        return;
    SetHilite(index);
    Cursor(index >= 0 ? CURSOR_HAND : CURSOR_POINTER);
}

void ListWidget::MouseDown(int x, int y, int clickCount)
{
    Widget::MouseDown(x, y, clickCount);
    if (mHiliteIdx != -1 && mListListener)
        mListListener->ListClicked(mId, mHiliteIdx, clickCount);
}

void ListWidget::MouseLeave()
{
    Widget::MouseLeave();
    SetHilite(-1);
    Cursor(CURSOR_POINTER);
}

void ListWidget::ScrollPosition(int id, double position)
{
    if (mChild)
        mChild->ScrollPosition(id, position);
    mPosition = position;
    MarkDirty();
}

} // namespace Zant
