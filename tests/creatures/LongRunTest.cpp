// Every kind of creature on one board for 2,000 updates, driven the way the board
// drives them: letters typed, words completed, zaps, flashes, flights, pauses, the
// pearl game's clams, and creatures replaced as they leave. After every update each
// creature's source rectangle must lie inside the image it draws from.
#include "tests/creatures/CreatureTestSupport.h"

#include <algorithm>
#include <functional>
#include <set>

#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/BackgroundFish.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/creatures/GlowSharks.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/StealthShark.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"

using namespace Zant;
using namespace CreatureTests;

namespace {

const char* const WORDS[] = {"SHARK", "QUIZ", "REEF", "CORAL", "KELP", "DIVE", "WAVE", "SQUID"};

class LongRun : public CreatureFixture {
protected:
    static constexpr int NUM_SHARK_KINDS = 8;
    static constexpr int NUM_PIRANHA_KINDS = 5;

    MersenneTwister mChoice{2024};
    int mRemoved = 0;
    int mCompleted = 0;

    std::string Word() { return WORDS[mChoice.Next() % std::size(WORDS)]; }
    double Speed(double low, double range) { return low + (mChoice.Next() % 1000) * range / 1000.0; }

    Shark* NewShark(int kind)
    {
        Shark* shark = nullptr;
        switch (kind) {
        case 0: shark = new Shark(app.get()); break;
        case 1: {
            auto* black = new BlackShark(app.get());
            black->SetSecondWord(Word());
            shark = black;
            break;
        }
        case 2: {
            auto* red = new RedShark(app.get());
            red->SetSecondWord(Word());
            red->SetThirdWord(Word());
            shark = red;
            break;
        }
        case 3: shark = new ToxicShark(app.get()); break;
        case 4: shark = new GhostShark(app.get()); break;
        case 5: shark = new StealthShark(app.get()); break;
        case 6: {
            auto* black = new StealthBlackShark(app.get());
            black->SetSecondWord(Word());
            shark = black;
            break;
        }
        default: {
            auto* red = new StealthRedShark(app.get());
            red->SetSecondWord(Word());
            red->SetThirdWord(Word());
            shark = red;
            break;
        }
        }
        shark->mEnemyType = kind;
        shark->SetWord(Word());
        shark->SetX(app->mWidth + mChoice.Next() % 100);
        shark->SetY(40 + mChoice.Next() % 300);
        shark->SetVelX(Speed(0.6, 1.4));
        shark->SetReleased(true);
        return shark;
    }

    Piranha* NewPiranha(int kind)
    {
        Player* player = board->mPlayer;
        Piranha* piranha = nullptr;
        switch (kind) {
        case 0: piranha = new Piranha(app.get(), player); break;
        case 1: piranha = new RedPiranha(app.get(), player); break;
        case 2: {
            auto* white = new WhitePiranha(app.get(), player);
            white->SetSecondWord("W");
            piranha = white;
            break;
        }
        case 3: piranha = new StealthPiranha(app.get(), player); break;
        default: {
            auto* white = new StealthWhitePiranha(app.get(), player);
            white->SetSecondWord("X");
            piranha = white;
            break;
        }
        }
        piranha->mEnemyType = kind;
        piranha->SetWord(std::string(1, char('A' + mChoice.Next() % 26)));
        piranha->SetX(app->mWidth + mChoice.Next() % 60);
        piranha->SetY(40 + mChoice.Next() % 340);
        piranha->SetVelX(Speed(1.0, 1.5));
        piranha->SetReleased(true);
        return piranha;
    }

    BonusCreature* NewJellyfish()
    {
        auto* jelly = new BonusCreature(app.get());
        jelly->SetWord(Word());
        jelly->SetX(100 + mChoice.Next() % 400);
        jelly->SetY(480);
        jelly->SetVelY(Speed(0.6, 0.5));
        jelly->SetReleased(true);
        return jelly;
    }

    // The group links: a creature waiting beyond the edge behind the one before it.
    void Chain(Enemy* front, Enemy* waiting)
    {
        waiting->SetReleased(false);
        waiting->mX = app->mWidth + 120.0;
        front->SetLeader(waiting);
        waiting->SetFollower(front);
    }

