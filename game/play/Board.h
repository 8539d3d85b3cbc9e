#pragma once
// The widget that runs one level: the diver, the creatures, the decorations, the
// level's timers, the lock on the creature being typed and the counters from which
// the level and game results are built.
#include <array>
#include <map>
#include <string>
#include <vector>

#include "framework/widgets/Widget.h"
#include "game/play/BoardRecords.h"
#include "game/common/Config.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

class BoardHost;
class GameAssets;
class BTTimer;
class Player;
class Enemy;
class Shark;
class Piranha;
class Clam;
class Bubble;
class BonusText;
class BonusCreature;
class BackgroundFish;
class ProjectileBoss;
class GameOverDialog;
class HyperlinkWidget;
class WidgetManager;
class Font;
class Image;
class Graphics;

class Board : public Widget, public CreatureBoard {
public:
    static constexpr int NUM_TIMERS = 9;
    static constexpr int SIN_TABLE_SIZE = 360;
    // Dialog id of the game-over dialog.
    static constexpr int GAME_OVER_DIALOG = 90210;
    // The depth ruler: 10 px a foot.
    static constexpr int PIXELS_PER_FOOT = 10;
    // The strip of lives and score over the top of the field.
    static constexpr int HEADER_HEIGHT = 25;
    // The continue link's bottom above the play area's: at a level's end, and on
    // the sand under the clam bed.
    static constexpr int LINK_GAP = 15;
    static constexpr int CLAM_LINK_GAP = 3;

    // Entries of the level results.
    enum LevelResult {
        RESULT_SCORE = 0,
        RESULT_LEVEL = 1,
        RESULT_CHARGE_LOW = 2,
        RESULT_CHARGE_HIGH = 3,
        RESULT_LIVES = 4,
        RESULT_ACCURACY_STREAK = 5,
        RESULT_ACCURATE_LEVELS = 6,
        RESULT_PAUSED_TIME = 7,
        RESULT_PLAY_TIME = 8,
        RESULT_CORRECT_LETTERS = 9,
        RESULT_TYPOS = 10,
        NUM_LEVEL_RESULTS = 12,
    };

    explicit Board(BoardHost* app);
    ~Board() override;

    // ---- Level start (BoardStart.cpp).
    void StartLevel(Config* config);
    void SetAbyssDepth(int feet);
    // The run's values carried from the previous level, and this level's for the next.
    void SetLevelValues(std::array<int, NUM_LEVEL_RESULTS> values);
    void GetLevelResults(std::array<int, NUM_LEVEL_RESULTS>& out);

    // Decorations: created, placed and appended.
    void AddBubble(int x, int y) override;
    // A null font takes the application's floating-text font.
    void AddBonusText(const std::string& text, int x, int y, Font* font);
    // The baseline of the treasure phase's "Type as many words..." line, and the
    // room under it that the points of a treasure word keep clear of.
    int TreasureLineBaseline();
    static constexpr int TREASURE_LINE_ROOM = 8;

    // The nine timers in field order.
    std::array<BTTimer*, NUM_TIMERS> Timers() const;
    // The six timers a pause is taken out of.
    std::array<BTTimer*, 6> GameTimers() const;

    // ---- Rules (BoardRules.cpp).
    void Pause(bool pause);
    bool TryLockEnemy(char letter, Enemy* creature);
    bool CheckCreatureRoom(Enemy* creature);
    void PlaceBonusCreatures(int first);
    std::string PickFreeClamLetter();
    void AwardSecretItem();
    void ShowMessage(const std::string& text);
    bool IsBossSceneReached();
    void UpdateDangerMusic(Enemy* creature, bool active);
    int CountActiveEnemyLists() const;
    void SetWaterEffect(bool on) { mEffectsOn = on; }

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void SetVisible(bool visible) override;
    void SetDisabled(bool disabled) override;
    void KeyDown(int key) override {}
    void MouseEnter() override {}
    void MouseMove(int x, int y) override;
    bool WantsFocus() override { return true; }

    // ---- Scoring, ranks and statistics (BoardScoring.cpp).
    int GetAdjustedWpm() const;
    int GetRawWpm() const;
    void AwardWaveAccuracyBonus();
    int GetLevelBonusPoints() const;
    int GetDifficultyBonusPoints() const;
    int GetLevelAccuracyBonus() const;
    int GetTreasureWordValue();
    static std::string GetRankTitle(int score);
    static int GetNextRankScore(int score);
    void ResetMultiplier();
    // Records the game into the profile and writes it. finalWrite: the game is over,
    // and its result goes to the high-score tables now; otherwise (a level's end, a
    // saved adventure left to be continued) the game goes on and offers nothing.
    void RecordGameStats(bool addWpm, bool finalWrite);

