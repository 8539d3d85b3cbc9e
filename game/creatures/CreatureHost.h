#pragma once
// What a creature asks of the game around it (CreatureHost: the assets, the game's
// generator, the screen, the difficulty, the widget manager its timers join, a shot
// word, where the diver is, and the board) and of the board it swims on
// (CreatureBoard: the pause flag, a bubble, a shot that is gone). The diver (Player)
// stays opaque here. Implemented by the
// application (which passes the board's part on to the board) and by test hosts.
#include <string>

namespace Zant {

class Enemy;
class GameAssets;
class MersenneTwister;
class Player;
class WidgetManager;

// Implemented by the board.
class CreatureBoard {
public:
    virtual ~CreatureBoard() = default;
    virtual bool IsPaused() const = 0;
    virtual void AddBubble(int x, int y) = 0;
    // A shot that is gone: a lock on it would point at freed memory.
    virtual void ForgetShot(Enemy* shot) = 0;
};

// Implemented by the application and by test hosts.
class CreatureHost {
public:
    virtual ~CreatureHost() = default;
    virtual GameAssets& Assets() = 0;
    // The game's generator; every random decision draws from it.
    virtual MersenneTwister& GetGameRandom() = 0;
    // The current board's abyss depth in feet (0 without a board).
    virtual int GetBoardAbyssDepth() = 0;
    // The 640x480 screen.
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
    // 0 Easy .. 4 X-Treme, -1 abyss mode.
    virtual int Difficulty() const = 0;
    // Where a creature's timers are added; null without one.
    virtual WidgetManager* Widgets() = 0;
    // A word of the word lists for a boss's shot, of a length in [minLen, maxLen).
    virtual std::string GetShotWord(int minLen, int maxLen) = 0;

    // ---- The diver a creature was given (never null here): in the boss fight, and
    // where it is.
    virtual bool IsDiverInBossFight(const Player* diver) const = 0;
    virtual double DiverX(const Player* diver) const = 0;
    virtual double DiverY(const Player* diver) const = 0;

    // The board in play; null without one.
    virtual CreatureBoard* GetCreatureBoard() const = 0;
};

} // namespace Zant
