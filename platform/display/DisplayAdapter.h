#pragma once
// The graphics adapters of the machine as the kernel lists them, read from its DRM
// class folder without opening any device: one line per card with its PCI vendor,
// device and subsystem numbers, revision and kernel driver. Empty when there is no
// such folder (no DRM, a container).
#include <string>

namespace Platform {

std::string DrmAdapters(const std::string& drmFolder = "/sys/class/drm");

} // namespace Platform
