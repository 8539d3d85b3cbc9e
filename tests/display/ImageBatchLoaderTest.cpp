// Images decoded on worker threads arrive on the calling thread in list order, with
// the same outcome for any number of workers: a missing file is the first of the
// list, nothing after it or after a stop is handed over.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/ImageBatchLoader.h"
#include "framework/graphics/ImageLib.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

constexpr int COUNT = 24;
const int WORKER_COUNTS[] = {1, 2, 4, 9};

// Picture i is i + 1 pixels wide; its pixels say which it is. Every third one has
// more than 256 colours, so it cannot take palette form.
uint32_t PixelOf(int picture, int x, int y)
{
    const uint32_t many = picture % 3 == 0 ? uint32_t(x * 3 + y) : 0;
    return 0xFF000000u | uint32_t(picture) << 16 | (many & 0xFFFF);
}

class PictureFolder {
public:
    PictureFolder()
    {
        for (int i = 0; i < COUNT; ++i) {
            ImageLib::Image picture(i + 1, i % 3 == 0 ? 300 : 2);
            for (int y = 0; y < picture.mHeight; ++y)
                for (int x = 0; x < picture.mWidth; ++x)
                    picture.mBits[size_t(y) * picture.mWidth + x] = PixelOf(i, x, y);
            EXPECT_TRUE(ImageLib::WritePng(mDir.File(Name(i) + ".png"), picture));
            mPaths.push_back(mDir.Path() + "\\" + Name(i));
        }
    }
    static std::string Name(int i) { return "picture" + std::to_string(i); }
    void Remove(int i) { std::remove(mDir.File(Name(i) + ".png").c_str()); }
    void Spoil(int i)
    {
        std::FILE* file = std::fopen(mDir.File(Name(i) + ".png").c_str(), "wb");
        std::fputs("not a picture", file);
        std::fclose(file);
    }
    const std::vector<std::string>& Paths() const { return mPaths; }

private:
    TestSupport::TempDir mDir;
    std::vector<std::string> mPaths;
};

struct Received {
    std::vector<size_t> indices;
    std::vector<std::unique_ptr<DDImage>> images;
};

bool CheckPicture(int i, DDImage& image)
{
    if (image.GetWidth() != i + 1 || image.IsPalettized() != (i % 3 != 0))
        return false;
    const uint32_t* bits = image.GetBits();
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (bits[size_t(y) * image.GetWidth() + x] != PixelOf(i, x, y))
                return false;
    return image.GetApp() == nullptr;
}

} // namespace

TEST(ImageBatchLoader, EveryImageArrivesInListOrder)
{
    PictureFolder folder;
    for (int workers : WORKER_COUNTS) {
        SCOPED_TRACE(workers);
        ImageBatchLoader loader(true, workers);
        Received got;
        const std::atomic<bool> stop{false};
        EXPECT_TRUE(loader.Load(folder.Paths(), stop, [&](size_t i, std::unique_ptr<DDImage> image) {
            got.indices.push_back(i);
            got.images.push_back(std::move(image));
            return true;
        }));
        EXPECT_TRUE(loader.GetMissingPath().empty());
        ASSERT_EQ(got.indices.size(), size_t(COUNT));
        for (int i = 0; i < COUNT; ++i) {
            EXPECT_EQ(got.indices[i], size_t(i));
            EXPECT_TRUE(CheckPicture(i, *got.images[i])) << i;
        }
    }
    EXPECT_GE(ImageBatchLoader(false).GetWorkerCount(), 1);
    EXPECT_LE(ImageBatchLoader(false).GetWorkerCount(), ImageBatchLoader::MAX_WORKERS);
}

// Whichever worker meets a bad file first, the first bad one of the list is named
// and only the images before it are handed over; the same for stops.
TEST(ImageBatchLoader, EndsAtTheFirstMissingFileOrAStop)
{
    PictureFolder folder;
    folder.Spoil(20);
    folder.Remove(13);
    folder.Spoil(7);
    struct Case {
        const char* name;
        size_t stopAfter;   // the receiver sets the stop flag after this index
        size_t refuseAfter; // the receiver returns false after this index
        bool stopFirst;     // stop is set before the batch starts
        size_t received;
        bool missing;
    };
    const size_t NEVER = size_t(-1);
    const Case cases[] = {
        {"corrupt file", NEVER, NEVER, false, 7, true},
        {"stop flag", 2, NEVER, false, 3, false},
        {"receiver stops", NEVER, 4, false, 5, false},
        {"stopped before", NEVER, NEVER, true, 0, false},
    };
    for (const Case& c : cases)
        for (int workers : WORKER_COUNTS) {
            SCOPED_TRACE(std::string(c.name) + ", workers " + std::to_string(workers));
            ImageBatchLoader loader(false, workers);
            std::atomic<bool> stop{c.stopFirst};
            std::vector<size_t> indices;
            EXPECT_FALSE(loader.Load(folder.Paths(), stop, [&](size_t i, std::unique_ptr<DDImage> image) {
                indices.push_back(i);
                if (i == c.stopAfter)
                    stop = true;
                return i != c.refuseAfter && image != nullptr;
            }));
            EXPECT_EQ(loader.GetMissingPath(), c.missing ? folder.Paths()[7] : "");
            ASSERT_EQ(indices.size(), c.received);
            for (size_t i = 0; i < indices.size(); ++i)
                EXPECT_EQ(indices[i], i);
        }

    // An empty list is loaded at once.
    ImageBatchLoader loader(true);
    const std::atomic<bool> stop{false};
    EXPECT_TRUE(loader.Load({}, stop, [](size_t, std::unique_ptr<DDImage>) { return false; }));
}

// Decoding runs while the caller does other work; a batch never received is ended
// by the next start or by the loader's end, its workers joined.
TEST(ImageBatchLoader, StartedBatchesAreReceivedLaterOrDropped)
{
    PictureFolder folder;
    const std::atomic<bool> stop{false};
    {
        ImageBatchLoader dropped(false, 3);
        dropped.Start(folder.Paths(), stop);
        EXPECT_TRUE(dropped.IsStarted());
    }
    ImageBatchLoader loader(true, 3);
    loader.Start(folder.Paths(), stop);
    loader.Start({folder.Paths()[5], folder.Paths()[6]}, stop);
    std::vector<int> widths;
    EXPECT_TRUE(loader.Receive([&](size_t, std::unique_ptr<DDImage> image) {
        widths.push_back(image->GetWidth());
        return true;
    }));
    EXPECT_EQ(widths, (std::vector<int>{6, 7}));
    EXPECT_FALSE(loader.IsStarted());
    // Nothing started: nothing to receive.
    EXPECT_TRUE(loader.Receive([](size_t, std::unique_ptr<DDImage>) { return false; }));
}
