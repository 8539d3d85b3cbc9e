#pragma once
// What the font classes need of the application: loading a layer's image file,
// showing a descriptor error, and making the images that rescaled glyphs go into.
// ZantApp provides these for the game; tools and tests give their own.
#include <string>

namespace Zant {

class Image;
class MemoryImage;

class FontHost {
public:
    virtual ~FontHost() = default;
    // A new image holding the file's pixels (the caller owns it), or null.
    virtual Image* LoadFontImage(const std::string& path) = 0;
    // Shows a finished error message to the user.
    virtual void ShowFontError(const std::string& message) = 0;
    // A new empty software image (the caller owns it).
    virtual MemoryImage* NewFontImage() = 0;
};

} // namespace Zant

namespace Zant {

// A host without an application: images load from files into free-standing
// MemoryImages and errors go to the message box service.
class SoftwareFontHost : public FontHost {
public:
    Image* LoadFontImage(const std::string& path) override;
    void ShowFontError(const std::string& message) override;
    MemoryImage* NewFontImage() override;
};

} // namespace Zant
