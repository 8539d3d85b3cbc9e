#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <thread>

#include "framework/graphics/DDInterface.h"
#include "framework/sound/DSoundManager.h"
#include "framework/sound/MusicInterface.h"
#include "platform/display/FakeScreen.h"
#include "tests/controls/ControlsTestSupport.h"

using namespace ControlsTest;
using Zant::Dialog;

namespace {

class FakeMusic : public Zant::MusicInterface {
public:
    void SetVolume(double volume) override { volumes.push_back(volume); }
    std::vector<double> volumes;
};

struct ServicesFixture : AppFixture {
    ServicesFixture() : frame(SolidImage(48, 48, 0xFF204060)), button(SolidImage(30, 30, 0xFF806040))
    {
        app->frameImage = frame.get();
        app->buttonImage = button.get();
    }
    Dialog* Show(int id, bool modal) { return app->ShowDialog(id, modal, "H", "L", "", Zant::BUTTONS_OK_CANCEL); }
    std::unique_ptr<Zant::MemoryImage> frame, button;
};

} // namespace

TEST(AppDialogs, RemovingTheModalBaseMakesTheLowestRemainingModalDialogTheBase)
{
    ServicesFixture f;
    Dialog* five = f.Show(5, true);
    f.Show(6, false);
    Dialog* seven = f.Show(7, true);
    EXPECT_EQ(f.Manager().mBaseModalWidget, seven);
    EXPECT_EQ(f.app->CountDialogs(), 3);
    EXPECT_TRUE(f.app->RemoveDialog(7));
    EXPECT_EQ(f.Manager().mBaseModalWidget, five);
    EXPECT_FALSE(f.app->RemoveDialog(99));
    EXPECT_EQ(f.app->added, 2);
    EXPECT_EQ(f.app->removed, 1);
    EXPECT_EQ(f.app->FindDialog(6)->mId, 6);
}

TEST(AppDialogs, ShowingAnIdInUseReplacesTheOldDialogAfterTheFrame)
{
    ServicesFixture f;
    Dialog* first = f.Show(5, true);
    Dialog* second = f.Show(5, true);
    EXPECT_NE(first, second);
    EXPECT_EQ(f.app->FindDialog(5), second);
    EXPECT_FALSE(f.Manager().HasWidget(first));
    ASSERT_EQ(f.app->mDeferredDeletions.size(), 1u);
    EXPECT_EQ(f.app->mDeferredDeletions[0], first);
    f.app->FlushWidgetDeletions();
    EXPECT_TRUE(f.app->mDeferredDeletions.empty());
}

TEST(AppDialogs, AddingTheSameDialogAgainDoesNotQueueItForDeletion)
{
    ServicesFixture f;
    Dialog* dialog = f.Show(5, true);
    f.app->AddDialog(5, dialog);
    EXPECT_TRUE(f.app->mDeferredDeletions.empty());
    EXPECT_EQ(f.app->FindDialog(5), dialog);
    EXPECT_TRUE(f.Manager().HasWidget(dialog));
}

TEST(AppDialogs, ANullDialogFromTheFactoryIsNotStored)
{
    AppFixture f; // its factory has images, but the base application's makes nothing
    Zant::ZantApp& base = *f.app;
    EXPECT_EQ(base.Zant::ZantApp::NewDialog(1, true, "", "", "", 0), nullptr);
    f.app->AddDialog(3, nullptr);
    EXPECT_EQ(f.app->CountDialogs(), 0);
}

