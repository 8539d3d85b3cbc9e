#pragma once
// Comparing a 640x480 frame read back from a window with a reference picture kept
// beside a test: the frame is always written into the build folder for a look, and
// a difference picture too when pixels differ.
#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport {

// Pixels of which some colour channel differs by more than channelTolerance from the
// reference at referencePath; -1 (with a test failure) when there is no reference.
// The frame goes to <build>/screenshots/<name>.
int DifferingPixels(const std::vector<uint32_t>& frame, const std::string& referencePath, const std::string& name,
                    int channelTolerance);

} // namespace TestSupport
