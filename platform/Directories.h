#pragma once
// Directory listing and removal for the framework's folder utilities. The
// operations sit behind an interface so tests can make single steps fail
// (file permissions do not stop root, and tests may run as root).
#include <string>
#include <vector>

namespace Platform {

struct DirectoryEntry {
    std::string name;
    // True only for real directories: a symbolic link is never followed and is
    // reported as a plain entry, so removing a tree cannot leave it.
    bool isDirectory = false;
};

class DirectoryOps {
public:
    virtual ~DirectoryOps() = default;
    // Lists path without "." and ".."; false when it cannot be opened or is a
    // symbolic link.
    virtual bool List(const std::string& path, std::vector<DirectoryEntry>& entries);
    virtual bool RemoveFile(const std::string& path);
    virtual bool RemoveDirectory(const std::string& path);
    // Creates one directory (mode 0755); false when it fails or already exists.
    virtual bool MakeDirectory(const std::string& path);
};

DirectoryOps& GetDirectoryOps();
void SetDirectoryOps(DirectoryOps* ops); // null restores the real one

} // namespace Platform
