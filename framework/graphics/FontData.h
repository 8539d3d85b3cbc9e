#pragma once
// The shared description behind every ImageFont made from one descriptor file: a
// character map, a default point size, named definitions and an ordered list of
// glyph layers. Reading the file runs its commands one by one; the first failing
// command is reported and stops the load, leaving the data unloaded.
#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/util/DescParser.h"

namespace Zant {

class FontData;
class FontHost;
class Image;

struct CharData {
    Rect mImageRect;
    int mOffsetX = 0;
    int mOffsetY = 0;
    // Entry k is added to this character's advance when character k follows it.
    int8_t mKerningOffsets[256] = {};
    int mWidth = 0;
    int mOrder = 0;
};

class FontLayer {
public:
    explicit FontLayer(FontData* owner) : mFontData(owner) {}
    FontLayer(const FontLayer& other) = default;
    FontLayer& operator=(const FontLayer& other) = default;

    FontData* mFontData;
    std::string mName;                      // as the descriptor names it, upper case
    std::vector<std::string> mRequiredTags; // upper case
    std::vector<std::string> mExcludedTags; // upper case
    CharData mCharData[256];
    Color mColorMult = Color::White;
    Color mColorAdd{0, 0, 0, 0};
    Image* mImage = nullptr; // owned by the font data's image map
    int mDrawMode = -1;      // -1: the drawing context's mode
    int mOffsetX = 0;
    int mOffsetY = 0;
    int mSpacing = 0;
    int mMinPointSize = -1;
    int mMaxPointSize = -1;
    int mPointSize = 0; // 0: the glyphs are used at their own size
    int mAscent = 0;
    int mAscentPadding = 0;
    int mHeight = 0; // 0: mDefaultHeight is used
    int mDefaultHeight = 0;
    int mLineSpacingOffset = 0;
    int mBaseOrder = 0;
};

class FontData : public DescriptorParser {
public:
    FontData();
    ~FontData() override;

    // Reads the descriptor at path unless already loaded. A file that cannot be
    // opened leaves the data unloaded without a message. False when the data is not
    // loaded; mLoadError then says which file and why.
    bool LoadDescriptor(FontHost* host, const std::string& path);
    // The same on text already in memory; path names it in messages and is the base
    // for image paths.
    void LoadDescriptorText(FontHost* host, const std::string& path, const std::string& text);

    bool RunCommand(const std::string& command);
    // The layer a single value names (case-insensitive); reports "Undefined Layer".
    bool GetLayer(const DataElement* value, FontLayer*& layer);
    // A value as text: lists as "(a, b)".
    std::string DataToString(const DataElement* value) const;

    void AddRef() { ++mRefCount; }
    // Deletes this object when the last reference goes.
    void Release();

    bool mInitialized = false; // the whole file was read without error
    std::string mLoadError;    // why not, naming the file (the first error shown)
    bool mErrorShown = false;  // the host was shown why
    int mRefCount = 0;
    FontHost* mApp = nullptr;
    int mDefaultPointSize = 0;
    uint8_t mCharMap[256];
    std::map<std::string, Image*> mImageMap;
    std::list<FontLayer> mFontLayerList;
    std::map<std::string, FontLayer*> mFontLayerMap;
    std::string mSourceFile;

protected:
    void ShowError(const std::string& message) override;

private:
    // Reports a descriptor whose layers give no image, no glyph rectangle or no width.
    bool CheckHasGlyphs();
    bool CheckArgs(const ListDataElement& args, size_t count);
    bool GetInt(const DataElement* value, int& result);
    bool GetChars(const DataElement* value, std::vector<int>& codes, bool& typeError);
    // Parses value's numbers into ints and returns how many elements it has.
    size_t GetInts(const DataElement* value, std::vector<int>& ints, bool& typeError);
    // Reports the type error when one was seen, else a size mismatch, else succeeds.
    bool Finish(bool typeError, size_t size1, size_t size2);

    bool CmdDefine(const ListDataElement& args);
    bool CmdCreateHorzSpanRectList(const ListDataElement& args);
    bool CmdSetDefaultPointSize(const ListDataElement& args);
    bool CmdSetCharMap(const ListDataElement& args);
    bool CmdCreateLayer(const ListDataElement& args);
    bool CmdCreateLayerFrom(const ListDataElement& args);
    bool CmdLayerTags(const ListDataElement& args, bool required);
    bool CmdLayerPointRange(const ListDataElement& args);
    bool CmdLayerInt(const ListDataElement& args, int FontLayer::*field);
    bool CmdLayerSetImage(const ListDataElement& args);
    bool CmdLayerSetDrawMode(const ListDataElement& args);
    bool CmdLayerColor(const ListDataElement& args, Color FontLayer::*field);
    bool CmdLayerSetOffset(const ListDataElement& args);
    bool CmdLayerCharInts(const ListDataElement& args, int CharData::*field);
    bool CmdLayerSetImageMap(const ListDataElement& args);
    bool CmdLayerSetCharOffsets(const ListDataElement& args);
    bool CmdLayerSetKerningPairs(const ListDataElement& args);
};

} // namespace Zant
