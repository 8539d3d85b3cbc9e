// The signal-safe report pieces: fault names, signal mapping, hex parsing and
// the fixed-size text that must never write past its end.
#include <csignal>
#include <string>

#include <gtest/gtest.h>

#include "platform/crash/CrashReport.h"

using namespace Platform;

TEST(CrashReportTest, FaultLineNamesKnownCodesAndFlagsUnknownOnes)
{
    struct Case {
        uint32_t code;
        const char* expected;
    } cases[] = {
        {0xC0000005, "Exception: Access Violation (code 0xc0000005) at address 0040ABCD in thread 1F\r\n"},
        {0x00000000, "Exception: Wait 0 (code 0x0) at address 0040ABCD in thread 1F\r\n"},
        {0xC000013A, "Exception: Ctrl+C Exit (code 0xc000013a) at address 0040ABCD in thread 1F\r\n"},
        {0x40000015, "Unknown exception: (code 0x40000015) at address 0040ABCD in thread 1F\r\n"},
        {0xFFFFFFFF, "Unknown exception: (code 0xffffffff) at address 0040ABCD in thread 1F\r\n"},
    };
    for (const Case& c : cases) {
        static ReportText text;
        text.Clear();
        AppendFaultLine(text, c.code, 0x40ABCD, 0x1F);
        EXPECT_EQ(std::string(text.Text()), c.expected);
    }
}

TEST(CrashReportTest, SignalsMapToTheFaultTheyStandFor)
{
    struct Case {
        int signal, code;
        const char* name;
    } cases[] = {
        {SIGSEGV, SEGV_MAPERR, "Access Violation"},
        {SIGBUS, BUS_ADRALN, "Data Type Misalignment"},
        {SIGBUS, BUS_ADRERR, "In Page Error"},
        {SIGILL, ILL_ILLOPC, "Illegal Instruction"},
        {SIGILL, ILL_PRVOPC, "Privileged Instruction"},
        {SIGFPE, FPE_INTDIV, "Integer Divide by Zero"},
        {SIGFPE, FPE_INTOVF, "Integer Overflow"},
        {SIGFPE, FPE_FLTDIV, "Divide by Zero"},
        {SIGFPE, FPE_FLTINV, "Float Invalid Operation"},
        {SIGFPE, SI_TKILL, "Integer Divide by Zero"},
    };
    for (const Case& c : cases) {
        const char* name = ExceptionName(ExceptionCodeForSignal(c.signal, c.code));
        ASSERT_NE(name, nullptr) << c.signal << "/" << c.code;
        EXPECT_STREQ(name, c.name);
    }
    EXPECT_EQ(ExceptionName(ExceptionCodeForSignal(SIGABRT, SI_TKILL)), nullptr);
}

TEST(CrashReportTest, ParseHexAcceptsOnlyHexDigitsThatFit)
{
    struct Case {
        const char* text;
        bool ok;
        uint32_t value;
    } cases[] = {
        {"", true, 0},
        {"0001", true, 1},
        {"00aBcDeF", true, 0xABCDEF},
        {"FFFFFFFF", true, 0xFFFFFFFF},
        {"100000000", false, 0},
        {"12G4", false, 0},
        {" 12", false, 0},
        {"0x12", false, 0},
    };
    for (const Case& c : cases) {
        uint32_t value = 0;
        EXPECT_EQ(ParseHex(c.text, std::string(c.text).size(), value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(CrashReportTest, NumbersAreFormattedWithoutTheCLibrary)
{
    static ReportText text;
    text.Clear();
    text.AppendHex(0xAB, 4);
    text.AppendChar(' ');
    text.AppendHex(0x123456789ABCDEF0ull, 8);
    text.AppendChar(' ');
    text.AppendHex(0, 1);
    text.AppendChar(' ');
    text.AppendDecimal(18446744073709551615ull);
    text.AppendChar(' ');
    text.AppendLowerHex(0xC0000005);
    EXPECT_EQ(std::string(text.Text()), "00AB 123456789ABCDEF0 0 18446744073709551615 c0000005");
}

TEST(CrashReportTest, TextBeyondTheCapacityIsDroppedNotOverrun)
{
    static ReportText text;
    text.Clear();
    std::string chunk(1000, 'x');
    for (int i = 0; i < 70; ++i)
        text.Append(chunk.c_str());
    text.AppendHex(0xFFFF, 4);
    EXPECT_EQ(text.Length(), ReportText::kCapacity);
    EXPECT_EQ(text.Text()[ReportText::kCapacity], '\0');
}

TEST(CrashReportTest, AnAccessRightAtTheStackPointerIsAStackOverflow)
{
    const uint64_t sp = 0x7FFF00100000;
    struct Case {
        int signal, code;
        uint64_t address;
        const char* name;
    } cases[] = {
        {SIGSEGV, SEGV_MAPERR, sp - 8, "Stack Overflow"},         // a push or call below the stack
        {SIGSEGV, SEGV_ACCERR, sp + 0x200, "Stack Overflow"},     // a store into the new frame
        {SIGSEGV, SEGV_MAPERR, sp - 0x20000, "Access Violation"}, // far below: a bad pointer
        {SIGSEGV, SEGV_MAPERR, 16, "Access Violation"},
        {SIGSEGV, SI_TKILL, sp - 8, "Access Violation"}, // raised: no fault address
        {SIGBUS, BUS_ADRERR, sp - 8, "In Page Error"},
    };
    for (const Case& c : cases) {
        const char* name = ExceptionName(ExceptionCodeForFault(c.signal, c.code, c.address, sp));
        ASSERT_NE(name, nullptr) << c.address;
        EXPECT_STREQ(name, c.name) << std::hex << c.address;
    }
    EXPECT_STREQ(ExceptionName(ExceptionCodeForFault(SIGSEGV, SEGV_MAPERR, 16, 0)), "Access Violation");
}
