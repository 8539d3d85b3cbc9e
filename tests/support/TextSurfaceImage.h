#pragma once
// A software image that lends its pixels to system fonts, as the display's images do.
#include <cstdint>

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SysFont.h"

namespace TestSupport {

class TextSurfaceImage : public Zant::MemoryImage, public Zant::SysFontSurface {
public:
    bool LockTextBits(uint32_t*& bits, int& pitch) override
    {
        bits = GetBits();
        pitch = GetWidth();
        return true;
    }
    void UnlockTextBits() override { BitsChanged(); }
};

} // namespace TestSupport
