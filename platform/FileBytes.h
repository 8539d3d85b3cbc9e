#pragma once
// A file's bytes read whole, for a reader that takes a whole file at once (a sound
// effect, a music module). They are read rather than mapped: a mapped file cut short
// in place (a copy or an update over a running game) would kill the process when its
// lost pages are read, where read bytes stay as they were.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace Platform {

class FileBytes {
public:
    // Reads the file at gamePath (backslashes allowed) when it is a regular file of at
    // most maxBytes; an empty file gives no bytes, and one cut short while it is read
    // gives the bytes it still had. False, with Error() saying why and no bytes, when
    // it is missing, unreadable, not a regular file (a FIFO or a device is refused
    // without waiting on it) or larger.
    bool Open(const std::string& gamePath, size_t maxBytes = SIZE_MAX);
    void Close();

    // Never null, so that a reader may hand it on as it stands; Size() bytes may be read.
    const uint8_t* Data() const;
    size_t Size() const { return mSize; }
    const std::string& Error() const { return mError; }

private:
    std::unique_ptr<uint8_t[]> mBytes;
    size_t mSize = 0;
    std::string mError;
};

} // namespace Platform
