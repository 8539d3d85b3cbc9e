#include "framework/graphics/WavyImage3D.h"

#include <algorithm>
#include <cmath>

#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"

namespace Zant {

double WaveShift(double y, const WaveMotion& wave)
{
    const double a = wave.amplitude;
    return (std::sin(WAVE_NUMBER * y) + std::sin(WAVE_NUMBER * (y + wave.counter))) * a + 2 * a;
}

D3DInterface* D3DTargetOf(const Graphics& g)
{
    const auto* target = dynamic_cast<const DDImage*>(g.GetDestImage());
    if (target == nullptr || !target->Is3DTarget())
        return nullptr;
    return target->mDDInterface->mD3DInterface;
}

void DrawWavyImage3D(D3DInterface& d3d, const Graphics& g, Image* image, int x, int y, int width,
                     const WaveMotion& wave, const Color& tint)
{
    const int imageWidth = image != nullptr ? image->GetWidth() : 0;
    const int imageHeight = image != nullptr ? image->GetHeight() : 0;
    if (imageWidth <= 0 || imageHeight <= 0 || width <= 0)
        return;
    // Every strip crosses the whole width: plain power-of-two pieces (one piece for
    // the sea wherever the device takes 1024 texels) cost a draw or two a triangle
    // where the size table's narrow pieces cost a dozen.
    if (auto* memory = dynamic_cast<MemoryImage*>(image))
        memory->mD3DFlags |= TEXFLAG_POWER_OF_TWO;
    const Rect& clip = g.GetClipRect();
    // Screen pixel centres sit on whole coordinates: edges half a pixel before them,
    // as the renderer's blits have, put texel n exactly on pixel n.
    const float left = float(x + g.GetTransX()) - 0.5f;
    const float right = left + float(width);
    const int top = y + g.GetTransY();
    const float du = float(width) / float(imageWidth);
    // The waves stand still on the board (rows in g's coordinates) while the image
    // scrolls through them. The shift of a strip's bottom edge is the next strip's top shift: each is
    // worked out once.
    float shiftTop = float(WaveShift(y, wave)) / float(imageWidth);
    for (int p = 0; p < imageHeight; p += WAVE_STRIP_HEIGHT) {
        const int q = std::min(p + WAVE_STRIP_HEIGHT, imageHeight);
        const float shiftBottom = float(WaveShift(y + q, wave)) / float(imageWidth);
        if (top + q > clip.y && top + p < clip.Bottom()) {
            const float y0 = float(top + p) - 0.5f, y1 = float(top + q) - 0.5f;
            const float v0 = float(p) / float(imageHeight), v1 = float(q) / float(imageHeight);
            const TriVertex topLeft{left, y0, shiftTop, v0};
            const TriVertex topRight{right, y0, shiftTop + du, v0};
            const TriVertex bottomLeft{left, y1, shiftBottom, v1};
            const TriVertex bottomRight{right, y1, shiftBottom + du, v1};
            d3d.DrawTexturedTriangle(topLeft, bottomLeft, topRight, tint, 0, image);
            d3d.DrawTexturedTriangle(topRight, bottomLeft, bottomRight, tint, 0, image);
        }
        shiftTop = shiftBottom;
    }
}

} // namespace Zant
