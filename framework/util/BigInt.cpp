#include "framework/util/BigInt.h"

#include <algorithm>
#include <cstdlib>

#include "framework/util/MD5.h"

namespace {

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

int HighestBit(uint16_t digit)
{
    int n = 0;
    while (digit) {
        ++n;
        digit >>= 1;
    }
    return n;
}

} // namespace

BigInt::BigInt(int value)
{
    // Through 64 bits so that the most negative int keeps its magnitude.
    const int64_t wide = value;
    const uint32_t magnitude = static_cast<uint32_t>(wide < 0 ? -wide : wide);
    mNegative = value < 0;
    mDigits = {static_cast<uint16_t>(magnitude & 0xFFFF), static_cast<uint16_t>(magnitude >> 16)};
    Normalise();
}

BigInt::BigInt(const std::string& hexText)
{
    // Each character is four bits; the last character is the lowest.
    const size_t n = hexText.size();
    mDigits.assign((n + 3) / 4, 0);
    for (size_t i = 0; i < n; ++i) {
        const size_t fromEnd = n - 1 - i;
        mDigits[fromEnd / 4] |= static_cast<uint16_t>(HexDigitValue(hexText[i]) << (4 * (fromEnd % 4)));
    }
    Normalise();
}

uint16_t BigInt::GetDigit(int i) const
{
    return i >= 0 && i < GetDigitCount() ? mDigits[static_cast<size_t>(i)] : 0;
}

void BigInt::SetDigit(int i, uint16_t value)
{
    if (i < 0)
        return;
    if (i >= GetDigitCount())
        mDigits.resize(static_cast<size_t>(i) + 1, 0);
    mDigits[static_cast<size_t>(i)] = value;
    Normalise();
}

void BigInt::Clear()
{
    mDigits.clear();
    mNegative = false;
}

int BigInt::GetBitLength() const
{
    if (mDigits.empty())
        return 0;
    return 16 * (GetDigitCount() - 1) + HighestBit(mDigits.back());
}

std::string BigInt::ToHex() const
{
    if (mDigits.empty())
        return "0";
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = mDigits.size(); i-- > 0;)
        for (int shift = 12; shift >= 0; shift -= 4)
            text += kHex[(mDigits[i] >> shift) & 15];
    const size_t first = text.find_first_not_of('0');
    text.erase(0, first);
    return mNegative ? "-" + text : text;
}

void BigInt::Normalise()
{
    while (!mDigits.empty() && mDigits.back() == 0)
        mDigits.pop_back();
    if (mDigits.empty())
        mNegative = false;
}

BigInt BigInt::FromMagnitude(Digits digits, bool negative)
{
    BigInt r;
    r.mDigits = std::move(digits);
    r.mNegative = negative;
    r.Normalise();
    return r;
}

int BigInt::CompareMagnitude(const Digits& a, const Digits& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return 0;
}

BigInt::Digits BigInt::AddMagnitude(const Digits& a, const Digits& b)
{
    const Digits& longer = a.size() >= b.size() ? a : b;
    const Digits& shorter = a.size() >= b.size() ? b : a;
    Digits sum(longer.size());
    uint32_t carry = 0;
    for (size_t i = 0; i < longer.size(); ++i) {
        const uint32_t s = uint32_t(longer[i]) + (i < shorter.size() ? shorter[i] : 0) + carry;
        sum[i] = static_cast<uint16_t>(s);
        carry = s >> 16;
    }
    if (carry)
        sum.push_back(static_cast<uint16_t>(carry));
    return sum;
}

BigInt::Digits BigInt::SubtractMagnitude(const Digits& a, const Digits& b)
{
    Digits diff(a.size());
    int32_t borrow = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int32_t d = int32_t(a[i]) - (i < b.size() ? b[i] : 0) - borrow;
        borrow = d < 0 ? 1 : 0;
        if (d < 0)
            d += 0x10000;
        diff[i] = static_cast<uint16_t>(d);
    }
    return diff;
}

BigInt BigInt::operator+(const BigInt& b) const
{
    if (mNegative == b.mNegative)
        return FromMagnitude(AddMagnitude(mDigits, b.mDigits), mNegative);
    // Different signs: the larger magnitude decides the sign.
    if (CompareMagnitude(mDigits, b.mDigits) >= 0)
        return FromMagnitude(SubtractMagnitude(mDigits, b.mDigits), mNegative);
    return FromMagnitude(SubtractMagnitude(b.mDigits, mDigits), b.mNegative);
}

BigInt BigInt::operator-(const BigInt& b) const
{
    return *this + (-b);
}

BigInt BigInt::operator-() const
{
    BigInt r = *this;
    if (!r.mDigits.empty())
        r.mNegative = !r.mNegative;
    return r;
}

