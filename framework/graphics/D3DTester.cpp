#include "framework/graphics/D3DTester.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "framework/graphics/DXResult.h"
#include "platform/display/DDTypes.h"

namespace Zant {

using Platform::BlendKind;

namespace {

constexpr int CACHE_VERSION = 2;
constexpr int TARGET_SIZE = 100;
constexpr int TEXTURE_SIZE = 64;
constexpr int MAX_TEXT = 4096;

int SquaredDistance(uint32_t a, uint32_t b)
{
    const int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
    const int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
    const int db = int(a & 0xFF) - int(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

struct BlendTest {
    BlendKind blend;
    uint32_t first, firstVertex;
    uint32_t second, secondVertex; // second 0: none
    uint32_t expected;
    const char* warning;
    const char* failure;
};

// The blends the renderer uses, and (ONE, ONE) that the original renderers had.
constexpr BlendTest BLEND_TESTS[] = {
    {BlendKind::Normal, 0xFF0000FF, 0xFFFFFFFF, 0x80FF0000, 0xFFFFFFFF, 0x7F007F, "Alpha blend test not uniform.",
     "Alpha blend Not Supported"},
    {BlendKind::OneOne, 0xFF404040, 0xFFFFFFFF, 0xFF404040, 0xFFFFFFFF, 0x808080, "Additive blend test not uniform.",
     "Additive blend not supported."},
    {BlendKind::Additive, 0xFF404040, 0xFFFFFFFF, 0x80808080, 0xFFFFFFFF, 0x808080,
     "AlphaAdd blend test not uniform.", "AlphaAdd blend not supported."},
    {BlendKind::Normal, 0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0x80FFFFFF, 0x7F007F,
     "AlphaModulated blend test not uniform.", "AlphaModulated blend not supported."},
};

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string FromStored(const std::vector<uint8_t>& bytes)
{
    std::string s(bytes.begin(), bytes.end());
    // Strings are stored with their terminating zero.
    while (!s.empty() && s.back() == '\0')
        s.pop_back();
    return s;
}

std::vector<uint8_t> ToStored(const std::string& s)
{
    std::vector<uint8_t> bytes(s.begin(), s.end());
    bytes.push_back(0);
    return bytes;
}

} // namespace

// ---- Test image.

void D3DTestImage::Allocate(int width, int height)
{
    mBits.clear();
    mWidth = mHeight = 0;
    if (width <= 0 || height <= 0)
        return;
    mBits.assign(size_t(width) * height, 0);
    mWidth = width;
    mHeight = height;
}

void D3DTestImage::Fill(int x, int y, int width, int height, uint32_t value)
{
    for (int row = std::max(y, 0); row < std::min(y + height, mHeight); ++row)
        for (int col = std::max(x, 0); col < std::min(x + width, mWidth); ++col)
            mBits[size_t(row) * mWidth + col] = value;
}

void D3DTestImage::FillStripes()
{
    for (int row = 0; row < mHeight; ++row)
        for (int col = 0; col < mWidth; ++col)
            mBits[size_t(row) * mWidth + col] = (col % 2) ? 0xFFFFFFFF : 0xFF000000;
}

int D3DTestImage::CountDifferent(uint32_t color, int w, int h, bool& allSame) const
{
    int count = 0;
    allSame = true;
    w = std::min(w, mWidth);
    h = std::min(h, mHeight);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const uint32_t p = mBits[size_t(row) * mWidth + col];
            if (SquaredDistance(p, color) > 768)
                ++count;
            if ((p & 0xFFFFFF) != (mBits[0] & 0xFFFFFF))
                allSame = false;
        }
    return count;
}

int D3DTestImage::CountBadStripes(int w, int h, int x, int y) const
{
    int count = 0;
    for (int row = y; row < std::min(y + h, mHeight); ++row)
        for (int col = x; col < std::min(x + w, mWidth); ++col) {
            const uint32_t want = ((col - x) % 2) ? 0xFFFFFF : 0x000000;
            if (SquaredDistance(mBits[size_t(row) * mWidth + col], want) > 768)
                ++count;
        }
    return count;
}

// ---- Drawing tests.

D3DDrawingVerdict D3DDrawingTest::Run(Platform::RenderDevice* device)
{
    if (!device)
        return D3DDrawingVerdict{};
    D3DDrawingTest test(device);
    test.mVerdict.conclusive = true;
    try {
        if (test.Setup())
            test.RunAll();
    } catch (const TestException& e) {
        test.mVerdict.failureReason = e.what();
    }
    return test.mVerdict;
}

D3DDrawingTest::~D3DDrawingTest()
{
    for (Platform::TextureId t : mTextures)
        if (t)
            mDevice->DestroyTexture(t);
    if (mTarget) {
        // A test that failed half-way may have left the target in place.
        mDevice->SetTarget(0);
        mDevice->DestroyTexture(mTarget);
    }
}

void D3DDrawingTest::Throw(const std::string& step)
{
    throw TestException("DXError - " + step + ": " + DirectXErrorName(Platform::DDERR_UNSUPPORTED));
}

bool D3DDrawingTest::Setup()
{
    const Platform::RenderCaps caps = mDevice->Caps();
    const std::string description = Lower(caps.description);
    if (description.find("nvidia") == std::string::npos && description.find("radeon") == std::string::npos &&
        description.find("ati ") == std::string::npos)
        mVerdict.warning = "Unsupported video card.";

    if (!caps.targetTextures)
        Throw("CreateDevice");
    mTarget = mDevice->CreateTarget(TARGET_SIZE, TARGET_SIZE);
    if (!mTarget)
        Throw("CreateSurface (Primary)");
    mTestImage.Allocate(TARGET_SIZE, TARGET_SIZE);

    if (!caps.argb8888) {
        mVerdict.warning = "A8R8G8B8 texture format not supported.";
        if (!caps.argb4444) {
            mVerdict.failureReason = "A4R4G4B4 and A8R8G8B8 texture formats not supported.";
            return false;
        }
    }
    mUse8888 = caps.argb8888;
    const auto format = mUse8888 ? Platform::TextureFormat::ARGB8888 : Platform::TextureFormat::ARGB4444;
    mTextures[0] = mDevice->CreateTexture(format, TEXTURE_SIZE, TEXTURE_SIZE);
    if (!mTextures[0])
        Throw("CreateSurface (TextureSurface1)");
    mTextures[1] = mDevice->CreateTexture(format, TEXTURE_SIZE, TEXTURE_SIZE);
    if (!mTextures[1])
        Throw("CreateSurface (TextureSurfacd2)");
    return true;
}

void D3DDrawingTest::DrawTestImage(const D3DTestImage& image, int x, int y, uint32_t vertexColor, BlendKind blend,
                                   bool& drawn)
{
    // One quad per 64 x 64 tile, each uploaded into the first texture.
    const int bytes = mUse8888 ? 4 : 2;
    mUpload.resize(size_t(TEXTURE_SIZE) * TEXTURE_SIZE * bytes);
    for (int ty = 0; ty < image.mHeight; ty += TEXTURE_SIZE) {
        for (int tx = 0; tx < image.mWidth; tx += TEXTURE_SIZE) {
            const int w = std::min(TEXTURE_SIZE, image.mWidth - tx), h = std::min(TEXTURE_SIZE, image.mHeight - ty);
            if (w < TEXTURE_SIZE || h < TEXTURE_SIZE)
                std::fill(mUpload.begin(), mUpload.end(), uint8_t(0));
            for (int row = 0; row < h; ++row)
                for (int col = 0; col < w; ++col) {
                    const uint32_t c = image.mBits[size_t(ty + row) * image.mWidth + tx + col];
                    uint8_t* out = mUpload.data() + (size_t(row) * TEXTURE_SIZE + col) * bytes;
                    if (mUse8888) {
                        std::memcpy(out, &c, 4);
                    } else {
                        const uint16_t v = uint16_t(((c >> 16) & 0xF000) | ((c >> 12) & 0x0F00) |
                                                    ((c >> 8) & 0x00F0) | ((c >> 4) & 0x000F));
                        std::memcpy(out, &v, 2);
                    }
                }
            if (!mDevice->UpdateTexture(mTextures[0], mUpload.data(), TEXTURE_SIZE * bytes))
                Throw("Texture Unlock");
            const float x0 = float(x + tx) - 0.5f, y0 = float(y + ty) - 0.5f;
            const float u1 = float(w) / TEXTURE_SIZE, v1 = float(h) / TEXTURE_SIZE;
            const Platform::RenderVertex strip[4] = {{x0, y0, vertexColor, 0, 0},
                                                     {x0, y0 + float(h), vertexColor, 0, v1},
                                                     {x0 + float(w), y0, vertexColor, u1, 0},
                                                     {x0 + float(w), y0 + float(h), vertexColor, u1, v1}};
            if (!mDevice->Draw(Platform::Primitive::TriangleStrip, mTextures[0], strip, 4, blend, false))
                drawn = false;
        }
    }
}

void D3DDrawingTest::CopyPrimary()
{
    if (!mDevice->ReadPixels(0, 0, mTestImage.mWidth, mTestImage.mHeight, 32, mTestImage.mBits.data(),
                             mTestImage.mWidth * 4))
        Throw("CopyPrimary Lock");
    for (uint32_t& p : mTestImage.mBits)
        p |= 0xFF000000;
}

bool D3DDrawingTest::DrawTest(int test)
{
    mDevice->SetTarget(mTarget);
    mDevice->Clear(0xFF000000);
    bool drawn = true;
    if (test < int(std::size(BLEND_TESTS))) {
        const BlendTest& t = BLEND_TESTS[test];
        mTestImage.Fill(0, 0, mTestImage.mWidth, mTestImage.mHeight, t.first);
        DrawTestImage(mTestImage, 0, 0, t.firstVertex, t.blend, drawn);
        mTestImage.Fill(0, 0, mTestImage.mWidth, mTestImage.mHeight, t.second);
        DrawTestImage(mTestImage, 0, 0, t.secondVertex, t.blend, drawn);
        CopyPrimary();
        mDevice->SetTarget(0);
        bool allSame = true;
        if (!drawn || mTestImage.CountDifferent(t.expected, 10, 10, allSame) > 0) {
            mVerdict.failureReason = t.failure;
            return false;
        }
        if (!allSame)
            mVerdict.warning = t.warning;
        return true;
    }
    // Clip: stripes drawn partly off the target must land column for column.
    mTestImage.FillStripes();
    DrawTestImage(mTestImage, -2, -2, 0xFFFFFFFF, BlendKind::Normal, drawn);
    CopyPrimary();
    mDevice->SetTarget(0);
    if (!drawn || mTestImage.CountBadStripes(62, 62, 0, 0) > 0)
        mVerdict.warning = "Clip problem detected.";
    return true;
}

bool D3DDrawingTest::RunAll()
{
    for (int test = 0; test <= int(std::size(BLEND_TESTS)); ++test)
        if (!DrawTest(test))
            return false;
    return true;
}

// ---- Tester.

D3DTester::D3DTester(D3DTestHost* host) : mHost(host) {}

void D3DTester::SetVidMemoryConstraints(int minimum, int recommended)
{
    mMinVidMemory = minimum;
    mRecVidMemory = recommended;
}

std::array<uint8_t, 16> D3DTester::AdapterId(const std::string& description)
{
    // Two FNV-1a passes with different offsets: the same description gives the same
    // identity in every run.
    std::array<uint8_t, 16> id{};
    uint64_t halves[2] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull};
    for (uint64_t& h : halves)
        for (unsigned char c : description) {
            h ^= c;
            h *= 0x100000001b3ull;
        }
    for (int i = 0; i < 16; ++i)
        id[size_t(i)] = uint8_t(halves[i / 8] >> (8 * (i % 8)));
    return id;
}

void D3DTester::TestD3D(const D3DTestInput& input)
{
    if (!Begin(input))
        Finish(true);
}

bool D3DTester::Begin(const D3DTestInput& input)
{
    mPendingDrawing = nullptr;
    mDrawingStarted = false;
    if (mHost && mHost->IsPlayingDemo()) {
        // A playback takes the recorded verdict and tests nothing.
        Conclude();
        return true;
    }
    mResultsToWrite = false;
    Platform::RenderDevice* device = nullptr;
    if (Setup(input, device)) {
        if (input.drawing && !input.adapter.empty()) {
            mPendingDrawing = input.drawing;
            return false;
        }
        if (!device && input.device)
            device = input.device();
        TakeDrawingVerdict(D3DDrawingTest::Run(device));
    }
    Conclude();
    return true;
}

bool D3DTester::Finish(bool wait)
{
    if (!mPendingDrawing)
        return true;
    D3DDrawingVerdict verdict;
    if (!mDrawingStarted) {
        mDrawingStarted = true;
        if (!mPendingDrawing->Start()) {
            mPendingDrawing = nullptr;
            TakeDrawingVerdict(verdict);
            Conclude();
            return true;
        }
    }
    if (!mPendingDrawing->Poll(wait, verdict))
        return false;
    mPendingDrawing = nullptr;
    TakeDrawingVerdict(verdict);
    Conclude();
    return true;
}

bool D3DTester::Setup(const D3DTestInput& input, Platform::RenderDevice*& device)
{
    if (mUseRegistryCache && mHost)
        mCacheOpen = mHost->OpenCache();
    if (input.adapter.empty()) {
        device = input.device ? input.device() : nullptr;
        if (!device) {
            TakeDrawingVerdict(D3DDrawingVerdict{});
            return false;
        }
    }
    mDisplayGuid = AdapterId(input.adapter.empty() ? device->Caps().description : input.adapter);

    const int64_t bytes =
        int64_t(input.desktopBits / 8) * input.desktopWidth * input.desktopHeight + input.videoMemoryBytes;
    const int64_t megabytes = bytes >> 20;
    if (megabytes < mMinVidMemory) {
        mFailureReason = "Not enough video memory.";
        return false;
    }
    if (megabytes < mRecVidMemory)
        mWarning = "Low video memory.";

    if (mUseRegistryCache) {
        if (CacheUsable())
            return false;
        mResultsToWrite = true;
    }
    return true;
}

void D3DTester::TakeDrawingVerdict(const D3DDrawingVerdict& verdict)
{
    if (!verdict.conclusive) {
        // No verdict on the adapter: the next run tries again.
        mFailureReason = "No DirectDrawCreateEx";
        mResultsToWrite = false;
        return;
    }
    // A later warning replaces an earlier one.
    if (!verdict.failureReason.empty())
        mFailureReason = verdict.failureReason;
    if (!verdict.warning.empty())
        mWarning = verdict.warning;
}

void D3DTester::Conclude()
{
    if (mResultsToWrite)
        WriteCache();
    mResultsToWrite = false;
    mCacheOpen = false;
    // A recording keeps the verdict; a playback takes the recorded one.
    if (mHost) {
        mHost->DemoSyncText(mFailureReason);
        mHost->DemoSyncText(mWarning);
    }
}

bool D3DTester::CacheUsable()
{
    mFreshResult = true;
    if (!mCacheOpen || !mHost)
        return false;
    int version = 0, minimum = 0, recommended = 0;
    std::vector<uint8_t> guid, failure, warning;
    if (!mHost->ReadCacheInt("Version", version) || version != CACHE_VERSION ||
        !mHost->ReadCacheInt("MinVidMemory", minimum) || minimum != mMinVidMemory ||
        !mHost->ReadCacheInt("RecVidMemory", recommended) || recommended != mRecVidMemory ||
        !mHost->ReadCacheBytes("DisplayGUID", guid, 16) || guid.size() != 16 ||
        !std::equal(guid.begin(), guid.end(), mDisplayGuid.begin()) ||
        !mHost->ReadCacheBytes("FailureReason", failure, MAX_TEXT) ||
        !mHost->ReadCacheBytes("Warning", warning, MAX_TEXT))
        return false;
    mFailureReason = FromStored(failure);
    mWarning = FromStored(warning);
    mFreshResult = false;
    return true;
}

void D3DTester::WriteCache()
{
    if (!mCacheOpen || !mHost)
        return;
    mHost->WriteCacheInt("Version", CACHE_VERSION);
    mHost->WriteCacheInt("MinVidMemory", mMinVidMemory);
    mHost->WriteCacheInt("RecVidMemory", mRecVidMemory);
    mHost->WriteCacheBytes("DisplayGUID", std::vector<uint8_t>(mDisplayGuid.begin(), mDisplayGuid.end()), false);
    mHost->WriteCacheBytes("FailureReason", ToStored(mFailureReason), true);
    mHost->WriteCacheBytes("Warning", ToStored(mWarning), true);
}

} // namespace Zant
