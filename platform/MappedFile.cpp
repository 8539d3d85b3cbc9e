#include "platform/MappedFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Paths.h"

namespace Platform {

bool MappedFile::Open(const std::string& gamePath, size_t maxBytes)
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
    if (size > 0) {
        void* const address = mmap(nullptr, size_t(size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (address == MAP_FAILED) {
            mError = path + ": cannot be mapped (" + std::strerror(errno) + ")";
            close(fd);
            return false;
        }
        mAddress = address;
        mSize = size_t(size);
    }
    close(fd); // the mapping keeps the file
    return true;
}

const uint8_t* MappedFile::Data() const
{
    static const uint8_t nothing = 0;
    return mAddress != nullptr ? static_cast<const uint8_t*>(mAddress) : &nothing;
}

void MappedFile::Close()
{
    if (mAddress != nullptr)
        munmap(mAddress, mSize);
    mAddress = nullptr;
    mSize = 0;
}

} // namespace Platform
