// The image report: images listed largest first with their memory, saved as pictures
// and thumbnails into a fresh report folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "tests/support/AppFixture.h"
#include "tests/support/TestSupport.h"

namespace {

class ImageReport : public ::testing::Test, public TestSupport::AppFixture<> {
protected:
    ImageReport() { app->mImageReportFolder = dir.File("_dump"); }

    // An image of width x height whose pixel (x, y) has colour x + 256 * y.
    std::unique_ptr<Zant::MemoryImage> Gradient(int width, int height)
    {
        auto image = std::make_unique<Zant::MemoryImage>(app.get());
        std::vector<uint32_t> pixels(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[size_t(y) * width + x] = 0xFF000000u | uint32_t(x) | (uint32_t(y) << 8);
        image->SetBits(pixels.data(), width, height);
        return image;
    }

    std::string Report() const { return TestSupport::ReadFile(dir.File("_dump/imagelist.html")); }
    std::string Dumped(const std::string& name) const { return dir.File("_dump/" + name); }

    TestSupport::TempDir dir;
};

// Row n's size cell, as "W x H<BR>N bytes".
std::vector<std::string> SizeCells(const std::string& html)
{
    std::vector<std::string> cells;
    const std::string open = "<TD ALIGN=RIGHT>";
    for (size_t at = html.find(open); at != std::string::npos; at = html.find(open, at + 1))
        cells.push_back(html.substr(at + open.size(), html.find("</TD>", at) - at - open.size()));
    return cells;
}

TEST_F(ImageReport, ListsImagesLargestFirstWithTheirMemory)
{
    auto small1 = Gradient(10, 10);
    auto small2 = Gradient(20, 5);
    auto large = Gradient(30, 30);
    auto paletted = Gradient(16, 16); // 256 colours
    ASSERT_TRUE(paletted->Palletize());
    ASSERT_FALSE(paletted->HasBits());
    Zant::MemoryImage empty(app.get());

    app->WriteImageReport();
    const std::string html = Report();
    ASSERT_FALSE(html.empty());

    // Images of equal size keep the order the image set holds them in.
    std::vector<std::string> equalOrder;
    for (Zant::MemoryImage* image : app->mMemoryImageSet)
        if (image == small1.get() || image == small2.get())
            equalOrder.push_back(image == small1.get() ? "10 x 10<BR>400 bytes" : "20 x 5<BR>400 bytes");
    const std::vector<std::string> expected = {"30 x 30<BR>3,600 bytes", "16 x 16<BR>1,280 bytes", equalOrder[0],
                                               equalOrder[1], "0 x 0<BR>0 bytes"};
    EXPECT_EQ(SizeCells(html), expected);
    EXPECT_NE(html.find("Total Image Allocation: 5,680 bytes<BR>"), std::string::npos);
    EXPECT_NE(html.find("<TD><A HREF=img0001.png><IMG SRC=thumb0001.jpg WIDTH=64 HEIGHT=64></A></TD>\n"
                        "<TD ALIGN=RIGHT>16 x 16<BR>1,280 bytes</TD>\n"
                        "<TD>&nbsp;</TD>\n<TD>Palletized<BR>1,280</TD>\n"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("<TD>mBits<BR>3,600</TD>"), std::string::npos);
    EXPECT_NE(html.find("<TR>\n<TD>Totals</TD>\n<TD>5,680</TD>\n<TD>4,400</TD>\n<TD>1,280</TD>\n<TD>0</TD>\n"),
              std::string::npos)
        << html;
    EXPECT_EQ(html.rfind("</TABLE></CENTER></BODY></HTML>"), html.size() - 32);

    // The report leaves the images as they were.
    EXPECT_TRUE(paletted->IsPalettized());
    EXPECT_FALSE(paletted->HasBits());
}

TEST_F(ImageReport, SavesEachPictureAndAThumbnail)
{
    auto large = Gradient(128, 32);
    auto paletted = Gradient(16, 8);
    ASSERT_TRUE(paletted->Palletize());
    Zant::MemoryImage empty(app.get());

    app->WriteImageReport();

    auto picture = ImageLib::ReadPng(Dumped("img0000.png"));
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->GetWidth(), 128);
    ASSERT_EQ(picture->GetHeight(), 32);
    EXPECT_EQ(picture->Pixel(127, 31), 0xFF000000u | 127u | (31u << 8));
    auto palettePicture = ImageLib::ReadPng(Dumped("img0001.png"));
    ASSERT_NE(palettePicture, nullptr);
    EXPECT_EQ(palettePicture->Pixel(15, 7), 0xFF000000u | 15u | (7u << 8));

    auto thumb = ImageLib::ReadJpeg(Dumped("thumb0000.jpg"));
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->GetWidth(), 64);
    EXPECT_EQ(thumb->GetHeight(), 64);
    // An empty image is listed but has no picture to save.
    EXPECT_FALSE(std::filesystem::exists(Dumped("img0002.png")));
    EXPECT_FALSE(std::filesystem::exists(Dumped("thumb0002.jpg")));
}

TEST_F(ImageReport, StartsFromAnEmptyFolder)
{
    std::filesystem::create_directories(Dumped("old"));
    TestSupport::WriteFile(Dumped("old/stale.txt"), "x");
    TestSupport::WriteFile(Dumped("img0007.png"), "stale");
    app->WriteImageReport();
    EXPECT_FALSE(std::filesystem::exists(Dumped("old")));
    EXPECT_FALSE(std::filesystem::exists(Dumped("img0007.png")));
    EXPECT_TRUE(std::filesystem::exists(Dumped("imagelist.html")));
}

TEST_F(ImageReport, FolderThatCannotBeMadeWritesNothing)
{
    app->mImageReportFolder = dir.File("missing/parent/_dump");
    auto image = Gradient(4, 4);
    app->WriteImageReport();
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

TEST_F(ImageReport, LinksAreNeverFollowed)
{
    // A folder of the player's that a link stands for, with a file and a subfolder.
    const std::string target = dir.File("keep");
    std::filesystem::create_directories(target + "/inner");
    TestSupport::WriteFile(target + "/letter.txt", "mine");
    TestSupport::WriteFile(target + "/inner/note.txt", "mine too");
    TestSupport::WriteFile(dir.File("victim.png"), "untouched");
    auto listing = [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(target))
            names.push_back(entry.path().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = listing();
    auto image = Gradient(4, 4);

    // The report folder itself is a link: refused, and the folder it names is left as it was.
    std::filesystem::create_directory_symlink(target, dir.File("_dump"));
    app->WriteImageReport();
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("_dump")));
    EXPECT_EQ(listing(), before);
    EXPECT_EQ(TestSupport::ReadFile(target + "/letter.txt"), "mine");
    std::filesystem::remove(dir.File("_dump"));

    // Links inside the old report go with it, but what they point to stays.
    std::filesystem::create_directories(dir.File("_dump"));
    std::filesystem::create_directory_symlink(target, Dumped("old"));
    app->WriteImageReport();
    EXPECT_FALSE(std::filesystem::exists(Dumped("old")));
    EXPECT_EQ(listing(), before);
    EXPECT_TRUE(std::filesystem::exists(Dumped("imagelist.html")));
}

TEST_F(ImageReport, ReportFilesAreNotWrittenThroughLinks)
{
    // A picture's name taken by a link to another file, planted between the clearing
    // of the folder and the writing (a report file's name is known ahead).
    TestSupport::WriteFile(dir.File("victim.png"), "untouched");
    const std::string link = dir.File("link.png");
    std::filesystem::create_symlink(dir.File("victim.png"), link);
    ImageLib::Image picture(4, 4);
    EXPECT_FALSE(ImageLib::WritePng(link, picture));
    EXPECT_FALSE(ImageLib::WriteJpeg(link, picture));
    EXPECT_EQ(TestSupport::ReadFile(dir.File("victim.png")), "untouched");
}

} // namespace
