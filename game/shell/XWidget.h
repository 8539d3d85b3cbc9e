#pragma once
// The pulsing marker of one dive site on the map, with its own tooltip; a click
// (or the site's letter typed on the map) chooses the site.
#include "framework/widgets/Widget.h"

namespace Zant {

class Image;
class MapScreen;
class TooltipWidget;
class WinBTApp;

class XWidget : public Widget {
public:
    XWidget(WinBTApp* app, MapScreen* map, Image* image, char letter);
    ~XWidget() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Resize(int x, int y, int width, int height) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int x, int y, int clickCount) override;
    void Update() override;
    void Draw(Graphics* g) override;

public:
    WinBTApp* mApp;
    MapScreen* mMap;
    int mSiteNumber = -1;
    int mAlpha = 255;
    bool mRising = false;
    TooltipWidget* mTooltip;
    Image* mImage;
    char mLetter;
};

} // namespace Zant
