#include "game/shell/HeldKeys.h"

#include <cstddef>

#include "framework/widgets/WidgetManager.h"

namespace Zant {

namespace {

// The virtual key of a typed character: letters by their capitals, the others
// (space, Enter, Escape, digits) by their own code.
int KeyOf(char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 'A';
    return static_cast<unsigned char>(c);
}

} // namespace

void HeldKeys::Note(const WidgetManager& manager)
{
    for (int key = 0; key < KEYS; ++key) {
        mHeld[std::size_t(key)] = manager.IsKeyDown(key);
        mPresses[std::size_t(key)] = manager.KeyPresses(key);
    }
}

bool HeldKeys::FromEarlierPress(const WidgetManager& manager, char c) const
{
    const int key = KeyOf(c);
    return key < KEYS && mHeld[std::size_t(key)] && manager.KeyPresses(key) == mPresses[std::size_t(key)];
}

} // namespace Zant
