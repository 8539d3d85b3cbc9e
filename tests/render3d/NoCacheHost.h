#pragma once
// A capability-test host with no cache and no demo: every run tests afresh.
#include "framework/graphics/D3DTester.h"

namespace RenderTest {

class NoCacheHost : public Zant::D3DTestHost {
public:
    bool IsPlayingDemo() override { return false; }
    void DemoSyncText(std::string&) override {}
    bool OpenCache() override { return false; }
    bool ReadCacheInt(const std::string&, int&) override { return false; }
    bool ReadCacheBytes(const std::string&, std::vector<uint8_t>&, int) override { return false; }
    void WriteCacheInt(const std::string&, int) override {}
    void WriteCacheBytes(const std::string&, const std::vector<uint8_t>&, bool) override {}
};

} // namespace RenderTest
