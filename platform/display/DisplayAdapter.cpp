#include "platform/display/DisplayAdapter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

namespace Platform {

namespace {

std::string FirstLine(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// "card0", "card12"; not the connectors ("card0-HDMI-A-1") nor the render nodes.
bool IsCard(const std::string& name)
{
    return name.size() > 4 && name.compare(0, 4, "card") == 0 &&
           std::all_of(name.begin() + 4, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string DrmAdapters(const std::string& drmFolder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> cards;
    for (fs::directory_iterator it(drmFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!IsCard(name))
            continue;
        const fs::path device = it->path() / "device";
        std::string line = name;
        for (const char* field : {"vendor", "device", "subsystem_vendor", "subsystem_device", "revision"})
            line += " " + FirstLine(device / field);
        std::error_code linkError;
        const fs::path driver = fs::read_symlink(device / "driver", linkError);
        line += " " + (linkError ? std::string("-") : driver.filename().string());
        cards.push_back(line);
    }
    // The folder lists in no set order; the text must not change between runs.
    std::sort(cards.begin(), cards.end());
    std::string text;
    for (const std::string& card : cards)
        text += card + "\n";
    return text;
}

} // namespace Platform
