#pragma once
// "DELETE WHO?": picks a player to erase; the choice is confirmed by a yes/no
// question before the profile, its store key and its files go.
#include <string>
#include <vector>

#include "framework/widgets/ButtonListener.h"
#include "game/shell/MoneyDialog.h"

namespace Zant {

class ListWidget;

class DeleteUserDialog : public MoneyDialog, public ListListener {
public:
    static constexpr int DIALOG_ID = 1103;

    DeleteUserDialog(WinBTApp* app, const std::vector<std::string>& names);
    ~DeleteUserDialog() override;

    void ListClicked(int id, int index, int clickCount) override;
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;
    // Asks "ARE YOU SURE?"; the answer reaches the dispatcher.
    void ConfirmDelete(const std::string& name);
    // The confirmed deletion of the selected player.
    void DeleteSelectedUser();
    int GetPreferredHeight(int width) override;
    void Resize(int x, int y, int width, int height) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;

public:
    ListWidget* mList;
};

} // namespace Zant
