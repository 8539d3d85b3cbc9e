#pragma once
// The signature of the installation's properties file. The signature file holds
// S as 24 hexadecimal digits; the file is genuine when S^E mod M equals the MD5
// digest, reduced to 94 bits, of the signing number (4 bytes, little-endian)
// followed by every byte of the file that is not whitespace. Re-indenting the file
// or changing its line endings therefore keeps the signature; any other change
// breaks it.
//
// The modulus is small and factorable: the signature shows that a file was not
// changed by accident or by a casual edit, nothing more. Values read from the file
// are treated as data everywhere.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/util/BigInt.h"

namespace Zant {

// The public key, as hexadecimal texts.
inline constexpr const char* PROPERTIES_MODULUS_HEX = "3F8A1C6E02D94B7750AE1D3C";
inline constexpr const char* PROPERTIES_EXPONENT_HEX = "11";
// Eight decimal digits chosen once for this product. It is fixed (not the build
// number) so that a signed file stays valid from build to build.
inline constexpr uint32_t PROPERTIES_SIGNING_NUMBER = 58203147;
inline constexpr int PROPERTIES_DIGEST_BITS = 94;
// Bytes of the signature file that hold the signature; anything after them is ignored.
inline constexpr size_t PROPERTIES_SIGNATURE_DIGITS = 24;

// The bytes that are signed: the signing number, then the file without whitespace
// (space, tab, line feed, vertical tab, form feed, carriage return).
std::string PropertiesSignedMessage(const uint8_t* data, size_t length, uint32_t signingNumber);
// The number the signature must reproduce.
BigInt PropertiesDigest(const uint8_t* data, size_t length, uint32_t signingNumber);
// True when the first 24 bytes of signatureText sign the data.
bool CheckPropertiesSignature(const uint8_t* data, size_t length, const std::string& signatureText,
                              uint32_t signingNumber = PROPERTIES_SIGNING_NUMBER);

} // namespace Zant
