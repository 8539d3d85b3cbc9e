#include "game/shell/WinBTApp.h"

namespace Zant {

MersenneTwister* gGameRandom = nullptr;

WinBTApp::WinBTApp()
{
    mProdName = "Plindor";
    mProductVersion = "1.01";
    mTitle = "Plindor Ombrex " + mProductVersion;
    mRegKey = "Vorlix\\Plindor";
    mIsWindowed = true;
    mCustomCursorsEnabled = false;
    mAutoEnable3D = true;
    mNumLoadingThreadTasks = 311;
}

WinBTApp::~WinBTApp()
{
    // The loading and cursor threads use the game's objects: they end first.
    WaitForLoader();
    Shutdown();
    if (mLoadingThread.joinable())
        mLoadingThread.join();
    if (mCursorThread.joinable())
        mCursorThread.join();
}

} // namespace Zant
