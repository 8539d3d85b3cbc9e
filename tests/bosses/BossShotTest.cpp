// Boss shots: the diver's box and the hull boxes, turning and flying back, falling
// away, the word's colours, the explosion's anchor and the launch bubbles; and how
// the bosses draw.
#include "game/play/Board.h"
#include "tests/bosses/BossTestSupport.h"

using namespace Zant;
using namespace BossTests;
using namespace CreatureTests;

namespace {

class BossShotTest : public BossFixture {
protected:
    // A boss of a kind standing still at (400, 150), as in the fight.
    std::unique_ptr<TorpedoBoss> StandingBoss(int type)
    {
        auto boss = MakeBoss(type, nullptr);
        boss->mX = 400.0;
        boss->mY = 150.0;
        boss->mState = ProjectileBoss::FIGHTING;
        return boss;
    }
};

} // namespace

TEST_F(BossShotTest, TheDiversBoxIncludesItsEdgesAndCountsOnlyInTheFight)
{
    auto boss = StandingBoss(ENEMY_TORPEDO);
    player->mX = 100.0;
    player->mY = 200.0;
    // The torpedo is 124 by 32; the diver's box is [100, 129] by [204, 278].
    const struct {
        double x;
        double y;
        double velX;
        int phase;
        bool hits;
    } cases[] = {
        {-24.0, 230, -1, Player::BOSS_FIGHT, true},   {-24.01, 230, -1, Player::BOSS_FIGHT, false},
        {129.0, 230, -1, Player::BOSS_FIGHT, true},   {129.01, 230, -1, Player::BOSS_FIGHT, false},
        {50.0, 172.0, -1, Player::BOSS_FIGHT, true},  {50.0, 171.99, -1, Player::BOSS_FIGHT, false},
        {50.0, 278.0, -1, Player::BOSS_FIGHT, true},  {50.0, 278.01, -1, Player::BOSS_FIGHT, false},
        {50.0, 230, 1, Player::BOSS_FIGHT, false},    {50.0, 230, -1, Player::PLAYING, false},
        {50.0, 230, -1, Player::HIT_BY_SHOT, false},
    };
    for (const auto& c : cases) {
        player->mState = c.phase;
        auto shot = MakeShot(*boss, c.x, c.y, c.velX);
        EXPECT_EQ(shot->HitsDiver(), c.hits) << c.x << ", " << c.y << " at " << c.velX << " in phase " << c.phase;
    }
}

TEST_F(BossShotTest, ReturnedShotsStrikeTheHullBoxesOfTheirBoss)
{
    // Shot sizes: torpedo 124 x 32, cannon ball 74 x 44. Bosses at (400, 150).
    const struct {
        int type;
        const char* what;
        double x;
        double y;
        bool hits;
    } cases[] = {
        // Torpedo boss: hull 425-618 x 203-303, tower 480-555 x 151-196.
        {ENEMY_TORPEDO, "touches the tower only", 356.0, 141.0, true},
        {ENEMY_TORPEDO, "short of the tower", 355.99, 141.0, false},
        {ENEMY_TORPEDO, "between tower and hull, above the hull", 556.0, 160.0, false},
        {ENEMY_TORPEDO, "touches the hull", 301.0, 280.0, true},
        {ENEMY_TORPEDO, "below the hull", 450.0, 303.01, false},
        // Mechanical shark: body 428-584 x 215-360, fin 511-556 x 154-220.
        {ENEMY_MECHA_SHARK, "touches the fin", 387.0, 130.0, true},
        {ENEMY_MECHA_SHARK, "short of the fin", 386.9, 130.0, false},
        {ENEMY_MECHA_SHARK, "under the body", 450.0, 360.01, false},
        // Ghost ship: hull 425-559 x 183-474.
        {ENEMY_GHOST_SHIP, "touches the hull", 351.0, 300.0, true},
        {ENEMY_GHOST_SHIP, "short of the hull", 350.9, 300.0, false},
        {ENEMY_GHOST_SHIP, "over the masts", 450.0, 138.9, false},
        // Mechanical squid: mantle 432-532 x 150-294, arms 520-700 x 198-256.
        {ENEMY_MECHA_SQUID, "touches the mantle", 358.0, 200.0, true},
        {ENEMY_MECHA_SQUID, "past the arms' tips", 700.01, 220.0, false},
        {ENEMY_MECHA_SQUID, "on the arms' tips", 690.0, 220.0, true},
        {ENEMY_MECHA_SQUID, "under the mantle", 450.0, 294.01, false},
    };
    for (const auto& c : cases) {
        auto boss = StandingBoss(c.type);
        auto shot = MakeShot(*boss, c.x, c.y, 1.0);
        EXPECT_EQ(shot->HitsBoss(), c.hits) << c.type << ": " << c.what;
        shot->SetVelX(-1.0);
        EXPECT_FALSE(shot->HitsBoss()) << c.type << ": " << c.what << ", flying left";
    }
}

