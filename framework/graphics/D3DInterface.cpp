#include "framework/graphics/D3DInterface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "framework/app/ZantApp.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/DXResult.h"
#include "framework/graphics/MemoryImage.h"

namespace Zant {

using Platform::BlendKind;
using Platform::Primitive;
using Platform::RenderVertex;
using Platform::TextureId;

namespace {

bool IsPowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

int NextPowerOfTwo(int v)
{
    int p = 1;
    while (p < v)
        p *= 2;
    return p;
}

int BytesPerTexel(int format) { return format == TEXFMT_A8R8G8B8 ? 4 : format == TEXFMT_PALETTE8 ? 1 : 2; }

float Coordinate(const D3DTLVertex& v, ClipPlane plane)
{
    switch (plane) {
    case ClipPlane::X: return v.sx;
    case ClipPlane::Y: return v.sy;
    case ClipPlane::Z: return v.sz;
    case ClipPlane::U: return v.tu;
    case ClipPlane::V: return v.tv;
    }
    return 0;
}

D3DTLVertex CutPoint(const D3DTLVertex& a, const D3DTLVertex& b, ClipPlane plane, float value)
{
    const float ca = Coordinate(a, plane), cb = Coordinate(b, plane);
    const float t = (value - ca) / (cb - ca);
    D3DTLVertex cut = a;
    cut.sx = a.sx + (b.sx - a.sx) * t;
    cut.sy = a.sy + (b.sy - a.sy) * t;
    cut.tu = a.tu + (b.tu - a.tu) * t;
    cut.tv = a.tv + (b.tv - a.tv) * t;
    return cut;
}

} // namespace

ImageTextureSet* D3DInterface::SetOf(const MemoryImage* image) const
{
    if (image == mTransientImage)
        return const_cast<ImageTextureSet*>(&mTransient);
    return static_cast<ImageTextureSet*>(image->mD3DData);
}

// ---- Vertex lists and clipping.

void VertexList::push_back(const D3DTLVertex& v)
{
    if (mHeap.empty() && mSize < INSIDE) {
        mInside[mSize++] = v;
        return;
    }
    if (mHeap.empty())
        mHeap.assign(mInside, mInside + mSize);
    mHeap.resize(size_t(mSize) + 1);
    mHeap[size_t(mSize++)] = v;
}

void ClipPolygon(ClipPlane plane, float value, bool lower, const VertexList& in, VertexList& out)
{
    out.clear();
    const int n = in.size();
    if (n < 2)
        return;
    auto kept = [&](const D3DTLVertex& v) {
        const float c = Coordinate(v, plane);
        return lower ? c >= value : c < value;
    };
    // Edges from the last vertex to the first, then from each to the next.
    for (int i = 0; i < n; ++i) {
        const D3DTLVertex& a = in[i == 0 ? n - 1 : i - 1];
        const D3DTLVertex& b = in[i];
        const bool ka = kept(a), kb = kept(b);
        if (ka && kb) {
            out.push_back(b);
        } else if (ka) {
            out.push_back(CutPoint(a, b, plane, value));
        } else if (kb) {
            out.push_back(CutPoint(a, b, plane, value));
            out.push_back(b);
        }
    }
}

// ---- Texture sets.

const TexturePiece& ImageTextureSet::GetPiece(int x, int y, int& w, int& h, float& tu0, float& tv0, float& tu1,
                                              float& tv1) const
{
    const int column = x / mPieceWidth, ox = x % mPieceWidth;
    const int row = y / mPieceHeight, oy = y % mPieceHeight;
    const TexturePiece& piece = mPieces[size_t(row) * mColumns + column];
    const int ex = std::min(ox + w, piece.width);
    const int ey = std::min(oy + h, piece.height);
    w = ex - ox;
    h = ey - oy;
    tu0 = float(ox) / float(piece.width);
    tv0 = float(oy) / float(piece.height);
    tu1 = float(ex) / float(piece.width);
    tv1 = float(ey) / float(piece.height);
    return piece;
}

void ImageTextureSet::Release(Platform::RenderDevice* device)
{
    for (TexturePiece& piece : mPieces) {
        if (piece.texture && device)
            device->DestroyTexture(piece.texture);
        piece.texture = 0;
    }
    mTexMemSize = 0;
}

// ---- The renderer.

D3DInterface::D3DInterface() : mMainThread(std::this_thread::get_id()) {}

D3DInterface::~D3DInterface() { ReleaseTextures(); }

bool D3DInterface::CheckResult(Platform::DDResult result, const std::string& step)
{
    if (!Platform::DDFailed(result))
        return false;
    mErrorString = step + ": " + DirectXErrorName(result);
    return true;
}

bool D3DInterface::InitFromDDInterface(DDInterface* display)
{
    mDisplay = display;
    Platform::RenderDevice* device = display->mScreen ? display->mScreen->Device() : nullptr;
    if (!device) {
        mErrorString.clear();
        CheckResult(Platform::DDERR_UNSUPPORTED, "Query DrawSurface");
        return false;
    }
    return InitFromDevice(device, display->mWidth, display->mHeight, display->mIsWindowed);
}

bool D3DInterface::InitFromDevice(Platform::RenderDevice* device, int width, int height, bool windowed)
{
    ReleaseTextures();
    mMainThread = std::this_thread::get_id();
    mErrorString.clear();
    mDevice = device;
    mWidth = width;
    mHeight = height;
    mWindowed = windowed;
    if (!CreateDevice()) {
        mDevice = nullptr;
        return false;
    }
    return true;
}

bool D3DInterface::CreateDevice()
{
    const Platform::RenderCaps caps = mDevice->Caps();
    mTarget = caps.targetTextures ? mDevice->CreateTarget(mWidth, mHeight) : 0;
    if (CheckResult(mTarget ? Platform::DD_OK : Platform::DDERR_UNSUPPORTED, "CreateDevice IID_IDirect3DHALDevice"))
        return false;
    mLinearFilter = false;
    if (caps.maxTextureWidth <= 0) {
        mMinTextureWidth = mMinTextureHeight = mMaxTextureWidth = mMaxTextureHeight = 64;
        mMaxTextureAspectRatio = 1;
    } else {
        // The renderer has no minimum size and no aspect limit.
        mMaxTextureWidth = std::min(caps.maxTextureWidth, 1024);
        mMaxTextureHeight = std::min(std::max(caps.maxTextureHeight, 1), 1024);
        mMinTextureWidth = mMinTextureHeight = 1;
        mMaxTextureAspectRatio = 65536;
    }
    mUsableFormats = (caps.argb8888 ? TEXFMT_A8R8G8B8 : 0) | (caps.argb4444 ? TEXFMT_A4R4G4B4 : 0);
    mDevice->SetTarget(mTarget);
    mDevice->Clear(0xFF000000);
    mDevice->SetTarget(0);
    return true;
}

bool D3DInterface::SetupRenderStates()
{
    if (!mDevice || !OnMainThread())
        return false;
    if (mDisplay && mDisplay->mApp && mDisplay->mApp->mMinimized)
        return false;
    FreePending();
    if (mSceneOpen)
        return true;
    mDevice->SetTarget(mTarget);
    mBlend = BlendKind::Normal;
    mLinearFilter = false;
    mSceneOpen = true;
    return true;
}

void D3DInterface::EndScene()
{
    mTransient.Release(mDevice);
    mTransientImage = nullptr;
    if (!mSceneOpen)
        return;
    if (mDevice)
        mDevice->SetTarget(0);
    mSceneOpen = false;
    mErrorString.clear();
}

bool D3DInterface::ReadFrame(void* pixels, int pitch, int bitCount, int width, int height)
{
    if (!mDevice || !OnMainThread())
        return false;
    FreePending();
    const bool ok = mDevice->SetTarget(mTarget) &&
                    mDevice->ReadPixels(0, 0, std::min(width, mWidth), std::min(height, mHeight), bitCount, pixels,
                                        pitch);
    mDevice->SetTarget(mSceneOpen ? mTarget : 0);
    return !CheckResult(ok ? Platform::DD_OK : Platform::DDERR_GENERIC, "ReadPixels");
}

void D3DInterface::SetDrawMode(int drawMode) { mBlend = drawMode == 0 ? BlendKind::Normal : BlendKind::Additive; }

void D3DInterface::SetLinearFilter(bool linear)
{
    // Each draw names its filter to the device; the cache only says which is in force.
    mLinearFilter = linear;
}

void D3DInterface::DrawPrimitive(Primitive primitive, TextureId texture, const D3DTLVertex* vertices, int count,
                                 const char* step)
{
    mRenderVertices.resize(size_t(count));
    // Clipping leaves texture coordinates a rounding step outside 0..1, which the
    // device refuses; clamped, as its addressing would clamp them.
    for (int i = 0; i < count; ++i)
        mRenderVertices[size_t(i)] = RenderVertex{vertices[i].sx, vertices[i].sy, vertices[i].color,
                                                  std::clamp(vertices[i].tu, 0.0f, 1.0f),
                                                  std::clamp(vertices[i].tv, 0.0f, 1.0f)};
    // The step's text is made only for a failure: a string per primitive would
    // allocate hundreds of times a frame.
    if (!mDevice->Draw(primitive, texture, mRenderVertices.data(), count, mBlend, mLinearFilter))
        CheckResult(Platform::DDERR_GENERIC, step);
}

// ---- Piece sizes and grids.

int D3DInterface::PieceTableEntry(int size)
{
    static const std::array<int, 1024> table = [] {
        std::array<int, 1024> t{};
        int p = 1;
        for (int s = 0; s < 1024; ++s) {
            if (s > p)
                p *= 2;
            if (p - s <= 64) {
                t[size_t(s)] = p;
                continue;
            }
            int e = p / 2;
            while (e > 1 && s % e >= 64 && !IsPowerOfTwo(s % e))
                e /= 2;
            t[size_t(s)] = e;
        }
        return t;
    }();
    return table[size_t(std::clamp(size, 0, 1023))];
}

void D3DInterface::GetTexturePieceSize(int& width, int& height, bool exact, bool fit, uint32_t flags) const
{
    if (flags & TEXFLAG_64_PIECES) {
        width = height = 64;
        return;
    }
    auto side = [&](int s, int max) {
        if (s >= max)
            return max;
        if (exact || (flags & TEXFLAG_POWER_OF_TWO))
            return s <= 1 ? 1 : NextPowerOfTwo(s);
        return PieceTableEntry(s);
    };
    if (fit) {
        width = side(width, mMaxTextureWidth);
        height = side(height, mMaxTextureHeight);
    }
    width = std::max(width, mMinTextureWidth);
    height = std::max(height, mMinTextureHeight);
    const int64_t aspect = mMaxTextureAspectRatio;
    if (height < width) {
        while (int64_t(width) > aspect * height)
            height *= 2;
    } else if (height > width) {
        while (int64_t(height) > aspect * width)
            width *= 2;
    }
}

void D3DInterface::BuildGrid(ImageTextureSet& set, int width, int height, uint32_t flags) const
{
    int pw = width, ph = height;
    GetTexturePieceSize(pw, ph, false, true, flags);
    int lastColW = pw, lastColH = ph;
    if (width % pw > 0) {
        lastColW = width % pw;
        GetTexturePieceSize(lastColW, lastColH, true, true, flags);
    }
    int lastRowW = pw, lastRowH = ph;
    if (height % ph > 0) {
        lastRowH = height % ph;
        GetTexturePieceSize(lastRowW, lastRowH, true, true, flags);
    }
    int cornerW = lastColW, cornerH = lastRowH;
    GetTexturePieceSize(cornerW, cornerH, true, true, flags);

    set.mPieceWidth = pw;
    set.mPieceHeight = ph;
    set.mColumns = (width + pw - 1) / pw;
    set.mRows = (height + ph - 1) / ph;
    set.mPieces.assign(size_t(set.mColumns) * set.mRows, TexturePiece{0, pw, ph});
    for (int r = 0; r < set.mRows; ++r)
        set.mPieces[size_t(r) * set.mColumns + set.mColumns - 1] = TexturePiece{0, lastColW, lastColH};
    for (int c = 0; c < set.mColumns; ++c)
        set.mPieces[size_t(set.mRows - 1) * set.mColumns + c] = TexturePiece{0, lastRowW, lastRowH};
    set.mPieces.back() = TexturePiece{0, cornerW, cornerH};
    set.mMaxTotalU = float(width) / float(pw);
    set.mMaxTotalV = float(height) / float(ph);
}

int D3DInterface::ChooseFormat(MemoryImage* image, uint32_t flags) const
{
    int format = TEXFMT_A8R8G8B8;
    if (!image->HasAlpha() && !image->HasTransparency() && (mUsableFormats & TEXFMT_R5G6B5) &&
        !(flags & TEXFLAG_NO_565))
        format = TEXFMT_R5G6B5;
    // No palettised textures: the device takes no palettes.
    if (format == TEXFMT_A8R8G8B8) {
        const bool have8888 = (mUsableFormats & TEXFMT_A8R8G8B8) != 0;
        const bool have4444 = (mUsableFormats & TEXFMT_A4R4G4B4) != 0;
        if (flags & TEXFLAG_PREFER_4444) {
            if (have4444 || !have8888)
                format = TEXFMT_A4R4G4B4;
        } else if (!have8888) {
            format = TEXFMT_A4R4G4B4;
        }
    }
    return format;
}

bool D3DInterface::CreateImageTexture(MemoryImage* image)
{
    // Not SetOf: the last loose image may have died and left its address to this one.
    auto* set = static_cast<ImageTextureSet*>(image->mD3DData);
    if (!set && image->GetApp() == nullptr) {
        // Nobody tells us when an image outside the registry dies: its textures last
        // for one draw only.
        mTransient.Release(mDevice);
        mTransient = ImageTextureSet();
        mTransientImage = image;
        RefreshTextureSet(mTransient, image);
        return mTransient.mFormat != 0;
    }
    mTransientImage = nullptr;
    if (!set) {
        set = new ImageTextureSet();
        image->mD3DData = set;
        std::lock_guard<std::mutex> guard(mSetLock);
        mImageSet.insert(image);
    }
    if (set->mFormat == 0 || set->mImageWidth != image->GetWidth() || set->mImageHeight != image->GetHeight() ||
        set->mBitsChangedCount != image->GetBitsChangedCount() || set->mImageFlags != image->mD3DFlags)
        RefreshTextureSet(*set, image);
    return set->mFormat != 0;
}

void D3DInterface::RefreshTextureSet(ImageTextureSet& set, MemoryImage* image)
{
    image->DeleteExtraBuffers();
    image->CommitBits();
    const int width = image->GetWidth(), height = image->GetHeight();
    const uint32_t flags = image->mD3DFlags;
    const int format = ChooseFormat(image, flags);
    if (width <= 0 || height <= 0) {
        set.mFormat = 0;
        return;
    }
    bool fresh = false;
    if (width != set.mImageWidth || height != set.mImageHeight || format != set.mFormat ||
        flags != set.mImageFlags || set.mPieces.empty()) {
        set.Release(mDevice);
        set.mFormat = format;
        set.mImageFlags = flags;
        BuildGrid(set, width, height, flags);
        fresh = true;
    }
    // Only the two formats the device takes are ever chosen.
    const Platform::TextureFormat deviceFormat =
        format == TEXFMT_A4R4G4B4 ? Platform::TextureFormat::ARGB4444 : Platform::TextureFormat::ARGB8888;
    int64_t memory = 0;
    size_t index = 0;
    for (int y = 0; y < height; y += set.mPieceHeight) {
        for (int x = 0; x < width; x += set.mPieceWidth, ++index) {
            TexturePiece& piece = set.mPieces[index];
            if (fresh || !piece.texture) {
                piece.texture = mDevice->CreateTexture(deviceFormat, piece.width, piece.height);
                if (!piece.texture) {
                    // Not drawn now; the next draw tries again.
                    set.mFormat = 0;
                    return;
                }
            }
            memory += int64_t(piece.width) * piece.height * BytesPerTexel(format);
            UploadPiece(piece, image, x, y, set.mPieceWidth, set.mPieceHeight, format);
        }
    }
    set.mTexMemSize = memory;
    set.mImageWidth = width;
    set.mImageHeight = height;
    set.mBitsChangedCount = image->GetBitsChangedCount();
}

void D3DInterface::UploadPiece(const TexturePiece& piece, MemoryImage* image, int x, int y, int pw, int ph,
                               int format)
{
    if (!piece.texture)
        return;
    const int bytes = format == TEXFMT_A8R8G8B8 ? 4 : 2;
    const int pitch = piece.width * bytes;
    const int w = std::min({pw, image->GetWidth() - x, piece.width});
    const int h = std::min({ph, image->GetHeight() - y, piece.height});
    mUploadBuffer.resize(size_t(pitch) * piece.height);
    if (w < piece.width || h < piece.height)
        std::memset(mUploadBuffer.data(), 0, mUploadBuffer.size());
    const uint32_t* palette = image->IsPalettized() ? image->GetColorTable() : nullptr;
    const uint8_t* indices = palette ? image->GetColorIndices() : nullptr;
    const uint32_t* bits = palette ? nullptr : image->GetBits();
    if (w > 0 && h > 0 && (bits || indices)) {
        const int imageWidth = image->GetWidth();
        for (int row = 0; row < h; ++row) {
            const size_t from = size_t(y + row) * imageWidth + x;
            uint8_t* out = mUploadBuffer.data() + size_t(row) * pitch;
            for (int col = 0; col < w; ++col) {
                const uint32_t c = palette ? palette[indices[from + col]] : bits[from + col];
                if (bytes == 4) {
                    std::memcpy(out + col * 4, &c, 4);
                } else {
                    const uint16_t v = uint16_t(((c >> 16) & 0xF000) | ((c >> 12) & 0x0F00) | ((c >> 8) & 0x00F0) |
                                                ((c >> 4) & 0x000F));
                    std::memcpy(out + col * 2, &v, 2);
                }
            }
        }
    }
    if (!mDevice->UpdateTexture(piece.texture, mUploadBuffer.data(), pitch))
        CheckResult(Platform::DDERR_GENERIC, "Lock Texture");
}

// ---- Drawing.

void D3DInterface::DrawPiece(TextureId texture, const D3DTLVertex* strip, const Rect* clipRect)
{
    auto inside = [&](const D3DTLVertex& v) {
        return v.sx >= float(clipRect->x) && v.sx < float(clipRect->Right()) && v.sy >= float(clipRect->y) &&
               v.sy < float(clipRect->Bottom());
    };
    if (!clipRect || std::all_of(strip, strip + 4, inside)) {
        DrawPrimitive(Primitive::TriangleStrip, texture, strip, 4, "DrawPrimitive (Tri)");
        return;
    }
    // Strip order to polygon order: top-left, bottom-left, bottom-right, top-right.
    mPolygon.clear();
    for (int i : {0, 1, 3, 2})
        mPolygon.push_back(strip[i]);
    ClipPolygon(ClipPlane::X, float(clipRect->x), true, mPolygon, mClipped);
    ClipPolygon(ClipPlane::Y, float(clipRect->y), true, mClipped, mPolygon);
    ClipPolygon(ClipPlane::X, float(clipRect->Right()), false, mPolygon, mClipped);
    ClipPolygon(ClipPlane::Y, float(clipRect->Bottom()), false, mClipped, mPolygon);
    if (mPolygon.size() >= 3)
        DrawPrimitive(Primitive::TriangleFan, texture, mPolygon.Data(), mPolygon.size(), "DrawPrimitive (Tri)");
}

MemoryImage* D3DInterface::BeginTextured(Image* src, int drawMode, bool linear)
{
    auto* image = MemoryImageOf(src);
    if (!image || !SetupRenderStates())
        return nullptr;
    SetDrawMode(drawMode);
    if (!CreateImageTexture(image))
        return nullptr;
    SetLinearFilter(linear);
    return image;
}

template <typename PieceOp>
void D3DInterface::WalkPieces(MemoryImage* image, const Rect& srcRect, const PieceOp& op)
{
    // Row by row, piece by piece; positions are local to the source rectangle, whose
    // parts outside the image are not drawn.
    const ImageTextureSet& set = *SetOf(image);
    const Rect part = srcRect.Intersection(Rect(0, 0, image->GetWidth(), image->GetHeight()));
    if (part.width <= 0 || part.height <= 0)
        return;
    const int right = part.x + part.width, bottom = part.y + part.height;
    float ly = float(part.y - srcRect.y);
    for (int cy = part.y; cy < bottom;) {
        float lx = float(part.x - srcRect.x);
        int rowHeight = 0;
        for (int cx = part.x; cx < right;) {
            int w = right - cx, h = bottom - cy;
            float uv[4];
            const TexturePiece& piece = set.GetPiece(cx, cy, w, h, uv[0], uv[1], uv[2], uv[3]);
            op(piece, lx, ly, w, h, uv);
            lx += float(w);
            cx += w;
            rowHeight = h;
        }
        ly += float(rowHeight);
        cy += rowHeight;
    }
}

void D3DInterface::Blt(Image* src, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                       bool linear)
{
    MemoryImage* image = BeginTextured(src, drawMode, linear);
    if (!image)
        return;
    const uint32_t diffuse = color.ToInt();
    WalkPieces(image, srcRect, [&](const TexturePiece& piece, float lx, float ly, int w, int h, const float uv[4]) {
        const float x0 = x + lx - 0.5f, y0 = y + ly - 0.5f;
        const float x1 = x0 + float(w), y1 = y0 + float(h);
        const D3DTLVertex strip[4] = {{x0, y0, 0, 1, diffuse, 0, uv[0], uv[1]},
                                      {x0, y1, 0, 1, diffuse, 0, uv[0], uv[3]},
                                      {x1, y0, 0, 1, diffuse, 0, uv[2], uv[1]},
                                      {x1, y1, 0, 1, diffuse, 0, uv[2], uv[3]}};
        DrawPrimitive(Primitive::TriangleStrip, piece.texture, strip, 4, "DrawPrimitive (Tri)");
    });
}

void D3DInterface::MatrixBlt(MemoryImage* image, const Matrix3& matrix, const Rect& srcRect, const Rect* clipRect)
{
    WalkPieces(image, srcRect, [&](const TexturePiece& piece, float lx, float ly, int w, int h, const float uv[4]) {
        const float corners[4][2] = {{lx - 0.5f, ly - 0.5f},
                                     {lx - 0.5f, ly - 0.5f + float(h)},
                                     {lx - 0.5f + float(w), ly - 0.5f},
                                     {lx - 0.5f + float(w), ly - 0.5f + float(h)}};
        const float texture[4][2] = {{uv[0], uv[1]}, {uv[0], uv[3]}, {uv[2], uv[1]}, {uv[2], uv[3]}};
        D3DTLVertex strip[4];
        for (int i = 0; i < 4; ++i) {
            const auto p = matrix.TransformVector({corners[i][0], corners[i][1], 1.0f});
            strip[i] = D3DTLVertex{p[0], p[1], 0, 1, mDiffuse, 0, texture[i][0], texture[i][1]};
        }
        DrawPiece(piece.texture, strip, clipRect);
    });
}

void D3DInterface::StretchBlt(Image* src, const Rect& destRect, const FRect& srcRect, int drawMode, bool fast)
{
    MemoryImage* image = BeginTextured(src, drawMode, !fast);
    if (!image)
        return;
    if (!(srcRect.width > 0) || !(srcRect.height > 0))
        return;
    const float sx = float(double(destRect.width) / srcRect.width);
    const float sy = float(double(destRect.height) / srcRect.height);
    Matrix3 matrix;
    matrix.Scale(sx, sy);
    matrix.Translate(float(destRect.x), float(destRect.y));
    const Rect walk(int(srcRect.x), int(srcRect.y), int(srcRect.width), int(srcRect.height));
    mDiffuse = Color::White.ToInt();
    MatrixBlt(image, matrix, walk, nullptr);
}

void D3DInterface::BltRotated(Image* src, float x, float y, const Rect* clipRect, const Color& color, int drawMode,
                              double angle, int centreX, int centreY, const Rect& srcRect)
{
    MemoryImage* image = BeginTextured(src, drawMode, true);
    if (!image)
        return;
    Matrix3 matrix;
    matrix.Translate(float(-centreX), float(-centreY));
    matrix.Rotate(float(-angle));
    matrix.Translate(float(centreX) + x, float(centreY) + y);
    mDiffuse = color.ToInt();
    MatrixBlt(image, matrix, srcRect, clipRect);
}

void D3DInterface::DrawTexturedTriangle(const TriVertex& p0, const TriVertex& p1, const TriVertex& p2,
                                        const Color& color, int drawMode, Image* src)
{
    MemoryImage* image = BeginTextured(src, drawMode, true);
    if (!image)
        return;
    const ImageTextureSet& set = *SetOf(image);
    const uint32_t diffuse = color.ToInt();
    D3DTLVertex corners[3];
    const TriVertex* in[3] = {&p0, &p1, &p2};
    for (int i = 0; i < 3; ++i)
        corners[i] = D3DTLVertex{in[i]->x, in[i]->y, 0, 1, diffuse, 0, in[i]->u * set.mMaxTotalU,
                                 in[i]->v * set.mMaxTotalV};
    const float minU = std::min({set.mMaxTotalU, corners[0].tu, corners[1].tu, corners[2].tu});
    const float maxU = std::max({0.0f, corners[0].tu, corners[1].tu, corners[2].tu});
    const float minV = std::min({set.mMaxTotalV, corners[0].tv, corners[1].tv, corners[2].tv});
    const float maxV = std::max({0.0f, corners[0].tv, corners[1].tv, corners[2].tv});
    const int c0 = std::max(0, int(std::floor(minU))), c1 = std::min(set.mColumns, int(std::ceil(maxU)));
    const int r0 = std::max(0, int(std::floor(minV))), r1 = std::min(set.mRows, int(std::ceil(maxV)));
    const TexturePiece& first = set.mPieces.front();
    for (int r = r0; r < r1; ++r) {
        for (int c = c0; c < c1; ++c) {
            const TexturePiece& piece = set.mPieces[size_t(r) * set.mColumns + c];
            mPolygon.clear();
            for (const D3DTLVertex& corner : corners) {
                D3DTLVertex v = corner;
                v.tu -= float(c);
                v.tv -= float(r);
                if (r == set.mRows - 1)
                    v.tv *= float(first.height) / float(piece.height);
                if (c == set.mColumns - 1)
                    v.tu *= float(first.width) / float(piece.width);
                mPolygon.push_back(v);
            }
            ClipPolygon(ClipPlane::U, 0.0f, true, mPolygon, mClipped);
            ClipPolygon(ClipPlane::V, 0.0f, true, mClipped, mPolygon);
            ClipPolygon(ClipPlane::U, 1.0f, false, mPolygon, mClipped);
            ClipPolygon(ClipPlane::V, 1.0f, false, mClipped, mPolygon);
            if (mPolygon.size() >= 3)
                DrawPrimitive(Primitive::TriangleFan, piece.texture, mPolygon.Data(), mPolygon.size(),
                              "DrawPrimitive (Tri)");
        }
    }
}

void D3DInterface::FillRect(const Rect& rect, const Color& color, int drawMode)
{
    if (!SetupRenderStates())
        return;
    SetDrawMode(drawMode);
    const uint32_t diffuse = color.ToInt();
    const float x0 = float(rect.x) - 0.5f, y0 = float(rect.y) - 0.5f;
    const float x1 = x0 + float(rect.width), y1 = y0 + float(rect.height);
    const D3DTLVertex strip[4] = {{x0, y0, 0, 1, diffuse, 0, 0, 0},
                                  {x0, y1, 0, 1, diffuse, 0, 0, 0},
                                  {x1, y0, 0, 1, diffuse, 0, 0, 0},
                                  {x1, y1, 0, 1, diffuse, 0, 0, 0}};
    DrawPrimitive(Primitive::TriangleStrip, 0, strip, 4, "DrawPrimitive (Rect)");
}

void D3DInterface::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (!SetupRenderStates())
        return;
    SetDrawMode(drawMode);
    const uint32_t diffuse = color.ToInt();
    const D3DTLVertex line[2] = {{float(x1), float(y1), 0, 1, diffuse, 0, 0, 0},
                                 {float(x2), float(y2), 0, 1, diffuse, 0, 0, 0}};
    DrawPrimitive(Primitive::LineList, 0, line, 2, "DrawPrimitive (Line)");
}

