#pragma once
// Last-write times in the form the cached sound copies record: 100 ns ticks since
// 1601-01-01 (a Windows FILETIME), so copies made on either system compare alike.
#include <cstdint>
#include <string>

namespace Platform {

// The file's last-write time, or 0 when it does not exist or cannot be read.
// Takes a game path (backslashes allowed).
uint64_t FileWriteTime(const std::string& gamePath);

} // namespace Platform
