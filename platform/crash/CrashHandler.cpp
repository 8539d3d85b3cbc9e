#include "platform/crash/CrashHandler.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <ucontext.h>
#include <unistd.h>

#include "platform/crash/CrashReport.h"
#include "platform/HelperProcess.h"
#include "platform/Paths.h"

namespace Platform {

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];
constexpr int kMaxFrames = 64;

struct sigaction gPrevious[kSignalCount];
bool gInstalled = false;
bool gExitHookRegistered = false;
std::atomic<bool> gHandling{false};
char gCrashFilePath[4096] = {};
// Where the report goes when the first place cannot be written (a program folder
// the user may not write): the per-user data folder.
char gFallbackPath[4096] = {};
// The one of the two that holds the report; null until a write succeeded.
const char* gWrittenPath = nullptr;
// The handler runs here, so a fault from an exhausted stack can be reported.
alignas(16) char gAltStack[256 * 1024];
// Built inside the handler: nothing in the handler may allocate before the
// first copy of the report is on disk.
ReportText gReport;
char gErrorTitle[64];

const char* FilePart(const char* path)
{
    const char* part = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\')
            part = p + 1;
    return part;
}

// Where an address lies: the module's file and the offset from its load address.
bool DescribeAddress(const void* address, const char*& module, uint64_t& offset, const char*& symbol,
                     uint64_t& displacement)
{
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0 || !info.dli_fname)
        return false;
    module = info.dli_fname;
    offset = reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(info.dli_fbase);
    symbol = info.dli_sname;
    displacement = info.dli_saddr ? reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(info.dli_saddr)
                                  : 0;
    return true;
}

void AppendLogicalAddress(ReportText& out, uint64_t offset)
{
    out.AppendHex(1, 4);
    out.AppendChar(':');
    out.AppendHex(offset, 8);
}

uint64_t StackPointer(const ucontext_t* context)
{
#if defined(__x86_64__)
    return static_cast<uint64_t>(context->uc_mcontext.gregs[REG_RSP]);
#elif defined(__aarch64__)
    return context->uc_mcontext.sp;
#else
    (void)context;
    return 0;
#endif
}

