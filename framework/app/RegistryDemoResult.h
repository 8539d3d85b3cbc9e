#pragma once
// What a registry operation leaves in a demo and takes back from it during playback,
// so a replayed run sees the settings and profiles of the recorded one. The bits
// follow the record header: a success bit, then, on success, the data of the code.
#include <cstdint>
#include <string>
#include <vector>

namespace Zant {

class Buffer;

enum {
    DEMO_REGISTRY_LIST = 10,       // u32 count, then each name (u16 length and bytes)
    DEMO_REGISTRY_READ = 11,       // u32 type, u32 length, the bytes
    DEMO_REGISTRY_WRITE = 12,      // nothing more
    DEMO_REGISTRY_DELETE_KEY = 13, // nothing more
};

struct RegistryDemoResult {
    bool mSuccess = false;
    uint32_t mType = 0;
    std::string mData;
    std::vector<std::string> mNames;
};

void WriteRegistryDemoResult(Buffer& stream, int code, const RegistryDemoResult& result);
// Counts and lengths are taken no further than the stream reaches; false when the
// stream ended before the record was complete.
bool ReadRegistryDemoResult(Buffer& stream, int code, RegistryDemoResult& result);

} // namespace Zant