    // What the board does with each event.
    template <typename T>
    void HandleEvents(std::vector<T*>& list, const std::function<T*(T*)>& replace)
    {
        for (size_t i = 0; i < list.size();) {
            T* creature = list[i];
            bool remove = false;
            for (int e = creature->PopEvent(); e != EVENT_NONE; e = creature->PopEvent()) {
                if (e == EVENT_WORD_COMPLETED) {
                    ++mCompleted;
                    creature->SetState(5);
                } else if (e == EVENT_REACHED_DIVER) {
                    creature->SetState(4);
                } else if (e == EVENT_REMOVE_ME) {
                    remove = true;
                }
            }
            if (remove) {
                T* next = replace(creature);
                delete creature;
                ++mRemoved;
                list[i] = next;
                if (next == nullptr)
                    list.erase(list.begin() + i);
                continue;
            }
            ++i;
        }
    }

    void CheckSourceInside(Enemy& e, Image* image, int srcX, int srcY, const char* what)
    {
        if (image == nullptr)
            return;
        ASSERT_GE(srcX, 0) << what;
        ASSERT_LE(srcX + e.mWidth, image->GetWidth()) << what << " state " << e.mState;
        ASSERT_LE(srcY + e.mHeight, image->GetHeight()) << what << " state " << e.mState;
    }
};

} // namespace

