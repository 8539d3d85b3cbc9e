#pragma once
// The 3D device behind the display: textures, a render target, textured or plain
// primitives of pre-transformed vertices with source-alpha blending, and reading the
// target back. The SDL version draws through the window's SDL renderer; tests use
// RecordingRenderDevice. Every call runs on the main thread.
#include <cstdint>
#include <string>

namespace Platform {

// 0 is no texture.
using TextureId = uint32_t;

enum class TextureFormat { ARGB8888, ARGB4444 };

enum class Primitive { TriangleStrip, TriangleFan, LineList };

// Source colour times source alpha, onto the destination times (1 - source alpha)
// (Normal) or onto the destination unchanged (Additive); OneOne adds the plain
// source colour, a mode only the capability test asks for.
enum class BlendKind { Normal, Additive, OneOne };

// A pre-transformed vertex: pixel centres at integer coordinates, texture
// coordinates 0..1 over the texture, and a colour (0xAARRGGBB) that multiplies the
// texel's colour and alpha.
struct RenderVertex {
    float x = 0, y = 0;
    uint32_t color = 0xFFFFFFFF;
    float u = 0, v = 0;
};

struct RenderCaps {
    int maxTextureWidth = 0;
    int maxTextureHeight = 0;
    bool argb8888 = false;
    bool argb4444 = false;
    bool targetTextures = false;
    // The renderer's name followed by the graphics driver's vendor and renderer.
    std::string description;
};

class RenderDevice {
public:
    virtual ~RenderDevice() = default;

    virtual RenderCaps Caps() = 0;

    // A texture to draw from; 0 when it cannot be made.
    virtual TextureId CreateTexture(TextureFormat format, int width, int height) = 0;
    // Replaces all texels: rows of pitch bytes in the texture's format.
    virtual bool UpdateTexture(TextureId texture, const void* pixels, int pitch) = 0;
    virtual void DestroyTexture(TextureId texture) = 0;

    // A texture to draw into (ARGB8888); 0 when the device cannot draw into textures.
    virtual TextureId CreateTarget(int width, int height) = 0;
    // Directs drawing into the target (0: back to the window).
    virtual bool SetTarget(TextureId target) = 0;
    virtual bool Clear(uint32_t argb) = 0;
    // texture 0 draws plain colour. linear picks bilinear filtering.
    virtual bool Draw(Primitive primitive, TextureId texture, const RenderVertex* vertices, int count,
                      BlendKind blend, bool linear) = 0;
    // Reads a rectangle of the current target into 32-bit (0x00RRGGBB in the low bits)
    // or 16-bit 565 pixels, rows of pitch bytes.
    virtual bool ReadPixels(int x, int y, int width, int height, int bitCount, void* pixels, int pitch) = 0;
};

} // namespace Platform
