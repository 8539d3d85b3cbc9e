// The board's side of a boss wave. The boss classes are not part of the build yet:
// no boss is ever created, so these keep the board's boss paths inert until they are.
#include "game/play/Board.h"

namespace Zant {

bool Board::UpdateBoss(ProjectileBoss*) { return false; }

ProjectileBoss* Board::CreateBoss(int) { return nullptr; }

int Board::BossKind() const { return -1; }

int Board::BossState() const { return -1; }

int Board::BossHealth() const { return -1; }

void Board::UpdateBossObject() {}

bool Board::TryLockBossShot(char) { return false; }

void Board::ForgetShot(Enemy* shot)
{
    if (shot != nullptr && shot == mLockedEnemy)
        ClearLock();
}

} // namespace Zant