TEST_F(LongRun, EveryKindOfCreatureForTwoThousandUpdates)
{
    for (int kind = 0; kind < NUM_SHARK_KINDS; ++kind)
        board->mSharks.push_back(NewShark(kind));
    for (int kind = 0; kind < NUM_PIRANHA_KINDS; ++kind)
        board->mPiranhas.push_back(NewPiranha(kind));
    Chain(board->mSharks[0], board->mSharks[1]);
    Chain(board->mPiranhas[0], board->mPiranhas[1]);
    for (int content = 0; content < 3; ++content) {
        auto* clam = new Clam(app.get(), content);
        clam->SetWord(std::string(1, char('K' + content)));
        clam->SetX(150 + 120 * content);
        clam->SetY(380);
        board->mClams.push_back(clam);
    }
    board->mBonusCreatures.push_back(NewJellyfish());
    board->mBonusCreatures.push_back(NewJellyfish());
    for (int i = 0; i < 3; ++i)
        board->mBackgroundFish.push_back(new BackgroundFish(app.get()));
    board->mBackgroundFish.push_back(new BackgroundFish(app.get(), *board->mBackgroundFish[0]));

    std::vector<int> clamOpenedAt(3, -1);
    std::set<std::pair<int, int>> sharkStates, piranhaStates;
    const std::function<Shark*(Shark*)> replaceShark = [&](Shark* old) { return NewShark(old->mEnemyType); };
    const std::function<Piranha*(Piranha*)> replacePiranha = [&](Piranha* old) {
        return NewPiranha(old->mEnemyType);
    };
    const std::function<BonusCreature*(BonusCreature*)> replaceJelly = [&](BonusCreature*) { return NewJellyfish(); };

    for (int update = 1; update <= 2000; ++update) {
        std::vector<Enemy*> enemies;
        for (Shark* s : board->mSharks)
            enemies.push_back(s);
        for (Piranha* p : board->mPiranhas)
            enemies.push_back(p);
        for (BonusCreature* b : board->mBonusCreatures)
            enemies.push_back(b);

        // The board's own steps: a letter every few updates on the first creature in
        // play, a zap now and then, flashes, pauses.
        if (update % 6 == 0) {
            for (Enemy* e : enemies) {
                auto* shark = dynamic_cast<Shark*>(e);
                auto* piranha = dynamic_cast<Piranha*>(e);
                const bool inPlay = shark ? shark->IsInPlay() && shark->mState != 1 : piranha ? piranha->IsInPlay()
                                                                                            : e->mState == 0;
                if (e->mActive && inPlay && (e->mState == 0 || e->mState == 6) && !e->mWord.empty() &&
                    e->mX < app->mWidth) {
                    e->TypeLetter();
                    break;
                }
            }
        }
        if (update % 250 == 0 && !enemies.empty()) {
            Enemy* e = enemies[mChoice.Next() % enemies.size()];
            e->mZapped = true;
            e->SetState(5);
        }
        if (update % 90 == 0)
            for (Shark* s : board->mSharks)
                s->SetState(6);
        if (update % 700 == 0)
            for (Enemy* e : enemies)
                e->SetState(4);
        if (update % 400 == 0)
            board->mPaused = !board->mPaused;
        // Creatures nobody holds back any more come in.
        for (Enemy* e : enemies)
            if (!e->mActive && e->mFollower == nullptr)
                e->SetReleased(true);

        // The pearl game: show the letter, open, stay open a while, close.
        for (size_t i = 0; i < board->mClams.size(); ++i) {
            Clam* clam = board->mClams[i];
            const int phase = (update + 137 * int(i)) % 400;
            if (phase == 50)
                clam->SetState(Clam::SHOWING_LETTER);
            else if (phase == 100)
                clam->SetState(Clam::OPENING);
            else if (clamOpenedAt[i] >= 0 && update - clamOpenedAt[i] == 80) {
                clam->SetState(Clam::CLOSING);
                clamOpenedAt[i] = -1;
            }
        }

        for (Shark* s : board->mSharks)
            s->Update();
        for (Piranha* p : board->mPiranhas)
            p->Update();
        for (Clam* c : board->mClams)
            c->Update();
        for (BonusCreature* b : board->mBonusCreatures)
            b->Update();
        for (BackgroundFish* f : board->mBackgroundFish)
            f->Update();
        app->mWidgetManager->UpdateFrame();

        HandleEvents(board->mSharks, replaceShark);
        HandleEvents(board->mPiranhas, replacePiranha);
        HandleEvents(board->mBonusCreatures, replaceJelly);
        for (size_t i = 0; i < board->mClams.size(); ++i) {
            Clam* clam = board->mClams[i];
            for (int e = clam->PopEvent(); e != EVENT_NONE; e = clam->PopEvent()) {
                if (e == EVENT_CLAM_OPENED) {
                    clam->SetState(Clam::OPEN);
                    clamOpenedAt[i] = update;
                } else if (e == EVENT_CLAM_CLOSED) {
                    clam->SetState(Clam::IDLE);
                }
            }
        }

        Draw(*board->mBackgroundFish[0]);
        for (BackgroundFish* f : board->mBackgroundFish)
            f->Draw(&graphics);
        for (Clam* c : board->mClams)
            c->Draw(&graphics);
        for (BonusCreature* b : board->mBonusCreatures)
            b->Draw(&graphics);
        for (Piranha* p : board->mPiranhas)
            p->Draw(&graphics);
        for (Shark* s : board->mSharks)
            s->Draw(&graphics);

        for (Shark* s : board->mSharks)
            sharkStates.insert({s->mEnemyType, s->mState});
        for (Piranha* p : board->mPiranhas)
            piranhaStates.insert({p->mEnemyType, p->mState});
        for (Shark* s : board->mSharks) {
            if (s->mState == 5 && s->mBlinkOn)
                CheckSourceInside(*s, s->mCurImage, 0, 0, "shock");
            else
                CheckSourceInside(*s, s->mCurImage, s->mSrcX, 0, "shark");
            if (dynamic_cast<ToxicShark*>(s) || dynamic_cast<GhostShark*>(s)) {
                Image* glow = app->GetImage(s->mState == 3 ? IMAGE_TOXIC_GLOW_DEATH : IMAGE_TOXIC_GLOW_SWIM);
                ASSERT_LE(s->mFrame * (s->mWidth + 20) + s->mWidth + 20, glow->GetWidth());
            }
        }
        for (Piranha* p : board->mPiranhas)
            CheckSourceInside(*p, p->mCurImage, p->mSrcX, 0, "piranha");
        for (BonusCreature* b : board->mBonusCreatures)
            CheckSourceInside(*b, b->mCurImage, b->mSrcX, 0, "jellyfish");
        for (Clam* c : board->mClams) {
            ASSERT_GE(c->mFrame, 0);
            ASSERT_LT(c->mFrame, Clam::COLUMNS);
        }
        if (HasFatalFailure())
            return;
    }

    // Every kind went through its main states.
    for (int kind = 0; kind < NUM_SHARK_KINDS; ++kind)
        for (int state : {0, 3, 4, 5})
            EXPECT_TRUE(sharkStates.count({kind, state})) << "shark kind " << kind << " state " << state;
    for (int kind = 0; kind < NUM_PIRANHA_KINDS; ++kind)
        for (int state : {0, 3, 5})
            EXPECT_TRUE(piranhaStates.count({kind, state})) << "piranha kind " << kind << " state " << state;
    EXPECT_GT(mCompleted, 50);
    EXPECT_GT(mRemoved, 20);
    EXPECT_EQ(board->mSharks.size(), size_t(NUM_SHARK_KINDS));
    EXPECT_EQ(board->mPiranhas.size(), size_t(NUM_PIRANHA_KINDS));
    // The one toxic shark on the board keeps one timer in the manager; the timers of
    // the toxic sharks that left went with them.
    int timers = 0;
    for (Widget* w : app->mWidgetManager->mWidgets)
        timers += dynamic_cast<BTTimer*>(w) != nullptr;
    EXPECT_EQ(timers, 1);
}
