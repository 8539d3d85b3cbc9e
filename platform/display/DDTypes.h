#pragma once
// The vocabulary of our DirectDraw-like display layer: result codes (negative on
// failure, with the values the DirectDraw documentation gives them, so the result
// name table can name them), rectangles, pixel formats, surface descriptions and
// flags.
#include <cstdint>

namespace Platform {

using DDResult = int32_t;

constexpr DDResult MakeDDError(uint32_t code) { return static_cast<DDResult>(0x88760000u | code); }

constexpr DDResult DD_OK = 0;
// Shared system codes.
constexpr DDResult DDERR_GENERIC = static_cast<DDResult>(0x80004005u);
constexpr DDResult DDERR_UNSUPPORTED = static_cast<DDResult>(0x80004001u);
constexpr DDResult DDERR_OUTOFMEMORY = static_cast<DDResult>(0x8007000Eu);
constexpr DDResult DDERR_INVALIDPARAMS = static_cast<DDResult>(0x80070057u);
// Display codes.
constexpr DDResult DDERR_INVALIDMODE = MakeDDError(120);
constexpr DDResult DDERR_INVALIDOBJECT = MakeDDError(130);
constexpr DDResult DDERR_INVALIDPIXELFORMAT = MakeDDError(145);
constexpr DDResult DDERR_INVALIDRECT = MakeDDError(150);
constexpr DDResult DDERR_NOCOOPERATIVELEVELSET = MakeDDError(212);
constexpr DDResult DDERR_NOEXCLUSIVEMODE = MakeDDError(225);
constexpr DDResult DDERR_SURFACEBUSY = MakeDDError(430);
constexpr DDResult DDERR_SURFACELOST = MakeDDError(450);
constexpr DDResult DDERR_NOTFOUND = MakeDDError(255);
constexpr DDResult DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDDError(564);
constexpr DDResult DDERR_NOTFLIPPABLE = MakeDDError(582);
constexpr DDResult DDERR_NOTLOCKED = MakeDDError(584);
constexpr DDResult DDERR_UNSUPPORTEDMODE = MakeDDError(590);

constexpr bool DDFailed(DDResult r) { return r < 0; }

// Right and bottom edges exclusive, as the display layer's callers expect.
struct DDRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
};

struct DDPixelFormat {
    int bitCount = 0;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    bool operator==(const DDPixelFormat& other) const = default;
};

// 16-bit 565 and 32-bit XRGB: the two formats the game draws in.
constexpr DDPixelFormat FORMAT_565{16, 0xF800, 0x07E0, 0x001F};
constexpr DDPixelFormat FORMAT_XRGB{32, 0xFF0000, 0xFF00, 0xFF};

// Capability bits of a surface.
enum : uint32_t {
    DDSCAPS_PRIMARYSURFACE = 1u << 0,
    DDSCAPS_OFFSCREENPLAIN = 1u << 1,
    DDSCAPS_SYSTEMMEMORY = 1u << 2,
    DDSCAPS_VIDEOMEMORY = 1u << 3,
    DDSCAPS_FLIP = 1u << 4,
    DDSCAPS_COMPLEX = 1u << 5,
    DDSCAPS_3DDEVICE = 1u << 6,
    DDSCAPS_BACKBUFFER = 1u << 7,
};

// Which fields of a surface description are set.
enum : uint32_t {
    DDSD_CAPS = 1u << 0,
    DDSD_WIDTH = 1u << 1,
    DDSD_HEIGHT = 1u << 2,
    DDSD_BACKBUFFERCOUNT = 1u << 3,
    DDSD_PIXELFORMAT = 1u << 4,
    DDSD_PITCH = 1u << 5,
    DDSD_LPSURFACE = 1u << 6,
};

struct DDSurfaceDesc {
    uint32_t flags = 0;
    int width = 0;
    int height = 0;
    int pitch = 0;         // bytes per row, filled by Lock
    void* surface = nullptr; // first pixel, filled by Lock
    int backBufferCount = 0;
    uint32_t caps = 0;
    DDPixelFormat pixelFormat;
};

// Blit flags.
enum : uint32_t {
    DDBLT_WAIT = 1u << 0,
    DDBLT_KEYSRC = 1u << 1,
};

// Lock flags.
enum : uint32_t {
    DDLOCK_READONLY = 1u << 0,
};

// Cooperative levels.
enum : uint32_t {
    DDSCL_NORMAL = 1u << 0,
    DDSCL_EXCLUSIVE = 1u << 1,
    DDSCL_FULLSCREEN = 1u << 2,
};

} // namespace Platform
