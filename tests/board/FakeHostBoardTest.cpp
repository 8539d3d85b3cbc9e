// A board built without the game's application: a small fake host stands in for the
// game flow, the assets are the program's own (images, fonts and words from the
// program folder), and the board runs headless with keys.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/app/ZantApp.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/ImageFont.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/Shark.h"
#include "game/play/Board.h"
#include "game/play/BoardHost.h"
#include "game/play/Player.h"
#include "game/play/WordLists.h"
#include "tests/support/AppFixture.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

// The game flow as the board sees it, with nothing behind it but a generator, the
// word lists and a record of what the board asked for.
class FakeHost : public BoardHost, public WordListHost {
public:
    FakeHost(ZantApp* framework, GameAssets& assets) : words(*this), mFramework(framework), mAssets(assets) {}

    GameAssets& Assets() override { return mAssets; }
    MersenneTwister& GetGameRandom() override { return random; }
    int GetBoardAbyssDepth() override { return 0; }
    int ScreenWidth() const override { return 640; }
    int ScreenHeight() const override { return 480; }
    int Difficulty() const override { return 0; }
    WidgetManager* Widgets() override { return mFramework->mWidgetManager; }
    std::string GetShotWord(int minLen, int maxLen) override { return words.GetUniqueWord(minLen, maxLen); }
    bool IsDiverInBossFight(const Player* diver) const override { return diver->mState == Player::BOSS_FIGHT; }
    double DiverX(const Player* diver) const override { return diver->mX; }
    double DiverY(const Player* diver) const override { return diver->mY; }
    CreatureBoard* GetCreatureBoard() const override { return board; }

    ZantApp* Framework() override { return mFramework; }
    Board* GetBoard() const override { return board; }
    Player* GetPlayer() const override { return board ? board->mPlayer : nullptr; }
    StatusBar* GetStatusBar() const override { return nullptr; }
    Config* GetConfig() const override { return config; }
    bool EffectsOn() const override { return false; }
    int OpenDialogCount() const override { return 0; }
    void SelectGameCursor(int) override {}
    void DemoSync(const std::string&) override {}
    bool PlaySong(int position) override
    {
        songs.push_back(position);
        mSong = position;
        return true;
    }
    int CurrentSong() const override { return mSong; }
    SoundInstance* AmbienceLoop() const override { return nullptr; }
    int GetTreasureIndex() override { return IMAGE_GEM_GREEN; }
    int TreasureImage() const override { return IMAGE_GEM_GREEN; }
    std::string GetTreasureName() override { return "Pearl"; }
    std::string GemName() const override { return "Green"; }
    int RunTypingTime() const override { return 0; }
    int RunHits() const override { return 0; }
    int RunMisses() const override { return 0; }
    int RunPlayTime() const override { return 0; }
    std::string GetUniqueWord(int minLen, int maxLen) override { return words.GetUniqueWord(minLen, maxLen); }
    std::string GetThemeWord(int minLen, int maxLen, int themeMin, int themeMax) override
    {
        return words.GetThemeWord(minLen, maxLen, themeMin, themeMax);
    }
    std::string GetDifficultyWord(int minDiff, int maxDiff) override { return words.GetDifficultyWord(minDiff, maxDiff); }
    void ResetUsedLetters() override { words.UsedLetters().clear(); }
    void ForgetUsedLetters() override { words.UsedLetters().clear(); }
    std::string MakeRandomLetters(bool) override { return "Q"; }
    void FindCharInTypedText(char) override {}
    UserProfile* CurrentProfile() const override { return nullptr; }
    bool GetProfileFlag() const override { return false; }
    void SetProfileFlag(bool) override {}
    void WriteProfile(UserProfile*, bool, bool) override {}
    void SaveGameProgress(bool, bool) override { ++saves; }
    void ShowMapScreen() override { ++mapScreens; }
    void ShowLevelHint() override {}
    void ShowHintDialog(const std::string&, const std::string&) override {}
    void PressCommand(int id) override { commands.push_back(id); }
    GameOverDialog* OpenGameOverDialog(Player*, const GameOverFigures&, int) override { return nullptr; }
    void CloseGameOverDialog(Player*) override {}

    void ShowWordListMessage(const std::string& text) override { ADD_FAILURE() << text; }
    void WordListSectionLoaded() override {}
    void WordListDebugLine(const std::string&) override {}

