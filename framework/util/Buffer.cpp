#include "framework/util/Buffer.h"

#include <algorithm>

#include "platform/Log.h"

namespace Zant {

namespace {

int ClampBitCount(int n)
{
    return std::clamp(n, 0, 32);
}

} // namespace

void Buffer::Clear()
{
    mData.clear();
    mData.shrink_to_fit();
    mReadBitPos = 0;
    mWriteBitPos = 0;
}

void Buffer::SetData(const uint8_t* bytes, size_t length)
{
    mData.assign(bytes, bytes + length);
    mReadBitPos = 0;
    mWriteBitPos = length * 8;
}

void Buffer::WriteNumBits(int value, int n)
{
    n = ClampBitCount(n);
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < n; ++i) {
        if (mWriteBitPos % 8 == 0)
            mData.push_back(0);
        if ((bits >> i) & 1u)
            mData[mWriteBitPos / 8] |= static_cast<uint8_t>(1u << (mWriteBitPos % 8));
        ++mWriteBitPos;
    }
}

void Buffer::WriteByte(uint8_t value)
{
    const unsigned s = mWriteBitPos % 8;
    if (s == 0) {
        mData.push_back(value);
    } else {
        mData.back() |= static_cast<uint8_t>(value << s);
        mData.push_back(static_cast<uint8_t>(value >> (8 - s)));
    }
    mWriteBitPos += 8;
}

void Buffer::WriteBoolean(bool flag)
{
    WriteByte(flag ? 1 : 0);
}

void Buffer::WriteShort(int16_t value)
{
    const uint16_t v = static_cast<uint16_t>(value);
    WriteByte(static_cast<uint8_t>(v & 0xFF));
    WriteByte(static_cast<uint8_t>(v >> 8));
}

void Buffer::WriteLong(int32_t value)
{
    const uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        WriteByte(static_cast<uint8_t>(v >> (8 * i)));
}

void Buffer::WriteString(const std::string& text)
{
    size_t length = text.size();
    if (length > MAX_STRING_LENGTH) {
        // The length field cannot say more; writing every byte would put the stream
        // out of step for every reader after this string.
        Platform::DebugOutput("Buffer::WriteString: text of " + std::to_string(length) + " bytes cut to " +
                              std::to_string(MAX_STRING_LENGTH) + "\n");
        length = MAX_STRING_LENGTH;
    }
    WriteShort(static_cast<int16_t>(static_cast<uint16_t>(length)));
    WriteBytes(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(length));
}

void Buffer::WriteLongString(const std::string& text)
{
    const size_t length = std::min<size_t>(text.size(), 0x7FFFFFFF);
    WriteLong(static_cast<int32_t>(length));
    WriteBytes(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(length));
}

void Buffer::WriteBytes(const uint8_t* bytes, int n)
{
    if (n <= 0)
        return;
    if (mWriteBitPos % 8 == 0) {
        mData.insert(mData.end(), bytes, bytes + n);
        mWriteBitPos += static_cast<size_t>(n) * 8;
        return;
    }
    for (int i = 0; i < n; ++i)
        WriteByte(bytes[i]);
}

int Buffer::ReadNumBits(int n, bool signExtend)
{
    n = ClampBitCount(n);
    const size_t endBit = mData.size() * 8;
    uint32_t result = 0;
    uint32_t lastBit = 0;
    for (int i = 0; i < n; ++i) {
        if (mReadBitPos >= endBit)
            break;
        lastBit = (mData[mReadBitPos / 8] >> (mReadBitPos % 8)) & 1u;
        result |= lastBit << i;
        ++mReadBitPos;
    }
    if (signExtend && lastBit && n < 32)
        result |= ~0u << n;
    return static_cast<int>(result);
}

uint8_t Buffer::ReadByte()
{
    const size_t p = mReadBitPos / 8;
    const unsigned s = mReadBitPos % 8;
    // An unaligned byte needs the following byte to exist.
    if ((mReadBitPos + 7) / 8 >= mData.size())
        return 0;
    uint8_t value;
    if (s == 0)
        value = mData[p];
    else
        value = static_cast<uint8_t>((mData[p] >> s) | (mData[p + 1] << (8 - s)));
    mReadBitPos += 8;
    return value;
}

bool Buffer::ReadBoolean()
{
    return ReadByte() != 0;
}

int16_t Buffer::ReadShort()
{
    const uint16_t lo = ReadByte();
    const uint16_t hi = ReadByte();
    return static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
}

int32_t Buffer::ReadLong()
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(ReadByte()) << (8 * i);
    return static_cast<int32_t>(v);
}

namespace {

// Whole bytes ReadByte may still return from bitPos (an unaligned byte also needs
// the byte after it).
size_t BytesLeft(size_t dataLen, size_t bitPos)
{
    const size_t firstByte = (bitPos + 7) / 8;
    return firstByte >= dataLen ? 0 : dataLen - firstByte;
}

} // namespace

std::string Buffer::ReadString()
{
    const size_t length = static_cast<uint16_t>(ReadShort());
    std::string text(std::min(length, BytesLeft(mData.size(), mReadBitPos)), '\0');
    ReadBytes(reinterpret_cast<uint8_t*>(text.data()), static_cast<int>(text.size()));
    return text;
}

std::string Buffer::ReadLongString()
{
    const size_t length = static_cast<uint32_t>(ReadLong());
    std::string text(std::min(length, BytesLeft(mData.size(), mReadBitPos)), '\0');
    ReadBytes(reinterpret_cast<uint8_t*>(text.data()), static_cast<int>(text.size()));
    return text;
}

void Buffer::ReadBytes(uint8_t* destination, int n)
{
    if (n <= 0)
        return;
    if (mReadBitPos % 8 == 0) {
        const size_t p = mReadBitPos / 8;
        const size_t take = std::min<size_t>(static_cast<size_t>(n), p < mData.size() ? mData.size() - p : 0);
        std::copy_n(mData.begin() + static_cast<std::ptrdiff_t>(p), take, destination);
        std::fill(destination + take, destination + n, 0);
        mReadBitPos += take * 8;
        return;
    }
    for (int i = 0; i < n; ++i)
        destination[i] = ReadByte();
}

std::string Buffer::ReadLine()
{
    std::string line;
    for (;;) {
        if ((mReadBitPos + 7) / 8 >= mData.size()) {
            mReadBitPos = std::max(mReadBitPos, mData.size() * 8);
            break;
        }
        const uint8_t c = ReadByte();
        if (c == 0 || c == '\n')
            break;
        if (c != '\r')
            line += static_cast<char>(c);
    }
    return line;
}

} // namespace Zant
