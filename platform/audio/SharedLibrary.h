#pragma once
// A shared object loaded at run time by path, with symbols looked up by name.
#include <string>

namespace Platform {

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary() { Close(); }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // False, with Error() set, when it cannot be loaded. The file is checked first
    // (CheckSharedObject): the loader maps a damaged object past its end and dies of
    // SIGBUS instead of saying no.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return mHandle != nullptr; }
    void* Symbol(const char* name) const; // null when absent
    const std::string& Error() const { return mError; }

    // Whether path holds a whole shared object for this machine: an ELF header of this
    // word size, byte order and processor, and program headers, loaded segments and
    // section headers that lie within the file. False with the reason when not.
    static bool CheckSharedObject(const std::string& path, std::string& reason);

private:
    void* mHandle = nullptr;
    std::string mError;
};

} // namespace Platform
