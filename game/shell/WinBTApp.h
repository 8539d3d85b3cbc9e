#pragma once
// The game's application: owns the screens, the board, the fonts, images and
// sounds, the profiles and the state of the run in progress.
#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/app/ZantApp.h"
#include "framework/graphics/Color.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/common/GameRandom.h"
#include "game/play/BoardHost.h"
#include "game/common/Config.h"
#include "game/profile/UserProfile.h"
#include "game/play/WordLists.h"

namespace Zant {

class Board;
class Player;
class StatusBar;
class Font;
class Graphics;
class Image;
class Dialog;
class DialogButton;
class KeyDialog;
class Widget;
class SoundInstance;
class MenuScreen;
class MapScreen;
class TitleScreen;
class HighScoreScreen;
class StatsScreen;
class TypingTutor;
class UserProfileMgr;
class UserProfile;
class TestProbe;
class CreatureBoard;
class WidgetManager;
class GameOverDialog;
struct GameOverFigures;

class WinBTApp : public ZantApp, public GameAssets, public BoardHost, public WordListHost {
public:
    // Told once when the high-score file was damaged or gone.
    static const char* const HIGH_SCORES_LOST_TEXT;
    // Saved level index of an endless level: this plus the endless-level count.
    static constexpr int SAVED_ENDLESS_LEVEL_BASE = UserProfile::SAVED_ENDLESS_LEVEL_BASE;

    // The processor speed (MHz) from which the effects are on.
    static constexpr int FAST_MACHINE_MHZ = 695;

    WinBTApp();
    ~WinBTApp() override;

    // ---- Start-up, loading and the framework's hooks.
    void Init() override;
    void LoadingProc() override;
    void LoadingCompleted() override;
    void UpdateOnce() override;
    // Messages from the loading thread wait for the main thread.
    void ShowMessage(const std::string& text) override;
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;
    // The mute state is not kept: a muted game starts with sound.
    void SaveSettings() override;
    void SetMusicVolume(double volume) override;
    // Closing the window in the middle of an abyss dive records the dive first.
    void Shutdown() override;
    Dialog* NewDialog(int id, bool modal, const std::string& header, const std::string& lines,
                      const std::string& footer, int buttonMode) override;
    // The settings store (and the users folder) can be written; else a message.
    bool CheckAdminAccess();
    // The processor clock estimate that decides the effects (a test may set it).
    virtual int64_t EstimateCpuMHz();
    // "The file: <file>, is missing or corrupt. ..." and a file's base name in quotes.
    static std::string MissingFileMessage(const std::string& file);
    static std::string Quoted(const std::string& path);

    // ---- Message boxes and hints.
    // One OK box (id 500; Escape, Space or the button answer 2500).
    void DoMessageDialog(const std::string& header, const std::string& lines, const std::string& footer,
                         bool joinLines);
    // A yes/no question (id 500; 2500 yes, 3500 no; Escape answers no).
    void DoMessageDialog2(const std::string& header, const std::string& lines, const std::string& footer,
                          bool joinLines, const std::string& yesCaption, const std::string& noCaption);
    void ShowHintDialog(const std::string& text, const std::string& header) override;
    void ShowLevelHint() override;
    void NoWindowedModeMessage();
    // The hint of an adventure level index; empty for none.
    static std::string LevelHintText(int levelIndex);
    // Fonts, spacing, insets, black text and alpha-drawn buttons of every game dialog.
    void DressDialog(Dialog* dialog);
    // A button of the light "dbutton" face outside a dialog's pair: the plain caption
    // font, its caption dark as the dialogs' are.
    void DressLightButton(DialogButton* button);
    // The captions on the light button face: black, and navy under the mouse, which
    // still reads on every band of the face.
    static constexpr Color LIGHT_FACE_CAPTION{0, 0, 0};
    static constexpr Color LIGHT_FACE_CAPTION_OVER{0, 0, 64};
    // The top of a dialog of this height centred on the window, lifted where it would
    // cover the status bar (shown, or about to be under a level), never above the window.
    int CentredDialogTop(int height) const;

