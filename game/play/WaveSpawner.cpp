// Laying out the next wave: its creatures with their words and speeds, the abyss
// boss every 1000 ft, the opening words of a new player, and the next wave's choice.
#include <algorithm>

#include "framework/app/ZantApp.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/GlowSharks.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/creatures/StealthShark.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

// Speeds at or below zero would stall a creature and break the placement's arithmetic.
constexpr double MIN_SPEED = 0.01;

const char* const BOSS_TEXTS[][2] = {
    {"12", "Watch out! This submarine won't let you get to the treasure without a fight! Type the words on the "
           "torpedoes to send them flying back at him!\n\n\n"},
    {"14", "Ghost pirates off the starboard bow! Type the letter on the possessed cannonballs to send them flying "
           "back at the ship.\n\n"},
    {"15", "Giant mechanical robot shark! This angry fish fires torpedoes at you. Type the words on the torpedoes "
           "to send them flying back at him!\n\n\n"},
    {"16", "Mutant robot squid attack! Watch out for the cannonballs that this behemoth fires at you. Type the "
           "letter on the cannonballs to send them flying back at him.\n\n\n\n"},
};

// The abyss bosses in the order the thousands of feet bring them.
constexpr int ABYSS_BOSS_TYPES[] = {ENEMY_TORPEDO, ENEMY_MECHA_SHARK, ENEMY_MECHA_SQUID, ENEMY_GHOST_SHIP};

bool IsThemed(const ConfigEnemy& entry) { return entry.ThemeRandom || entry.ThemeMin != -1 || entry.ThemeMax != -1; }

// The speed draw's span: 2 when the range is empty.
int SpeedSpan(const ConfigEnemy& entry)
{
    const int n = static_cast<int>((entry.MaxSpeed - entry.MinSpeed) * 1000);
    return n == 0 ? 2 : n;
}

} // namespace

void Board::SpawnWaves()
{
    if (mConfig == nullptr || mConfig->IsSpecialLevel())
        return;
    mBonusKills = 0;
    mApp->ResetUsedLetters();
    mApp->ForgetUsedLetters();
    mLettersHit = 0;
    mTypos = 0;
    mWaveEntries.clear();

    if (mConfig->IsAbyssMode() && mThousandFeetMark) {
        mThousandFeetMark = false;
        const int type = ABYSS_BOSS_TYPES[((mAbyssBoss % 4) + 4) % 4];
        mBoss = CreateBoss(type);
        if (mBoss == nullptr) {
            mApp->DemoSync("Board::SpawnWaves: no boss of type " + std::to_string(type));
            return;
        }
        mWaveCleared = false;
        mPlayer->SetState(Player::BOSS_FIGHT);
        return;
    }

    const bool simulation = Simulation().IsOn();
    if (simulation && IsAbyss())
        Simulation().WriteSimulationAbyssDepth(mAbyssDepth);
    if (mConfig->IsLastWaveSpecial() && !mPlayer->mReadyForWave && mPlayer->mState == Player::PLAYING &&
        mScrollDistance > mLeadInHeight && !mConfig->IsPastFixedLevels()) {
        const int previousKind = mConfig->GetWaveKind(), previousIndex = mConfig->GetWaveIndex();
        if (simulation && (mPlayer->mLevelIndex >= 12 || mConfig->GetLevel() < 0 ||
                           mConfig->GetLevel() >= static_cast<int>(mConfig->GetFixedLevels().size()) ||
                           mConfig->GetEndlessLevelCount() > 0)) {
            Simulation().SimulationDumpString(
                SimFormat("Wave type and number reported as: %d / %d", previousKind, previousIndex));
            Simulation().SimulationDumpString(SimFormat("mLevel inside Config reported to be: %d", mConfig->GetLevel()));
        }
        mConfig->SkipToLastWave();
        if (simulation)
            SimulationSkipToBoss(previousKind, previousIndex);
    }
    mWaveCleared = false;
    mZapperUsed = false;

    if (!IntroDone()) {
        SpawnOpeningWords();
        return;
    }

    const int kind = mConfig->GetWaveKind();
    const int count = mConfig->GetWaveEnemyCount();
    for (int e = 0; e < count; ++e)
        if (const ConfigEnemy* entry = mConfig->GetWaveEnemy(e))
            mWaveEntries.emplace(entry->Type, *entry);

    MersenneTwister& random = mApp->GetGameRandom();
    const size_t simSharks = mSharks.size(), simPiranhas = mPiranhas.size(), simBonus = mBonusCreatures.size();
    if (kind == WAVE_BOSS) {
        if (simulation)
            SimulationAddingEntry(WAVE_BOSS, mWaveEntries.empty() ? -1 : mWaveEntries.begin()->first);
        SpawnBoss();
    } else {
        const int firstShark = static_cast<int>(mSharks.size());
        const int firstPiranha = static_cast<int>(mPiranhas.size());
        const int firstBonus = static_cast<int>(mBonusCreatures.size());
        bool waveSpeedDrawn = false;
        double waveSpeed = 0.0;
        for (int e = 0; e < count; ++e) {
            const ConfigEnemy* entry = mConfig->GetWaveEnemy(e);
            if (entry == nullptr)
                continue;
            if (simulation)
                SimulationAddingEntry(kind, entry->Type);
            const int n = entry->MinNumber + static_cast<int>(random.Next() %
                                                              std::max(1, entry->MaxNumber - entry->MinNumber));
            for (int i = 0; i < n; ++i) {
                if (kind == WAVE_SHARKS)
                    SpawnShark(*entry);
                else if (kind == WAVE_PIRANHAS)
                    SpawnPiranha(*entry);
                else if (kind == WAVE_BONUS)
                    SpawnBonusCreature(*entry, waveSpeedDrawn, waveSpeed);
            }
        }
        if (kind == WAVE_SHARKS)
            PlaceWaveGroup(firstShark);
        else if (kind == WAVE_PIRANHAS)
            PlaceWaveGroup(firstPiranha);
        else if (kind == WAVE_BONUS)
            PlaceBonusCreatures(firstBonus);
    }
    if (simulation)
        SimulationRecordWave(kind, mConfig->GetWaveIndex(), simSharks, simPiranhas, simBonus);
    mConfig->ChooseNextWave(false);
}

