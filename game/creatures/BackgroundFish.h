#pragma once
// Scenery: small fish that swim across behind the play, carry no word and are never
// typed.
#include "game/common/GameObject.h"

namespace Zant {

class CreatureHost;
class Image;

class BackgroundFish : public GameObject {
public:
    static constexpr int CELS = 20;
    static constexpr int SIZE = 20;

    // A new fish of a random kind, height and speed at the left edge.
    explicit BackgroundFish(CreatureHost* app);
    // A copy of a model fish at a new random place left of the screen.
    BackgroundFish(CreatureHost* app, BackgroundFish& model);

    void Update() override;
    void Draw(Graphics* g) override;

public:
    CreatureHost* mApp;
    Image* mImage = nullptr;
};

} // namespace Zant
