#include "framework/graphics/FontHost.h"

#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"

namespace Zant {

Image* SoftwareFontHost::LoadFontImage(const std::string& path)
{
    std::unique_ptr<ImageLib::Image> loaded = ImageLib::LoadImageFile(Platform::ToNativePath(path), true);
    if (!loaded)
        return nullptr;
    auto* image = new MemoryImage();
    image->TakeBits(*loaded);
    return image;
}

void SoftwareFontHost::ShowFontError(const std::string& message)
{
    Platform::MessageBoxRequest request;
    request.title = "FATAL ERROR";
    request.text = message;
    request.icon = Platform::BoxIcon::Error;
    Platform::ShowMessageBox(request);
}

MemoryImage* SoftwareFontHost::NewFontImage()
{
    return new MemoryImage();
}

} // namespace Zant
