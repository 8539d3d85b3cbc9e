#pragma once
// Draws the screen image through the 3D device when the display's 3D mode is on.
// Every image drawn becomes a grid of power-of-two texture pieces (an
// ImageTextureSet hung on the image), uploaded again when the image's change counter
// moves; blits, stretches, rotations (clipped polygon by polygon), textured
// triangles, fills and lines become pre-transformed primitives blended source alpha
// over inverse source alpha (normal) or source alpha onto the screen (additive),
// each tinted by its colour.
//
// Render calls run on the main thread only. An image destroyed on another thread
// hands its textures to a queue that the main thread empties at its next draw.
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/util/Matrix3.h"
#include "platform/display/DDTypes.h"
#include "platform/display/RenderDevice.h"

namespace Zant {

class DDInterface;
class Image;
class MemoryImage;

// Texture format classes: bits of the usable set and the format of a texture set.
enum TextureFormatClass {
    TEXFMT_A8R8G8B8 = 1,
    TEXFMT_A4R4G4B4 = 2,
    TEXFMT_R5G6B5 = 4,
    TEXFMT_PALETTE8 = 8,
};

// Bits of an image's texture-flags word.
enum TextureFlag {
    TEXFLAG_POWER_OF_TWO = 1, // plain powers of two for piece sizes
    TEXFLAG_64_PIECES = 2,    // 64 x 64 pieces
    TEXFLAG_PREFER_4444 = 4,  // A4R4G4B4 before A8R8G8B8
    TEXFLAG_NO_565 = 8,       // never R5G6B5
};

// A pre-transformed vertex: screen pixels, depth 0, reciprocal w 1, the diffuse
// colour (0xAARRGGBB), no specular colour, texture coordinates.
struct D3DTLVertex {
    float sx = 0, sy = 0, sz = 0, rhw = 1;
    uint32_t color = 0, specular = 0;
    float tu = 0, tv = 0;
};

// A corner of DrawTexturedTriangle: screen pixels, and u, v over the whole image.
struct TriVertex {
    float x = 0, y = 0, u = 0, v = 0;
};

// Polygon vertices: room for 100 inside, more on the heap.
class VertexList {
public:
    static constexpr int INSIDE = 100;
    void clear() { mSize = 0; }
    int size() const { return mSize; }
    void push_back(const D3DTLVertex& v);
    D3DTLVertex& operator[](int i) { return Data()[i]; }
    const D3DTLVertex& operator[](int i) const { return Data()[i]; }
    const D3DTLVertex* Data() const { return mHeap.empty() ? mInside : mHeap.data(); }
    D3DTLVertex* Data() { return mHeap.empty() ? mInside : mHeap.data(); }
    bool OnHeap() const { return !mHeap.empty(); }

private:
    D3DTLVertex mInside[INSIDE];
    std::vector<D3DTLVertex> mHeap;
    int mSize = 0;
};

// Sutherland-Hodgman against one plane: coordinate 0 x, 1 y, 2 z, 3 u, 4 v. The lower
// kind keeps vertices whose coordinate is at least the value, the upper kind those
// below it.
enum class ClipPlane { X = 0, Y = 1, Z = 2, U = 3, V = 4 };
void ClipPolygon(ClipPlane plane, float value, bool lower, const VertexList& in, VertexList& out);

struct TexturePiece {
    Platform::TextureId texture = 0;
    int width = 0;
    int height = 0;
};

class ImageTextureSet {
public:
    // The piece holding image point (x, y): w and h come in as the wanted size and go
    // out cut to the piece; the texture coordinates of that part.
    const TexturePiece& GetPiece(int x, int y, int& w, int& h, float& tu0, float& tv0, float& tu1, float& tv1) const;
    void Release(Platform::RenderDevice* device);

    std::vector<TexturePiece> mPieces; // row after row
    int mImageWidth = 0;
    int mImageHeight = 0;
    int mColumns = 0;
    int mRows = 0;
    int mPieceWidth = 64;
    int mPieceHeight = 64;
    int mBitsChangedCount = -1;
    int64_t mTexMemSize = 0;
    float mMaxTotalU = 0;
    float mMaxTotalV = 0;
    int mFormat = 0;
    uint32_t mImageFlags = 0;
};

class D3DInterface {
public:
    D3DInterface();
    virtual ~D3DInterface();
    D3DInterface(const D3DInterface&) = delete;
    D3DInterface& operator=(const D3DInterface&) = delete;

