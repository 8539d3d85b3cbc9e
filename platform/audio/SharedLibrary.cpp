#include "platform/audio/SharedLibrary.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace Platform {

namespace {

#if defined(__x86_64__)
constexpr uint16_t kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr uint16_t kMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr uint16_t kMachine = EM_386;
#elif defined(__arm__)
constexpr uint16_t kMachine = EM_ARM;
#elif defined(__riscv)
constexpr uint16_t kMachine = EM_RISCV;
#elif defined(__powerpc64__)
constexpr uint16_t kMachine = EM_PPC64;
#else
#error "the processor of this machine is not known here"
#endif

#if __SIZEOF_POINTER__ == 8
using Ehdr = Elf64_Ehdr;
using Phdr = Elf64_Phdr;
constexpr unsigned char kClass = ELFCLASS64;
#else
using Ehdr = Elf32_Ehdr;
using Phdr = Elf32_Phdr;
constexpr unsigned char kClass = ELFCLASS32;
#endif

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr unsigned char kData = ELFDATA2LSB;
#else
constexpr unsigned char kData = ELFDATA2MSB;
#endif

bool ReadAt(int fd, void* out, size_t size, uint64_t offset)
{
    size_t done = 0;
    while (done < size) {
        ssize_t n = pread(fd, static_cast<char*>(out) + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool Fails(std::string& reason, const std::string& text)
{
    reason = text;
    return false;
}

bool CheckOpenObject(int fd, std::string& reason)
{
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return Fails(reason, "not a regular file");
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    Ehdr header{};
    if (size < sizeof header || !ReadAt(fd, &header, sizeof header, 0))
        return Fails(reason, "shorter than an ELF header");
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return Fails(reason, "not an ELF file");
    if (header.e_ident[EI_CLASS] != kClass || header.e_ident[EI_DATA] != kData || header.e_machine != kMachine)
        return Fails(reason, "an ELF object for another kind of machine");
    if (header.e_type != ET_DYN)
        return Fails(reason, "not a shared object");
    if (header.e_phentsize != sizeof(Phdr) || header.e_phnum == 0 || header.e_phnum == PN_XNUM)
        return Fails(reason, "damaged ELF header");
    const uint64_t tableSize = uint64_t{header.e_phnum} * sizeof(Phdr);
    if (header.e_phoff > size || tableSize > size - header.e_phoff)
        return Fails(reason, "program headers beyond the end of the file (cut short?)");
    // The section headers usually end the file: a file cut anywhere past its loaded
    // segments loses them.
    if (header.e_shoff != 0) {
        const uint64_t sectionsSize = uint64_t{header.e_shnum} * header.e_shentsize;
        if (header.e_shoff > size || sectionsSize > size - header.e_shoff)
            return Fails(reason, "section headers beyond the end of the file (cut short?)");
    }
    std::vector<Phdr> table(header.e_phnum);
    if (!ReadAt(fd, table.data(), tableSize, header.e_phoff))
        return Fails(reason, "program headers cannot be read");
    for (const Phdr& ph : table) {
        if (ph.p_type != PT_LOAD && ph.p_type != PT_DYNAMIC)
            continue;
        if (ph.p_offset > size || ph.p_filesz > size - ph.p_offset)
            return Fails(reason, "a segment reaches beyond the end of the file (cut short?)");
    }
    return true;
}

} // namespace

bool SharedLibrary::CheckSharedObject(const std::string& path, std::string& reason)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Fails(reason, std::strerror(errno));
    const bool ok = CheckOpenObject(fd, reason);
    close(fd);
    return ok;
}

bool SharedLibrary::Open(const std::string& path)
{
    Close();
    if (std::string reason; !CheckSharedObject(path, reason)) {
        mError = path + ": " + reason;
        return false;
    }
    mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!mHandle) {
        const char* e = dlerror();
        mError = e ? e : "cannot load " + path;
        return false;
    }
    mError.clear();
    return true;
}

void SharedLibrary::Close()
{
    if (mHandle) {
        dlclose(mHandle);
        mHandle = nullptr;
    }
}

void* SharedLibrary::Symbol(const char* name) const
{
    return mHandle ? dlsym(mHandle, name) : nullptr;
}

} // namespace Platform
