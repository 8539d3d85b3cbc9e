// Pictures with system text must come out the same on every machine: the tests'
// font configuration resolves each family the code asks for to one fixed file,
// whatever other fonts the machine or the user has.
#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/SystemFonts.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for its lifetime.
class EnvValue {
public:
    EnvValue(const char* name, const std::string& value) : mName(name)
    {
        if (const char* old = std::getenv(name))
            mOld = old;
        setenv(name, value.c_str(), 1);
    }
    ~EnvValue()
    {
        if (mOld)
            setenv(mName, mOld->c_str(), 1);
        else
            unsetenv(mName);
    }
    EnvValue(const EnvValue&) = delete;
    EnvValue& operator=(const EnvValue&) = delete;

private:
    const char* mName;
    std::optional<std::string> mOld;
};

struct AskedFace {
    const char* family;
    bool bold;
    const char* file;
};

// The families the crash windows, overlays and controls ask for.
const AskedFace kAskedFaces[] = {
    {"Tahoma", false, "DejaVuSans.ttf"},       {"Tahoma", true, "DejaVuSans-Bold.ttf"},
    {"Arial", true, "DejaVuSans-Bold.ttf"},    {"Arial", false, "DejaVuSans.ttf"},
    {"SansSerif", false, "DejaVuSans.ttf"},    {"SansSerif", true, "DejaVuSans-Bold.ttf"},
    {"Courier New", false, "DejaVuSansMono.ttf"}, {"Courier New", true, "DejaVuSansMono-Bold.ttf"},
};

void ExpectPinnedFaces(const std::string& fontDir)
{
    for (const AskedFace& asked : kAskedFaces) {
        std::string file;
        int index = -1;
        ASSERT_TRUE(Platform::MatchFontFile(asked.family, asked.bold, false, file, index)) << asked.family;
        EXPECT_EQ(file, fontDir + "/" + asked.file) << asked.family << (asked.bold ? " bold" : "");
        EXPECT_EQ(index, 0);
    }
}

int ListedFontCount()
{
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    const int count = fonts ? fonts->nfont : -1;
    if (fonts)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return count;
}

} // namespace

TEST(PinnedFonts, TestsRunWithTheProjectsFontConfiguration)
{
    const char* config = std::getenv("FONTCONFIG_FILE");
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(std::string(config), PLINDOR_TEST_FONTCONFIG);
    ASSERT_TRUE(fs::exists(config));
    ExpectPinnedFaces(fs::path(config).parent_path().string());
}

TEST(PinnedFonts, ExtraFontFoldersChangeNothing)
{
    const std::string fontDir = fs::path(PLINDOR_TEST_FONTCONFIG).parent_path().string();
    // Fonts a user might have in the folders fontconfig normally scans, among them
    // faces that a machine-wide configuration would gladly pick for sans-serif.
    TestSupport::TempDir home("plindor-fonts-home");
    const fs::path extras[] = {fs::path(home.Path()) / ".fonts", fs::path(home.Path()) / "data" / "fonts"};
    const char* others[] = {"/usr/share/fonts/opentype/roboto/slab/RobotoSlab-Bold.otf",
                            "/usr/share/fonts/truetype/adf/GilliusADF-Bold.otf",
                            "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"};
    for (const fs::path& dir : extras) {
        fs::create_directories(dir);
        for (const char* other : others)
            if (fs::exists(other))
                fs::copy_file(other, dir / fs::path(other).filename());
    }
    {
        EnvValue homeValue("HOME", home.Path());
        EnvValue dataValue("XDG_DATA_HOME", home.Path() + "/data");
        ASSERT_TRUE(FcInitReinitialize());
        EXPECT_EQ(ListedFontCount(), 4);
        ExpectPinnedFaces(fontDir);
    }
    ASSERT_TRUE(FcInitReinitialize());
    ExpectPinnedFaces(fontDir);
}
