// The cards read from a DRM class folder laid out as the kernel lays it out: cards in
// a fixed order with their PCI numbers and driver, connectors and render nodes left
// out, a card without a bound driver still listed.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/display/DisplayAdapter.h"
#include "tests/support/TestSupport.h"

namespace {

void MakeCard(const std::string& folder, const std::string& vendor, const std::string& driver)
{
    namespace fs = std::filesystem;
    const std::string device = folder + "/device";
    fs::create_directories(device);
    TestSupport::WriteFile(device + "/vendor", vendor + "\n");
    TestSupport::WriteFile(device + "/device", "0x1234\n");
    TestSupport::WriteFile(device + "/subsystem_vendor", "0x17aa\n");
    TestSupport::WriteFile(device + "/subsystem_device", "0x2233\n");
    TestSupport::WriteFile(device + "/revision", "0x01\n");
    if (!driver.empty())
        fs::create_directory_symlink("../../../bus/pci/drivers/" + driver, device + "/driver");
}

} // namespace

TEST(DrmAdapters, ListsCardsInAFixedOrder)
{
    TestSupport::TempDir drm("plindor-drm");
    MakeCard(drm.File("card1"), "0x10de", "nouveau");
    MakeCard(drm.File("card0"), "0x8086", "i915");
    MakeCard(drm.File("card2"), "0x1002", "");
    MakeCard(drm.File("card0-HDMI-A-1"), "0x8086", "i915");
    MakeCard(drm.File("renderD128"), "0x8086", "i915");
    TestSupport::WriteFile(drm.File("version"), "drm 1.1.0 20060810\n");

    EXPECT_EQ(Platform::DrmAdapters(drm.Path()), "card0 0x8086 0x1234 0x17aa 0x2233 0x01 i915\n"
                                                 "card1 0x10de 0x1234 0x17aa 0x2233 0x01 nouveau\n"
                                                 "card2 0x1002 0x1234 0x17aa 0x2233 0x01 -\n");
    EXPECT_EQ(Platform::DrmAdapters(drm.File("missing")), "");
}
