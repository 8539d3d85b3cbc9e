#pragma once
// The adventure a profile keeps, as the game takes it up to offer or continue it.
// Its numbers come from the player's files, which a power cut, a full disk or an
// editor may have changed: each is bounded here, so that what the game does with it
// (one level more, points added, the endless levels' speed rises, the course drawn)
// stays within what an int and the game can hold.
#include <array>
#include <utility>
#include <vector>

namespace Zant {

class UserProfile;

struct SavedAdventure {
    // Scores, lives, level numbers and run totals are kept up to this, far beyond any
    // game, so that adding to them cannot overflow.
    static constexpr int COUNT_LIMIT = 1000000000;
    // The map's course dots lie on the chart; a coordinate is kept within this either
    // way, so that drawing a dot centred on it stays within an int.
    static constexpr int COORDINATE_LIMIT = 1 << 16;

    // The saved adventure of a profile that has one, bounded.
    static SavedAdventure Read(const UserProfile& profile);

    // Past the fixed levels: the game stands on an endless level.
    bool IsUncharted() const { return endlessCount > 0; }

    int difficulty = 0;
    // A charted site 1..35; 0 past the fixed levels.
    int site = 0;
    // Past the fixed levels, how many endless levels were entered (1 or more).
    int endlessCount = 0;
    // The diver's level, counted from 0.
    int level = 0;
    int score = 0;
    int lives = 0;
    // The Dozav Odaziz charge, 0..1.
    double charge = 0.0;
    // The run totals 1, 3, 4 and 5 and the typing time (run total 2).
    std::array<int, 4> totals{};
    int typingTime = 0;
    // The course travelled on the map.
    std::vector<std::pair<int, int>> routeDots;
};

} // namespace Zant
