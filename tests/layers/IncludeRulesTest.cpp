// The rooms of game/ stay in order: each room includes only itself and the rooms
// below it. shell over play over creatures, with assets, profile and common below
// them all:
//   shell     -> anything
//   play      -> play, creatures, assets, profile, common
//   creatures -> creatures, assets, common
//   profile   -> profile, common
//   assets    -> assets
//   common    -> common
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

const std::map<std::string, std::set<std::string>> ALLOWED = {
    {"play", {"play", "creatures", "assets", "profile", "common"}},
    {"creatures", {"creatures", "assets", "common"}},
    {"profile", {"profile", "common"}},
    {"assets", {"assets"}},
    {"common", {"common"}},
};

// "file:line: includes game/<room>/..." for every include of a room not allowed.
std::vector<std::string> ForbiddenIncludes(const std::filesystem::path& game, const std::string& room)
{
    static const std::regex INCLUDE(R"(^\s*#\s*include\s*[<"]game/([A-Za-z0-9_]+)/)");
    const std::set<std::string>& allowed = ALLOWED.at(room);
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(game / room)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (std::regex_search(line, match, INCLUDE) && allowed.count(match[1].str()) == 0)
                found.push_back(std::filesystem::relative(entry.path(), game.parent_path()).string() + ":" +
                                std::to_string(number) + ": " + line);
        }
    }
    return found;
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

} // namespace

TEST(IncludeRules, EachRoomOfTheGameIncludesOnlyTheRoomsBelowIt)
{
    const std::filesystem::path game = std::filesystem::path(TestSupport::SourceDir()) / "game";
    ASSERT_TRUE(std::filesystem::is_directory(game)) << game;
    for (const auto& [room, allowed] : ALLOWED) {
        ASSERT_TRUE(std::filesystem::is_directory(game / room)) << room;
        const std::vector<std::string> found = ForbiddenIncludes(game, room);
        EXPECT_TRUE(found.empty()) << "game/" << room << " reaches up:\n" << Lines(found);
    }
}

TEST(IncludeRules, EveryRoomOfTheGameIsKnown)
{
    // A new room needs its place in the order above.
    const std::filesystem::path game = std::filesystem::path(TestSupport::SourceDir()) / "game";
    for (const auto& entry : std::filesystem::directory_iterator(game)) {
        if (!entry.is_directory())
            continue;
        const std::string room = entry.path().filename().string();
        EXPECT_TRUE(ALLOWED.count(room) > 0 || room == "shell") << entry.path();
    }
}
