#pragma once
// A display on a fake screen, not yet started: the test sets the screen up (its
// desktop, what it refuses, a 3D device) and the display's mode, then calls Init.
#include <memory>

#include "framework/graphics/DDInterface.h"
#include "platform/display/FakeScreen.h"

namespace TestSupport {

struct FakeScreenDisplay {
    explicit FakeScreenDisplay(Platform::RenderDevice* device = nullptr)
    {
        auto fake = std::make_unique<Platform::FakeScreen>();
        screen = fake.get();
        screen->device = device;
        dd = std::make_unique<Zant::DDInterface>(nullptr, std::move(fake));
    }
    Platform::FakeScreen* screen;
    std::unique_ptr<Zant::DDInterface> dd;
};

} // namespace TestSupport
