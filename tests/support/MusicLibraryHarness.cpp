#include "tests/support/MusicLibraryHarness.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TestSupport.h"

namespace TestSupport {

void StartMusicLibrary(Platform::SharedLibrary& library, Zant::BassApi& api, Zant::MusicRenderFn& render, uint32_t rate)
{
    ASSERT_TRUE(library.Open(GameDir() + "/" + Zant::kBassLibraryName)) << library.Error();
    std::string missing;
    ASSERT_TRUE(Zant::LookupBassEntryPoints(library, api, missing)) << missing;
    render = reinterpret_cast<Zant::MusicRenderFn>(library.Symbol(Zant::kMusicRenderEntry));
    ASSERT_NE(render, nullptr);
    ASSERT_EQ(api.BASS_Init(-1, rate, 0, nullptr), 1);
    ASSERT_EQ(api.BASS_Start(), 1);
}

} // namespace TestSupport
