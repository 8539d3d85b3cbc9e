#include "framework/crash/CrashReporting.h"

#include <cstdio>
#include <string>

#include "framework/app/DemoFormat.h"
#include "framework/app/ZantApp.h"
#include "framework/crash/CrashWindowMode.h"
#include "framework/util/Buffer.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/crash/CrashHandler.h"

namespace Zant {

const char CRASH_REPORT_HOST_PROPERTY[] = "ErrorReportHost";

namespace {

// The demo so far, ended by a marker record at the fault, so that it can be sent
// with the report. The marker has the filler's bits: playback passes over it.
// The marker is the stream's record at its last update, so no close follows it:
// the run did not close, it faulted there.
void SaveDemoAtFault(ZantApp& app)
{
    app.DemoWriteUpdateDelta();
    if (!app.mDemoBuffer)
        return;
    app.mDemoBuffer->WriteNumBits(0, 1);
    app.mDemoBuffer->WriteNumBits(DEMO_FILLER, 5);
    app.mDemoCloseRecorded = true;
    app.SaveDemoFile();
}

void ReportToApplication(const std::string& coreReport, const char* errorTitle)
{
    CrashSession session;
    session.mReport = coreReport;
    session.mErrorTitle = errorTitle;
    if (ZantApp* app = gZantApp) {
        CompleteCrashReport(*app, coreReport, errorTitle, session);
        Platform::CrashHandler::RewriteCrashFile(session.mReport);
    }
    // Headless nobody could answer the windows: the report file is all there is.
    if (Platform::IsHeadless())
        return;
    // The window is handed the report itself: the crash file may not have been written.
    std::string report = Platform::CrashHandler::ShareReport(session.mReport);
    if (report.empty())
        report = Platform::CrashHandler::WrittenCrashFilePath();
    const std::vector<std::string> arguments = CrashWindowArguments(session, report);
    if (!Platform::CrashHandler::RunReporter(arguments))
        std::fprintf(stderr, "The crash window could not be started.\n");
}

} // namespace

void CompleteCrashReport(ZantApp& app, const std::string& coreReport, const char* errorTitle,
                         CrashSession& session)
{
    app.SEHOccurred();
    std::string report = coreReport;
    std::string facts = app.BuildSessionReport();
    if (!facts.empty())
        report += "\r\n" + facts;
    app.PutClipboardText(report);

    session.mReport = report;
    session.mErrorTitle = errorTitle;
    session.mHasApplication = true;
    session.mHost = app.LookupStringProperty(CRASH_REPORT_HOST_PROPERTY);
    session.mFacts.mUserName = app.mUserName;
    session.mFacts.mProdName = app.mProdName;
    session.mFacts.mVersion = app.mProductVersion;
    session.mFacts.mBuildNum = app.mBuildNum;
    session.mFacts.mBuildDate = app.mBuildDate;
    session.mFacts.mReferId = app.mReferId;
    if (app.mRecordingDemoBuffer) {
        SaveDemoAtFault(app);
        session.mDemoFile = Platform::ToNativePath(app.mDemoFileName);
    }
}

void InstallCrashReporting(const std::string& crashFilePath)
{
    Platform::CrashHandler::Install(crashFilePath);
    Platform::CrashHandler::SetApplicationHook(&ReportToApplication);
}

} // namespace Zant
