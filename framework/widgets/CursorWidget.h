#pragma once
// An image that follows the mouse, drawn over everything else; never takes input.
#include "framework/widgets/Widget.h"

namespace Zant {

class Image;

class CursorWidget : public Widget {
public:
    CursorWidget();
    void Draw(Graphics* g) override;
    // The image's centre; (0, 0) without an image.
    void GetHotspot(int& x, int& y) const;
    // Moves the widget so that its hot spot lies at (x, y).
    void MoveHotspotTo(int x, int y);
    void SetImage(Image* image);

    Image* mImage = nullptr; // not owned
};

} // namespace Zant
