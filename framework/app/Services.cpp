// Application services: dialogs by id, cursors, volumes and sounds, the clipboard,
// the crash hook and the update-check schedule.
#include <ctime>

#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clipboard.h"
#include "platform/Paths.h"

namespace Zant {

// ---- Dialogs.

Dialog* ZantApp::ShowDialog(int id, bool modal, const std::string& header, const std::string& lines,
                            const std::string& footer, int buttonMode)
{
    RemoveDialog(id);
    Dialog* dialog = NewDialog(id, modal, header, lines, footer, buttonMode);
    AddDialog(id, dialog);
    return dialog;
}

void ZantApp::AddDialog(int id, Dialog* dialog)
{
    // Adding the dialog already open under this id must not queue it for deletion.
    if (FindDialog(id) != dialog)
        RemoveDialog(id);
    if (!dialog)
        return;
    mDialogMap[id] = dialog;
    if (mWidgetManager) {
        mWidgetManager->AddWidget(dialog);
        if (dialog->mIsModal) {
            mWidgetManager->SetBaseModal(dialog);
            DialogAdded(dialog);
        }
    }
}

bool ZantApp::RemoveDialog(int id)
{
    auto it = mDialogMap.find(id);
    if (it == mDialogMap.end())
        return false;
    Dialog* dialog = it->second;
    // Out of the map first, so that a hook removing dialogs cannot reach this one again.
    mDialogMap.erase(it);
    if (dialog->mIsModal)
        DialogRemoved(dialog);
    if (mWidgetManager)
        mWidgetManager->RemoveWidget(dialog);
    QueueWidgetDeletion(dialog);
    if (mWidgetManager && !mWidgetManager->mBaseModalWidget) {
        for (auto& [otherId, other] : mDialogMap) {
            if (other->mIsModal) {
                mWidgetManager->SetBaseModal(other);
                break;
            }
        }
    }
    return true;
}

Dialog* ZantApp::FindDialog(int id)
{
    auto it = mDialogMap.find(id);
    return it == mDialogMap.end() ? nullptr : it->second;
}

int ZantApp::CountDialogs() { return static_cast<int>(mDialogMap.size()); }

// ---- Cursors.

void ZantApp::SelectCursor(int number)
{
    mCursorNum = number;
    ApplyCursor();
}

void ZantApp::AssignCursorImage(int number, Image* image)
{
    if (number < 0 || number >= NUM_CURSORS)
        return;
    mCursorImages[number] = image;
    ApplyCursor();
}

void ZantApp::SetCustomCursorsFlag(bool flag)
{
    mCustomCursorsEnabled = flag;
    ApplyCursor();
}

void ZantApp::ApplyCursor()
{
    if (!mWidgetManager || !mWindows)
        return;
    if (!mCrashed && mMouseIn) {
        Image* image = mCursorNum >= 0 && mCursorNum < NUM_CURSORS ? mCursorImages[mCursorNum] : nullptr;
        if (image && (mPlayingDemoBuffer || mCustomCursorsEnabled)) {
            AppServices::SetDisplayCursorImage(this, image);
            mWindows->SetSystemCursor(Platform::SystemCursor::None);
            mSysCursor = false;
            return;
        }
        static const Platform::SystemCursor kCursors[] = {
            Platform::SystemCursor::Arrow, Platform::SystemCursor::Hand, Platform::SystemCursor::Dragging,
            Platform::SystemCursor::TextBeam, Platform::SystemCursor::Move, Platform::SystemCursor::None};
        mWindows->SetSystemCursor(mCursorNum >= 0 && mCursorNum < NUM_CURSORS ? kCursors[mCursorNum]
                                                                             : Platform::SystemCursor::Arrow);
    } else {
        mWindows->SetSystemCursor(Platform::SystemCursor::Arrow);
    }
    AppServices::SetDisplayCursorImage(this, nullptr);
    mSysCursor = true;
}

// ---- Volumes and sounds.

double ZantApp::GetMusicVolume() { return mMusicVolume; }
double ZantApp::GetSfxVolume() { return mSfxVolume; }
bool ZantApp::IsMuted() { return mMuteCount > 0; }

void ZantApp::SetMusicVolume(double volume)
{
    mMusicVolume = volume;
    AppServices::SetMusicInterfaceVolume(this, IsMuted() ? 0.0 : volume);
}

void ZantApp::SetSfxVolume(double volume)
{
    mSfxVolume = volume;
    AppServices::SetSoundManagerVolume(this, IsMuted() ? 0.0 : volume);
}

double ZantApp::GetMasterVolume() { return AppServices::GetSoundManagerMasterVolume(this); }

// Only the mixer's master gain: the stored sound-effect volume (saved as SfxVolume)
// stays the player's own choice.
void ZantApp::SetMasterVolume(double volume) { AppServices::SetSoundManagerMasterVolume(this, volume); }

void ZantApp::Mute(bool autoMute)
{
    ++mMuteCount;
    if (autoMute)
        ++mAutoMuteCount;
    SetMusicVolume(mMusicVolume);
    SetSfxVolume(mSfxVolume);
}

void ZantApp::Unmute(bool autoMute)
{
    if (mMuteCount > 0) {
        --mMuteCount;
        // Manual and automatic calls may interleave; the automatic count never goes
        // below zero, since the saved Muted setting compares the two counts.
        if (autoMute && mAutoMuteCount > 0)
            --mAutoMuteCount;
    }
    SetMusicVolume(mMusicVolume);
    SetSfxVolume(mSfxVolume);
}

void ZantApp::PlaySound(int id) { AppServices::PlaySound(this, id, 0, false); }

void ZantApp::PlaySoundPanned(int id, int pan) { AppServices::PlaySound(this, id, pan, true); }

MusicInterface* ZantApp::CreateMusicInterface(void* window)
{
    return AppServices::CreateMusicInterface(this, mNoSoundNeeded, mWantFMod);
}

// ---- Other services.

void ZantApp::SEHOccurred()
{
    SetMusicVolume(0);
    if (mWindows)
        mWindows->HideMainWindow();
    mCrashed = true;
    ApplyCursor();
}

void ZantApp::PutClipboardText(const std::string& text) { Platform::PutClipboardText(text); }

std::string ZantApp::GetClipboardText() { return Platform::GetClipboardText(); }

bool ZantApp::IsUpdateCheckDue()
{
    if (mDontUpdate)
        return false;
    if (mLastVerCheckQueryTime == 0 || !mITSuccess)
        return true;
    long long now = static_cast<long long>(time(nullptr));
    return now - mLastVerCheckQueryTime > 604800;
}

void ZantApp::StampUpdateCheckTime() { mLastVerCheckQueryTime = static_cast<int>(time(nullptr)); }

// ---- Registered images (made on the loading thread too, hence the lock).

void ZantApp::AddImage(MemoryImage* image)
{
    std::lock_guard<std::recursive_mutex> guard(mImageLock);
    mMemoryImageSet.insert(image);
}

void ZantApp::ForgetImage(MemoryImage* image)
{
    std::lock_guard<std::recursive_mutex> guard(mImageLock);
    mMemoryImageSet.erase(image);
    // Its textures go with it (queued to the main thread when it dies elsewhere).
    if (mDDInterface)
        mDDInterface->DropImageTextures(image);
}

Image* ZantApp::LoadFontImage(const std::string& path)
{
    std::unique_ptr<ImageLib::Image> loaded = ImageLib::LoadImageFile(Platform::ToNativePath(path), true);
    if (!loaded)
        return nullptr;
    auto* image = new MemoryImage(this);
    image->TakeBits(*loaded);
    return image;
}

void ZantApp::ShowFontError(const std::string& message) { ShowMessage(message); }

MemoryImage* ZantApp::NewFontImage() { return new MemoryImage(this); }

bool ZantApp::Is3D() { return AppServices::Display3D(this); }
// Asked before the 3D test's verdict came in, the answer waits for it.
bool ZantApp::Is3DSupported()
{
    Take3DTestVerdict(true);
    return AppServices::Display3DSupported(this);
}

bool ZantApp::Is3DRecommended()
{
    Take3DTestVerdict(true);
    return AppServices::Display3DRecommended(this);
}

} // namespace Zant
