#pragma once
// A small arbitrary-precision signed integer: a sign and a magnitude of 16-bit
// digits, least significant first. It serves the public-key check of the
// properties file (hexadecimal key and signature texts, an MD5 digest as a number,
// modular powers), so it keeps to schoolbook methods on operands of a few hundred
// bits. Every operator returns a new value.
//
// Zero is always stored as no digits and a positive sign, so equal values compare
// equal whatever produced them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class BigInt {
public:
    BigInt() = default;
    BigInt(int value);
    // Hexadecimal digits, most significant first; any other character counts as 0.
    explicit BigInt(const std::string& hexText);
    BigInt(const BigInt&) = default;
    BigInt& operator=(const BigInt&) = default;
    virtual ~BigInt() = default;

    // Digit i (0 at or beyond the count).
    uint16_t GetDigit(int i) const;
    // Sets digit i, growing with zero digits as needed, and normalises.
    void SetDigit(int i, uint16_t value);
    int GetDigitCount() const { return static_cast<int>(mDigits.size()); }
    uint16_t GetMostSignificantDigit() const { return mDigits.empty() ? 0 : mDigits.back(); }
    bool IsOdd() const { return !mDigits.empty() && (mDigits[0] & 1); }
    bool IsNegative() const { return mNegative; }
    bool IsZero() const { return mDigits.empty(); }
    void Clear();
    // Number of significant bits of the magnitude; 0 for zero.
    int GetBitLength() const;
    // Upper-case hexadecimal of the magnitude, with a '-' for a negative value; "0" for zero.
    std::string ToHex() const;

    BigInt operator+(const BigInt& b) const;
    BigInt operator-(const BigInt& b) const;
    BigInt operator*(const BigInt& b) const;
    // Division by zero gives 0 (quotient and remainder): there is nothing sound to return.
    BigInt operator/(const BigInt& b) const;
    BigInt operator%(const BigInt& b) const;
    BigInt operator<<(int bits) const;
    BigInt operator>>(int bits) const;
    BigInt operator|(const BigInt& b) const;
    BigInt operator-() const;

    BigInt& operator+=(const BigInt& b) { return *this = *this + b; }
    BigInt& operator-=(const BigInt& b) { return *this = *this - b; }
    BigInt& operator*=(const BigInt& b) { return *this = *this * b; }
    BigInt& operator/=(const BigInt& b) { return *this = *this / b; }
    BigInt& operator%=(const BigInt& b) { return *this = *this % b; }
    BigInt& operator<<=(int bits) { return *this = *this << bits; }
    BigInt& operator>>=(int bits) { return *this = *this >> bits; }
    BigInt& operator|=(const BigInt& b) { return *this = *this | b; }

    bool operator==(const BigInt& b) const { return mNegative == b.mNegative && mDigits == b.mDigits; }
    bool operator!=(const BigInt& b) const { return !(*this == b); }
    bool operator<(const BigInt& b) const;
    bool operator>(const BigInt& b) const { return !(*this == b) && !(*this < b); }
    bool operator>=(const BigInt& b) const { return !(*this < b); }
    bool operator<=(const BigInt& b) const { return !(*this > b); }

    // this^exponent mod modulus, by right-to-left square-and-multiply.
    BigInt ModPow(const BigInt& exponent, const BigInt& modulus) const;

    // Quotient and remainder in one pass (bit-by-bit long division). The quotient's
    // sign is the product of the signs; the remainder keeps the dividend's.
    static void DivMod(const BigInt& a, const BigInt& b, BigInt& quotient, BigInt& remainder);

private:
    using Digits = std::vector<uint16_t>;

    void Normalise();
    static int CompareMagnitude(const Digits& a, const Digits& b);
    static Digits AddMagnitude(const Digits& a, const Digits& b);
    // a - b for |a| >= |b|.
    static Digits SubtractMagnitude(const Digits& a, const Digits& b);
    static BigInt FromMagnitude(Digits digits, bool negative);

    bool mNegative = false;
    Digits mDigits;
};

// The MD5 digest of the bytes as a big-endian number, reduced to its top `bits`
// significant bits when it has more. Sizes above 128 bits are padded on the right
// with the hexadecimal digits 0, 1, 2, ... 15, 0, 1, ... as the signature scheme has it.
BigInt DigestToBigInt(const uint8_t* bytes, size_t length, int bits);
