// Reads any bytes as an XML document, element by element, the way the properties
// and level readers do, and as single lines the way the level and lesson files do.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/util/XMLParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Zant::XMLParser parser;
    parser.SetStringSource(text);
    Zant::XMLElement element;
    while (parser.ReadElement(element)) {
        for (const auto& [name, value] : element.mAttributes)
            (void)Zant::XMLDecodeString(name + value);
    }
    (void)parser.GetErrorText();
    (void)parser.GetCurrentLineNum();

    Zant::XMLParser lines;
    lines.SetAllowComments(true);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.SetStringSource(text.substr(start, end - start));
        Zant::XMLElement first;
        lines.ReadElement(first);
        start = end + 1;
    }
    return 0;
}