void Board::SpawnOpeningWords()
{
    auto* begin = new Shark(mApp);
    begin->SetWord("BEGIN");
    begin->SetX(mWidth - 50);
    begin->SetY(175.0);
    begin->SetVelX(0.2);
    mSharks.push_back(begin);
    auto* typing = new Shark(mApp);
    typing->SetWord("TYPING");
    typing->SetX(mWidth - 50);
    typing->SetY(typing->GetHeight() + 245.0);
    typing->SetVelX(0.2);
    mSharks.push_back(typing);
}

std::string Board::PickWaveWord(const ConfigEnemy& entry, bool themed)
{
    if (themed)
        return mApp->GetThemeWord(entry.MinDiff, entry.MaxDiff, entry.ThemeMin, entry.ThemeMax);
    return mApp->GetUniqueWord(entry.MinDiff, entry.MaxDiff);
}

double Board::ThemedSlowdown() const
{
    switch (Difficulty()) {
    case 0:
    case 1:
        return 0.1;
    case 2:
        return 0.075;
    case 3:
        return 0.025;
    case 4:
        return 0.0;
    default:
        if (mAbyssDepth <= 1000)
            return 0.1;
        if (mAbyssDepth <= 2500)
            return 0.075;
        if (mAbyssDepth <= 4000)
            return 0.025;
        return 0.0;
    }
}

void Board::SpawnShark(const ConfigEnemy& entry)
{
    const bool themed = IsThemed(entry);
    Shark* shark = nullptr;
    switch (entry.Type) {
    case ENEMY_BLUE:
        shark = new Shark(mApp);
        shark->SetWord(PickWaveWord(entry, themed));
        break;
    case ENEMY_BLACK:
    case ENEMY_PURPLE:
    case ENEMY_BLACK_STEALTH: {
        BlackShark* black = entry.Type == ENEMY_BLACK_STEALTH ? static_cast<BlackShark*>(new StealthBlackShark(mApp))
                                                               : new BlackShark(mApp);
        black->SetWord(PickWaveWord(entry, themed));
        black->SetSecondWord(PickWaveWord(entry, themed));
        shark = black;
        break;
    }
    case ENEMY_RED:
    case ENEMY_RED_STEALTH: {
        RedShark* red = entry.Type == ENEMY_RED_STEALTH ? static_cast<RedShark*>(new StealthRedShark(mApp))
                                                         : new RedShark(mApp);
        red->SetWord(PickWaveWord(entry, themed));
        red->SetSecondWord(PickWaveWord(entry, themed));
        red->SetThirdWord(PickWaveWord(entry, themed));
        shark = red;
        break;
    }
    case ENEMY_STEALTH:
        shark = new StealthShark(mApp);
        shark->SetWord(PickWaveWord(entry, themed));
        break;
    case ENEMY_TOXIC:
    case ENEMY_CRAZY_TOXIC:
        shark = new ToxicShark(mApp);
        shark->SetWord(mApp->GetUniqueWord(entry.MinDiff, entry.MaxDiff));
        break;
    case ENEMY_GHOST: {
        MersenneTwister& random = mApp->GetGameRandom();
        std::string word = TakeLabelLetter();
        const int length = entry.MinDiff + static_cast<int>(random.Next() % std::max(1, entry.MaxDiff - entry.MinDiff));
        for (int i = 1; i < length; ++i)
            word += static_cast<char>('A' + random.Next() % 26);
        shark = new GhostShark(mApp);
        shark->SetWord(word);
        break;
    }
    default:
        return; // not a shark of this wave
    }
    const bool wordThemed = themed && entry.Type != ENEMY_TOXIC && entry.Type != ENEMY_CRAZY_TOXIC &&
                            entry.Type != ENEMY_GHOST;
    const int span = std::min(SpeedSpan(entry), 500);
    double speed = entry.MaxSpeed - (mApp->GetGameRandom().Next() % span) * 0.001 -
                   (wordThemed ? ThemedSlowdown() : 0.0);
    // An untypable creature (no letter left to start a word) is not laid out.
    if (shark->mWord.empty()) {
        delete shark;
        return;
    }
    if (speed < MIN_SPEED) {
        mApp->DemoSync("Board::SpawnWaves: shark speed raised to the minimum");
        speed = MIN_SPEED;
    }
    shark->mEnemyType = entry.Type;
    shark->SetVelX(speed);
    mSharks.push_back(shark);
}

