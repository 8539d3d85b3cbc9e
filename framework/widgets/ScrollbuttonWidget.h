#pragma once
// One arrow button of a scroll bar, drawn in the stock grey look. Id 0 is the up
// (or left) arrow, id 1 the down (or right) arrow.
#include "framework/widgets/ButtonWidget.h"

namespace Zant {

class ScrollbuttonWidget : public ButtonWidget {
public:
    ScrollbuttonWidget(int id, ButtonListener* listener);

    void Draw(Graphics* g) override;

public:
    bool mHorizontal = false;
};

// The grey face with a white, black and grey bevel shared by scroll thumbs and arrows.
void DrawScrollBevel(Graphics* g, int x, int y, int width, int height);

} // namespace Zant
