#include "game/common/DataFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "framework/util/StringUtil.h"
#include "platform/Paths.h"

namespace Zant {

namespace {
// Far above the largest data file; a bigger file is not one of ours.
constexpr std::streamoff MAX_DATA_FILE_SIZE = 16 * 1024 * 1024;
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
    text.clear();
    std::ifstream in(GameDataPath(folder, gamePath), std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > MAX_DATA_FILE_SIZE)
        return false;
    in.seekg(0, std::ios::beg);
    text.resize(static_cast<size_t>(size));
    if (size > 0 && !in.read(text.data(), size))
        return false;
    return true;
}

} // namespace Zant
