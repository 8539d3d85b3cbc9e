// Every test program runs with its own fresh per-user data folder, so tests never
// touch a player's real settings and can run side by side, and with the tests' own
// font configuration.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/graphics/D3DTestProcess.h"
#include "tests/support/FakeHelper.h"
#include "tests/support/TestSupport.h"

int main(int argc, char** argv)
{
    // A display under test runs the 3D test's drawing in a copy of the running
    // program, as the game's does: the test program stands in for the game.
    if (Zant::IsD3DTestMode(argc, argv))
        Zant::RunD3DTestMode();
    if (TestSupport::IsFakeHelper(argc, argv))
        TestSupport::RunFakeHelper(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    TestSupport::TempDir home("plindor-home");
    setenv("PLINDOR_HOME", home.Path().c_str(), 1);
    setenv("PLINDOR_HEADLESS", "1", 1);
    // System text in pictures must not depend on the machine's fonts; programs the
    // tests start inherit the setting.
    setenv("FONTCONFIG_FILE", PLINDOR_TEST_FONTCONFIG, 1);
    return RUN_ALL_TESTS();
}
