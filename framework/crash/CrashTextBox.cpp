#include "framework/crash/CrashTextBox.h"

#include <algorithm>

#include "framework/app/ZantApp.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/ScrollbarWidget.h"
#include "framework/widgets/WidgetManager.h"

namespace Zant {

namespace {

constexpr Color kWindow(255, 255, 255);
constexpr Color kText(0, 0, 0);
constexpr Color kShadow(128, 128, 128);
constexpr Color kDarkShadow(64, 64, 64);
constexpr Color kLight(255, 255, 255);
constexpr Color kFace(212, 212, 212);
constexpr int kBorder = 2;
constexpr int kMargin = 2;
constexpr int kBlinkTicks = 50;

enum { KEY_END = 35, KEY_HOME = 36, KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40, KEY_DELETE = 46 };
enum { CHAR_BACKSPACE = 8, CHAR_ENTER = 13, CHAR_PASTE = 22 };

// The box keeps line breaks as '\n'; the text it hands out uses CR LF, as a
// multi-line box of the desktop does.
std::string FromCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    return out;
}

} // namespace

CrashTextBox::CrashTextBox(Font* font, bool editable, bool border, bool scrollbar)
    : mFont(font->Duplicate()), mEditable(editable), mBorder(border),
      mBackground(editable || border ? kWindow : kFace)
{
    MeasureCharacters();
    if (scrollbar)
        mScrollbar = new ScrollbarWidget(0, this);
}

void CrashTextBox::MeasureCharacters()
{
    for (int c = 0; c < 256; ++c)
        mCharWidths[c] = mFont->StringWidth(std::string(1, static_cast<char>(c)));
}

CrashTextBox::~CrashTextBox()
{
    delete mScrollbar;
    delete mFont;
}

void CrashTextBox::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    if (mScrollbar)
        manager->AddWidget(mScrollbar);
}

void CrashTextBox::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    if (mScrollbar)
        manager->RemoveWidget(mScrollbar);
}

void CrashTextBox::Resize(int x, int y, int width, int height)
{
    Widget::Resize(x, y, width, height);
    if (mScrollbar) {
        const int inset = mBorder ? kBorder : 0;
        mScrollbar->ResizeScrollbar(x + width - inset - SCROLLBAR_WIDTH, y + inset, SCROLLBAR_WIDTH,
                                    height - 2 * inset);
    }
    Rewrap();
}

