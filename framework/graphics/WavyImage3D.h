#pragma once
// The sea's rolling waves drawn through the 3D renderer. The image is cut into
// horizontal strips 16 pixels high; each strip is a textured quad (two triangles)
// whose top and bottom edges read the image shifted sideways by the wave at their
// height, so neighbouring strips share their edges and the sea bends as one sheet.
// The software path shifts every row on its own instead (the board's DrawWavyImage).
#include "framework/graphics/Color.h"

namespace Zant {

class D3DInterface;
class Graphics;
class Image;

constexpr int WAVE_STRIP_HEIGHT = 16;
// Radians of wave per pixel of height: one crest every 240 pixels.
constexpr double WAVE_NUMBER = 0.026179917;

struct WaveMotion {
    // Pixels: the shift runs from 0 to 4 x amplitude, 2 x amplitude at rest.
    double amplitude = 4.0;
    // The board's update counter: the second wave runs ahead of the first by it.
    int counter = 0;
};

// How far to the right the image is read at screen row y.
double WaveShift(double y, const WaveMotion& wave);

// The renderer that takes g's drawing when g draws onto the 3D screen; null when it
// draws in software (a 2D display, or an off-screen image).
D3DInterface* D3DTargetOf(const Graphics& g);

// One copy of image with its top-left corner at (x, y) in g's coordinates, width
// pixels wide, each screen row showing the image from column WaveShift(row) on,
// multiplied by tint. Strips wholly above or below g's clip are left out; sideways
// the screen's edges clip.
void DrawWavyImage3D(D3DInterface& d3d, const Graphics& g, Image* image, int x, int y, int width,
                     const WaveMotion& wave, const Color& tint);

} // namespace Zant
