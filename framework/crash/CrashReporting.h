#pragma once
// Fatal faults anywhere in the program become a crash report: the platform's
// handler writes the core report, then the application adds its own facts and
// a fresh copy of the program shows the crash windows.
#include <string>

namespace Zant {

class ZantApp;
struct CrashSession;

// Installs the fault handler with the application's part of the report. The
// crash file is crashFilePath, or crash.txt in the program's folder when empty.
void InstallCrashReporting(const std::string& crashFilePath = std::string());

// The property naming the report service ("host" or "host:port").
extern const char CRASH_REPORT_HOST_PROPERTY[];

// The application's part after a fault, on the faulting thread: its crash
// callback, its facts in the report, the report on the clipboard, and a demo
// being recorded saved with a crash marker. Fills the session the crash windows
// need, the whole report included.
void CompleteCrashReport(ZantApp& app, const std::string& coreReport, const char* errorTitle,
                         CrashSession& session);

} // namespace Zant
