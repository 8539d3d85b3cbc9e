#pragma once
// The image manifest: one row per image the game loads, with the size and
// cel layout its drawing code expects. The art tool paints from it and the
// art tests check the program folder against it.
#include <map>
#include <string>
#include <vector>

namespace Zant::Art {

enum class Layout { Single, Horizontal, Vertical, Grid, NinePart };
enum class AlphaUse { Opaque, Transparent, Additive };

struct ImageSpec {
    std::string name;
    int width = 0;
    int height = 0;
    Layout layout = Layout::Single;
    int columns = 1; // cels across
    int rows = 1;    // cels down
    AlphaUse alpha = AlphaUse::Transparent;
    bool loops = false;
    std::string owner; // the class whose drawing fixes the numbers
    std::string note;

    int CelWidth() const { return width / columns; }
    int CelHeight() const { return height / rows; }
    int CelCount() const { return columns * rows; }
};

struct Manifest {
    std::vector<ImageSpec> images;
    std::map<std::string, std::string> fonts; // font name -> TrueType file

    const ImageSpec* Find(const std::string& name) const;
};

// Reads the manifest text; on a malformed row returns false with a message
// naming the line.
bool ParseManifest(const std::string& text, Manifest& out, std::string& error);
bool LoadManifest(const std::string& path, Manifest& out, std::string& error);

} // namespace Zant::Art
