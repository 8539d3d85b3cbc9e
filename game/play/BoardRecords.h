#pragma once
// Small records the board owns: the depth-ruler entries, the wave accuracy badge,
// the level header strip, the sea tiles, the treasure sparkles and the smoothed
// positions of the board's drawing.
#include <string>

namespace Zant {

class Font;
class Graphics;
class Image;
class Player;
class BoardHost;

// What the game-over dialog shows: the run's totals with this level's figures.
struct GameOverFigures {
    bool abyss = false;
    int typingTime = 0;
    int hits = 0;
    int misses = 0;
    int depth = 0;
    int playTime = 0;
    int score = 0;
    int level = 0;
    std::string rankTitle;
};

// One entry of the depth ruler.
struct DepthMark {
    // "- %d" with the feet, "-", or empty.
    std::string mLabel;
    int mFeet = 0;
    int mValue1 = 0;
    int mValue2 = 0;
    double mX = 0.0;
    double mY = 0.0;
};

// The wave accuracy display: its medal, its numbers and its fade.
struct AccuracyBadge {
    double mX = 0.0;
    double mY = 0.0;
    int mAlpha = 0;
    Image* mImage = nullptr;
    int mStreak = 0;
    int mAccuracy = 0;
    int mWavePoints = 0;
    int mBonus = 0;
    // Shown (active) flag.
    bool mActive = false;
};

// The level header strip with its "EXTRA LIFE!" pulse.
struct BoardHeader {
    BoardHeader(Player* player, BoardHost* app);
    // One step of the pulse; nothing while no extra life was earned.
    void Step();
    // The header strip: lives, level, score and the "EXTRA LIFE!" note.
    void Draw(Graphics* g);

    int mPulseCount = 0;
    bool mRising = true;
    int mAlpha = 0;
    Player* mPlayer;
    Font* mFont;
    BoardHost* mApp;
};

// One of the two sea tiles drawn one above the other.
struct BackTile {
    double mX = 0.0;
    double mY = 0.0;
};

// A sparkle of the treasure-found screen: its offsets and its frame counter.
struct TreasureSparkle {
    int mOffsetX = 0;
    int mOffsetY = 0;
    int mFrame = 0;
};

// A position the board's drawing smooths over its last six changes.
struct SmoothedValue {
    double mChanges[6] = {};
    int mIndex = 0;
    double mLast = 0.0;
    double mSmoothed = 0.0;
};

} // namespace Zant
