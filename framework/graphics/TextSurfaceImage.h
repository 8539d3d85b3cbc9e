#pragma once
// A software image that lends its pixels to system fonts, as the display's images
// do: for pictures drawn without a display, such as the crash windows' frame.
#include <cstdint>

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SysFont.h"

namespace Zant {

class TextSurfaceImage : public MemoryImage, public SysFontSurface {
public:
    bool LockTextBits(uint32_t*& bits, int& pitch) override
    {
        bits = GetBits();
        pitch = GetWidth();
        return true;
    }
    void UnlockTextBits() override { BitsChanged(); }
};

} // namespace Zant
