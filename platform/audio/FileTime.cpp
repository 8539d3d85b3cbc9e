#include "platform/audio/FileTime.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "platform/Paths.h"

namespace Platform {

uint64_t FileWriteTime(const std::string& gamePath)
{
    struct stat st{};
    if (stat(ToNativePath(gamePath).c_str(), &st) != 0)
        return 0;
    constexpr uint64_t kEpochDelta = 11644473600ULL; // seconds from 1601 to 1970
    return (static_cast<uint64_t>(st.st_mtim.tv_sec) + kEpochDelta) * 10000000ULL +
           static_cast<uint64_t>(st.st_mtim.tv_nsec) / 100;
}

} // namespace Platform
