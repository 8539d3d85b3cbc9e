#pragma once
// A rising bubble of decoration.
#include "game/common/GameObject.h"

namespace Zant {

class BoardHost;
class Image;

class Bubble : public GameObject {
public:
    static constexpr int NUM_IMAGES = 3;

    explicit Bubble(BoardHost* app);

    void Update() override;
    void Draw(Graphics* g) override;

public:
    BoardHost* mApp;
    // The frame field chooses one of these.
    Image* mImages[NUM_IMAGES] = {};
};

} // namespace Zant
