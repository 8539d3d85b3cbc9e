#pragma once
// Fatal faults anywhere in the program become a crash report: the platform's
// handler writes the core report, then the application adds its own facts.
namespace Zant {

// Installs the fault handler with the application's part of the report.
void InstallCrashReporting();

} // namespace Zant