TEST_F(BossShotTest, ATypedShotTurnsThenFliesBackUpToThreePixelsAnUpdate)
{
    auto boss = StandingBoss(ENEMY_TORPEDO);
    auto shot = MakeShot(*boss, 200.0, 300.0, -0.5);
    shot->SetWord("REEF");
    for (int i = 0; i < 3; ++i)
        shot->TypeLetter();
    EXPECT_EQ(shot->mState, Projectile::FLYING);
    shot->TypeLetter();
    EXPECT_EQ(shot->mState, Projectile::TURNING);
    EXPECT_EQ(shot->mVelX, 0.5);
    EXPECT_EQ(DrainEvents(*shot), std::vector<int>{EVENT_WORD_COMPLETED});
    // Six turning cels, four updates each.
    int turning = 0;
    while (shot->mState == Projectile::TURNING && turning < 100) {
        Step(*shot);
        ++turning;
    }
    EXPECT_EQ(shot->mState, Projectile::RETURNING);
    // The cels step on the shot's own clock, so the first may come at once.
    EXPECT_GE(turning, 21);
    EXPECT_LE(turning, 24);
    EXPECT_EQ(shot->mWidth, 124) << "the whole body, not one propeller cel";
    double top = 0.0;
    for (int i = 0; i < 80 && shot->mState == Projectile::RETURNING; ++i) {
        const double before = shot->mVelX;
        Step(*shot);
        EXPECT_NEAR(shot->mVelX, std::min(3.0, before + 0.05), 1e-9);
        top = std::max(top, shot->mVelX);
    }
    EXPECT_EQ(top, 3.0);
}

TEST_F(BossShotTest, AFallingShotSpeedsUpAndLeavesAtTheLeftEdge)
{
    auto boss = StandingBoss(ENEMY_TORPEDO);
    auto shot = MakeShot(*boss, 60.0, 100.0, -0.5);
    shot->SetState(Projectile::FALLING);
    Step(*shot);
    EXPECT_NEAR(shot->mVelX, -0.55, 1e-12);
    EXPECT_NEAR(shot->mX, 60.0 - 0.55, 1e-12);
    std::vector<int> events;
    for (int i = 0; i < 200 && events.empty(); ++i) {
        Step(*shot);
        events = DrainEvents(*shot);
    }
    EXPECT_EQ(events, (std::vector<int>{EVENT_SHOT_LEFT_SCREEN, EVENT_REMOVE_ME}));
    EXPECT_LE(shot->mX, -shot->mWidth + 0.0);
}

TEST_F(BossShotTest, OutsideTheFightAShotPassesTheDiver)
{
    auto boss = StandingBoss(ENEMY_GHOST_SHIP);
    player->mState = Player::PLAYING;
    auto shot = MakeShot(*boss, 100.0, player->mY + 10, -2.0);
    std::vector<int> events;
    for (int i = 0; i < 200 && events.empty(); ++i) {
        Step(*shot);
        events = DrainEvents(*shot);
    }
    EXPECT_EQ(events, (std::vector<int>{EVENT_SHOT_LEFT_SCREEN, EVENT_REMOVE_ME}));
}

TEST_F(BossShotTest, TypedLettersChangeColourInPlace)
{
    auto boss = StandingBoss(ENEMY_TORPEDO);
    auto shot = MakeShot(*boss, 200.0, 300.0, -0.5);
    shot->SetWord("SHARK");
    Draw(*shot);
    // 124 wide, 32 high; SHARK is 45 wide in the test font.
    const int left = 200 + 62 - 22 - 5;
    const int baseline = 300 + 16 + 5;
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].text, "SHARK");
    EXPECT_EQ(draws[0].x, left);
    EXPECT_EQ(draws[0].y, baseline);
    EXPECT_EQ(draws[0].color, Color(0, 0, 0));

    shot->TypeLetter();
    shot->TypeLetter();
    Draw(*shot);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].text, "SH");
    EXPECT_EQ(draws[0].x, left);
    EXPECT_EQ(draws[0].color, Color(13, 120, 12)); // the green of typed letters, dark enough for the white body
    EXPECT_EQ(draws[1].text, "ARK");
    EXPECT_EQ(draws[1].x, left + 2 * SHOT_ADVANCE);
    EXPECT_EQ(draws[1].color, Color(0, 0, 0));

    // Hidden while the board is paused; the sprite is still drawn (seen once the
    // launch bubbles are gone).
    static_cast<Torpedo*>(shot.get())->mTrailFrame = Torpedo::TRAIL_CELS;
    board->mPaused = true;
    Draw(*shot);
    EXPECT_TRUE(draws.empty());
    EXPECT_EQ(PixelImage(ScreenPixel(210, 310)), IMAGE_SHOT_TORPEDO);
    board->mPaused = false;

    // A cannon ball's letter sits 18 pixels in.
    auto ship = StandingBoss(ENEMY_GHOST_SHIP);
    auto ball = MakeShot(*ship, 100.0, 200.0, -0.5);
    ball->SetWord("Q");
    Draw(*ball);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].x, 118);
    EXPECT_EQ(draws[0].y, 200 + 22 + 8);
}

