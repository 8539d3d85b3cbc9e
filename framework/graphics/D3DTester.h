#pragma once
// Decides whether the 3D device can draw the game: checks the video memory and the
// driver, makes a small target, draws test quads with each blend the renderer uses,
// reads the pixels back and compares them with the expected colours. The verdict is
// a failure reason (3D must not be used) and a warning (3D works but is not
// recommended); both empty recommends 3D. The verdict is cached in the settings
// store per adapter, so the drawing runs again only when the adapter, the memory
// limits or the cache version change; the device is made only for the drawing, which
// can run elsewhere (a helper copy of the program) while the game goes on.
#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/display/RenderDevice.h"

namespace Zant {

// What the test needs of the application: demo playback and text sync, and the
// settings store under the cache's key ("Test3D").
class D3DTestHost {
public:
    virtual ~D3DTestHost() = default;
    virtual bool IsPlayingDemo() = 0;
    virtual void DemoSyncText(std::string& text) = 0;
    // false when the cache key cannot be opened or made.
    virtual bool OpenCache() = 0;
    virtual bool ReadCacheInt(const std::string& name, int& value) = 0;
    virtual bool ReadCacheBytes(const std::string& name, std::vector<uint8_t>& bytes, int maxLength) = 0;
    virtual void WriteCacheInt(const std::string& name, int value) = 0;
    virtual void WriteCacheBytes(const std::string& name, const std::vector<uint8_t>& bytes, bool isString) = 0;
};

class D3DTestImage {
public:
    virtual ~D3DTestImage() = default;
    void Allocate(int width, int height);
    void Fill(int x, int y, int width, int height, uint32_t value);
    // Column x 0xFF000000 when x is even, 0xFFFFFFFF when odd.
    void FillStripes();
    // Pixels of the top-left w x h whose squared RGB distance from colour exceeds 768;
    // allSame tells whether all of them equal the first pixel.
    int CountDifferent(uint32_t color, int w, int h, bool& allSame) const;
    int CountBadStripes(int w, int h, int x, int y) const;

    std::vector<uint32_t> mBits;
    int mWidth = 0;
    int mHeight = 0;
};

// What the drawing tests found.
struct D3DDrawingVerdict {
    // False when nothing could be tested (no 3D device could be made): no verdict on
    // the adapter, and the next run tests again.
    bool conclusive = false;
    std::string failureReason;
    std::string warning;
};

// The drawing tests on one device: the driver rule, a small target, two textures,
// each blend the renderer uses drawn and read back, and the clip test. A null
// device is an inconclusive verdict.
class D3DDrawingTest {
public:
    class TestException : public std::runtime_error {
    public:
        explicit TestException(const std::string& message) : std::runtime_error(message) {}
    };

    static D3DDrawingVerdict Run(Platform::RenderDevice* device);

private:
    explicit D3DDrawingTest(Platform::RenderDevice* device) : mDevice(device) {}
    ~D3DDrawingTest();
    bool Setup();
    bool RunAll();
    bool DrawTest(int test);
    void DrawTestImage(const D3DTestImage& image, int x, int y, uint32_t vertexColor, Platform::BlendKind blend,
                       bool& drawn);
    void CopyPrimary();
    [[noreturn]] void Throw(const std::string& step);

    Platform::RenderDevice* mDevice;
    D3DDrawingVerdict mVerdict;
    Platform::TextureId mTarget = 0;
    Platform::TextureId mTextures[2] = {0, 0};
    bool mUse8888 = true;
    D3DTestImage mTestImage;
    std::vector<uint8_t> mUpload;
};

// Where the drawing tests run when they must: in a helper copy of the program, so
// that the graphics driver they load never enters the game's own process.
class D3DTestDrawing {
public:
    virtual ~D3DTestDrawing() = default;
    // False when the tests cannot be started (an inconclusive verdict).
    virtual bool Start() = 0;
    // True once the verdict is in; wait: until then (each way has its time limit).
    virtual bool Poll(bool wait, D3DDrawingVerdict& verdict) = 0;
};

// What the test measures of the machine.
struct D3DTestInput {
    // Makes the 3D device in this process (null when there is none). Asked only when
    // the drawing tests must run (the device loads the graphics driver, which a cached
    // verdict does without) and no drawing elsewhere is given, or to name an adapter
    // the display cannot name.
    std::function<Platform::RenderDevice*()> device;
    // Runs the drawing tests elsewhere, in the background (not owned; it must outlive
    // the test). Used only with a named adapter.
    D3DTestDrawing* drawing = nullptr;
    // The adapter's identity as the display knows it without a device; "" when it
    // cannot tell, and the device's description stands for it.
    std::string adapter;
    int desktopBits = 32;
    int desktopWidth = 0;
    int desktopHeight = 0;
    int64_t videoMemoryBytes = 0; // what the display reports for video-memory surfaces
};

class D3DTester {
public:
    explicit D3DTester(D3DTestHost* host);
    virtual ~D3DTester() = default;

    void SetVidMemoryConstraints(int minimum, int recommended);
    // The whole test, the drawing tests waited for wherever they run.
    void TestD3D(const D3DTestInput& input);
    // Begins the test: true when the verdict is in, false when the drawing tests must
    // run elsewhere first (Finish then starts them and takes their verdict).
    bool Begin(const D3DTestInput& input);
    // Starts the drawing tests when they have not started, and takes their verdict
    // once it is in (wait: until then); true when the verdict is in.
    bool Finish(bool wait);
    bool Pending() const { return mPendingDrawing != nullptr; }
    bool DrawingStarted() const { return mDrawingStarted; }

    bool IsSupported() const { return mFailureReason.empty(); }
    bool IsRecommended() const { return mFailureReason.empty() && mWarning.empty(); }
    // A stable identity of the adapter: 16 bytes of a hash of its description.
    static std::array<uint8_t, 16> AdapterId(const std::string& description);

    std::string mFailureReason;
    std::string mWarning;
    int mMinVidMemory = 6;
    int mRecVidMemory = 14;
    bool mUseRegistryCache = true;
    bool mResultsToWrite = false;
    bool mFreshResult = false;
    std::array<uint8_t, 16> mDisplayGuid{};

private:
    // The checks before the drawing: true when the drawing tests must run.
    bool Setup(const D3DTestInput& input, Platform::RenderDevice*& device);
    bool CacheUsable();
    void WriteCache();
    void TakeDrawingVerdict(const D3DDrawingVerdict& verdict);
    // Caches a new verdict and hands both texts to the demo.
    void Conclude();

    D3DTestHost* mHost;
    bool mCacheOpen = false;
    D3DTestDrawing* mPendingDrawing = nullptr;
    bool mDrawingStarted = false;
};

} // namespace Zant
