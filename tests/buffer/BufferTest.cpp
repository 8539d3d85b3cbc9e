#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/util/Buffer.h"

using Zant::Buffer;

namespace {

std::vector<uint8_t> Bytes(const Buffer& b)
{
    return b.GetData();
}

TEST(Buffer, BitsPackLeastSignificantFirst)
{
    Buffer b;
    b.WriteNumBits(5, 3);
    EXPECT_EQ(Bytes(b), std::vector<uint8_t>{0x05});
    b.WriteNumBits(0xFFF, 12);
    EXPECT_EQ(b.GetDataLen(), 2);
    EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{0xFD, 0x7F}));
    EXPECT_EQ(b.ReadNumBits(3, false), 5);
    EXPECT_EQ(b.ReadNumBits(12, false), 0xFFF);
    EXPECT_FALSE(b.AtEnd()); // one bit of padding is left
}

TEST(Buffer, SignExtension)
{
    const struct {
        int stored;
        int bits;
        bool extend;
        int expect;
    } cases[] = {
        {62, 6, true, -2},
        {62, 6, false, 62},
        {31, 6, true, 31},
        {-1, 32, true, -1},
        {static_cast<int>(0x80000000u), 32, false, static_cast<int>(0x80000000u)},
    };
    for (const auto& c : cases) {
        Buffer b;
        b.WriteNumBits(c.stored, c.bits);
        EXPECT_EQ(b.ReadNumBits(c.bits, c.extend), c.expect) << c.stored << " in " << c.bits;
    }
}

TEST(Buffer, BitCountsOutsideTheWordAreClamped)
{
    Buffer b;
    b.WriteNumBits(-1, 40); // as 32 bits
    b.WriteNumBits(7, 0);
    b.WriteNumBits(7, -3);
    EXPECT_EQ(b.GetDataLen(), 4);
    EXPECT_EQ(b.ReadNumBits(40, false), -1);
    EXPECT_TRUE(b.AtEnd());
}

TEST(Buffer, ReadsPastTheEndGiveZero)
{
    Buffer b;
    b.WriteNumBits(5, 3); // one byte: 3 data bits, 5 padding
    EXPECT_EQ(b.ReadNumBits(1, false), 1);
    // ReadNumBits stops at the end of the data; the missing high bits are 0.
    EXPECT_EQ(b.ReadNumBits(16, false), 2);
    EXPECT_TRUE(b.AtEnd());

    Buffer c;
    c.WriteByte(0xAB);
    c.ReadNumBits(1, false);
    // An unaligned byte needs the next byte: 0 and no move.
    EXPECT_EQ(c.ReadByte(), 0);
    EXPECT_EQ(c.GetReadBitPos(), 1u);
}

TEST(Buffer, UnalignedRoundTripsAtEveryOffset)
{
    for (int offset = 0; offset < 8; ++offset) {
        Buffer b;
        b.WriteNumBits(0x55, offset);
        b.WriteByte(0xA5);
        b.WriteShort(static_cast<int16_t>(0xBEEF));
        b.WriteLong(static_cast<int32_t>(0xDEADBEEF));
        b.WriteBoolean(true);
        b.WriteString("abc");
        const uint8_t raw[3] = {1, 0xFF, 0x80};
        b.WriteBytes(raw, 3);
        b.WriteNumBits(1, 1);
        EXPECT_EQ(b.GetDataLen(), static_cast<int>((b.GetWriteBitPos() + 7) / 8));

        EXPECT_EQ(b.ReadNumBits(offset, false), 0x55 & ((1 << offset) - 1)) << offset;
        EXPECT_EQ(b.ReadByte(), 0xA5) << offset;
        EXPECT_EQ(static_cast<uint16_t>(b.ReadShort()), 0xBEEF) << offset;
        EXPECT_EQ(static_cast<uint32_t>(b.ReadLong()), 0xDEADBEEFu) << offset;
        EXPECT_TRUE(b.ReadBoolean()) << offset;
        EXPECT_EQ(b.ReadString(), "abc") << offset;
        uint8_t back[3] = {};
        b.ReadBytes(back, 3);
        EXPECT_EQ(std::vector<uint8_t>(back, back + 3), std::vector<uint8_t>(raw, raw + 3)) << offset;
        EXPECT_EQ(b.ReadNumBits(1, false), 1) << offset;
    }
}

