#pragma once
// The desktop clipboard as Latin-1 text (the game's character set).
#include <string>

namespace Platform {

bool PutClipboardText(const std::string& latin1);
std::string GetClipboardText(); // empty when there is no text

std::string Latin1ToUtf8(const std::string& latin1);
// Characters outside Latin-1 are dropped.
std::string Utf8ToLatin1(const std::string& utf8);

} // namespace Platform
