#pragma once
// A text link: its label centred and underlined, in another colour under the mouse.
#include "framework/widgets/ButtonWidget.h"

namespace Zant {

class HyperlinkWidget : public ButtonWidget {
public:
    HyperlinkWidget(int id, ButtonListener* listener);

    void Draw(Graphics* g) override;
    void MouseEnter() override;
    void MouseLeave() override;

public:
    Color mColor{255, 255, 255};
    Color mOverColor{255, 255, 255};
    int mUnderlineSize = 1;
    int mUnderlineOffset = 3;
};

} // namespace Zant
