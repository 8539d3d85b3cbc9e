#pragma once
// Where the application creates, drives and destroys the services it owns
// (display, sound and music, transfers, the internet manager), so that the
// lifecycle code reads the same whichever back ends are built in.
#include <functional>
#include <string>

namespace Zant {

class ZantApp;
class Image;
class MusicInterface;
struct Rect;

namespace AppServices {

// Parameters after the program name, as one Windows-style parameter string.
void SetCommandLineParameters(const std::string& params);
const std::string& CommandLineParameters();
// Rebuilds that string from argv: joined with spaces, quoted when they hold one.
std::string JoinArguments(int argc, char** argv);

void Construct(ZantApp* app);           // the HTTP transfer and the resource manager
void CreateInternetManager(ZantApp* app);
void CreateSoundManager(ZantApp* app);
void StopMusicAndTransfers(ZantApp* app); // at shutdown; sets the transfer-success flag
void RestoreDisplayMode(ZantApp* app);
void SetDisplay3D(ZantApp* app, bool is3D);
void Destroy(ZantApp* app);             // display, music, sound, transfer, internet manager, resources
void UpdateServices(ZantApp* app);      // once per update: music fades, downloads
bool HasReadyPage(ZantApp* app);        // the internet manager has a downloaded page
void ShowExitPage(ZantApp* app);
// Whether to show a downloaded page at exit: with a ready page when a framework
// random number is even, else when a second one is divisible by 10; without one
// when a random number is divisible by 10.
bool ShouldShowExitPage(ZantApp* app);
bool DecideExitPage(bool hasReadyPage, const std::function<int()>& nextRandom);

// Display.
void DestroyDisplay(ZantApp* app);
bool HasDisplay(ZantApp* app);
void CreateDisplay(ZantApp* app);
int InitDisplay(ZantApp* app, bool windowed, std::string& error); // 0 on success
bool Display3DTestRanAnew(ZantApp* app);
// The 3D test's verdict coming in the background (DDInterface::PollHardwareTest):
// true when it came with this call, with whether the test ran anew and the 3D flag
// the verdict sets.
bool PollDisplay3DTest(ZantApp* app, bool start, bool wait, bool& fresh, bool& wants3D);
Image* ScreenImage(ZantApp* app);
bool Present(ZantApp* app, const Rect* rect);
// An opaque surface of the display for drawing under overlay widgets (null without a display).
Image* CreateBackBuffer(ZantApp* app, int width, int height);
bool LockScreenImage(ZantApp* app, Image* image);
void UnlockScreenImage(ZantApp* app, Image* image);
void SetPresentFailed(bool failed);
void SetDisplayVideoOnly(ZantApp* app, bool videoOnly);
void SetDisplayCursorImage(ZantApp* app, Image* image);
void SetDisplayCursorPos(ZantApp* app, int x, int y);
// The mouse position the main thread last published (safe on any thread).
void CursorPosition(ZantApp* app, int& x, int& y);
// Main thread, once per main-loop pass (at least every 10 ms): publishes the mouse
// position (the demo's during playback) for the cursor thread and shows the screen
// when only the software cursor moved since the last present.
void PollDisplay(ZantApp* app);
bool Display3D(ZantApp* app);
bool Display3DSupported(ZantApp* app);
bool Display3DRecommended(ZantApp* app);

// Sound and music.
void StopAllMusic(ZantApp* app);
void UpdateMusic(ZantApp* app);       // fades, once per update
void DestroySound(ZantApp* app);      // music interface, then sound manager
MusicInterface* CreateMusicInterface(ZantApp* app, bool noSound, bool wantFMod);
void SetMusicInterfaceVolume(ZantApp* app, double volume);
void SetSoundManagerVolume(ZantApp* app, double volume);
double GetSoundManagerMasterVolume(ZantApp* app);
void SetSoundManagerMasterVolume(ZantApp* app, double volume);
void PlaySound(ZantApp* app, int id, int pan, bool panned);
void SoundWindowChanged(ZantApp* app);

// The main thread's number for reports.
unsigned long PrimaryThreadNumber(ZantApp* app);

} // namespace AppServices
} // namespace Zant
