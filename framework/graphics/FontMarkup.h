#pragma once
// Inline colour codes in drawn texts: "^RRGGBB^" switches the colour of what
// follows (hex digits in either case; any other character counts as 0) and "^^"
// draws one caret. This is the one scanner every text writer uses.
//
// A caret too close to the end of the range to hold a whole code is drawn as a
// caret, and "^^" is a caret anywhere, so a stray caret never cuts the rest of the
// text. A code that ends exactly at the range end still switches the colour, so a
// line broken right after a code keeps it for the next line.
#include <cstddef>
#include <string>

#include "framework/graphics/Color.h"

namespace Zant {

class Font;
class Graphics;

enum class MarkupKind { Text, Caret, Color, End };

struct MarkupStep {
    MarkupKind kind = MarkupKind::End;
    size_t start = 0;  // of the literal text (Text) in the string
    size_t length = 0; // characters of text the step covers in the string
    Color color;       // for Color
};

// The step at pos in text[0, end). With markup off the rest is one Text step.
MarkupStep NextMarkupStep(const std::string& text, size_t pos, size_t end, bool markupOn);

// Walks text[start, start + length) (a negative length: to the end), measuring
// runs with g's font and, when draw is set, drawing them from (x, y) and setting g's
// colour at each code. Returns the width of the visible text.
int WriteMarkupString(Graphics& g, const std::string& text, int x, int y, bool draw, bool markupOn,
                      size_t start = 0, long length = -1);

} // namespace Zant