TEST(Buffer, BooleanIsAWholeByte)
{
    Buffer b;
    b.WriteBoolean(true);
    EXPECT_EQ(b.ReadNumBits(1, false), 1);
    EXPECT_EQ(b.ReadNumBits(7, false), 0);
    EXPECT_TRUE(b.AtEnd());
}

TEST(Buffer, Strings)
{
    Buffer b;
    b.WriteString("");
    EXPECT_EQ(b.GetDataLen(), 2);
    EXPECT_EQ(b.ReadString(), "");
    EXPECT_EQ(b.GetReadBitPos(), 16u);

    // Lengths from 32768 up are read unsigned, so long texts come back whole and
    // what follows them stays in step.
    const std::string big(40000, 'x');
    b.WriteString(big);
    b.WriteLong(77);
    EXPECT_EQ(b.ReadString(), big);
    EXPECT_EQ(b.ReadLong(), 77);

    // Beyond 65535 bytes the text is cut so that its length field and its bytes agree.
    Buffer c;
    c.WriteString(std::string(70000, 'y'));
    c.WriteLong(5);
    EXPECT_EQ(c.ReadString(), std::string(Buffer::MAX_STRING_LENGTH, 'y'));
    EXPECT_EQ(c.ReadLong(), 5);

    Buffer d;
    d.WriteLongString(std::string(70000, 'z'));
    d.WriteLong(6);
    EXPECT_EQ(d.ReadLongString().size(), 70000u);
    EXPECT_EQ(d.ReadLong(), 6);
}

TEST(Buffer, StringLengthBeyondTheDataIsCut)
{
    Buffer b;
    b.WriteShort(1000);
    b.WriteBytes(reinterpret_cast<const uint8_t*>("hey"), 3);
    EXPECT_EQ(b.ReadString(), "hey");
    EXPECT_TRUE(b.AtEnd());

    Buffer c;
    c.WriteLong(-1); // 4 GB claimed
    c.WriteByte('q');
    EXPECT_EQ(c.ReadLongString(), "q");

    Buffer empty;
    EXPECT_EQ(empty.ReadString(), "");
}

TEST(Buffer, ReadLine)
{
    const struct {
        std::string data;
        std::vector<std::string> lines;
    } cases[] = {
        {"ab\r\ncd", {"ab", "cd"}},
        {"one\ntwo\n", {"one", "two"}},
        {std::string("x\0y", 3), {"x", "y"}},
        {"\n\n", {"", ""}},
    };
    for (const auto& c : cases) {
        Buffer b;
        b.SetData(c.data);
        std::vector<std::string> lines;
        while (!b.AtEnd() && lines.size() < 10)
            lines.push_back(b.ReadLine());
        EXPECT_EQ(lines, c.lines) << c.data;
    }
}

TEST(Buffer, ReadLineLoopEndsWithTrailingBits)
{
    // A stream whose read position sits inside its last byte has no whole byte left;
    // a loop on AtEnd must still finish.
    Buffer b;
    b.WriteString("hi");
    b.WriteNumBits(1, 3);
    b.SeekFront();
    b.ReadNumBits(3, false);
    int lines = 0;
    while (!b.AtEnd() && lines < 10) {
        b.ReadLine();
        ++lines;
    }
    EXPECT_TRUE(b.AtEnd());
    EXPECT_LT(lines, 10);
}

TEST(Buffer, ClearAndSeekFront)
{
    Buffer b;
    b.WriteLong(1);
    EXPECT_EQ(b.ReadLong(), 1);
    b.SeekFront();
    EXPECT_EQ(b.ReadLong(), 1);
    b.WriteLong(2); // writes keep appending after a seek
    EXPECT_EQ(b.ReadLong(), 2);
    b.Clear();
    EXPECT_EQ(b.GetDataLen(), 0);
    EXPECT_TRUE(b.AtEnd());
    EXPECT_EQ(b.ReadByte(), 0);
}

} // namespace
