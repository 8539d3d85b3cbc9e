#pragma once
// Small text parsers used by the transfers and by other readers: integers in
// decimal or "0x" hexadecimal, decimals, white-space trimming and URL joining.
#include <string>

namespace Zant {

// Optional leading '-', then decimal digits; "0x"/"0X" switches to hexadecimal.
// Any other character, no digits, or a value outside int gives false and 0.
bool ParseInt(const std::string& text, int& value);
// Optional '-', decimal digits, optionally '.' and more digits; false and 0.0 otherwise.
bool ParseDouble(const std::string& text, double& value);
// Without leading and trailing space, tab, LF, VT, FF and CR.
std::string TrimWhitespace(const std::string& text);
// relative as is when it starts with "http://"; one starting with "/" goes after
// the base's host; any other replaces the base's last path component.
std::string JoinUrl(const std::string& base, const std::string& relative);

} // namespace Zant
