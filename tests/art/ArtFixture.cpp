#include "tests/art/ArtFixture.h"

#include <cstdlib>

#include "platform/Paths.h"
#include "tests/support/TestSupport.h"

using Zant::Art::ImageSpec;
using Zant::Art::Manifest;

namespace ArtTest {

std::unique_ptr<Manifest> ArtImages::sManifest;
std::unique_ptr<std::map<std::string, std::unique_ptr<ImageLib::Image>>> ArtImages::sPictures;

std::string GameImagePath(const std::string& name)
{
    return TestSupport::GameDir() + "/" + Platform::ToNativePath("images\\" + name);
}

void ArtImages::SetUpTestSuite()
{
    if (sManifest)
        return;
    sManifest = std::make_unique<Manifest>();
    sPictures = std::make_unique<std::map<std::string, std::unique_ptr<ImageLib::Image>>>();
    std::string error;
    ASSERT_TRUE(Zant::Art::LoadManifest(TestSupport::SourceDir() + "/tools/art/images.manifest", *sManifest, error))
        << error;
    for (const ImageSpec& entry : sManifest->images)
        if (auto image = ImageLib::LoadImageFile(GameImagePath(entry.name), true))
            (*sPictures)[entry.name] = std::move(image);
}

// The pictures stay for the whole program: both suites read them, and reading
// them again would only repeat the same work.
void ArtImages::TearDownTestSuite() {}

const ImageSpec& ArtImages::Entry(const std::string& name)
{
    static const ImageSpec empty;
    const ImageSpec* entry = sManifest->Find(name);
    if (!entry)
        ADD_FAILURE() << name << " is not in the manifest";
    return entry ? *entry : empty;
}

const ImageLib::Image& ArtImages::Pic(const std::string& name)
{
    static const ImageLib::Image empty;
    auto found = sPictures->find(name);
    if (found == sPictures->end()) {
        ADD_FAILURE() << "images\\" << name << " did not load";
        return empty;
    }
    return *found->second;
}

double ArtImages::CelDifference(const ImageLib::Image& p, const ImageSpec& s, int a, int b)
{
    int cw = s.CelWidth(), ch = s.CelHeight();
    double sum = 0;
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x) {
            uint32_t pa = p.Pixel((a % s.columns) * cw + x, (a / s.columns) * ch + y);
            uint32_t pb = p.Pixel((b % s.columns) * cw + x, (b / s.columns) * ch + y);
            int aa = Alpha(pa), ab = Alpha(pb);
            sum += std::abs(Red(pa) * aa - Red(pb) * ab) / 255.0 + std::abs(Green(pa) * aa - Green(pb) * ab) / 255.0 +
                   std::abs(Blue(pa) * aa - Blue(pb) * ab) / 255.0 + std::abs(aa - ab);
        }
    return sum / (double(cw) * ch);
}

} // namespace ArtTest
