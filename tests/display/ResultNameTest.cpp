#include <gtest/gtest.h>

#include "framework/graphics/DDInterface.h"
#include "framework/graphics/DXResult.h"
#include "platform/display/DDTypes.h"

using namespace Zant;

TEST(ResultNames, KnownValuesSharedValuesAndHexFallback)
{
    struct Case {
        uint32_t value;
        const char* name;
    };
    const Case cases[] = {
        {0x88760091, "DDERR_INVALIDPIXELFORMAT"},
        {0x887601C2, "DDERR_SURFACELOST"},
        // Values several families share take one fixed name.
        {0x80004005, "DSERR_GENERIC"},
        {0x80070057, "DDERR_INVALIDPARAMS"},
        {0x8007000E, "E_OUTOFMEMORY"},
        {0x80004001, "DDERR_UNSUPPORTED"},
        {0x88760800, "D3DERR_INVALIDVERTEXFORMAT"},
        {0x8878000A, "DSERR_ALLOCATED"},
        // Not in the table: bare lower-case hex.
        {1, "1"},
        {255, "ff"},
        {0, "0"},
        {0xDEADBEEF, "deadbeef"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DirectXErrorName(int32_t(c.value)), c.name) << std::hex << c.value;
}

TEST(ResultNames, EveryCodeTheDisplayLayerReturnsHasItsName)
{
    using namespace Platform;
    struct Case {
        DDResult code;
        const char* name;
    };
    const Case cases[] = {
        {DDERR_GENERIC, "DSERR_GENERIC"},
        {DDERR_UNSUPPORTED, "DDERR_UNSUPPORTED"},
        {DDERR_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS"},
        {DDERR_INVALIDMODE, "DDERR_INVALIDMODE"},
        {DDERR_INVALIDOBJECT, "DDERR_INVALIDOBJECT"},
        {DDERR_INVALIDPIXELFORMAT, "DDERR_INVALIDPIXELFORMAT"},
        {DDERR_INVALIDRECT, "DDERR_INVALIDRECT"},
        {DDERR_NOCOOPERATIVELEVELSET, "DDERR_NOCOOPERATIVELEVELSET"},
        {DDERR_NOEXCLUSIVEMODE, "DDERR_NOEXCLUSIVEMODE"},
        {DDERR_SURFACEBUSY, "DDERR_SURFACEBUSY"},
        {DDERR_SURFACELOST, "DDERR_SURFACELOST"},
        {DDERR_NOTFOUND, "DDERR_NOTFOUND"},
        {DDERR_PRIMARYSURFACEALREADYEXISTS, "DDERR_PRIMARYSURFACEALREADYEXISTS"},
        {DDERR_NOTFLIPPABLE, "DDERR_NOTFLIPPABLE"},
        {DDERR_NOTLOCKED, "DDERR_NOTLOCKED"},
        {DDERR_UNSUPPORTEDMODE, "DDERR_UNSUPPORTEDMODE"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DirectXErrorName(c.code), c.name);
}

TEST(ResultNames, InitResultNames)
{
    EXPECT_EQ(DDInterface::ResultName(0), "RESULT_OK");
    EXPECT_EQ(DDInterface::ResultName(4), "RESULT_EXCLUSIVE_FAIL");
    EXPECT_EQ(DDInterface::ResultName(6), "RESULT_INVALID_COLORDEPTH");
    // The 3D failure has no name of its own.
    EXPECT_EQ(DDInterface::ResultName(7), "RESULT_UNKNOWN");
    EXPECT_EQ(DDInterface::ResultName(-1), "RESULT_UNKNOWN");
}
