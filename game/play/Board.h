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
#include "game/play/Config.h"

namespace Zant {

class WinBTApp;
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
class Font;
class Image;

class Board : public Widget {
public:
    static constexpr int NUM_TIMERS = 9;
    static constexpr int SIN_TABLE_SIZE = 360;
    // Dialog id of the game-over dialog.
    static constexpr int GAME_OVER_DIALOG = 90210;

    // Entries of the level results.
    enum LevelResult {
        RESULT_SCORE = 0,
        RESULT_LEVEL = 1,
        RESULT_CHARGE_LOW = 2,
        RESULT_CHARGE_HIGH = 3,
        RESULT_LIVES = 4,
        RESULT_ACCURACY_STREAK = 5,
        RESULT_ACCURATE_LEVELS = 6,
        RESULT_PLAY_TIME = 8,
        RESULT_CORRECT_LETTERS = 9,
        RESULT_TYPOS = 10,
        NUM_LEVEL_RESULTS = 12,
    };

    explicit Board(WinBTApp* app);
    ~Board() override;

    // Decorations: created, placed and appended.
    void AddBubble(int x, int y);
    // A null font takes the application's floating-text font.
    void AddBonusText(const std::string& text, int x, int y, Font* font);

    // The nine timers in field order.
    std::array<BTTimer*, NUM_TIMERS> Timers() const;

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
    WinBTApp* mApp;
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
    int mSpareInt1 = 0;
    BTTimer* mLastTimer = nullptr;
    // While set, creatures draw no words.
    bool mPaused = false;
    int mSpareInt2 = 0;
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
    Widget* mLevelDonePanel = nullptr;
};

} // namespace Zant
