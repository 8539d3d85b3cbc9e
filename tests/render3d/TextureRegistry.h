#pragma once
// An image registry for tests without an application: an image forgotten drops its
// textures from the 3D renderer or display it was drawn with, as the application's
// images do.
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/MemoryImage.h"

namespace RenderTest {

template <class Owner>
class TextureRegistry : public Zant::ImageRegistry {
public:
    explicit TextureRegistry(Owner* owner = nullptr) : textures(owner) {}
    void AddImage(Zant::MemoryImage*) override {}
    void ForgetImage(Zant::MemoryImage* image) override
    {
        if (textures)
            textures->DropImageTextures(image);
    }
    // The renderer or display holding the images' textures, if any.
    Owner* textures;
};

} // namespace RenderTest
