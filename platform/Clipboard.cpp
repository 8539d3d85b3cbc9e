#include "platform/Clipboard.h"

#include <SDL.h>

namespace Platform {

std::string Latin1ToUtf8(const std::string& in)
{
    std::string out;
    out.reserve(in.size() * 2);
    for (unsigned char c : in) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string Utf8ToLatin1(const std::string& in)
{
    std::string out;
    size_t i = 0;
    while (i < in.size()) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        unsigned cp;
        size_t len;
        if (c < 0x80) { cp = c; len = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
        else { ++i; continue; }
        if (i + len > in.size())
            break;
        bool ok = true;
        for (size_t k = 1; k < len; ++k) {
            unsigned char d = static_cast<unsigned char>(in[i + k]);
            if ((d & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) { ++i; continue; }
        i += len;
        if (cp <= 0xFF)
            out += static_cast<char>(cp);
    }
    return out;
}

bool PutClipboardText(const std::string& latin1)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    return SDL_SetClipboardText(Latin1ToUtf8(latin1).c_str()) == 0;
}

std::string GetClipboardText()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_HasClipboardText())
        return {};
    char* text = SDL_GetClipboardText();
    if (!text)
        return {};
    std::string out = Utf8ToLatin1(text);
    SDL_free(text);
    return out;
}

} // namespace Platform
