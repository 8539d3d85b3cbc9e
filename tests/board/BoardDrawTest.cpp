// What the board writes on its frame: the header, the pause overlay, the message
// line and the level-complete panel, read through a font that records its texts.
#include <algorithm>

#include "game/play/BTTimer.h"
#include "game/play/Player.h"
#include "tests/board/BoardFixture.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

namespace {

class BoardDraw : public BoardFixture {
protected:
    BoardDraw()
    {
        StartLevel(OneWaveLevel());
        // Every board font records what it draws.
        for (Font** font : {&app->mFontSwiss24, &app->mFontMyriad28Bold, &app->mFontUnsteady22})
            *font = new CreatureTests::RecordingFont(10, &draws);
        board->mFadeAlpha = 0;
        board->mIntroAlpha = 0;
    }

    std::vector<std::string> Texts()
    {
        draws.clear();
        board->Draw(&graphics);
        std::vector<std::string> texts;
        for (const CreatureTests::DrawCall& call : draws)
            texts.push_back(call.text);
        return texts;
    }
    bool Shows(const std::string& text)
    {
        const std::vector<std::string> texts = Texts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};

} // namespace

TEST_F(BoardDraw, HeaderShowsLivesOrGameOver)
{
    board->mPlayer->mLives = 3;
    EXPECT_TRUE(Shows("Lives left: 3"));
    board->mPlayer->mLives = -1;
    EXPECT_TRUE(Shows("Game Over!"));
}

TEST_F(BoardDraw, PauseOverlayTextUnlessGameOver)
{
    board->mPlayer->SetState(Player::PLAYING);
    board->Pause(true);
    EXPECT_TRUE(Shows("PAUSED"));
    EXPECT_TRUE(Shows("Click the pause button to continue"));
    board->mSpacePauses = true;
    EXPECT_TRUE(Shows("Press space or click the pause button to continue"));
    board->mPlayer->mState = Player::GAME_OVER;
    EXPECT_FALSE(Shows("PAUSED"));
}

TEST_F(BoardDraw, LevelCompletePanel)
{
    struct Case {
        int hits;
        int misses;
        int typingTime;
        int score;
        const char* wpm;
        const char* accuracyLine;
        const char* rankLine;
    };
    const Case cases[] = {
        {94, 6, 60000, 0, "12", "Get over 94% accuracy for bonus", "Next rank at 150000 points"},
        {95, 5, 60000, 10850000, "13", "Accuracy Bonus +", "Top rank achieved!!!"},
        {10, 90, 60000, 5000, "N/A", "Get over 94% accuracy for bonus", "Next rank at 150000 points"},
        {0, 0, 0, 0, "0", "Get over 94% accuracy for bonus", "Next rank at 150000 points"},
    };
    for (const Case& c : cases) {
        board->mPlayer->mState = Player::LEVEL_COMPLETE;
        board->mAccuracyHits = c.hits;
        board->mAccuracyMisses = c.misses;
        board->mTypingTime = c.typingTime;
        board->mPlayer->mScore = c.score;
        board->mAccurateLevels = 1;
        const std::vector<std::string> texts = Texts();
        auto has = [&](const std::string& prefix) {
            return std::any_of(texts.begin(), texts.end(),
                               [&](const std::string& t) { return t.rfind(prefix, 0) == 0; });
        };
        EXPECT_TRUE(has("Level Complete!"));
        EXPECT_TRUE(has(c.wpm)) << c.hits;
        EXPECT_TRUE(has(c.accuracyLine)) << c.hits;
        EXPECT_TRUE(has(c.rankLine)) << c.score;
        EXPECT_FALSE(has("95% or higher accuracy")); // a streak of one shows no count
    }
}

TEST_F(BoardDraw, MessageLineFadesWithItsAlpha)
{
    board->ShowMessage("Not enough power to use dozav odaziz");
    EXPECT_TRUE(Shows("Not enough power to use dozav odaziz"));
    board->mMessageAlpha = 0;
    EXPECT_FALSE(Shows("Not enough power to use dozav odaziz"));
}
