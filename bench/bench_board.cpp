// The cost of one busy frame of a level drawn in software with the program's own art
// and fonts: the sea, 40 sharks with words (one being typed), the diver, the header
// and the status bar. Goal: 0.5 ms a frame.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/ProgramFolder.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "game/creatures/Shark.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "game/shell/WinBTApp.h"

using namespace Zant;

namespace {

const char* const LEVEL = "0000\n<?xml version=\"1.0\"?>\n<Config>\n<Default>\n<MinSpeed>0.3</MinSpeed>\n"
                          "<MaxSpeed>0.5</MaxSpeed>\n<MinCol>2</MinCol>\n<MaxCol>3</MaxCol>\n"
                          "<DiverSpeed>0.3</DiverSpeed>\n<OceanDepth>100</OceanDepth>\n</Default>\n"
                          "<Level LevelNum=\"1\">\n<Wave Type=\"Sharks\">\n<Enemy Type=\"Blue\">\n"
                          "<MinNumber>2</MinNumber>\n<MaxNumber>3</MaxNumber>\n</Enemy>\n</Wave>\n</Level>\n"
                          "</Config>\n";

void BM_BusyBoardFrame(benchmark::State& state)
{
    const Bench::ProgramFolder folder(state);
    if (!folder.Ready())
        return;
    auto app = std::make_unique<Bench::QuietApp>();
    if (!app->LoadImageOrDie()) {
        state.SkipWithError("the images did not load");
        return;
    }
    app->BuildDerivedImages();
    app->mFontMyriad14Bold = new ImageFont(app.get(), "data/MyriadCondensedWeb14Bold.txt");
    app->mFontMyriad15 = new ImageFont(app.get(), "data/MyriadCondensedWeb15.txt");
    app->mFontMyriad15b = new ImageFont(app.get(), "data/MyriadCondensedWeb15.txt");
    app->mFont12pt = new ImageFont(app.get(), "data/12ptfont.txt");
    app->mConfig = new Config(app.get());
    app->mConfig->LoadText(LEVEL, 0, "bench.xml");
    app->mConfig->ResetWaves(0);

    auto* board = new Board(app.get());
    app->mBoard = board;
    board->Resize(0, 0, 640, 480);
    board->StartLevel(app->mConfig);
    board->mFadeAlpha = 0;
    board->mIntroAlpha = 0;
    board->mScrollDistance = board->mLeadInHeight + 1.0;
    board->mPlayer->SetState(Player::PLAYING);
    board->mPlayer->mY = 235.0;
    StatusBar bar(app.get());
    const int barHeight = app->GetImage(IMAGE_STATUSBARX)->GetHeight();
    bar.Resize(0, 480 - barHeight, 640, barHeight);
    const char* const words[] = {"OCEAN", "KELP", "TIDE", "REEF", "CORAL", "SHOAL", "WAVE", "SALT"};
    for (int i = 0; i < 40; ++i) {
        auto* shark = new Shark(app.get());
        shark->SetWord(words[i % 8]);
        shark->SetReleased(true);
        shark->mX = 60 + (i % 8) * 70;
        shark->mY = 30 + (i / 8) * 75;
        board->mSharks.push_back(shark);
    }
    board->HandleKeyChar('O');

    MemoryImage screen;
    screen.Create(640, 480);
    for (auto _ : state) {
        Graphics g(&screen);
        board->Draw(&g);
        Graphics barGraphics(g);
        barGraphics.Translate(0, 480 - barHeight);
        bar.Draw(&barGraphics);
        benchmark::ClobberMemory();
    }
    app->mBoard = nullptr;
    delete board;
    app.reset();
}
BENCHMARK(BM_BusyBoardFrame)->Name("BusyBoardFrame/ours")->Unit(benchmark::kMicrosecond);

} // namespace
