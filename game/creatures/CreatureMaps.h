#pragma once
// Shared by the creature files: the creature types that pick a row of the shark and
// piranha image maps, and the faded word colour of a stealthed creature.
#include "framework/graphics/Color.h"

namespace Zant {

// Creature types of the image maps (the shark's and the piranha's share the numbers).
inline constexpr int MAP_PLAIN = 0;
inline constexpr int MAP_THREE_WORDS = 1;  // shark
inline constexpr int MAP_TWO_WORDS = 2;    // shark
inline constexpr int MAP_RED = 2;          // piranha
inline constexpr int MAP_STEALTH = 3;
inline constexpr int MAP_TOXIC = 4;
inline constexpr int MAP_WHITE = 6;        // piranha
inline constexpr int MAP_WHITE_STEALTH = 7; // piranha
inline constexpr int MAP_STEALTH_TWO_WORDS = 9;
inline constexpr int MAP_STEALTH_THREE_WORDS = 10;

// The colour at the stealth alpha, for a creature fading in and out of sight.
inline Color Faint(const Color& color, int alpha) { return Color(color.red, color.green, color.blue, alpha); }

} // namespace Zant
