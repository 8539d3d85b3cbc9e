#pragma once
// A private X server (Xvfb) for tests that need a real window, and a scope that
// sets environment variables and puts the old values back.
#include <string>
#include <sys/types.h>
#include <vector>

namespace TestSupport {

class XvfbServer {
public:
    // Starts Xvfb on a free display; false when Xvfb is missing or fails to start.
    bool Start();
    ~XvfbServer();
    const std::string& Display() const { return mDisplay; }

private:
    pid_t mPid = -1;
    std::string mDisplay;
};

class EnvScope {
public:
    void Set(const char* name, const std::string& value);
    ~EnvScope();

private:
    struct Saved {
        const char* name;
        bool had;
        std::string value;
    };
    std::vector<Saved> mSaved;
};

} // namespace TestSupport
