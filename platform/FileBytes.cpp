#include "platform/FileBytes.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/Paths.h"

namespace Platform {

bool FileBytes::Open(const std::string& gamePath, size_t maxBytes)
{
    Close();
    mError.clear();
    const std::string path = ToNativePath(gamePath);
    uint64_t size = 0;
    const int fd = OpenRegularFileDescriptor(gamePath, &size);
    if (fd < 0) {
        mError = path + ": " + (errno == EINVAL ? "not a regular file" : std::strerror(errno));
        return false;
    }
    if (size > maxBytes) {
        close(fd);
        mError = path + ": larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    // Left as they come: the read fills every byte that is kept.
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size > 0 ? size_t(size) : 1]);
    if (bytes == nullptr) {
        close(fd);
        mError = path + ": no memory for " + std::to_string(size) + " bytes";
        return false;
    }
    size_t done = 0;
    while (done < size) {
        const ssize_t n = read(fd, bytes.get() + done, size_t(size) - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            mError = path + ": " + std::strerror(errno);
            close(fd);
            return false;
        }
        if (n == 0)
            break; // cut short since it was opened: the reader finds it damaged
        done += size_t(n);
    }
    close(fd);
    mBytes = std::move(bytes);
    mSize = done;
    return true;
}

const uint8_t* FileBytes::Data() const
{
    static const uint8_t nothing = 0;
    return mBytes != nullptr ? mBytes.get() : &nothing;
}

void FileBytes::Close()
{
    mBytes.reset();
    mSize = 0;
}

} // namespace Platform