uint64_t ProgramCounter(const ucontext_t* context)
{
#if defined(__x86_64__)
    return static_cast<uint64_t>(context->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return context->uc_mcontext.pc;
#else
    (void)context;
    return 0;
#endif
}

void AppendStack(ReportText& out, uint64_t faultPc)
{
    void* frames[kMaxFrames];
    int count = backtrace(frames, kMaxFrames);
    // Skip the handler's own frames: the walk passes the signal frame and
    // then reaches the faulting instruction itself.
    int first = 0;
    for (int i = 0; i < count; ++i)
        if (reinterpret_cast<uintptr_t>(frames[i]) == faultPc) {
            first = i;
            break;
        }
    for (int i = first; i < count; ++i) {
        uint64_t pc = reinterpret_cast<uintptr_t>(frames[i]);
        out.AppendHex(pc, 8);
        out.AppendChar(' ');
        const char* module = nullptr;
        const char* symbol = nullptr;
        uint64_t offset = 0, displacement = 0;
        if (DescribeAddress(frames[i], module, offset, symbol, displacement)) {
            AppendLogicalAddress(out, offset);
            out.AppendChar(' ');
            out.Append(FilePart(module));
            if (symbol) {
                out.AppendChar(' ');
                out.Append(symbol);
                out.Append("+0x");
                out.AppendHex(displacement, 1);
            }
        }
        out.Append("\r\n");
    }
    // The raw walk also goes to the debug output, in case the report is lost.
    backtrace_symbols_fd(frames + first, count - first, STDERR_FILENO);
}

void AppendRegisters(ReportText& out, const ucontext_t* context)
{
#if defined(__x86_64__)
    const greg_t* r = context->uc_mcontext.gregs;
    struct Named {
        const char* name;
        int index;
    };
    const Named lines[][6] = {
        {{"RAX:", REG_RAX}, {" RBX:", REG_RBX}, {" RCX:", REG_RCX}, {" RDX:", REG_RDX}, {" RSI:", REG_RSI}, {" RDI:", REG_RDI}},
        {{"R8:", REG_R8}, {" R9:", REG_R9}, {" R10:", REG_R10}, {" R11:", REG_R11}, {" R12:", REG_R12}, {" R13:", REG_R13}},
    };
    for (const auto& line : lines) {
        for (const Named& n : line) {
            out.Append(n.name);
            out.AppendHex(static_cast<uint64_t>(r[n.index]), 16);
        }
        out.Append("\r\n");
    }
    out.Append("R14:");
    out.AppendHex(static_cast<uint64_t>(r[REG_R14]), 16);
    out.Append(" R15:");
    out.AppendHex(static_cast<uint64_t>(r[REG_R15]), 16);
    out.Append("\r\nRIP:");
    out.AppendHex(static_cast<uint64_t>(r[REG_RIP]), 16);
    out.Append(" RSP:");
    out.AppendHex(static_cast<uint64_t>(r[REG_RSP]), 16);
    out.Append("  RBP:");
    out.AppendHex(static_cast<uint64_t>(r[REG_RBP]), 16);
    uint64_t segments = static_cast<uint64_t>(r[REG_CSGSFS]);
    out.Append("\r\nCS:");
    out.AppendHex(segments & 0xFFFF, 4);
    out.Append(" GS:");
    out.AppendHex((segments >> 16) & 0xFFFF, 4);
    out.Append(" FS:");
    out.AppendHex((segments >> 32) & 0xFFFF, 4);
    out.Append("\r\nFlags:");
    out.AppendHex(static_cast<uint64_t>(r[REG_EFL]), 8);
    out.Append("\r\n\r\n");
#else
    (void)out;
    (void)context;
#endif
}

void AppendSystem(ReportText& out)
{
    struct utsname name {};
    if (uname(&name) != 0)
        return;
    out.Append("Linux Ver: ");
    out.Append(name.sysname);
    out.AppendChar(' ');
    out.Append(name.release);
    out.AppendChar(' ');
    out.Append(name.version);
    out.AppendChar(' ');
    out.Append(name.machine);
    out.Append("\r\n");
}

// The temporary name beside path that a report is written under before it is renamed
// into place: path + "." + the process id + ".tmp". Built by hand, as this runs inside
// the signal handler. False when it would not fit.
bool TemporaryNameFor(const char* path, char* out, size_t size)
{
    size_t length = strlen(path);
    char digits[24];
    size_t count = 0;
    for (unsigned long pid = static_cast<unsigned long>(getpid()); count == 0 || pid > 0; pid /= 10)
        digits[count++] = static_cast<char>('0' + pid % 10);
    if (length + 1 + count + 4 + 1 > size)
        return false;
    memcpy(out, path, length);
    out[length++] = '.';
    while (count > 0)
        out[length++] = digits[--count];
    memcpy(out + length, ".tmp", 5);
    return true;
}

// Replaces the file at path with the report and one line end; false when any of it
// could not be written. The report already has CR LF line ends, so it is written as
// it stands. It goes to a new temporary file that is renamed over path, so a link
// planted at either name never leads the write to another file, and a report cut off
// by a second fault never leaves a half-written crash file.
bool WriteReportTo(const char* path, const char* text, size_t length)
{
    static char temporary[sizeof gCrashFilePath + 32];
    if (path[0] == '\0' || !TemporaryNameFor(path, temporary, sizeof temporary))
        return false;
    unlink(temporary); // a leftover of an earlier process with this id
    int fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, text, length) && WriteAll(fd, "\r\n", 2);
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary, path) == 0;
    if (!ok)
        unlink(temporary);
    return ok;
}

