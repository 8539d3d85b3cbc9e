// What the board writes on its frame: the header, the pause overlay, the message
// line and the level-complete panel, read through a font that records its texts.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "framework/graphics/FontHost.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/PixelBlend.h"

#include "game/creatures/Clam.h"
#include "game/common/BTTimer.h"
#include "game/play/BoardRecords.h"
#include "game/play/Player.h"
#include "tests/board/BoardFixture.h"
#include "tests/support/TestSupport.h"

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
    void Blank()
    {
        graphics.SetColor(Color(0, 0, 0));
        graphics.FillRect(0, 0, 640, 480);
    }
    // Pixels of the frame drawn from one image of the table.
    int PixelsOf(int index)
    {
        int count = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                count += CreatureTests::PixelImage(ScreenPixel(x, y)) == index;
        return count;
    }
    bool Shows(const std::string& text)
    {
        const std::vector<std::string> texts = Texts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};

// One of the game's own fonts, measuring as it does, that records what it is asked
// to draw instead of drawing it.
class MeasuringFont : public Font {
public:
    MeasuringFont(const std::string& file, std::vector<CreatureTests::DrawCall>* log)
        : mReal(std::make_shared<ImageFont>(&mHost, TestSupport::GameDir() + "/data/" + file)), mLog(log)
    {
        mAscent = mReal->GetAscent();
        mHeight = mReal->GetHeight();
    }
    bool IsLoaded() const { return mReal->IsLoaded(); }
    int StringWidth(const std::string& text) override { return mReal->StringWidth(text); }
    int CharWidth(char c) override { return mReal->CharWidth(c); }
    void DrawString(Graphics*, int x, int y, const std::string& text, const Color& color, const Rect&) override
    {
        mLog->push_back({text, x, y, color, this});
    }
    Font* Duplicate() override { return new MeasuringFont(*this); }

private:
    SoftwareFontHost mHost;
    std::shared_ptr<ImageFont> mReal;
    std::vector<CreatureTests::DrawCall>* mLog;
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

// The longest lines the level-complete panel writes, measured in the game's fonts,
// stand inside the sonar panel.
TEST_F(BoardDraw, LevelCompleteTextsFitThePanel)
{
    // The panel's sonar disc: radius 172 about (320, 205), the panel picture being
    // centred on the screen 23 pixels down.
    const int discX = 320, discY = 205, radius = 172;
    auto* panelFont = new MeasuringFont("MyriadCondensedWeb28Bold.txt", &draws);
    auto* bonusFont = new MeasuringFont("MyriadCondensedWeb12Bold.txt", &draws);
    ASSERT_TRUE(panelFont->IsLoaded());
    ASSERT_TRUE(bonusFont->IsLoaded());
    delete app->mFontMyriad28Bold;
    app->mFontMyriad28Bold = panelFont;
    delete app->mFontMyriad12Bold;
    app->mFontMyriad12Bold = bonusFont;
    struct Case {
        const char* what;
        int score;
        int hits;
        int accurateLevels;
    };
    const Case cases[] = {
        {"next rank eight digits", 10849999, 90, 1},
        {"next rank six digits", 5849999, 90, 1},
        {"longest rank title", 4950000, 95, 6},
        {"largest accuracy bonus and its streak", 0, 100, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        board->mPlayer->mState = Player::LEVEL_COMPLETE;
        board->mAccuracyHits = c.hits;
        board->mAccuracyMisses = 100 - c.hits;
        board->mTypingTime = 60000;
        board->mPlayer->mScore = c.score;
        board->mPlayer->mLevelIndex = 30;
        board->mAccurateLevels = c.accurateLevels;
        Texts();
        // The panel's lines: from its heading on, below it; the header is not the panel's.
        const auto heading = std::find_if(draws.begin(), draws.end(), [](const CreatureTests::DrawCall& call) {
            return call.text == "Level Complete!";
        });
        ASSERT_NE(heading, draws.end());
        EXPECT_GE(draws.end() - heading, 5);
        for (auto call = heading; call != draws.end(); ++call) {
            if (call->y < heading->y)
                continue;
            auto* font = const_cast<Font*>(call->font);
            const int width = font->StringWidth(call->text);
            // The disc's width halfway up the line's letters.
            const int reach = std::abs(call->y - font->GetAscent() / 2 - discY);
            ASSERT_LT(reach, radius) << call->text;
            const int half = static_cast<int>(std::sqrt(double(radius * radius - reach * reach)));
            EXPECT_GE(call->x, discX - half) << call->text;
            EXPECT_LE(call->x + width, discX + half) << call->text << " is " << width << " wide at " << call->y;
        }
    }
}

TEST_F(BoardDraw, MessageLineFadesWithItsAlpha)
{
    board->ShowMessage("Not enough power to use dozav odaziz");
    EXPECT_TRUE(Shows("Not enough power to use dozav odaziz"));
    board->mMessageAlpha = 0;
    EXPECT_FALSE(Shows("Not enough power to use dozav odaziz"));
}

// The treasure word and its value stand still from their first frame: the
// dark-rimmed word font is measured once its layers, the rim among them, are ready.
TEST_F(BoardDraw, TheTreasureWordStandsStillFromItsFirstFrame)
{
    static SoftwareFontHost host;
    auto* typed = new ImageFont(&host, TestSupport::GameDir() + "/data/MyriadCondensedWeb15.txt");
    ASSERT_TRUE(typed->IsLoaded());
    typed->AddTag("DarkRim"); // as the application rims it after loading
    delete app->mFontMyriad15b;
    app->mFontMyriad15b = typed;
    board->mPlayer->mState = Player::TREASURE_WORD;
    board->mTreasureWord = "PEARL";
    board->mTreasureTyped = 2;
    const auto frame = [&] {
        Blank();
        board->Draw(&graphics);
        return std::vector<uint32_t>(screen.GetBits(), screen.GetBits() + 640 * 480);
    };
    const std::vector<uint32_t> first = frame();
    EXPECT_TRUE(first == frame());
}

// A recording font with a real font's ascent, so that a line's extent is known.
class AscendingFont : public CreatureTests::RecordingFont {
public:
    AscendingFont(std::vector<CreatureTests::DrawCall>* log) : RecordingFont(8, log) { mAscent = 15; }
};

// On a clam level the air tank and its bar stand clear of every clam, while the tank
// fills and while the clams are played; the tank's "FILLING UP AIR TANK!" line stands
// below the tank with room to spare, and above the clams.
TEST_F(BoardDraw, TheAirTankStandsClearOfTheClams)
{
    const int tankIndex = 30; // airgauge
    app->SetImage(tankIndex, CreatureTests::MakeCodedImage(tankIndex));
    delete app->mFontMyriad14Bold;
    app->mFontMyriad14Bold = new AscendingFont(&draws);
    StartLevel(File(Level(Value("BonusLevel", "1"))));
    board->mFadeAlpha = 0;
    board->mIntroAlpha = 0;
    for (int i = 0; i < 20000 && board->mPlayer->mState != Player::FLOOR_REACHED; ++i)
        Run(1);
    ASSERT_EQ(board->mPlayer->mState, Player::FLOOR_REACHED);
    ASSERT_EQ(board->mClams.size(), 22u);
    for (int phase : {Player::FLOOR_REACHED, Player::TREASURE_WORD}) {
        SCOPED_TRACE(phase);
        board->mPlayer->mState = phase;
        board->mEndTimer = 120.0;
        board->mAccuracyBadge->mActive = false;
        Blank();
        draws.clear();
        board->Draw(&graphics);
        EXPECT_GT(PixelsOf(tankIndex), 0) << "the tank is drawn";
        int tankBottom = -1;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (CreatureTests::PixelImage(ScreenPixel(x, y)) == tankIndex)
                    tankBottom = y;
        int clamTop = 480;
        for (const Clam* clam : board->mClams)
            clamTop = std::min(clamTop, int(clam->mY));
        for (const CreatureTests::DrawCall& call : draws) {
            if (call.text != "FILLING UP AIR TANK!")
                continue;
            EXPECT_EQ(phase, Player::FLOOR_REACHED);
            Font* font = app->mFontMyriad14Bold;
            EXPECT_GE(call.y - font->GetAscent(), tankBottom + 3) << "the line touches the tank";
            EXPECT_LE(call.y + font->GetDescent(), clamTop) << "the line runs into the clams";
        }
        for (const Clam* clam : board->mClams) {
            const int x0 = int(clam->mX), y0 = int(clam->mY);
            int covered = 0;
            for (int y = std::max(0, y0); y < std::min(480, y0 + clam->mHeight); ++y)
                for (int x = std::max(0, x0); x < std::min(640, x0 + clam->mWidth); ++x)
                    covered += CreatureTests::PixelImage(ScreenPixel(x, y)) == tankIndex;
            EXPECT_EQ(covered, 0) << "clam at " << x0 << "," << y0;
        }
    }
}

// The sea is drawn while the far rock layer is above the line where the scenery hides
// it, and always on a clam level.
TEST_F(BoardDraw, TheSeaIsDrawnOnlyWhileTheSceneryLeavesItInView)
{
    const int water = 31; // water1
    const struct {
        bool special;
        double farLayer;
        bool sea;
    } cases[] = {{false, 200.0, true}, {false, -60.0, true}, {false, -70.0, false}, {false, -80.0, false},
                 {true, -80.0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.special) + " " + std::to_string(c.farLayer));
        StartLevel(c.special ? File(Level(Value("BonusLevel", "1"))) : OneWaveLevel());
        board->mFadeAlpha = 0;
        board->mIntroAlpha = 0;
        board->mLayerY[2] = c.farLayer;
        Blank();
        board->Draw(&graphics);
        EXPECT_EQ(PixelsOf(water) > 0, c.sea);
    }
}

// The treasure found is drawn plain, and colourised at the screen's alpha while it glows.
TEST_F(BoardDraw, TheTreasureIsColourisedOnlyWhileItGlows)
{
    const int gem = 10; // gem_green
    const int alpha = 100;
    // The sparkles over the treasure would mix with it: this frame shows the treasure alone.
    for (int index = 0; index < GameAssets::NUM_IMAGES; ++index)
        if (std::string(GameAssets::IMAGE_NAMES[index]) == "sparkle_large")
            app->SetImage(index, nullptr);
    app->mTreasureImage = gem;
    board->mPlayer->mState = Player::TALLY;
    board->mTallyCountdown = alpha;
    // What lies beneath is drawn with a clear treasure of the same size: the lines
    // under the treasure, and the glass they stand on, keep their places.
    const CreatureTests::ManifestEntry gemSize = CreatureTests::ManifestSize("gem_green");
    const std::vector<uint32_t> clear(size_t(gemSize.width) * size_t(gemSize.height), 0);
    auto frame = [&](bool glow, bool withTreasure) {
        MemoryImage* image = CreatureTests::MakeCodedImage(gem);
        if (!withTreasure)
            image->SetBits(clear.data(), gemSize.width, gemSize.height);
        app->SetImage(gem, image);
        board->mTreasureGlow = glow;
        Blank();
        board->Draw(&graphics);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                pixels.push_back(ScreenPixel(x, y));
        return pixels;
    };
    const std::vector<uint32_t> plain = frame(false, true);
    const std::vector<uint32_t> under = frame(true, false);
    const std::vector<uint32_t> glowing = frame(true, true);

    // Plain: the treasure's own pixels. Glowing: each of them at the screen's alpha
    // over what lies beneath, so none of them plain.
    const PixelBlend::Tint tint = PixelBlend::MakeBlendTint(Color(255, 255, 255, alpha));
    int treasurePixels = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        if (CreatureTests::PixelImage(plain[i]) != gem)
            continue;
        ++treasurePixels;
        ASSERT_EQ(glowing[i], PixelBlend::BlendTintedOpaqueDest(under[i], plain[i], tint)) << "pixel " << i;
        ASSERT_NE(glowing[i], plain[i]) << "pixel " << i;
    }
    EXPECT_GT(treasurePixels, 0) << "drawn as it is";
    const CreatureTests::ManifestEntry size = CreatureTests::ManifestSize("gem_green");
    EXPECT_EQ(treasurePixels, size.width * size.height);
}
