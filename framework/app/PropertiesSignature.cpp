#include "framework/app/PropertiesSignature.h"

namespace Zant {

namespace {

// An explicit set: the signer and the checker must agree byte for byte, whatever
// the locale or the signedness of char.
bool IsSignatureWhitespace(uint8_t c)
{
    return c == 0x20 || c == 0x09 || c == 0x0A || c == 0x0B || c == 0x0C || c == 0x0D;
}

} // namespace

std::string PropertiesSignedMessage(const uint8_t* data, size_t length, uint32_t signingNumber)
{
    std::string message;
    message.reserve(length + 4);
    for (int i = 0; i < 4; ++i)
        message += static_cast<char>((signingNumber >> (8 * i)) & 0xFF);
    for (size_t i = 0; i < length; ++i)
        if (!IsSignatureWhitespace(data[i]))
            message += static_cast<char>(data[i]);
    return message;
}

BigInt PropertiesDigest(const uint8_t* data, size_t length, uint32_t signingNumber)
{
    const std::string message = PropertiesSignedMessage(data, length, signingNumber);
    return DigestToBigInt(reinterpret_cast<const uint8_t*>(message.data()), message.size(), PROPERTIES_DIGEST_BITS);
}

bool CheckPropertiesSignature(const uint8_t* data, size_t length, const std::string& signatureText,
                              uint32_t signingNumber)
{
    const BigInt signature(signatureText.substr(0, PROPERTIES_SIGNATURE_DIGITS));
    const BigInt recovered =
        signature.ModPow(BigInt(std::string(PROPERTIES_EXPONENT_HEX)), BigInt(std::string(PROPERTIES_MODULUS_HEX)));
    return recovered == PropertiesDigest(data, length, signingNumber);
}

} // namespace Zant
