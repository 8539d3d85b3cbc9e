// Every one-shot recipe through the mastering the sound maker gives it: a sound is
// designed to its loudness, and the mastering only trims what reaches over the
// ceiling, so clicks and hits keep the attack they were made with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/sound/Effects.h"

using namespace Zant;
using namespace Zant::Dsp;

namespace {

// The deepest the mastering's gain dips under its highest, in dB, read sample by
// sample as the ratio of the sound after to the sound before, where the sound is
// within 40 dB of its peak (the gain there is exact in floats). A sound that reaches
// its loudness has stretches the limiter leaves alone, so the highest ratio is the
// plain gain.
double DeepestReductionDb(const Signal& before, const Signal& after)
{
    const double floor = 0.01 * Peak(before);
    double highest = 0.0, lowest = 1e30;
    for (size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        if (std::fabs(before[i]) < floor)
            continue;
        const double ratio = static_cast<double>(after[i]) / before[i];
        highest = std::max(highest, ratio);
        lowest = std::min(lowest, ratio);
    }
    return GainToDb(highest / lowest);
}

} // namespace

TEST(EffectMastering, TakesAtMostThreeDecibelsOffAnyOneShotsPeaks)
{
    std::string error;
    const auto font = SoundFont::Open(PLINDOR_TEST_SOUNDFONT, error);
    ASSERT_TRUE(font) << error;
    const auto textures = Effects::LoadTextures(*font, error);
    ASSERT_TRUE(textures) << error;
    for (const Effects::Recipe& recipe : Effects::Table()) {
        if (recipe.loop)
            continue;
        SCOPED_TRACE(recipe.name);
        const Signal before = Effects::Prepare(recipe, *textures);
        Signal after = before;
        ASSERT_TRUE(Effects::Master(recipe, after, error)) << error;
        EXPECT_LE(DeepestReductionDb(before, after), 3.0);
    }
}

// The data build stops on a sound it cannot level, and says which.
TEST(EffectMastering, ASoundThatCannotBeLevelledIsNamed)
{
    const Effects::Recipe spike{"spike", false, Effects::Kind::Alarm, [](const Effects::Textures&) {
                                    Signal s(static_cast<size_t>(Samples(0.1)), 0.0f);
                                    s[static_cast<size_t>(Samples(0.05))] = 1.0f;
                                    return s;
                                }};
    std::string error;
    EXPECT_FALSE(Effects::Render(spike, {}, error));
    EXPECT_NE(error.find("spike"), std::string::npos) << error;
}