    MersenneTwister random{2026};
    WordLists words;
    Board* board = nullptr;
    Config* config = nullptr;
    std::vector<int> songs;
    std::vector<int> commands;
    int saves = 0;
    int mapScreens = 0;

private:
    ZantApp* mFramework;
    GameAssets& mAssets;
    int mSong = -1;
};

// The program's images and fonts in a GameAssets, as the application loads them.
class ProgramAssets {
public:
    explicit ProgramAssets(ZantApp* app) : assets(app)
    {
        for (int i = 0; i < GameAssets::NUM_IMAGES; ++i)
            assets.SetImage(i, app->LoadImageFile(std::string("images\\") + GameAssets::IMAGE_NAMES[i]));
        const std::pair<Font**, const char*> fonts[] = {
            {&assets.mFontGillSans10Bold, "data\\GillSansMT10Bold.txt"},
            {&assets.mFontCourier15Bold, "data\\CourierFinalDraft15Bold.txt"},
            {&assets.mFontMyriad12Bold, "data\\MyriadCondensedWeb12Bold.txt"},
            {&assets.mFontMyriad14Bold, "data\\MyriadCondensedWeb14Bold.txt"},
            {&assets.mFontMyriad15, "data\\MyriadCondensedWeb15.txt"},
            {&assets.mFontMyriad15b, "data\\MyriadCondensedWeb15.txt"},
            {&assets.mFontMyriad28Bold, "data\\MyriadCondensedWeb28Bold.txt"},
            {&assets.mFontSwiss24, "data\\SwissCheesed24.txt"},
        };
        for (const auto& [field, path] : fonts) {
            auto* font = new ImageFont(app, path);
            EXPECT_TRUE(font->IsLoaded()) << path;
            font->Prepare();
            *field = font;
            mFonts.push_back(font);
        }
    }
    ~ProgramAssets()
    {
        for (Font* font : mFonts)
            delete font;
    }

    GameAssets assets;

private:
    std::vector<Font*> mFonts;
};

std::string ReadProgramFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(FakeHostBoard, ABoardRunsWithAFakeHostAndTheProgramsAssets)
{
    if (!std::filesystem::exists(TestSupport::GameDir() + "/images/diver_idle.png"))
        GTEST_SKIP() << "the art is not built in " << TestSupport::GameDir();
    TestSupport::WorkingFolder folder(TestSupport::GameDir());
    TestSupport::AppFixture<ZantApp> fixture;
    ZantApp* app = fixture.app.get();
    ProgramAssets program(app);
    ASSERT_NE(program.assets.GetImage(IMAGE_SHARK_BASIC_SWIM), nullptr);
    FakeHost host(app, program.assets);
    ASSERT_TRUE(host.words.LoadWordLengthLists());

    Config config(&host);
    ASSERT_EQ(config.LoadText(ReadProgramFile("data/easy-cfg.xml"), 0, "easy-cfg.xml"), Config::LOAD_OK)
        << config.GetErrorText();
    config.ResetWaves(0);
    host.config = &config;

    auto* board = new Board(&host);
    host.board = board;
    board->Resize(0, 0, 640, 480);
    board->StartLevel(&config);
    app->mWidgetManager->AddWidget(board);

    // The diver goes down and the first wave comes; then its first shark's word is typed.
    Shark* target = nullptr;
    for (int update = 0; update < 6000 && target == nullptr; ++update) {
        app->mWidgetManager->UpdateFrame();
        for (Shark* shark : board->mSharks)
            if (shark->mActive && !shark->GetWord().empty() && shark->mX > 0 && shark->mX < 600) {
                target = shark;
                break;
            }
    }
    ASSERT_NE(target, nullptr) << "no shark came within a minute";
    const std::string word = target->GetWord();
    for (char c : word)
        board->HandleKeyChar(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    EXPECT_EQ(board->mLettersHit, static_cast<int>(word.size()));
    for (int update = 0; update < 10; ++update)
        app->mWidgetManager->UpdateFrame();
    EXPECT_GT(board->mPlayer->mScore, 0);
    EXPECT_FALSE(host.songs.empty());

    app->mWidgetManager->RemoveWidget(board);
    host.board = nullptr;
    delete board;
}
