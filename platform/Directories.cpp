#include "platform/Directories.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

bool DirectoryOps::List(const std::string& path, std::vector<DirectoryEntry>& entries)
{
    entries.clear();
    // A symbolic link is not listed through: removing a tree must not reach into
    // the folder it points to.
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return false;
    }
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        DirectoryEntry entry;
        entry.name = name;
        struct stat st{};
        std::string full = path.empty() || path.back() == '/' ? path + name : path + "/" + name;
        entry.isDirectory = lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entries.push_back(std::move(entry));
    }
    closedir(dir);
    return true;
}

bool DirectoryOps::RemoveFile(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

bool DirectoryOps::RemoveDirectory(const std::string& path)
{
    return rmdir(path.c_str()) == 0;
}

bool DirectoryOps::MakeDirectory(const std::string& path)
{
    return mkdir(path.c_str(), 0755) == 0;
}

namespace {
DirectoryOps gRealOps;
DirectoryOps* gOps = &gRealOps;
} // namespace

DirectoryOps& GetDirectoryOps()
{
    return *gOps;
}

void SetDirectoryOps(DirectoryOps* ops)
{
    gOps = ops ? ops : &gRealOps;
}

} // namespace Platform
