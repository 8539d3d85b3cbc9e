// The image report: every image in memory, largest first, as an HTML table with its
// memory use and flags, each saved as a PNG with a 64 x 64 JPEG thumbnail.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "framework/app/ZantApp.h"
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/StringUtil.h"
#include "platform/Clock.h"
#include "platform/Directories.h"
#include "platform/Paths.h"

namespace Zant {

namespace {

constexpr int THUMB_SIZE = 64;

// Bytes each part of an image takes.
struct ImageUse {
    MemoryImage* image = nullptr;
    int64_t bits = 0;
    int64_t surface = 0;
    int64_t palette = 0;
    int64_t native = 0;
    int64_t rlAlpha = 0;
    int64_t rlAdditive = 0;
    int64_t texture = 0;
    int64_t Total() const { return bits + surface + palette + native + rlAlpha + rlAdditive + texture; }
};

ImageUse MeasureImage(MemoryImage* image)
{
    ImageUse use;
    use.image = image;
    const int64_t pixels = int64_t(image->GetWidth()) * image->GetHeight();
    if (image->HasBits())
        use.bits = pixels * 4;
    if (auto* dd = dynamic_cast<DDImage*>(image); dd && dd->HasSurface())
        use.surface = pixels * 4;
    if (image->IsPalettized())
        use.palette = pixels + 1024;
    if (image->HasNativeAlphaData())
        use.native = image->IsPalettized() ? 1024 : pixels * 4;
    if (image->HasRLAlphaData())
        use.rlAlpha = pixels;
    if (image->HasRLAdditiveData())
        use.rlAdditive = pixels;
    int64_t textureBytes = 0;
    int textureFormat = 0;
    if (D3DInterface::TextureUse(image, textureBytes, textureFormat))
        use.texture = textureBytes;
    return use;
}

std::string Thousands(int64_t value)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return value < 0 ? "-" + out : out;
}

std::string SizeCell(const char* label, int64_t bytes)
{
    if (bytes == 0)
        return "<TD>&nbsp;</TD>";
    return std::string("<TD>") + label + "<BR>" + Thousands(bytes) + "</TD>";
}

std::string FlagCell(const char* word, bool set) { return std::string("<TD>") + (set ? word : "&nbsp;") + "</TD>"; }

std::string NumberedName(const char* stem, int number, const char* extension)
{
    char name[64];
    std::snprintf(name, sizeof name, "%s%04d.%s", stem, number, extension);
    return name;
}

// The image's pixels without changing its form (a palettised image stays one).
bool ReadPixels(MemoryImage* image, ImageLib::Image& out)
{
    const int width = image->GetWidth();
    const int height = image->GetHeight();
    if (width <= 0 || height <= 0)
        return false;
    out = ImageLib::Image(width, height);
    if (image->IsPalettized()) {
        const uint32_t* table = image->GetColorTable();
        const uint8_t* indices = image->GetColorIndices();
        if (!table || !indices)
            return false;
        for (size_t i = 0; i < out.mBits.size(); ++i)
            out.mBits[i] = table[indices[i]];
        return true;
    }
    const uint32_t* bits = image->GetBits();
    if (!bits)
        return false;
    std::copy(bits, bits + out.mBits.size(), out.mBits.begin());
    return true;
}

ImageLib::Image Thumbnail(const ImageLib::Image& picture)
{
    ImageLib::Image thumb(THUMB_SIZE, THUMB_SIZE);
    for (int y = 0; y < THUMB_SIZE; ++y)
        for (int x = 0; x < THUMB_SIZE; ++x)
            thumb.mBits[size_t(y) * THUMB_SIZE + x] =
                picture.Pixel(x * picture.GetWidth() / THUMB_SIZE, y * picture.GetHeight() / THUMB_SIZE);
    return thumb;
}

std::string LocalTimeText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y", &local);
    return text;
}

} // namespace

