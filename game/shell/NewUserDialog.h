#pragma once
// The name entry for a new player (1101): OK or Enter answers 3101, CANCEL 4101.
#include "framework/widgets/ButtonListener.h"
#include "game/shell/MoneyDialog.h"

namespace Zant {

class EditWidget;

// Refuses the colour-markup character and the store's key separators, which would
// break the drawn and the stored name.
class NaziEditListener : public EditListener {
public:
    bool AllowChar(int id, char c) override;
};

class NewUserDialog : public MoneyDialog, public NaziEditListener {
public:
    static constexpr int DIALOG_ID = 1101;
    static constexpr int MAX_NAME_CHARS = 24;
    static constexpr int MAX_NAME_PIXELS = 240;
    static constexpr int IMAGE_EDITBOX = 91;

    NewUserDialog(WinBTApp* app, const std::string& prompt);
    ~NewUserDialog() override;

    // Enter in the edit box answers as OK does.
    void EditWidgetText(int id, const std::string& text) override;
    int GetPreferredHeight(int width) override;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;

    std::string GetName() const;

public:
    EditWidget* mEditWidget;
};

} // namespace Zant
