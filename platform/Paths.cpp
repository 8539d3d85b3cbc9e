#include "platform/Paths.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <vector>

namespace Platform {

bool ProgramFolder(std::string& folder)
{
    folder.clear();
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0 || static_cast<size_t>(n) >= buf.size() - 1)
        return false;
    std::string exe(buf.data(), static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    if (slash == std::string::npos)
        return false;
    folder = slash == 0 ? "/" : exe.substr(0, slash);
    return true;
}

bool MakeFolders(const std::string& path)
{
    if (path.empty())
        return false;
    std::string cur;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t next = path.find('/', pos);
        if (next == std::string::npos)
            next = path.size();
        cur = path.substr(0, next);
        if (!cur.empty())
            mkdir(cur.c_str(), 0755);
        pos = next + 1;
    }
    struct stat st{};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string UserDataFolder()
{
    std::string folder;
    if (const char* home = getenv("PLINDOR_HOME"); home && *home)
        folder = home;
    else if (const char* xdg = getenv("XDG_DATA_HOME"); xdg && *xdg)
        folder = std::string(xdg) + "/plindor";
    else if (const char* h = getenv("HOME"); h && *h)
        folder = std::string(h) + "/.local/share/plindor";
    else
        folder = "/tmp/plindor-" + std::to_string(getuid());
    MakeFolders(folder);
    return folder;
}

std::string ToNativePath(const std::string& gamePath)
{
    std::string out = gamePath;
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}

namespace {

// Non-blocking, so that a FIFO or a device in the file's place is refused by the
// caller's check instead of waiting in open() for a writer; a regular file reads the
// same either way.
int OpenWithoutWaiting(const std::string& gamePath)
{
    return open(ToNativePath(gamePath).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

} // namespace

int OpenRegularFileDescriptor(const std::string& gamePath, uint64_t* size)
{
    const int fd = OpenWithoutWaiting(gamePath);
    if (fd < 0)
        return -1;
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    if (size != nullptr)
        *size = static_cast<uint64_t>(st.st_size);
    return fd;
}

std::FILE* OpenRegularFile(const std::string& gamePath)
{
    const int fd = OpenRegularFileDescriptor(gamePath);
    if (fd < 0)
        return nullptr;
    std::FILE* file = fdopen(fd, "rb");
    if (!file)
        close(fd);
    return file;
}

bool ReadWholeFile(const std::string& gamePath, std::string& out, size_t maxBytes)
{
    out.clear();
    const int fd = OpenWithoutWaiting(gamePath);
    if (fd < 0)
        return false;
    struct stat st{};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= maxBytes;
    if (ok)
        out.reserve(static_cast<size_t>(st.st_size));
    // Read to the end rather than to the size found: a file may grow or shrink meanwhile.
    char chunk[65536];
    while (ok) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || out.size() + static_cast<size_t>(std::max<ssize_t>(n, 0)) > maxBytes)
            ok = false;
        else if (n == 0)
            break;
        else
            out.append(chunk, static_cast<size_t>(n));
    }
    close(fd);
    if (!ok)
        out.clear();
    return ok;
}

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is durable only once the folder holding the name is on disk too.
void SyncFolderOf(const std::string& path)
{
    int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

} // namespace

bool IsRealFolder(const std::string& path)
{
    struct stat st{};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathTaken(const std::string& path)
{
    struct stat st{};
    return lstat(path.c_str(), &st) == 0;
}

std::FILE* CreateFileNoFollow(const std::string& path)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr)
        close(fd);
    return file;
}

bool WriteFileAtomic(const std::string& path, const void* data, size_t size)
{
    std::string temp = path + ".tmp-" + std::to_string(getpid());
    // The name is this process's own: what stands there is left from an earlier
    // process of the same number, or planted, and is never written through.
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = open(temp.c_str(), flags, 0644);
    if (fd < 0 && errno == EEXIST && unlink(temp.c_str()) == 0)
        fd = open(temp.c_str(), flags, 0644);
    if (fd < 0)
        return false;
    const char* p = static_cast<const char*>(data);
    size_t left = size;
    bool ok = true;
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (ok && fsync(fd) != 0)
        ok = false;
    if (close(fd) != 0)
        ok = false;
    if (ok && rename(temp.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    SyncFolderOf(path);
    return true;
}

namespace {

// Removes the files of folder named <prefix>.tmp-<pid> whose process has ended (an
// empty name prefix takes every such file).
int RemoveDeadWritersTemporaries(const std::string& folder, const std::string& namePrefix)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return 0;
    const std::string marker = ".tmp-";
    int removed = 0;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const size_t at = namePrefix.empty() ? name.rfind(marker) : namePrefix.size();
        if (at == std::string::npos || at == 0 || name.compare(0, namePrefix.size(), namePrefix) != 0 ||
            name.compare(at, marker.size(), marker) != 0)
            continue;
        const std::string digits = name.substr(at + marker.size());
        if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(digits));
        // EPERM means the process exists under another user: keep its file.
        if (pid <= 0 || pid == getpid() || kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        if (unlinkat(dirfd(dir), name.c_str(), 0) == 0)
            ++removed;
    }
    closedir(dir);
    return removed;
}

} // namespace

int RemoveStaleTemporaries(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return RemoveDeadWritersTemporaries(FolderOf(path), slash == std::string::npos ? path : path.substr(slash + 1));
}

int RemoveStaleTemporariesIn(const std::string& folder) { return RemoveDeadWritersTemporaries(folder, ""); }

bool SetFileAside(const std::string& path, const std::string& suffix, std::string& asidePath)
{
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0)
        return false;
    for (int n = 1; n <= 1000; ++n) {
        const std::string candidate = path + suffix + (n == 1 ? "" : std::to_string(n));
        // A hard link cannot replace an existing name, so an earlier copy stays whole;
        // where the file system has no hard links, a rename after a look at the name.
        if (link(path.c_str(), candidate.c_str()) == 0) {
            if (unlink(path.c_str()) != 0) {
                unlink(candidate.c_str());
                return false;
            }
        } else if (errno == EEXIST || lstat(candidate.c_str(), &st) == 0) {
            continue;
        } else if (rename(path.c_str(), candidate.c_str()) != 0) {
            return false;
        }
        SyncFolderOf(path);
        asidePath = candidate;
        return true;
    }
    return false;
}

bool WriteAll(int fd, const char* text, size_t length)
{
    while (length > 0) {
        const ssize_t written = write(fd, text, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        text += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace Platform
