#pragma once
// Dark glass under a line that must read over bright art (coral, the air gauge's
// fill, the pale water by the wreck): light letters on it reach well past 4.5:1
// whatever lies beneath.
#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Rect.h"

namespace Zant {

// The glass at full strength; a fading text takes it down with its own alpha.
constexpr int GLASS_ALPHA = 220;
// Room round the letters on a glass plate.
constexpr int PLATE_PAD_X = 12;
constexpr int PLATE_PAD_Y = 5;

// A plate of dark glass with its corners cut, so it sits like a label and not a
// hole. alpha is that of the text it carries (255: fully shown).
inline void DrawGlassPlate(Graphics* g, const Rect& box, int alpha = 255)
{
    g->SetColor(Color(4, 16, 30, GLASS_ALPHA * alpha / 255));
    g->FillRect(box.x + 2, box.y, box.width - 4, 1);
    g->FillRect(box.x + 1, box.y + 1, box.width - 2, 1);
    g->FillRect(box.x, box.y + 2, box.width, box.height - 4);
    g->FillRect(box.x + 1, box.y + box.height - 2, box.width - 2, 1);
    g->FillRect(box.x + 2, box.y + box.height - 1, box.width - 4, 1);
}

} // namespace Zant
