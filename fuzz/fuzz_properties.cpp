// Reads any bytes as a properties file, checks them against their own first 24
// bytes as a signature, and parses them into an application's property maps.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/app/PropertiesParser.h"
#include "framework/app/PropertiesSignature.h"
#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Zant::ZantApp* app = new Zant::ZantApp();
    app->mStringProperties.clear();
    app->mStringVectorProperties.clear();
    app->mBoolProperties.clear();
    app->mIntProperties.clear();

    const std::string text(reinterpret_cast<const char*>(data), size);
    Zant::CheckPropertiesSignature(data, size, text.substr(0, std::min<size_t>(size, 24)));

    Zant::Buffer buffer;
    buffer.SetData(text);
    Zant::PropertiesParser parser(app);
    parser.ParsePropertiesBuffer(buffer);
    parser.GetErrorText();
    return 0;
}
