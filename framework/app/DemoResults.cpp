// Outside results through the demo: files read, written, tested and deleted
// through the application, data and log lines kept in step, HTTP results and the
// update-check decision. Recording writes each result into the demo; playback
// returns the recorded result and touches nothing on disk.
//
// Only the main thread goes through the demo (its records have a fixed place in
// the stream). Reads from another thread go to disk in every mode; writes and
// deletes from another thread are refused while a demo plays.
#include <cstdio>
#include <unistd.h>

#include "framework/app/DemoFormat.h"
#include "framework/app/DemoSupport.h"
#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"
#include "framework/util/StringUtil.h"
#include "platform/Paths.h"

namespace Zant {

namespace {

// Whether this call takes its result from the demo being played.
bool FromDemo(const ZantApp& app)
{
    return app.mPlayingDemoBuffer && OnMainThread(app);
}

} // namespace

namespace {

void WriteLongBytes(Buffer& stream, const std::string& bytes)
{
    stream.WriteLong(static_cast<int32_t>(bytes.size()));
    stream.WriteBytes(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
}

// n bits (at most 32) of the stream from bitPos without moving the read position;
// missing bits read as 0.
uint32_t PeekBits(const Buffer& stream, size_t bitPos, int n)
{
    const size_t end = static_cast<size_t>(stream.GetDataLen()) * 8;
    const uint8_t* data = stream.GetDataPtr();
    uint32_t value = 0;
    for (int i = 0; i < n && bitPos + static_cast<size_t>(i) < end; ++i) {
        const size_t p = bitPos + static_cast<size_t>(i);
        value |= static_cast<uint32_t>((data[p / 8] >> (p % 8)) & 1) << i;
    }
    return value;
}

} // namespace

bool ZantApp::FileExists(const std::string& path)
{
    if (FromDemo(*this)) {
        DemoRecordData data;
        return DemoTakeRecord(DEMO_FILE_EXISTS, data) && data.mSuccess;
    }
    FILE* f = Platform::OpenRegularFile(path);
    const bool exists = f != nullptr;
    if (f)
        std::fclose(f);
    DemoWriteRecord(DEMO_FILE_EXISTS, [&](Buffer& stream) { stream.WriteNumBits(exists ? 1 : 0, 1); });
    return exists;
}

bool ZantApp::LoadFileToBuffer(const std::string& path, Buffer& buffer)
{
    buffer.Clear();
    if (FromDemo(*this)) {
        DemoRecordData data;
        if (!DemoTakeRecord(DEMO_FILE_READ, data) || !data.mSuccess)
            return false;
        buffer.SetData(data.mBytes);
        return true;
    }
    std::string bytes;
    const bool ok = Platform::ReadWholeFile(path, bytes);
    DemoWriteRecord(DEMO_FILE_READ, [&](Buffer& stream) {
        stream.WriteNumBits(ok ? 1 : 0, 1);
        if (ok)
            WriteLongBytes(stream, bytes);
    });
    if (ok)
        buffer.SetData(bytes);
    return ok;
}

bool ZantApp::SaveBytesToFile(const std::string& path, const uint8_t* bytes, int length)
{
    if (mPlayingDemoBuffer) {
        DemoRecordData data;
        return FromDemo(*this) && DemoTakeRecord(DEMO_FILE_WRITE, data) && data.mSuccess;
    }
    bool ok = false;
    if (length >= 0 && (bytes || length == 0)) {
        const std::string folder = PathDirPart(path);
        if (!folder.empty())
            MakeDirectories(folder);
        // Written beside the old file and renamed over it: a full disk or a crash
        // leaves the old file whole, and only a complete write counts as success.
        ok = Platform::WriteFileAtomic(Platform::ToNativePath(path), bytes, static_cast<size_t>(length));
    }
    DemoWriteRecord(DEMO_FILE_WRITE, [&](Buffer& stream) { stream.WriteNumBits(ok ? 1 : 0, 1); });
    return ok;
}

bool ZantApp::SaveBufferToFile(const std::string& path, const Buffer& buffer)
{
    return SaveBytesToFile(path, buffer.GetDataPtr(), buffer.GetDataLen());
}

bool ZantApp::DeleteFileUnlessReplaying(const std::string& path)
{
    if (mPlayingDemoBuffer) {
        if (!OnMainThread(*this))
            return true;
        // The recorded run's answer: a delete that failed there fails here too.
        DemoRecordData data;
        return DemoTakeRecord(DEMO_FILE_DELETE, data) && data.mSuccess;
    }
    const bool ok = unlink(Platform::ToNativePath(path).c_str()) == 0;
    DemoWriteRecord(DEMO_FILE_DELETE, [&](Buffer& stream) { stream.WriteNumBits(ok ? 1 : 0, 1); });
    return ok;
}

void ZantApp::DemoSyncBuffer(Buffer& buffer)
{
    if (FromDemo(*this)) {
        DemoRecordData data;
        if (DemoTakeRecord(DEMO_SYNC_BUFFER, data))
            buffer.SetData(data.mBytes);
        return;
    }
    DemoWriteRecord(DEMO_SYNC_BUFFER, [&](Buffer& stream) { WriteLongBytes(stream, buffer.ToString()); });
}

void ZantApp::DemoSyncByte(bool& flag)
{
    Buffer b;
    b.WriteBoolean(flag);
    DemoSyncBuffer(b);
    b.SeekFront();
    flag = b.ReadBoolean();
}

void ZantApp::DemoSyncText(std::string& text)
{
    Buffer b;
    b.WriteString(text);
    DemoSyncBuffer(b);
    b.SeekFront();
    text = b.ReadString();
}

void ZantApp::DemoSyncString(const std::string& text)
{
    if (FromDemo(*this)) {
        DemoRecordData data;
        DemoTakeRecord(DEMO_SYNC_STRING, data);
        return;
    }
    DemoWriteRecord(DEMO_SYNC_STRING, [&](Buffer& stream) { stream.WriteString(text); });
}

void ZantApp::DemoRecordTransferResult(uint32_t transferId, int resultCode, const std::string& content)
{
    DemoWriteRecord(DEMO_TRANSFER_RESULT, [&](Buffer& stream) {
        stream.WriteLong(static_cast<int32_t>(transferId));
        stream.WriteNumBits(resultCode, 8);
        WriteLongBytes(stream, content);
    });
}

bool ZantApp::DemoTakeTransferResult(uint32_t transferId, int& resultCode, std::string& content)
{
    if (!FromDemo(*this) || !IsReplayingDemo() || !DemoReadRecordHeader())
        return false;
    // Only the transfer the pending record belongs to takes it; the others go on
    // waiting, as they did in the recorded run.
    if (mDemoIsShortCmd || mDemoCmdNum != DEMO_TRANSFER_RESULT ||
        PeekBits(*mDemoBuffer, mDemoBuffer->GetReadBitPos(), 32) != transferId)
        return false;
    DemoRecordData data;
    if (!DemoTakeRecord(DEMO_TRANSFER_RESULT, data))
        return false;
    resultCode = data.mValue;
    content = data.mBytes;
    return true;
}

void ZantApp::DecideUpdateCheckDue()
{
    // Made once and kept, so that a replay does not depend on today's date and the
    // loading thread can read the answer without asking the clock.
    bool due = IsUpdateCheckDue();
    DemoSyncByte(due);
    mStartUpdateCheckDue = due;
}

} // namespace Zant
