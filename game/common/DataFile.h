#pragma once
// Reading the game's read-only data files (level configuration and word lists),
// which live in the data folder beside the program.
#include <string>

namespace Zant {

// Reads the file named by a game path ("data\\waves.txt") below folder (empty: the
// working folder) whole into text. False when it cannot be opened or read, or when
// it is larger than any data file of the game can be.
bool ReadGameDataFile(const std::string& folder, const std::string& gamePath, std::string& text);

// The file-system path that ReadGameDataFile opens.
std::string GameDataPath(const std::string& folder, const std::string& gamePath);

// A decimal integer at the start of a data file's text, as atoi reads it (leading
// blanks and tabs, an optional sign), held within +-2,000,000,000 instead of
// overflowing.
int ParseLeadingInt(const std::string& text);

// A random search through the data (words, waves) that has not found a match after
// this many draws gives way to a plain scan, so odd data can never stall the game.
inline constexpr int MAX_DRAWS = 10000;

} // namespace Zant
