#include "platform/display/SdlRenderDevice.h"

#include <SDL.h>

#include <cstring>

namespace Platform {

namespace {

SDL_BlendMode ToSdl(BlendKind blend)
{
    switch (blend) {
    case BlendKind::Normal: return SDL_BLENDMODE_BLEND;
    case BlendKind::Additive: return SDL_BLENDMODE_ADD; // source alpha onto one, destination alpha kept
    case BlendKind::OneOne:
        return SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD,
                                          SDL_BLENDFACTOR_ZERO, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD);
    }
    return SDL_BLENDMODE_BLEND;
}

SDL_Color ToColor(uint32_t argb)
{
    return SDL_Color{Uint8(argb >> 16), Uint8(argb >> 8), Uint8(argb), Uint8(argb >> 24)};
}

// The graphics driver's vendor and renderer names, when the renderer draws with GL.
std::string GlStrings(const char* rendererName)
{
    if (std::strncmp(rendererName, "opengl", 6) != 0 || SDL_GL_GetCurrentContext() == nullptr)
        return "";
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!getString)
        return "";
    constexpr unsigned int GL_VENDOR = 0x1F00, GL_RENDERER = 0x1F01;
    std::string text;
    for (unsigned int name : {GL_VENDOR, GL_RENDERER}) {
        const unsigned char* s = getString(name);
        if (s)
            text += std::string(" ") + reinterpret_cast<const char*>(s);
    }
    return text;
}

} // namespace

RenderCaps SdlRenderDevice::Caps()
{
    RenderCaps caps;
    SDL_RendererInfo info{};
    if (!mRenderer || SDL_GetRendererInfo(mRenderer, &info) != 0)
        return caps;
    caps.maxTextureWidth = info.max_texture_width;
    caps.maxTextureHeight = info.max_texture_height;
    caps.targetTextures = (info.flags & SDL_RENDERER_TARGETTEXTURE) != 0;
    // SDL converts the formats its renderers lack into one they have: both classes
    // can be uploaded everywhere.
    caps.argb8888 = true;
    caps.argb4444 = true;
    caps.description = std::string(info.name ? info.name : "") + GlStrings(info.name ? info.name : "");
    return caps;
}

SDL_Texture* SdlRenderDevice::Find(TextureId id) const
{
    auto it = mTextures.find(id);
    return it == mTextures.end() ? nullptr : it->second;
}

TextureId SdlRenderDevice::Keep(SDL_Texture* texture)
{
    if (!texture)
        return 0;
    const TextureId id = mNextId++;
    mTextures[id] = texture;
    return id;
}

TextureId SdlRenderDevice::CreateTexture(TextureFormat format, int width, int height)
{
    if (!mRenderer)
        return 0;
    const Uint32 sdlFormat = format == TextureFormat::ARGB4444 ? SDL_PIXELFORMAT_ARGB4444 : SDL_PIXELFORMAT_ARGB8888;
    return Keep(SDL_CreateTexture(mRenderer, sdlFormat, SDL_TEXTUREACCESS_STATIC, width, height));
}

bool SdlRenderDevice::UpdateTexture(TextureId texture, const void* pixels, int pitch)
{
    SDL_Texture* t = Find(texture);
    return t && SDL_UpdateTexture(t, nullptr, pixels, pitch) == 0;
}

void SdlRenderDevice::DestroyTexture(TextureId texture)
{
    auto it = mTextures.find(texture);
    if (it == mTextures.end())
        return;
    if (mTarget == texture) {
        SDL_SetRenderTarget(mRenderer, nullptr);
        mTarget = 0;
    }
    SDL_DestroyTexture(it->second);
    mTextures.erase(it);
}

void SdlRenderDevice::DestroyAll()
{
    if (mTarget && mRenderer)
        SDL_SetRenderTarget(mRenderer, nullptr);
    mTarget = 0;
    for (auto& [id, texture] : mTextures)
        SDL_DestroyTexture(texture);
    mTextures.clear();
}

TextureId SdlRenderDevice::CreateTarget(int width, int height)
{
    if (!mRenderer || !Caps().targetTextures)
        return 0;
    SDL_Texture* t = SDL_CreateTexture(mRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height);
    return Keep(t);
}

bool SdlRenderDevice::SetTarget(TextureId target)
{
    if (!mRenderer)
        return false;
    SDL_Texture* t = target ? Find(target) : nullptr;
    if (target && !t)
        return false;
    if (SDL_SetRenderTarget(mRenderer, t) != 0)
        return false;
    mTarget = target;
    return true;
}

bool SdlRenderDevice::Clear(uint32_t argb)
{
    const SDL_Color c = ToColor(argb);
    return mRenderer && SDL_SetRenderDrawColor(mRenderer, c.r, c.g, c.b, c.a) == 0 && SDL_RenderClear(mRenderer) == 0;
}

bool SdlRenderDevice::Draw(Primitive primitive, TextureId texture, const RenderVertex* vertices, int count,
                           BlendKind blend, bool linear)
{
    if (!mRenderer || count < 2)
        return false;
    const SDL_BlendMode mode = ToSdl(blend);
    SDL_Texture* t = nullptr;
    if (texture) {
        t = Find(texture);
        if (!t || SDL_SetTextureBlendMode(t, mode) != 0 ||
            SDL_SetTextureScaleMode(t, linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest) != 0)
            return false;
    } else if (SDL_SetRenderDrawBlendMode(mRenderer, mode) != 0) {
        return false;
    }
    if (primitive == Primitive::LineList) {
        for (int i = 0; i + 1 < count; i += 2) {
            const SDL_Color c = ToColor(vertices[i].color);
            SDL_SetRenderDrawColor(mRenderer, c.r, c.g, c.b, c.a);
            if (SDL_RenderDrawLineF(mRenderer, vertices[i].x, vertices[i].y, vertices[i + 1].x, vertices[i + 1].y) != 0)
                return false;
        }
        return true;
    }
    if (count < 3)
        return false;
    mVertices.resize(sizeof(SDL_Vertex) * size_t(count));
    auto* out = reinterpret_cast<SDL_Vertex*>(mVertices.data());
    for (int i = 0; i < count; ++i) {
        out[i].position = SDL_FPoint{vertices[i].x + 0.5f, vertices[i].y + 0.5f};
        out[i].color = ToColor(vertices[i].color);
        out[i].tex_coord = SDL_FPoint{vertices[i].u, vertices[i].v};
    }
    mIndices.clear();
    for (int i = 0; i + 2 < count; ++i) {
        if (primitive == Primitive::TriangleStrip) {
            mIndices.insert(mIndices.end(), {i, i + 1, i + 2});
        } else {
            mIndices.insert(mIndices.end(), {0, i + 1, i + 2});
        }
    }
    return SDL_RenderGeometry(mRenderer, t, out, count, mIndices.data(), int(mIndices.size())) == 0;
}

bool SdlRenderDevice::ReadPixels(int x, int y, int width, int height, int bitCount, void* pixels, int pitch)
{
    if (!mRenderer || (bitCount != 16 && bitCount != 32))
        return false;
    const SDL_Rect rect{x, y, width, height};
    const Uint32 format = bitCount == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_ARGB8888;
    return SDL_RenderReadPixels(mRenderer, &rect, format, pixels, pitch) == 0;
}

} // namespace Platform
