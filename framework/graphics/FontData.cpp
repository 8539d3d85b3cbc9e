#include "framework/graphics/FontData.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "framework/graphics/FontHost.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/StringUtil.h"
#include "platform/Log.h"
#include "platform/Paths.h"

namespace Zant {

namespace {

const char* const TYPE_ERROR = "Invalid Paramater Type";

const SingleDataElement* AsSingle(const DataElement* e)
{
    return e && !e->mIsList ? static_cast<const SingleDataElement*>(e) : nullptr;
}

const ListDataElement* AsList(const DataElement* e)
{
    return e && e->mIsList ? static_cast<const ListDataElement*>(e) : nullptr;
}

// The numbers of an already resolved list, read without resolving them again.
bool ResolvedInts(const DataElement* e, std::vector<int>& ints)
{
    ints.clear();
    const ListDataElement* list = AsList(e);
    if (!list)
        return false;
    for (const DataElement* child : list->mElementVector) {
        const SingleDataElement* single = AsSingle(child);
        int value = 0;
        if (!single || !DescriptorParser::ParseInt(single->mString, value))
            return false;
        ints.push_back(value);
    }
    return true;
}

// Colour channels from 0..1 fractions; out-of-range input is held to 0..255.
int ChannelFromFraction(double fraction)
{
    double scaled = std::clamp(fraction * 255.0, 0.0, 255.0);
    return static_cast<int>(scaled);
}

} // namespace

FontData::FontData()
{
    for (int i = 0; i < 256; ++i)
        mCharMap[i] = static_cast<uint8_t>(i);
}

FontData::~FontData()
{
    for (auto& [path, image] : mImageMap)
        delete image;
}

void FontData::Release()
{
    if (--mRefCount <= 0)
        delete this;
}

void FontData::ShowError(const std::string& message)
{
    if (mLoadError.empty())
        mLoadError = message;
    if (mApp) {
        mApp->ShowFontError(message);
        mErrorShown = true;
    } else
        Platform::DebugOutput(message + "\n");
}

bool FontData::LoadDescriptor(FontHost* host, const std::string& path)
{
    if (mInitialized)
        return true;
    std::FILE* file = Platform::OpenRegularFile(path);
    if (!file) {
        mApp = host;
        mSourceFile = path;
        mLoadError = "Font descriptor " + path + " cannot be opened: " + std::strerror(errno);
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        text.append(buffer, n);
    std::fclose(file);
    LoadDescriptorText(host, path, text);
    return mInitialized;
}

void FontData::LoadDescriptorText(FontHost* host, const std::string& path, const std::string& text)
{
    if (mInitialized)
        return;
    mApp = host;
    mErrorHeader = "Font Descriptor Error in " + path + "\r\n";
    mSourceFile = path;
    int lineCounter = 0;
    bool failed = false;
    size_t pos = 0;
    while (pos < text.size() && !failed) {
        bool atLineStart = true;
        bool inComment = false;
        bool inSingle = false;
        bool inDouble = false;
        bool escape = false;
        std::string command;
        while (pos < text.size()) {
            char c = text[pos++];
            if (c == '\r')
                continue;
            if (c == '\n')
                ++lineCounter;
            if (atLineStart) {
                if (c == ' ' || c == '\t' || c == '\n')
                    continue;
                atLineStart = false;
                if (c == '#') {
                    inComment = true;
                    continue;
                }
            }
            if (c == '\n') {
                atLineStart = true;
                if (inComment) {
                    inComment = false;
                    continue;
                }
                command += c;
                continue;
            }
            if (inComment)
                continue;
            if (escape) {
                escape = false;
                command += '\\';
                command += c;
                continue;
            }
            if ((inSingle || inDouble) && c == '\\') {
                escape = true;
                continue;
            }
            if (c == '\'' && !inDouble)
                inSingle = !inSingle;
            else if (c == '"' && !inSingle)
                inDouble = !inDouble;
            else if (c == ';' && !inSingle && !inDouble)
                break;
            command += c;
        }
        if (!command.empty()) {
            mCurrentLine = FormatString("Line %d:\r\n\r\n", lineCounter + 1) + TextStart(command);
            failed = !RunCommand(command);
        }
    }
    mCurrentLine.clear();
    // A descriptor that ran without a fault but gave no glyphs (an empty or cut file)
    // would draw every text as nothing; it is as broken as one with a bad command.
    if (!failed)
        failed = !CheckHasGlyphs();
    mInitialized = !failed;
    if (failed && mLoadError.empty())
        mLoadError = "Font Descriptor Error in " + path;
}

bool FontData::CheckHasGlyphs()
{
    bool anyImage = false;
    bool anyChar = false;
    // A text advances by the widest layer's width: with none at all (a file cut
    // before its widths) every word would pile up on its first letter.
    bool anyWidth = false;
    for (const FontLayer& layer : mFontLayerList) {
        if (!layer.mImage)
            continue;
        anyImage = true;
        for (const CharData& c : layer.mCharData) {
            anyChar = anyChar || (c.mImageRect.width > 0 && c.mImageRect.height > 0);
            anyWidth = anyWidth || c.mWidth > 0;
        }
    }
    if (!anyImage)
        return Error("No Layer Image Set");
    if (!anyChar)
        return Error("No Characters Defined");
    if (!anyWidth)
        return Error("No Character Widths Defined");
    return true;
}

bool FontData::RunCommand(const std::string& command)
{
    ListDataElement tokens;
    size_t pos = 0;
    if (!ReadToken(command, tokens, false, pos))
        return false;
    if (tokens.mElementVector.empty())
        return true;
    const SingleDataElement* name = AsSingle(tokens.mElementVector[0]);
    if (!name)
        return Error("Missing Command");

    ListDataElement args;
    for (size_t i = 1; i < tokens.mElementVector.size(); ++i)
        args.mElementVector.push_back(tokens.mElementVector[i]->Duplicate());

    using Handler = std::function<bool(const ListDataElement&)>;
    struct Command {
        const char* name;
        size_t argCount;
        Handler run;
    };
    const Command commands[] = {
        {"DEFINE", 2, [this](auto& a) { return CmdDefine(a); }},
        {"CREATEHORZSPANRECTLIST", 3, [this](auto& a) { return CmdCreateHorzSpanRectList(a); }},
        {"SETDEFAULTPOINTSIZE", 1, [this](auto& a) { return CmdSetDefaultPointSize(a); }},
        {"SETCHARMAP", 2, [this](auto& a) { return CmdSetCharMap(a); }},
        {"CREATELAYER", 1, [this](auto& a) { return CmdCreateLayer(a); }},
        {"CREATELAYERFROM", 2, [this](auto& a) { return CmdCreateLayerFrom(a); }},
        {"LAYERREQUIRETAGS", 2, [this](auto& a) { return CmdLayerTags(a, true); }},
        {"LAYEREXCLUDETAGS", 2, [this](auto& a) { return CmdLayerTags(a, false); }},
        {"LAYERPOINTRANGE", 3, [this](auto& a) { return CmdLayerPointRange(a); }},
        {"LAYERSETPOINTSIZE", 2, [this](auto& a) { return CmdLayerInt(a, &FontLayer::mPointSize); }},
        {"LAYERSETIMAGE", 2, [this](auto& a) { return CmdLayerSetImage(a); }},
        {"LAYERSETDRAWMODE", 2, [this](auto& a) { return CmdLayerSetDrawMode(a); }},
        {"LAYERSETCOLORMULT", 2, [this](auto& a) { return CmdLayerColor(a, &FontLayer::mColorMult); }},
        {"LAYERSETCOLORADD", 2, [this](auto& a) { return CmdLayerColor(a, &FontLayer::mColorAdd); }},
        {"LAYERSETASCENT", 2, [this](auto& a) { return CmdLayerInt(a, &FontLayer::mAscent); }},
        {"LAYERSETASCENTPADDING", 2, [this](auto& a) { return CmdLayerInt(a, &FontLayer::mAscentPadding); }},
        {"LAYERSETLINESPACINGOFFSET", 2,
         [this](auto& a) { return CmdLayerInt(a, &FontLayer::mLineSpacingOffset); }},
        {"LAYERSETOFFSET", 2, [this](auto& a) { return CmdLayerSetOffset(a); }},
        {"LAYERSETCHARWIDTHS", 3, [this](auto& a) { return CmdLayerCharInts(a, &CharData::mWidth); }},
        {"LAYERSETSPACING", 2, [this](auto& a) { return CmdLayerInt(a, &FontLayer::mSpacing); }},
        {"LAYERSETIMAGEMAP", 3, [this](auto& a) { return CmdLayerSetImageMap(a); }},
        {"LAYERSETCHAROFFSETS", 3, [this](auto& a) { return CmdLayerSetCharOffsets(a); }},
        {"LAYERSETKERNINGPAIRS", 3, [this](auto& a) { return CmdLayerSetKerningPairs(a); }},
        {"LAYERSETBASEORDER", 2, [this](auto& a) { return CmdLayerInt(a, &FontLayer::mBaseOrder); }},
        {"LAYERSETCHARORDERS", 3, [this](auto& a) { return CmdLayerCharInts(a, &CharData::mOrder); }},
    };
    std::string upper = ToUpperCopy(name->mString);
    for (const Command& c : commands) {
        if (upper != c.name)
            continue;
        if (!CheckArgs(args, c.argCount))
            return false;
        return c.run(args);
    }
    return Error("Unknown Command");
}

bool FontData::CheckArgs(const ListDataElement& args, size_t count)
{
    if (args.mElementVector.size() != count)
        return Error("Invalid Number of Parameters");
    return true;
}

bool FontData::GetLayer(const DataElement* value, FontLayer*& layer)
{
    layer = nullptr;
    const SingleDataElement* single = AsSingle(value);
    if (!single)
        return false;
    auto it = mFontLayerMap.find(ToUpperCopy(single->mString));
    if (it == mFontLayerMap.end())
        return Error("Undefined Layer");
    layer = it->second;
    return true;
}

std::string FontData::DataToString(const DataElement* value) const
{
    if (const SingleDataElement* single = AsSingle(value))
        return single->mString;
    std::string text = "(";
    const ListDataElement* list = AsList(value);
    for (size_t i = 0; list && i < list->mElementVector.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += DataToString(list->mElementVector[i]);
    }
    return text + ")";
}

bool FontData::GetInt(const DataElement* value, int& result)
{
    const SingleDataElement* single = AsSingle(value);
    return single && ParseInt(single->mString, result);
}

bool FontData::GetChars(const DataElement* value, std::vector<int>& codes, bool& typeError)
{
    codes.clear();
    std::vector<std::string> strings;
    if (!DataToStringVector(value, strings)) {
        typeError = true;
        return false;
    }
    for (const std::string& s : strings) {
        if (s.size() == 1) {
            codes.push_back(static_cast<uint8_t>(s[0]));
        } else {
            codes.push_back(-1);
            typeError = true;
        }
    }
    return true;
}

size_t FontData::GetInts(const DataElement* value, std::vector<int>& ints, bool& typeError)
{
    ints.clear();
    std::vector<std::string> strings;
    if (!DataToStringVector(value, strings)) {
        typeError = true;
        return 0;
    }
    // Numbers before one that does not parse are still used.
    for (const std::string& s : strings) {
        int v = 0;
        if (!ParseInt(s, v)) {
            typeError = true;
            break;
        }
        ints.push_back(v);
    }
    return strings.size();
}

bool FontData::Finish(bool typeError, size_t size1, size_t size2)
{
    if (typeError)
        return Error(TYPE_ERROR);
    if (size1 != size2)
        return Error("List Size Mismatch");
    return true;
}

bool FontData::CmdDefine(const ListDataElement& args)
{
    const SingleDataElement* name = AsSingle(args.mElementVector[0]);
    if (!name || IsValueToken(name->mString))
        return Error(TYPE_ERROR);
    const DataElement* value = args.mElementVector[1];
    std::string key = ToUpperCopy(name->mString);
    if (auto it = mDefineMap.find(key); it != mDefineMap.end()) {
        delete it->second;
        mDefineMap.erase(it);
    }
    if (const SingleDataElement* single = AsSingle(value)) {
        DataElement* definition = FindDefine(single->mString);
        SetDefine(key, definition ? definition->Duplicate() : single->Duplicate());
        return true;
    }
    auto* resolved = new ListDataElement();
    if (!ResolveDefine(*AsList(value), *resolved)) {
        delete resolved;
        return false;
    }
    SetDefine(key, resolved);
    return true;
}

bool FontData::CmdCreateHorzSpanRectList(const ListDataElement& args)
{
    const SingleDataElement* name = AsSingle(args.mElementVector[0]);
    std::vector<int> rect;
    std::vector<int> widths;
    bool rectOk = DataToIntVector(args.mElementVector[1], rect) && rect.size() == 4;
    bool widthsOk = DataToIntVector(args.mElementVector[2], widths);
    if (!name || IsValueToken(name->mString) || !rectOk || !widthsOk)
        return Error(TYPE_ERROR);
    auto* list = new ListDataElement();
    long long x = rect[0];
    for (int w : widths) {
        auto* r = new ListDataElement();
        for (long long v : {x, static_cast<long long>(rect[1]), static_cast<long long>(w),
                            static_cast<long long>(rect[3])})
            r->mElementVector.push_back(new SingleDataElement(std::to_string(v)));
        list->mElementVector.push_back(r);
        x += w;
    }
    SetDefine(name->mString, list);
    return true;
}

bool FontData::CmdSetDefaultPointSize(const ListDataElement& args)
{
    if (!GetInt(args.mElementVector[0], mDefaultPointSize))
        return Error(TYPE_ERROR);
    return true;
}

bool FontData::CmdSetCharMap(const ListDataElement& args)
{
    bool typeError = false;
    std::vector<int> from;
    std::vector<int> to;
    GetChars(args.mElementVector[0], from, typeError);
    GetChars(args.mElementVector[1], to, typeError);
    for (size_t i = 0; i < std::min(from.size(), to.size()); ++i)
        if (from[i] >= 0 && to[i] >= 0)
            mCharMap[from[i]] = static_cast<uint8_t>(to[i]);
    return Finish(typeError, from.size(), to.size());
}

bool FontData::CmdCreateLayer(const ListDataElement& args)
{
    const SingleDataElement* name = AsSingle(args.mElementVector[0]);
    if (!name)
        return Error(TYPE_ERROR);
    std::string key = ToUpperCopy(name->mString);
    if (mFontLayerMap.count(key))
        return Error("Layer Already Exists");
    mFontLayerList.emplace_back(this);
    mFontLayerList.back().mName = key;
    mFontLayerMap[key] = &mFontLayerList.back();
    return true;
}

bool FontData::CmdCreateLayerFrom(const ListDataElement& args)
{
    const SingleDataElement* name = AsSingle(args.mElementVector[0]);
    FontLayer* source = nullptr;
    if (!name || !GetLayer(args.mElementVector[1], source))
        return Error(TYPE_ERROR);
    std::string key = ToUpperCopy(name->mString);
    if (mFontLayerMap.count(key))
        return Error("Layer Already Exists");
    mFontLayerList.push_back(*source);
    mFontLayerList.back().mName = key;
    mFontLayerMap[key] = &mFontLayerList.back();
    return true;
}

bool FontData::CmdLayerTags(const ListDataElement& args, bool required)
{
    FontLayer* layer = nullptr;
    std::vector<std::string> tags;
    if (!GetLayer(args.mElementVector[0], layer) || !DataToStringVector(args.mElementVector[1], tags))
        return Error(TYPE_ERROR);
    auto& target = required ? layer->mRequiredTags : layer->mExcludedTags;
    for (const std::string& tag : tags)
        target.push_back(ToUpperCopy(tag));
    return true;
}

bool FontData::CmdLayerPointRange(const ListDataElement& args)
{
    FontLayer* layer = nullptr;
    int low = 0;
    int high = 0;
    if (!GetLayer(args.mElementVector[0], layer))
        return Error(TYPE_ERROR);
    bool lowOk = GetInt(args.mElementVector[1], low);
    bool highOk = GetInt(args.mElementVector[2], high);
    if (lowOk)
        layer->mMinPointSize = low;
    if (highOk)
        layer->mMaxPointSize = high;
    return Finish(!lowOk || !highOk, 0, 0);
}

bool FontData::CmdLayerInt(const ListDataElement& args, int FontLayer::*field)
{
    FontLayer* layer = nullptr;
    int value = 0;
    if (!GetLayer(args.mElementVector[0], layer) || !GetInt(args.mElementVector[1], value))
        return Error(TYPE_ERROR);
    layer->*field = value;
    return true;
}

bool FontData::CmdLayerSetImage(const ListDataElement& args)
{
    FontLayer* layer = nullptr;
    const SingleDataElement* file = AsSingle(args.mElementVector[1]);
    if (!GetLayer(args.mElementVector[0], layer) || !file)
        return Error(TYPE_ERROR);
    std::string name = file->mString;
    if (!name.empty() && (name[0] == '\'' || name[0] == '"'))
        name = Unquote(name);
    std::string path = ResolveRelativePath(name, PathDirPart(mSourceFile));
    auto it = mImageMap.find(path);
    if (it != mImageMap.end()) {
        layer->mImage = it->second;
        return true;
    }
    Image* image = mApp ? mApp->LoadFontImage(path) : nullptr;
    if (!image)
        return Error("Failed to Load Image");
    // Glyph images have few distinct pixels; the palette form is smaller and blits
    // from it the same. An image with too many colours simply stays as it is.
    if (auto* memory = dynamic_cast<MemoryImage*>(image))
        memory->Palletize();
    mImageMap[path] = image;
    layer->mImage = image;
    return true;
}

bool FontData::CmdLayerSetDrawMode(const ListDataElement& args)
{
    FontLayer* layer = nullptr;
    int mode = 0;
    if (!GetLayer(args.mElementVector[0], layer) || !GetInt(args.mElementVector[1], mode) ||
        (mode != 0 && mode != 1))
        return Error(TYPE_ERROR);
    layer->mDrawMode = mode;
    return true;
}

bool FontData::CmdLayerColor(const ListDataElement& args, Color FontLayer::*field)
{
    FontLayer* layer = nullptr;
    std::vector<double> v;
    if (!GetLayer(args.mElementVector[0], layer) || !DataToDoubleVector(args.mElementVector[1], v) ||
        v.size() != 4)
        return Error(TYPE_ERROR);
    layer->*field = Color(ChannelFromFraction(v[0]), ChannelFromFraction(v[1]), ChannelFromFraction(v[2]),
                          ChannelFromFraction(v[3]));
    return true;
}

bool FontData::CmdLayerSetOffset(const ListDataElement& args)
{
    FontLayer* layer = nullptr;
    std::vector<int> v;
    if (!GetLayer(args.mElementVector[0], layer) || !DataToIntVector(args.mElementVector[1], v) || v.size() != 2)
        return Error(TYPE_ERROR);
    layer->mOffsetX = v[0];
    layer->mOffsetY = v[1];
    return true;
}

bool FontData::CmdLayerCharInts(const ListDataElement& args, int CharData::*field)
{
    FontLayer* layer = nullptr;
    if (!GetLayer(args.mElementVector[0], layer))
        return Error(TYPE_ERROR);
    bool typeError = false;
    std::vector<int> chars;
    std::vector<int> values;
    GetChars(args.mElementVector[1], chars, typeError);
    size_t valueCount = GetInts(args.mElementVector[2], values, typeError);
    for (size_t i = 0; i < std::min(chars.size(), values.size()); ++i)
        if (chars[i] >= 0)
            layer->mCharData[chars[i]].*field = values[i];
    return Finish(typeError, chars.size(), valueCount);
}

bool FontData::CmdLayerSetImageMap(const ListDataElement& args)
{
    FontLayer* layer = nullptr;
    if (!GetLayer(args.mElementVector[0], layer))
        return Error(TYPE_ERROR);
    if (!layer->mImage)
        return Error("Layer image not set");
    bool typeError = false;
    std::vector<int> chars;
    GetChars(args.mElementVector[1], chars, typeError);
    ListDataElement rects;
    if (!DataToList(args.mElementVector[2], rects))
        typeError = true;
    const long long imageWidth = layer->mImage->GetWidth();
    const long long imageHeight = layer->mImage->GetHeight();
    for (size_t i = 0; i < rects.mElementVector.size(); ++i) {
        std::vector<int> r;
        if (!ResolvedInts(rects.mElementVector[i], r) || r.size() != 4) {
            typeError = true;
            continue;
        }
        long long x = r[0], y = r[1], w = r[2], h = r[3];
        if (x < 0 || y < 0 || w < 0 || h < 0 || x + w > imageWidth || y + h > imageHeight)
            return Error("Image rectangle out of bounds");
        if (i < chars.size() && chars[i] >= 0)
            layer->mCharData[chars[i]].mImageRect = Rect(r[0], r[1], r[2], r[3]);
    }
    int defaultHeight = 0;
    for (const CharData& c : layer->mCharData)
        defaultHeight = std::max(defaultHeight, c.mImageRect.height + c.mOffsetY);
    layer->mDefaultHeight = defaultHeight;
    return Finish(typeError, chars.size(), rects.mElementVector.size());
}

bool FontData::CmdLayerSetCharOffsets(const ListDataElement& args)
{
    FontLayer* layer = nullptr;
    if (!GetLayer(args.mElementVector[0], layer))
        return Error(TYPE_ERROR);
    bool typeError = false;
    std::vector<int> chars;
    GetChars(args.mElementVector[1], chars, typeError);
    ListDataElement offsets;
    if (!DataToList(args.mElementVector[2], offsets))
        typeError = true;
    for (size_t i = 0; i < offsets.mElementVector.size(); ++i) {
        std::vector<int> o;
        if (!ResolvedInts(offsets.mElementVector[i], o) || o.size() != 2) {
            typeError = true;
            continue;
        }
        if (i < chars.size() && chars[i] >= 0) {
            layer->mCharData[chars[i]].mOffsetX = o[0];
            layer->mCharData[chars[i]].mOffsetY = o[1];
        }
    }
    return Finish(typeError, chars.size(), offsets.mElementVector.size());
}

bool FontData::CmdLayerSetKerningPairs(const ListDataElement& args)
{
    FontLayer* layer = nullptr;
    if (!GetLayer(args.mElementVector[0], layer))
        return Error(TYPE_ERROR);
    bool typeError = false;
    std::vector<std::string> pairs;
    std::vector<int> values;
    if (!DataToStringVector(args.mElementVector[1], pairs))
        typeError = true;
    size_t valueCount = GetInts(args.mElementVector[2], values, typeError);
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].size() != 2) {
            typeError = true;
            continue;
        }
        if (i < values.size()) {
            uint8_t a = static_cast<uint8_t>(pairs[i][0]);
            uint8_t b = static_cast<uint8_t>(pairs[i][1]);
            layer->mCharData[a].mKerningOffsets[b] = static_cast<int8_t>(values[i]);
        }
    }
    return Finish(typeError, pairs.size(), valueCount);
}

} // namespace Zant
