#include "tests/board/BoardFixture.h"

#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Player.h"

using namespace Zant;

namespace BoardTests {

std::string AllLetterWords()
{
    std::string text;
    for (int length = 3; length <= 7; ++length) {
        text += "#LENGTH-" + std::to_string(length) + "\n";
        for (char first = 'A'; first <= 'Z'; ++first)
            for (int variant = 0; variant < 3; ++variant) {
                std::string word(1, first);
                for (int i = 1; i < length; ++i)
                    word += char('A' + (first - 'A' + variant * 7 + i * 3) % 26);
                text += word + "\n";
            }
        text += "#END\n";
    }
    return text;
}

BoardFixture::BoardFixture()
{
    // The images the board reads beyond the creatures' own, at their real sizes.
    for (int index : {int(IMAGE_OCEANFLOOR), 92, 93, 94, 191, 192, 193, 194, int(IMAGE_SONAR_SWEEP_0), int(IMAGE_SONAR_SWEEP2_0)}) {
        const CreatureTests::ManifestEntry size = CreatureTests::ManifestSize(WinBTApp::IMAGE_NAMES[index]);
        auto* image = new MemoryImage();
        image->Create(size.width, size.height);
        app->SetImage(index, image);
    }
    EXPECT_TRUE(app->mWordLists.ParseWordLengthLists(AllLetterWords()));
    // The hint dialogs would stand over the field the tests click and draw.
    app->mHintsOn = false;
}

BoardFixture::~BoardFixture()
{
    if (board && app->mWidgetManager->HasWidget(board))
        app->mWidgetManager->RemoveWidget(board);
    delete board;
    board = nullptr;
    app->mBoard = nullptr;
}

void BoardFixture::StartLevel(const std::string& configText, int difficulty)
{
    if (app->mWidgetManager->HasWidget(board))
        app->mWidgetManager->RemoveWidget(board);
    // The application must not reach the old board while the new one is built.
    app->mBoard = nullptr;
    delete board;
    app->mDifficulty = difficulty;
    delete app->mConfig;
    config = new Config(app.get());
    app->mConfig = config;
    ASSERT_EQ(config->LoadText(configText, difficulty, "test.xml"), 0) << config->GetErrorText();
    config->ResetWaves(difficulty == -1 ? -1 : 0);
    board = new Board(app.get());
    app->mBoard = board;
    board->Resize(0, 0, 640, 480);
    board->StartLevel(config);
    app->mWidgetManager->AddWidget(board);
}

void BoardFixture::Run(int updates)
{
    for (int i = 0; i < updates; ++i)
        app->mWidgetManager->UpdateFrame();
}

std::string BoardFixture::OneWaveLevel(const std::string& kind, const std::string& type, int minNumber,
                                       int maxNumber, const std::string& extra)
{
    using namespace LevelFiles;
    const std::string enemy = "<Enemy Type=\"" + type + "\">\n" + Value("MinNumber", std::to_string(minNumber)) +
                              Value("MaxNumber", std::to_string(maxNumber)) + extra + "</Enemy>\n";
    return File(Level(Wave(kind, enemy)));
}

void BoardFixture::DiverInPlace()
{
    Player* player = board->mPlayer;
    player->SetState(Player::PLAYING);
    player->mY = 235.0;
    player->SetReadyForWave(true);
}

} // namespace BoardTests
