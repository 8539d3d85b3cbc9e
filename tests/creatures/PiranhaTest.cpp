// Piranhas: the runtime generator's start frame, completion and death, the white
// piranha's second letter, the hidden state, the stealth piranha's faint letter.
#include "tests/creatures/CreatureTestSupport.h"

#include "framework/util/MersenneTwister.h"
#include "game/creatures/Piranha.h"
#include "game/play/Board.h"

using namespace Zant;
using namespace CreatureTests;

namespace {

class PiranhaTest : public CreatureFixture {
protected:
    template <typename T = Piranha>
    std::unique_ptr<T> Swimming(double x, double y, const std::string& letter = "Q")
    {
        auto piranha = std::make_unique<T>(app.get(), board->mPlayer);
        piranha->SetWord(letter);
        piranha->SetX(x);
        piranha->SetY(y);
        piranha->SetReleased(true);
        return piranha;
    }

    // Runs the blink and returns with the piranha in its next state.
    void RunBlink(Piranha& piranha)
    {
        for (int i = 0; i < 100 && piranha.mState == Piranha::BLINKING; ++i)
            Step(piranha);
    }
};

} // namespace

TEST_F(PiranhaTest, StartFrameComesFromTheRuntimeGenerator)
{
    RuntimeSrand(1);
    Piranha first(app.get(), board->mPlayer);
    EXPECT_EQ(first.mFrame, 41 % Piranha::SWIM_CELS);
    EXPECT_EQ(first.mSrcX, first.mFrame * first.mWidth);
    // The game's generator is not touched.
    EXPECT_EQ(gGameRandom->Next(), NextExpected());
    RuntimeSrand(1);
    StealthWhitePiranha again(app.get(), board->mPlayer);
    EXPECT_EQ(again.mFrame, first.mFrame);
}

TEST_F(PiranhaTest, CompletedPiranhaBlinksThenDiesOverTenFrames)
{
    auto piranha = Swimming(300, 200);
    piranha->mEntrySpeed = 0.0;
    piranha->SetState(Piranha::BLINKING);
    EXPECT_EQ(app->sounds, std::vector<int>{SOUND_PIRANHADIES1});

    int toggles = 0;
    bool lastOn = piranha->mBlinkOn;
    while (piranha->mState == Piranha::BLINKING) {
        Step(*piranha);
        if (piranha->mBlinkOn != lastOn && piranha->mState == Piranha::BLINKING) {
            EXPECT_EQ(piranha->mUpdateCount % 7, 0);
            ++toggles;
            lastOn = piranha->mBlinkOn;
        }
        ASSERT_LT(piranha->mUpdateCount, 200);
    }
    EXPECT_EQ(toggles, 6);
    EXPECT_EQ(piranha->mState, Piranha::DYING);
    EXPECT_EQ(piranha->mFrameDelay, 5);
    EXPECT_EQ(piranha->mFrameCount, Piranha::DEATH_CELS);
    EXPECT_EQ(piranha->mVelY, 1.5);

    int deathEvents = 0;
    for (int i = 0; i < 120; ++i) {
        const double y = piranha->mY;
        Step(*piranha);
        EXPECT_DOUBLE_EQ(piranha->mY, y - 1.5);
        for (int e : DrainEvents(*piranha)) {
            if (e == EVENT_DEATH_ANIM_DONE) {
                ++deathEvents;
                EXPECT_EQ(piranha->mFrame, Piranha::DEATH_CELS - 1);
            }
        }
    }
    EXPECT_EQ(deathEvents, 1);
}

TEST_F(PiranhaTest, FlashIsAlwaysRefused)
{
    for (int from : {0, 1, 2, 3, 4, 5}) {
        auto piranha = Swimming(300, 200);
        piranha->mState = from;
        piranha->SetState(6);
        EXPECT_EQ(piranha->mState, from);
    }
}

TEST_F(PiranhaTest, WhitePiranhaComesBackOnceForItsSecondLetter)
{
    Reseed(99);
    auto piranha = Swimming<WhitePiranha>(300, 200, "A");
    piranha->mEntrySpeed = 0.0;
    piranha->SetSecondWord("B");
    piranha->TypeLetter();
    EXPECT_EQ(DrainEvents(*piranha), std::vector<int>{EVENT_WORD_COMPLETED});
    EXPECT_EQ(piranha->mWord, "B");
    EXPECT_EQ(piranha->mPointValue, Enemy::WordValue("B"));

    piranha->SetState(Piranha::BLINKING);
    RunBlink(*piranha);
    EXPECT_EQ(piranha->mState, Piranha::SWIMMING);
    EXPECT_EQ(piranha->mFrame, NextExpected() % Piranha::SWIM_CELS);
    EXPECT_EQ(piranha->mCurImage, app->GetImage(IMAGE_PIRANHA_WHITE_SWIM));
    EXPECT_TRUE(piranha->IsInPlay());

    piranha->TypeLetter();
    EXPECT_TRUE(piranha->mWord.empty());
    piranha->SetState(Piranha::BLINKING);
    RunBlink(*piranha);
    EXPECT_EQ(piranha->mState, Piranha::DYING);
    EXPECT_EQ(app->sounds, (std::vector<int>{SOUND_PIRANHADIES1, SOUND_PIRANHADIES1}));
}

