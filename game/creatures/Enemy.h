#pragma once
// The base of every creature that carries a word: the word and how much of it is
// typed, its point value, the queue of events through which the creature reports
// to the board, the links that hold the next creature of a group off screen, the
// images by animation slot and the fonts and colours of the word.
#include <deque>
#include <string>
#include <vector>

#include "framework/graphics/Color.h"
#include "game/common/GameObject.h"

namespace Zant {

class CreatureHost;
class GameAssets;
class Image;
class Font;

// Event codes a creature pushes for the board.
enum EnemyEvent {
    EVENT_NONE = 0,
    EVENT_WORD_COMPLETED = 1,
    EVENT_REACHED_DIVER = 2,
    EVENT_PASSED_DIVER = 4,
    EVENT_REMOVE_ME = 5,
    EVENT_DEATH_ANIM_DONE = 6,
    EVENT_TURNED_AT_EDGE = 7,
    EVENT_CAME_CLOSE = 8,
    // Clams.
    EVENT_CLAM_OPENED = 1,
    EVENT_CLAM_CLOSED = 2,
    EVENT_CLAM_OPENING = 3,
};

class Enemy : public virtual GameObject {
public:
    static constexpr int IMAGE_SLOTS = 6;

    explicit Enemy(CreatureHost* app);
    ~Enemy() override;

    virtual int GetPointValue();
    virtual double GetSpeed() { return mVelX; }
    // One more letter of the word was typed (the board has matched it).
    virtual void TypeLetter();

    void Update() override;
    void Draw(Graphics* g) override {}
    int GetWidth() override { return mWidth; }
    int GetHeight() override { return mHeight; }
    void SetState(int state) override { mState = state; }

    // Stores the word and its point value; the typed count stays.
    void SetWord(const std::string& word);
    std::string GetWord() const { return mWord; }
    void SetImage(int slot, Image* image);
    Image* GetImage(int slot) const;

    bool HasEvent(int code) const;
    // The oldest event, or EVENT_NONE when there is none.
    int PopEvent();
    // Removes every entry equal to code.
    void RemoveEvent(int code);
    void PushEvent(int code) { mEvents.push_back(code); }

    void SetLeader(Enemy* leader) { mLeader = leader; }
    void SetFollower(Enemy* follower) { mFollower = follower; }
    // Lets the creature this one holds back go: it is unlinked, and when it still waits
    // beyond the right edge it enters there at once.
    void DetachLeader();
    // Unlinks the creature that held this one back, on both sides.
    void ReleaseFollower();
    // Dead, with its final animation over.
    bool IsLockedInState3() const { return mState == 3 && mDeathAnimDone; }

    // The point value of a word: 15 times the sum of its characters' weights.
    static int WordValue(const std::string& word);

protected:
    // Recomputes the typed and remaining parts from the typed count.
    void SplitWord();
    // The shared word drawing of the sharks, centred over the frame at the text
    // offsets, the typed letters in their own font and colour.
    void DrawSharkWord(Graphics* g, const Color& wordColor, const Color& typedColor);
    // Words are hidden while the board is paused.
    bool IsBoardPaused() const;
    // Slot image frame sizes: a strip of cels cels, or the whole image.
    void SetFrameSizeFrom(Image* image, int cels);
    int ScreenWidth() const;
    int NextGameRandom() const;
    // One animation step every mFrameDelay updates: the strip loops, except the death
    // strip (state 3), which holds its last cel. True on the step that first gets
    // there, after EVENT_DEATH_ANIM_DONE was pushed.
    bool AdvanceCels(int deathCels);
    // Entering at the right edge the creature drops to 1.5 and then eases back by
    // slowDown an update to the speed it came with, kept in entrySpeed (-1 until then).
    void EaseEntrySpeed(double& entrySpeed, double slowDown);
    // Wholly past the left edge: turned round (the turned state and the mirrored strip
    // of swimCels cels) and coming back at the diver.
    void TurnAtLeftEdge(int turnedState, int mirroredSlot, int swimCels);
    // The dead creature rises and is removed once above the screen.
    void RiseWhileDead();
    // Swims off to the left, speeding up by acceleration an update, and is removed
    // once wholly past the edge.
    void FleeLeft(double acceleration);
    // Every mBlinkPeriod updates the blink flips and one blink fewer is left.
    void StepBlink();

public:
    CreatureHost* mApp;
    GameAssets& mAssets;
    Enemy* mLeader = nullptr;
    Enemy* mFollower = nullptr;
    bool mDeathAnimDone = false;
    bool mStealthed = false;
    bool mAttackSoundPlayed = false;
    int mTextOffsetY = 0;
    int mTextOffsetX = 0;
    int mBlinkPeriod = 0;
    int mBlinkCount = 0;
    bool mBlinkOn = false;
    std::string mWord;
    bool mZapped = false;
    int mPointValue = 0;
    int mTypedCount = 0;
    std::vector<Image*> mImages;
    Image* mCurImage = nullptr;
    Color mWordColor{0, 0, 0, 255};
    Color mTypedColor{0, 0, 0, 255};
    Font* mWordFont = nullptr;
    Font* mTypedFont = nullptr;
    std::string mTypedPart;
    std::string mRemainingPart;
    bool mReachedDiver = false;
    std::deque<int> mEvents;
    int mEnemyType = 0;
    // The board moved the dying creature to the front of its list once.
    bool mMoved = false;
};

} // namespace Zant
