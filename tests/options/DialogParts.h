#pragma once
// Small stand-ins the dialog tests share: a font of fixed metrics and blank pictures.
#include <string>

#include "framework/graphics/Font.h"
#include "framework/graphics/MemoryImage.h"

namespace OptionsTest {

// 16 px high, 12 px ascent, 7 px a character.
class LineFont : public Zant::Font {
public:
    LineFont()
    {
        mHeight = 16;
        mAscent = 12;
    }
    int StringWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
    Zant::Font* Duplicate() override { return new LineFont(*this); }
};

inline Zant::MemoryImage* Picture(int width, int height)
{
    auto* image = new Zant::MemoryImage();
    image->Create(width, height);
    return image;
}

} // namespace OptionsTest