TEST(AppVolumes, MuteCountsAndStoredVolumes)
{
    ServicesFixture f;
    auto* music = new FakeMusic();
    f.app->mMusicInterface = music;
    f.app->mSoundManager = new Zant::DSoundManager(std::unique_ptr<Platform::AudioDevice>());

    f.app->Mute(false);
    f.app->Mute(false);
    EXPECT_TRUE(f.app->IsMuted());
    f.app->Unmute(false);
    EXPECT_TRUE(f.app->IsMuted());
    f.app->SetMusicVolume(0.5);
    f.app->SetSfxVolume(0.25);
    EXPECT_EQ(music->volumes.back(), 0.0);
    EXPECT_EQ(f.app->mSoundManager->GetMasterVolume(), 0.0);
    EXPECT_EQ(f.app->GetMusicVolume(), 0.5);
    EXPECT_EQ(f.app->GetSfxVolume(), 0.25);
    f.app->Unmute(false);
    EXPECT_FALSE(f.app->IsMuted());
    EXPECT_EQ(music->volumes.back(), 0.5);
    EXPECT_EQ(f.app->mSoundManager->GetMasterVolume(), 0.25);
    f.app->Unmute(false);
    EXPECT_FALSE(f.app->IsMuted());
    EXPECT_EQ(f.app->mMuteCount, 0);
}

TEST(AppVolumes, InterleavedManualAndAutomaticMutesKeepTheCountsSound)
{
    ServicesFixture f;
    f.app->Mute(false);  // the player mutes in the options
    f.app->Unmute(true); // then a focus change unmutes automatically
    f.app->Mute(true);   // and the window is minimised
    EXPECT_GE(f.app->mAutoMuteCount, 0);
    EXPECT_FALSE(f.app->mMuteCount > f.app->mAutoMuteCount) << "saved as not muted by the player";
}

TEST(AppVolumes, MasterVolumeLeavesTheEffectsVolumeAlone)
{
    ServicesFixture f;
    f.app->mSoundManager = new Zant::DSoundManager(std::unique_ptr<Platform::AudioDevice>());
    const double before = f.app->GetMasterVolume();
    f.app->SetSfxVolume(0.6);
    f.app->SetMasterVolume(0.3);
    EXPECT_NEAR(f.app->GetMasterVolume(), 0.3, 0.001);
    EXPECT_EQ(f.app->GetSfxVolume(), 0.6);
    f.app->SetMasterVolume(before);
}

TEST(AppVolumes, SoundsWithoutASoundManagerDoNothing)
{
    ServicesFixture f;
    f.app->PlaySound(3);
    f.app->PlaySoundPanned(3, -10000);
    f.app->mSoundManager = new Zant::DSoundManager(std::unique_ptr<Platform::AudioDevice>());
    f.app->PlaySound(3); // nothing loaded under the id
    f.app->PlaySound(-1);
}

