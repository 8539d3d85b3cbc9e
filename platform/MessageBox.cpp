#include "platform/MessageBox.h"

#include <SDL.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

#include "platform/Log.h"
#include "platform/Process.h"

namespace Platform {

namespace {

// The parent's number from /proc/<pid>/stat; -1 when it cannot be read.
pid_t ParentOf(const char* pid)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%s/stat", pid);
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    char text[512];
    const ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    if (n <= 0)
        return -1;
    text[n] = '\0';
    // "pid (name) state ppid ...": the name may hold anything but ends at the last ')'.
    const char* close = std::strrchr(text, ')');
    if (!close)
        return -1;
    char state = 0;
    int parent = -1;
    if (std::sscanf(close + 1, " %c %d", &state, &parent) != 2)
        return -1;
    return parent;
}

// SDL shows its box from a child process and waits for it, over and over while
// signals interrupt the wait; ending the child is the one way to close the box.
// The child inherited our SIGTERM handler, so only SIGKILL ends it.
void EndChildProcesses()
{
    DIR* proc = opendir("/proc");
    if (!proc)
        return;
    const pid_t self = getpid();
    while (dirent* entry = readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        if (ParentOf(entry->d_name) == self)
            kill(static_cast<pid_t>(std::atol(entry->d_name)), SIGKILL);
    }
    closedir(proc);
}

// While a box is open, a termination request (SIGTERM, SIGINT) closes it; the box
// then gives its default answer, as the program would end on a normal close.
class TerminationWatch {
public:
    TerminationWatch()
        : mThread([this] {
              while (!mDone.load()) {
                  if (TerminationRequested()) {
                      EndChildProcesses();
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          })
    {
    }
    ~TerminationWatch()
    {
        mDone.store(true);
        mThread.join();
    }
    TerminationWatch(const TerminationWatch&) = delete;
    TerminationWatch& operator=(const TerminationWatch&) = delete;

private:
    std::atomic<bool> mDone{false};
    std::thread mThread;
};

} // namespace

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
    if (TerminationRequested())
        return r.defaultAnswer;
    int hit = -1;
    int shown = -1;
    {
        TerminationWatch watch;
        shown = SDL_ShowMessageBox(&data, &hit);
    }
    if (shown != 0 && !TerminationRequested())
        DebugOutput(std::string("Message box not shown: ") + SDL_GetError() + "\n");
    if (shown != 0 || hit < 0 || TerminationRequested())
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
