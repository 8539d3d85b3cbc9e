#pragma once
// A watch over the texts the fonts draw. The game sets none; the tests' legibility
// check sets one to learn where each text's glyphs land on the frame, and to draw
// the frame again with only some of the fonts' layers (the letters alone, their
// outlines alone) or in a colour of its own, so that it can tell a text's letters
// from its outline and from the picture under it. Main thread only, like drawing.
#include <string>
#include <vector>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

namespace Zant {

class Image;

// One glyph of one layer as a font placed it, in the target image's coordinates.
struct WatchedGlyph {
    std::string layer; // the descriptor's layer name in upper case; "" for an installed face's one layer
    Rect rect;
};

class TextWatch {
public:
    virtual ~TextWatch() = default;
    // Whether the layer of this name is drawn, and in what colour (given the one
    // the layer would have).
    virtual bool DrawsLayer(const std::string& layer, Color& color) = 0;
    // A text was drawn into target: its characters, its colour and every glyph
    // placed (drawn or not).
    virtual void TextDrawn(const Image* target, const std::string& text, const Color& color,
                           const std::vector<WatchedGlyph>& glyphs) = 0;
};

// The watch in force; null (the game's case) when there is none.
TextWatch* CurrentTextWatch();
// Sets the watch (null removes it); returns the one it replaces.
TextWatch* SetTextWatch(TextWatch* watch);

} // namespace Zant
