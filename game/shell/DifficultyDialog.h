#pragma once
// The choice of an adventure's difficulty: five buttons, the one that suits the
// player's typing speed drawn highlighted under a label. The difficulty buttons
// report straight to the application (600 .. 604); Cancel answers 2777.
#include "framework/widgets/ButtonListener.h"
#include "game/shell/KeyDialog.h"

namespace Zant {

class DialogButton;
class Font;
class WinBTApp;

class DifficultyDialog : public KeyDialog, public EditListener {
public:
    static constexpr int DIALOG_ID = 777;
    static constexpr int FIRST_BUTTON_ID = 600;
    static constexpr int NUM_DIFFICULTIES = 5;

    explicit DifficultyDialog(WinBTApp* app);
    ~DifficultyDialog() override;

    // The difficulty (0 Easy .. 4 X-Treme) that suits an average typing speed.
    static int RecommendedDifficulty(int averageWpm);

    int GetPreferredHeight(int width) override;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;

    DialogButton* Button(int difficulty) const { return mButtons[difficulty]; }
    int GetRecommended() const { return mRecommended; }

public:
    Font* mFont;
    WinBTApp* mApp;
    DialogButton* mEasyButton = nullptr;
    DialogButton* mNormalButton = nullptr;
    DialogButton* mHardButton = nullptr;
    DialogButton* mExpertButton = nullptr;
    DialogButton* mXtremeButton = nullptr;

private:
    DialogButton* mButtons[NUM_DIFFICULTIES] = {};
    int mRecommended = 0;
};

} // namespace Zant