void ZantApp::WriteImageReport()
{
    const std::string folder = Platform::ToNativePath(mImageReportFolder);
    // The report empties its folder: a link in its place would have the folder it
    // points to emptied and filled instead.
    if (Platform::PathTaken(folder) && !Platform::IsRealFolder(folder)) {
        std::fprintf(stderr, "Image report: %s is not a folder; nothing was written\n", folder.c_str());
        return;
    }
    DeleteDirectoryTree(mImageReportFolder);
    // Creation is tried until an attempt finds the folder there: a removal may still
    // be under way when the first creation succeeds.
    Platform::DirectoryOps& ops = Platform::GetDirectoryOps();
    for (int attempt = 0; attempt < 50 && ops.MakeDirectory(folder); ++attempt)
        Platform::SleepMs(100);
    if (!Platform::IsRealFolder(folder)) {
        std::fprintf(stderr, "Image report: %s could not be made a folder; nothing was written\n", folder.c_str());
        return;
    }

    const std::string listPath = folder + "/imagelist.html";
    std::FILE* file = Platform::CreateFileNoFollow(listPath);
    if (!file) {
        std::fprintf(stderr, "Image report: cannot write %s\n", listPath.c_str());
        return;
    }

    // The display's lock first, as everywhere the image set and the cursor meet.
    std::unique_lock<CriticalSectionLock> display;
    if (mDDInterface)
        display = std::unique_lock<CriticalSectionLock>(mDDInterface->mCritSect);
    std::lock_guard<std::recursive_mutex> guard(mImageLock);

    std::vector<ImageUse> uses;
    for (MemoryImage* image : mMemoryImageSet)
        uses.push_back(MeasureImage(image));
    // Stable: images of equal size keep the order the set holds them in.
    std::stable_sort(uses.begin(), uses.end(),
                     [](const ImageUse& a, const ImageUse& b) { return a.Total() > b.Total(); });

    ImageUse totals;
    int64_t grandTotal = 0;
    for (const ImageUse& use : uses) {
        totals.bits += use.bits;
        totals.surface += use.surface;
        totals.palette += use.palette;
        totals.native += use.native;
        totals.rlAlpha += use.rlAlpha;
        totals.rlAdditive += use.rlAdditive;
        totals.texture += use.texture;
        grandTotal += use.Total();
    }

    std::string html = "<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>" + LocalTimeText() + "</B></FONT><BR>\n";
    html += "Total Image Allocation: " + Thousands(grandTotal) + " bytes<BR>\n";
    html += "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>\n";

    bool picturesWritten = true;
    for (size_t i = 0; i < uses.size(); ++i) {
        const ImageUse& use = uses[i];
        MemoryImage* image = use.image;
        const int number = static_cast<int>(i);
        const std::string pictureName = NumberedName("img", number, "png");
        const std::string thumbName = NumberedName("thumb", number, "jpg");

        html += "<TR>\n";
        html += "<TD><A HREF=" + pictureName + "><IMG SRC=" + thumbName + " WIDTH=" + std::to_string(THUMB_SIZE) +
                " HEIGHT=" + std::to_string(THUMB_SIZE) + "></A></TD>\n";
        html += "<TD ALIGN=RIGHT>" + std::to_string(image->GetWidth()) + " x " + std::to_string(image->GetHeight()) +
                "<BR>" + Thousands(use.Total()) + " bytes</TD>\n";
        html += SizeCell("mBits", use.bits) + "\n";
        html += SizeCell("Palletized", use.palette) + "\n";
        html += SizeCell("DDSurface", use.surface) + "\n";
        html += SizeCell("Texture", use.texture) + "\n";
        html += FlagCell("Volatile", image->IsVolatile()) + "\n";
        html += FlagCell("Forced", image->IsForcedMode()) + "\n";
        html += FlagCell("HasAlpha", image->HasAlpha()) + "\n";
        html += FlagCell("HasTrans", image->HasTransparency()) + "\n";
        html += SizeCell("NativeAlpha", use.native) + "\n";
        html += SizeCell("RLAlpha", use.rlAlpha) + "\n";
        html += SizeCell("RLAdditive", use.rlAdditive) + "\n";
        html += "</TR>\n";

        // An empty image has no picture to save (its thumbnail would read pixels it
        // does not have).
        ImageLib::Image picture;
        if (ReadPixels(image, picture)) {
            picturesWritten = ImageLib::WritePng(folder + "/" + pictureName, picture) && picturesWritten;
            picturesWritten = ImageLib::WriteJpeg(folder + "/" + thumbName, Thumbnail(picture)) && picturesWritten;
        }
    }

    auto totalCell = [](int64_t bytes) { return "<TD>" + Thousands(bytes) + "</TD>\n"; };
    html += "<TR>\n<TD>Totals</TD>\n" + totalCell(grandTotal) + totalCell(totals.bits) + totalCell(totals.palette) +
            totalCell(totals.surface) + totalCell(totals.texture);
    for (int i = 0; i < 4; ++i)
        html += "<TD>&nbsp;</TD>\n";
    html += totalCell(totals.native) + totalCell(totals.rlAlpha) + totalCell(totals.rlAdditive) + "</TR>\n";
    html += "</TABLE></CENTER></BODY></HTML>\n";

    const bool written = std::fwrite(html.data(), 1, html.size(), file) == html.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || !picturesWritten)
        std::fprintf(stderr, "Image report: writing into %s failed\n", folder.c_str());
}

} // namespace Zant
