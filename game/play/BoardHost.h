#pragma once
// The board's window on the game flow: what the board asks of the application (the
// songs, the cursor, the run's names and totals, the word pickers, the current
// profile, the hints and dialogs, the map screen, saving and commands). Implemented
// by the application (WinBTApp) and by test hosts; the assets come as GameAssets.
#include <string>

#include "game/creatures/CreatureHost.h"
#include "game/common/Config.h"

namespace Zant {

class Board;
class Config;
class GameOverDialog;
class Player;
class SoundInstance;
class StatusBar;
class UserProfile;
class ZantApp;
struct GameOverFigures;

class BoardHost : public ConfigHost, public CreatureHost {
public:
    // Both neighbours ask for the same generator and depth.
    MersenneTwister& GetGameRandom() override = 0;
    int GetBoardAbyssDepth() override = 0;

    // ---- The game and its screens.
    // The framework's application object (buttons, image copies).
    virtual ZantApp* Framework() = 0;
    virtual Board* GetBoard() const = 0;
    virtual Player* GetPlayer() const = 0;
    virtual StatusBar* GetStatusBar() const = 0;
    virtual Config* GetConfig() const = 0;
    virtual bool EffectsOn() const = 0;
    // Dialogs open over the game.
    virtual int OpenDialogCount() const = 0;
    // The framework's cursor (0 the arrow) and its demo synchronisation lines.
    virtual void SelectGameCursor(int number) = 0;
    virtual void DemoSync(const std::string& text) = 0;

    // ---- Sound: the songs of the music module and the ambience loop.
    virtual bool PlaySong(int position) = 0;
    virtual int CurrentSong() const = 0;
    virtual SoundInstance* AmbienceLoop() const = 0;

    // ---- The run: its gem, treasure and totals of the levels before this one.
    virtual int GetTreasureIndex() = 0;
    virtual int TreasureImage() const = 0;
    virtual std::string GetTreasureName() = 0;
    virtual std::string GemName() const = 0;
    virtual int RunTypingTime() const = 0;
    virtual int RunHits() const = 0;
    virtual int RunMisses() const = 0;
    virtual int RunPlayTime() const = 0;

    // ---- Words and labels (all draw from the game's generator).
    virtual std::string GetUniqueWord(int minLen, int maxLen) = 0;
    virtual std::string GetThemeWord(int minLen, int maxLen, int themeMin, int themeMax) = 0;
    virtual std::string GetDifficultyWord(int minDiff, int maxDiff) = 0;
    virtual void ResetUsedLetters() = 0;
    // No letter or symbol is in use any more, and none was handed out.
    virtual void ForgetUsedLetters() = 0;
    virtual std::string MakeRandomLetters(bool lettersOnly) = 0;
    virtual void FindCharInTypedText(char c) = 0;

    // ---- The current profile (null without one) and its records.
    virtual UserProfile* CurrentProfile() const = 0;
    virtual bool GetProfileFlag() const = 0;
    virtual void SetProfileFlag(bool on) = 0;
    // Writes the profile to disk (nothing without a profile manager).
    virtual void WriteProfile(UserProfile* profile, bool enterScore, bool registryOnly) = 0;
    virtual void SaveGameProgress(bool gameEnded, bool withCharge) = 0;

    // ---- The game flow.
    virtual void ShowMapScreen() = 0;
    virtual void ShowLevelHint() = 0;
    virtual void ShowHintDialog(const std::string& text, const std::string& header) = 0;
    // A command as if its button was pressed (the application's ButtonDepress).
    virtual void PressCommand(int id) = 0;
    // The game-over dialog of a diver, over the board; and its removal when the
    // board goes (only while it is still that diver's).
    virtual GameOverDialog* OpenGameOverDialog(Player* player, const GameOverFigures& figures, int depthReached) = 0;
    virtual void CloseGameOverDialog(Player* player) = 0;
};

} // namespace Zant
