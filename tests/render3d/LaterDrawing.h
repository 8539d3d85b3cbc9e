#pragma once
// The 3D test's drawing as if it ran elsewhere: it starts when asked, and its verdict
// comes when the test says so (or at once when waited for).
#include <memory>

#include "framework/graphics/D3DTester.h"
#include "framework/graphics/DDInterface.h"
#include "tests/render3d/NoCacheHost.h"

namespace RenderTest {

class LaterDrawing : public Zant::D3DTestDrawing {
public:
    bool Start() override
    {
        ++starts;
        return startable;
    }
    bool Poll(bool wait, Zant::D3DDrawingVerdict& out) override
    {
        if (!ready && !wait)
            return false;
        out = verdict;
        return true;
    }
    bool startable = true;
    bool ready = false;
    int starts = 0;
    Zant::D3DDrawingVerdict verdict;
};

// Gives the display a cache-less test host and a drawing elsewhere whose conclusive
// verdict is the one given; the drawing belongs to the display.
inline LaterDrawing& DrawLater(Zant::DDInterface& dd, const char* failure, const char* warning)
{
    auto drawing = std::make_unique<LaterDrawing>();
    LaterDrawing& later = *drawing;
    later.verdict.conclusive = true;
    later.verdict.failureReason = failure;
    later.verdict.warning = warning;
    dd.mTestDrawing = std::move(drawing);
    dd.mTestHost = std::make_unique<NoCacheHost>();
    return later;
}

} // namespace RenderTest
