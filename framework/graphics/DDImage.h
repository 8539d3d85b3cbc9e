#pragma once
// The image the display uses: a MemoryImage that may also hold a display surface.
// Its pixels live in memory bits, in the surface, or in both. While both exist the
// bits are the master for software drawing and the surface for display; a software
// write releases the surface, and drawing straight into the surface (allowed when
// the image has neither alpha nor transparent pixels) frees the bits, which GetBits
// reads back when needed. Images with only fully transparent and fully opaque
// pixels get colour-keyed surfaces; images with soft alpha stay in software.
// A 32-bit surface holds 0x..RRGGBB words, the software renderer's own layout: its
// fills and copies run the software renderer's row code on the surface's rows (and
// give its pixels); 16-bit surfaces are drawn pixel by pixel in their format.
#include <cstdint>

#include "framework/graphics/MemoryImage.h"
#include "platform/display/DirectDraw.h"

namespace Zant {

class DDInterface;
class ImageRegistry;

class DDImage : public MemoryImage {
public:
    // Joins the display's image set and the registry of its application.
    explicit DDImage(DDInterface* ddInterface);
    // The same with an explicit registry (the display may be null: a software image
    // that the application still counts).
    DDImage(DDInterface* ddInterface, ImageRegistry* registry);
    ~DDImage() override;

    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void Blt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BltF(Image* src, float x, float y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                    int drawMode, double angle, int centreX, int centreY) override;
    void StretchBlt(Image* src, const Rect& destRect, const FRect& srcRect, const Color& color, int drawMode,
                    bool fast) override;
    void DeleteExtraBuffers() override;
    void BitsChanged() override;
    void CommitBits() override;
    void Create(int width, int height) override;
    // Reads the pixels back from the surface when only it holds them; null when the
    // surface may not or cannot be locked.
    uint32_t* GetBits() override;
    bool Palletize() override;

    virtual void SetVideoMemory(bool videoMemory);
    virtual bool GenerateDDSurfaceNow() { return GenerateDDSurface(); }
    // The surface drawing family: the rectangle and line ends come clipped.
    virtual void NormalFillRect(const Rect& rect, const Color& color);
    virtual void AdditiveFillRect(const Rect& rect, const Color& color);
    virtual void NormalBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color);
    virtual void AdditiveBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color);
    virtual void NormalDrawLine(double x1, double y1, double x2, double y2, const Color& color);
    virtual void AdditiveDrawLine(double x1, double y1, double x2, double y2, const Color& color);
    // Locks nest; only the outermost pair locks and unlocks the surface.
    virtual bool LockSurface();
    virtual bool UnlockSurface();
    // Wraps a surface the display owns (screen, cursor areas): the image takes its
    // size and keeps the surface for good; software writes are copied into it.
    virtual void SetSurface(Platform::DDSurfacePtr surface);

    // The screen image while 3D draws it.
    bool Is3DTarget() const;
    // The surface, made on demand; null when the image cannot have one.
    Platform::DDSurfacePtr GetSurface();
    bool GenerateDDSurface();
    // Reads the pixels back (when only the surface holds them) and lets the surface go.
    void DeleteDDSurface();
    // Makes the surface and frees the memory bits.
    void PurgeBits();
    bool HasSurface() const { return mSurface != nullptr; }
    // Joins the display's image set and the registry after being made without them,
    // so that an image filled on another thread is seen by no one half made.
    void JoinSets(DDInterface* ddInterface, ImageRegistry* registry);

public:
    DDInterface* mDDInterface;
    Platform::DDSurfacePtr mSurface;
    bool mNoLock = false;
    bool mVideoMemory = false;
    bool mWantDDSurface = false;
    int mLockCount = 0;
    Platform::DDSurfaceDesc mLockedSurfaceDesc;

private:
    friend class DDInterface;

    // Surface drawing is exact only without alpha and transparent pixels; the cursor
    // areas are drawn on their surfaces in any mode.
    bool CanDrawOnSurface();
    // Takes what the drawing family needs of a surface just locked (or let go).
    void NoteLock();
    void SurfaceDrawn();
    void ReleaseSurface();
    void WriteBitsToSurface();
    void RotateIntoSurface(MemoryImage* src, float x, float y, const Rect& srcRect, const Rect& clipRect,
                           double angle, int centreX, int centreY);
    void StretchIntoSurface(MemoryImage* src, const Rect& destRect, const FRect& srcRect);
    bool BltSurfaceToSurface(DDImage* src, const Platform::DDRect& dest, const Platform::DDRect& from);

    bool mSurfaceIsShared = false;
    // While the surface is locked: whether it holds 0x..RRGGBB words, and its rows for
    // the software renderer's row kernels (null bits when they cannot draw on it).
    // Worked out once per lock, not for each sprite and glyph of a frame.
    bool mLockedSoftwareLayout = false;
    PixelRows mLockedRows;
};

} // namespace Zant
