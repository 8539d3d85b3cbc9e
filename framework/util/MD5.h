#pragma once
// The MD5 message digest (RFC 1321). The properties file's signature is checked
// against the digest of its contents; nothing here is meant to resist attack.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Zant {

using MD5Result = std::array<uint8_t, 16>;

class MD5 {
public:
    MD5() { Reset(); }

    void Reset();
    void Update(const uint8_t* data, size_t length);
    void Update(const std::string& data) { Update(reinterpret_cast<const uint8_t*>(data.data()), data.size()); }
    // The digest of everything given since the last Reset; the object is reset after.
    MD5Result Final();

private:
    void Transform(const uint8_t block[64]);

    uint32_t mState[4];
    uint64_t mLength = 0; // bytes given so far
    uint8_t mBlock[64];
    size_t mBlockUsed = 0;
};

MD5Result MD5Digest(const uint8_t* data, size_t length);
// Lower-case hexadecimal text of a digest.
std::string MD5Hex(const MD5Result& digest);

} // namespace Zant
