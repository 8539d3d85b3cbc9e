// The word-carrying base: point values, typed letters, the event queue, the group
// links and the shared word placement of the sharks.
#include "tests/creatures/CreatureTestSupport.h"

#include <deque>

#include "game/creatures/Shark.h"
#include "game/play/Board.h"

using namespace Zant;
using namespace CreatureTests;

namespace {

class EnemyTest : public CreatureFixture {
protected:
    std::unique_ptr<Enemy> Make() { return std::make_unique<Enemy>(app.get()); }
};

} // namespace

TEST_F(EnemyTest, PointValueWeighsEveryCharacter)
{
    const struct {
        const char* word;
        int value;
    } cases[] = {{"SHARK", 90}, {"A1", 60}, {"a", 60}, {"QUIZ", 150}, {"", 0}, {"BE ", 105}};
    for (const auto& c : cases) {
        auto enemy = Make();
        enemy->SetWord(c.word);
        EXPECT_EQ(enemy->mPointValue, c.value) << c.word;
        EXPECT_EQ(enemy->GetPointValue(), c.value) << c.word;
    }
}

TEST_F(EnemyTest, TypingAWordCompletesItAndLetsTheGroupGo)
{
    auto typed = std::make_unique<Shark>(app.get());
    auto held = std::make_unique<Shark>(app.get()); // waits beyond the right edge until the word is done
    auto behind = Make();                           // the creature that held this one back
    typed->SetWord("SHARK");
    EXPECT_EQ(typed->mPointValue, 90);
    typed->SetLeader(held.get());
    held->SetFollower(typed.get());
    behind->SetLeader(typed.get());
    typed->SetFollower(behind.get());
    held->mX = app->mWidth + 50.0;

    for (int i = 0; i < 4; ++i)
        typed->TypeLetter();
    EXPECT_EQ(typed->mTypedCount, 4);
    EXPECT_EQ(typed->mTypedPart, "SHAR");
    EXPECT_EQ(typed->mRemainingPart, "K");
    EXPECT_TRUE(typed->mEvents.empty());
    EXPECT_FALSE(held->mActive);

    typed->TypeLetter();
    EXPECT_EQ(typed->mTypedCount, 4);
    EXPECT_EQ(typed->mTypedPart, "SHAR");
    EXPECT_EQ(typed->mRemainingPart, "K");
    EXPECT_EQ(typed->mEvents, std::deque<int>{EVENT_WORD_COMPLETED});
    EXPECT_TRUE(held->mActive);
    EXPECT_EQ(held->mX, double(app->mWidth));
    EXPECT_EQ(held->mFollower, nullptr);
    EXPECT_EQ(typed->mLeader, nullptr);
    // Both sides of the link to the creature behind go, so neither can dangle.
    EXPECT_EQ(behind->mLeader, nullptr);
    EXPECT_EQ(typed->mFollower, nullptr);
}

TEST_F(EnemyTest, TypingOnAnEmptyWordChangesNothing)
{
    auto enemy = Make();
    enemy->TypeLetter();
    EXPECT_EQ(enemy->mTypedCount, 0);
    EXPECT_TRUE(enemy->mEvents.empty());
}

TEST_F(EnemyTest, EventQueueKeepsOrderAndRemovesEveryMatch)
{
    auto enemy = Make();
    for (int e : {7, 4, 7, 5})
        enemy->PushEvent(e);
    EXPECT_TRUE(enemy->HasEvent(7));
    enemy->RemoveEvent(7);
    EXPECT_FALSE(enemy->HasEvent(7));
    EXPECT_EQ(enemy->mEvents, (std::deque<int>{4, 5}));

    EXPECT_EQ(enemy->PopEvent(), 4);
    EXPECT_EQ(enemy->PopEvent(), 5);
    EXPECT_EQ(enemy->PopEvent(), EVENT_NONE);
}

