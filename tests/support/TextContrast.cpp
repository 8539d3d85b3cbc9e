#include "tests/support/TextContrast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <sstream>

#include "framework/graphics/Image.h"

namespace TestSupport {

namespace {

// How much of the marking colour a pixel took on over the bare frame: 0 (none) to
// 1 (a glyph covers it whole); -1 where the bare pixel is too near the marking
// colour to tell.
double Coverage(uint32_t marked, uint32_t bare)
{
    int moved = 0, room = 0;
    for (int shift : {0, 8, 16}) {
        const int b = int((bare >> shift) & 0xFF), m = int((marked >> shift) & 0xFF),
                  mark = int((MARKING >> shift) & 0xFF);
        if (std::abs(mark - b) > room) {
            room = std::abs(mark - b);
            moved = (m - b) * (mark > b ? 1 : -1);
        }
    }
    if (room < 64)
        return -1;
    return std::clamp(double(moved) / room, 0.0, 1.0);
}

double Tone(uint32_t pixel)
{
    return std::log(RelativeLuminance(pixel) + 0.05);
}

double Median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// A pixel at least this much covered belongs to the glyph; the solid part of a
// stroke or rim is covered at least SOLID as much as its most covered pixel.
constexpr double TOUCHED = 0.1;
constexpr double SOLID = 0.9;
// How far round the letters the pixels "right round" them reach: an outline of one
// pixel and as much again of what lies beyond it.
constexpr int REACH = 2;
// How far from the letters an outline of theirs may reach.
constexpr int RIM_REACH = 3;
// How far from the letters the surround beyond an outline is looked at.
constexpr int BEYOND_REACH = RIM_REACH + 2;
// A surround is flat when nearly all of it lies within this contrast of its
// median tone: a panel, a plate or a button face with its gentle shading, not
// water or a creature.
constexpr double FLAT_SPREAD = 1.2;
constexpr double FLAT_SHARE = 0.9;
// The least letter pixels a text needs to be read at all (a full stop has fewer).
constexpr int FEWEST_PIXELS = 6;

struct Masks {
    int w = 0, h = 0;
    std::vector<double> letters, outlines; // coverage of every text's letters and outlines
    size_t At(int x, int y) const { return size_t(y) * size_t(w) + size_t(x); }
};

Masks FindGlyphs(const TextFrames& frames)
{
    Masks m;
    m.w = frames.full.GetWidth();
    m.h = frames.full.GetHeight();
    m.letters.assign(size_t(m.w) * m.h, 0);
    m.outlines.assign(size_t(m.w) * m.h, 0);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            const uint32_t bare = frames.bare.Pixel(x, y);
            m.letters[m.At(x, y)] = std::max(0.0, Coverage(frames.letters.Pixel(x, y), bare));
            m.outlines[m.At(x, y)] = std::max(0.0, Coverage(frames.outlines.Pixel(x, y), bare));
        }
    return m;
}

// The pixels within reach of the marked ones (whose box is x0..x1, y0..y1) that
// pass the test.
template <typename Test>
std::vector<size_t> Near(const Masks& m, const std::vector<char>& marked, int x0, int y0, int x1, int y1, int reach,
                         const Test& test)
{
    std::vector<size_t> found;
    for (int y = std::max(0, y0 - reach); y <= std::min(m.h - 1, y1 + reach); ++y)
        for (int x = std::max(0, x0 - reach); x <= std::min(m.w - 1, x1 + reach); ++x) {
            const size_t i = m.At(x, y);
            if (marked[i] || !test(i))
                continue;
            bool near = false;
            for (int ny = std::max(0, y - reach); ny <= std::min(m.h - 1, y + reach) && !near; ++ny)
                for (int nx = std::max(0, x - reach); nx <= std::min(m.w - 1, x + reach) && !near; ++nx)
                    near = marked[m.At(nx, ny)];
            if (near)
                found.push_back(i);
        }
    return found;
}

// How many steps (counting diagonal ones as one) the pixel lies from the nearest
// marked one, up to reach.
int Distance(const Masks& m, const std::vector<char>& marked, size_t i, int reach)
{
    const int x = int(i % size_t(m.w)), y = int(i / size_t(m.w));
    for (int d = 1; d < reach; ++d)
        for (int ny = std::max(0, y - d); ny <= std::min(m.h - 1, y + d); ++ny)
            for (int nx = std::max(0, x - d); nx <= std::min(m.w - 1, x + d); ++nx)
                if (marked[m.At(nx, ny)])
                    return d;
    return reach;
}

// Whether some of the text's glyphs (a space aside) show no letter at all on the
// frame while others do: a dialog or panel drawn later cuts the text, which is no
// longer there to be read, like a text hidden whole.
bool CutUnderOthers(const Masks& m, const Zant::Rect& frame, const DrawnText& text)
{
    bool shown = false, hidden = false;
    for (size_t k = 0; k < text.letters.size(); ++k) {
        if (text.letters.size() == text.text.size() && std::isspace(static_cast<unsigned char>(text.text[k])))
            continue;
        const Zant::Rect r = text.letters[k].Intersection(frame);
        if (r.width <= 0 || r.height <= 0)
            continue;
        bool marked = false;
        for (int y = r.y; y < r.y + r.height && !marked; ++y)
            for (int x = r.x; x < r.x + r.width && !marked; ++x)
                marked = m.letters[m.At(x, y)] >= TOUCHED;
        (marked ? shown : hidden) = true;
    }
    return shown && hidden;
}

} // namespace

