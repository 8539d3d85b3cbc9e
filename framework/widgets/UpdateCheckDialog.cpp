#include "framework/widgets/UpdateCheckDialog.h"

#include "framework/app/ZantApp.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/net/InternetManager.h"

namespace Zant {

namespace {

// Check states of InternetManager::GetCheckState.
constexpr int CHECK_FINISHED = 2;
constexpr int CHECK_FAILED = 3;

// Texts used when neither the properties nor the application's defaults have them.
struct Fallback {
    const char* key;
    const char* text;
};
constexpr Fallback FALLBACKS[] = {
    {"UPDATE_CHECK_FAILED_TITLE", "UPDATE CHECK"},
    {"UPDATE_CHECK_FAILED_BODY", "The update check could not be completed. Please try again later."},
    {"DIALOG_BUTTON_OK", "OK"},
    {"DIALOG_BUTTON_CANCEL", "CANCEL"},
};

} // namespace

std::string UpdateCheckDialog::Text(const char* key)
{
    std::string fallback;
    for (const Fallback& f : FALLBACKS)
        if (std::string(f.key) == key)
            fallback = f.text;
    if (gZantApp == nullptr)
        return fallback;
    auto known = gZantApp->mDialogStrings.find(key);
    if (known != gZantApp->mDialogStrings.end())
        fallback = known->second;
    return gZantApp->LookupStringProperty(key, fallback);
}

UpdateCheckDialog::UpdateCheckDialog(Image* componentImage, Image* buttonImage, Image* barImage, int dialogId)
    : Dialog(componentImage, buttonImage, dialogId, true, Text("UPDATE_CHECK_TITLE"), Text("UPDATE_CHECK_BODY"),
             Text("DIALOG_BUTTON_CANCEL"), BUTTONS_FOOTER),
      mBarImage(barImage)
{
}

int UpdateCheckDialog::GetPreferredHeight(int width) { return Dialog::GetPreferredHeight(width) + BAR_PERIOD; }

Rect UpdateCheckDialog::BarRect() const
{
    return Rect(mContentInsets.mLeft + 24, mHeight - mBarAreaHeight - mContentInsets.mBottom,
                mWidth - mContentInsets.mRight - mContentInsets.mLeft - 48, BAR_HEIGHT);
}

void UpdateCheckDialog::Draw(Graphics* g)
{
    Dialog::Draw(g);
    const Rect bar = BarRect();
    if (mBarImage != nullptr) {
        Graphics clipped(*g);
        clipped.ClipRect(bar);
        const int tiles = bar.width / BAR_PERIOD + 2;
        for (int i = 0; i < tiles; ++i)
            clipped.DrawImage(mBarImage, bar.x - mBarOffset + i * BAR_PERIOD, bar.y);
    }
    g->SetColor(Color(0, 0, 0));
    g->DrawRect(bar.x - 1, bar.y - 1, bar.width + 1, bar.height + 1);
}

bool UpdateCheckDialog::IsReadableReply(const std::string& body)
{
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('\n', start);
        if (end == std::string::npos)
            end = body.size();
        std::string line = body.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty()) {
            size_t digits = line[0] == '-' ? 1 : 0;
            const size_t first = digits;
            while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9')
                ++digits;
            return digits > first && digits == line.size();
        }
        start = end + 1;
    }
    return false;
}

void UpdateCheckDialog::ShowAnswer(int id, const char* header, const char* lines, const char* footer,
                                   int buttonMode)
{
    Dialog* answer = gZantApp->ShowDialog(id, true, Text(header), Text(lines), footer ? Text(footer) : "",
                                          buttonMode);
    if (answer != nullptr)
        answer->Move(mX + 32, mY - 32);
}

void UpdateCheckDialog::Update()
{
    Dialog::Update();
    if (mDone)
        return;
    if (mUpdateCnt % 3 == 0) {
        mBarOffset = (mBarOffset + 1) % BAR_PERIOD;
        MarkDirty();
    }
    InternetManager* internet = gZantApp != nullptr ? gZantApp->mInternetManager : nullptr;
    if (internet == nullptr)
        return;
    const int state = internet->GetCheckState();
    if (state != CHECK_FINISHED && state != CHECK_FAILED)
        return;
    mDone = true;
    // A failed transfer, or a body that is no update reply (an error page, a cut-off
    // answer), is told as a failure: never as "up to date".
    if (state == CHECK_FAILED || !IsReadableReply(internet->GetUpdateCheckTransfer().GetContent())) {
        ShowAnswer(mId + RESULT_OFFSET, "UPDATE_CHECK_FAILED_TITLE", "UPDATE_CHECK_FAILED_BODY", "DIALOG_BUTTON_OK",
                   BUTTONS_FOOTER);
        return;
    }
    internet->PruneDownloadList();
    if (internet->GetUpdateState())
        ShowAnswer(mId + NEW_VERSION_OFFSET, "NEW_VERSION_TITLE", "NEW_VERSION_BODY", nullptr, BUTTONS_YES_NO);
    else
        ShowAnswer(mId + RESULT_OFFSET, "UP_TO_DATE_TITLE", "UP_TO_DATE_BODY", "DIALOG_BUTTON_OK", BUTTONS_FOOTER);
}

} // namespace Zant
