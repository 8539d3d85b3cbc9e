#pragma once
// The creature tests' headless application with the bosses' images, a shot font,
// word lists and a diver in the boss fight; level files with one boss wave.
#include <memory>
#include <string>
#include <vector>

#include "game/creatures/BossKinds.h"
#include "game/common/Config.h"
#include "game/play/Player.h"
#include "tests/creatures/CreatureTestSupport.h"

namespace BossTests {

// What a boss wave's entry holds.
struct BossWave {
    std::string type = "Torpedo";
    int health = 30;
    int maxMissiles = 3;
    int timeToFire = 500;
    double bobSpeed = 0.2;
    // Before the load adds its 0.3.
    double minMissileSpeed = 0.2;
    double maxMissileSpeed = 0.3;
    int minDiff = 4;
    int maxDiff = 5;
};

// The bosses' images (coded as the creature tests' are), the derived images and a
// recording shot font, added to a test application; the font is returned.
CreatureTests::RecordingFont* AddBossArt(Zant::WinBTApp& app, std::vector<CreatureTests::DrawCall>* draws);

class BossFixture : public CreatureTests::CreatureFixture {
public:
    static constexpr int SHOT_ADVANCE = 9;

protected:

    BossFixture();
    ~BossFixture() override;

    // A configuration whose current wave is the boss wave; abyss mode without one.
    Zant::Config* LoadBossConfig(const BossWave& wave);
    Zant::Config* LoadAbyssConfig(int depth);

    // The boss of a type code (12, 14, 15, 16).
    std::unique_ptr<Zant::TorpedoBoss> MakeBoss(int type, Zant::Config* config);
    // Updates until the boss fights (at most a few thousand updates).
    void ReachFight(Zant::ProjectileBoss& boss);
    // Types a shot's whole word as the board would, letter by letter.
    static void TypeWord(Zant::Projectile& shot);
    // A shot of the boss's kind, owned by the test, at a place and speed.
    std::unique_ptr<Zant::Projectile> MakeShot(Zant::TorpedoBoss& boss, double x, double y, double velX);

    Zant::Player* player = nullptr;
    CreatureTests::RecordingFont* shotFont = nullptr;

private:
    void ReplaceConfig();

    std::unique_ptr<Zant::Config> mConfig;
};

} // namespace BossTests