    // ---- Options and the update check (AppOptions.cpp).
    // The options dialog (778) over whatever is shown; a running level pauses.
    void ShowOptionsDialog();
    // DONE of the options dialog: the screen mode, effects, cursors and the space-bar
    // pause take effect and the dialog closes.
    void ApplyOptions();
    // Stamps the check time and asks whether to look for a newer version (2531).
    void AskForUpdateCheck();
    // Shows the waiting dialog (2532) and sends the update request.
    void CheckForUpdates();
    // The address of the update request, its values percent-encoded.
    std::string UpdateCheckUrl() const;
    // The answers of the options, credits and update dialogs and the buttons that open
    // the options; false for any other id.
    bool HandleOptionsCommand(int id);

    // ---- Game flow and the dialogs it opens (AppCommands.cpp).
    // The prompt of the name entry for a new player.
    static const char* const NEW_USER_PROMPT;
    // "Easy" .. "Expert"; any other difficulty "X-Treme".
    static std::string DifficultyName(int difficulty);
    // Adventure from its first level with the previous run cleared.
    void StartGame();
    // The game for mDifficulty (adventure level or abyss), keeping the run state.
    void StartGameSimple();
    // Level done: the map between two levels.
    void ShowMapScreen() override;
    // The next adventure level, at the site chosen on the map.
    void NewBoard();
    // Ends the game (recording it unless game over did) and shows the menu.
    void EndGame(bool keepDifficulty);
    void ShowSelectUserDialog();
    void ShowNewUserDialog(const std::string& prompt);
    void ShowDeleteUserDialog(const std::vector<std::string>& names);
    void ShowAbyssModeDialog();
    // The folder holding data\ for the level configurations; empty: the program's.
    std::string mGameDataFolder;

    // ---- Flow.
    void LeaveTitleScreen();
    void ShowMenu();
    // Simulation mode: the next configured typist starts a run from the menu.
    void StartSimulatedRun();
    // At start-up: says why a simulation plan was refused, and opens the result files
    // (none while a demo plays back); false, the program ending with the fatal code,
    // when they cannot be opened.
    bool StartSimulationMode();
    // Removes the menu screen and queues its deletion.
    void KillScreen();
    void NotifyScreen();
    void RaiseStatsCloseButton();
    Image* CopyPalletized(Image* image);
    int GetProfileAnnoDomini() const;
    void SetProfileFlag(bool on) override;
    bool GetProfileFlag() const override;

    // ---- Small operations.
    // The board's diver; null without a board.
    Player* GetPlayer() const override;
    // The run's gem image (10 .. 15), drawn once per run.
    int GetTreasureIndex() override;
    // Switches the music to a position of the module; false when nothing changed.
    bool PlaySong(int position) override;
    // Pauses the songs that play (and remembers them), or resumes exactly those.
    void MuteMusic(bool mute);
    void LostFocus() override;
    void GotFocus() override;
    // Writes the running game into the current profile and the profile to disk.
    // gameEnded: no game is in progress any more (the result may enter the tables).
    void SaveGameProgress(bool gameEnded, bool withCharge) override;
    // The adventure part of it: the running adventure becomes the profile's saved game.
    void SaveAdventure(UserProfile* profile, bool gameEnded, bool withCharge);
    // An abyss dive still running is recorded into the profile as it stands, as its
    // end game does; for the program's end (nothing else would keep it).
    void RecordRunningDive();
    // Copies the map screen's route into the current profile.
    void StoreRunInProfile();
    void StoreRoute(const std::vector<std::pair<int, int>>& sites, const std::vector<int>& siteNumbers);
    // One piranha label not in use (letters, or letters, digits and symbols), or ""
    // when none is left.
    std::string MakeRandomLetters(bool lettersOnly) override;
    // Releases a label; the counts of labels handed out stay.
    void FindCharInTypedText(char c) override;
    // The name of the run's gem.
    std::string GetTreasureName() override;
    // In place of the menu: the statistics (on a tab) or the high scores, each with
    // its close button.
    void ShowStatsScreen(int initialTab);
    void CloseStatsScreen();
    void CloseHighScoreScreen();
    void ShowHighScoreScreen();

    // ---- Word and name pickers (WordPickers.cpp): all draw from the game's generator.
    // A word of a length in [minLen, maxLen) whose first letter no creature in play
    // shows and which was not used recently.
    std::string GetUniqueWord(int minLen, int maxLen) override;
    std::string GetThemeWord(int minLen, int maxLen, int themeMin, int themeMax) override;
    std::string GetDifficultyWord(int minDiff, int maxDiff) override;
    std::string GetRandomGemName();
    std::string GetRandomShipName();
    // A new wave: no first letter is in use and no theme is current.
    void ResetUsedLetters() override;

