#pragma once
// Symbolic names of display, 3D and sound result codes, for the "step: name" texts
// that failed steps leave behind.
#include <cstdint>
#include <string>

namespace Zant {

// The result's name; a value without one is written as bare lower-case hex ("ff").
std::string DirectXErrorName(int32_t result);

} // namespace Zant
