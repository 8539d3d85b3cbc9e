// The installation's properties (strings, string arrays, booleans, integers), read
// from a signed XML file beside the program.
#include "framework/app/PropertiesParser.h"
#include "framework/app/PropertiesSignature.h"
#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"

namespace Zant {

bool ZantApp::LoadPropertiesFile(const std::string& path)
{
    return LoadPropertiesFile(path, false, true);
}

bool ZantApp::LoadPropertiesFile(const std::string& path, bool required, bool checkSignature)
{
    Buffer data;
    if (!LoadFileToBuffer(path, data)) {
        if (!required)
            return true; // an optional file that is not there is no error
        ShowMessage("Unable to open properties file: " + path);
        return false;
    }
    if (checkSignature && !VerifyFileSignature(data, path)) {
        ShowMessage("Signature check failed on '" + path + "'");
        return false;
    }
    PropertiesParser parser(this);
    if (!parser.ParsePropertiesBuffer(data)) {
        ShowMessage(parser.GetErrorText());
        return false;
    }
    return true;
}

bool ZantApp::VerifyFileSignature(const Buffer& data, const std::string& path)
{
    // The signature is read through the demo too: a replay must reach the recorded
    // verdict whatever signature file the replaying machine has.
    Buffer signature;
    if (!LoadFileToBuffer(path + ".sig", signature))
        return false;
    const std::string text = signature.ToString().substr(0, PROPERTIES_SIGNATURE_DIGITS);
    return CheckPropertiesSignature(data.GetDataPtr(), static_cast<size_t>(data.GetDataLen()), text);
}

bool ZantApp::VerifyFileSignature(const std::string& path)
{
    Buffer data;
    return LoadFileToBuffer(path, data) && VerifyFileSignature(data, path);
}

std::string ZantApp::LookupStringProperty(const std::string& name, const std::string& def)
{
    auto it = mStringProperties.find(name);
    return it == mStringProperties.end() ? def : it->second;
}

bool ZantApp::LookupBoolProperty(const std::string& name, bool def)
{
    auto it = mBoolProperties.find(name);
    return it == mBoolProperties.end() ? def : it->second;
}

int ZantApp::LookupIntProperty(const std::string& name, int def)
{
    auto it = mIntProperties.find(name);
    return it == mIntProperties.end() ? def : it->second;
}

bool ZantApp::HasProperty(const std::string& name)
{
    return mStringProperties.count(name) || mBoolProperties.count(name) || mIntProperties.count(name) ||
           mStringVectorProperties.count(name);
}

void ZantApp::StoreStringProperty(const std::string& name, const std::string& value) { mStringProperties[name] = value; }
void ZantApp::StoreBoolProperty(const std::string& name, bool value) { mBoolProperties[name] = value; }
void ZantApp::StoreIntProperty(const std::string& name, int value) { mIntProperties[name] = value; }

} // namespace Zant
