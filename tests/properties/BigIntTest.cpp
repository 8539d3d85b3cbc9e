#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/util/BigInt.h"
#include "framework/util/MD5.h"

namespace {

using int128 = __int128;

std::string ToHex128(int128 v)
{
    const bool negative = v < 0;
    unsigned __int128 m = negative ? -static_cast<unsigned __int128>(v) : static_cast<unsigned __int128>(v);
    std::string text;
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[static_cast<int>(m & 15)]);
        m >>= 4;
    } while (m);
    return negative ? "-" + text : text;
}

BigInt FromInt128(int128 v)
{
    const std::string hex = ToHex128(v);
    return hex[0] == '-' ? -BigInt(hex.substr(1)) : BigInt(hex);
}

// A small deterministic generator for operands of up to 100 bits.
struct Operands {
    uint64_t state = 0x9E3779B97F4A7C15ULL;
    uint64_t Next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    int128 Value()
    {
        const int bits = static_cast<int>(Next() % 100) + 1;
        int128 v = (static_cast<int128>(Next() & ((1ULL << 36) - 1)) << 64) | Next();
        v &= (static_cast<int128>(1) << bits) - 1;
        return (Next() & 1) ? -v : v;
    }
};

} // namespace

TEST(BigInt, ConstructionAndDigits)
{
    const BigInt minus70000(-70000);
    EXPECT_EQ(minus70000.GetDigitCount(), 2);
    EXPECT_EQ(minus70000.GetDigit(0), 0x1170);
    EXPECT_EQ(minus70000.GetDigit(1), 0x0001);
    EXPECT_EQ(minus70000.GetDigit(7), 0); // beyond the count
    EXPECT_TRUE(minus70000.IsNegative());
    EXPECT_EQ(BigInt(0).GetDigitCount(), 0);
    EXPECT_EQ(BigInt(-2147483647 - 1).ToHex(), "-80000000");

    struct {
        const char* hex;
        const char* value;
    } texts[] = {{"1g2", "102"}, {"ff", "FF"}, {"FF", "FF"}, {"", "0"}, {"0000", "0"}, {"00012345678", "12345678"}};
    for (const auto& t : texts)
        EXPECT_EQ(BigInt(std::string(t.hex)).ToHex(), t.value) << t.hex;

    BigInt grown;
    grown.SetDigit(3, 7);
    EXPECT_EQ(grown.GetDigitCount(), 4);
    EXPECT_EQ(grown.ToHex(), "7000000000000");
    EXPECT_EQ(BigInt(std::string("FFFF")).GetBitLength(), 16);
    EXPECT_EQ(BigInt(std::string("10000")).GetBitLength(), 17);
}

TEST(BigInt, CarriesBorrowsAndZeroHaveOneForm)
{
    const BigInt sum = BigInt(0xFFFF) + BigInt(1);
    EXPECT_EQ(sum.GetDigitCount(), 2);
    EXPECT_EQ(sum.GetDigit(0), 0);
    EXPECT_EQ(sum.GetDigit(1), 1);

    // However zero is reached, it equals zero and is not below it.
    const BigInt zeros[] = {BigInt(5) - BigInt(5), -BigInt(0), BigInt(-3) * BigInt(0), BigInt(-4) % BigInt(2),
                            BigInt(-1) >> 1};
    for (const BigInt& z : zeros) {
        EXPECT_EQ(z, BigInt(0));
        EXPECT_FALSE(z < BigInt(0));
        EXPECT_FALSE(z.IsNegative());
    }
    EXPECT_NE(BigInt(-5), BigInt(5));
    EXPECT_TRUE(BigInt(-5) < BigInt(-4));
    EXPECT_TRUE(BigInt(-5) < BigInt(0));
}

TEST(BigInt, DivisionCases)
{
    struct {
        const char *a, *b, *q, *r;
    } cases[] = {
        {"1", "2", "0", "1"},
        {"10000", "100", "100", "0"},
        {"FFFFFFFFFFFFFFFFFFFF", "1", "FFFFFFFFFFFFFFFFFFFF", "0"},
        {"123456789ABCDEF0123", "FEDCBA987", "1249249249", "98230ABA4"},
        {"5", "0", "0", "0"}, // by zero: nothing sound to give
    };
    for (const auto& c : cases) {
        BigInt q, r;
        BigInt::DivMod(BigInt(std::string(c.a)), BigInt(std::string(c.b)), q, r);
        EXPECT_EQ(q.ToHex(), c.q) << c.a << " / " << c.b;
        EXPECT_EQ(r.ToHex(), c.r) << c.a << " % " << c.b;
    }
}