TEST_F(BossShotTest, TheExplosionSitsByTheWayTheShotFlew)
{
    auto boss = StandingBoss(ENEMY_TORPEDO);
    const struct {
        double velX;
        // Where the explosion cell's top-left lands, relative to the shot; none when
        // nothing is drawn.
        int dx;
        int dy;
        bool drawn;
    } cases[] = {{-0.5, -120 + 20, -55, true}, {0.00001, 23, -55, true}, {2.0, 23, -55, true}, {0.0, 0, 0, false}};
    for (const auto& c : cases) {
        auto shot = MakeShot(*boss, 300.0, 200.0, c.velX);
        shot->SetState(Projectile::EXPLODING);
        EXPECT_EQ(shot->mWidth, 120);
        Draw(*shot);
        if (c.drawn) {
            const uint32_t corner = ScreenPixel(300 + c.dx, 200 + c.dy);
            EXPECT_EQ(PixelImage(corner), IMAGE_SHOT_EXPLODE) << c.velX;
            EXPECT_EQ(PixelColumn(corner), 0) << c.velX;
            EXPECT_EQ(ScreenPixel(300 + c.dx - 1, 200 + c.dy), BACKGROUND) << c.velX;
        } else {
            EXPECT_EQ(ScreenPixel(300 + 23, 200 - 55), BACKGROUND);
            EXPECT_EQ(ScreenPixel(300 - 100, 200 - 55), BACKGROUND);
        }
    }
}

TEST_F(BossShotTest, LaunchBubblesShowEightCellsThenGo)
{
    auto boss = StandingBoss(ENEMY_TORPEDO);
    auto shot = MakeShot(*boss, 300.0, 200.0, -0.01);
    for (int cell = 0; cell < 8; ++cell) {
        Draw(*shot);
        const uint32_t corner = ScreenPixel(static_cast<int>(shot->mX) - 30, 170);
        EXPECT_EQ(PixelImage(corner), IMAGE_SHOT_TRAIL) << cell;
        EXPECT_EQ(PixelColumn(corner), cell * 200) << cell;
        Step(*shot, 5);
    }
    Draw(*shot);
    EXPECT_EQ(ScreenPixel(static_cast<int>(shot->mX) - 30, 170), BACKGROUND);
}

TEST_F(BossShotTest, BossesDrawTheirPartsAliveAndOnlyTheirDeathImageDying)
{
    const struct {
        int type;
        int body;
        int death;
        // One pixel of an animated part, relative to the boss, and its image.
        int partX;
        int partY;
        int part;
    } cases[] = {
        {ENEMY_TORPEDO, IMAGE_BOSS_TORPEDO, IMAGE_BOSS_TORPEDO_DEATH, 227, 54, IMAGE_BOSS_TORPEDO_ROTOR},
        {ENEMY_GHOST_SHIP, IMAGE_BOSS_GALLEON, IMAGE_BOSS_GALLEON_DEATH, 121, 300, IMAGE_BOSS_GALLEON_RUDDER},
        {ENEMY_MECHA_SHARK, IMAGE_BOSS_MECHA, IMAGE_BOSS_MECHA_DEATH, 184, 60, IMAGE_BOSS_MECHA_FIN},
        {ENEMY_MECHA_SQUID, IMAGE_BOSS_SQUID, IMAGE_BOSS_SQUID_DEATH, 133, 80, IMAGE_BOSS_SQUID_EYE},
        {ENEMY_MECHA_SQUID, IMAGE_BOSS_SQUID, IMAGE_BOSS_SQUID_DEATH, 217, 60, IMAGE_BOSS_SQUID_FIN},
    };
    for (const auto& c : cases) {
        auto boss = StandingBoss(c.type);
        boss->mY = 100.0;
        Draw(*boss);
        EXPECT_EQ(PixelImage(ScreenPixel(402, 101)), c.body) << c.type;
        EXPECT_EQ(PixelImage(ScreenPixel(400 + c.partX, 100 + c.partY)), c.part) << c.type;
        EXPECT_EQ(PixelColumn(ScreenPixel(400 + c.partX, 100 + c.partY)), 0) << c.type;

        boss->mHealth = 0;
        boss->SetState(ProjectileBoss::HIT);
        ASSERT_EQ(boss->mState, ProjectileBoss::DYING);
        boss->mExplosions.clear();
        Draw(*boss);
        EXPECT_EQ(PixelImage(ScreenPixel(402, 101)), c.death) << c.type;
        if (c.partX < boss->mWidth) {
            EXPECT_EQ(PixelImage(ScreenPixel(400 + c.partX, 100 + c.partY)), c.death) << c.type;
        }
    }
}
