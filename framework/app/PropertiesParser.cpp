#include "framework/app/PropertiesParser.h"

#include <climits>

#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"
#include "framework/util/StringUtil.h"
#include "framework/util/XMLParser.h"

namespace Zant {

bool ParsePropertyBool(const std::string& text, bool& value)
{
    const std::string upper = ToUpperCopy(text);
    for (const char* word : {"1", "YES", "ON", "TRUE"})
        if (upper == word) {
            value = true;
            return true;
        }
    for (const char* word : {"0", "NO", "OFF", "FALSE"})
        if (upper == word) {
            value = false;
            return true;
        }
    return false;
}

bool ParsePropertyInt(const std::string& text, int& value)
{
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++i;
    if (i == text.size())
        return false;
    // Accumulated as a negative number, which reaches INT_MIN as well as -INT_MAX.
    long long v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 - (c - '0');
        if (v < INT_MIN)
            return false;
    }
    if (!negative) {
        if (-v > INT_MAX)
            return false;
        v = -v;
    }
    value = static_cast<int>(v);
    return true;
}

PropertiesParser::PropertiesParser(ZantApp* app) : mApp(app) {}

PropertiesParser::~PropertiesParser()
{
    delete mXMLParser;
}

bool PropertiesParser::Fail(const std::string& text)
{
    if (mHasFailed)
        return false;
    mHasFailed = true;
    mErrorText = text;
    if (mXMLParser) {
        if (mXMLParser->GetCurrentLineNum() > 0)
            mErrorText += " on Line " + std::to_string(mXMLParser->GetCurrentLineNum());
        if (!mXMLParser->GetFileName().empty())
            mErrorText += " in File '" + mXMLParser->GetFileName() + "'";
    }
    return false;
}

bool PropertiesParser::ParsePropertiesBuffer(const Buffer& data)
{
    delete mXMLParser;
    mXMLParser = new XMLParser();
    mXMLParser->SetStringSource(data.ToString());

    XMLElement e;
    while (!mHasFailed && mXMLParser->ReadElement(e)) {
        if (e.mType == XMLElement::TYPE_START) {
            if (e.mValue != "Properties") {
                Fail("Invalid Section '" + e.mValue + "'");
                break;
            }
            if (!ParseSection())
                break;
        } else if (e.mType == XMLElement::TYPE_TEXT) {
            Fail("Element Not Expected '" + e.mValue + "'");
            break;
        }
    }
    if (mXMLParser->HasFailed())
        Fail(mXMLParser->GetErrorText());

    delete mXMLParser;
    mXMLParser = nullptr;
    return !mHasFailed;
}

namespace {

// Reads the elements inside a section up to its end, handing each element start to
// onStart; text there is an error (through fail). False on an error, when onStart
// returns false, or when the input ends first.
template <typename Fail, typename OnStart>
bool ReadSectionElements(XMLParser& parser, const Fail& fail, const OnStart& onStart)
{
    XMLElement e;
    while (parser.ReadElement(e)) {
        if (e.mType == XMLElement::TYPE_END)
            return true;
        if (e.mType == XMLElement::TYPE_TEXT)
            return fail("Element Not Expected '" + e.mValue + "'");
        if (e.mType == XMLElement::TYPE_START && !onStart(e))
            return false;
    }
    return false;
}

} // namespace

bool PropertiesParser::ParseSection()
{
    const auto fail = [this](const std::string& text) { return Fail(text); };
    return ReadSectionElements(*mXMLParser, fail, [&](const XMLElement& e) {
        const auto idIt = e.mAttributes.find("id");
        const std::string id = idIt == e.mAttributes.end() ? std::string() : idIt->second;
        if (e.mValue == "String") {
            std::string text;
            if (!ParseElementText(text))
                return false;
            mApp->StoreStringProperty(id, text);
        } else if (e.mValue == "StringArray") {
            std::vector<std::string> list;
            if (!ParseStringList(list))
                return false;
            mApp->mStringVectorProperties.insert({id, list}); // an existing array stays
        } else if (e.mValue == "Boolean") {
            std::string text;
            if (!ParseElementText(text))
                return false;
            bool value = false;
            if (!ParsePropertyBool(text, value))
                return Fail("Invalid Boolean Value: '" + ToUpperCopy(text) + "'");
            mApp->StoreBoolProperty(id, value);
        } else if (e.mValue == "Integer") {
            std::string text;
            if (!ParseElementText(text))
                return false;
            int value = 0;
            if (!ParsePropertyInt(text, value))
                return Fail("Invalid Integer Value: '" + text + "'");
            mApp->StoreIntProperty(id, value);
        } else {
            return Fail("Invalid Section '" + e.mValue + "'");
        }
        return true;
    });
}

bool PropertiesParser::ParseElementText(std::string& text)
{
    text.clear();
    XMLElement e;
    while (mXMLParser->ReadElement(e)) {
        if (e.mType == XMLElement::TYPE_END)
            return true;
        if (e.mType == XMLElement::TYPE_START)
            return Fail("Unexpected Section: '" + e.mValue + "'");
        if (e.mType == XMLElement::TYPE_TEXT)
            text = e.mValue;
    }
    return false;
}

bool PropertiesParser::ParseStringList(std::vector<std::string>& list)
{
    list.clear();
    const auto fail = [this](const std::string& text) { return Fail(text); };
    return ReadSectionElements(*mXMLParser, fail, [&](const XMLElement& e) {
        if (e.mValue != "String")
            return Fail("Invalid Section '" + e.mValue + "'");
        std::string text;
        if (!ParseElementText(text))
            return false;
        list.push_back(text);
        return true;
    });
}

} // namespace Zant
