#pragma once
// A level in play with the program's own art and fonts, held still for drawing: the
// sea with its waves (two copies, the seam on screen), sharks carrying words (one
// being typed) and piranhas with their letters, the diver, the header strip and
// the status bar. The benchmarks draw it busy; the 3D tests draw it with a few
// creatures in both display modes and compare. The working folder must be the
// program folder, and the game's generator seeded, before Build.
#include <string>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/ImageFont.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/play/Board.h"
#include "game/common/Config.h"
#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "game/shell/WinBTApp.h"

namespace BusyBoard {

// The game without its sounds: a benchmark measures the work, not the mixer.
class QuietApp : public Zant::WinBTApp {
public:
    void PlaySound(int) override {}
};

// The pictures (with the ones made from them) and the fonts the board and the status
// bar draw with.
inline bool LoadArt(Zant::WinBTApp& app, std::string& error)
{
    if (!app.LoadImageOrDie()) {
        error = "the images did not load";
        return false;
    }
    app.BuildDerivedImages();
    const struct {
        Zant::Font** slot;
        const char* file;
    } fonts[] = {{&app.mFontMyriad14Bold, "MyriadCondensedWeb14Bold.txt"},
                 {&app.mFontMyriad12Bold, "MyriadCondensedWeb12Bold.txt"},
                 {&app.mFontMyriad15, "MyriadCondensedWeb15.txt"},
                 {&app.mFontMyriad15b, "MyriadCondensedWeb15.txt"},
                 {&app.mFont12pt, "12ptfont.txt"}};
    for (const auto& f : fonts) {
        auto* font = new Zant::ImageFont(&app, std::string("data/") + f.file);
        *f.slot = font;
        if (!font->IsLoaded()) {
            error = std::string("the font ") + f.file + " did not load";
            return false;
        }
    }
    return true;
}

constexpr const char* LEVEL = "0000\n<?xml version=\"1.0\"?>\n<Config>\n<Default>\n<MinSpeed>0.3</MinSpeed>\n"
                              "<MaxSpeed>0.5</MaxSpeed>\n<MinCol>2</MinCol>\n<MaxCol>3</MaxCol>\n"
                              "<DiverSpeed>0.3</DiverSpeed>\n<OceanDepth>100</OceanDepth>\n</Default>\n"
                              "<Level LevelNum=\"1\">\n<Wave Type=\"Sharks\">\n<Enemy Type=\"Blue\">\n"
                              "<MinNumber>2</MinNumber>\n<MaxNumber>3</MaxNumber>\n</Enemy>\n</Wave>\n</Level>\n"
                              "</Config>\n";

class Scene {
public:
    ~Scene() { Release(); }

    // A board past its lead-in with sharks sharks and piranhas piranhas along the
    // bottom, the first shark's word begun.
    bool Build(Zant::WinBTApp& app, int sharks, int piranhas, std::string& error)
    {
        mApp = &app;
        app.mConfig = new Zant::Config(&app);
        if (app.mConfig->LoadText(LEVEL, 0, "busy.xml") != 0) {
            error = "the level did not load";
            return false;
        }
        app.mConfig->ResetWaves(0);
        board = new Zant::Board(&app);
        app.mBoard = board;
        board->Resize(0, 0, 640, 480);
        board->StartLevel(app.mConfig);
        board->SetWaterEffect(true);
        board->mFadeAlpha = 0;
        board->mIntroAlpha = 0;
        board->mHintAlpha = 0;
        board->mScrollDistance = board->mLeadInHeight + 1.0;
        // The waves part-way through their swing, the seam of the two sea copies on screen.
        board->mHalfTick = 310;
        board->mQuarterTick = 155;
        board->mBobValue = 4.6;
        board->mBackLayer[0].mY = -150.0;
        board->mBackLayer[1].mY = board->mBackLayer[0].mY + board->mBackTileHeight;
        board->mPlayer->SetState(Zant::Player::PLAYING);
        board->mPlayer->mY = 235.0;
        const char* const words[] = {"OCEAN", "KELP", "TIDE", "REEF", "CORAL", "SHOAL", "WAVE", "SALT"};
        // A few sharks stand apart with their words in view; a crowd overlaps, and a
        // larger crowd packs closer so that every shark stays on screen.
        const int columns = sharks <= 6 ? 3 : sharks <= 40 ? 8 : 16;
        for (int i = 0; i < sharks; ++i) {
            auto* shark = new Zant::Shark(&app);
            shark->SetWord(words[i % 8]);
            shark->SetReleased(true);
            if (columns == 16) {
                shark->mX = 20 + (i % 16) * 36;
                shark->mY = 20 + (i / 16 % 10) * 38;
            } else {
                shark->mX = columns == 3 ? 120 + (i % 3) * 170 : 60 + (i % 8) * 70;
                shark->mY = columns == 3 ? 40 + (i / 3) * 120 : 30 + (i / 8) * 75;
            }
            board->mSharks.push_back(shark);
        }
        for (int i = 0; i < piranhas; ++i) {
            auto* piranha = new Zant::Piranha(&app, board->mPlayer);
            piranha->SetWord(std::string(1, char('a' + i % 26)));
            piranha->SetReleased(true);
            piranha->mX = 330 + (i % 6) * 45;
            piranha->mY = 330 + (i / 6) * 30;
            board->mPiranhas.push_back(piranha);
        }
        board->HandleKeyChar('O');
        bar = new Zant::StatusBar(&app);
        mBarHeight = app.GetImage(Zant::IMAGE_STATUSBARX)->GetHeight();
        bar->Resize(0, 480 - mBarHeight, 640, mBarHeight);
        return true;
    }

    void Draw(Zant::Image* screen) const
    {
        Zant::Graphics g(screen);
        board->Draw(&g);
        Zant::Graphics barGraphics(g);
        barGraphics.Translate(0, 480 - mBarHeight);
        bar->Draw(&barGraphics);
    }

    void Release()
    {
        if (mApp == nullptr)
            return;
        delete bar;
        bar = nullptr;
        mApp->mBoard = nullptr;
        delete board;
        board = nullptr;
        if (mApp->mConfig)
            mApp->mConfig->ClearLevels();
        delete mApp->mConfig;
        mApp->mConfig = nullptr;
        mApp = nullptr;
    }

    Zant::Board* board = nullptr;
    Zant::StatusBar* bar = nullptr;

private:
    Zant::WinBTApp* mApp = nullptr;
    int mBarHeight = 0;
};

} // namespace BusyBoard
