#include "framework/util/DescParser.h"

#include <charconv>
#include <cmath>

#include "framework/util/StringUtil.h"
#include "platform/Log.h"

namespace Zant {

ListDataElement::ListDataElement(const ListDataElement& other) : DataElement(true)
{
    mElementVector.reserve(other.mElementVector.size());
    for (const DataElement* e : other.mElementVector)
        mElementVector.push_back(e->Duplicate());
}

ListDataElement& ListDataElement::operator=(const ListDataElement& other)
{
    if (this != &other) {
        Clear();
        for (const DataElement* e : other.mElementVector)
            mElementVector.push_back(e->Duplicate());
    }
    return *this;
}

ListDataElement::~ListDataElement()
{
    Clear();
}

void ListDataElement::Clear()
{
    for (DataElement* e : mElementVector)
        delete e;
    mElementVector.clear();
}

DescriptorParser::~DescriptorParser()
{
    for (auto& [name, value] : mDefineMap)
        delete value;
}

bool DescriptorParser::ParseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool DescriptorParser::ParseDouble(const std::string& text, double& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool DescriptorParser::IsValueToken(const std::string& text)
{
    if (text.empty())
        return false;
    char c = text[0];
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '\'' || c == '"';
}

std::string DescriptorParser::Unquote(const std::string& text)
{
    if (text.empty())
        return text;
    char quote = text[0];
    std::string result;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] != quote) {
            result += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == quote) {
            result += quote;
            ++i;
        }
        // A lone quote (normally the closing one) is dropped.
    }
    return result;
}

DataElement* DescriptorParser::FindDefine(const std::string& name) const
{
    auto it = mDefineMap.find(ToUpperCopy(name));
    return it == mDefineMap.end() ? nullptr : it->second;
}

void DescriptorParser::SetDefine(const std::string& name, DataElement* value)
{
    std::string key = ToUpperCopy(name);
    auto it = mDefineMap.find(key);
    if (it != mDefineMap.end()) {
        delete it->second;
        it->second = value;
    } else {
        mDefineMap[key] = value;
    }
}

bool DescriptorParser::Error(const std::string& text)
{
    std::string message = mErrorHeader + text;
    if (!mCurrentLine.empty())
        message += " on " + mCurrentLine;
    ShowError(message);
    return false;
}

void DescriptorParser::ShowError(const std::string& message)
{
    Platform::DebugOutput(message + "\n");
}

bool DescriptorParser::ReadToken(const std::string& text, ListDataElement& list, bool expectListEnd, size_t& pos)
{
    return ReadList(text, list, expectListEnd, pos, expectListEnd ? 1 : 0);
}

bool DescriptorParser::ReadList(const std::string& text, ListDataElement& list, bool expectListEnd, size_t& pos,
                                int depth)
{
    if (depth > MAX_LIST_DEPTH)
        return Error("Lists Nested Deeper Than " + std::to_string(MAX_LIST_DEPTH) + " Levels");
    bool inSingle = false;
    bool inDouble = false;
    bool escape = false;
    SingleDataElement* word = nullptr;
    auto append = [&](char c) {
        if (!word) {
            word = new SingleDataElement();
            list.mElementVector.push_back(word);
        }
        word->mString += c;
    };

    while (pos < text.size()) {
        char c = text[pos++];
        bool separator = c == ' ' || c == '\t' || c == '\n' || c == ',';
        if (escape) {
            escape = false;
            // An escaped quote of the open kind is kept doubled, which is how an
            // unquoted string spells one literal quote.
            if ((inSingle && c == '\'') || (inDouble && c == '"'))
                append(c);
            append(c);
        } else if (c == '\\') {
            escape = true;
        } else if (c == '\'' && !inDouble) {
            inSingle = !inSingle;
            append(c);
        } else if (c == '"' && !inSingle) {
            inDouble = !inDouble;
            append(c);
        } else if (inSingle || inDouble) {
            append(c);
        } else if (c == ')') {
            if (expectListEnd)
                return true;
            return Error("Unexpected List End");
        } else if (c == '(') {
            if (word)
                return Error("Unexpected List Start");
            auto* child = new ListDataElement();
            list.mElementVector.push_back(child);
            if (!ReadList(text, *child, true, pos, depth + 1))
                return false;
        } else if (separator) {
            word = nullptr;
        } else {
            append(c);
        }
    }
    if (inSingle)
        return Error("Unterminated Single Quotes");
    if (inDouble)
        return Error("Unterminated Double Quotes");
    if (expectListEnd)
        return Error("Unterminated List");
    return true;
}

