// Demo recording and playback, and the demo-aware file operations.
#include <cstdio>

#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"
#include "platform/Paths.h"

namespace Zant {

void ZantApp::DemoWriteUpdateDelta() {}
void ZantApp::DemoRecordLoadingFinished() {}
void ZantApp::DemoRecordInput(const Platform::WindowEvent& event) {}
void ZantApp::DemoRecordMouseInWindow(bool inside) {}
bool ZantApp::HandleDemoPlaybackKey(char c) { return false; }
void ZantApp::StopDemoPlayback() { mPlayingDemoBuffer = false; }
void ZantApp::SaveDemoFile() {}

bool ZantApp::OpenDemoFile(std::string& error)
{
    error = "Demo playback is not available: " + mDemoFileName;
    return false;
}

bool ZantApp::DemoReadRecordHeader() { return false; }
void ZantApp::ReplayDemoEvents() {}

bool ZantApp::FileExists(const std::string& path)
{
    FILE* f = fopen(Platform::ToNativePath(path).c_str(), "rb");
    if (!f)
        return false;
    fclose(f);
    return true;
}

bool ZantApp::SaveBytesToFile(const std::string& path, const uint8_t* bytes, int length)
{
    std::string native = Platform::ToNativePath(path);
    size_t slash = native.rfind('/');
    if (slash != std::string::npos)
        Platform::MakeFolders(native.substr(0, slash));
    return Platform::WriteFileAtomic(native, bytes, length > 0 ? static_cast<size_t>(length) : 0);
}

bool ZantApp::LoadFileToBuffer(const std::string& path, Buffer& buffer)
{
    buffer.Clear();
    FILE* f = fopen(Platform::ToNativePath(path).c_str(), "rb");
    if (!f)
        return false;
    std::string data;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        data.append(chunk, n);
    bool ok = !ferror(f);
    fclose(f);
    if (ok)
        buffer.SetData(data);
    return ok;
}

bool ZantApp::SaveBufferToFile(const std::string& path, const Buffer& buffer)
{
    return SaveBytesToFile(path, buffer.GetDataPtr(), buffer.GetDataLen());
}

bool ZantApp::DeleteFileUnlessReplaying(const std::string& path)
{
    if (mPlayingDemoBuffer)
        return true;
    return remove(Platform::ToNativePath(path).c_str()) == 0;
}

void ZantApp::DemoSyncString(const std::string& text) {}
void ZantApp::DemoSyncBuffer(Buffer& buffer) {}
void ZantApp::DemoSyncByte(bool& flag) {}
void ZantApp::DemoSyncText(std::string& text) {}
void ZantApp::ShowDemoMarkerList() {}
void ZantApp::ToggleDemoVolume() {}

} // namespace Zant