// ---- Releasing.

void D3DInterface::DropImageTextures(MemoryImage* image)
{
    std::lock_guard<std::mutex> guard(mSetLock);
    auto* set = static_cast<ImageTextureSet*>(image->mD3DData);
    if (!set)
        return;
    image->mD3DData = nullptr;
    mImageSet.erase(image);
    if (OnMainThread()) {
        set->Release(mDevice);
    } else {
        // Only the main thread may talk to the device: the textures wait for it.
        for (const TexturePiece& piece : set->mPieces)
            if (piece.texture)
                mPendingFree.push_back(piece.texture);
    }
    delete set;
}

void D3DInterface::FreePending()
{
    std::lock_guard<std::mutex> guard(mSetLock);
    if (mDevice)
        for (TextureId id : mPendingFree)
            mDevice->DestroyTexture(id);
    mPendingFree.clear();
}

void D3DInterface::ReleaseTextures()
{
    EndScene();
    FreePending();
    {
        std::lock_guard<std::mutex> guard(mSetLock);
        for (MemoryImage* image : mImageSet) {
            auto* set = static_cast<ImageTextureSet*>(image->mD3DData);
            if (set)
                set->Release(mDevice);
            delete set;
            image->mD3DData = nullptr;
        }
        mImageSet.clear();
    }
    mTransient.Release(mDevice);
    mTransientImage = nullptr;
    if (mDevice && mTarget)
        mDevice->DestroyTexture(mTarget);
    mTarget = 0;
    mDevice = nullptr;
}

bool D3DInterface::TextureUse(const MemoryImage* image, int64_t& bytes, int& format)
{
    const auto* set = static_cast<const ImageTextureSet*>(image->mD3DData);
    bytes = set ? set->mTexMemSize : 0;
    format = set ? set->mFormat : 0;
    return set != nullptr && set->mFormat != 0;
}

} // namespace Zant