    // ---- Drawing (BoardDraw.cpp).
    void Draw(Graphics* g) override;
    // The image drawn row by row, each row shifted by the water's wave.
    void DrawWavyImage(Graphics* g, Image* image, int x, int y);
    // The same waves through the 3D renderer, when g draws onto the 3D screen.
    void DrawWavyImage3D(Graphics* g);

    // ---- The update cycle (BoardUpdate.cpp).
    void Update() override;
    // Calls counted, also while paused or disabled.
    int GetCallCount() const { return mCallCount; }

    // ---- Descent, level end and the diver's loss, called from the update cycle
    // (BoardDescent.cpp).
    void UpdateDescent();
    void UpdateLevelEnd();
    void UpdateLevelComplete();
    void HandlePlayerDeath();

    // ---- Waves (WaveSpawner.cpp, WavePlacement.cpp).
    void SpawnWaves();
    void PlaceWaveGroup(int first);
    // Creatures a column of the current wave holds (one draw), at least one.
    int WaveColumnSize();

    // ---- Typed letters (BoardTyping.cpp).
    void KeyChar(char key) override { HandleKeyChar(key); }
    void HandleKeyChar(char key);
    void SpawnPenaltyCreature();

    // ---- Creature events (BoardEvents.cpp): each pops its creature's events and
    // returns true when it removed the creature from its list.
    bool UpdateSharks(Shark* shark);
    bool UpdatePiranhas(Piranha* piranha);
    bool UpdateClams(Clam* clam);
    bool UpdateBonusCreatures(BonusCreature* creature);

    // ---- The boss of a boss wave (BoardBoss.cpp).
    bool UpdateBoss(ProjectileBoss* boss);
    // Builds the boss of a type code (12, 14, 15, 16); null for another code.
    ProjectileBoss* CreateBoss(int type);
    // The boss's kind code, state and health; -1 without a boss.
    int BossKind() const;
    int BossState() const;
    int BossHealth() const;
    void UpdateBossObject();
    // Offers a letter to the boss's shots; true when one took it.
    bool TryLockBossShot(char letter);
    // The boss is about to delete a shot: a lock on it goes.
    void ForgetShot(Enemy* shot) override;

    // ---- The profile flags the board reads (BoardProfile.cpp).
    bool IntroDone() const;
    void SetIntroDone();
    bool SpacePauses() const;
    // The one-time hint that the Dozav Odaziz is ready is still due.
    bool ZapperHintDue() const;
    void SetZapperHintDue(bool due);
    void MarkLevelReached(int level);
    void SaveProfile(bool finalWrite);
    void CountKill(int kind, bool abyss);
    void MarkSecretItemFound(int level);
    void CountSecretItem(int item);
    int LoadAbyssBoss() const;
    void StoreAbyssBoss(int value);
    double ReadAdValue(int feet) const;

    // ---- What the board asks of the game shell's dialogs and saved games
    // (BoardProfile.cpp).
    void SaveRunProgress();
    // An abyss dive passed a 400-ft mark: the best depth and the kills are stored.
    void SaveAbyssProgress(int feet);
    void ShowLevelHint();
    void ShowHint(const std::string& header, const std::string& text);
    // One label character not yet on the board, or "" when none is left.
    std::string TakeLabelLetter();
    // A label character leaves the board.
    void ReleaseLabelLetter(char c);
    void ShowMapScreen();
    void SendCommand(int id);

    // Drops the lock on the creature being typed and the letters typed on it.
    // ---- Simulation mode (SimulationBoard.cpp): the typist and the result records.
    // The level's first update; true when the level limit ended the game.
    bool SimulationLevelStart();
    // The typist's key; true when a pearl level's end was confirmed and the update ends.
    bool SimulationTypeStep();
    void SimulationLevelComplete();
    void SimulationGameOver();
    void SimulationAddingEntry(int kind, int type);
    void SimulationRecordWave(int kind, int waveNumber, size_t firstShark, size_t firstPiranha, size_t firstBonus);
    void SimulationSkipToBoss(int previousKind, int previousIndex);
    void SimulatorFireZapper();

