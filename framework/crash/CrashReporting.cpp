#include "framework/crash/CrashReporting.h"

#include <string>

#include "framework/app/ZantApp.h"
#include "platform/MessageBox.h"
#include "platform/crash/CrashHandler.h"

namespace Zant {

namespace {

// The report box stands in for the crash window: it shows the report once the
// game's window is hidden. Sending the report is not offered.
void ShowCrashWindow(const char* title, const std::string& report)
{
    Platform::MessageBoxRequest box;
    box.title = "Fatal Error!";
    box.text = std::string(title) + "\n\nAn unexpected error has occured!\n\n" + report;
    box.icon = Platform::BoxIcon::Error;
    Platform::ShowMessageBox(box);
}

// The application's part: its crash callback first, then its facts, the
// clipboard, the completed file and the box.
void ReportToApplication(const std::string& coreReport, const char* errorTitle)
{
    ZantApp* app = gZantApp;
    if (!app)
        return;
    app->SEHOccurred();
    std::string report = coreReport;
    std::string facts = app->BuildSessionReport();
    if (!facts.empty())
        report += "\r\n" + facts;
    app->PutClipboardText(report);
    Platform::CrashHandler::RewriteCrashFile(report);
    ShowCrashWindow(errorTitle, report);
}

} // namespace

void InstallCrashReporting()
{
    Platform::CrashHandler::Install();
    Platform::CrashHandler::SetApplicationHook(&ReportToApplication);
}

} // namespace Zant