// The crash file where it was written before, else the first of its two places that
// takes it. False when none did.
bool WriteCrashFile(const char* text, size_t length)
{
    if (gWrittenPath)
        return WriteReportTo(gWrittenPath, text, length);
    for (const char* path : {static_cast<const char*>(gCrashFilePath), static_cast<const char*>(gFallbackPath)})
        if (WriteReportTo(path, text, length)) {
            gWrittenPath = path;
            return true;
        }
    return false;
}

void WriteText(int fd, const char* text) { WriteAll(fd, text, strlen(text)); }

void BuildCoreReport(int signal, const siginfo_t* info, const ucontext_t* context)
{
    gReport.Clear();
    uint64_t faultAddress = info ? reinterpret_cast<uintptr_t>(info->si_addr) : 0;
    uint32_t code = ExceptionCodeForFault(signal, info ? info->si_code : 0, faultAddress,
                                          context ? StackPointer(context) : 0);
    uint64_t pc = context ? ProgramCounter(context) : 0;
    AppendFaultLine(gReport, code, pc, static_cast<uint64_t>(syscall(SYS_gettid)));

    const char* module = nullptr;
    const char* symbol = nullptr;
    uint64_t offset = 0, displacement = 0;
    bool described = DescribeAddress(reinterpret_cast<const void*>(pc), module, offset, symbol, displacement);
    gReport.Append("Module: ");
    if (described)
        gReport.Append(FilePart(module));
    gReport.Append("\r\nLogical Address: ");
    AppendLogicalAddress(gReport, offset);
    gReport.Append("\r\n\r\n");

    ReportText title;
    title.Append("Exception at ");
    AppendLogicalAddress(title, offset);
    memcpy(gErrorTitle, title.Text(), title.Length() + 1 < sizeof gErrorTitle ? title.Length() + 1 : sizeof gErrorTitle);
    gErrorTitle[sizeof gErrorTitle - 1] = '\0';

    AppendStack(gReport, pc);
    gReport.Append("\r\n");
    if (context)
        AppendRegisters(gReport, context);
    AppendSystem(gReport);
}

CrashHandler::ApplicationHook gApplicationHook = nullptr;

// Everything past the first copy of the crash file may allocate or take locks
// (the application's hook: its crash callback, the clipboard, the crash box), so
// it comes only after that copy is safe on disk.
void ReportToApplication()
{
    if (gApplicationHook)
        gApplicationHook(std::string(gReport.Text(), gReport.Length()), gErrorTitle);
}

void Filter(int signal, siginfo_t* info, void* rawContext)
{
    // One report per process: a second faulting thread waits for the first
    // to end the process.
    if (gHandling.exchange(true)) {
        for (;;)
            pause();
    }
    BuildCoreReport(signal, info, static_cast<const ucontext_t*>(rawContext));
    // Only a write that succeeded is claimed.
    if (WriteCrashFile(gReport.Text(), gReport.Length())) {
        WriteText(STDERR_FILENO, "Crash report written to ");
        WriteText(STDERR_FILENO, gWrittenPath);
        WriteText(STDERR_FILENO, "\n");
    } else if (gCrashFilePath[0] != '\0') {
        WriteText(STDERR_FILENO, "The crash report could not be written to ");
        WriteText(STDERR_FILENO, gCrashFilePath);
        if (gFallbackPath[0] != '\0') {
            WriteText(STDERR_FILENO, " nor to ");
            WriteText(STDERR_FILENO, gFallbackPath);
        }
        WriteText(STDERR_FILENO, "\n");
    }
    ReportToApplication();

    // End with the signal's own default action, as if nothing had caught it.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signal);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    raise(signal);
    _exit(128 + signal);
}

} // namespace

