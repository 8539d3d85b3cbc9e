#pragma once
// A font host for tests: records messages and image loads, and makes transparent
// images of preset sizes (or hands out prepared images) by path.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/graphics/FontHost.h"
#include "framework/graphics/MemoryImage.h"

class FakeFontHost : public Zant::FontHost {
public:
    Zant::Image* LoadFontImage(const std::string& path) override
    {
        loads.push_back(path);
        if (auto it = images.find(path); it != images.end())
            return new Zant::MemoryImage(*it->second);
        auto it = sizes.find(path);
        if (it == sizes.end())
            return nullptr;
        auto* image = new Zant::MemoryImage();
        image->Create(it->second.first, it->second.second);
        return image;
    }
    void ShowFontError(const std::string& message) override { errors.push_back(message); }
    Zant::MemoryImage* NewFontImage() override
    {
        ++newImages;
        return new Zant::MemoryImage();
    }

    std::map<std::string, std::pair<int, int>> sizes;
    std::map<std::string, Zant::MemoryImage*> images; // not owned
    std::vector<std::string> loads;
    std::vector<std::string> errors;
    int newImages = 0;
};
