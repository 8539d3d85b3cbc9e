#pragma once
// Turns a fatal signal anywhere in the program into a readable report: what
// happened and where, a stack walk, the processor state, the system and the
// application's own facts (through a hook the application sets). The report
// goes to crash.txt beside the program, and the process then ends with the
// signal's own default action.
#include <string>

namespace Platform {

class CrashHandler {
public:
    // Installs the handler for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT on
    // an alternate stack (so a stack overflow is reported too) and keeps the
    // previous handlers; Uninstall is registered to run at exit. The crash
    // file is crashFilePath, or crash.txt in the program's folder when empty.
    static void Install(const std::string& crashFilePath = std::string());
    // Puts the previous handlers back.
    static void Uninstall();
    static bool IsInstalled();
    static const char* CrashFilePath();

    // Called once the core report is on disk, from the faulting thread: the
    // application adds its own facts (it may allocate and use the window system).
    using ApplicationHook = void (*)(const std::string& coreReport, const char* errorTitle);
    static void SetApplicationHook(ApplicationHook hook);
    // Replaces the crash file's contents (the core report plus the application's facts).
    static void RewriteCrashFile(const std::string& report);
};

} // namespace Platform
