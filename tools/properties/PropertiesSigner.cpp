#include "tools/properties/PropertiesSigner.h"

#include <cstdio>

#include "framework/app/PropertiesSignature.h"

namespace PropertiesSigner {

namespace {

// The prime powers q = p^k whose product is the modulus.
struct PrimePower {
    uint64_t q;
    uint64_t p;
};
constexpr PrimePower kFactors[] = {
    {4, 2}, {81, 3}, {5, 5}, {37, 37}, {69251431, 69251431}, {4737376436140241ULL, 4737376436140241ULL},
};
constexpr uint64_t kExponent = 17;
constexpr int kMaxNonce = 10000;

BigInt FromU64(uint64_t v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(v));
    return BigInt(std::string(text));
}

uint64_t ToU64(const BigInt& v)
{
    uint64_t r = 0;
    for (int i = 3; i >= 0; --i)
        r = (r << 16) | v.GetDigit(i);
    return r;
}

// a^-1 mod m for gcd(a, m) = 1, by the extended Euclidean algorithm.
uint64_t ModInverse(uint64_t a, uint64_t m)
{
    __int128 t = 0, newT = 1, r = m, newR = a % m;
    while (newR != 0) {
        const __int128 quotient = r / newR;
        const __int128 nextT = t - quotient * newT;
        t = newT;
        newT = nextT;
        const __int128 nextR = r - quotient * newR;
        r = newR;
        newR = nextR;
    }
    if (r != 1)
        return 0;
    return static_cast<uint64_t>(t < 0 ? t + m : t);
}

const BigInt& Modulus()
{
    static const BigInt m(std::string(Zant::PROPERTIES_MODULUS_HEX));
    return m;
}

} // namespace

bool SignDigest(const BigInt& digest, BigInt& signature)
{
    const BigInt& m = Modulus();
    if (digest.IsNegative() || digest >= m)
        return false;
    BigInt s;
    for (const PrimePower& f : kFactors) {
        const BigInt q = FromU64(f.q);
        const uint64_t h = ToU64(digest % q);
        uint64_t root = 0;
        if (h % f.p != 0) {
            // On the units mod q, x -> x^17 is undone by the inverse of 17 mod phi(q).
            const uint64_t phi = f.q / f.p * (f.p - 1);
            const uint64_t d = ModInverse(kExponent, phi);
            root = ToU64(FromU64(h).ModPow(FromU64(d), q));
        } else if (h != 0) {
            return false; // a multiple of p that is not 0 mod q has no 17th root here
        }
        // Chinese remainders: the root mod q, lifted to the whole modulus.
        const BigInt others = m / q;
        const uint64_t inverse = ModInverse(ToU64(others % q), f.q);
        s = (s + FromU64(root) * others * FromU64(inverse)) % m;
    }
    if (s.ModPow(FromU64(kExponent), m) != digest)
        return false;
    signature = s;
    return true;
}

bool SignFile(const std::string& source, uint32_t signingNumber, SignedFile& result)
{
    for (int nonce = 0; nonce <= kMaxNonce; ++nonce) {
        std::string text = source;
        if (nonce > 0) {
            if (!text.empty() && text.back() != '\n')
                text += '\n';
            text += "<!-- nonce " + std::to_string(nonce) + " -->\n";
        }
        const BigInt digest = Zant::PropertiesDigest(reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                                                     signingNumber);
        BigInt signature;
        if (!SignDigest(digest, signature))
            continue;
        std::string hex = signature.ToHex();
        hex.insert(0, Zant::PROPERTIES_SIGNATURE_DIGITS - hex.size(), '0');
        result.mText = text;
        result.mSignature = hex + "\n";
        result.mNonce = nonce;
        return true;
    }
    return false;
}

} // namespace PropertiesSigner