    // Takes the display's 3D device and makes the draw target; false on failure, with
    // the reason in mErrorString.
    bool InitFromDDInterface(DDInterface* display);
    // The same on a device given directly (the display passes its screen's).
    bool InitFromDevice(Platform::RenderDevice* device, int width, int height, bool windowed);
    void EndScene();
    // Reads the drawn frame into rows of 16-bit 565 or 32-bit pixels.
    bool ReadFrame(void* pixels, int pitch, int bitCount, int width, int height);

    void Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode, bool linear);
    void StretchBlt(Image* image, const Rect& destRect, const FRect& srcRect, int drawMode, bool fast);
    void BltRotated(Image* image, float x, float y, const Rect* clipRect, const Color& color, int drawMode,
                    double angle, int centreX, int centreY, const Rect& srcRect);
    void DrawTexturedTriangle(const TriVertex& p0, const TriVertex& p1, const TriVertex& p2, const Color& color,
                              int drawMode, Image* image);
    void FillRect(const Rect& rect, const Color& color, int drawMode);
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode);

    void DropImageTextures(MemoryImage* image);
    void ReleaseTextures();
    // For a failed result: error text "step: name", true.
    bool CheckResult(Platform::DDResult result, const std::string& step);

    // Piece size for a width and height (in and out), by the device's limits.
    void GetTexturePieceSize(int& width, int& height, bool exact, bool fit, uint32_t flags) const;
    static int PieceTableEntry(int size);
    // Builds the grid of a texture set for an image of width x height (no textures).
    void BuildGrid(ImageTextureSet& set, int width, int height, uint32_t flags) const;
    // The format class an image's textures take.
    int ChooseFormat(MemoryImage* image, uint32_t flags) const;
    bool CreateImageTexture(MemoryImage* image);
    bool HasDevice() const { return mDevice != nullptr; }
    Platform::RenderDevice* Device() const { return mDevice; }
    // Texture bytes and format of an image's texture set (false: it has none).
    static bool TextureUse(const MemoryImage* image, int64_t& bytes, int& format);

    // Device limits, one set for the device in use.
    int mMinTextureWidth = 64;
    int mMinTextureHeight = 64;
    int mMaxTextureWidth = 64;
    int mMaxTextureHeight = 64;
    int mMaxTextureAspectRatio = 1;
    uint32_t mUsableFormats = 0;
    bool mLinearFilter = false;
    std::string mErrorString;

    int mWidth = 640;
    int mHeight = 480;
    bool mWindowed = true;
    bool mSceneOpen = false;
    DDInterface* mDisplay = nullptr;

private:
    bool CreateDevice();
    bool SetupRenderStates();
    void SetDrawMode(int drawMode);
    void SetLinearFilter(bool linear);
    void RefreshTextureSet(ImageTextureSet& set, MemoryImage* image);
    void UploadPiece(const TexturePiece& piece, MemoryImage* image, int x, int y, int pw, int ph, int format);
    void DrawPrimitive(Platform::Primitive primitive, Platform::TextureId texture, const D3DTLVertex* vertices,
                       int count, const char* step);
    // The checks and states every textured draw starts with; null: nothing to draw.
    MemoryImage* BeginTextured(Image* src, int drawMode, bool linear);
    template <typename PieceOp>
    void WalkPieces(MemoryImage* image, const Rect& srcRect, const PieceOp& op);
    void DrawPiece(Platform::TextureId texture, const D3DTLVertex* strip, const Rect* clipRect);
    void MatrixBlt(MemoryImage* image, const Matrix3& matrix, const Rect& srcRect, const Rect* clipRect);
    void FreePending();
    ImageTextureSet* SetOf(const MemoryImage* image) const;
    bool OnMainThread() const { return std::this_thread::get_id() == mMainThread; }

    Platform::RenderDevice* mDevice = nullptr;
    Platform::TextureId mTarget = 0;
    Platform::BlendKind mBlend = Platform::BlendKind::Normal;
    uint32_t mDiffuse = 0xFFFFFFFF; // the tint of the matrix walk in progress
    std::thread::id mMainThread;
    // Guards the image set and the queue of textures to free (images die on any thread).
    std::mutex mSetLock;
    std::set<MemoryImage*> mImageSet;
    std::vector<Platform::TextureId> mPendingFree;
    std::vector<Platform::RenderVertex> mRenderVertices;
    std::vector<uint8_t> mUploadBuffer;
    VertexList mPolygon, mClipped;
    // The textures of an image outside the registry, for the draw in progress.
    ImageTextureSet mTransient;
    const MemoryImage* mTransientImage = nullptr;
};

} // namespace Zant
