#pragma once
// Before an abyss dive, once the player has been deep: start from the surface or
// from any depth already reached, in steps of 400 feet. OK answers 3105 with the
// chosen depth in mChosenDepth; CANCEL answers 4105.
#include "framework/widgets/ButtonListener.h"
#include "game/shell/MoneyDialog.h"

namespace Zant {

class ListWidget;
class ScrollbarWidget;
class UserProfile;

class AbyssModeDialog : public MoneyDialog, public ListListener {
public:
    static constexpr int DIALOG_ID = 1105;
    static constexpr int DEPTH_STEP = 400;
    // A damaged profile can claim any depth: the list stops where no dive can reach.
    static constexpr int MAX_DEPTH_LINES = 1000;

    AbyssModeDialog(WinBTApp* app, UserProfile* profile);
    ~AbyssModeDialog() override;

    void FillDepthList();
    void ListClicked(int id, int index, int clickCount) override;
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;
    int GetPreferredHeight(int width) override;
    void Resize(int x, int y, int width, int height) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;

    // The depth a list line stands for: its leading number ("(Start from beginning)" 0).
    static int LineDepth(const std::string& line);

public:
    ListWidget* mList;
    ScrollbarWidget* mScrollbar;
    int mChosenDepth = 0;

private:
    UserProfile* mProfile;
};

// Places OK and CANCEL side by side at the bottom of a list dialog.
void PlaceListDialogButtons(Dialog* dialog);
// A click on a dialog's own list: a new line is selected with the click sound.
// False for another list or a line outside it.
bool PickDialogListLine(WinBTApp* app, ListWidget* list, int id, int index);

} // namespace Zant
