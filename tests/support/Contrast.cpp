#include "tests/support/Contrast.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace TestSupport {

namespace {

double Linear(uint32_t channel)
{
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double RelativeLuminance(uint32_t pixel)
{
    return 0.2126 * Linear((pixel >> 16) & 255) + 0.7152 * Linear((pixel >> 8) & 255) + 0.0722 * Linear(pixel & 255);
}

double ContrastRatio(uint32_t a, uint32_t b)
{
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double ContrastOnField(const ImageLib::Image& picture, int x, int y, int width, int height, uint32_t* fieldOut)
{
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(picture.GetWidth(), x + width), y1 = std::min(picture.GetHeight(), y + height);
    std::map<uint32_t, int> counts;
    for (int py = y0; py < y1; ++py)
        for (int px = x0; px < x1; ++px)
            ++counts[picture.Pixel(px, py) & 0xFFFFFFu];
    if (counts.empty())
        return 1.0;
    const uint32_t field =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; })
            ->first;
    if (fieldOut != nullptr)
        *fieldOut = field;
    double best = 1.0;
    for (const auto& [colour, count] : counts)
        best = std::max(best, ContrastRatio(colour, field));
    return best;
}

} // namespace TestSupport
