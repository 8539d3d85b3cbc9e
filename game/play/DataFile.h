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

} // namespace Zant