TEST_F(EnemyTest, DetachLeaderReleasesOnlyACreatureWaitingBeyondTheEdge)
{
    const double width = app->mWidth;
    const struct {
        double x;
        int state;
        bool released;
        bool entersAtEdge;
    } cases[] = {
        {width + 1, 0, false, true},
        {width, 0, false, false},
        {width + 1, 6, false, false},
        {width + 1, 0, true, false},
    };
    for (const auto& c : cases) {
        auto enemy = Make();
        auto leader = Make();
        enemy->SetLeader(leader.get());
        leader->SetFollower(enemy.get());
        leader->mX = c.x;
        leader->mState = c.state;
        leader->mActive = c.released;
        leader->mFrame = 3;
        enemy->DetachLeader();
        EXPECT_EQ(enemy->mLeader, nullptr);
        EXPECT_EQ(leader->mFollower, nullptr);
        EXPECT_EQ(leader->mX, c.entersAtEdge ? width : c.x) << c.x << " " << c.state;
        EXPECT_EQ(leader->mActive, c.entersAtEdge || c.released);
        EXPECT_EQ(leader->mFrame, c.entersAtEdge ? 0 : 3);
    }
}

TEST_F(EnemyTest, DestroyingAMiddleCreatureLeavesNoLinkToIt)
{
    auto front = Make();
    auto* middle = new Enemy(app.get());
    auto back = Make();
    front->SetLeader(middle);
    middle->SetFollower(front.get());
    middle->SetLeader(back.get());
    back->SetFollower(middle);
    back->mX = app->mWidth + 10.0;

    delete middle;
    EXPECT_EQ(front->mLeader, nullptr);
    EXPECT_EQ(back->mFollower, nullptr);
    // A creature is not let go by a deletion, only by a completed word.
    EXPECT_FALSE(back->mActive);
    front->SetWord("A");
    front->TypeLetter();
    EXPECT_FALSE(back->mActive);
}

namespace {

class WordPlacementTest : public CreatureFixture {
protected:
    // A shark whose frame is 100 x 60 at (200, 100).
    std::unique_ptr<Shark> PlacedShark(const std::string& word)
    {
        auto shark = std::make_unique<Shark>(app.get());
        shark->SetWord(word);
        shark->mWidth = 100;
        shark->mHeight = 60;
        shark->mSrcX = 0;
        shark->mX = 200;
        shark->mY = 100;
        shark->SetReleased(true);
        return shark;
    }
};

} // namespace

TEST_F(WordPlacementTest, UntypedWordIsCentredOverTheFrame)
{
    auto shark = PlacedShark("SHARK");
    Draw(*shark);
    ASSERT_EQ(draws.size(), 1u);
    // x = trunc(200 + 50 + 11 - floor(50 / 2) - 5), baseline trunc(100 + 30 + 0 + 5).
    EXPECT_EQ(draws[0].text, "SHARK");
    EXPECT_EQ(draws[0].x, 231);
    EXPECT_EQ(draws[0].y, 135);
    EXPECT_EQ(draws[0].font, wordFont);
    EXPECT_EQ(draws[0].color, Color(0, 0, 0));
}

TEST_F(WordPlacementTest, TypedLettersChangeColourInPlace)
{
    auto shark = PlacedShark("SHARK");
    shark->TypeLetter();
    shark->TypeLetter();
    Draw(*shark);
    ASSERT_EQ(draws.size(), 2u);
    // Typed part measured with the typed font: trunc(261 - floor(60 / 2) - 5).
    EXPECT_EQ(draws[0].text, "SH");
    EXPECT_EQ(draws[0].x, 226);
    EXPECT_EQ(draws[0].font, typedFont);
    EXPECT_EQ(draws[0].color, Color(255, 255, 100));
    // The rest follows the typed part as the word font measures it: 261 + 20 - 25 - 5.
    EXPECT_EQ(draws[1].text, "ARK");
    EXPECT_EQ(draws[1].x, 251);
    EXPECT_EQ(draws[1].font, wordFont);
    EXPECT_EQ(draws[1].y, 135);
}

TEST_F(WordPlacementTest, PausedBoardHidesWordsButNotSprites)
{
    auto shark = PlacedShark("SHARK");
    board->mPaused = true;
    Draw(*shark);
    EXPECT_TRUE(draws.empty());
    EXPECT_EQ(PixelImage(ScreenPixel(200, 100)), IMAGE_SHARK_BASIC_SWIM);

    // Without a current board the word shows.
    app->mBoard = nullptr;
    Draw(*shark);
    EXPECT_EQ(draws.size(), 1u);
    app->mBoard = board;
}

TEST_F(WordPlacementTest, UnreleasedCreatureDrawsNothing)
{
    auto shark = PlacedShark("SHARK");
    shark->SetReleased(false);
    Draw(*shark);
    EXPECT_TRUE(draws.empty());
    EXPECT_EQ(ScreenPixel(200, 100), BACKGROUND);
}
