#pragma once
// The base of everything that moves on the board: position, speed, frame size and
// animation counters, and the movement history that the draw step keeps.
namespace Zant {

class Graphics;

class GameObject {
public:
    static constexpr int HISTORY = 6;

    GameObject() = default;
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;
    virtual ~GameObject() = default;

    virtual void Update() {}
    // The base draw step every drawing object runs first: records how far the object
    // moved since the previous draw and takes the draw position.
    virtual void Draw(Graphics* g);
    virtual int GetWidth() { return mWidth; }
    virtual int GetHeight() { return mHeight; }
    virtual void SetX(double x) { mX = x; }
    virtual void SetY(double y) { mY = y; }
    virtual void SetState(int state) { mState = state; }
    // Released (active) objects are drawn and typable; the animation restarts.
    virtual void SetReleased(bool released)
    {
        mActive = released;
        mFrame = 0;
    }
    virtual void SetVelX(double v) { mVelX = v; }
    virtual void SetVelY(double v) { mVelY = v; }
    // Updates per animation frame.
    virtual void SetLayer(int frameDelay) { mFrameDelay = frameDelay; }

public:
    double mDeltaX[HISTORY] = {};
    int mDeltaXIndex = 0;
    double mPrevX = 0;
    double mDeltaY[HISTORY] = {};
    int mDeltaYIndex = 0;
    double mPrevY = 0;
    double mX = 0;
    double mY = 0;
    double mDrawX = 0;
    double mDrawY = 0;
    int mState = 0;
    double mVelX = 0;
    double mVelY = 0;
    // Frame size; zero until a derived class sets it.
    int mWidth = 0;
    int mHeight = 0;
    int mFrame = 0;
    int mFrameDelay = 0;
    int mFrameCount = 0;
    // The released flag.
    bool mActive = false;
    // The tick counter: updates since creation.
    int mUpdateCount = 0;
};

} // namespace Zant
