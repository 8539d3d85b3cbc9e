// The loader, the cursor thread and the main thread all at once: the loader makes
// 500 images from a file while the main thread draws, presents, makes and destroys
// images and drops image caches, and the cursor thread follows a moving mouse. The
// ThreadSanitizer build runs this too and must report nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "framework/app/AppServices.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageLib.h"
#include "platform/display/FakeScreen.h"
#include "tests/display/AppFixture.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

class StressApp : public ZantApp {
public:
    ~StressApp() override { WaitForLoader(); }
    void LoadingProc() override
    {
        for (int i = 0; i < 500; ++i) {
            if (DDImage* image = LoadImageFile(path))
                loaded.push_back(image);
            ++mCompletedLoadingThreadTasks;
        }
    }
    std::string path;
    std::vector<DDImage*> loaded; // the loader's until it has finished
};

} // namespace

TEST(ThreadStress, LoaderCursorAndDrawingShareTheDisplay)
{
    TestSupport::TempDir dir;
    ImageLib::Image picture(12, 10);
    for (int i = 0; i < 120; ++i)
        picture.mBits[size_t(i)] = (i % 7 == 0 ? 0x00000000u : 0xFF000000u) | uint32_t(i * 2000);
    const std::string path = dir.File("sprite.png");
    ASSERT_TRUE(ImageLib::WritePng(path, picture));

    DisplayTest::AppFixture<StressApp> f(false, false);
    StressApp& app = *f.app;
    app.path = path;
    app.mNumLoadingThreadTasks = 500;
    auto* dd = new DDInterface(&app, std::make_unique<Platform::FakeScreen>());
    app.mDDInterface = dd;
    ASSERT_EQ(dd->Init(nullptr, true), 0);
    std::unique_ptr<DDImage> cursor(new DDImage(dd));
    {
        std::vector<uint32_t> arrow(24 * 24, 0xC0FFFFFF);
        cursor->SetBits(arrow.data(), 24, 24);
    }
    dd->SetCursorImage(cursor.get());

    app.StartCursorThread();
    app.StartLoadingThread();
    int frame = 0;
    while (!app.mLoaded) {
        ++frame;
        // The mouse wanders; the cursor thread follows it.
        f.windows.cursorX = 100 + frame % 300;
        f.windows.cursorY = 50 + (frame * 7) % 300;
        AppServices::PollDisplay(&app);

        std::unique_ptr<DDImage> made(new DDImage(dd));
        std::vector<uint32_t> pixels(32 * 16, 0xFF000000u | uint32_t(frame * 977));
        pixels[3] = 0x80FF0000;
        made->SetBits(pixels.data(), 32, 16);
        Image* screen = AppServices::ScreenImage(&app);
        const bool locked = AppServices::LockScreenImage(&app, screen);
        {
            Graphics g(screen);
            g.SetColor(Color(frame % 256, 40, 80));
            g.FillRect(0, 0, 640, 480);
            g.DrawImage(made.get(), frame % 600, 100);
            g.DrawImage(cursor.get(), 300, frame % 400);
        }
        if (locked)
            AppServices::UnlockScreenImage(&app, screen);
        EXPECT_TRUE(AppServices::Present(&app, nullptr));
        if (frame % 10 == 0)
            app.ClearImageCaches();
    }
    app.WaitForLoader();
    app.Shutdown();

    ASSERT_EQ(app.loaded.size(), 500u);
    {
        std::lock_guard<std::recursive_mutex> guard(app.mImageLock);
        for (DDImage* image : app.loaded)
            EXPECT_TRUE(app.mMemoryImageSet.count(image));
    }
    EXPECT_EQ(app.loaded[499]->GetBits()[1], 0xFF000000u | 2000u);
    for (DDImage* image : app.loaded)
        delete image;
    dd->SetCursorImage(nullptr);
}
