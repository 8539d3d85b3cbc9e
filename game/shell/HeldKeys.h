#pragma once
// The keys a player already held when a dialog opened. Their characters, auto-repeats
// included, belong to the key press that opened the dialog (a space that continued to
// the map, say), so they must not also answer it; the next press of the key does.
#include <array>

namespace Zant {

class WidgetManager;

class HeldKeys {
public:
    // Notes the keys held down now.
    void Note(const WidgetManager& manager);
    // True when a typed character comes from a press that began before the note.
    bool FromEarlierPress(const WidgetManager& manager, char c) const;

private:
    static constexpr int KEYS = 255;
    std::array<bool, KEYS> mHeld{};
    std::array<int, KEYS> mPresses{};
};

} // namespace Zant
