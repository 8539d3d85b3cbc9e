#pragma once
// A 3D device for tests: it keeps every texture's size, format and last upload,
// records each primitive drawn, answers reads of the target from a test's callback,
// and fails the steps a test asks it to.
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "platform/display/RenderDevice.h"

namespace Platform {

class RecordingRenderDevice : public RenderDevice {
public:
    struct Texture {
        TextureFormat format = TextureFormat::ARGB8888;
        int width = 0, height = 0;
        bool target = false;
        int uploads = 0;
        std::vector<uint8_t> texels; // the last upload, rows packed
    };
    struct DrawCall {
        Primitive primitive = Primitive::TriangleStrip;
        TextureId texture = 0;
        std::vector<RenderVertex> vertices;
        BlendKind blend = BlendKind::Normal;
        bool linear = false;
        TextureId target = 0;
    };

    RenderCaps Caps() override
    {
        ++capsCalls;
        return caps;
    }
    TextureId CreateTexture(TextureFormat format, int width, int height) override
    {
        if (failCreateTexture)
            return 0;
        const TextureId id = nextId++;
        textures[id] = Texture{format, width, height, false, 0, {}};
        return id;
    }
    bool UpdateTexture(TextureId id, const void* pixels, int pitch) override
    {
        auto it = textures.find(id);
        if (it == textures.end() || failUpdate)
            return false;
        Texture& t = it->second;
        const int rowBytes = t.width * (t.format == TextureFormat::ARGB4444 ? 2 : 4);
        t.texels.resize(size_t(rowBytes) * t.height);
        for (int y = 0; y < t.height; ++y)
            std::memcpy(t.texels.data() + size_t(y) * rowBytes, static_cast<const uint8_t*>(pixels) + size_t(y) * pitch,
                        size_t(rowBytes));
        ++t.uploads;
        return true;
    }
    void DestroyTexture(TextureId id) override
    {
        if (textures.erase(id))
            ++destroyed;
        if (target == id)
            target = 0;
    }
    TextureId CreateTarget(int width, int height) override
    {
        if (!caps.targetTextures)
            return 0;
        const TextureId id = nextId++;
        textures[id] = Texture{TextureFormat::ARGB8888, width, height, true, 0, {}};
        return id;
    }
    bool SetTarget(TextureId id) override
    {
        target = id;
        return true;
    }
    bool Clear(uint32_t argb) override
    {
        ++clears;
        lastClear = argb;
        return true;
    }
    bool Draw(Primitive primitive, TextureId texture, const RenderVertex* vertices, int count, BlendKind blend,
              bool linear) override
    {
        if (blend == BlendKind::OneOne && !oneOneBlend)
            return false;
        if (failDraw)
            return false;
        draws.push_back(DrawCall{primitive, texture, std::vector<RenderVertex>(vertices, vertices + count), blend,
                                 linear, target});
        return true;
    }
    bool ReadPixels(int x, int y, int width, int height, int bitCount, void* pixels, int pitch) override
    {
        ++reads;
        if (bitCount != 32)
            return false;
        for (int row = 0; row < height; ++row) {
            auto* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + size_t(row) * pitch);
            for (int col = 0; col < width; ++col)
                out[col] = onRead ? onRead(reads, x + col, y + row) : 0;
        }
        return true;
    }

    // How many texture calls of any kind happened (the capability test's "no device").
    int Calls() const { return capsCalls + int(textures.size()) + int(draws.size()) + reads; }

    // Settings.
    RenderCaps caps{1024, 1024, true, true, true, "recording device"};
    bool failCreateTexture = false;
    bool failUpdate = false;
    bool failDraw = false;
    bool oneOneBlend = true;
    // The colour (0xRRGGBB) of pixel (x, y) at the n-th read (counted from 1).
    std::function<uint32_t(int read, int x, int y)> onRead;

    // What happened.
    std::map<TextureId, Texture> textures;
    std::vector<DrawCall> draws;
    TextureId nextId = 1;
    TextureId target = 0;
    int capsCalls = 0;
    int clears = 0;
    uint32_t lastClear = 0;
    int reads = 0;
    int destroyed = 0;
};

} // namespace Platform