    void ClearLock();
    // The game's difficulty: 0 Easy .. 4 X-Treme, -1 abyss mode.
    int Difficulty() const;
    bool IsAbyss() const;
    int WaveKindInPlay() const;

private:
    // Steps of the update.
    void UpdateCharge();
    void UpdateBackgroundFish();
    void UpdateNextWave();
    template <typename T>
    void UpdateSwimmers(std::vector<T*>& list, double beamLine, bool (Board::*handler)(T*));
    void UpdateRisers(double beamLine);
    void UpdateDecorations();
    // Steps of the wave spawner.
    void SpawnOpeningWords();
    std::string PickWaveWord(const ConfigEnemy& entry, bool themed);
    double ThemedSlowdown() const;
    void SpawnShark(const ConfigEnemy& entry);
    void SpawnPiranha(const ConfigEnemy& entry);
    void SpawnBonusCreature(const ConfigEnemy& entry, bool& speedDrawn, double& speed);
    void SpawnBoss();
    // Steps of the drawing.
    Image* AppImage(int index) const;
    static void SmoothValue(SmoothedValue& value, double truth);
    void DrawSea(Graphics* g);
    void DrawSurface(Graphics* g, bool special);
    void DrawRuler(Graphics* g);
    void DrawIntroHint(Graphics* g);
    void DrawScenery(Graphics* g);
    void DrawBadge(Graphics* g);
    void DrawPhaseScreen(Graphics* g, bool special);
    void DrawAirTank(Graphics* g, bool filling);
    void DrawTreasureWord(Graphics* g);
    void DrawTally(Graphics* g, bool special);
    void DrawLevelComplete(Graphics* g);
    void DrawBossHealth(Graphics* g);
    void DrawMessageLine(Graphics* g);
    void DrawPauseOverlay(Graphics* g);
    void DrawBanner(Graphics* g, bool special);
    // "SECRET BONUS LEVEL!" in its orange, centred on the baseline y.
    void DrawSecretTitle(Graphics* g, int y, int alpha);
    // The continue link centred, its bottom gap pixels above the play area's.
    void PlaceContinueLink(int gap);
    // Steps of the key handler.
    bool CountsForAccuracy() const;
    void FireZapper();
    void TypePearlGame(char key);
    void ScorePearlMatch(Clam* clam);
    void TypeTreasureLetter(char key);
    void TypeCreatureLetter(char key);
    void CountWordHit();
    void CountPenaltyTypo();
    // Steps of the event handlers.
    int AbyssMultiplier() const;
    void ScoreWord(Enemy* creature, bool shark);
    void HandleSwimmerEvent(Enemy* creature, int event, bool shark);
    template <typename T>
    bool RemoveCreature(std::vector<T*>& list, T* creature);
    template <typename T>
    void CheckWaveCleared(std::vector<T*>& list, bool sharks);

public:

public:
    BTTimer* mPauseTimer = nullptr;
    int mDrawCounters[3] = {};
    SmoothedValue mSmoothed[3];
    int mHalfTick = 0;
    int mQuarterTick = 0;
    double mBobValue = 4.0;
    bool mBobRising = true;
    GameOverDialog* mGameOverDialog = nullptr;
    BackTile mBackLayer[2];
    // The entries of the current wave, kept by the wave spawner.
    std::map<int, ConfigEnemy> mWaveEntries;
    bool mEffectsOn = false;
    int mStageDepth = 0;
    int mAbyssDepth = 0;
    // The depth the dive started at (Board::SetAbyssDepth); 0 from the surface.
    int mStartDepth = 0;
    int mZapperChargeInterval = 2500;
    double mSinTable[SIN_TABLE_SIZE] = {};
    double mLayerY[3] = {};
    bool mThousandFeetMark = false;
    int mAbyssBoss = -1;
    int mIntroAlpha = 255;
    BTTimer* mGameClock = nullptr;
    bool mLetterHit = false;
    double mScrollSpeed = 0.0;
    double mScrollDistance = 1.0;
    double mScrollPointMark = 0.0;
    BoardHost* mApp;
    GameAssets& mAssets;
    Config* mConfig = nullptr;
    bool mSpareFlag = false;
    int mBonusKills = 0;
    Player* mPlayer = nullptr;
    Clam* mOpenClam = nullptr;
    int mPearlMatches = 0;
    std::vector<Shark*> mSharks;
    std::vector<Piranha*> mPiranhas;
    std::vector<Clam*> mClams;
    std::vector<Bubble*> mBubbles;
    std::vector<BonusText*> mBonusTexts;
    std::vector<BonusCreature*> mBonusCreatures;
    std::vector<BackgroundFish*> mBackgroundFish;
    std::string mTypedText;
    Enemy* mLockedEnemy = nullptr;
    BoardHeader* mHeader = nullptr;
    BTTimer* mWaveTimer = nullptr;
    double mFloorY = 0.0;
    BTTimer* mWordTimer = nullptr;
    int mTypingTime = 0;
    std::array<int, NUM_LEVEL_RESULTS> mLevelResults{};
    BTTimer* mHintTimer = nullptr;
    int mHintAlpha = 0;
    // Total paused time (ms).
    int mPausedTime = 0;
    BTTimer* mLastTimer = nullptr;
    // While set, creatures draw no words.
    bool mPaused = false;
    // What the creatures ask of the board (CreatureBoard).
    bool IsPaused() const override { return mPaused; }
    int mPauseCount = 0;
    BTTimer* mMessageTimer = nullptr;
    std::string mMessageText;
    int mMessageAlpha = 0;
    int mAccurateLevels = 0;
    int mSpareInt3 = 0;
    int mPenaltyTypos = 0;
    double mPenaltySpeedFactor = 1.0;
    int mPenaltyCreatures = 0;
    int mHitFlashAlpha = 255;
    bool mHitFlash = false;
    BTTimer* mZapperTimer = nullptr;
    int mZapperAlpha = 0;
    bool mZapperFiring = false;
    bool mZapperUsed = false;
    ProjectileBoss* mBoss = nullptr;
    bool mBossDefeated = false;
    TreasureSparkle mTreasureShow[3];
    int mDoneStep = 0;
    Image* mDoneImages[4] = {};
    int mDoneAlpha = 255;
    bool mSpareFlag2 = false;
    BTTimer* mTallyTimer = nullptr;
    int mTallyCountdown = 255;
    bool mTallyDone = false;
    // The treasure fades out with its texts (drawn colourised) once the tally is done.
    bool mTreasureGlow = false;
    int mTreasurePoints = 0;
    std::string mTreasureWord;
    int mTreasureTyped = 0;
    int mTreasureWordsDone = 0;
    double mEndTimer = 0.0;
    bool mPulseUp = false;
    int mPulseAlpha = 255;
    int mTallyFrame = 0;
    std::vector<DepthMark*> mDepthMarks;
    AccuracyBadge* mAccuracyBadge = nullptr;
    int mLettersHit = 0;
    int mTypos = 0;
    int mAccuracyHits = 0;
    int mAccuracyMisses = 0;
    int mTreasureHits = 0;
    int mTreasureTypos = 0;
    bool mFirstUpdate = true;
    bool mWaveCleared = true;
    int mBackTileHeight = 0;
    int mLeadInHeight = 0;
    int mOceanDepth = 0;
    int mPlayAreaBottom = 0;
    // The continue link shown when a level is complete (button 300).
    HyperlinkWidget* mLevelDonePanel = nullptr;

