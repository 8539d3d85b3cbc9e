#include "framework/graphics/ImageFont.h"

#include <algorithm>
#include <cstdint>

#include "framework/graphics/FontData.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/TextWatch.h"
#include "framework/util/StringUtil.h"

namespace Zant {

namespace {

// One glyph waiting to be drawn.
struct RenderCommand {
    Image* mImage = nullptr;
    int mDestX = 0;
    int mDestY = 0;
    Rect mSrc;
    int mMode = 0;
    Color mColor;
    RenderCommand* mNext = nullptr;
};

// Drawing reuses these from the start on every call (main thread only), so it
// allocates nothing. Between calls every bucket is empty: a call empties the ones it
// filled rather than clearing all 256 first (strings are short, and many a frame).
RenderCommand gRenderCommandPool[ImageFont::MAX_RENDER_COMMANDS];
RenderCommand* gRenderHead[256];
RenderCommand* gRenderTail[256];

// Rescaled glyph images larger than this are not made.
constexpr int64_t MAX_SCALED_PIXELS = int64_t(1) << 24;
constexpr int64_t MAX_SCALED_SIDE = 16384;

int Scale(int value, int n, int d)
{
    int64_t scaled = int64_t(value) * n / d;
    return static_cast<int>(std::clamp<int64_t>(scaled, INT32_MIN / 2, INT32_MAX / 2));
}

int Channel(int mult, int colour, int add)
{
    int value = mult * colour / 255 + add;
    return value > 254 ? 255 : std::max(0, value);
}

} // namespace

ActiveFontLayer::ActiveFontLayer(const ActiveFontLayer& other)
    : mBaseFontLayer(other.mBaseFontLayer), mScaledImage(other.mScaledImage), mOwnsImage(other.mOwnsImage)
{
    std::copy(std::begin(other.mScaledCharImageRects), std::end(other.mScaledCharImageRects),
              std::begin(mScaledCharImageRects));
    if (mOwnsImage && mScaledImage)
        mScaledImage = new MemoryImage(*static_cast<MemoryImage*>(other.mScaledImage));
}

ActiveFontLayer::~ActiveFontLayer()
{
    if (mOwnsImage)
        delete mScaledImage;
}

ImageFont::ImageFont(FontHost* app, const std::string& descriptorPath) : mFontData(new FontData())
{
    mFontData->AddRef();
    mFontData->LoadDescriptor(app, descriptorPath);
    mPointSize = mFontData->mDefaultPointSize;
    GenerateActiveFontLayers();
    mActiveListValid = true;
}

ImageFont::ImageFont(FontData* fontData) : mFontData(fontData)
{
    mFontData->AddRef();
    mPointSize = mFontData->mDefaultPointSize;
    GenerateActiveFontLayers();
    mActiveListValid = true;
}

ImageFont::ImageFont(const ImageFont& other)
    : Font(other), mFontData(other.mFontData), mPointSize(other.mPointSize), mTagVector(other.mTagVector),
      mActiveListValid(other.mActiveListValid)
{
    mFontData->AddRef();
    if (mActiveListValid)
        for (const ActiveFontLayer& layer : other.mActiveLayerList)
            mActiveLayerList.emplace_back(layer);
}

ImageFont::~ImageFont()
{
    mActiveLayerList.clear();
    mFontData->Release();
}

const std::string& ImageFont::LoadError() const { return mFontData->mLoadError; }
bool ImageFont::LoadErrorShown() const { return mFontData->mErrorShown; }

bool ImageFont::IsLoaded() const
{
    return mFontData->mInitialized;
}

Font* ImageFont::Duplicate()
{
    return new ImageFont(*this);
}

void ImageFont::GenerateActiveFontLayers()
{
    if (!mFontData->mInitialized)
        return;
    mActiveLayerList.clear();
    mAscent = 0;
    mAscentPadding = 0;
    mHeight = 0;
    mLineSpacingOffset = 0;
    const int P = mPointSize;
    bool first = true;
    for (FontLayer& layer : mFontData->mFontLayerList) {
        if (P < layer.mMinPointSize || (layer.mMaxPointSize != -1 && P > layer.mMaxPointSize))
            continue;
        bool tagsFit = true;
        for (const std::string& tag : layer.mRequiredTags)
            if (std::find(mTagVector.begin(), mTagVector.end(), tag) == mTagVector.end())
                tagsFit = false;
        for (const std::string& tag : mTagVector)
            if (std::find(layer.mExcludedTags.begin(), layer.mExcludedTags.end(), tag) != layer.mExcludedTags.end())
                tagsFit = false;
        if (!tagsFit)
            continue;

        ActiveFontLayer& active = mActiveLayerList.emplace_back();
        active.mBaseFontLayer = &layer;
        int n = 1;
        int d = 1;
        if (layer.mPointSize == 0 || layer.mPointSize == P) {
            active.mScaledImage = layer.mImage;
            active.mOwnsImage = false;
            for (int c = 0; c < 256; ++c)
                active.mScaledCharImageRects[c] = layer.mCharData[c].mImageRect;
        } else {
            n = P;
            d = layer.mPointSize;
            // Glyphs side by side in one row, each scaled by n / d.
            int64_t x = 0;
            int64_t tallest = 0;
            for (int c = 0; c < 256; ++c) {
                const Rect& r = layer.mCharData[c].mImageRect;
                int64_t w = std::clamp<int64_t>(int64_t(r.width) * n / d, 0, MAX_SCALED_SIDE);
                int64_t h = std::clamp<int64_t>(int64_t(r.height) * n / d, 0, MAX_SCALED_SIDE);
                active.mScaledCharImageRects[c] = Rect(static_cast<int>(x), 0, static_cast<int>(w), static_cast<int>(h));
                x += w;
                tallest = std::max(tallest, h);
            }
            FontHost* host = mFontData->mApp;
            if (x * tallest <= MAX_SCALED_PIXELS && x <= INT32_MAX) {
                MemoryImage* image = host ? host->NewFontImage() : new MemoryImage();
                image->Create(static_cast<int>(x), static_cast<int>(tallest));
                active.mScaledImage = image;
                active.mOwnsImage = true;
                if (layer.mImage && x > 0 && tallest > 0) {
                    Graphics g(image);
                    for (int c = 0; c < 256; ++c) {
                        const Rect& dest = active.mScaledCharImageRects[c];
                        if (dest.width > 0 && dest.height > 0)
                            g.DrawImage(layer.mImage, dest, layer.mCharData[c].mImageRect);
                    }
                }
            } else {
                for (Rect& r : active.mScaledCharImageRects)
                    r = Rect();
            }
        }

        int height = layer.mHeight == 0 ? layer.mDefaultHeight : layer.mHeight;
        mAscent = std::max(mAscent, Scale(layer.mAscent, n, d));
        mHeight = std::max(mHeight, Scale(height, n, d));
        int padding = Scale(layer.mAscentPadding, n, d);
        int lineSpacing = Scale(layer.mLineSpacingOffset, n, d);
        mAscentPadding = first ? padding : std::min(mAscentPadding, padding);
        mLineSpacingOffset = first ? lineSpacing : std::max(mLineSpacingOffset, lineSpacing);
        first = false;
    }
}

void ImageFont::Prepare()
{
    if (!mActiveListValid) {
        GenerateActiveFontLayers();
        mActiveListValid = true;
    }
}

int ImageFont::CharWidthKern(char c, char prev)
{
    Prepare();
    const uint8_t mapped = mFontData->mCharMap[static_cast<uint8_t>(c)];
    const uint8_t mappedPrev = prev != 0 ? mFontData->mCharMap[static_cast<uint8_t>(prev)] : 0;
    int best = 0;
    for (const ActiveFontLayer& active : mActiveLayerList) {
        const FontLayer& layer = *active.mBaseFontLayer;
        int width = layer.mCharData[mapped].mWidth;
        int kern = mappedPrev != 0 ? layer.mCharData[mappedPrev].mKerningOffsets[mapped] + layer.mSpacing : 0;
        if (layer.mPointSize != 0) {
            width = Scale(width, mPointSize, layer.mPointSize);
            kern = Scale(kern, mPointSize, layer.mPointSize);
        }
        best = std::max(best, width + kern);
    }
    return best;
}

int ImageFont::CharWidth(char c)
{
    return CharWidthKern(c, 0);
}

int ImageFont::StringWidth(const std::string& text)
{
    int width = 0;
    char prev = 0;
    for (char c : text) {
        width += CharWidthKern(c, prev);
        prev = c;
    }
    return width;
}

void ImageFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip)
{
    DrawStringEx(g, x, y, text, color, &clip, nullptr, nullptr);
}

