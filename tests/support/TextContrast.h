#pragma once
// How legible the texts of a frame are, as a reader sees them. While a TextRecorder
// lives every text the fonts draw is recorded with the place of each glyph, and
// the frame can be drawn again with only some of the fonts' layers: with none,
// with the letters alone in a marking colour, with the outlines alone in it. From
// these four drawings of one moment the check knows, pixel by pixel, which are a
// text's letters, which its outline and which the picture round them, and
// measures each text on its own by WCAG 2 contrast, (lighter + 0.05) /
// (darker + 0.05) of the relative luminances, the letters' tone taken from their
// full strokes:
// - every text's letters against the pixels right round them, as they are seen
//   there: an outline, shadow or glow of the font's own and the picture beyond
//   them alike, at least 4.5:1. A text's own outline is not its background: a
//   thin rim on a panel the letters do not read on leaves them unread.
// - letters given an outline (to stand over busy art) against that outline: at
//   least 7:1.
// - letters given an outline against a flat surround beyond it (a panel, a
//   plate, a button face): at least 4.5:1, as if the rim were not there. A rim
//   is not a background: it helps over busy art only.
#include <string>
#include <vector>

#include "framework/graphics/ImageLib.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/TextWatch.h"
#include "tests/support/Contrast.h"

namespace TestSupport {

// One text as a font drew it on the frame.
struct DrawnText {
    std::string text;
    std::vector<Zant::Rect> letters; // each glyph's letters
    bool outlined = false;           // the font drew an outline round them
};

// One frame drawn four ways at one moment.
struct TextFrames {
    ImageLib::Image full;     // as shown
    ImageLib::Image bare;     // without any text
    ImageLib::Image letters;  // every text's letters alone, in MARKING
    ImageLib::Image outlines; // every text's outline alone, in MARKING
};

// The colour the letters and outlines are drawn in to find them: a pixel tells how
// much of it a glyph covers by how far it moved from the bare frame towards it.
constexpr uint32_t MARKING = 0xFFFF00FFu;

constexpr double LEGIBLE_CONTRAST = 4.5;
constexpr double OUTLINE_CONTRAST = 7.0;

struct TextContrast {
    std::string text;
    int x = 0, y = 0, w = 0, h = 0; // the letters' box on the frame
    bool outlined = false;
    // The surround beyond the outline is flat (a face the letters must read on).
    bool flatBeyond = false;
    // The letters against the pixels right round them, against their outline and
    // against the flat surround beyond it.
    double around = 0, outline = 0, beyond = 0;
    // The measure the text is judged by (whichever falls further short), and
    // what it needs.
    double ratio = 0, needed = LEGIBLE_CONTRAST;
    bool Legible() const { return ratio >= needed; }
};

// Every text of the frame big enough to read, with its contrast; texts hidden
// under others, whole or cut (a glyph of theirs shows no letter pixel), are left
// out.
std::vector<TextContrast> MeasureTexts(const TextFrames& frames, const std::vector<DrawnText>& texts);

// While it lives, the fonts' texts on frames of the given size are recorded, and
// only the layers of the chosen drawing are drawn.
class TextRecorder : public Zant::TextWatch {
public:
    enum class Drawing { FULL, BARE, LETTERS, OUTLINES };

    TextRecorder(int frameWidth, int frameHeight);
    ~TextRecorder() override;
    TextRecorder(const TextRecorder&) = delete;
    TextRecorder& operator=(const TextRecorder&) = delete;

    // The drawing the next frame is; a full one records its texts afresh.
    void Draw(Drawing drawing);
    // Frames are drawn in full again, and their texts no longer recorded.
    void Finish();
    const std::vector<DrawnText>& Texts() const { return mTexts; }

    bool DrawsLayer(const std::string& layer, Zant::Color& color) override;
    void TextDrawn(const Zant::Image* target, const std::string& text, const Zant::Color& color,
                   const std::vector<Zant::WatchedGlyph>& glyphs) override;

private:
    int mWidth, mHeight;
    Drawing mDrawing = Drawing::FULL;
    bool mRecording = false;
    std::vector<DrawnText> mTexts;
    Zant::TextWatch* mWas;
};

// The four drawings, each made by draw (which draws the frame as the recorder
// asks and reads it back), with the texts of the full one.
template <typename DrawFunction>
TextFrames DrawTextFrames(TextRecorder& recorder, const DrawFunction& draw)
{
    TextFrames frames;
    recorder.Draw(TextRecorder::Drawing::FULL);
    frames.full = draw("");
    recorder.Draw(TextRecorder::Drawing::BARE);
    frames.bare = draw(" without its texts");
    recorder.Draw(TextRecorder::Drawing::LETTERS);
    frames.letters = draw(" with its letters marked");
    recorder.Draw(TextRecorder::Drawing::OUTLINES);
    frames.outlines = draw(" with its outlines marked");
    recorder.Finish();
    return frames;
}

// Every text of the frame with its measures, written to <listing> (the illegible
// ones marked); each illegible one is a failure naming the shot, the text, its
// box and its ratio.
void ListIllegibleTexts(const TextFrames& frames, const std::vector<DrawnText>& texts, const std::string& folder,
                        const std::string& name, const std::string& listing);

} // namespace TestSupport
