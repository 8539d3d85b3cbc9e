#include "framework/util/StringUtil.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/Directories.h"
#include "platform/Paths.h"

namespace Zant {

int LeadingInt(const std::string& text, long long low, long long high, bool signedText)
{
    size_t i = 0;
    bool negative = false;
    if (signedText) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            negative = text[i++] == '-';
    }
    // Far past any int, and far from overflowing a long long.
    constexpr long long CEILING = 1LL << 40;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), CEILING);
    return static_cast<int>(std::clamp(negative ? -value : value, low, high));
}

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

size_t LastSeparator(const std::string& path)
{
    return path.find_last_of("\\/");
}

} // namespace

std::string FormatString(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string result = FormatStringV(format, args);
    va_end(args);
    return result;
}

std::string FormatStringV(const char* format, va_list args)
{
    // Measure on one copy of the list and format on another: a va_list must not
    // be walked twice.
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    va_list format_args;
    va_copy(format_args, args);
    std::vsnprintf(buffer.data(), buffer.size(), format, format_args);
    va_end(format_args);
    return std::string(buffer.data(), static_cast<size_t>(length));
}

std::string FormatThousands(int n)
{
    // 64-bit so that the magnitude of INT_MIN fits.
    int64_t value = n;
    bool negative = value < 0;
    uint64_t magnitude = static_cast<uint64_t>(negative ? -value : value);
    std::string reversed;
    int position = 0;
    do {
        if (position > 0 && position % 3 == 0)
            reversed += ',';
        reversed += static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
        ++position;
    } while (magnitude != 0);
    if (negative)
        reversed += '-';
    return std::string(reversed.rbegin(), reversed.rend());
}

std::string EscapeUnprintable(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x20 || c >= 0x7F) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string TextStart(const std::string& text, size_t maxChars)
{
    if (text.size() <= maxChars)
        return text;
    return text.substr(0, maxChars) + "... (" + std::to_string(text.size()) + " characters)";
}

std::string ToUpperCopy(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::string ToLowerCopy(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string TrimCopy(const std::string& text)
{
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

int FindNoCase(const std::string& text, const std::string& pattern)
{
    if (text.empty())
        return -1;
    if (pattern.size() > text.size())
        return -1;
    for (size_t i = 0; i + pattern.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < pattern.size() &&
               std::tolower(static_cast<unsigned char>(text[i + k])) ==
                   std::tolower(static_cast<unsigned char>(pattern[k])))
            ++k;
        if (k == pattern.size())
            return static_cast<int>(i);
    }
    return -1;
}

std::string PathFilePart(const std::string& path)
{
    size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string PathDirPart(const std::string& path)
{
    size_t sep = LastSeparator(path);
    return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

std::string RemoveTrailingSlash(const std::string& path)
{
    if (!path.empty() && IsSeparator(path.back()))
        return path.substr(0, path.size() - 1);
    return path;
}

std::string ResolveRelativePath(const std::string& relative, const std::string& base)
{
    if (relative.size() >= 2 && relative[1] == ':')
        return relative;
    bool backslash = relative.find('\\') != std::string::npos || base.find('\\') != std::string::npos;
    char sep = backslash ? '\\' : '/';
    char other = backslash ? '/' : '\\';

    std::string drive;
    std::string work = base;
    if (work.size() >= 2 && work[1] == ':') {
        drive = work.substr(0, 2);
        work.erase(0, 2);
    }
    if (!work.empty() && !IsSeparator(work.back()))
        work += sep;

    std::string rest = relative;
    bool atStart = true;
    while (!work.empty()) {
        size_t split = rest.find_first_of("\\/");
        if (split == std::string::npos)
            break;
        std::string component = rest.substr(0, split);
        rest.erase(0, split + 1);
        if (component == "..") {
            bool atRoot = work.size() == 1 && IsSeparator(work[0]);
            if (!atRoot) {
                // work ends in a separator; its last component starts after the one before.
                size_t end = work.size() - 1;
                size_t start = 0;
                if (end > 0) {
                    size_t prev = work.find_last_of("\\/", end - 1);
                    start = prev == std::string::npos ? 0 : prev + 1;
                }
                if (work.compare(start, end - start, "..") == 0)
                    work += std::string("..") + sep;
                else
                    work.erase(start);
            }
        } else if (component.empty()) {
            // Only a leading separator means the root; "a\\b" is "a\b", as the
            // file system reads it.
            if (atStart)
                work = std::string(1, sep);
        } else if (component != ".") {
            work += component;
            work += sep;
        }
        atStart = false;
    }

    std::string result = drive + work + rest;
    for (char& c : result)
        if (c == other)
            c = sep;
    return result;
}

void MakeDirectories(const std::string& path)
{
    std::string native = Platform::ToNativePath(path);
    Platform::DirectoryOps& ops = Platform::GetDirectoryOps();
    for (size_t i = 0; i < native.size(); ++i)
        if (native[i] == '/' && i > 0)
            ops.MakeDirectory(native.substr(0, i));
    if (!native.empty())
        ops.MakeDirectory(native);
}

namespace {

bool DeleteTree(Platform::DirectoryOps& ops, const std::string& native)
{
    std::vector<Platform::DirectoryEntry> entries;
    if (!ops.List(native, entries))
        return true;
    std::string prefix = !native.empty() && native.back() == '/' ? native : native + "/";
    bool ok = true;
    for (const Platform::DirectoryEntry& entry : entries) {
        std::string full = prefix + entry.name;
        if (entry.isDirectory)
            ok = DeleteTree(ops, full) && ok;
        else
            ok = ops.RemoveFile(full) && ok;
    }
    return ops.RemoveDirectory(native) && ok;
}

} // namespace

bool DeleteDirectoryTree(const std::string& path)
{
    if (path.size() < 2)
        return true;
    // Translated once here: names found inside the tree are used as they stand.
    return DeleteTree(Platform::GetDirectoryOps(), Platform::ToNativePath(path));
}

} // namespace Zant
