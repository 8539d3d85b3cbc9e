// Reads any bytes as a demo file and, when they are accepted, plays them: input is
// replayed between updates and every result record is asked for by the operation
// that takes it. Playback must stay in bounds and write nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/app/DemoFormat.h"
#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"

namespace {

// Asks for the result the pending record holds, as the run that made it would.
void TakePendingResult(Zant::ZantApp& app)
{
    Zant::Buffer buffer;
    std::string text;
    std::vector<std::string> names;
    int type = 0, length = 16, code = 0;
    uint8_t bytes[16];
    bool flag = false;
    switch (app.mDemoCmdNum) {
    case Zant::DEMO_REGISTRY_LIST: app.ListRegistrySubKeys("Users", names); break;
    case Zant::DEMO_REGISTRY_READ: app.ReadRegistryValue("Value", type, bytes, length); break;
    case Zant::DEMO_REGISTRY_WRITE: app.WriteRegistryInt("Value", 1); break;
    case Zant::DEMO_REGISTRY_DELETE_KEY: app.DeleteRegistryKey("Users"); break;
    case Zant::DEMO_FILE_EXISTS: app.FileExists("no\\such\\file"); break;
    case Zant::DEMO_FILE_READ: app.LoadFileToBuffer("no\\such\\file", buffer); break;
    case Zant::DEMO_FILE_WRITE: app.SaveBufferToFile("/nonexistent/fuzz/out", buffer); break;
    case Zant::DEMO_TRANSFER_RESULT: app.DemoTakeTransferResult(static_cast<uint32_t>(app.mUpdateCount), code, text); break;
    case Zant::DEMO_SYNC_BUFFER: app.DemoSyncByte(flag); break;
    case Zant::DEMO_SYNC_STRING: app.DemoSyncString("line"); break;
    case Zant::DEMO_FILE_DELETE: app.DeleteFileUnlessReplaying("/nonexistent/fuzz/out"); break;
    default: app.FileExists("x"); break; // a record nobody asks for here: out of step
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Zant::ZantApp app;
    app.mProductVersion = "1.01";
    app.mRegKey = "Vorlix\\Fuzz";
    app.mLoaded = true;
    std::string error;
    if (!app.PlayDemoData(std::string(reinterpret_cast<const char*>(data), size), error))
        return 0;
    for (int pass = 0; pass < 2000 && !app.mShutdown && app.mDemoStreamState != Zant::DemoStreamState::Stopped;
         ++pass) {
        app.ReplayDemoEvents();
        if (app.IsReplayingDemo() && !app.mDemoNeedsCommand && app.mUpdateCount == app.mLastDemoUpdateCnt &&
            !app.mDemoIsShortCmd && Zant::IsDemoResultCode(app.mDemoCmdNum))
            TakePendingResult(app);
        app.UpdateOnce();
    }
    return 0;
}
