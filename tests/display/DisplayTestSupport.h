#pragma once
// A display on a fake screen, and small helpers to read and write surface pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "platform/display/FakeScreen.h"

namespace DisplayTest {

// A display without an application, initialised on a fake screen.
struct FakeDisplay {
    explicit FakeDisplay(bool windowed = true, int desktopBits = 32)
    {
        auto fake = std::make_unique<Platform::FakeScreen>();
        screen = fake.get();
        screen->desktopBits = desktopBits;
        dd = std::make_unique<Zant::DDInterface>(nullptr, std::move(fake));
        result = dd->Init(nullptr, windowed);
    }
    Platform::FakeScreen* screen;
    std::unique_ptr<Zant::DDInterface> dd;
    int result;
};

inline uint32_t PixelAt(Platform::DDSurface& surface, int x, int y)
{
    Platform::DDSurfaceDesc desc;
    surface.Lock(desc, Platform::DDLOCK_READONLY);
    const uint8_t* row = static_cast<const uint8_t*>(desc.surface) + size_t(y) * desc.pitch;
    uint32_t v = 0;
    if (desc.pixelFormat.bitCount == 16) {
        uint16_t s;
        std::memcpy(&s, row + x * 2, 2);
        v = s;
    } else {
        std::memcpy(&v, row + x * 4, 4);
        v &= 0xFFFFFF;
    }
    surface.Unlock();
    return v;
}

inline void Fill(Platform::DDSurface& surface, uint32_t value)
{
    Platform::DDSurfaceDesc desc;
    surface.Lock(desc);
    for (int y = 0; y < desc.height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(desc.surface) + size_t(y) * desc.pitch;
        for (int x = 0; x < desc.width; ++x) {
            if (desc.pixelFormat.bitCount == 16) {
                const uint16_t s = uint16_t(value);
                std::memcpy(row + x * 2, &s, 2);
            } else {
                std::memcpy(row + x * 4, &value, 4);
            }
        }
    }
    surface.Unlock();
}

// Every pixel of a surface, for whole-picture comparisons.
inline std::vector<uint32_t> Snapshot(Platform::DDSurface& surface)
{
    std::vector<uint32_t> out;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            out.push_back(PixelAt(surface, x, y));
    return out;
}

// An image of one colour (alpha included) made from pixels.
inline Zant::DDImage* SolidImage(Zant::DDInterface* dd, int width, int height, uint32_t argb)
{
    auto* image = new Zant::DDImage(dd);
    std::vector<uint32_t> pixels(size_t(width) * height, argb);
    image->SetBits(pixels.data(), width, height);
    return image;
}

} // namespace DisplayTest
