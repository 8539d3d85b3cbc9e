#include "tests/support/TextContrast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <list>
#include <set>
#include <iomanip>
#include <sstream>

#include "framework/graphics/FontData.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
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

// How far into the letters' tones, from their edges towards the strokes, the
// strokes' tone is read: past the antialiased edge pixels, short of the odd
// stray pixel.
constexpr double STROKE_SHARE = 0.9;

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
        // picture), split into two tones by the split that parts them best
        // (Otsu's, on log luminance, where contrast is a ratio). The side the
        // text changed most is the letters (or their outline); its tone is that
        // of the letters' full strokes, not of their antialiased edges, which a
        // thin letter has more of than strokes.
        std::vector<char> text(size_t(w) * h, 0);
        for (auto [x, y] : pixels)
            text[at(x, y)] = 1;
        struct Tone {
            double value;
            bool changed;
        };
        std::vector<Tone> tones;
        for (int y = std::max(0, y0 - 2); y <= std::min(h - 1, y1 + 2); ++y)
            for (int x = std::max(0, x0 - 2); x <= std::min(w - 1, x1 + 2); ++x) {
                bool near = text[at(x, y)];
                for (int dy = -2; dy <= 2 && !near; ++dy)
                    for (int dx = -2; dx <= 2 && !near; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        near = nx >= 0 && ny >= 0 && nx < w && ny < h && text[at(nx, ny)];
                    }
                if (near)
                    tones.push_back({std::log(RelativeLuminance(withText.Pixel(x, y)) + 0.05), bool(text[at(x, y)])});
            }
        std::sort(tones.begin(), tones.end(), [](const Tone& a, const Tone& b) { return a.value < b.value; });
        if (tones.size() < 12)
            continue;
        double total = 0;
        for (const Tone& t : tones)
            total += t.value;
        double best = -1, below = 0;
        size_t split = 1;
        for (size_t k = 1; k < tones.size(); ++k) {
            below += tones[k - 1].value;
            const double n0 = double(k), n1 = double(tones.size() - k);
            const double m0 = below / n0, m1 = (total - below) / n1;
            const double between = n0 * n1 * (m1 - m0) * (m1 - m0);
            if (between > best)
                best = between, split = k;
        }
        const auto changedShare = [&](size_t from, size_t to) {
            size_t changed = 0;
            for (size_t i = from; i < to; ++i)
                changed += tones[i].changed;
            return double(changed) / double(to - from);
        };
        const size_t n = tones.size();
        const bool lettersDark = changedShare(0, split) > changedShare(split, n);
        const double strokes = lettersDark ? tones[size_t(double(split - 1) * (1 - STROKE_SHARE))].value
                                           : tones[split + size_t(double(n - 1 - split) * STROKE_SHARE)].value;
        // Under the letters: the picture round them (its median), or an
        // outline of the text's own where it stands farther from the strokes
        // (read like the strokes, past its blended edge). Antialiased edges
        // lie between the strokes and the picture and so never count.
        std::vector<double> outline, around;
        for (size_t i = lettersDark ? split : 0; i < (lettersDark ? n : split); ++i)
            (tones[i].changed ? outline : around).push_back(tones[i].value);
        double ground = strokes;
        if (!around.empty())
            ground = around[around.size() / 2];
        if (!outline.empty()) {
            const double rim = lettersDark ? outline[size_t(double(outline.size() - 1) * STROKE_SHARE)]
                                           : outline[size_t(double(outline.size() - 1) * (1 - STROKE_SHARE))];
            if (around.empty() || std::abs(rim - strokes) > std::abs(ground - strokes))
                ground = rim;
        }
        const double ratio = std::exp(std::abs(strokes - ground));
        texts.push_back({x0, y0, x1 - x0 + 1, y1 - y0 + 1, ratio});
    }
    return texts;
}

// The glyph images of every font, cleared to nothing: a font's copies (a
// dialog's own header font, say) share its descriptor's images, so they fall
// silent with it.
struct SilencedFonts::Saved {
    Zant::MemoryImage* image;
    std::vector<uint32_t> bits;
};

SilencedFonts::SilencedFonts(Zant::WinBTApp& app)
{
    std::set<Zant::MemoryImage*> images;
    for (Zant::Font* font : {app.mFontGillSans10Bold, app.mFontMyriad28Bold, app.mFontMyriad28BoldGL,
                             app.mFontMyriad12Bold, app.mFontMyriad14Bold, app.mFontSwiss24, app.mFontUnsteady22,
                             app.mFontRockwell13, app.mFontRockwell13Bold, app.mFontMyriad15, app.mFontMyriad15b,
                             app.mFont12pt, app.mFont12ptGlow, app.mFontCourier15Bold}) {
        auto* imageFont = dynamic_cast<Zant::ImageFont*>(font);
        if (imageFont == nullptr)
            continue;
        imageFont->Prepare();
        for (const auto& [name, image] : imageFont->mFontData->mImageMap)
            if (auto* memory = dynamic_cast<Zant::MemoryImage*>(image))
                images.insert(memory);
        for (Zant::ActiveFontLayer& layer : imageFont->mActiveLayerList)
            if (auto* memory = dynamic_cast<Zant::MemoryImage*>(layer.mScaledImage))
                images.insert(memory);
    }
    for (Zant::MemoryImage* image : images) {
        const size_t size = size_t(image->GetWidth()) * size_t(image->GetHeight());
        uint32_t* bits = image->GetBits();
        auto* saved = new Saved{image, std::vector<uint32_t>(bits, bits + size)};
        std::fill(bits, bits + size, 0u);
        image->BitsChanged();
        mSaved.push_back(saved);
    }
}

SilencedFonts::~SilencedFonts()
{
    for (Saved* saved : mSaved) {
        std::copy(saved->bits.begin(), saved->bits.end(), saved->image->GetBits());
        saved->image->BitsChanged();
        delete saved;
    }
}

void ListIllegibleTexts(const ImageLib::Image& withText, const ImageLib::Image& withoutText, const std::string& folder,
                        const std::string& name, const std::string& listing)
{
    std::ostringstream all;
    for (const TextContrast& t : MeasureTexts(withText, withoutText)) {
        if (t.ratio >= LEGIBLE_CONTRAST)
            continue;
        std::ostringstream line;
        line << folder << "/" << name << ": text at " << t.x << "," << t.y << " (" << t.w << "x" << t.h
             << "): " << std::fixed << std::setprecision(2) << t.ratio << ":1";
        all << line.str() << "\n";
        ADD_FAILURE() << line.str() << ", under " << LEGIBLE_CONTRAST << ":1";
    }
    std::ofstream(listing) << all.str();
}

} // namespace TestSupport
