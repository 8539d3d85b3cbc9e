#include "game/shell/NewUserDialog.h"

#include <algorithm>

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/Rect.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

bool NaziEditListener::AllowChar(int id, char c)
{
    // Only single-byte printable characters: the fonts map 256 characters.
    const auto u = static_cast<unsigned char>(c);
    return u >= 32 && u < 127 && c != '^' && c != '\\' && c != '/';
}

NewUserDialog::NewUserDialog(WinBTApp* app, const std::string& prompt)
    : MoneyDialog(app, app->GetImage(IMAGE_DIALOG), app->GetImage(IMAGE_DBUTTON), DIALOG_ID, true, "NEW USER", prompt,
                  "", BUTTONS_OK_CANCEL),
      mEditWidget(new EditWidget(0, this))
{
    mTextAlign = -1;
    mEditWidget->SetFont(app->mFontRockwell13);
    const int colours[][4] = {{0, 0, 0, 0}, {0, 0, 0, 0}, {240, 240, 255, 255}, {255, 255, 255, 255}, {0, 0, 0, 255}};
    mEditWidget->SetColors(colours, 5);
    mEditWidget->mMaxChars = MAX_NAME_CHARS;
    mEditWidget->mMaxPixels = MAX_NAME_PIXELS;
}

NewUserDialog::~NewUserDialog() { delete mEditWidget; }

std::string NewUserDialog::GetName() const { return mEditWidget->mString; }

void NewUserDialog::EditWidgetText(int id, const std::string& text) { mApp->ButtonDepress(mId + ID_YES); }

int NewUserDialog::GetPreferredHeight(int width) { return MoneyDialog::GetPreferredHeight(width) + 56; }

void NewUserDialog::Resize(int x, int y, int width, int height)
{
    MoneyDialog::Resize(x, y, width, height);
    mEditWidget->Resize(mX + 48, mY + mHeight - 110, mWidth - 96, 24);
}

void NewUserDialog::Draw(Graphics* g)
{
    MoneyDialog::Draw(g);
    Image* frame = mApp->GetImage(IMAGE_EDITBOX);
    if (frame == nullptr)
        return;
    // Three cells: left end, a middle repeated across, right end.
    const int cell = frame->GetWidth() / 3;
    const int h = frame->GetHeight();
    const int left = mEditWidget->mX - mX - 4;
    const int top = mEditWidget->mY - mY - 4;
    const int width = mEditWidget->mWidth + 8;
    const int height = mEditWidget->mHeight + 8;
    if (cell <= 0 || width < 2 * cell)
        return;
    const Rect src(0, 0, cell, h);
    g->DrawImage(frame, Rect(left, top, cell, height), src);
    for (int x = left + cell; x < left + width - cell; x += cell) {
        const int w = std::min(cell, left + width - cell - x);
        g->DrawImage(frame, Rect(x, top, w, height), Rect(cell, 0, w, h));
    }
    g->DrawImage(frame, Rect(left + width - cell, top, cell, height), Rect(2 * cell, 0, cell, h));
}

void NewUserDialog::AddedToManager(WidgetManager* manager)
{
    MoneyDialog::AddedToManager(manager);
    manager->AddWidget(mEditWidget);
    manager->SetFocus(mEditWidget);
}

void NewUserDialog::RemovedFromManager(WidgetManager* manager)
{
    MoneyDialog::RemovedFromManager(manager);
    manager->RemoveWidget(mEditWidget);
}

} // namespace Zant