std::string CrashTextBox::GetText() const
{
    std::string out;
    out.reserve(mText.size() + mLines.size());
    for (char c : mText) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

void CrashTextBox::SetFont(Font* font)
{
    delete mFont;
    mFont = font->Duplicate();
    MeasureCharacters();
    Rewrap();
}

void CrashTextBox::SetText(const std::string& text)
{
    mText = FromCrLf(text);
    if (mMaxChars >= 0 && static_cast<int>(mText.size()) > mMaxChars)
        mText.resize(static_cast<size_t>(mMaxChars));
    mCaret = 0;
    mTopLine = 0;
    Rewrap();
}

Rect CrashTextBox::TextArea() const
{
    const int inset = (mBorder ? kBorder : 0) + kMargin;
    int width = mWidth - 2 * inset - (mScrollbar ? SCROLLBAR_WIDTH : 0);
    return Rect(inset, inset, std::max(width, 1), std::max(mHeight - 2 * inset, 1));
}

int CrashTextBox::VisibleLines() const
{
    const int spacing = std::max(mFont->GetLineSpacing(), 1);
    return std::max(TextArea().height / spacing, 1);
}

// Greedy word wrap: a line ends at the last blank that still fits; a word wider
// than the box is broken where it reaches the edge.
void CrashTextBox::Rewrap()
{
    mLines.clear();
    const int limit = TextArea().width;
    const int length = static_cast<int>(mText.size());
    int start = 0;
    while (true) {
        int width = 0, breakAt = -1, i = start;
        for (; i < length && mText[i] != '\n'; ++i) {
            const int w = mCharWidths[static_cast<unsigned char>(mText[i])];
            if (width + w > limit && i > start)
                break;
            width += w;
            if (mText[i] == ' ')
                breakAt = i + 1;
        }
        if (i >= length || mText[i] == '\n') {
            mLines.push_back({start, i - start});
            if (i >= length)
                break;
            start = i + 1;
            continue;
        }
        const int end = breakAt > start ? breakAt : i;
        mLines.push_back({start, end - start});
        start = end;
    }
    if (mScrollbar) {
        mScrollbar->SetMaxValue(static_cast<double>(mLines.size()));
        mScrollbar->SetPageSize(static_cast<double>(VisibleLines()));
        mScrollbar->SetValue(mTopLine);
    }
    MarkDirty();
}

int CrashTextBox::CaretLine() const
{
    for (size_t i = mLines.size(); i-- > 0;)
        if (mLines[i].mStart <= mCaret)
            return static_cast<int>(i);
    return 0;
}

void CrashTextBox::KeepCaretVisible()
{
    const int line = CaretLine();
    if (line < mTopLine)
        mTopLine = line;
    else if (line >= mTopLine + VisibleLines())
        mTopLine = line - VisibleLines() + 1;
    if (mScrollbar)
        mScrollbar->SetValue(mTopLine);
}

void CrashTextBox::MoveCaret(int index)
{
    mCaret = std::clamp(index, 0, static_cast<int>(mText.size()));
    mCaretShown = true;
    mBlink = 0;
    KeepCaretVisible();
    MarkDirty();
}

void CrashTextBox::Insert(const std::string& text)
{
    std::string accepted;
    for (char c : text)
        if (c == '\n' || static_cast<unsigned char>(c) >= 32)
            accepted += c;
    if (mMaxChars >= 0)
        accepted.resize(std::min(accepted.size(), static_cast<size_t>(std::max(0, mMaxChars - static_cast<int>(
                                                                                   mText.size())))));
    if (accepted.empty())
        return;
    mText.insert(static_cast<size_t>(mCaret), accepted);
    Rewrap();
    MoveCaret(mCaret + static_cast<int>(accepted.size()));
}

void CrashTextBox::EraseAt(int index)
{
    if (index < 0 || index >= static_cast<int>(mText.size()))
        return;
    mText.erase(static_cast<size_t>(index), 1);
    Rewrap();
    MoveCaret(index);
}

void CrashTextBox::KeyChar(char c)
{
    if (!mEditable)
        return;
    if (c == CHAR_BACKSPACE)
        EraseAt(mCaret - 1);
    else if (c == CHAR_ENTER)
        Insert("\n");
    else if (c == CHAR_PASTE && gZantApp)
        Insert(FromCrLf(gZantApp->GetClipboardText()));
    else if (static_cast<unsigned char>(c) >= 32)
        Insert(std::string(1, c));
}

void CrashTextBox::KeyDown(int key)
{
    Widget::KeyDown(key);
    if (!mEditable || mLines.empty())
        return;
    const int line = CaretLine();
    const Line& here = mLines[static_cast<size_t>(line)];
    switch (key) {
    case KEY_LEFT: MoveCaret(mCaret - 1); break;
    case KEY_RIGHT: MoveCaret(mCaret + 1); break;
    case KEY_HOME: MoveCaret(here.mStart); break;
    case KEY_END: MoveCaret(here.mStart + here.mLength); break;
    case KEY_DELETE: EraseAt(mCaret); break;
    case KEY_UP:
    case KEY_DOWN: {
        const int target = line + (key == KEY_UP ? -1 : 1);
        if (target < 0 || target >= LineCount())
            break;
        const Line& to = mLines[static_cast<size_t>(target)];
        MoveCaret(to.mStart + std::min(mCaret - here.mStart, to.mLength));
        break;
    }
    default: break;
    }
}

void CrashTextBox::MouseDown(int x, int y, int clickCount)
{
    Widget::MouseDown(x, y, clickCount);
    if (!mEditable || mLines.empty())
        return;
    const Rect area = TextArea();
    const int spacing = std::max(mFont->GetLineSpacing(), 1);
    const int line = std::clamp(mTopLine + (y - area.y) / spacing, 0, LineCount() - 1);
    const Line& at = mLines[static_cast<size_t>(line)];
    int index = at.mStart, left = area.x;
    while (index < at.mStart + at.mLength) {
        const int w = mCharWidths[static_cast<unsigned char>(mText[static_cast<size_t>(index)])];
        if (left + w / 2 > x)
            break;
        left += w;
        ++index;
    }
    MoveCaret(index);
}

void CrashTextBox::GotFocus()
{
    Widget::GotFocus();
    mCaretShown = true;
    mBlink = 0;
    MarkDirty();
}

void CrashTextBox::LostFocus()
{
    Widget::LostFocus();
    mCaretShown = false;
    MarkDirty();
}

void CrashTextBox::Update()
{
    Widget::Update();
    if (!mEditable || !mHasFocus)
        return;
    if (++mBlink >= kBlinkTicks) {
        mBlink = 0;
        mCaretShown = !mCaretShown;
        MarkDirty();
    }
}

void CrashTextBox::ScrollPosition(int id, double position)
{
    const int top = std::max(0, static_cast<int>(position + 0.5));
    if (top != mTopLine) {
        mTopLine = top;
        MarkDirty();
    }
}

void CrashTextBox::Draw(Graphics* g)
{
    g->SetColor(mBackground);
    g->FillRect(0, 0, mWidth, mHeight);
    if (mBorder) {
        // Sunken: dark above and left, light below and right.
        g->SetColor(kShadow);
        g->FillRect(0, 0, mWidth - 1, 1);
        g->FillRect(0, 0, 1, mHeight - 1);
        g->SetColor(kDarkShadow);
        g->FillRect(1, 1, mWidth - 3, 1);
        g->FillRect(1, 1, 1, mHeight - 3);
        g->SetColor(kLight);
        g->FillRect(0, mHeight - 1, mWidth, 1);
        g->FillRect(mWidth - 1, 0, 1, mHeight);
        g->SetColor(kFace);
        g->FillRect(1, mHeight - 2, mWidth - 2, 1);
        g->FillRect(mWidth - 2, 1, 1, mHeight - 2);
    }
    const Rect area = TextArea();
    Graphics text(*g);
    text.ClipRect(area);
    text.SetFont(mFont);
    text.SetColor(kText);
    const int spacing = mFont->GetLineSpacing();
    const int shown = std::min(LineCount() - mTopLine, VisibleLines() + 1);
    for (int i = 0; i < shown; ++i) {
        const Line& line = mLines[static_cast<size_t>(mTopLine + i)];
        if (line.mLength > 0)
            text.DrawString(mText.substr(static_cast<size_t>(line.mStart), static_cast<size_t>(line.mLength)),
                            area.x, area.y + i * spacing + mFont->GetAscent());
    }
    if (mEditable && mHasFocus && mCaretShown) {
        const int line = CaretLine();
        if (line >= mTopLine && line < mTopLine + VisibleLines() + 1) {
            const Line& at = mLines[static_cast<size_t>(line)];
            const int x = area.x + mFont->StringWidth(mText.substr(static_cast<size_t>(at.mStart),
                                                                   static_cast<size_t>(mCaret - at.mStart)));
            text.FillRect(x, area.y + (line - mTopLine) * spacing, 1, mFont->GetHeight());
        }
    }
}

} // namespace Zant
