// The software renderer's hot paths against SDL2's blitters and pixman, drawing into
// the same 640x480 pixels. Items are destination pixels touched, so items_per_second
// reads as pixels per second. The /ours cases draw into a free-standing MemoryImage,
// the /ours_screen cases into the game's screen image (the display image over the
// display's 32-bit surface, locked as a frame holds it) from display images, as the
// running game draws.
#include <benchmark/benchmark.h>
#include <pixman.h>
#include <SDL.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/display/FakeScreen.h"

using namespace Zant;

namespace {

constexpr int SCREEN_W = 640;
constexpr int SCREEN_H = 480;
constexpr int SPRITE = 128;
constexpr double ANGLE = 0.5;

uint32_t Pack(int a, int r, int g, int b)
{
    return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

// A round creature: opaque body in a few colours, an anti-aliased rim and a soft
// shadow ring, transparent around it (about 70 distinct pixel values, so it can be
// palettised as the game does with its sprites).
std::vector<uint32_t> MakeSprite()
{
    std::vector<uint32_t> p(SPRITE * SPRITE);
    const int colours[4][3] = {{40, 90, 160}, {60, 120, 190}, {200, 200, 210}, {20, 40, 80}};
    for (int y = 0; y < SPRITE; ++y)
        for (int x = 0; x < SPRITE; ++x) {
            const double r = std::hypot(x - 63.5, y - 63.5);
            const int* c = colours[((x / 16) + (y / 16)) % 4];
            int a = 0;
            if (r < 52)
                a = 255;
            else if (r < 55)
                a = int((55 - r) / 3 * 16) * 15 + 15; // rim, 16 levels
            else if (r < 62)
                a = 16 * int((62 - r) / 7 * 6) + 8;   // shadow
            p[y * SPRITE + x] = a == 0 ? 0 : r < 55 ? Pack(std::min(a, 255), c[0], c[1], c[2]) : Pack(a, 0, 0, 0);
        }
    return p;
}

// A glow: every pixel partly transparent (the worst case for run-length skipping).
std::vector<uint32_t> MakeSoftSprite()
{
    std::vector<uint32_t> p(SPRITE * SPRITE);
    for (int y = 0; y < SPRITE; ++y)
        for (int x = 0; x < SPRITE; ++x) {
            const double r = std::min(1.0, std::hypot(x - 63.5, y - 63.5) / 90.0);
            const int a = 1 + int((1 - r) * (1 - r) * 253);
            p[y * SPRITE + x] = Pack(a, 255, 220, 120);
        }
    return p;
}

// Additive art is opaque, its intensity in the colour on black.
std::vector<uint32_t> MakeGlow()
{
    std::vector<uint32_t> p(SPRITE * SPRITE);
    for (int y = 0; y < SPRITE; ++y)
        for (int x = 0; x < SPRITE; ++x) {
            const double r = std::min(1.0, std::hypot(x - 63.5, y - 63.5) / 64.0);
            const int v = int((1 - r) * 255);
            p[y * SPRITE + x] = Pack(255, v / 2, v, v);
        }
    return p;
}

std::vector<uint32_t> MakeBackground()
{
    std::vector<uint32_t> p(SCREEN_W * SCREEN_H);
    for (int y = 0; y < SCREEN_H; ++y)
        for (int x = 0; x < SCREEN_W; ++x)
            p[y * SCREEN_W + x] = Pack(255, (x * 7 + y) & 0x3F, (y * 3) & 0xFF, 120 + ((x ^ y) & 0x1F));
    return p;
}

std::vector<uint32_t> Premultiplied(const std::vector<uint32_t>& pixels)
{
    std::vector<uint32_t> out(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t p = pixels[i], a = p >> 24;
        auto m = [a](uint32_t c) { return (c * a + 127) / 255; };
        out[i] = a << 24 | m((p >> 16) & 0xFF) << 16 | m((p >> 8) & 0xFF) << 8 | m(p & 0xFF);
    }
    return out;
}

// Forty sprite places over the screen for the full frame.
std::vector<std::pair<int, int>> SpritePlaces()
{
    std::vector<std::pair<int, int>> places;
    for (int i = 0; i < 40; ++i)
        places.push_back({(i * 97) % (SCREEN_W - SPRITE), (i * 61) % (SCREEN_H - SPRITE)});
    return places;
}

// Everything the benchmarks draw, built once. Our screen's pixels are shared with the
// SDL surface and the pixman image, so every peer draws into the same memory.
struct Scene {
    std::vector<uint32_t> backgroundPixels = MakeBackground();
    std::vector<uint32_t> spritePixels = MakeSprite();
    std::vector<uint32_t> softPixels = MakeSoftSprite();
    std::vector<uint32_t> glowPixels = MakeGlow();
    std::vector<uint32_t> spritePremul = Premultiplied(spritePixels);
    std::vector<uint32_t> softPremul = Premultiplied(softPixels);
    std::vector<std::pair<int, int>> places = SpritePlaces();

    MemoryImage screen, background, sprite, softSprite, glow, spritePalette;
    uint32_t* screenBits = nullptr;

    SDL_Surface* sdlScreen = nullptr;
    SDL_Surface* sdlBackground = nullptr;
    SDL_Surface* sdlSprite = nullptr;
    SDL_Surface* sdlSoft = nullptr;
    SDL_Surface* sdlGlow = nullptr;
    SDL_Renderer* sdlRenderer = nullptr;
    SDL_Texture* sdlSpriteTexture = nullptr;

    pixman_image_t* pxScreen = nullptr;
    pixman_image_t* pxBackground = nullptr;
    pixman_image_t* pxSprite = nullptr;
    pixman_image_t* pxSoft = nullptr;
    pixman_image_t* pxGlow = nullptr;

    // The game's display on a stand-in screen, and the images as the game holds them.
    std::unique_ptr<DDInterface> display;
    DDImage* gameScreen = nullptr;
    std::unique_ptr<DDImage> ddBackground, ddSprite, ddSpritePalette, ddSoftSprite, ddGlow;

    Scene()
    {
        background.SetBits(backgroundPixels.data(), SCREEN_W, SCREEN_H);
        sprite.SetBits(spritePixels.data(), SPRITE, SPRITE);
        spritePalette.SetBits(spritePixels.data(), SPRITE, SPRITE);
        if (!spritePalette.Palletize())
            std::abort();
        softSprite.SetBits(softPixels.data(), SPRITE, SPRITE);
        glow.SetBits(glowPixels.data(), SPRITE, SPRITE);
        screen.SetBits(backgroundPixels.data(), SCREEN_W, SCREEN_H);
        screenBits = screen.GetBits();

        auto surface = [](uint32_t* pixels, int w, int h) {
            return SDL_CreateRGBSurfaceWithFormatFrom(pixels, w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888);
        };
        sdlScreen = surface(screenBits, SCREEN_W, SCREEN_H);
        // The peers read the very pixels our images hold (pixman's alpha sprites are the
        // premultiplied forms it needs).
        sdlBackground = surface(background.GetBits(), SCREEN_W, SCREEN_H);
        sdlSprite = surface(sprite.GetBits(), SPRITE, SPRITE);
        sdlSoft = surface(softSprite.GetBits(), SPRITE, SPRITE);
        sdlGlow = surface(glow.GetBits(), SPRITE, SPRITE);
        SDL_SetSurfaceBlendMode(sdlBackground, SDL_BLENDMODE_NONE);
        SDL_SetSurfaceBlendMode(sdlSprite, SDL_BLENDMODE_BLEND);
        SDL_SetSurfaceBlendMode(sdlSoft, SDL_BLENDMODE_BLEND);
        SDL_SetSurfaceBlendMode(sdlGlow, SDL_BLENDMODE_ADD);
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        sdlRenderer = SDL_CreateSoftwareRenderer(sdlScreen);
        sdlSpriteTexture = SDL_CreateTextureFromSurface(sdlRenderer, sdlSprite);
        SDL_SetTextureBlendMode(sdlSpriteTexture, SDL_BLENDMODE_BLEND);

        auto image = [](uint32_t* pixels, int w, int h) {
            return pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, pixels, w * 4);
        };
        pxScreen = image(screenBits, SCREEN_W, SCREEN_H);
        pxBackground = image(background.GetBits(), SCREEN_W, SCREEN_H);
        pxSprite = image(spritePremul.data(), SPRITE, SPRITE);
        pxSoft = image(softPremul.data(), SPRITE, SPRITE);
        pxGlow = image(glow.GetBits(), SPRITE, SPRITE); // opaque: premultiplied already

        display = std::make_unique<DDInterface>(nullptr, std::make_unique<Platform::FakeScreen>());
        if (display->Init(nullptr, true) == DDInterface::RESULT_OK) {
            gameScreen = display->GetScreenImage();
            auto displayImage = [&](const std::vector<uint32_t>& pixels, int w, int h, bool palette) {
                auto made = std::make_unique<DDImage>(display.get());
                made->SetBits(pixels.data(), w, h);
                if (palette && !made->Palletize())
                    std::abort();
                return made;
            };
            ddBackground = displayImage(backgroundPixels, SCREEN_W, SCREEN_H, false);
            ddSprite = displayImage(spritePixels, SPRITE, SPRITE, false);
            ddSpritePalette = displayImage(spritePixels, SPRITE, SPRITE, true);
            ddSoftSprite = displayImage(softPixels, SPRITE, SPRITE, false);
            ddGlow = displayImage(glowPixels, SPRITE, SPRITE, false);
        }
    }

    // Images go before the display they joined.
    ~Scene()
    {
        ddBackground.reset();
        ddSprite.reset();
        ddSpritePalette.reset();
        ddSoftSprite.reset();
        ddGlow.reset();
    }

    // The screen as each benchmark starts: the opaque background.
    void Reset()
    {
        std::copy(backgroundPixels.begin(), backgroundPixels.end(), screenBits);
        screen.BitsChanged();
        if (gameScreen != nullptr)
            gameScreen->SetBits(backgroundPixels.data(), SCREEN_W, SCREEN_H);
    }

    static Scene& Get()
    {
        static Scene scene;
        return scene;
    }
};

void Run(benchmark::State& state, int64_t pixelsPerRun, const std::function<void(Scene&)>& draw)
{
    Scene& scene = Scene::Get();
    scene.Reset();
    for (auto _ : state) {
        draw(scene);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * pixelsPerRun);
}

void Register(const char* name, int64_t pixels, std::function<void(Scene&)> draw)
{
    benchmark::RegisterBenchmark(name, [pixels, draw](benchmark::State& state) { Run(state, pixels, draw); });
}

// A case drawn into the game's screen image through a Graphics on it, the surface
// locked for each run as the widget manager's drawing pass locks it for a frame.
void RegisterScreen(const char* name, int64_t pixels, std::function<void(Scene&, Graphics&)> draw)
{
    benchmark::RegisterBenchmark(name, [pixels, draw](benchmark::State& state) {
        if (Scene::Get().gameScreen == nullptr || !Scene::Get().gameScreen->HasSurface()) {
            state.SkipWithError("the display did not start");
            return;
        }
        Run(state, pixels, [&](Scene& s) {
            s.gameScreen->LockSurface();
            Graphics g(s.gameScreen);
            draw(s, g);
            s.gameScreen->UnlockSurface();
        });
    });
}

const SDL_Rect SDL_SCREEN_RECT{0, 0, SCREEN_W, SCREEN_H};
constexpr int SX = 256, SY = 176; // where a single sprite lands

pixman_color_t PixmanColor(int r, int g, int b, int a)
{
    // Premultiplied, 16 bits a channel.
    auto c = [a](int v) { return uint16_t(v * a / 255 * 257); };
    return pixman_color_t{c(r), c(g), c(b), uint16_t(a * 257)};
}

void PixmanFill(pixman_op_t op, pixman_image_t* dest, pixman_color_t color, int x, int y, int w, int h)
{
    pixman_image_t* solid = pixman_image_create_solid_fill(&color);
    pixman_image_composite32(op, solid, nullptr, dest, 0, 0, 0, 0, x, y, w, h);
    pixman_image_unref(solid);
}

// Affine transform for pixman: destination coordinates to source coordinates.
void PixmanTransform(pixman_image_t* src, double a, double b, double c, double d, double tx, double ty)
{
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    t.matrix[0][0] = pixman_double_to_fixed(a);
    t.matrix[0][1] = pixman_double_to_fixed(b);
    t.matrix[0][2] = pixman_double_to_fixed(tx);
    t.matrix[1][0] = pixman_double_to_fixed(c);
    t.matrix[1][1] = pixman_double_to_fixed(d);
    t.matrix[1][2] = pixman_double_to_fixed(ty);
    pixman_image_set_transform(src, &t);
}

void ClearTransform(pixman_image_t* src)
{
    pixman_image_set_transform(src, nullptr);
    pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
}

const int registered = [] {
    const int64_t screenPixels = SCREEN_W * SCREEN_H;
    const int64_t spritePixels = SPRITE * SPRITE;

    Register("OpaqueFill/ours", screenPixels, [](Scene& s) {
        Graphics g(&s.screen);
        g.SetColor(Color(30, 60, 90));
        g.FillRect(0, 0, SCREEN_W, SCREEN_H);
    });
    Register("OpaqueFill/sdl", screenPixels, [](Scene& s) {
        SDL_FillRect(s.sdlScreen, &SDL_SCREEN_RECT, 0xFF1E3C5A);
    });
    Register("OpaqueFill/pixman", screenPixels, [](Scene& s) {
        PixmanFill(PIXMAN_OP_SRC, s.pxScreen, PixmanColor(30, 60, 90, 255), 0, 0, SCREEN_W, SCREEN_H);
    });

    RegisterScreen("OpaqueFill/ours_screen", screenPixels, [](Scene&, Graphics& g) {
        g.SetColor(Color(30, 60, 90));
        g.FillRect(0, 0, SCREEN_W, SCREEN_H);
    });

    Register("AlphaFill/ours", screenPixels, [](Scene& s) {
        Graphics g(&s.screen);
        g.SetColor(Color(30, 60, 90, 128));
        g.FillRect(0, 0, SCREEN_W, SCREEN_H);
    });
    Register("AlphaFill/sdl", screenPixels, [](Scene& s) {
        SDL_SetRenderDrawBlendMode(s.sdlRenderer, SDL_BLENDMODE_BLEND);
        SDL_SetRenderDrawColor(s.sdlRenderer, 30, 60, 90, 128);
        SDL_RenderFillRect(s.sdlRenderer, &SDL_SCREEN_RECT);
        SDL_RenderFlush(s.sdlRenderer);
    });
    Register("AlphaFill/pixman", screenPixels, [](Scene& s) {
        PixmanFill(PIXMAN_OP_OVER, s.pxScreen, PixmanColor(30, 60, 90, 128), 0, 0, SCREEN_W, SCREEN_H);
    });

    RegisterScreen("AlphaFill/ours_screen", screenPixels, [](Scene&, Graphics& g) {
        g.SetColor(Color(30, 60, 90, 128));
        g.FillRect(0, 0, SCREEN_W, SCREEN_H);
    });

    Register("OpaqueBlit/ours", screenPixels, [](Scene& s) {
        Graphics g(&s.screen);
        g.DrawImage(&s.background, 0, 0);
    });
    Register("OpaqueBlit/sdl", screenPixels, [](Scene& s) {
        SDL_Rect dst = SDL_SCREEN_RECT;
        SDL_BlitSurface(s.sdlBackground, nullptr, s.sdlScreen, &dst);
    });
    Register("OpaqueBlit/pixman", screenPixels, [](Scene& s) {
        pixman_image_composite32(PIXMAN_OP_SRC, s.pxBackground, nullptr, s.pxScreen, 0, 0, 0, 0, 0, 0, SCREEN_W,
                                 SCREEN_H);
    });

    RegisterScreen("OpaqueBlit/ours_screen", screenPixels,
                   [](Scene& s, Graphics& g) { g.DrawImage(s.ddBackground.get(), 0, 0); });

    Register("AlphaBlit/ours", spritePixels, [](Scene& s) {
        Graphics g(&s.screen);
        g.DrawImage(&s.sprite, SX, SY);
    });
    Register("AlphaBlit/ours_palette", spritePixels, [](Scene& s) {
        Graphics g(&s.screen);
        g.DrawImage(&s.spritePalette, SX, SY);
    });
    Register("AlphaBlit/sdl", spritePixels, [](Scene& s) {
        SDL_Rect dst{SX, SY, SPRITE, SPRITE};
        SDL_BlitSurface(s.sdlSprite, nullptr, s.sdlScreen, &dst);
    });
    Register("AlphaBlit/pixman", spritePixels, [](Scene& s) {
        pixman_image_composite32(PIXMAN_OP_OVER, s.pxSprite, nullptr, s.pxScreen, 0, 0, 0, 0, SX, SY, SPRITE,
                                 SPRITE);
    });

    RegisterScreen("AlphaBlit/ours_screen", spritePixels,
                   [](Scene& s, Graphics& g) { g.DrawImage(s.ddSprite.get(), SX, SY); });
    RegisterScreen("AlphaBlit/ours_screen_palette", spritePixels,
                   [](Scene& s, Graphics& g) { g.DrawImage(s.ddSpritePalette.get(), SX, SY); });

    Register("AlphaBlitSoft/ours", spritePixels, [](Scene& s) {
        Graphics g(&s.screen);
        g.DrawImage(&s.softSprite, SX, SY);
    });
    Register("AlphaBlitSoft/sdl", spritePixels, [](Scene& s) {
        SDL_Rect dst{SX, SY, SPRITE, SPRITE};
        SDL_BlitSurface(s.sdlSoft, nullptr, s.sdlScreen, &dst);
    });
    Register("AlphaBlitSoft/pixman", spritePixels, [](Scene& s) {
        pixman_image_composite32(PIXMAN_OP_OVER, s.pxSoft, nullptr, s.pxScreen, 0, 0, 0, 0, SX, SY, SPRITE, SPRITE);
    });

    RegisterScreen("AlphaBlitSoft/ours_screen", spritePixels,
                   [](Scene& s, Graphics& g) { g.DrawImage(s.ddSoftSprite.get(), SX, SY); });

    Register("AdditiveBlit/ours", spritePixels, [](Scene& s) {
        Graphics g(&s.screen);
        g.SetDrawMode(DRAWMODE_ADDITIVE);
        g.DrawImage(&s.glow, SX, SY);
    });
    Register("AdditiveBlit/sdl", spritePixels, [](Scene& s) {
        SDL_Rect dst{SX, SY, SPRITE, SPRITE};
        SDL_BlitSurface(s.sdlGlow, nullptr, s.sdlScreen, &dst);
    });
    Register("AdditiveBlit/pixman", spritePixels, [](Scene& s) {
        pixman_image_composite32(PIXMAN_OP_ADD, s.pxGlow, nullptr, s.pxScreen, 0, 0, 0, 0, SX, SY, SPRITE, SPRITE);
    });

    RegisterScreen("AdditiveBlit/ours_screen", spritePixels, [](Scene& s, Graphics& g) {
        g.SetDrawMode(DRAWMODE_ADDITIVE);
        g.DrawImage(s.ddGlow.get(), SX, SY);
    });

    const int64_t stretchPixels = 4 * spritePixels;
    Register("NearestStretch2x/ours", stretchPixels, [](Scene& s) {
        Graphics g(&s.screen);
        g.SetFastStretch(true);
        g.DrawImage(&s.sprite, Rect(SX - 64, SY - 64, 2 * SPRITE, 2 * SPRITE), Rect(0, 0, SPRITE, SPRITE));
    });
    Register("NearestStretch2x/sdl", stretchPixels, [](Scene& s) {
        SDL_Rect dst{SX - 64, SY - 64, 2 * SPRITE, 2 * SPRITE};
        SDL_BlitScaled(s.sdlSprite, nullptr, s.sdlScreen, &dst);
    });
    Register("NearestStretch2x/pixman", stretchPixels, [](Scene& s) {
        PixmanTransform(s.pxSprite, 0.5, 0, 0, 0.5, 0, 0);
        pixman_image_set_filter(s.pxSprite, PIXMAN_FILTER_NEAREST, nullptr, 0);
        pixman_image_composite32(PIXMAN_OP_OVER, s.pxSprite, nullptr, s.pxScreen, 0, 0, 0, 0, SX - 64, SY - 64,
                                 2 * SPRITE, 2 * SPRITE);
        ClearTransform(s.pxSprite);
    });

    Register("Rotate/ours", spritePixels, [](Scene& s) {
        s.screen.BltRotated(&s.sprite, SX, SY, Rect(0, 0, SPRITE, SPRITE), Rect(0, 0, SCREEN_W, SCREEN_H),
                            Color::White, 0, ANGLE, SPRITE / 2, SPRITE / 2);
    });
    Register("Rotate/sdl", spritePixels, [](Scene& s) {
        SDL_Rect dst{SX, SY, SPRITE, SPRITE};
        SDL_RenderCopyEx(s.sdlRenderer, s.sdlSpriteTexture, nullptr, &dst, -ANGLE * 180 / M_PI, nullptr,
                         SDL_FLIP_NONE);
        SDL_RenderFlush(s.sdlRenderer);
    });
    Register("Rotate/pixman", spritePixels, [](Scene& s) {
        // Turned about the sprite's centre, placed at (SX, SY) like ours; the box of
        // the turned sprite is composited, outside the source is transparent.
        const double c = std::cos(ANGLE), sn = std::sin(ANGLE);
        const double cx = SX + SPRITE / 2.0, cy = SY + SPRITE / 2.0;
        // source = R(angle) * (dest - centre) + sprite centre, our turn's inverse
        PixmanTransform(s.pxSprite, c, -sn, sn, c, SPRITE / 2.0 - c * cx + sn * cy, SPRITE / 2.0 - sn * cx - c * cy);
        pixman_image_set_filter(s.pxSprite, PIXMAN_FILTER_BILINEAR, nullptr, 0);
        const int half = int(std::ceil(SPRITE / 2.0 * (std::abs(c) + std::abs(sn))));
        pixman_image_composite32(PIXMAN_OP_OVER, s.pxSprite, nullptr, s.pxScreen, int(cx) - half, int(cy) - half, 0, 0,
                                 int(cx) - half, int(cy) - half, 2 * half, 2 * half);
        ClearTransform(s.pxSprite);
    });

    const int64_t framePixels = screenPixels + 40 * spritePixels;
    Register("Frame40Sprites/ours", framePixels, [](Scene& s) {
        Graphics g(&s.screen);
        g.DrawImage(&s.background, 0, 0);
        for (const auto& [x, y] : s.places)
            g.DrawImage(&s.sprite, x, y);
    });
    Register("Frame40Sprites/ours_palette", framePixels, [](Scene& s) {
        Graphics g(&s.screen);
        g.DrawImage(&s.background, 0, 0);
        for (const auto& [x, y] : s.places)
            g.DrawImage(&s.spritePalette, x, y);
    });
    RegisterScreen("Frame40Sprites/ours_screen", framePixels, [](Scene& s, Graphics& g) {
        g.DrawImage(s.ddBackground.get(), 0, 0);
        for (const auto& [x, y] : s.places)
            g.DrawImage(s.ddSprite.get(), x, y);
    });
    RegisterScreen("Frame40Sprites/ours_screen_palette", framePixels, [](Scene& s, Graphics& g) {
        g.DrawImage(s.ddBackground.get(), 0, 0);
        for (const auto& [x, y] : s.places)
            g.DrawImage(s.ddSpritePalette.get(), x, y);
    });
    Register("Frame40Sprites/sdl", framePixels, [](Scene& s) {
        SDL_Rect dst = SDL_SCREEN_RECT;
        SDL_BlitSurface(s.sdlBackground, nullptr, s.sdlScreen, &dst);
        for (const auto& [x, y] : s.places) {
            SDL_Rect at{x, y, SPRITE, SPRITE};
            SDL_BlitSurface(s.sdlSprite, nullptr, s.sdlScreen, &at);
        }
    });
    Register("Frame40Sprites/pixman", framePixels, [](Scene& s) {
        pixman_image_composite32(PIXMAN_OP_SRC, s.pxBackground, nullptr, s.pxScreen, 0, 0, 0, 0, 0, 0, SCREEN_W,
                                 SCREEN_H);
        for (const auto& [x, y] : s.places)
            pixman_image_composite32(PIXMAN_OP_OVER, s.pxSprite, nullptr, s.pxScreen, 0, 0, 0, 0, x, y, SPRITE,
                                     SPRITE);
    });
    return 0;
}();

} // namespace