    // ---- What the level configuration and the word lists ask of the application.
    MersenneTwister& GetGameRandom() override;
    int GetBoardAbyssDepth() override;
    void ShowWordListMessage(const std::string& text) override;
    void WordListSectionLoaded() override;
    void WordListDebugLine(const std::string& text) override;

    // ---- What the board and the creatures ask of the game (AppBoardHost.cpp).
    using ZantApp::PlaySound;
    GameAssets& Assets() override { return *this; }
    ZantApp* Framework() override { return this; }
    int ScreenWidth() const override { return mWidth; }
    int ScreenHeight() const override { return mHeight; }
    int Difficulty() const override { return mDifficulty; }
    WidgetManager* Widgets() override { return mWidgetManager; }
    std::string GetShotWord(int minLen, int maxLen) override;
    bool IsDiverInBossFight(const Player* diver) const override;
    double DiverX(const Player* diver) const override;
    double DiverY(const Player* diver) const override;
    CreatureBoard* GetCreatureBoard() const override;
    Board* GetBoard() const override { return mBoard; }
    StatusBar* GetStatusBar() const override { return mStatusBar; }
    Config* GetConfig() const override { return mConfig; }
    bool EffectsOn() const override { return mEffectsOn; }
    int OpenDialogCount() const override { return mOpenDialogCount; }
    void SelectGameCursor(int number) override { SelectCursor(number); }
    void DemoSync(const std::string& text) override { DemoSyncString(text); }
    int CurrentSong() const override { return mCurrentSong; }
    SoundInstance* AmbienceLoop() const override { return mAmbienceLoop; }
    int TreasureImage() const override { return mTreasureImage; }
    std::string GemName() const override { return mGemName; }
    int RunTypingTime() const override { return mRunTypingTime; }
    int RunHits() const override { return mRunTotal9; }
    int RunMisses() const override { return mRunTotal10; }
    int RunPlayTime() const override { return mRunLevelTotal8; }
    void ForgetUsedLetters() override;
    UserProfile* CurrentProfile() const override { return mCurProfile; }
    void WriteProfile(UserProfile* profile, bool enterScore, bool registryOnly) override;
    void PressCommand(int id) override { ButtonDepress(id); }
    GameOverDialog* OpenGameOverDialog(Player* player, const GameOverFigures& figures, int depthReached) override;
    void CloseGameOverDialog(Player* player) override;

public:
    // ---- Dialogs and screens (owned).
    Dialog* mMessageDialog = nullptr;
    Dialog* mDifficultyDialog = nullptr;
    Dialog* mHintDialog = nullptr;
    MenuScreen* mMenuScreen = nullptr;
    MapScreen* mMapScreen = nullptr;
    Dialog* mAbyssModeDialog = nullptr;
    Board* mBoard = nullptr;
    HighScoreScreen* mHighScoreScreen = nullptr;
    StatsScreen* mStatsScreen = nullptr;
    Widget* mHighScoreCloseButton = nullptr;
    // The music goes through the framework's music interface (ZantApp::mMusicInterface),
    // so that stopping all music at shutdown reaches the game's songs too.
    std::vector<int> mPausedSongs;
    Config* mConfig = nullptr;

    // ---- Run state.
    bool mQuitPending = false;
    int mUsedLetterCount = 0;
    int mUsedSymbolCount = 0;
    bool mWpmTestPending = false;
    bool mUpdateCheckDue = false;
    Dialog* mDeleteUserDialog = nullptr;
    int mCurrentSongSlot = 1;
    int mCurrentSong = -1;
    int mAbyssStartDepth = 0;
    bool mAnswerYes = false;
    bool mAnswerNo = false;
    int mOpenDialogCount = 0;
    bool mEndGamePending = false;
    bool mContinuePending = false;
    // 0 Easy, 1 Normal, 2 Hard, 3 Expert, 4 X-Treme, -1 abyss mode.
    int mDifficulty = 0;
    std::string mShipName;
    std::string mGemName;
    int mTreasureImage = 0;
    std::array<int, 12> mLevelResult{};
    TypingTutor* mTypingTutor = nullptr;
    SoundInstance* mAmbience0 = nullptr;
    SoundInstance* mAmbience1 = nullptr;
    SoundInstance* mAmbience1Ref = nullptr;
    Widget* mStatsCloseButton = nullptr;
    // The word and name lists with their pickers, the letters in use and the words
    // used recently.
    WordLists mWordLists;