TEST(AppCursors, ApplyChoosesBetweenSystemCursorsAndTheDisplaysImage)
{
    using Platform::SystemCursor;
    auto image = SolidImage(32, 32, 0xFFFFFFFF);
    struct Case {
        const char* name;
        bool crashed, inside, custom, demo, withImage;
        int number;
        SystemCursor expected;
        bool imageShown;
    };
    const Case cases[] = {
        {"crashed", true, true, true, false, true, 1, SystemCursor::Arrow, false},
        {"mouse outside", false, false, true, false, true, 1, SystemCursor::Arrow, false},
        {"custom cursors with an image", false, true, true, false, true, 1, SystemCursor::None, true},
        {"demo playing with an image", false, true, false, true, true, 2, SystemCursor::None, true},
        {"image but custom cursors off", false, true, false, false, true, 1, SystemCursor::Hand, false},
        {"number 5 without an image", false, true, false, false, false, 5, SystemCursor::None, false},
        {"text", false, true, true, false, false, 3, SystemCursor::TextBeam, false},
        {"move", false, true, false, false, false, 4, SystemCursor::Move, false},
        {"dragging", false, true, false, false, false, 2, SystemCursor::Dragging, false},
        {"unknown number", false, true, false, false, false, 17, SystemCursor::Arrow, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServicesFixture f;
        f.app->mDDInterface = new Zant::DDInterface(f.app.get(), std::make_unique<Platform::FakeScreen>());
        f.app->mCrashed = c.crashed;
        f.app->mMouseIn = c.inside;
        f.app->mPlayingDemoBuffer = c.demo;
        f.app->mCustomCursorsEnabled = c.custom;
        if (c.withImage)
            f.app->AssignCursorImage(c.number < Zant::NUM_CURSORS ? c.number : 0, image.get());
        f.app->SelectCursor(c.number);
        EXPECT_EQ(f.windows.cursor, c.expected);
        EXPECT_EQ(f.app->mDDInterface->mCursorImage, c.imageShown ? image.get() : nullptr);
        EXPECT_EQ(f.app->mSysCursor, !c.imageShown);
        f.app->mPlayingDemoBuffer = false;
    }
}

TEST(AppCursors, ImagesForUnknownNumbersAreIgnored)
{
    ServicesFixture f;
    auto image = SolidImage(8, 8, 0xFFFFFFFF);
    f.app->AssignCursorImage(6, image.get());
    f.app->AssignCursorImage(-1, image.get());
    for (Zant::Image* slot : f.app->mCursorImages)
        EXPECT_EQ(slot, nullptr);
}

TEST(AppCrash, SEHOccurredSilencesHidesAndShowsTheArrow)
{
    ServicesFixture f;
    auto* music = new FakeMusic();
    f.app->mMusicInterface = music;
    f.windows.shown = true;
    f.app->mMouseIn = true;
    f.app->SelectCursor(Zant::CURSOR_HAND);
    f.app->SEHOccurred();
    EXPECT_EQ(music->volumes.back(), 0.0);
    EXPECT_FALSE(f.windows.shown);
    EXPECT_TRUE(f.app->mCrashed);
    EXPECT_EQ(f.windows.cursor, Platform::SystemCursor::Arrow);
}

TEST(AppMessages, ShowMessageIsAFatalErrorBoxUnlessQuitting)
{
    ServicesFixture f;
    f.app->ShowMessage("Something broke.");
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].title, "FATAL ERROR");
    EXPECT_EQ(f.boxes.shown[0].text, "Something broke.");
    EXPECT_EQ(f.boxes.shown[0].icon, Platform::BoxIcon::Error);
    f.app->mShutdown = true;
    f.app->ShowMessage("Again.");
    EXPECT_EQ(f.boxes.shown.size(), 1u);
    f.app->mShutdown = false;
}

TEST(AppUpdateCheck, DueWhenNeverStampedFailedOrAWeekOld)
{
    const int now = static_cast<int>(time(nullptr));
    struct Case {
        const char* name;
        bool dontUpdate, success;
        int last;
        bool due;
    };
    const Case cases[] = {
        {"switched off", true, false, 0, false},
        {"never checked", false, true, 0, true},
        {"last transfer failed", false, false, now - 10, true},
        {"checked yesterday", false, true, now - 86400, false},
        {"exactly a week", false, true, now - 604800 + 60, false},
        {"eight days ago", false, true, now - 8 * 86400, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServicesFixture f;
        f.app->mDontUpdate = c.dontUpdate;
        f.app->mITSuccess = c.success;
        f.app->mLastVerCheckQueryTime = c.last;
        EXPECT_EQ(f.app->IsUpdateCheckDue(), c.due);
    }
    ServicesFixture f;
    f.app->StampUpdateCheckTime();
    EXPECT_NEAR(f.app->mLastVerCheckQueryTime, static_cast<int>(time(nullptr)), 5);
}

TEST(AppImages, RegistrationFromOtherThreadsIsSafeWhileTheSetIsWalked)
{
    // The loading thread makes images while the main thread may clear their caches.
    ServicesFixture f;
    std::atomic<bool> stop{false};
    std::vector<std::thread> makers;
    for (int t = 0; t < 4; ++t) {
        makers.emplace_back([&] {
            while (!stop) {
                Zant::MemoryImage image(f.app.get());
                image.Create(4, 4);
            }
        });
    }
    for (int i = 0; i < 2000; ++i)
        f.app->ClearImageCaches();
    stop = true;
    for (std::thread& t : makers)
        t.join();
    std::lock_guard<std::recursive_mutex> guard(f.app->mImageLock);
    EXPECT_TRUE(f.app->mMemoryImageSet.empty());
}
