#pragma once
// Name-keyed tables of shared resources that the application owns. Nothing in the
// game registers resources here; the object exists so the application's ownership
// and shutdown order stay as they are.
#include <map>
#include <string>

namespace Zant {

class Image;
class Font;

class ResourceManager {
public:
    virtual ~ResourceManager() = default;

    std::map<std::string, Image*> mImageMap;
    std::map<std::string, Font*> mFontMap;
    std::map<std::string, int> mSoundMap;
};

} // namespace Zant
