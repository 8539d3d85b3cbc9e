#pragma once
// A button drawn as a nine-part frame image stretched over its rectangle, shifted
// by a pixel while pressed; dialogs and the game's screens use it.
#include "framework/graphics/Rect.h"
#include "framework/widgets/ButtonWidget.h"

namespace Zant {

class DialogButton : public ButtonWidget {
public:
    DialogButton(Image* componentImage, int id, ButtonListener* listener);

    void Draw(Graphics* g) override;

public:
    Image* mComponentImage; // not owned
    // Cells inside the frame image for each look; all empty: the whole image.
    Rect mNormalRect;
    Rect mOverRect;
    Rect mDownRect;
    int mTranslateX = 1;
    int mTranslateY = 1;
    int mTextOffsetX = 0;
    int mTextOffsetY = 0;
};

} // namespace Zant