    TitleScreen* mTitleScreen = nullptr;
    Dialog* mOptionsDialog = nullptr;
    // The update server (host, or host:port) asked by CheckForUpdates.
    std::string mUpdateHost = "update.vorlix.example";


    bool mStartingAdventure = false;
    bool mShowingHighScores = false;
    StatusBar* mStatusBar = nullptr;
    SoundInstance* mAmbienceLoop = nullptr;
    UserProfileMgr* mProfileMgr = nullptr;
    UserProfile* mCurProfile = nullptr;
    bool mEffectsOn = false;
    bool mHintsOn = true;
    bool mOfferTutorial = true;
    // Simulation mode: the menu asked for the next run, which the next update starts.
    bool mSimulatedRunDue = false;
    // Run totals summed at each level end.
    int mRunLevelTotal8 = 0;
    int mRunTypingTime = 0;
    int mRunLastEntry7 = 0;
    int mRunTotal10 = 0;
    int mRunTotal9 = 0;
    bool mDeleteUserPending = false;

    // The process's exit code: a fatal start-up error ends it with EXIT_FATAL.
    int mExitCode = EXIT_NORMAL;
    // The seed of the game's generator drawn at start-up.
    int mGameSeed = 0;
    // Tells an outside test driver what is shown; only when its variable is set.
    std::unique_ptr<TestProbe> mTestProbe;

private:
    void ShowCloseButton(Widget*& button, const std::function<Widget*()>& create, int x, int y, int width,
                         int height);
    // ---- Steps of the game flow (AppCommands.cpp).
    bool HandleFlowCommand(int id);
    void StartAdventure();
    void StartAbyss();
    void OpenDifficultyDialog();
    void ChooseDifficulty(int difficulty);
    void StartChosenAbyssDepth();
    void AnswerYes();
    void AnswerNo();
    // An OK message answered: the dive it preceded starts, or what it covered resumes.
    void ResumeAfterMessage();
    void ContinueSavedGame();
    // The current profile holds an adventure that "CONTINUE?" offers.
    bool HasSavedAdventure() const;
    // A new adventure replaces the saved one: that game's result is entered, the save cleared.
    void EndSavedAdventure();
    void ChooseUser();
    void CreateUser();
    void AskGameEnd();
    void CloseHint();
    // New ship, gem names and gem image for the run's next level.
    void ChooseRunNames();
    void PlayAgain();
    // The expedition and treasure state of a new adventure on the current profile.
    void ResetExpedition();
    // A fresh configuration for mDifficulty; false (and the program closing) when it
    // cannot be read.
    bool LoadConfigOrQuit();
    // A new board on the configuration's current level, over the whole window.
    void CreateBoard();
    void ShowStatusBar();
    void CreateMapScreenIfMissing();
    // The replacement profile, made current and default, for a user whose saved data
    // did not load.
    void ReplaceLostProfile(const std::string& name);
    KeyDialog* MakeMessageDialog(const std::string& header, const std::string& lines, const std::string& footer,
                                 bool joinLines, int buttonMode);
    void ShowGameDialog(int id, Dialog* dialog);
    void ShowQueuedMessages();
    void StopStartup();
    // Makes the font of the descriptor at path into field; false, with the fault told
    // once, when it did not load.
    bool LoadFont(Font*& field, const char* path);
    bool LoadInitFont(Font*& field, const char* path);
    // Counts n finished loading steps; false once the application is shutting down,
    // where the loader stops rather than load what no one will see.
    bool LoadingStep(int n);
    void FailLoading(const std::string& message);

    std::mutex mMessageLock;
    std::vector<std::string> mQueuedMessages;
    std::atomic<bool> mLoadFailed{false};
};

// Draws text A then text B on one line, one character at a time; centred within
// width when asked. A missing font is the other one.
void DrawStringChars(Graphics* g, int x, int y, const std::string& textA, const Color& colorA, Font* fontA,
                     const std::string& textB, const Color& colorB, Font* fontB, int width, bool centred);


} // namespace Zant
