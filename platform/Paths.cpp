#include "platform/Paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

bool WriteFileAtomic(const std::string& path, const void* data, size_t size)
{
    std::string temp = path + ".tmp-" + std::to_string(getpid());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
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
    if (!ok)
        unlink(temp.c_str());
    return ok;
}

} // namespace Platform
