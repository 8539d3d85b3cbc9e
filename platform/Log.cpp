#include "platform/Log.h"

#include <cstdio>
#include <mutex>

namespace Platform {

void DebugOutput(const std::string& text)
{
    static std::mutex lock;
    std::string line = text;
    // Windows-style line ends become plain newlines.
    std::string out;
    out.reserve(line.size());
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\r' && i + 1 < line.size() && line[i + 1] == '\n')
            continue;
        out += line[i];
    }
    std::lock_guard<std::mutex> guard(lock);
    fwrite(out.data(), 1, out.size(), stderr);
    fflush(stderr);
}

} // namespace Platform