bool DescriptorParser::ResolveDefine(const ListDataElement& source, ListDataElement& target)
{
    target.Clear();
    for (const DataElement* element : source.mElementVector) {
        if (element->mIsList) {
            auto* child = new ListDataElement();
            target.mElementVector.push_back(child);
            if (!ResolveDefine(*static_cast<const ListDataElement*>(element), *child))
                return false;
            continue;
        }
        const std::string& text = static_cast<const SingleDataElement*>(element)->mString;
        if (!text.empty() && (text[0] == '\'' || text[0] == '"')) {
            target.mElementVector.push_back(new SingleDataElement(Unquote(text)));
        } else if (IsValueToken(text)) {
            target.mElementVector.push_back(element->Duplicate());
        } else {
            std::string name = ToUpperCopy(text);
            DataElement* definition = FindDefine(name);
            if (!definition)
                return Error("Unable to Dereference \"" + TextStart(name) + "\"");
            target.mElementVector.push_back(definition->Duplicate());
        }
    }
    return true;
}

bool DescriptorParser::DataToList(const DataElement* element, ListDataElement& target)
{
    if (!element)
        return false;
    if (element->mIsList)
        return ResolveDefine(*static_cast<const ListDataElement*>(element), target);
    DataElement* definition = FindDefine(static_cast<const SingleDataElement*>(element)->mString);
    if (!definition || !definition->mIsList)
        return false;
    target = *static_cast<const ListDataElement*>(definition);
    return true;
}

bool DescriptorParser::DataToStringVector(const DataElement* element, std::vector<std::string>& strings)
{
    strings.clear();
    if (!element)
        return false;
    ListDataElement resolved;
    const ListDataElement* list = nullptr;
    if (element->mIsList) {
        if (!ResolveDefine(*static_cast<const ListDataElement*>(element), resolved))
            return false;
        list = &resolved;
    } else {
        std::string name = ToUpperCopy(static_cast<const SingleDataElement*>(element)->mString);
        DataElement* definition = FindDefine(name);
        if (!definition)
            return Error("Unable to Dereference \"" + TextStart(name) + "\"");
        if (!definition->mIsList)
            return false;
        list = static_cast<const ListDataElement*>(definition);
    }
    for (const DataElement* e : list->mElementVector) {
        if (e->mIsList) {
            strings.clear();
            return false;
        }
        strings.push_back(static_cast<const SingleDataElement*>(e)->mString);
    }
    return true;
}

bool DescriptorParser::DataToIntVector(const DataElement* element, std::vector<int>& ints)
{
    ints.clear();
    std::vector<std::string> strings;
    if (!DataToStringVector(element, strings))
        return false;
    for (const std::string& s : strings) {
        int value = 0;
        if (!ParseInt(s, value))
            return false;
        ints.push_back(value);
    }
    return true;
}

bool DescriptorParser::DataToDoubleVector(const DataElement* element, std::vector<double>& doubles)
{
    doubles.clear();
    std::vector<std::string> strings;
    if (!DataToStringVector(element, strings))
        return false;
    for (const std::string& s : strings) {
        double value = 0;
        if (!ParseDouble(s, value))
            return false;
        doubles.push_back(value);
    }
    return true;
}

} // namespace Zant
