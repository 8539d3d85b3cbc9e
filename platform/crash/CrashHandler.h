#pragma once
// Turns a fatal signal anywhere in the program into a readable report: what
// happened and where, a stack walk, the processor state, the system and the
// application's own facts (through a hook the application sets). The report
// goes to crash.txt beside the program, or in the per-user data folder when that
// cannot be written, and the process then ends with the signal's own default action.
#include <cstddef>
#include <string>
#include <vector>

namespace Platform {

class CrashHandler {
public:
    // Installs the handler for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT on
    // an alternate stack (so a stack overflow is reported too) and keeps the
    // previous handlers; Uninstall is registered to run at exit. The crash
    // file is crashFilePath, or fallbackPath when that cannot be written; when
    // crashFilePath is empty, crash.txt in the program's folder, else in the
    // per-user data folder.
    static void Install(const std::string& crashFilePath = std::string(),
                        const std::string& fallbackPath = std::string());
    // Puts the previous handlers back.
    static void Uninstall();
    static bool IsInstalled();
    static const char* CrashFilePath();
    // Where the report was written; "" when neither place took it.
    static const char* WrittenCrashFilePath();

    // Called once the core report is on disk, from the faulting thread: the
    // application adds its own facts (it may allocate and use the window system).
    using ApplicationHook = void (*)(const std::string& coreReport, const char* errorTitle);
    static void SetApplicationHook(ApplicationHook hook);
    // Replaces the crash file's contents (the core report plus the application's facts).
    static void RewriteCrashFile(const std::string& report);

    // From the hook: the report kept in memory, in the crash file's form, for the
    // copy RunReporter starts, as a path that copy can read it from (the crash file
    // may not exist); "" when it cannot be kept.
    static std::string ShareReport(const std::string& report);
    // From the hook: starts a fresh copy of this program with the arguments
    // (after the program's own name), with default signal handling, and waits
    // for it to end. The faulting process's display and heap may be unusable;
    // the new copy has neither problem. False when the copy could not start.
    static bool RunReporter(const std::vector<std::string>& arguments);
};

// An alternate signal stack for the calling thread: the handler runs on it, so
// a fault on that thread, a stack overflow included, is reported like one on the
// main thread. Every thread the program starts makes one at its start; it is
// released when the object goes. A thread that already has a large enough
// alternate stack keeps it.
class ThreadCrashStack {
public:
    ThreadCrashStack();
    ~ThreadCrashStack();
    ThreadCrashStack(const ThreadCrashStack&) = delete;
    ThreadCrashStack& operator=(const ThreadCrashStack&) = delete;

    // Room for the report and the application's hook.
    static constexpr size_t kSize = 256 * 1024;

private:
    void* mMapping = nullptr;
    size_t mMappingSize = 0;
    bool mHadPrevious = false;
    void* mPreviousStack = nullptr;
    size_t mPreviousSize = 0;
};

} // namespace Platform
