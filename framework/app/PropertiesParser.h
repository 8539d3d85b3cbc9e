#pragma once
// Reads a properties document into the application's four property maps:
//   <Properties>
//     <String id="Title">Plindor</String>
//     <StringArray id="Links"><String>a</String><String>b</String></StringArray>
//     <Boolean id="DontUpdate">TRUE</Boolean>
//     <Integer id="NumOptionsLinks">-1</Integer>
//   </Properties>
// Only the first failure is kept; properties stored before it stay stored.
#include <string>
#include <vector>

namespace Zant {

class Buffer;
class XMLParser;
class ZantApp;

class PropertiesParser {
public:
    explicit PropertiesParser(ZantApp* app);
    virtual ~PropertiesParser();
    PropertiesParser(const PropertiesParser&) = delete;
    PropertiesParser& operator=(const PropertiesParser&) = delete;

    // True when the whole document was read without error.
    bool ParsePropertiesBuffer(const Buffer& data);
    std::string GetErrorText() const { return mErrorText; }

protected:
    bool Fail(const std::string& text);
    bool ParseSection();
    // The text of the element just opened, up to its end tag (the last text wins).
    bool ParseElementText(std::string& text);
    bool ParseStringList(std::vector<std::string>& list);

    ZantApp* mApp;
    XMLParser* mXMLParser = nullptr;
    std::string mErrorText;
    bool mHasFailed = false;
};

// "1", "YES", "ON", "TRUE" and "0", "NO", "OFF", "FALSE" in any letter case.
bool ParsePropertyBool(const std::string& text, bool& value);
// An optional '-' and one or more decimal digits within the range of int.
bool ParsePropertyInt(const std::string& text, int& value);

} // namespace Zant
