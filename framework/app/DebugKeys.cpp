// Debug keys, overlays, 3D switching and image services.
#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"

#include <mutex>

#include "framework/graphics/DDInterface.h"
#include "framework/graphics/MemoryImage.h"

namespace Zant {

bool ZantApp::HandleDebugKey(int key) { return false; }
void ZantApp::Set3DAcceleration(bool is3D, bool reinitialise) {}
void ZantApp::ShowVideoMemoryReport() {}
void ZantApp::WriteImageReport() {}
void ZantApp::DrawFPS() {}
void ZantApp::DrawDemoTime() {}
void ZantApp::DrawOverlayImages() {}
void ZantApp::ClearImageCaches()
{
    // The display's lock first: the cursor thread draws the cursor image under it,
    // and that image's caches are among those dropped here.
    std::unique_lock<CriticalSectionLock> display;
    if (mDDInterface)
        display = std::unique_lock<CriticalSectionLock>(mDDInterface->mCritSect);
    std::lock_guard<std::recursive_mutex> guard(mImageLock);
    for (MemoryImage* image : mMemoryImageSet)
        image->DeleteExtraBuffers();
}

} // namespace Zant
