#include "framework/graphics/FontMarkup.h"

#include <algorithm>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"

namespace Zant {

namespace {

const size_t CODE_LENGTH = 8; // "^RRGGBB^"

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

int HexByte(const std::string& text, size_t pos)
{
    return HexDigit(text[pos]) * 16 + HexDigit(text[pos + 1]);
}

} // namespace

MarkupStep NextMarkupStep(const std::string& text, size_t pos, size_t end, bool markupOn)
{
    MarkupStep step;
    end = std::min(end, text.size());
    if (pos >= end)
        return step;
    step.start = pos;
    if (!markupOn) {
        step.kind = MarkupKind::Text;
        step.length = end - pos;
        return step;
    }
    if (text[pos] != '^') {
        size_t stop = text.find('^', pos);
        step.kind = MarkupKind::Text;
        step.length = (stop == std::string::npos || stop > end ? end : stop) - pos;
        return step;
    }
    if (pos + 1 < end && text[pos + 1] == '^') {
        step.kind = MarkupKind::Caret;
        step.length = 2;
        return step;
    }
    if (pos + CODE_LENGTH > end) {
        step.kind = MarkupKind::Caret;
        step.length = 1;
        return step;
    }
    step.kind = MarkupKind::Color;
    step.length = CODE_LENGTH;
    step.color = Color(HexByte(text, pos + 1), HexByte(text, pos + 3), HexByte(text, pos + 5), 255);
    return step;
}

int WriteMarkupString(Graphics& g, const std::string& text, int x, int y, bool draw, bool markupOn, size_t start,
                      long length)
{
    size_t end = text.size();
    if (length >= 0 && start + static_cast<size_t>(length) < end)
        end = start + static_cast<size_t>(length);
    Font* font = g.GetFont();
    int width = 0;
    std::string pending;
    auto flush = [&] {
        if (pending.empty())
            return;
        if (draw)
            g.DrawString(pending, x + width, y);
        if (font)
            width += font->StringWidth(pending);
        pending.clear();
    };
    size_t pos = start;
    while (pos < end) {
        MarkupStep step = NextMarkupStep(text, pos, end, markupOn);
        if (step.kind == MarkupKind::End)
            break;
        if (step.kind == MarkupKind::Text)
            pending.append(text, step.start, step.length);
        else if (step.kind == MarkupKind::Caret)
            pending += '^';
        else {
            flush();
            if (draw)
                g.SetColor(step.color);
        }
        pos += step.length;
    }
    flush();
    return width;
}

} // namespace Zant
