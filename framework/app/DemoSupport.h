#pragma once
// Small helpers shared by the demo's recording, playback and result operations.
#include <string>
#include <thread>

#include "framework/app/ZantApp.h"

namespace Zant {

// Demo records have a fixed place in the stream only when the main thread makes them.
inline bool OnMainThread(const ZantApp& app)
{
    return std::this_thread::get_id() == app.mPrimaryThreadId;
}

} // namespace Zant
