#include "tests/bosses/BossTestSupport.h"

#include <map>

#include "game/play/Board.h"
#include "tests/levels/LevelFileBuilder.h"

namespace BossTests {

using namespace Zant;
using namespace CreatureTests;

namespace {

const int BOSS_IMAGES[] = {
    IMAGE_SHOT_TORPEDO, IMAGE_SHOT_EXPLODE, IMAGE_SHOT_TORPEDO_TURN, IMAGE_BOSS_TORPEDO, IMAGE_BOSS_TORPEDO_DEATH,
    IMAGE_BOSS_TORPEDO_ROTOR, IMAGE_SHOT_ROTOR, IMAGE_SHOT_TRAIL, IMAGE_BOSS_GALLEON, IMAGE_SHOT_CANNONBALL,
    IMAGE_BOSS_GALLEON_RUDDER, IMAGE_BOSS_GALLEON_DEATH, IMAGE_SHOT_CANNONBALL_TURN, IMAGE_BOSS_MECHA,
    IMAGE_BOSS_MECHA_FIN, IMAGE_BOSS_MECHA_DEATH, IMAGE_BOSS_SQUID, IMAGE_BOSS_SQUID_DEATH, IMAGE_BOSS_SQUID_EYE,
    IMAGE_BOSS_SQUID_FIN,
};

// Coded pixels as the creature fixture makes them: the image index in red, the
// column in green and blue.
MemoryImage* CodedImage(int index)
{
    const ManifestEntry size = ManifestSize(WinBTApp::IMAGE_NAMES[index]);
    // Made once for all the tests.
    static std::map<int, std::vector<uint32_t>> cache;
    std::vector<uint32_t>& pixels = cache[index];
    if (pixels.empty()) {
        pixels.resize(size_t(size.width) * size.height);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                pixels[size_t(y) * size.width + x] = CodedPixel(index, x);
    }
    auto* image = new MemoryImage();
    image->SetBits(pixels.data(), size.width, size.height);
    return image;
}

// 26 words of each length from 3 to 7, every one with its own first letter.
std::string WordLengthLists()
{
    std::string text;
    for (int length = 3; length <= 7; ++length) {
        text += "#LENGTH-" + std::to_string(length) + "\n";
        for (int i = 0; i < 26; ++i)
            text += std::string(1, char('A' + i)) + std::string(length - 1, char('A' + (i + 1) % 26)) + "\n";
        text += "#END\n";
    }
    return text;
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

RecordingFont* AddBossArt(WinBTApp& app, std::vector<DrawCall>* draws)
{
    for (int index : BOSS_IMAGES)
        app.SetImage(index, CodedImage(index));
    app.BuildDerivedImages();
    auto* font = new RecordingFont(BossFixture::SHOT_ADVANCE, draws);
    app.mFontCourier15Bold = font;
    return font;
}

BossFixture::BossFixture()
{
    shotFont = AddBossArt(*app, &draws);
    EXPECT_TRUE(app->mWordLists.ParseWordLengthLists(WordLengthLists()));

    player = board->mPlayer;
    player->mState = Player::BOSS_FIGHT;
    player->mX = 30.0;
    player->mY = 200.0;
}

BossFixture::~BossFixture()
{
    if (mConfig)
        mConfig->ClearLevels();
}

void BossFixture::ReplaceConfig()
{
    if (mConfig)
        mConfig->ClearLevels();
    mConfig = std::make_unique<Config>(app.get());
}

Config* BossFixture::LoadBossConfig(const BossWave& wave)
{
    using namespace LevelFiles;
    const std::string entry = Value("Health", std::to_string(wave.health)) +
                              Value("MaxMissiles", std::to_string(wave.maxMissiles)) +
                              Value("MinMissiles", "1") + Value("TimeToFire", std::to_string(wave.timeToFire)) +
                              Value("BobSpeed", Number(wave.bobSpeed)) +
                              Value("MinMissileSpeed", Number(wave.minMissileSpeed)) +
                              Value("MaxMissileSpeed", Number(wave.maxMissileSpeed)) +
                              Value("MinDiff", std::to_string(wave.minDiff)) +
                              Value("MaxDiff", std::to_string(wave.maxDiff));
    ReplaceConfig();
    const int result = mConfig->LoadText(File(Level(Sharks() + Wave("Boss", LevelFiles::Enemy(wave.type, entry)))), 1, "boss.xml");
    EXPECT_EQ(result, 0) << mConfig->GetErrorText();
    mConfig->ResetWaves(0);
    mConfig->SkipToLastWave();
    EXPECT_EQ(mConfig->GetWaveKind(), WAVE_BOSS);
    return mConfig.get();
}

Config* BossFixture::LoadAbyssConfig(int depth)
{
    using namespace LevelFiles;
    ReplaceConfig();
    const int result = mConfig->LoadText(File("<AbyssMode/>\n" + Level(Sharks())), -1, "abyss.xml");
    EXPECT_EQ(result, 0) << mConfig->GetErrorText();
    EXPECT_TRUE(mConfig->IsAbyssMode());
    board->mAbyssDepth = depth;
    return mConfig.get();
}

std::unique_ptr<TorpedoBoss> BossFixture::MakeBoss(int type, Config* config)
{
    switch (type) {
    case ENEMY_GHOST_SHIP:
        return std::make_unique<GhostShip>(app.get(), player, config);
    case ENEMY_MECHA_SHARK:
        return std::make_unique<MechaShark>(app.get(), player, config);
    case ENEMY_MECHA_SQUID:
        return std::make_unique<MechaSquid>(app.get(), player, config);
    default:
        return std::make_unique<TorpedoBoss>(app.get(), player, config);
    }
}

void BossFixture::ReachFight(ProjectileBoss& boss)
{
    for (int i = 0; i < 5000 && boss.mState != ProjectileBoss::FIGHTING; ++i)
        Step(boss);
    ASSERT_EQ(boss.mState, ProjectileBoss::FIGHTING);
}

void BossFixture::TypeWord(Projectile& shot)
{
    for (size_t i = 0; i < shot.mWord.size() && shot.mState == Projectile::FLYING; ++i)
        shot.TypeLetter();
}

std::unique_ptr<Projectile> BossFixture::MakeShot(TorpedoBoss& boss, double x, double y, double velX)
{
    std::unique_ptr<Projectile> shot(boss.CreateShot());
    shot->SetX(x);
    shot->SetY(y);
    shot->SetVelX(velX);
    return shot;
}

} // namespace BossTests