TEST_F(PiranhaTest, ZappedWhitePiranhaDiesSilently)
{
    auto piranha = Swimming<WhitePiranha>(300, 200, "A");
    piranha->SetSecondWord("B");
    piranha->mZapped = true;
    piranha->SetState(Piranha::BLINKING);
    RunBlink(*piranha);
    EXPECT_EQ(piranha->mState, Piranha::DYING);
    EXPECT_TRUE(app->sounds.empty());
}

TEST_F(PiranhaTest, HiddenPiranhaDrawsNothing)
{
    auto piranha = Swimming(300, 200);
    Draw(*piranha);
    EXPECT_EQ(draws.size(), 1u);
    piranha->SetState(Piranha::HIDDEN);
    Draw(*piranha);
    EXPECT_TRUE(draws.empty());
    EXPECT_EQ(ScreenPixel(300 + piranha->mWidth / 2, 200 + piranha->mHeight / 2), BACKGROUND);
}

TEST_F(PiranhaTest, LetterSitsOverTheFrameAtTheKindsOffsets)
{
    auto plain = Swimming(300, 200, "Q");
    auto red = Swimming<RedPiranha>(300, 200, "Q");
    for (Piranha* p : {plain.get(), static_cast<Piranha*>(red.get())}) {
        Draw(*p);
        ASSERT_EQ(draws.size(), 1u);
        const int advance = 14;
        EXPECT_EQ(draws[0].x, int(300 + p->mWidth / 2 + p->mTextOffsetX - (advance >> 1) - 5.0));
        EXPECT_EQ(draws[0].y, int(200 + p->mTextOffsetY + 28.0));
        // The red kind's white letter carries an outline to read on the red body.
        EXPECT_EQ(draws[0].font, p == plain.get() ? app->GetPiranhaFont() : app->OutlinedFont(app->GetPiranhaFont()));
    }
    EXPECT_EQ(draws[0].color, Color(255, 255, 255));
}

TEST_F(PiranhaTest, BlinkFramesFollowTheImageShown)
{
    // A red piranha whose shock image differs in size from the plain one.
    auto* bigShock = new MemoryImage();
    bigShock->Create(80, 70);
    app->SetImage(IMAGE_GUMBO_SHOCK, bigShock);
    auto piranha = Swimming<RedPiranha>(300, 200);
    piranha->SetState(Piranha::BLINKING);
    for (int i = 0; i < 60 && piranha->mState == Piranha::BLINKING; ++i) {
        Step(*piranha);
        ASSERT_NE(piranha->mCurImage, nullptr);
        EXPECT_LE(piranha->mSrcX + piranha->mWidth, piranha->mCurImage->GetWidth());
        EXPECT_LE(piranha->mHeight, piranha->mCurImage->GetHeight());
    }
}

TEST_F(PiranhaTest, TurnedPiranhaBitesAtTheDiver)
{
    auto piranha = Swimming(-58.0, 200);
    piranha->SetVelX(2.0);
    Step(*piranha, 2);
    ASSERT_EQ(piranha->mState, Piranha::TURNED);
    EXPECT_EQ(DrainEvents(*piranha), (std::vector<int>{EVENT_TURNED_AT_EDGE, EVENT_PASSED_DIVER}));
    std::vector<int> events;
    for (int i = 0; i < 40; ++i) {
        Step(*piranha);
        for (int e : DrainEvents(*piranha)) {
            EXPECT_GE(piranha->mX, 20.0);
            events.push_back(e);
        }
    }
    EXPECT_EQ(events, std::vector<int>{EVENT_REACHED_DIVER});
    EXPECT_EQ(app->sounds, std::vector<int>{SOUND_PLAYERDIES});
}

TEST_F(PiranhaTest, StealthPiranhaShowsItsLetterFaintUntilClose)
{
    auto piranha = Swimming<StealthPiranha>(615.0, 200);
    EXPECT_EQ(piranha->mCurImage, app->GetPiranhaImage(3, VARIANT_SWIM));
    int cameClose = 0;
    for (int i = 0; i < 200; ++i) {
        const bool hidden = piranha->mStealthed;
        Draw(*piranha);
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].color.alpha, hidden ? 50 : 255);
        EXPECT_EQ(hidden, piranha->mX > 400.0) << piranha->mX;
        Step(*piranha);
        for (int e : DrainEvents(*piranha)) {
            EXPECT_EQ(e, EVENT_CAME_CLOSE);
            EXPECT_LE(piranha->mX, 610.0);
            EXPECT_GT(piranha->mX + 1.5, 610.0);
            ++cameClose;
        }
    }
    EXPECT_EQ(cameClose, 1);
    EXPECT_FALSE(piranha->mStealthed);
    EXPECT_EQ(piranha->GetSpeed(), 1.6);
}
