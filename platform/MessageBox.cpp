#include "platform/MessageBox.h"

#include <SDL.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/Log.h"

namespace Platform {

bool IsHeadless()
{
    const char* v = getenv("PLINDOR_HEADLESS");
    return v && std::strcmp(v, "0") != 0 && *v;
}

BoxAnswer SdlMessageBoxService::Show(const MessageBoxRequest& r)
{
    DebugOutput(r.title + ": " + r.text + "\n");
    if (IsHeadless())
        return r.defaultAnswer;

    Uint32 flags = 0;
    switch (r.icon) {
    case BoxIcon::Error: flags = SDL_MESSAGEBOX_ERROR; break;
    case BoxIcon::Warning: flags = SDL_MESSAGEBOX_WARNING; break;
    default: flags = SDL_MESSAGEBOX_INFORMATION; break;
    }
    std::vector<SDL_MessageBoxButtonData> buttons;
    auto add = [&](BoxAnswer a, const char* text) {
        Uint32 bf = 0;
        if (a == r.defaultAnswer)
            bf |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (a == BoxAnswer::No || a == BoxAnswer::Cancel || (r.buttons == BoxButtons::Ok))
            bf |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        buttons.push_back({bf, static_cast<int>(a), text});
    };
    switch (r.buttons) {
    case BoxButtons::Ok: add(BoxAnswer::Ok, "OK"); break;
    case BoxButtons::YesNo: add(BoxAnswer::Yes, "Yes"); add(BoxAnswer::No, "No"); break;
    case BoxButtons::OkCancel: add(BoxAnswer::Ok, "OK"); add(BoxAnswer::Cancel, "Cancel"); break;
    }
    SDL_MessageBoxData data{};
    data.flags = flags;
    data.title = r.title.c_str();
    data.message = r.text.c_str();
    data.numbuttons = static_cast<int>(buttons.size());
    data.buttons = buttons.data();
    int hit = -1;
    if (SDL_ShowMessageBox(&data, &hit) != 0 || hit < 0)
        return r.defaultAnswer;
    return static_cast<BoxAnswer>(hit);
}

BoxAnswer FakeMessageBoxService::Show(const MessageBoxRequest& r)
{
    shown.push_back(r);
    if (answers.empty())
        return r.defaultAnswer;
    BoxAnswer a = answers.front();
    answers.erase(answers.begin());
    return a;
}

namespace {
SdlMessageBoxService gSdlBoxes;
std::atomic<MessageBoxService*> gBoxes{&gSdlBoxes};
}

MessageBoxService& GetMessageBoxes() { return *gBoxes.load(); }
void SetMessageBoxes(MessageBoxService* s) { gBoxes.store(s ? s : &gSdlBoxes); }

} // namespace Platform
