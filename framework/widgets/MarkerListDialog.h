#pragma once
// The list of a playing demo's markers still ahead, each with the play time from
// it to the end. Clicking one jumps the demo to it; Escape closes the list. While
// it is open the demo waits, and the viewer's own mouse and keys reach it.
#include <memory>
#include <string>
#include <vector>

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Dialog.h"

namespace Zant {

class ListWidget;
class ZantApp;

class MarkerListDialog : public Dialog, public ListListener {
public:
    static constexpr int ID = 8191;
    static constexpr int LIST_ID = 0;
    static constexpr int WIDTH = 320;
    static constexpr int HEIGHT = 240;

    // entries[i] jumps to updates[i].
    MarkerListDialog(ZantApp* app, const std::vector<std::string>& entries, const std::vector<int>& updates);
    ~MarkerListDialog() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    bool WantsFocus() override { return true; }
    void KeyDown(int key) override;
    void ListClicked(int id, int index, int clickCount) override;

    // Jumps to entry index (when it is still ahead) and closes; -1 only closes.
    void Choose(int index);

public:
    ZantApp* mApp;
    ListWidget* mList;
    std::vector<int> mUpdates;
    std::unique_ptr<Font> mFont;
};

} // namespace Zant
