#include "framework/net/NetText.h"

#include <climits>

namespace Zant {

namespace {

int DigitValue(char c, int base)
{
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

} // namespace

bool ParseInt(const std::string& text, int& value)
{
    value = 0;
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        i = 1;
    int base = 10;
    if (text.size() >= i + 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return false;
    // Accumulated as a negative number so that INT_MIN fits too.
    long long acc = 0;
    for (; i < text.size(); ++i) {
        const int d = DigitValue(text[i], base);
        if (d < 0)
            return false;
        acc = acc * base + d;
        if (acc > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (!negative && acc > INT_MAX)
        return false;
    value = static_cast<int>(negative ? -acc : acc);
    return true;
}

bool ParseDouble(const std::string& text, double& value)
{
    value = 0.0;
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        i = 1;
    if (i >= text.size())
        return false;
    double result = 0.0;
    bool fraction = false;
    bool digits = false;
    double scale = 0.1;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !fraction) {
            fraction = true;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (fraction) {
                result += (c - '0') * scale;
                scale *= 0.1;
            } else {
                result = result * 10 + (c - '0');
            }
        } else {
            return false;
        }
    }
    if (!digits)
        return false;
    value = negative ? -result : result;
    return true;
}

std::string TrimWhitespace(const std::string& text)
{
    const char* blanks = " \t\n\v\f\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string JoinUrl(const std::string& base, const std::string& relative)
{
    if (relative.rfind("http://", 0) == 0)
        return relative;
    if (!relative.empty() && relative[0] == '/') {
        const size_t slash = base.size() > 7 ? base.find('/', 7) : std::string::npos;
        return (slash == std::string::npos ? base : base.substr(0, slash)) + relative;
    }
    const size_t last = base.rfind('/');
    if (last == std::string::npos || last < 7)
        return base + "/" + relative;
    return base.substr(0, last + 1) + relative;
}

} // namespace Zant
