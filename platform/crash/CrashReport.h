#pragma once
// Pieces of the crash report that must work inside a signal handler: a text
// built in a fixed buffer without allocating, the fault names, and the
// mapping from a POSIX signal to the fault code the report names.
#include <cstddef>
#include <cstdint>

namespace Platform {

// Appends into a fixed buffer; text that does not fit is dropped, never
// written past the end. No allocation, no locale, no stdio.
class ReportText {
public:
    static constexpr size_t kCapacity = 64 * 1024;

    void Clear() { mLength = 0; mText[0] = '\0'; }
    void Append(const char* text);
    void Append(const char* text, size_t length);
    void AppendChar(char c) { Append(&c, 1); }
    // Upper-case hexadecimal, padded with zeros to at least minDigits.
    void AppendHex(uint64_t value, int minDigits);
    void AppendLowerHex(uint64_t value);
    void AppendDecimal(uint64_t value);

    const char* Text() const { return mText; }
    size_t Length() const { return mLength; }

private:
    char mText[kCapacity + 1] = {};
    size_t mLength = 0;
};

// Name of a fault code, or null when the code is not a known one.
const char* ExceptionName(uint32_t code);

// The fault code a signal stands for, refined by the signal's si_code.
uint32_t ExceptionCodeForSignal(int signal, int signalCode);

// The fault code for a signal that hit faultAddress while the stack pointer
// stood at stackPointer: an access violation right at the stack pointer is the
// stack running into its guard page, reported as a stack overflow.
uint32_t ExceptionCodeForFault(int signal, int signalCode, uint64_t faultAddress, uint64_t stackPointer);

// Hexadecimal text (either case) to a number; an empty text gives 0. False
// on any other character or when the value does not fit in 32 bits.
bool ParseHex(const char* text, size_t length, uint32_t& value);

// "Exception: <name> (code 0x<code>) at address <addr> in thread <id>\r\n",
// or the "Unknown exception" form for a code without a name.
void AppendFaultLine(ReportText& out, uint32_t code, uint64_t address, uint64_t threadId);

} // namespace Platform
