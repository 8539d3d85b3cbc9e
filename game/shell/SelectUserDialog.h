#pragma once
// "WHO ARE YOU?": the roster of players (at most five), with a row to create a new
// player while there is room and one to delete a player when it is full. OK makes
// the chosen player current (3102), CANCEL answers 4102.
#include "framework/widgets/ButtonListener.h"
#include "game/shell/MoneyDialog.h"

namespace Zant {

class ListWidget;

class SelectUserDialog : public MoneyDialog, public ListListener {
public:
    static constexpr int DIALOG_ID = 1102;
    static constexpr int MAX_PLAYERS = 5;
    static const char* const CREATE_ROW;
    static const char* const DELETE_ROW;

    explicit SelectUserDialog(WinBTApp* app);
    ~SelectUserDialog() override;

    void FillUserList();
    void ListClicked(int id, int index, int clickCount) override;
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;
    int GetPreferredHeight(int width) override;
    void Resize(int x, int y, int width, int height) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;

    // The name on the selected row; empty when none or a special row is selected.
    std::string GetSelectedName() const;

public:
    ListWidget* mList;
    std::string mSelectedName;
};

// Lays out a list dialog: the list 16 pixels above OK and CANCEL.
void PlaceRosterList(Dialog* dialog, ListWidget* list);

} // namespace Zant
