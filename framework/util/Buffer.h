#pragma once
// A growable byte array written and read as a bit stream, least significant bit
// first: bit k of the stream is bit k%8 of byte k/8. Multi-byte numbers are
// little-endian, and byte-sized writes and reads may start at any bit position.
// It carries the demo stream and is the in-memory image of files the application
// reads and writes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Zant {

class Buffer {
public:
    // Longest text WriteString stores: its length field is 16 bits.
    static constexpr size_t MAX_STRING_LENGTH = 0xFFFF;

    Buffer() = default;
    virtual ~Buffer() = default;

    void Clear();
    int GetDataLen() const { return static_cast<int>(mData.size()); }
    const uint8_t* GetDataPtr() const { return mData.data(); }
    const std::vector<uint8_t>& GetData() const { return mData; }
    // Replaces the contents with bytes (as a file just read); both positions go to
    // the start of the data, the write position to its end.
    void SetData(const uint8_t* bytes, size_t length);
    void SetData(const std::string& bytes) { SetData(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()); }
    std::string ToString() const { return std::string(mData.begin(), mData.end()); }

    bool AtEnd() const { return mReadBitPos >= mData.size() * 8; }
    void SeekFront() { mReadBitPos = 0; }
    size_t GetReadBitPos() const { return mReadBitPos; }
    size_t GetWriteBitPos() const { return mWriteBitPos; }

    // Writes the low n bits of value, bit 0 first; n is taken within 0..32.
    void WriteNumBits(int value, int n);
    void WriteByte(uint8_t value);
    void WriteBoolean(bool flag); // a whole byte, 1 or 0
    void WriteShort(int16_t value);
    void WriteLong(int32_t value);
    // A 16-bit length, then the bytes without terminator. A longer text is cut to
    // MAX_STRING_LENGTH bytes so that length and bytes always agree.
    void WriteString(const std::string& text);
    // A 32-bit length, then the bytes: for texts that may exceed 64 KB.
    void WriteLongString(const std::string& text);
    void WriteBytes(const uint8_t* bytes, int n);

    // Reads up to n bits (0..32); bits past the end of the data read as 0. With
    // signExtend, a set top bit fills the bits above n.
    int ReadNumBits(int n, bool signExtend);
    // 8 bits, or 0 without moving when a whole byte is not left.
    uint8_t ReadByte();
    bool ReadBoolean();
    int16_t ReadShort();
    int32_t ReadLong();
    // A 16-bit unsigned length, then that many bytes.
    std::string ReadString();
    // A 32-bit length, then that many bytes (no more than the data holds).
    std::string ReadLongString();
    void ReadBytes(uint8_t* destination, int n);
    // Bytes up to a 0 byte or a line feed, carriage returns skipped; neither the 0
    // nor the line feed is kept. The end of the data ends the line and moves the
    // read position to the very end, so a loop on AtEnd always finishes.
    std::string ReadLine();

private:
    std::vector<uint8_t> mData;
    size_t mReadBitPos = 0;
    size_t mWriteBitPos = 0;
};

} // namespace Zant
