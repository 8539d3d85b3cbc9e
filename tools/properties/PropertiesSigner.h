#pragma once
// Signs the program's properties file with the private side of the key the program
// checks against. The modulus is 2^2 * 3^4 * 5 * 37 * 69251431 * 4737376436140241;
// a signature is put together from one root per prime power. Digests that have no
// signature under this modulus (about half of them) are met by changing the file
// harmlessly: a comment with a counter is added after the document.
#include <cstdint>
#include <string>

#include "framework/util/BigInt.h"

namespace PropertiesSigner {

// S with S^17 mod M == digest; false when the digest has no such S.
bool SignDigest(const BigInt& digest, BigInt& signature);

struct SignedFile {
    std::string mText;      // the file as shipped (the source, perhaps with a nonce comment)
    std::string mSignature; // 24 upper-case hexadecimal digits and a line feed
    int mNonce = 0;         // 0 when the source was signed as it stands
};

// Signs source, adding "<!-- nonce N -->" lines (N = 1, 2, ...) until the text can be
// signed. False only when no nonce up to a large bound helps.
bool SignFile(const std::string& source, uint32_t signingNumber, SignedFile& result);

} // namespace PropertiesSigner