std::vector<TextContrast> MeasureTexts(const TextFrames& frames, const std::vector<DrawnText>& texts)
{
    std::vector<TextContrast> measured;
    const Masks m = FindGlyphs(frames);
    const Zant::Rect frame(0, 0, m.w, m.h);
    const auto tone = [&](size_t i) { return Tone(frames.full.GetBits()[i]); };
    std::vector<char> mine(size_t(m.w) * m.h, 0);
    for (const DrawnText& text : texts) {
        if (CutUnderOthers(m, frame, text))
            continue;
        // The text's letters: the marked pixels inside its glyphs.
        std::vector<size_t> letters;
        int x0 = m.w, y0 = m.h, x1 = -1, y1 = -1;
        double most = 0;
        for (const Zant::Rect& glyph : text.letters) {
            const Zant::Rect r = glyph.Intersection(frame);
            for (int y = r.y; y < r.y + r.height; ++y)
                for (int x = r.x; x < r.x + r.width; ++x) {
                    const size_t i = m.At(x, y);
                    if (m.letters[i] < TOUCHED || mine[i])
                        continue;
                    mine[i] = 1;
                    letters.push_back(i);
                    most = std::max(most, m.letters[i]);
                    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
                }
        }
        // The letters' tone: that of their full strokes, not of their blended
        // edges, which a thin letter has more of than strokes.
        std::vector<double> strokes;
        for (size_t i : letters)
            if (m.letters[i] >= SOLID * most)
                strokes.push_back(tone(i));
        // What lies right round them: their outline, shadow or glow and the
        // picture, each pixel as seen, other texts' letters aside. Contrast being
        // a ratio, their tone is the mean of the pixels' log luminances, each
        // pixel counted by its nearness (1 beside the letters, 1/2 a step out).
        const std::vector<size_t> ring =
            Near(m, mine, x0, y0, x1, y1, REACH, [&](size_t i) { return m.letters[i] == 0; });
        if (int(letters.size()) >= FEWEST_PIXELS && !ring.empty()) {
            TextContrast t;
            t.text = text.text;
            t.x = x0, t.y = y0, t.w = x1 - x0 + 1, t.h = y1 - y0 + 1;
            const double ink = Median(strokes);
            double round = 0, weights = 0;
            for (size_t i : ring) {
                const double weight = 1.0 / Distance(m, mine, i, REACH);
                round += weight * tone(i);
                weights += weight;
            }
            t.around = std::exp(std::abs(ink - round / weights));
            t.ratio = t.around;
            t.needed = LEGIBLE_CONTRAST;
            // An outline of its own, read by its solid part like the strokes.
            if (text.outlined) {
                const std::vector<size_t> outline = Near(m, mine, x0, y0, x1, y1, RIM_REACH, [&](size_t i) {
                    return m.outlines[i] >= TOUCHED && m.letters[i] == 0;
                });
                double rimMost = 0;
                for (size_t i : outline)
                    rimMost = std::max(rimMost, m.outlines[i]);
                std::vector<double> solid;
                for (size_t i : outline)
                    if (m.outlines[i] >= SOLID * rimMost)
                        solid.push_back(tone(i));
                if (!solid.empty()) {
                    t.outlined = true;
                    t.outline = std::exp(std::abs(ink - Median(solid)));
                    if (t.outline / OUTLINE_CONTRAST < t.around / LEGIBLE_CONTRAST)
                        t.ratio = t.outline, t.needed = OUTLINE_CONTRAST;
                    // What lies beyond the outline, every text's letters and
                    // outlines aside: where it is flat, it is what the letters
                    // stand on.
                    std::vector<double> beyond;
                    for (size_t i : Near(m, mine, x0, y0, x1, y1, BEYOND_REACH,
                                         [&](size_t i) { return m.letters[i] == 0 && m.outlines[i] == 0; }))
                        beyond.push_back(tone(i));
                    if (!beyond.empty()) {
                        const double face = Median(beyond);
                        const auto within = std::count_if(beyond.begin(), beyond.end(), [&](double b) {
                            return std::abs(b - face) <= std::log(FLAT_SPREAD);
                        });
                        t.flatBeyond = double(within) >= FLAT_SHARE * double(beyond.size());
                        if (t.flatBeyond) {
                            t.beyond = std::exp(std::abs(ink - face));
                            if (t.beyond / LEGIBLE_CONTRAST < t.ratio / t.needed)
                                t.ratio = t.beyond, t.needed = LEGIBLE_CONTRAST;
                        }
                    }
                }
            }
            measured.push_back(t);
        }
        for (size_t i : letters)
            mine[i] = 0;
    }
    return measured;
}

