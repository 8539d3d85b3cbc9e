#pragma once
// A font from the installed faces (fontconfig picks the file, FreeType renders it).
// As on the original platform, it draws only into display surfaces that hand out
// their pixels for text; on plain software images it draws nothing.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/graphics/Font.h"

namespace Platform {
class SystemFace;
}

namespace Zant {

class FontHost;

// What a drawing target offers system fonts in place of a device context.
class SysFontSurface {
public:
    virtual ~SysFontSurface() = default;
    // The whole target as rows of 32-bit 0xAARRGGBB pixels (pitch counted in pixels);
    // false when the target refuses.
    virtual bool LockTextBits(uint32_t*& bits, int& pitch) = 0;
    // Ends the access; the target notes that its pixels changed.
    virtual void UnlockTextBits() = 0;
};

class SysFont : public Font {
public:
    // Text is measured at a fixed 96 pixels per inch.
    static constexpr int PIXELS_PER_INCH = 96;
    // Points to pixels, rounded to nearest as the system's MulDiv does.
    static int PixelSize(int pointSize);

    SysFont(FontHost* app, const std::string& faceName, int pointSize, int charSet = 0, bool bold = false,
            bool italic = false, bool underline = false);
    SysFont(const SysFont& other);
    SysFont& operator=(const SysFont& other) = delete;
    ~SysFont() override;

    int StringWidth(const std::string& text) override;
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                    const Rect& clip) override;
    Font* Duplicate() override;

    // False when no installed face matched: the font then measures 0 and draws nothing.
    bool IsValid() const { return mFace != nullptr; }
    const std::string& FaceFile() const;

    FontHost* mApp;

private:
    void Open();

    std::string mFaceName;
    int mPointSize;
    bool mBold;
    bool mItalic;
    bool mUnderline;
    std::unique_ptr<Platform::SystemFace> mFace;
};

} // namespace Zant
