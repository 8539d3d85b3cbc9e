#pragma once
// The shipped music library opened on its own, outside the process's shared
// instance, and started at a sample rate: for tests that pull its output by hand.
#include <cstdint>

#include "framework/sound/MusicLibraries.h"

namespace TestSupport {

// Opens the program folder's library, looks up every entry point and starts it;
// each step that fails is a test failure.
void StartMusicLibrary(Platform::SharedLibrary& library, Zant::BassApi& api, Zant::MusicRenderFn& render, uint32_t rate);

} // namespace TestSupport
