#include "framework/app/DemoFormat.h"

#include <algorithm>
#include <climits>

#include "framework/util/Buffer.h"
#include "framework/util/StringUtil.h"

namespace Zant {

namespace {

const char kInvalidDemoFile[] = "Invalid demo file.";

// Reads little-endian numbers from a byte string, never past its end.
class ByteCursor {
public:
    explicit ByteCursor(const std::string& bytes, size_t begin = 0, size_t end = std::string::npos)
        : mBytes(bytes), mPos(begin), mEnd(std::min(end, bytes.size()))
    {
    }
    size_t Left() const { return mEnd - mPos; }
    size_t Pos() const { return mPos; }
    bool U16(uint32_t& v) { return Number(2, v); }
    bool U32(uint32_t& v) { return Number(4, v); }
    bool Bytes(size_t n, std::string& out)
    {
        if (n > Left())
            return false;
        out.assign(mBytes, mPos, n);
        mPos += n;
        return true;
    }
    bool Skip(size_t n)
    {
        if (n > Left())
            return false;
        mPos += n;
        return true;
    }

private:
    bool Number(int size, uint32_t& v)
    {
        if (Left() < static_cast<size_t>(size))
            return false;
        v = 0;
        for (int i = 0; i < size; ++i)
            v |= static_cast<uint32_t>(static_cast<uint8_t>(mBytes[mPos + i])) << (8 * i);
        mPos += static_cast<size_t>(size);
        return true;
    }

