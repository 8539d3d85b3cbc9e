#include "tests/flow/FlowFixture.h"

#include <fstream>

#include "framework/widgets/WidgetManager.h"
#include "game/play/Player.h"
#include "game/shell/NewUserDialog.h"
#include "platform/Paths.h"
#include "tests/levels/LevelFileBuilder.h"

namespace FlowTests {

namespace {
const char* const PROGRAM_KEY = "SOFTWARE\\Vorlix\\Plindor";
}

FlowFixture::FlowFixture()
{
    // The flow makes its own boards: the fixture's spare one goes.
    app->mBoard = nullptr;
    delete board;
    board = nullptr;
    std::filesystem::remove_all(Platform::UserDataFolder() + "/users");
    Platform::SetSettingsStore(&store);
    Platform::SetMessageBoxes(&boxes);
    store.CreateKey(PROGRAM_KEY);
    dataFolder = Platform::UserDataFolder() + "/flowdata";
    WriteLevelFiles(36);
    app->mGameDataFolder = dataFolder;
}

FlowFixture::~FlowFixture()
{
    // The board fixture forgets the application's board before the application
    // goes: the flow's own board is dropped here, with what the flow queued.
    if (app->mBoard != nullptr) {
        app->mWidgetManager->RemoveWidget(app->mBoard);
        delete app->mBoard;
        app->mBoard = nullptr;
    }
    app->FlushWidgetDeletions();
    Platform::SetSettingsStore(nullptr);
    Platform::SetMessageBoxes(nullptr);
    std::filesystem::remove_all(dataFolder);
}

void FlowFixture::WriteLevelFiles(int levels)
{
    std::filesystem::create_directories(dataFolder + "/data");
    const std::string adventure = LevelFiles::File(LevelFiles::Levels(levels));
    for (const char* name : {"easy-cfg.xml", "normal-cfg.xml", "hard-cfg.xml", "expert-cfg.xml", "xtreme-cfg.xml"})
        std::ofstream(dataFolder + "/data/" + name, std::ios::binary) << adventure;
    std::ofstream(dataFolder + "/data/abyss.xml", std::ios::binary)
        << BoardTests::AbyssFile(LevelFiles::Level(LevelFiles::Sharks()));
}

void FlowFixture::StartProfiles()
{
    delete app->mProfileMgr;
    app->mProfileMgr = new Zant::UserProfileMgr(app.get());
    app->mCurProfile = app->mProfileMgr->GetUserProfile(app->mProfileMgr->GetDefaultUserName());
}

void FlowFixture::Type(const std::string& text)
{
    for (char c : text)
        app->mWidgetManager->KeyChar(c);
}

Zant::KeyDialog* FlowFixture::Message() { return dynamic_cast<Zant::KeyDialog*>(app->FindDialog(500)); }

std::string FlowFixture::MessageHeader()
{
    Zant::KeyDialog* box = Message();
    return box != nullptr ? box->mDialogHeader : "<none>";
}

void FlowFixture::CreatePlayer(const std::string& name)
{
    ASSERT_NE(app->FindDialog(Zant::NewUserDialog::DIALOG_ID), nullptr);
    Type(name);
    app->mWidgetManager->KeyDown(13); // Enter
}

void FlowFixture::Answer(bool yes)
{
    Zant::KeyDialog* box = Message();
    ASSERT_NE(box, nullptr);
    app->ButtonDepress(yes ? 2500 : 3500);
}

void FlowFixture::FinishLevel()
{
    ASSERT_NE(app->mBoard, nullptr);
    app->mBoard->Pause(false);
    app->mBoard->mPlayer->SetState(Zant::Player::LEVEL_COMPLETE);
    app->mWidgetManager->SetFocus(app->mBoard);
    Type(" ");
}

void FlowFixture::NewPlayerAtMenu(const std::string& name)
{
    StartProfiles();
    app->LeaveTitleScreen();
    ASSERT_NE(app->mMenuScreen, nullptr);
    CreatePlayer(name);
    ASSERT_EQ(MessageHeader(), "ASSESS WPM?");
    Answer(false);
}

Zant::MapScreen* FlowFixture::Map() { return app->mMapScreen; }

void FlowFixture::PlayToSiteSixOnHard()
{
    NewPlayerAtMenu("Ann");
    Press(100);
    Press(602);
    FinishLevel();
    Run(2);
    Type(" ");
    FinishLevel();
    Run(2);
    Type("a"); // site 6, the leftmost
    Type(" ");
}

void FlowFixture::PlayOnToTheLastSite()
{
    FinishLevel();
    Run(2);
    Map()->mChosenSite = 35;
    Map()->mSiteChosen = true;
    Type(" ");
}

void FlowFixture::Restart()
{
    app->FlushWidgetDeletions();
    app->mCurProfile = nullptr;
    StartProfiles();
}

} // namespace FlowTests
