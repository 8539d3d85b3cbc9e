#pragma once
// The painted images as the game sees them: every image of the manifest read
// once per test program through the game's own loader, from the program
// folder, by the game's own path form.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "framework/graphics/ImageLib.h"
#include "tools/art/Manifest.h"

namespace ArtTest {

// Channels of a 0xAARRGGBB pixel.
inline int Alpha(uint32_t p) { return int(p >> 24); }
inline int Red(uint32_t p) { return int((p >> 16) & 0xFF); }
inline int Green(uint32_t p) { return int((p >> 8) & 0xFF); }
inline int Blue(uint32_t p) { return int(p & 0xFF); }

// "images\<name>" as the game asks for it, turned into a file-system path in
// the program folder (no extension: the loader finds it).
std::string GameImagePath(const std::string& name);

class ArtImages : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    static const Zant::Art::Manifest& TheManifest() { return *sManifest; }
    // The manifest row of an image (a failure and an empty row when missing).
    static const Zant::Art::ImageSpec& Entry(const std::string& name);
    // The loaded picture (a failure and an empty picture when it did not load).
    static const ImageLib::Image& Pic(const std::string& name);
    static bool Loaded(const std::string& name) { return sPictures->count(name) > 0; }

    // Mean difference of two cels of a strip: colour weighted by alpha, plus alpha.
    static double CelDifference(const ImageLib::Image& p, const Zant::Art::ImageSpec& s, int a, int b);

private:
    static std::unique_ptr<Zant::Art::Manifest> sManifest;
    static std::unique_ptr<std::map<std::string, std::unique_ptr<ImageLib::Image>>> sPictures;
};

} // namespace ArtTest
