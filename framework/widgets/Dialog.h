#pragma once
// The framework's message box: a draggable framed widget with a centred header,
// word-wrapped lines, an optional footer and zero, one or two buttons along the
// bottom. Its buttons answer with ids derived from the dialog's own id (id + 2000
// for YES, OK or the single button; id + 3000 for NO or CANCEL), which it passes on
// to the application. The application keeps open dialogs by id.
#include <string>

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

namespace Zant {

class DialogButton;
class Font;

// Button captions.
extern const std::string DIALOG_YES_STRING;
extern const std::string DIALOG_NO_STRING;
extern const std::string DIALOG_OK_STRING;
extern const std::string DIALOG_CANCEL_STRING;

class Dialog : public Widget, public ButtonListener {
public:
    // Offsets of the two buttons' ids from the dialog's id.
    static constexpr int ID_YES = 2000;
    static constexpr int ID_NO = 3000;

    Dialog(Image* componentImage, Image* buttonImage, int dialogId, bool isModal, const std::string& header,
           const std::string& lines, const std::string& footer, int buttonMode);
    ~Dialog() override;

    virtual void SetButtonFont(Font* font);
    virtual void SetHeaderFont(Font* font);
    virtual void SetLinesFont(Font* font);
    // The height that shows everything at this width.
    virtual int GetPreferredHeight(int width);
    virtual bool IsModal();

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    using Widget::SetColor;
    void SetColor(int index, const Color& color) override;
    using Widget::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    using Widget::MouseUp;
    void MouseUp(int x, int y) override;

    using ButtonListener::ButtonPress;
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;
    void ButtonDownTick(int id) override;

public:
    Image* mComponentImage; // not owned
    Image* mButtonImage;    // not owned
    DialogButton* mYesButton = nullptr; // owned
    DialogButton* mNoButton = nullptr;  // owned
    std::string mDialogHeader;
    std::string mDialogFooter;
    std::string mDialogLines;
    int mButtonMode;
    Font* mHeaderFont = nullptr; // owned
    Font* mLinesFont = nullptr;  // owned
    int mTextAlign = 0;
    int mLineSpacingOffset = 0;
    Insets mBackgroundInsets;
    Insets mContentInsets{24, 24, 24, 24};
    int mSpaceAfterHeader = 10;
    bool mDragging = false;
    int mDragMouseX = 0;
    int mDragMouseY = 0;
    int mId;
    bool mIsModal;
    int mButtonHorzSpacing = 8;
    int mButtonSidePadding = 0;

protected:
    // Makes the default header and lines fonts that were not set.
    void EnsureFonts();
    bool IsOwnAnswer(int id) const { return id == mId + ID_YES || id == mId + ID_NO; }
    ButtonListener* Application();
    int LinesWidth(int width) const;
};

} // namespace Zant
