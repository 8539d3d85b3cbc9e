#pragma once
// Pictures taken of the game's real window and their comparison with the reference
// pictures kept beside a test.
#include <string>

#include "framework/graphics/ImageLib.h"

namespace Platform {
class SdlScreen;
}

namespace TestSupport {

// The 640x480 frame out of the window's captured picture (the window may be scaled).
ImageLib::Image CaptureFrame(Platform::SdlScreen& screen);

// Compares shot with tests/<testFolder>/<name>: a channel may be off by
// channelTolerance, and at most maxDifferent pixels may be off. The shot is kept
// in the build folder's <testFolder>-shots, with a difference picture when it fails.
void ExpectMatchesReference(const ImageLib::Image& shot, const std::string& testFolder, const std::string& name,
                            int channelTolerance, int maxDifferent);

} // namespace TestSupport
