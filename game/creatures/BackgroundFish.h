#pragma once
// Scenery: small fish that swim across behind the play, carry no word and are never
// typed.
#include "game/play/GameObject.h"

namespace Zant {

class WinBTApp;
class Image;

class BackgroundFish : public GameObject {
public:
    static constexpr int CELS = 20;
    static constexpr int SIZE = 20;

    // A new fish of a random kind, height and speed at the left edge.
    explicit BackgroundFish(WinBTApp* app);
    // A copy of a model fish at a new random place left of the screen.
    BackgroundFish(WinBTApp* app, BackgroundFish& model);

    void Update() override;
    void Draw(Graphics* g) override;

public:
    WinBTApp* mApp;
    Image* mImage = nullptr;
};

} // namespace Zant
