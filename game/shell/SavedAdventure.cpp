#include "game/shell/SavedAdventure.h"

#include <algorithm>
#include <cmath>

#include "game/common/Config.h"
#include "game/profile/UserProfile.h"

namespace Zant {

namespace {

int Count(int stored) { return std::clamp(stored, 0, SavedAdventure::COUNT_LIMIT); }

} // namespace

SavedAdventure SavedAdventure::Read(const UserProfile& profile)
{
    SavedAdventure saved;
    // A difficulty past the five is named and played as the last, X-Treme.
    const int difficulty = profile.mSavedDifficulty;
    saved.difficulty = difficulty >= 0 && difficulty <= 4 ? difficulty : 4;
    const int index = profile.mSavedLevelIndex;
    if (index >= UserProfile::SAVED_ENDLESS_LEVEL_BASE) {
        // The level index holds the endless count, and the store's "NBTL" the count
        // less one: the two are written together, so a count the index does not
        // bear out is damage, and the index bounds it.
        const int counted = std::clamp(index - UserProfile::SAVED_ENDLESS_LEVEL_BASE, 1, Config::MAX_ENDLESS_COUNT);
        saved.endlessCount = std::clamp(profile.mLastLevel, 0, counted - 1) + 1;
    } else {
        saved.site = std::clamp(index, 1, UserProfile::NUM_SITES - 1);
    }
    saved.level = Count(profile.mSavedLevel);
    saved.score = Count(profile.mSavedScore);
    saved.lives = Count(profile.mSavedLives);
    // A save without a charge (older saves, -1.0) restores none, not a bar that
    // stays empty for a whole extra charge period.
    saved.charge = std::isfinite(profile.mSavedCharge) ? std::clamp(profile.mSavedCharge, 0.0, 1.0) : 0.0;
    for (size_t i = 0; i < saved.totals.size(); ++i)
        saved.totals[i] = Count(profile.mSavedTotals[i]);
    saved.typingTime = Count(profile.mSavedTotal2);
    for (const auto& [x, y] : profile.mSavedSites)
        saved.routeDots.emplace_back(std::clamp(x, -COORDINATE_LIMIT, COORDINATE_LIMIT),
                                     std::clamp(y, -COORDINATE_LIMIT, COORDINATE_LIMIT));
    return saved;
}

} // namespace Zant