TextRecorder::TextRecorder(int frameWidth, int frameHeight)
    : mWidth(frameWidth), mHeight(frameHeight), mWas(Zant::SetTextWatch(this))
{
}

TextRecorder::~TextRecorder()
{
    Zant::SetTextWatch(mWas);
}

void TextRecorder::Draw(Drawing drawing)
{
    mDrawing = drawing;
    mRecording = drawing == Drawing::FULL;
    if (mRecording)
        mTexts.clear();
}

void TextRecorder::Finish()
{
    mDrawing = Drawing::FULL;
    mRecording = false;
}

namespace {

// The fonts' layers: the letters (an installed face has only them), the outlines
// round them, and the rest (shadows, glows) that belong with the picture round the
// letters.
bool IsLetters(const std::string& layer)
{
    return layer.empty() || layer == "MAIN";
}

bool IsOutline(const std::string& layer)
{
    return layer.size() >= 3 && layer.compare(layer.size() - 3, 3, "RIM") == 0;
}

} // namespace

bool TextRecorder::DrawsLayer(const std::string& layer, Zant::Color& color)
{
    switch (mDrawing) {
    case Drawing::FULL:
        return true;
    case Drawing::BARE:
        return false;
    case Drawing::LETTERS:
    case Drawing::OUTLINES:
        if (mDrawing == Drawing::LETTERS ? !IsLetters(layer) : !IsOutline(layer))
            return false;
        color = Zant::Color(int((MARKING >> 16) & 0xFF), int((MARKING >> 8) & 0xFF), int(MARKING & 0xFF), 255);
        return true;
    }
    return true;
}

void TextRecorder::TextDrawn(const Zant::Image* target, const std::string& text, const Zant::Color&,
                             const std::vector<Zant::WatchedGlyph>& glyphs)
{
    if (!mRecording || target == nullptr || target->GetWidth() != mWidth ||
        target->GetHeight() != mHeight)
        return;
    DrawnText drawn;
    drawn.text = text;
    for (const Zant::WatchedGlyph& glyph : glyphs) {
        if (IsLetters(glyph.layer))
            drawn.letters.push_back(glyph.rect);
        else if (IsOutline(glyph.layer))
            drawn.outlined = true;
    }
    mTexts.push_back(std::move(drawn));
}

void ListIllegibleTexts(const TextFrames& frames, const std::vector<DrawnText>& texts, const std::string& folder,
                        const std::string& name, const std::string& listing)
{
    std::ostringstream all;
    all << std::fixed << std::setprecision(2);
    all << "# text, box, its measure: letters to what is right round them, rim included, to their outline and to\n"
           "# a flat face beyond it\n";
    for (const TextContrast& t : MeasureTexts(frames, texts)) {
        std::ostringstream line;
        line << std::fixed << std::setprecision(2);
        line << "\"" << t.text << "\" at " << t.x << "," << t.y << " (" << t.w << "x" << t.h << "): " << t.ratio
             << ":1";
        const char* against = t.ratio == t.outline   ? " to its outline"
                              : t.ratio == t.beyond ? " to the flat face beyond its outline"
                                                    : " to what is right round it";
        if (!t.Legible())
            ADD_FAILURE() << folder << "/" << name << ": " << line.str() << ", under " << t.needed << ":1"
                          << against;
        all << (t.Legible() ? "  " : "! ") << line.str() << "  [round " << t.around;
        if (t.outlined)
            all << ", outline " << t.outline;
        if (t.flatBeyond)
            all << ", beyond " << t.beyond;
        all << "]\n";
    }
    std::ofstream(listing) << all.str();
}

} // namespace TestSupport
