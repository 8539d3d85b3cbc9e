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

bool ReadWholeFile(const std::string& gamePath, std::string& out, size_t maxBytes)
{
    out.clear();
    std::unique_ptr<FILE, int (*)(FILE*)> f(fopen(ToNativePath(gamePath).c_str(), "rb"), fclose);
    if (!f)
        return false;
    struct stat st{};
    if (fstat(fileno(f.get()), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (static_cast<uint64_t>(st.st_size) > maxBytes)
        return false;
    out.resize(static_cast<size_t>(st.st_size));
    if (!out.empty() && fread(out.data(), 1, out.size(), f.get()) != out.size()) {
        out.clear();
        return false;
    }
    return true;
}

} // namespace Platform
