// The application's registry layer over the settings store, and the framework's own
// settings. Values are named relative to the program's key; a '\' in a value name
// opens sub-keys. While a demo is recorded every result goes into it, and while one
// plays the recorded result is used and the store is not touched.
#include <algorithm>
#include <cstring>
#include <ctime>

#include "framework/app/DemoFormat.h"
#include "framework/app/RegistryDemoResult.h"
#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"
#include "platform/Log.h"
#include "platform/SettingsStore.h"

namespace Zant {

// ---- Demo records of registry results

void WriteRegistryDemoResult(Buffer& stream, int code, const RegistryDemoResult& result)
{
    stream.WriteNumBits(result.mSuccess ? 1 : 0, 1);
    if (!result.mSuccess)
        return;
    if (code == DEMO_REGISTRY_LIST) {
        stream.WriteLong(static_cast<int32_t>(result.mNames.size()));
        for (const std::string& name : result.mNames)
            stream.WriteString(name);
    } else if (code == DEMO_REGISTRY_READ) {
        stream.WriteLong(static_cast<int32_t>(result.mType));
        stream.WriteLong(static_cast<int32_t>(result.mData.size()));
        stream.WriteBytes(reinterpret_cast<const uint8_t*>(result.mData.data()), static_cast<int>(result.mData.size()));
    }
}

bool ReadRegistryDemoResult(Buffer& stream, int code, RegistryDemoResult& result)
{
    result = RegistryDemoResult();
    if (DemoBitsLeft(stream) < 1)
        return false;
    result.mSuccess = stream.ReadNumBits(1, false) != 0;
    if (!result.mSuccess)
        return true;
    if (code == DEMO_REGISTRY_LIST) {
        if (DemoBitsLeft(stream) < 32)
            return false;
        // Each name takes at least its length field, so a count from a damaged file
        // ends the loop at the end of the stream.
        const uint32_t count = static_cast<uint32_t>(stream.ReadLong());
        for (uint32_t i = 0; i < count; ++i) {
            std::string name;
            if (!ReadDemoString(stream, name))
                return false;
            result.mNames.push_back(name);
        }
    } else if (code == DEMO_REGISTRY_READ) {
        if (DemoBitsLeft(stream) < 64)
            return false;
        result.mType = static_cast<uint32_t>(stream.ReadLong());
        const uint32_t length = static_cast<uint32_t>(stream.ReadLong());
        if (length > DemoBitsLeft(stream) / 8)
            return false;
        result.mData.resize(length);
        stream.ReadBytes(reinterpret_cast<uint8_t*>(result.mData.data()), static_cast<int>(length));
    }
    return true;
}

namespace {

// The one place where a registry result is written into a demo being recorded.
void RecordRegistryResult(ZantApp& app, int code, const RegistryDemoResult& result)
{
    app.DemoWriteRecord(code, [&](Buffer& stream) { WriteRegistryDemoResult(stream, code, result); });
}

// The one place where a playing demo gives a registry result back. A record of another
// kind, or one not due now, means the run is out of step with the demo: playback
// stops and the operation fails.
RegistryDemoResult TakeRecordedRegistryResult(ZantApp& app, int code)
{
    DemoRecordData data;
    if (!app.DemoTakeRecord(code, data))
        return RegistryDemoResult();
    return data.mRegistry;
}

// "SOFTWARE\" + the program's key, one trailing separator removed.
std::string ProgramKeyPath(const std::string& regKey)
{
    std::string path = "SOFTWARE\\" + regKey;
    if (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

// Splits a value name at its last '\' into the full key path and the value's own name.
void SplitValueName(const std::string& regKey, const std::string& name, std::string& keyPath, std::string& valueName)
{
    keyPath = ProgramKeyPath(regKey);
    const size_t slash = name.rfind('\\');
    if (slash == std::string::npos) {
        valueName = name;
        return;
    }
    keyPath += "\\" + name.substr(0, slash);
    valueName = name.substr(slash + 1);
}

// A sub-key of the program's key, one trailing separator removed.
std::string SubKeyPath(const std::string& regKey, const std::string& name)
{
    std::string path = ProgramKeyPath(regKey) + "\\" + name;
    if (path.back() == '\\' || path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

// ---- Registry operations

bool ZantApp::WriteRegistryValue(const std::string& name, int type, const uint8_t* data, int length)
{
    if (mRegKey.empty())
        return false;
    if (mPlayingDemoBuffer)
        return TakeRecordedRegistryResult(*this, DEMO_REGISTRY_WRITE).mSuccess;

    std::string keyPath, valueName;
    SplitValueName(mRegKey, name, keyPath, valueName);
    RegistryDemoResult result;
    if (length >= 0 && (data || length == 0))
        result.mSuccess = Platform::GetSettingsStore().SetValue(keyPath, valueName, type, data,
                                                                 static_cast<size_t>(length));
    RecordRegistryResult(*this, DEMO_REGISTRY_WRITE, result);
    return result.mSuccess;
}

bool ZantApp::WriteRegistryString(const std::string& name, const std::string& value)
{
    return WriteRegistryValue(name, REG_TYPE_SZ, reinterpret_cast<const uint8_t*>(value.data()),
                              static_cast<int>(value.size()));
}

bool ZantApp::WriteRegistryInt(const std::string& name, int value)
{
    const uint32_t v = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    return WriteRegistryValue(name, REG_TYPE_DWORD, bytes, 4);
}

bool ZantApp::WriteRegistryBool(const std::string& name, bool value)
{
    return WriteRegistryInt(name, value ? 1 : 0);
}

bool ZantApp::ReadRegistryValue(const std::string& name, int& type, uint8_t* data, int& length)
{
    if (mRegKey.empty())
        return false;
    RegistryDemoResult result;
    if (mPlayingDemoBuffer) {
        result = TakeRecordedRegistryResult(*this, DEMO_REGISTRY_READ);
    } else {
        std::string keyPath, valueName;
        SplitValueName(mRegKey, name, keyPath, valueName);
        int storedType = 0;
        result.mSuccess = Platform::GetSettingsStore().GetValue(keyPath, valueName, storedType, result.mData);
        result.mType = static_cast<uint32_t>(storedType);
        // A value longer than the caller's buffer cannot be read.
        if (result.mSuccess && result.mData.size() > static_cast<size_t>(std::max(length, 0)))
            result = RegistryDemoResult();
        RecordRegistryResult(*this, DEMO_REGISTRY_READ, result);
    }
    // Recorded data is checked against the buffer too: a demo file is outside data.
    if (!result.mSuccess || result.mData.size() > static_cast<size_t>(std::max(length, 0)))
        return false;
    type = static_cast<int>(result.mType);
    length = static_cast<int>(result.mData.size());
    if (data && length > 0)
        std::memcpy(data, result.mData.data(), result.mData.size());
    return true;
}

bool ZantApp::ReadRegistryString(const std::string& name, std::string& value)
{
    uint8_t buffer[256] = {};
    int length = 255;
    int type = 0;
    if (!ReadRegistryValue(name, type, buffer, length) || type != REG_TYPE_SZ)
        return false;
    // Text stops at a zero byte, as a stored terminator would end it.
    const uint8_t* end = std::find(buffer, buffer + length, uint8_t(0));
    value.assign(reinterpret_cast<const char*>(buffer), static_cast<size_t>(end - buffer));
    return true;
}

bool ZantApp::ReadRegistryInt(const std::string& name, int& value)
{
    uint8_t bytes[4] = {};
    int length = 4;
    int type = 0;
    if (!ReadRegistryValue(name, type, bytes, length) || type != REG_TYPE_DWORD)
        return false;
    value = static_cast<int>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (uint32_t(bytes[3]) << 24));
    return true;
}

bool ZantApp::ReadRegistryBool(const std::string& name, bool& value)
{
    int v = 0;
    if (!ReadRegistryInt(name, v))
        return false;
    value = v != 0;
    return true;
}

bool ZantApp::DeleteRegistryKey(const std::string& name)
{
    if (mRegKey.empty())
        return false;
    if (mPlayingDemoBuffer)
        return TakeRecordedRegistryResult(*this, DEMO_REGISTRY_DELETE_KEY).mSuccess;
    RegistryDemoResult result;
    result.mSuccess = Platform::GetSettingsStore().DeleteKey(SubKeyPath(mRegKey, name));
    RecordRegistryResult(*this, DEMO_REGISTRY_DELETE_KEY, result);
    return result.mSuccess;
}

void ZantApp::DeleteRegistryValue(const std::string& name)
{
    // A demo played back must leave the player's own settings as they are.
    if (mRegKey.empty() || mPlayingDemoBuffer)
        return;
    std::string keyPath, valueName;
    SplitValueName(mRegKey, name, keyPath, valueName);
    Platform::GetSettingsStore().DeleteValue(keyPath, valueName);
}

bool ZantApp::ListRegistrySubKeys(const std::string& name, std::vector<std::string>& keys)
{
    keys.clear();
    if (mRegKey.empty())
        return false;
    RegistryDemoResult result;
    if (mPlayingDemoBuffer) {
        result = TakeRecordedRegistryResult(*this, DEMO_REGISTRY_LIST);
    } else {
        result.mSuccess = Platform::GetSettingsStore().ListSubKeys(SubKeyPath(mRegKey, name), result.mNames);
        RecordRegistryResult(*this, DEMO_REGISTRY_LIST, result);
    }
    if (result.mSuccess)
        keys = result.mNames;
    return result.mSuccess;
}

void ZantApp::BeginRegistryBatch()
{
    if (!mPlayingDemoBuffer)
        Platform::GetSettingsStore().BeginBatch();
}

bool ZantApp::EndRegistryBatch()
{
    return mPlayingDemoBuffer || Platform::GetSettingsStore().EndBatch();
}

// ---- Settings

namespace {

// Volumes are kept as whole percent. The small bias keeps values such as 0.29 (which
// is a little below 29/100 as a double) at 29 instead of dropping to 28.
int VolumeToPercent(double volume)
{
    return static_cast<int>(volume * 100.0 + 1e-9);
}

double PercentToVolume(int percent)
{
    return std::clamp(percent * 0.01, 0.0, 1.0);
}

} // namespace

void ZantApp::LoadSettings()
{
    mLoadedSettings = true;
    mRegKey = LookupStringProperty("RegistryKey", mRegKey);
    if (mRegKey.empty())
        return;

    std::string text;
    int value = 0;
    bool flag = false;
    if (ReadRegistryString("ReferId", text))
        mReferId = text;
    mReferId = LookupStringProperty("ReferId", mReferId);
    if (ReadRegistryInt("MusicVolume", value))
        mMusicVolume = PercentToVolume(value);
    if (ReadRegistryInt("SfxVolume", value))
        mSfxVolume = PercentToVolume(value);
    if (ReadRegistryInt("Muted", value))
        mMuteCount = std::max(value, 0);
    if (ReadRegistryInt("ScreenMode", value))
        mIsWindowed = value == 0;
    if (ReadRegistryInt("CustomCursors", value))
        SetCustomCursorsFlag(value != 0);
    if (ReadRegistryInt("DontUpdate", value))
        mDontUpdate = value != 0;
    if (ReadRegistryInt("ITSuccess", value))
        mITSuccess = value != 0;
    if (ReadRegistryBool("WaitForVSync", flag))
        mWaitForVSync = flag;
    if (ReadRegistryInt("LastVerCheckQueryTime", value))
        mLastVerCheckQueryTime = value;
    else
        mLastVerCheckQueryTime = static_cast<int>(std::time(nullptr));
    if (ReadRegistryInt("InProgress", value))
        mLastShutdownWasGraceful = value == 0;

    // Stays 1 until a normal end clears it, so a crash is noticed at the next start.
    WriteRegistryInt("InProgress", 1);

    if (mPlayingDemoBuffer)
        mIsWindowed = true;
}

void ZantApp::SaveSettings()
{
    WriteRegistryInt("MusicVolume", VolumeToPercent(mMusicVolume));
    WriteRegistryInt("SfxVolume", VolumeToPercent(mSfxVolume));
    WriteRegistryInt("Muted", mMuteCount > mAutoMuteCount ? 1 : 0);
    WriteRegistryInt("ScreenMode", mIsWindowed ? 0 : 1);
    WriteRegistryInt("CustomCursors", mCustomCursorsEnabled ? 1 : 0);
    WriteRegistryInt("ITSuccess", mITSuccess ? 1 : 0);
    WriteRegistryInt("LastVerCheckQueryTime", mLastVerCheckQueryTime);
    WriteRegistryInt("InProgress", 0);
    WriteRegistryInt("WaitForVSync", mWaitForVSync ? 1 : 0);
}

} // namespace Zant
