#pragma once
// A file's bytes mapped read-only, for a reader that takes a whole file at once (a
// music module): no heap buffer is filled, so no fresh pages are touched and nothing
// is copied; the pages are the page cache's own, which the kernel maps many at a time.
// The file must not shrink while it is mapped (reading past its new end would fault):
// map only the program folder's own data.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Platform {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile() { Close(); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the file at gamePath (backslashes allowed) when it is a regular file of at
    // most maxBytes; an empty file maps to no bytes. False, with Error() saying why and
    // nothing mapped, when it is missing, unreadable, not a regular file (a FIFO or a
    // device is refused without waiting on it), larger, or cannot be mapped.
    bool Open(const std::string& gamePath, size_t maxBytes = SIZE_MAX);
    void Close();

    // Never null, so that a reader may hand it on as it stands; Size() bytes may be read.
    const uint8_t* Data() const;
    size_t Size() const { return mSize; }
    const std::string& Error() const { return mError; }

private:
    void* mAddress = nullptr;
    size_t mSize = 0;
    std::string mError;
};

} // namespace Platform
