#pragma once
// Comparing a picture read back from a window with the reference picture kept beside
// a test: this run's picture is always written into the build folder for a look,
// with a difference picture beside it where pixels differ.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics/ImageLib.h"

namespace Platform {
class SdlScreen;
}
namespace Zant {
class DDInterface;
}

namespace TestSupport {

// The 640x480 frame out of the window's captured picture (the window may be scaled or
// letterboxed, as on the full-screen desktop).
ImageLib::Image CaptureFrame(Platform::SdlScreen& screen);
// Pixels read back from a window as an opaque picture.
ImageLib::Image Picture(const std::vector<uint32_t>& pixels, int width, int height);
// The 640x480 frame the display drew, from its draw surface (the same in 2D and 3D),
// as an opaque picture; black with a failure when the surface cannot be read.
ImageLib::Image ReadDrawSurface(Zant::DDInterface& dd);

// How far apart two frames of one size are: pixels with a channel more than
// farChannel apart, and the mean of every pixel's largest channel distance.
struct FrameDistance {
    int far = 0;
    double mean = 0;
};
FrameDistance CompareFrames(const ImageLib::Image& a, const ImageLib::Image& b, int farChannel);

// Writes the picture to <build>/screenshots/<folder>/<name> for a look; its path.
std::string SaveShot(const ImageLib::Image& shot, const std::string& folder, const std::string& name);

// Where a test keeps its reference pictures and how near a picture must come.
struct Reference {
    std::string folder;   // below tests/, e.g. "play" or "tutor/reference"
    int channelTolerance; // colour steps a channel may be off by (the display's rounding)
    int maxDiffering;     // pixels that may be off by more (edges of scaled text)
};

// Pixels of which a colour channel is off by more than the tolerance from
// tests/<folder>/<name>; -1 with a failure when there is no reference of the
// picture's size. The picture goes to <build>/screenshots/<folder>/<name>, and
// <name>.diff.png beside it (off pixels magenta) when any differ.
int DifferingPixels(const ImageLib::Image& shot, const std::string& folder, const std::string& name,
                    int channelTolerance);
// A failure naming both pictures when more pixels than the reference allows differ.
void ExpectMatchesReference(const ImageLib::Image& shot, const Reference& reference, const std::string& name);

} // namespace TestSupport
