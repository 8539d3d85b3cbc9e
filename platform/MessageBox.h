#pragma once
// Message boxes go through SDL and are also printed to stderr. With
// PLINDOR_HEADLESS=1 a box is only printed and answered with its default button.
#include <string>
#include <vector>

namespace Platform {

enum class BoxButtons { Ok, YesNo, OkCancel };
enum class BoxIcon { None, Error, Warning, Information, Question };
enum class BoxAnswer { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
    std::string title;
    std::string text;
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
    BoxAnswer defaultAnswer = BoxAnswer::Ok; // answered in headless mode
};

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual BoxAnswer Show(const MessageBoxRequest& request) = 0;
};

// SDL message boxes (usable before SDL_Init), echoed to stderr.
class SdlMessageBoxService : public MessageBoxService {
public:
    BoxAnswer Show(const MessageBoxRequest& request) override;
};

// Records what was asked and gives scripted answers (the default when none is left).
class FakeMessageBoxService : public MessageBoxService {
public:
    BoxAnswer Show(const MessageBoxRequest& request) override;
    std::vector<MessageBoxRequest> shown;
    std::vector<BoxAnswer> answers;
};

bool IsHeadless();
MessageBoxService& GetMessageBoxes();
void SetMessageBoxes(MessageBoxService* service); // null restores the SDL one

inline BoxAnswer ShowMessageBox(const MessageBoxRequest& request) { return GetMessageBoxes().Show(request); }

} // namespace Platform
