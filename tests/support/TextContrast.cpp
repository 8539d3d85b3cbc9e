#include "tests/support/TextContrast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <list>
#include <iomanip>
#include <sstream>

#include "framework/graphics/ImageFont.h"
#include "game/shell/WinBTApp.h"

namespace TestSupport {


namespace {

int Distance(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

} // namespace

std::vector<TextContrast> MeasureTexts(const ImageLib::Image& withText, const ImageLib::Image& withoutText)
{
    const int w = withText.GetWidth(), h = withText.GetHeight();
    std::vector<TextContrast> texts;
    if (w != withoutText.GetWidth() || h != withoutText.GetHeight())
        return texts;
    const auto at = [w](int x, int y) { return size_t(y) * size_t(w) + size_t(x); };
    std::vector<int> change(size_t(w) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            change[at(x, y)] = Distance(withText.Pixel(x, y), withoutText.Pixel(x, y));
    // Letters of one line join into one text: changed pixels a few steps apart belong together.
    const int CHANGED = 8, GAP_X = 4, GAP_Y = 2;
    std::vector<int> label(size_t(w) * h, -1);
    int labels = 0;
    std::vector<std::pair<int, int>> stack;
    std::vector<std::vector<std::pair<int, int>>> members;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (change[at(x, y)] <= CHANGED || label[at(x, y)] >= 0)
                continue;
            members.emplace_back();
            label[at(x, y)] = labels;
            stack.push_back({x, y});
            while (!stack.empty()) {
                auto [cx, cy] = stack.back();
                stack.pop_back();
                members.back().push_back({cx, cy});
                for (int ny = std::max(0, cy - GAP_Y); ny <= std::min(h - 1, cy + GAP_Y); ++ny)
                    for (int nx = std::max(0, cx - GAP_X); nx <= std::min(w - 1, cx + GAP_X); ++nx)
                        if (change[at(nx, ny)] > CHANGED && label[at(nx, ny)] < 0) {
                            label[at(nx, ny)] = labels;
                            stack.push_back({nx, ny});
                        }
            }
            ++labels;
        }
    for (const auto& pixels : members) {
        if (pixels.size() < 12)
            continue;
        int strongest = 0;
        int x0 = w, y0 = h, x1 = 0, y1 = 0;
        for (auto [x, y] : pixels) {
            strongest = std::max(strongest, change[at(x, y)]);
            x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
        // The text's pixels and, two pixels round them, what lies under and
        // beside the letters (an outline or rim of the font's own, or the
        // picture). Letters read when these split into two tones far apart: the
        // split that parts them best (Otsu's, on log luminance, where contrast
        // is a ratio) and the ratio of the two sides' medians.
        std::vector<char> text(size_t(w) * h, 0);
        for (auto [x, y] : pixels)
            text[at(x, y)] = 1;
        std::vector<double> tones;
        for (int y = std::max(0, y0 - 2); y <= std::min(h - 1, y1 + 2); ++y)
            for (int x = std::max(0, x0 - 2); x <= std::min(w - 1, x1 + 2); ++x) {
                bool near = text[at(x, y)];
                for (int dy = -2; dy <= 2 && !near; ++dy)
                    for (int dx = -2; dx <= 2 && !near; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        near = nx >= 0 && ny >= 0 && nx < w && ny < h && text[at(nx, ny)];
                    }
                if (near)
                    tones.push_back(std::log(RelativeLuminance(withText.Pixel(x, y)) + 0.05));
            }
        std::sort(tones.begin(), tones.end());
        if (tones.size() < 12)
            continue;
        double total = 0;
        for (double t : tones)
            total += t;
        double best = -1, ratio = 1, below = 0;
        for (size_t k = 1; k < tones.size(); ++k) {
            below += tones[k - 1];
            const double n0 = double(k), n1 = double(tones.size() - k);
            const double m0 = below / n0, m1 = (total - below) / n1;
            const double between = n0 * n1 * (m1 - m0) * (m1 - m0);
            if (between > best) {
                best = between;
                ratio = std::exp(tones[k + (tones.size() - k) / 2] - tones[(k - 1) / 2]);
            }
        }
        texts.push_back({x0, y0, x1 - x0 + 1, y1 - y0 + 1, ratio});
    }
    return texts;
}

// A glyph layer without its image places its glyphs and draws nothing.
struct SilencedFonts::Saved {
    Zant::ActiveFontLayer* layer;
    Zant::Image* image;
};

SilencedFonts::SilencedFonts(Zant::WinBTApp& app)
{
    for (Zant::Font* font : {app.mFontGillSans10Bold, app.mFontMyriad28Bold, app.mFontMyriad28BoldGL,
                             app.mFontMyriad12Bold, app.mFontMyriad14Bold, app.mFontSwiss24, app.mFontUnsteady22,
                             app.mFontRockwell13, app.mFontRockwell13Bold, app.mFontMyriad15, app.mFontMyriad15b,
                             app.mFont12pt, app.mFont12ptGlow, app.mFontCourier15Bold}) {
        auto* image = dynamic_cast<Zant::ImageFont*>(font);
        if (image == nullptr)
            continue;
        image->Prepare();
        for (Zant::ActiveFontLayer& layer : image->mActiveLayerList) {
            mSaved.push_back(new Saved{&layer, layer.mScaledImage});
            layer.mScaledImage = nullptr;
        }
    }
}

SilencedFonts::~SilencedFonts()
{
    for (Saved* saved : mSaved) {
        saved->layer->mScaledImage = saved->image;
        delete saved;
    }
}

void ListIllegibleTexts(const ImageLib::Image& withText, const ImageLib::Image& withoutText, const std::string& name,
                        const std::string& listing, bool mustPass)
{
    std::ostringstream low;
    int count = 0;
    for (const TextContrast& t : MeasureTexts(withText, withoutText))
        if (t.ratio < LEGIBLE_CONTRAST) {
            ++count;
            low << name << ": text at " << t.x << "," << t.y << " (" << t.w << "x" << t.h << "): " << std::fixed
                << std::setprecision(2) << t.ratio << ":1\n";
        }
    std::ofstream(listing) << low.str();
    if (mustPass)
        EXPECT_EQ(count, 0) << "texts under " << LEGIBLE_CONTRAST << ":1\n" << low.str();
    else if (count > 0)
        std::printf("texts under %.1f:1\n%s", LEGIBLE_CONTRAST, low.str().c_str());
}

} // namespace TestSupport
