// The sound manager and the music interface of the application.
#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/DSoundManager.h"
#include "framework/sound/FModMusicInterface.h"
#include "framework/sound/MusicInterface.h"
#include "framework/sound/SoundInstance.h"

namespace Zant {
namespace AppServices {

namespace {
// The sound layer wants some window to attach to; the application stands for it.
void* SoundWindow(ZantApp* app) { return app; }
} // namespace

void CreateSoundManager(ZantApp* app)
{
    if (!app->mSoundManager)
        app->mSoundManager = new DSoundManager(app->mNoSoundNeeded ? nullptr : SoundWindow(app), app->mWantFMod);
}

MusicInterface* CreateMusicInterface(ZantApp* app, bool noSound, bool wantFMod)
{
    if (noSound)
        return new MusicInterface();
    if (wantFMod)
        return new FModMusicInterface(SoundWindow(app));
    return new BassMusicInterface(SoundWindow(app));
}

void StopAllMusic(ZantApp* app)
{
    if (app->mMusicInterface)
        app->mMusicInterface->StopAllMusic();
}

void UpdateMusic(ZantApp* app)
{
    if (app->mMusicInterface)
        app->mMusicInterface->Update();
}

void DestroySound(ZantApp* app)
{
    delete app->mMusicInterface;
    app->mMusicInterface = nullptr;
    delete app->mSoundManager;
    app->mSoundManager = nullptr;
}

void SetMusicInterfaceVolume(ZantApp* app, double volume)
{
    if (app->mMusicInterface)
        app->mMusicInterface->SetVolume(volume);
}

void SetSoundManagerVolume(ZantApp* app, double volume)
{
    if (app->mSoundManager)
        app->mSoundManager->SetVolume(volume);
}

double GetSoundManagerMasterVolume(ZantApp* app)
{
    return app->mSoundManager ? app->mSoundManager->ReadMixerVolume() : 1.0;
}

void SetSoundManagerMasterVolume(ZantApp* app, double volume)
{
    if (app->mSoundManager)
        app->mSoundManager->WriteMixerVolume(volume);
}

void PlaySound(ZantApp* app, int id, int pan, bool panned)
{
    if (!app->mSoundManager || id < 0)
        return;
    SoundInstance* sound = app->mSoundManager->CreateChannel(static_cast<unsigned>(id));
    if (!sound)
        return;
    if (panned)
        sound->SetPan(pan);
    sound->Play(false, true);
}

void SoundWindowChanged(ZantApp* app)
{
    if (app->mSoundManager)
        app->mSoundManager->SetCooperativeWindow(SoundWindow(app), app->mIsWindowed);
}

} // namespace AppServices
} // namespace Zant
