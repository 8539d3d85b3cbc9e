#pragma once
// The 3D device on the window's SDL renderer: textures are SDL textures, primitives
// go through SDL_RenderGeometry, drawing into the target texture. Our vertices put
// pixel centres at integer coordinates and SDL puts them at +0.5, so every geometry
// vertex is moved by half a pixel here (lines are not: SDL draws them on centres).
// Main thread only.
#include <unordered_map>
#include <vector>

#include "platform/display/RenderDevice.h"

struct SDL_Renderer;
struct SDL_Texture;

namespace Platform {

class SdlRenderDevice : public RenderDevice {
public:
    explicit SdlRenderDevice(SDL_Renderer* renderer) : mRenderer(renderer) {}
    ~SdlRenderDevice() override { DestroyAll(); }
    SdlRenderDevice(const SdlRenderDevice&) = delete;
    SdlRenderDevice& operator=(const SdlRenderDevice&) = delete;

    RenderCaps Caps() override;
    TextureId CreateTexture(TextureFormat format, int width, int height) override;
    bool UpdateTexture(TextureId texture, const void* pixels, int pitch) override;
    void DestroyTexture(TextureId texture) override;
    TextureId CreateTarget(int width, int height) override;
    bool SetTarget(TextureId target) override;
    bool Clear(uint32_t argb) override;
    bool Draw(Primitive primitive, TextureId texture, const RenderVertex* vertices, int count, BlendKind blend,
              bool linear) override;
    bool ReadPixels(int x, int y, int width, int height, int bitCount, void* pixels, int pitch) override;

    // Lets go of every texture (before the renderer is destroyed).
    void DestroyAll();
    int TextureCount() const { return int(mTextures.size()); }

private:
    SDL_Texture* Find(TextureId id) const;
    TextureId Keep(SDL_Texture* texture);

    SDL_Renderer* mRenderer;
    std::unordered_map<TextureId, SDL_Texture*> mTextures;
    TextureId mNextId = 1;
    TextureId mTarget = 0;
    std::vector<int> mIndices;
    std::vector<char> mVertices; // SDL_Vertex storage, kept between draws
};

} // namespace Platform