void ImageFont::DrawStringEx(Graphics* g, int x, int y, const std::string& text, const Color& color,
                             const Rect* clip, std::vector<Rect>* rects, int* width)
{
    if (rects)
        rects->clear();
    if (!mFontData->mInitialized) {
        if (width)
            *width = 0;
        return;
    }
    Prepare();
    const bool colorizeWas = g->GetColorizeImages();
    g->SetColorizeImages(true);
    TextWatch* watch = CurrentTextWatch();
    std::vector<WatchedGlyph> watched;

    int used = 0;
    int firstBucket = 256, lastBucket = -1;
    int penX = x;
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t c = mFontData->mCharMap[static_cast<uint8_t>(text[i])];
        const uint8_t next = i + 1 < text.size() ? mFontData->mCharMap[static_cast<uint8_t>(text[i + 1])] : 0;
        int nextPenX = penX;
        for (const ActiveFontLayer& active : mActiveLayerList) {
            const FontLayer& layer = *active.mBaseFontLayer;
            const CharData& record = layer.mCharData[c];
            int glyphX;
            int glyphY;
            int advance;
            int kern;
            if (layer.mPointSize == 0) {
                glyphX = layer.mOffsetX + record.mOffsetX + penX;
                glyphY = (layer.mOffsetY - layer.mAscent) + record.mOffsetY + y;
                advance = record.mWidth;
                kern = next != 0 ? record.mKerningOffsets[next] + layer.mSpacing : 0;
            } else {
                const int n = mPointSize;
                const int d = layer.mPointSize;
                glyphX = Scale(layer.mOffsetX + record.mOffsetX, n, d) + penX;
                glyphY = y - Scale((layer.mAscent - layer.mOffsetY) - record.mOffsetY, n, d);
                advance = Scale(record.mWidth, n, d);
                kern = next != 0 ? Scale(record.mKerningOffsets[next] + layer.mSpacing, n, d) : 0;
            }
            Color tinted(Channel(layer.mColorMult.red, color.red, layer.mColorAdd.red),
                         Channel(layer.mColorMult.green, color.green, layer.mColorAdd.green),
                         Channel(layer.mColorMult.blue, color.blue, layer.mColorAdd.blue),
                         Channel(layer.mColorMult.alpha, color.alpha, layer.mColorAdd.alpha));
            int bucket = std::clamp(layer.mBaseOrder + record.mOrder + 128, 0, 255);
            if (used >= MAX_RENDER_COMMANDS)
                break;
            nextPenX = std::max(nextPenX, penX + advance + kern);
            if (watch != nullptr) {
                watched.push_back({layer.mName, Rect(glyphX + g->GetTransX(), glyphY + g->GetTransY(),
                                                     active.mScaledCharImageRects[c].width,
                                                     active.mScaledCharImageRects[c].height)});
                if (!watch->DrawsLayer(layer.mName, tinted))
                    continue;
            }
            RenderCommand& command = gRenderCommandPool[used++];
            command.mImage = active.mScaledImage;
            command.mDestX = glyphX;
            command.mDestY = glyphY;
            command.mSrc = active.mScaledCharImageRects[c];
            command.mMode = layer.mDrawMode;
            command.mColor = tinted;
            command.mNext = nullptr;
            if (gRenderTail[bucket])
                gRenderTail[bucket]->mNext = &command;
            else
                gRenderHead[bucket] = &command;
            gRenderTail[bucket] = &command;
            firstBucket = std::min(firstBucket, bucket);
            lastBucket = std::max(lastBucket, bucket);
            if (rects)
                rects->push_back(Rect(glyphX, glyphY, command.mSrc.width, command.mSrc.height));
        }
        if (used >= MAX_RENDER_COMMANDS && nextPenX == penX)
            break;
        penX = nextPenX;
    }
    if (width)
        *width = penX - x;

    const Color colorWas = g->GetColor();
    for (int bucket = firstBucket; bucket <= lastBucket; ++bucket) {
        for (RenderCommand* command = gRenderHead[bucket]; command; command = command->mNext) {
            const int modeWas = g->GetDrawMode();
            if (command->mMode != -1)
                g->SetDrawMode(command->mMode);
            g->SetColor(command->mColor);
            if (command->mImage)
                g->DrawImage(command->mImage, command->mDestX, command->mDestY, command->mSrc);
            g->SetDrawMode(modeWas);
        }
        gRenderHead[bucket] = nullptr;
        gRenderTail[bucket] = nullptr;
    }
    g->SetColor(colorWas);
    g->SetColorizeImages(colorizeWas);
    if (watch != nullptr)
        watch->TextDrawn(g->GetDestImage(), text, color, watched);
}

void ImageFont::SetPointSize(int pointSize)
{
    mPointSize = pointSize;
    mActiveListValid = false;
}

int ImageFont::GetPointSize()
{
    return mPointSize;
}

int ImageFont::GetDefaultPointSize()
{
    return mFontData->mDefaultPointSize;
}

void ImageFont::AddTag(const std::string& tag)
{
    if (HasTag(tag))
        return;
    mTagVector.push_back(ToUpperCopy(tag));
    mActiveListValid = false;
}

void ImageFont::RemoveTag(const std::string& tag)
{
    auto it = std::find(mTagVector.begin(), mTagVector.end(), ToUpperCopy(tag));
    if (it != mTagVector.end())
        mTagVector.erase(it);
    mActiveListValid = false;
}

bool ImageFont::HasTag(const std::string& tag)
{
    return std::find(mTagVector.begin(), mTagVector.end(), tag) != mTagVector.end();
}

std::string ImageFont::GetDefine(const std::string& name)
{
    DataElement* definition = mFontData->FindDefine(name);
    return definition ? mFontData->DataToString(definition) : std::string();
}

} // namespace Zant
