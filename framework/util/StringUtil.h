#pragma once
// Free functions on 8-bit strings: printf-style formatting, thousands separators,
// case conversion and search, and the splitting, joining and making of paths.
// Paths follow the game's convention (either "\" or "/" separates); the folder
// functions translate to the file system's form themselves.
#include <cstdarg>
#include <climits>
#include <string>

namespace Zant {

// printf into a string of whatever length the text needs.
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatStringV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// Decimal text with "," between groups of three digits: 1234567 -> "1,234,567",
// -1234 -> "-1,234".
std::string FormatThousands(int n);

// Text from outside made safe to show or log: bytes below 0x20, 0x7F and above
// become "\xNN" (capital hex digits); the rest is kept.
std::string EscapeUnprintable(const std::string& text);

// At most the first maxChars characters of a text quoted in a message, followed by
// "... (N characters)" when it is longer: a line of a damaged file may run to
// megabytes.
std::string TextStart(const std::string& text, size_t maxChars = 100);

std::string ToUpperCopy(const std::string& text);
std::string ToLowerCopy(const std::string& text);
// Blanks, tabs, carriage returns and newlines removed from both ends.
std::string TrimCopy(const std::string& text);
// Index of the first case-insensitive occurrence of pattern in text; -1 when there
// is none or text is empty. An empty pattern is found at 0 in a non-empty text.
int FindNoCase(const std::string& text, const std::string& pattern);

// atoi's reading of the start of a text: its leading decimal digits, 0 when there
// are none. Where signed, blanks (spaces, tabs) and one "+" or "-" may come first;
// otherwise the text must start with a digit. A value beyond [low, high] stops at
// the nearer end, so any number of digits is safe.
int LeadingInt(const std::string& text, long long low = INT_MIN, long long high = INT_MAX, bool signedText = true);

// The part after the last "\" or "/" (the whole path when there is none).
std::string PathFilePart(const std::string& path);
// The part before the last "\" or "/"; empty when there is none.
std::string PathDirPart(const std::string& path);
// Removes one final "\" or "/".
std::string RemoveTrailingSlash(const std::string& path);

// Joins relative to the base folder, resolving "." and ".." components that are
// followed by a separator (a final component is kept as it is). A relative path
// with a drive letter is returned as it is; one that starts with a separator starts
// at the base's root. ".." at the root stays at the root. The result uses one kind
// of separator: "\" when either input has one, else "/".
std::string ResolveRelativePath(const std::string& relative, const std::string& base);

// Creates every folder along path; existing folders and failures are ignored.
void MakeDirectories(const std::string& path);
// Deletes a folder and everything below it without following symbolic links.
// Goes on after a failure and then returns false. A path shorter than two
// characters, or one that cannot be listed, is left alone and gives true.
bool DeleteDirectoryTree(const std::string& path);

} // namespace Zant
