#pragma once
// How legible the texts of a frame are: the frame drawn twice, with its texts
// and with every game font silenced, tells which pixels are text; each text's
// glyphs are measured against the pixels just around them by WCAG 2 contrast
// (relative luminance, (lighter + 0.05) / (darker + 0.05)).
#include <string>
#include <vector>

#include "framework/graphics/ImageLib.h"
#include "tests/support/Contrast.h"

namespace Zant {
class WinBTApp;
}

namespace TestSupport {


struct TextContrast {
    int x = 0, y = 0, w = 0, h = 0; // the text's box on the frame
    double ratio = 0;
};

// Every text of the frame, found as the pixels the texts changed, with its contrast.
std::vector<TextContrast> MeasureTexts(const ImageLib::Image& withText, const ImageLib::Image& withoutText);

// While it lives, the application's fonts draw nothing (their measures stay).
class SilencedFonts {
public:
    explicit SilencedFonts(Zant::WinBTApp& app);
    ~SilencedFonts();
    SilencedFonts(const SilencedFonts&) = delete;
    SilencedFonts& operator=(const SilencedFonts&) = delete;

private:
    struct Saved;
    std::vector<Saved*> mSaved;
};

constexpr double LEGIBLE_CONTRAST = 4.5;

// Lists every text of the frame under the contrast a player needs (printed, and
// written to <listing>); each is a failure naming the shot, the text's box and
// its ratio.
void ListIllegibleTexts(const ImageLib::Image& withText, const ImageLib::Image& withoutText, const std::string& folder,
                        const std::string& name, const std::string& listing);

} // namespace TestSupport
