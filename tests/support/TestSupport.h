#pragma once
// Small helpers shared by the test programs.
#include <filesystem>
#include <string>

namespace TestSupport {

// A temporary folder removed with everything in it when the object goes.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "plindor-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return mPath; }
    std::string File(const std::string& name) const { return mPath + "/" + name; }

private:
    std::string mPath;
};

// The program folder the build made (executable and data).
std::string GameDir();
// The source tree, for fixtures kept beside the tests.
std::string SourceDir();

// Makes a folder the working folder for its lifetime.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& path) : mOld(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~WorkingFolder() { std::filesystem::current_path(mOld); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path mOld;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);

// The id of a process that has already ended (for files named after their writer).
int DeadProcessId();

} // namespace TestSupport
