#pragma once
// The game application driven through its dispatcher, keys and mouse, with real
// boards on small level files, an in-memory settings store and an empty users folder.
#include <filesystem>
#include <string>

#include "framework/widgets/Dialog.h"
#include "game/shell/KeyDialog.h"
#include "game/shell/MapScreen.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "tests/board/BoardFixture.h"

namespace FlowTests {

class FlowFixture : public BoardTests::BoardFixture {
protected:
    FlowFixture();
    ~FlowFixture() override;

    // Writes the level files of the five difficulties and the abyss.
    void WriteLevelFiles(int levels);
    // A new profile manager over the store, its default user current, as start-up does.
    void StartProfiles();
    // Types text into the focused widget, one character at a time.
    void Type(const std::string& text);
    void Press(int id) { app->ButtonDepress(id); }
    // The open message box (500), or null.
    Zant::KeyDialog* Message();
    std::string MessageHeader();
    // Creates a player through the menu's name entry.
    void CreatePlayer(const std::string& name);
    // Answers the message box with its first (yes) or second (no) button.
    void Answer(bool yes);
    void Run(int updates) { BoardFixture::Run(updates); }
    // Plays the current level to its end: the board reports the level done.
    void FinishLevel();
    // A first start: no players, the title left, a player made and the test declined.
    void NewPlayerAtMenu(const std::string& name);
    Zant::MapScreen* Map();
    // A new player's Hard adventure through the first level to site 6.
    void PlayToSiteSixOnHard();
    // From site 6 on Hard, the level finished and the last charted site chosen on the map.
    void PlayOnToTheLastSite();
    // The program started again: the profiles read again from the store and files.
    void Restart();

    Platform::SettingsStore store;
    Platform::FakeMessageBoxService boxes;
    std::string dataFolder;
};

} // namespace FlowTests