    const std::string& mBytes;
    size_t mPos;
    size_t mEnd;
};

bool ReadBits(Buffer& stream, int n, bool signExtend, int& value)
{
    if (DemoBitsLeft(stream) < static_cast<size_t>(n))
        return false;
    value = stream.ReadNumBits(n, signExtend);
    return true;
}

bool ReadFlag(Buffer& stream, bool& flag)
{
    int v = 0;
    if (!ReadBits(stream, 1, false, v))
        return false;
    flag = v != 0;
    return true;
}

void PutU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

size_t DemoBitsLeft(const Buffer& stream)
{
    const size_t end = static_cast<size_t>(stream.GetDataLen()) * 8;
    return stream.GetReadBitPos() >= end ? 0 : end - stream.GetReadBitPos();
}

void WriteDemoRecordHeader(Buffer& stream, int delta, bool isShort, int code)
{
    stream.WriteNumBits(delta, 4);
    stream.WriteNumBits(isShort ? 1 : 0, 1);
    stream.WriteNumBits(code, isShort ? 1 : 5);
}

bool ReadDemoRecordHeader(Buffer& stream, DemoRecordHeader& header)
{
    if (DemoBitsLeft(stream) < static_cast<size_t>(DEMO_MIN_RECORD_BITS))
        return false;
    header.mDelta = stream.ReadNumBits(4, false);
    header.mShort = stream.ReadNumBits(1, false) != 0;
    header.mCode = stream.ReadNumBits(header.mShort ? 1 : 5, false);
    return true;
}

bool ReadDemoString(Buffer& stream, std::string& text)
{
    int length = 0;
    if (!ReadBits(stream, 16, false, length) || static_cast<size_t>(length) > DemoBitsLeft(stream) / 8)
        return false;
    text.assign(static_cast<size_t>(length), '\0');
    stream.ReadBytes(reinterpret_cast<uint8_t*>(text.data()), length);
    return true;
}

bool ReadDemoLongBytes(Buffer& stream, std::string& bytes)
{
    if (DemoBitsLeft(stream) < 32)
        return false;
    const uint32_t length = static_cast<uint32_t>(stream.ReadLong());
    if (length > DemoBitsLeft(stream) / 8)
        return false;
    bytes.assign(length, '\0');
    stream.ReadBytes(reinterpret_cast<uint8_t*>(bytes.data()), static_cast<int>(length));
    return true;
}

bool IsDemoResultCode(int code)
{
    return code >= DEMO_REGISTRY_LIST && code <= DEMO_FILE_DELETE;
}

bool ReadDemoRecordData(Buffer& stream, const DemoRecordHeader& header, DemoRecordData& data)
{
    data = DemoRecordData();
    if (header.mShort) {
        if (header.mCode == DEMO_SHORT_MOUSE_MOVE)
            return ReadBits(stream, 6, true, data.mX) && ReadBits(stream, 6, true, data.mY);
        int down = 0;
        if (!ReadBits(stream, 1, false, down) || !ReadBits(stream, 3, true, data.mButton))
            return false;
        data.mDown = down != 0;
        return data.mButton == 1 || data.mButton == 2 || data.mButton == -1 || data.mButton == -2;
    }
    switch (header.mCode) {
    case DEMO_MOUSE_POSITION:
        return ReadBits(stream, 12, true, data.mX) && ReadBits(stream, 12, true, data.mY);
    case DEMO_ACTIVATE:
        return ReadBits(stream, 1, false, data.mValue);
    case DEMO_SIZE:
    case DEMO_KEY_DOWN:
    case DEMO_KEY_UP:
        return ReadBits(stream, 8, false, data.mValue);
    case DEMO_KEY_CHAR:
        return ReadBits(stream, 8, true, data.mValue);
    case DEMO_CLOSE:
    case DEMO_MOUSE_ENTERED:
    case DEMO_MOUSE_LEFT:
    case DEMO_LOADING_FINISHED:
    case DEMO_FILLER:
        return true;
    case DEMO_REGISTRY_LIST:
    case DEMO_REGISTRY_READ:
    case DEMO_REGISTRY_WRITE:
    case DEMO_REGISTRY_DELETE_KEY:
        return ReadRegistryDemoResult(stream, header.mCode, data.mRegistry);
    case DEMO_FILE_EXISTS:
    case DEMO_FILE_WRITE:
    case DEMO_FILE_DELETE:
        return ReadFlag(stream, data.mSuccess);
    case DEMO_FILE_READ:
        if (!ReadFlag(stream, data.mSuccess))
            return false;
        return !data.mSuccess || ReadDemoLongBytes(stream, data.mBytes);
    case DEMO_TRANSFER_RESULT: {
        if (DemoBitsLeft(stream) < 40)
            return false;
        data.mId = static_cast<uint32_t>(stream.ReadLong());
        data.mValue = stream.ReadNumBits(8, false);
        return ReadDemoLongBytes(stream, data.mBytes);
    }
    case DEMO_SYNC_BUFFER:
        return ReadDemoLongBytes(stream, data.mBytes);
    case DEMO_SYNC_STRING:
        return ReadDemoString(stream, data.mBytes);
    default:
        return false;
    }
}

std::string EncodeDemoFile(const DemoFileContents& demo)
{
    std::string file;
    PutU32(file, DEMO_MAGIC);
    PutU32(file, DEMO_VERSION);
    PutU32(file, demo.mSeed);
    const std::string version = demo.mProductVersion.substr(0, DEMO_MAX_VERSION_TEXT);
    file += static_cast<char>(version.size() & 0xFF);
    file += static_cast<char>(version.size() >> 8);
    file += version;

    Buffer markers;
    markers.WriteLong(static_cast<int32_t>(demo.mMarkers.size()));
    for (const DemoMarker& marker : demo.mMarkers) {
        markers.WriteString(marker.mName);
        markers.WriteLong(marker.mUpdate);
    }
    PutU32(file, static_cast<uint32_t>(markers.GetDataLen()));
    file += markers.ToString();

    PutU32(file, static_cast<uint32_t>(demo.mTotalUpdates));
    file += demo.mStream;
    return file;
}

bool DecodeDemoFile(const std::string& file, const std::string& productVersion, DemoFileContents& demo,
                    std::string& error)
{
    demo = DemoFileContents();
    error = kInvalidDemoFile;
    ByteCursor in(file);
    uint32_t magic = 0, length = 0;
    // A version this program does not know is as foreign as another magic.
    if (!in.U32(magic) || magic != DEMO_MAGIC || !in.U32(demo.mVersion) || demo.mVersion < 1 ||
        demo.mVersion > DEMO_VERSION || !in.U32(demo.mSeed) || !in.U16(length))
        return false;
    std::string stored;
    if (!in.Bytes(length, stored))
        return false;
    stored.resize(std::min(stored.size(), DEMO_MAX_VERSION_TEXT));
    if (stored != productVersion) {
        // The text comes from the file: shown escaped, never as raw bytes.
        error = "This demo file appears to be for '" + EscapeUnprintable(stored) + "'";
        return false;
    }

    if (demo.mVersion >= 2) {
        uint32_t blockLength = 0;
        // The block must leave room for the total update count and some stream
        // (compared unsigned: a length from the file may be anything).
        if (!in.U32(blockLength) || in.Left() <= blockLength)
            return false;
        if (blockLength > 0) {
            ByteCursor block(file, in.Pos(), in.Pos() + blockLength);
            uint32_t count = 0;
            if (!block.U32(count))
                return false;
            for (uint32_t i = 0; i < count; ++i) {
                DemoMarker marker;
                uint32_t nameLength = 0, update = 0;
                if (!block.U16(nameLength) || !block.Bytes(nameLength, marker.mName) || !block.U32(update) ||
                    update > static_cast<uint32_t>(INT_MAX))
                    return false;
                marker.mUpdate = static_cast<int>(update);
                demo.mMarkers.push_back(marker);
            }
        }
        in.Skip(blockLength);
    }

    uint32_t total = 0;
    if (!in.U32(total) || total > static_cast<uint32_t>(INT_MAX) || in.Left() == 0)
        return false;
    demo.mTotalUpdates = static_cast<int>(total);
    in.Bytes(in.Left(), demo.mStream);
    if (!CheckDemoStream(demo.mStream, demo.mTotalUpdates))
        return false;
    error.clear();
    return true;
}

bool CheckDemoStream(const std::string& stream, int totalUpdates)
{
    Buffer b;
    b.SetData(stream);
    long long update = 0;
    int loadingFinished = 0;
    DemoRecordHeader header;
    DemoRecordData data;
    while (ReadDemoRecordHeader(b, header)) {
        update += header.mDelta;
        if (update > totalUpdates || !ReadDemoRecordData(b, header, data))
            return false;
        if (!header.mShort && header.mCode == DEMO_LOADING_FINISHED && ++loadingFinished > 1)
            return false;
    }
    // Only the zero bits that fill the last byte may follow the last record.
    const int left = static_cast<int>(DemoBitsLeft(b));
    return left < 8 && b.ReadNumBits(left, false) == 0;
}

} // namespace Zant
