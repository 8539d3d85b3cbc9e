#pragma once
// The box shown while the application asks its update server whether a newer
// version exists: a scrolling waiting bar and a cancel button. Once the check
// ends it shows the answer as a new dialog: a newer version (id + 10000, YES/NO),
// up to date (id + 20000, OK), or, when the check failed or the reply could not
// be read, that the check could not be completed (id + 20000, OK).
#include <string>

#include "framework/widgets/Dialog.h"

namespace Zant {

class InternetManager;

class UpdateCheckDialog : public Dialog {
public:
    static constexpr int NEW_VERSION_OFFSET = 10000;
    static constexpr int RESULT_OFFSET = 20000;
    static constexpr int BAR_PERIOD = 32;
    static constexpr int BAR_HEIGHT = 16;

    UpdateCheckDialog(Image* componentImage, Image* buttonImage, Image* barImage, int dialogId);

    int GetPreferredHeight(int width) override;
    void Draw(Graphics* g) override;
    void Update() override;

    // A reply the update server could have sent: its first non-empty line is a number.
    static bool IsReadableReply(const std::string& body);
    // Where the bar lies inside the dialog.
    Rect BarRect() const;

public:
    Image* mBarImage; // not owned
    bool mDone = false;
    int mBarOffset = 0;
    int mBarAreaHeight = 66;

private:
    // Shows the answer dialog and places it up and to the right of this one.
    void ShowAnswer(int id, const char* header, const char* lines, const char* footer, int buttonMode);
    static std::string Text(const char* key);
};

} // namespace Zant
