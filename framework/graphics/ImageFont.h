#pragma once
// The bitmap font nearly all text is drawn with: glyphs are rectangles of images
// described by a font descriptor (FontData). Each ImageFont has its own point size
// and tags, from which it picks and, where needed, rescales the descriptor's layers.
// Drawing sorts every glyph of every layer into 256 order buckets, so that (say) all
// shadows of a text are drawn before any of its faces.
#include <list>
#include <string>
#include <vector>

#include "framework/graphics/Font.h"

namespace Zant {

class FontData;
class FontHost;
class FontLayer;
class Image;

class ActiveFontLayer {
public:
    ActiveFontLayer() = default;
    ActiveFontLayer(const ActiveFontLayer& other);
    ActiveFontLayer& operator=(const ActiveFontLayer& other) = delete;
    virtual ~ActiveFontLayer();

    FontLayer* mBaseFontLayer = nullptr;
    Image* mScaledImage = nullptr;
    bool mOwnsImage = false;
    Rect mScaledCharImageRects[256];
};

class ImageFont : public Font {
public:
    // Most glyph records one drawing can place (characters times layers).
    static constexpr int MAX_RENDER_COMMANDS = 4096;

    // Reads the descriptor; a descriptor that fails gives a font that measures 0 and
    // draws nothing.
    ImageFont(FontHost* app, const std::string& descriptorPath);
    // A font on descriptor data that is already read (one more reference to it).
    explicit ImageFont(FontData* fontData);
    ImageFont(const ImageFont& other);
    ImageFont& operator=(const ImageFont& other) = delete;
    ~ImageFont() override;

    int StringWidth(const std::string& text) override;
    int CharWidth(char c) override;
    int CharWidthKern(char c, char prev) override;
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                    const Rect& clip) override;
    Font* Duplicate() override;

    virtual void GenerateActiveFontLayers();
    // rects (when given) receives each placed glyph's rectangle; width (when given)
    // the pen advance of the whole text.
    virtual void DrawStringEx(Graphics* g, int x, int y, const std::string& text, const Color& color,
                              const Rect* clip, std::vector<Rect>* rects, int* width);
    virtual void SetPointSize(int pointSize);
    virtual int GetPointSize();
    virtual int GetDefaultPointSize();
    virtual void AddTag(const std::string& tag);
    virtual void RemoveTag(const std::string& tag);
    virtual bool HasTag(const std::string& tag);
    virtual std::string GetDefine(const std::string& name);
    virtual void Prepare();

    bool IsLoaded() const;
    // Why the descriptor did not load (naming the file); empty when it did.
    const std::string& LoadError() const;
    // The descriptor showed its fault to the player itself.
    bool LoadErrorShown() const;

    FontData* mFontData;
    int mPointSize = 0;
    std::vector<std::string> mTagVector; // upper case
    bool mActiveListValid = false;
    std::list<ActiveFontLayer> mActiveLayerList;
};

} // namespace Zant