TEST(BigInt, ArithmeticMatchesA128BitOracle)
{
    Operands gen;
    for (int i = 0; i < 400; ++i) {
        const int128 a = gen.Value(), b = gen.Value();
        const BigInt x = FromInt128(a), y = FromInt128(b);
        ASSERT_EQ(x.ToHex(), ToHex128(a));
        EXPECT_EQ((x + y).ToHex(), ToHex128(a + b));
        EXPECT_EQ((x - y).ToHex(), ToHex128(a - b));
        EXPECT_EQ(x < y, a < b);
        EXPECT_EQ(x == y, a == b);
        // Products stay within 128 bits when both operands have at most 63 bits.
        const int128 sa = a >> 40, sb = b >> 40;
        EXPECT_EQ((FromInt128(sa) * FromInt128(sb)).ToHex(), ToHex128(sa * sb));
        if (b != 0) {
            EXPECT_EQ((x / y).ToHex(), ToHex128(a / b)) << ToHex128(a) << " / " << ToHex128(b);
            EXPECT_EQ((x % y).ToHex(), ToHex128(a % b)) << ToHex128(a) << " % " << ToHex128(b);
        }
        const int shift = static_cast<int>(gen.Next() % 28); // stays within 127 bits
        EXPECT_EQ((x << shift).ToHex(), ToHex128(a < 0 ? -((-a) << shift) : a << shift));
        EXPECT_EQ((x >> shift).ToHex(), ToHex128(a < 0 ? -((-a) >> shift) : a >> shift));
    }
}

TEST(BigInt, LongDivisionRebuildsTheDividend)
{
    Operands gen;
    for (int i = 0; i < 100; ++i) {
        // Values of up to about 200 bits, beyond the oracle.
        BigInt a = FromInt128(gen.Value()) * FromInt128(gen.Value());
        BigInt b = FromInt128(gen.Value()) + BigInt(1);
        if (b.IsZero())
            continue;
        BigInt q, r;
        BigInt::DivMod(a, b, q, r);
        EXPECT_EQ(q * b + r, a);
        EXPECT_TRUE(r.IsZero() || r.IsNegative() == a.IsNegative());
        EXPECT_TRUE((r.IsNegative() ? -r : r) < (b.IsNegative() ? -b : b));
    }
}

TEST(BigInt, ModularPowers)
{
    EXPECT_EQ(BigInt(4).ModPow(BigInt(13), BigInt(497)), BigInt(445));
    EXPECT_EQ(BigInt(12345).ModPow(BigInt(0), BigInt(7)), BigInt(1));
    const BigInt s(std::string("2D3E3481ED3C4DDA322811D0"));
    const BigInt m(std::string("3F8A1C6E02D94B7750AE1D3C"));
    EXPECT_EQ(s.ModPow(BigInt(17), m).ToHex(), "2F74FB078ED5F267CC290018");
}

TEST(BigInt, DigestIsReducedToItsTopBits)
{
    EXPECT_EQ(DigestToBigInt(nullptr, 0, 94).ToHex(), "3507633663C02C813A600266");
    EXPECT_EQ(DigestToBigInt(nullptr, 0, 128).ToHex(), "D41D8CD98F00B204E9800998ECF8427E");
    // Above 128 bits the number is padded with the digits 0, 1, 2, ...
    EXPECT_EQ(DigestToBigInt(nullptr, 0, 136).ToHex(), "D41D8CD98F00B204E9800998ECF8427E01");
    // A digest with leading zero bits keeps fewer bits: only ever shifted right.
    for (int i = 0; i < 300; ++i) {
        const std::string text = "message " + std::to_string(i);
        const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
        const BigInt full = DigestToBigInt(bytes, text.size(), 128);
        const BigInt reduced = DigestToBigInt(bytes, text.size(), 94);
        EXPECT_LE(reduced.GetBitLength(), 94);
        EXPECT_EQ(reduced, full >> std::max(0, full.GetBitLength() - 94));
    }
}

TEST(MD5, KnownDigests)
{
    struct {
        std::string text;
        const char* digest;
    } vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& v : vectors) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(v.text.data());
        EXPECT_EQ(Zant::MD5Hex(Zant::MD5Digest(bytes, v.text.size())), v.digest) << v.text;
        // Fed in uneven pieces across block boundaries, the digest is the same.
        Zant::MD5 md5;
        for (size_t at = 0; at < v.text.size(); at += 7)
            md5.Update(bytes + at, std::min<size_t>(7, v.text.size() - at));
        EXPECT_EQ(Zant::MD5Hex(md5.Final()), v.digest) << v.text;
    }
}
