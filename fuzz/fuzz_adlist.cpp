// Reads any bytes as adlist.txt (read at start, written back at exit), then checks
// that what was kept is written and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/net/InternetManager.h"

namespace {
// No adlist.txt can be read from or written to here.
const char* const kNoFolder = "/proc/plindor-fuzz-no-folder";
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Zant::InternetManager manager(kNoFolder);
    manager.ParseAdList(std::string(reinterpret_cast<const char*>(data), size));
    const std::string once = manager.FormatAdList();
    Zant::InternetManager again(kNoFolder);
    again.ParseAdList(once);
    if (again.FormatAdList() != once)
        std::abort();
    for (const Zant::AdEntry& entry : manager.GetAdList())
        for (const std::string& name : entry.mFileNames)
            if (!Zant::InternetManager::IsSafeFileName(name))
                std::abort();
    return 0;
}
