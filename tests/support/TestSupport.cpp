#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace TestSupport {

TempDir::TempDir(const std::string& prefix)
{
    std::string templ = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data()))
        throw std::runtime_error("mkdtemp failed for " + templ);
    mPath = buf.data();
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(mPath, ec);
}

std::string GameDir()
{
    const char* env = getenv("PLINDOR_GAME_DIR");
    return env ? env : PLINDOR_TEST_GAME_DIR;
}

std::string SourceDir()
{
    const char* env = getenv("PLINDOR_SOURCE_DIR");
    return env ? env : PLINDOR_TEST_SOURCE_DIR;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

int DeadProcessId()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    if (child < 0)
        throw std::runtime_error("cannot start a process");
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        throw std::runtime_error("cannot wait for a process");
    return int(child);
}

} // namespace TestSupport
