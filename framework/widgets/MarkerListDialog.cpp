#include "framework/widgets/MarkerListDialog.h"

#include "framework/app/ZantApp.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/ControlFont.h"
#include "framework/widgets/ListWidget.h"
#include "framework/widgets/WidgetManager.h"

namespace Zant {

namespace {

constexpr int KEY_ESCAPE = 27;
constexpr int MARGIN = 12;
// Room for the title and the hint line above the list.
constexpr int LIST_TOP = 64;

} // namespace

MarkerListDialog::MarkerListDialog(ZantApp* app, const std::vector<std::string>& entries,
                                   const std::vector<int>& updates)
    : Dialog(nullptr, nullptr, ID, true, "Marker List", "Click a marker to jump to it. Escape closes the list.", "",
             BUTTONS_NONE),
      mApp(app), mUpdates(updates), mFont(CreateControlFont(10))
{
    mContentInsets = Insets{MARGIN, MARGIN, MARGIN, MARGIN};
    mTextAlign = -1;
    mColors = {Color(0, 0, 0), Color(0, 0, 0), Color(0, 0, 0), Color(0, 0, 0), Color(0, 0, 0)};
    mList = new ListWidget(LIST_ID, mFont.get(), this);
    for (const std::string& entry : entries)
        mList->AddLine(entry, false);
}

MarkerListDialog::~MarkerListDialog()
{
    if (mList->mWidgetManager != nullptr)
        mList->mWidgetManager->RemoveWidget(mList);
    delete mList;
}

void MarkerListDialog::AddedToManager(WidgetManager* manager)
{
    Dialog::AddedToManager(manager);
    manager->AddWidget(mList);
}

void MarkerListDialog::RemovedFromManager(WidgetManager* manager)
{
    Dialog::RemovedFromManager(manager);
    manager->RemoveWidget(mList);
}

void MarkerListDialog::Resize(int x, int y, int width, int height)
{
    Dialog::Resize(x, y, width, height);
    mList->Resize(mX + MARGIN, mY + LIST_TOP, mWidth - 2 * MARGIN, mHeight - LIST_TOP - MARGIN);
}

void MarkerListDialog::Draw(Graphics* g)
{
    // A plain window look: the framework has no frame picture of its own.
    g->SetColor(Color(224, 224, 224));
    g->FillRect(0, 0, mWidth, mHeight);
    g->SetColor(Color(0, 0, 0));
    g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
    Dialog::Draw(g);
}

void MarkerListDialog::KeyDown(int key)
{
    if (key == KEY_ESCAPE)
        Choose(-1);
    else
        Dialog::KeyDown(key);
}

void MarkerListDialog::ListClicked(int id, int index, int clickCount) { Choose(index); }

void MarkerListDialog::Choose(int index)
{
    if (index >= 0 && index < static_cast<int>(mUpdates.size()))
        mApp->ChooseDemoMarker(mUpdates[static_cast<size_t>(index)]);
    // No catch-up for the time the list was open.
    mApp->ResetFrameClock();
    mApp->RemoveDialog(ID);
}

} // namespace Zant
