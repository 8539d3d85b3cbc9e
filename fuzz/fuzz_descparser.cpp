// Descriptor script values: tokenising one command, resolving names against a few
// definitions and converting the result must never crash or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/util/DescParser.h"

namespace {

class QuietParser : public Zant::DescriptorParser {
protected:
    void ShowError(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    QuietParser parser;
    parser.SetDefine("pair", new Zant::SingleDataElement("1"));
    Zant::ListDataElement list;
    size_t pos = 0;
    if (!parser.ReadToken(text, list, false, pos))
        return 0;
    Zant::ListDataElement resolved;
    if (parser.ResolveDefine(list, resolved) && !resolved.mElementVector.empty())
        parser.SetDefine("last", resolved.mElementVector.back()->Duplicate());
    std::vector<std::string> strings;
    std::vector<int> ints;
    std::vector<double> doubles;
    for (const Zant::DataElement* element : list.mElementVector) {
        parser.DataToStringVector(element, strings);
        parser.DataToIntVector(element, ints);
        parser.DataToDoubleVector(element, doubles);
        Zant::ListDataElement target;
        parser.DataToList(element, target);
    }
    return 0;
}
