// Reads any bytes as the settings store's file, then checks that what it kept is
// written and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Platform::SettingsStore store; // in memory: nothing is written to disk
    store.Parse(std::string(reinterpret_cast<const char*>(data), size));
    const std::string once = store.Serialize();
    Platform::SettingsStore again;
    if (again.Parse(once) != 0 || again.Serialize() != once)
        std::abort();
    std::vector<std::string> names;
    store.ListSubKeys("", names);
    for (const std::string& name : names) {
        int type = 0;
        std::string value;
        store.GetValue(name, "", type, value);
        store.DeleteKey(name);
    }
    return 0;
}
