// The installation's properties (strings, string arrays, booleans, integers).
#include "framework/app/ZantApp.h"

namespace Zant {

bool ZantApp::LoadPropertiesFile(const std::string& path) { return false; }
bool ZantApp::VerifyFileSignature(const std::string& path) { return false; }

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
