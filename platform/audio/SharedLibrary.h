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

    bool Open(const std::string& path); // false, with Error() set, when it cannot be loaded
    void Close();
    bool IsOpen() const { return mHandle != nullptr; }
    void* Symbol(const char* name) const; // null when absent
    const std::string& Error() const { return mError; }

private:
    void* mHandle = nullptr;
    std::string mError;
};

} // namespace Platform
