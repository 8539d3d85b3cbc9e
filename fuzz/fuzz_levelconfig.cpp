// Reads any bytes as a level file of each kind and, when the file is accepted, walks
// through its levels and waves the way a long game would.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/util/MersenneTwister.h"
#include "game/common/Config.h"

// The reader alone, without the rest of the game.
#include "game/common/Config.cpp"
#include "game/common/DataFile.cpp"

namespace {

class FuzzHost : public Zant::ConfigHost {
public:
    Zant::MersenneTwister& GetGameRandom() override { return random; }
    int GetBoardAbyssDepth() override { return depth; }
    Zant::MersenneTwister random{7};
    int depth = 0;
};

void Walk(Zant::Config& config, FuzzHost& host)
{
    for (int level : {0, 5, 35, -1, 40, 1000, -7}) {
        config.ResetWaves(level);
        for (int step = 0; step < 40; ++step) {
            config.ChooseNextWave(step % 5 == 0);
            if (step % 7 == 0)
                config.SkipToLastWave();
            for (int i = 0; i < config.GetWaveEnemyCount(); ++i)
                (void)config.GetWaveEnemy(i)->MinSpeed;
            (void)config.GetLevelSettings();
            (void)config.GetPrevWaveKnockBack();
            (void)config.GetWaveMinCol();
            (void)config.IsSpecialLevel();
            (void)config.IsLastWaveSpecial();
            if (step % 9 == 0) {
                host.depth += 700;
                config.NextLevel();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int difficulty : {0, 4, -1}) {
        FuzzHost host;
        Zant::Config config(&host);
        if (config.LoadText(text, difficulty, "fuzz.xml") == Zant::Config::LOAD_OK)
            Walk(config, host);
        else
            (void)config.GetErrorText();
    }
    return 0;
}