void CrashHandler::Install(const std::string& crashFilePath, const std::string& fallbackPath)
{
    std::string path = crashFilePath;
    std::string fallback = fallbackPath;
    if (path.empty()) {
        std::string folder;
        path = Platform::ProgramFolder(folder) ? folder + "/crash.txt" : "crash.txt";
        if (fallback.empty())
            fallback = Platform::UserDataFolder() + "/crash.txt";
    }
    snprintf(gCrashFilePath, sizeof gCrashFilePath, "%s", path.c_str());
    snprintf(gFallbackPath, sizeof gFallbackPath, "%s", fallback.c_str());
    gWrittenPath = nullptr;
    if (gInstalled)
        return;

    // The first backtrace loads the unwinder; do it now, not inside a fault.
    void* warm[1];
    backtrace(warm, 1);

    stack_t alt{};
    alt.ss_sp = gAltStack;
    alt.ss_size = sizeof gAltStack;
    sigaltstack(&alt, nullptr);

    struct sigaction action {};
    action.sa_sigaction = Filter;
    sigemptyset(&action.sa_mask);
    // A fault inside the handler itself ends the process at once.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &action, &gPrevious[i]);
    gInstalled = true;
    if (!gExitHookRegistered) {
        gExitHookRegistered = true;
        atexit(Uninstall);
    }
}

void CrashHandler::Uninstall()
{
    if (!gInstalled)
        return;
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &gPrevious[i], nullptr);
    gInstalled = false;
}

bool CrashHandler::IsInstalled() { return gInstalled; }

void CrashHandler::SetApplicationHook(ApplicationHook hook) { gApplicationHook = hook; }

void CrashHandler::RewriteCrashFile(const std::string& report) { WriteCrashFile(report.data(), report.size()); }

const char* CrashHandler::CrashFilePath() { return gCrashFilePath; }

const char* CrashHandler::WrittenCrashFilePath() { return gWrittenPath ? gWrittenPath : ""; }

std::string CrashHandler::ShareReport(const std::string& report)
{
    // Kept open, without close-on-exec, for the copy RunReporter starts; in the
    // crash file's form, with its one line end more.
    const int fd = memfd_create("crash-report", 0);
    if (fd < 0)
        return std::string();
    const std::string contents = report + "\r\n";
    if (!WriteAll(fd, contents.data(), contents.size())) {
        close(fd);
        return std::string();
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

bool CrashHandler::RunReporter(const std::vector<std::string>& arguments)
{
    // The faulting thread blocks the signal it is handling: the new copy starts
    // with nothing blocked and every signal at its default.
    const pid_t child = StartOwnCopy(arguments);
    if (child <= 0)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            break;
    }
    return true;
}

ThreadCrashStack::ThreadCrashStack()
{
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE)) {
        if (current.ss_size >= kSize)
            return;
        mHadPrevious = true;
        mPreviousStack = current.ss_sp;
        mPreviousSize = current.ss_size;
    }
    // One guard page below the stack, so a fault in the handler itself ends the
    // process rather than writing over other memory.
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    mMappingSize = kSize + page;
    void* mapping = mmap(nullptr, mMappingSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (mapping == MAP_FAILED) {
        mMappingSize = 0;
        return;
    }
    mprotect(mapping, page, PROT_NONE);
    stack_t alt{};
    alt.ss_sp = static_cast<char*>(mapping) + page;
    alt.ss_size = kSize;
    if (sigaltstack(&alt, nullptr) != 0) {
        munmap(mapping, mMappingSize);
        mMappingSize = 0;
        return;
    }
    mMapping = mapping;
}

ThreadCrashStack::~ThreadCrashStack()
{
    if (!mMapping)
        return;
    stack_t previous{};
    if (mHadPrevious) {
        previous.ss_sp = mPreviousStack;
        previous.ss_size = mPreviousSize;
    } else {
        previous.ss_flags = SS_DISABLE;
    }
    sigaltstack(&previous, nullptr);
    munmap(mMapping, mMappingSize);
}

} // namespace Platform
