#include "platform/crash/CrashReport.h"

#include <csignal>
#include <cstring>

namespace Platform {

void ReportText::Append(const char* text)
{
    if (text)
        Append(text, strlen(text));
}

void ReportText::Append(const char* text, size_t length)
{
    size_t room = kCapacity - mLength;
    if (length > room)
        length = room;
    memcpy(mText + mLength, text, length);
    mLength += length;
    mText[mLength] = '\0';
}

void ReportText::AppendHex(uint64_t value, int minDigits)
{
    static const char kDigits[] = "0123456789ABCDEF";
    char digits[16];
    int count = 0;
    do {
        digits[count++] = kDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    for (int i = count; i < minDigits && i < 16; ++i)
        AppendChar('0');
    while (count > 0)
        AppendChar(digits[--count]);
}

void ReportText::AppendLowerHex(uint64_t value)
{
    static const char kDigits[] = "0123456789abcdef";
    char digits[16];
    int count = 0;
    do {
        digits[count++] = kDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (count > 0)
        AppendChar(digits[--count]);
}

void ReportText::AppendDecimal(uint64_t value)
{
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
        AppendChar(digits[--count]);
}

namespace {

struct ExceptionEntry {
    uint32_t code;
    const char* name;
};

const ExceptionEntry kExceptionNames[] = {
    {0x40000005, "Segment Notification"},
    {0x80000003, "Breakpoint"},
    {0x80000004, "Single step"},
    {0x00000000, "Wait 0"},
    {0x00000080, "Abandoned Wait 0"},
    {0x000000C0, "User APC"},
    {0x00000102, "Timeout"},
    {0x00000103, "Pending"},
    {0x80000001, "Guard Page Violation"},
    {0x80000002, "Data Type Misalignment"},
    {0xC0000005, "Access Violation"},
    {0xC0000006, "In Page Error"},
    {0xC0000017, "No Memory"},
    {0xC000001D, "Illegal Instruction"},
    {0xC0000025, "Noncontinuable Exception"},
    {0xC0000026, "Invalid Disposition"},
    {0xC000008C, "Array Bounds Exceeded"},
    {0xC000008D, "Float Denormal Operand"},
    {0xC000008E, "Divide by Zero"},
    {0xC000008F, "Float Inexact Result"},
    {0xC0000090, "Float Invalid Operation"},
    {0xC0000091, "Float Overflow"},
    {0xC0000092, "Float Stack Check"},
    {0xC0000093, "Float Underflow"},
    {0xC0000094, "Integer Divide by Zero"},
    {0xC0000095, "Integer Overflow"},
    {0xC0000096, "Privileged Instruction"},
    {0xC00000FD, "Stack Overflow"},
    {0xC000013A, "Ctrl+C Exit"},
};

// An abort has no name of its own: the report shows it as an unknown fault.
constexpr uint32_t kAbortCode = 0x40000015;
constexpr uint32_t kStackOverflowCode = 0xC00000FD;

} // namespace

const char* ExceptionName(uint32_t code)
{
    for (const ExceptionEntry& entry : kExceptionNames)
        if (entry.code == code)
            return entry.name;
    return nullptr;
}

uint32_t ExceptionCodeForSignal(int signal, int signalCode)
{
    switch (signal) {
    case SIGSEGV:
        return 0xC0000005;
    case SIGBUS:
        return signalCode == BUS_ADRALN ? 0x80000002 : 0xC0000006;
    case SIGILL:
        return (signalCode == ILL_PRVOPC || signalCode == ILL_PRVREG) ? 0xC0000096 : 0xC000001D;
    case SIGFPE:
        switch (signalCode) {
        case FPE_INTOVF: return 0xC0000095;
        case FPE_FLTDIV: return 0xC000008E;
        case FPE_FLTOVF: return 0xC0000091;
        case FPE_FLTUND: return 0xC0000093;
        case FPE_FLTRES: return 0xC000008F;
        case FPE_FLTINV: return 0xC0000090;
        case FPE_FLTSUB: return 0xC000008C;
        default: return 0xC0000094;
        }
    case SIGINT:
        return 0xC000013A;
    case SIGTRAP:
        return 0x80000003;
    default:
        return kAbortCode;
    }
}

uint32_t ExceptionCodeForFault(int signal, int signalCode, uint64_t faultAddress, uint64_t stackPointer)
{
    // A frame that does not fit touches memory within its own size of the new
    // stack pointer (a push or call just below it, a store into the frame above
    // it); a bad pointer lies anywhere else. A signal sent by a program (code
    // not above 0) carries no fault address.
    constexpr uint64_t kFrameReach = 64 * 1024;
    if (signal == SIGSEGV && signalCode > 0 && stackPointer != 0 && faultAddress + kFrameReach >= stackPointer &&
        faultAddress <= stackPointer + kFrameReach)
        return kStackOverflowCode;
    return ExceptionCodeForSignal(signal, signalCode);
}

bool ParseHex(const char* text, size_t length, uint32_t& value)
{
    uint64_t result = 0;
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else
            return false;
        result = result * 16 + digit;
        if (result > 0xFFFFFFFFu)
            return false;
    }
    value = static_cast<uint32_t>(result);
    return true;
}

void AppendFaultLine(ReportText& out, uint32_t code, uint64_t address, uint64_t threadId)
{
    const char* name = ExceptionName(code);
    if (name) {
        out.Append("Exception: ");
        out.Append(name);
        out.Append(" (code 0x");
    } else {
        out.Append("Unknown exception: (code 0x");
    }
    out.AppendLowerHex(code);
    out.Append(") at address ");
    out.AppendHex(address, 8);
    out.Append(" in thread ");
    out.AppendHex(threadId, 1);
    out.Append("\r\n");
}

} // namespace Platform