BigInt BigInt::operator*(const BigInt& b) const
{
    if (mDigits.empty() || b.mDigits.empty())
        return BigInt();
    Digits product(mDigits.size() + b.mDigits.size(), 0);
    for (size_t j = 0; j < b.mDigits.size(); ++j) {
        uint32_t carry = 0;
        for (size_t i = 0; i < mDigits.size(); ++i) {
            const uint32_t t = uint32_t(mDigits[i]) * b.mDigits[j] + product[i + j] + carry;
            product[i + j] = static_cast<uint16_t>(t);
            carry = t >> 16;
        }
        product[j + mDigits.size()] = static_cast<uint16_t>(carry);
    }
    return FromMagnitude(std::move(product), mNegative != b.mNegative);
}

void BigInt::DivMod(const BigInt& a, const BigInt& b, BigInt& quotient, BigInt& remainder)
{
    quotient.Clear();
    remainder.Clear();
    if (b.IsZero())
        return;
    if (CompareMagnitude(b.mDigits, a.mDigits) > 0) {
        remainder = a;
        return;
    }
    const int k = a.GetBitLength() - b.GetBitLength();
    BigInt r = FromMagnitude(a.mDigits, false) >> (k + 1);
    Digits q((static_cast<size_t>(k) + 16) / 16, 0);
    for (int i = k; i >= 0; --i) {
        r <<= 1;
        if ((a.GetDigit(i / 16) >> (i % 16)) & 1)
            r.SetDigit(0, static_cast<uint16_t>(r.GetDigit(0) | 1));
        if (CompareMagnitude(r.mDigits, b.mDigits) >= 0) {
            q[static_cast<size_t>(i / 16)] |= static_cast<uint16_t>(1u << (i % 16));
            r = FromMagnitude(SubtractMagnitude(r.mDigits, b.mDigits), false);
        }
    }
    quotient = FromMagnitude(std::move(q), a.mNegative != b.mNegative);
    remainder = FromMagnitude(std::move(r.mDigits), a.mNegative);
}

BigInt BigInt::operator/(const BigInt& b) const
{
    BigInt q, r;
    DivMod(*this, b, q, r);
    return q;
}

BigInt BigInt::operator%(const BigInt& b) const
{
    BigInt q, r;
    DivMod(*this, b, q, r);
    return r;
}

BigInt BigInt::operator<<(int bits) const
{
    if (bits <= 0 || mDigits.empty())
        return bits < 0 ? *this >> -bits : *this;
    const size_t whole = static_cast<size_t>(bits / 16);
    const int part = bits % 16;
    Digits out(whole + mDigits.size() + 1, 0);
    for (size_t i = 0; i < mDigits.size(); ++i) {
        const uint32_t v = uint32_t(mDigits[i]) << part;
        out[i + whole] |= static_cast<uint16_t>(v);
        out[i + whole + 1] |= static_cast<uint16_t>(v >> 16);
    }
    return FromMagnitude(std::move(out), mNegative);
}

BigInt BigInt::operator>>(int bits) const
{
    if (bits <= 0)
        return bits < 0 ? *this << -bits : *this;
    const size_t whole = static_cast<size_t>(bits / 16);
    if (whole >= mDigits.size())
        return BigInt();
    const int part = bits % 16;
    Digits out(mDigits.size() - whole, 0);
    for (size_t i = 0; i < out.size(); ++i) {
        uint32_t v = mDigits[i + whole] >> part;
        if (part && i + whole + 1 < mDigits.size())
            v |= uint32_t(mDigits[i + whole + 1]) << (16 - part);
        out[i] = static_cast<uint16_t>(v);
    }
    return FromMagnitude(std::move(out), mNegative);
}

BigInt BigInt::operator|(const BigInt& b) const
{
    Digits out(std::max(mDigits.size(), b.mDigits.size()), 0);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<uint16_t>((i < mDigits.size() ? mDigits[i] : 0) | (i < b.mDigits.size() ? b.mDigits[i] : 0));
    return FromMagnitude(std::move(out), mNegative);
}

bool BigInt::operator<(const BigInt& b) const
{
    if (mNegative != b.mNegative)
        return mNegative;
    const int c = CompareMagnitude(mDigits, b.mDigits);
    return mNegative ? c > 0 : c < 0;
}

BigInt BigInt::ModPow(const BigInt& exponent, const BigInt& modulus) const
{
    BigInt result(1);
    BigInt base = *this;
    BigInt e = exponent;
    while (e > BigInt(0)) {
        if (e.IsOdd())
            result = (result * base) % modulus;
        e >>= 1;
        base = (base * base) % modulus;
    }
    return result;
}

BigInt DigestToBigInt(const uint8_t* bytes, size_t length, int bits)
{
    const Zant::MD5Result digest = Zant::MD5Digest(bytes, length);
    BigInt value;
    for (uint8_t b : digest)
        value = (value << 8) + BigInt(b);
    const int extraDigits = (bits + 3) / 4 - 32;
    for (int i = 0; i < extraDigits; ++i)
        value = (value << 4) + BigInt(i % 16);
    const int excess = value.GetBitLength() - bits;
    if (excess > 0)
        value >>= excess;
    return value;
}
