#pragma once
// Debugger output: each line goes to stderr ending in a plain newline.
#include <string>

namespace Platform {

// Writes text to stderr; a trailing "\r\n" becomes "\n".
void DebugOutput(const std::string& text);

} // namespace Platform