    // ---- Fields the board's own operations add.
    int mCallCount = 0;
    // Play time of the level (ms), kept at the tally and by the secret item.
    int mLevelTime = 0;
    // The score and lives the level started with: a game ended in the middle of the
    // level is saved as the level began, since continuing it plays the level again.
    int mLevelStartScore = 0;
    int mLevelStartLives = 0;
    // The score multiplier's counter and factor.
    int mMultiplierCount = 0;
    double mScoreFactor = 1.0;
    // A black overlay over the board that falls away as the level starts.
    int mFadeAlpha = 255;
    Image* mSecretItemImage = nullptr;
    // Profile values kept on the board until the profile classes take them.
    bool mIntroDone = true;
    bool mSpacePauses = false;
    bool mZapperHintDue = true;

    // ---- Descent, level end and the lost diver: their steps and records
    // (BoardDescent.cpp, BoardLevelEnd.cpp, BoardDiverLost.cpp).
    // What the game-over dialog shows (BoardRecords.h).
    using GameOverFigures = Zant::GameOverFigures;
    // A ruler entry every 4 ft, labelled every 20 ft; null for other depths.
    static DepthMark* MakeDepthMark(int feet, double y);
    void FadeLevelHint();
    void ScrollDepthRuler();
    void RefillDepthRuler();
    void StepFloorOrStage(int panelHeight);
    // The zapper charge stored for a depth the run may restart from.
    void WriteAdValue(int feet, double charge);
    void ReachFloor();
    void LayOutClams();
    void UpdateFloorReached();
    void UpdateTreasureClock();
    void UpdateTreasurePulse();
    void EndTreasureClock(bool special);
    // The pearl game's end, found or not: the "Press space bar to continue" link shows
    // the way on to the map.
    void ShowContinueLink();
    void EndBossLevel();
    void StartTally();
    void UpdateTally();
    // Whole percent of letters typed right this level; 0 with nothing typed.
    int LevelAccuracy() const;
    void ShowLevelComplete();
    Image* SonarFrame(int sequence, int frame) const;
    void ClearSavedGame();
    void OpenGameOverDialog();

    std::map<int, double> mAdValues;
    // Modes of the three treasure displays of the tally.
    int mTreasureModes[3] = {};
    bool mGameOver = false;
    // A simulated game over leaves its dialog at the end of the update it happened in.
    bool mSimulatedGameOverDue = false;
    GameOverFigures mGameOverFigures;
};

} // namespace Zant
