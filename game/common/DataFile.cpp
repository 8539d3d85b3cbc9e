#include "game/common/DataFile.h"

#include <algorithm>
#include <iterator>

#include "framework/util/StringUtil.h"
#include "platform/Paths.h"

namespace Zant {

namespace {
// Far above the largest data file; a bigger file is not one of ours.
constexpr size_t MAX_DATA_FILE_SIZE = 16 * 1024 * 1024;
} // namespace

int ParseLeadingInt(const std::string& text)
{
    return LeadingInt(text, -2000000000LL, 2000000000LL);
}

std::string GameDataPath(const std::string& folder, const std::string& gamePath)
{
    std::string path = Platform::ToNativePath(gamePath);
    if (folder.empty())
        return path;
    if (folder.back() == '/')
        return folder + path;
    return folder + "/" + path;
}

bool ReadGameDataFile(const std::string& folder, const std::string& gamePath, std::string& text)
{
    return Platform::ReadWholeFile(GameDataPath(folder, gamePath), text, MAX_DATA_FILE_SIZE);
}

} // namespace Zant
