#pragma once
// The creatures that swim behind the typing tutor's panels while the player is not
// typing: the game's own sharks, piranhas and jellyfish, carrying no word, crossing
// the screen at an easy pace and never attacking.
#include <memory>
#include <vector>

namespace Zant {

class Enemy;
class Graphics;
class WinBTApp;

class TutorFish {
public:
    static constexpr int MAX_FISH = 3;
    // The kinds, in the order a random number picks them.
    enum Kind { BLACK_SHARK, BONUS_CREATURE, PIRANHA, RED_PIRANHA, RED_SHARK, TOXIC_SHARK, WHITE_PIRANHA, NUM_KINDS };
    // Where the swimmers enter: sideways swimmers start at this x or just off the left
    // edge, somewhere between TOP_Y and the bottom of the area less BOTTOM_MARGIN.
    static constexpr double RIGHT_START_X = 470.0;
    static constexpr int TOP_Y = 155;
    static constexpr int BOTTOM_MARGIN = 40;

    explicit TutorFish(WinBTApp* app);
    ~TutorFish();
    TutorFish(const TutorFish&) = delete;
    TutorFish& operator=(const TutorFish&) = delete;

    // One more fish of a random kind entering an area of the given size.
    void Add(int areaWidth, int areaHeight);
    // Every fish swims one step; those that have left the area are deleted.
    void Update();
    void Draw(Graphics* g);
    void Clear();
    int Count() const { return int(mFish.size()); }
    const Enemy& Fish(int index) const { return *mFish[size_t(index)].creature; }

private:
    struct Swimmer {
        std::unique_ptr<Enemy> creature;
        // The pace it keeps: the creatures' own rules would speed them up near the
        // diver's side of the screen.
        double pace;
    };

    static Enemy* Make(WinBTApp* app, int kind);

    WinBTApp* mApp;
    std::vector<Swimmer> mFish;
};

} // namespace Zant
