#pragma once
// The font a control falls back on when its owner gave it none: the system's
// "SansSerif" face. When no system face is installed the font measures 0 and draws
// nothing, so such a control still works, only without visible text.
namespace Zant {

class Font;

// A new font the caller owns.
Font* CreateControlFont(int pointSize, bool bold = false);

} // namespace Zant