void Board::SpawnPiranha(const ConfigEnemy& entry)
{
    Piranha* piranha = nullptr;
    switch (entry.Type) {
    case ENEMY_BLUE:
        piranha = new Piranha(mApp, mPlayer);
        piranha->SetWord(TakeLabelLetter());
        break;
    case ENEMY_WHITE:
    case ENEMY_WHITE_STEALTH: {
        WhitePiranha* white = entry.Type == ENEMY_WHITE_STEALTH
                                  ? static_cast<WhitePiranha*>(new StealthWhitePiranha(mApp, mPlayer))
                                  : new WhitePiranha(mApp, mPlayer);
        white->SetWord(TakeLabelLetter());
        white->SetSecondWord(TakeLabelLetter());
        piranha = white;
        break;
    }
    case ENEMY_STEALTH:
        piranha = new StealthPiranha(mApp, mPlayer);
        piranha->SetWord(TakeLabelLetter());
        break;
    default:
        return;
    }
    double speed = entry.MinSpeed + (mApp->GetGameRandom().Next() % SpeedSpan(entry)) * 0.001;
    if (piranha->mWord.empty()) {
        delete piranha;
        return;
    }
    if (speed < MIN_SPEED) {
        mApp->DemoSync("Board::SpawnWaves: piranha speed raised to the minimum");
        speed = MIN_SPEED;
    }
    piranha->mEnemyType = entry.Type;
    piranha->SetVelX(speed);
    mPiranhas.push_back(piranha);
}

void Board::SpawnBonusCreature(const ConfigEnemy& entry, bool& speedDrawn, double& speed)
{
    if (entry.Type != ENEMY_STANDARD)
        return;
    auto* creature = new BonusCreature(mApp);
    creature->SetWord(IsThemed(entry) ? mApp->GetThemeWord(3, 4, entry.ThemeMin, entry.ThemeMax)
                                      : mApp->GetUniqueWord(3, 4));
    if (!speedDrawn) {
        MersenneTwister& random = mApp->GetGameRandom();
        const int late = static_cast<int>(random.Next() % 70);
        const int early = static_cast<int>(random.Next() % 400);
        speed = early * 0.001 + late * 0.001 + 0.6;
        speedDrawn = true;
    }
    if (creature->mWord.empty()) {
        delete creature;
        return;
    }
    creature->mEnemyType = entry.Type;
    creature->SetVelY(speed);
    mBonusCreatures.push_back(creature);
}

void Board::SpawnBoss()
{
    const ConfigEnemy* entry = mConfig->GetWaveEnemy(0);
    const int type = entry ? entry->Type : -1;
    mBoss = CreateBoss(type);
    if (mBoss == nullptr) {
        // Without a boss the fight could never end: the level goes on instead.
        mApp->DemoSync("Board::SpawnWaves: no boss of type " + std::to_string(type));
        mWaveCleared = true;
        return;
    }
    for (const auto& text : BOSS_TEXTS)
        if (std::to_string(type) == text[0])
            ShowHint("DANGER!", text[1]);
    mPlayer->SetState(Player::BOSS_FIGHT);
}

} // namespace Zant
