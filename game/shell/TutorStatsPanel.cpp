#include "game/shell/TutorStatsPanel.h"

#include <algorithm>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/util/StringUtil.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/KeyboardGuide.h"
#include "game/shell/LessonManager.h"
#include "game/profile/UserProfile.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {

constexpr int LAST_LESSON = LessonManager::NUM_LESSONS - 1;
// The graph's area: the base line at y 340, at most 212 pixels of grid above it.
constexpr int GRAPH_HEIGHT = 212;
constexpr int BASE_Y = 340;
constexpr int AXIS_X = 273;
constexpr int BAR_WIDTH = 60;
constexpr int BAR_X[TutorialPanel::NUM_BARS] = {295, 405, 515};
constexpr int LABEL_X[TutorialPanel::NUM_BARS] = {295, 405, 518};
constexpr int LABEL_Y = 360;
// The graph card and the explanation above the graph, which stays on the card.
constexpr int CARD_X = 242;
constexpr int CARD_Y = 59;
constexpr int TEXT_X = 250;
constexpr int TEXT_Y = 79;
constexpr int CARD_MARGIN = 10;
// The card's brass frame and the shadow it casts inward take its last 14 pixels on
// the right; the bar labels keep a few pixels off them.
constexpr int CARD_FRAME_RIGHT = 14;
constexpr int LABEL_GAP = 4;
constexpr int AXIS_GAP = 4;
// The chip a bar's value is written on, and how far it reaches round the value.
const Color VALUE_CHIP(10, 20, 32, 170);
constexpr int VALUE_CHIP_MARGIN = 3;
const std::string BAR_LABELS[TutorialPanel::NUM_BARS] = {"Average", "Best", "Most Recent Attempt"};
const Color BAR_COLORS[TutorialPanel::NUM_BARS] = {Color(0, 0, 255, 128), Color(255, 0, 0, 128),
                                                   Color(0, 255, 0, 128)};
const char* const KIND_NAMES[] = {"Words Per Minute", "Adjusted WPM", "Accuracy"};
const char* const ZERO_TEXTS[] = {
    "Your words per minute is 0. Please try the lesson again.",
    "Your adjusted words per minute is 0. Please try the lesson again.",
    "Your accuracy is 0. Please try the lesson again.",
};
const char* const GRAPH_TEXTS[] = {
    "This graph shows your raw words per minute (WPM). It does not take into account any errors that you made.",
    "This graph shows your adjusted words per minute (AWPM). This takes into account the number of errors you "
    "made.",
    "This graph shows the accuracy with which you type. A higher accuracy means you typed more words with less "
    "errors.",
};

// The profile's lesson statistics keep raw WPM, adjusted WPM and accuracy in groups 1 to 3.
int GroupOf(int kind) { return kind + 1; }

} // namespace

TutorialPanel::TutorialPanel(WinBTApp* app) : mApp(app)
{
    Image* tabButton = mApp->GetImage(KeyboardGuide::ImageIndex("tab_button"));
    mNextButton = new DialogButton(tabButton, NEXT_BUTTON, this);
    mNextButton->mLabel = "Next Lesson";
    mPrevButton = new DialogButton(tabButton, PREV_BUTTON, this);
    mPrevButton->mLabel = "Previous Lesson";
    Image* inactive = mApp->GetImage(KeyboardGuide::ImageIndex("tab_radiobtn_inactive"));
    Image* active = mApp->GetImage(KeyboardGuide::ImageIndex("tab_radiobtn_active"));
    const std::pair<ButtonWidget**, std::pair<int, const char*>> radios[] = {
        {&mWpmRadio, {WPM_RADIO, "Words Per Minute"}},
        {&mAccuracyRadio, {ACCURACY_RADIO, "Accuracy"}},
        {&mAdjustedRadio, {ADJUSTED_RADIO, "Adjusted WPM"}},
    };
    for (const auto& [radio, idAndLabel] : radios) {
        *radio = new ButtonWidget(idAndLabel.first, this);
        (*radio)->mLabel = idAndLabel.second;
        (*radio)->mButtonImage = inactive;
        (*radio)->mDisabledImage = active;
    }
    for (ButtonWidget* button : {static_cast<ButtonWidget*>(mNextButton), static_cast<ButtonWidget*>(mPrevButton),
                                 mWpmRadio, mAccuracyRadio, mAdjustedRadio})
        if (mApp->mFontRockwell13 != nullptr)
            button->SetFont(mApp->mFontRockwell13);
    // The chosen measure is the disabled radio button.
    mWpmRadio->SetDisabled(true);
    mTimer = new BTTimer();
    mTimer->SetDisabled(true);
}

TutorialPanel::~TutorialPanel()
{
    delete mNextButton;
    delete mPrevButton;
    delete mWpmRadio;
    delete mAccuracyRadio;
    delete mAdjustedRadio;
    delete mTimer;
}

void TutorialPanel::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    manager->AddWidget(mTimer);
    mNextButton->Resize(60, 75, 150, 27);
    mNextButton->SetDisabled(mLessonIndex > LAST_LESSON - 1);
    mPrevButton->Resize(60, 105, 150, 27);
    mPrevButton->SetDisabled(mLessonIndex == 0);
    Image* radioImage = mApp->GetImage(KeyboardGuide::ImageIndex("tab_radiobtn_active"));
    const int width = radioImage != nullptr ? radioImage->GetWidth() : 150;
    const int height = radioImage != nullptr ? radioImage->GetHeight() : 25;
    mWpmRadio->Resize(60, 305, width, height);
    mAccuracyRadio->Resize(60, 305 + height, width, height);
    mAdjustedRadio->Resize(60, 305 + 2 * height, width, height);
    mAccuracyRadio->SetDisabled(false);
    mAdjustedRadio->SetDisabled(false);
    for (Widget* child : std::initializer_list<Widget*>{mNextButton, mPrevButton, mWpmRadio, mAccuracyRadio,
                                                        mAdjustedRadio}) {
        child->mDoFinger = true;
        manager->AddWidget(child);
        manager->BringToFront(child);
    }
}

void TutorialPanel::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    for (Widget* child : std::initializer_list<Widget*>{mTimer, mNextButton, mPrevButton, mWpmRadio,
                                                        mAccuracyRadio, mAdjustedRadio})
        manager->RemoveWidget(child);
}

void TutorialPanel::SetActive(bool active)
{
    mActive = active;
    SetVisible(active);
    for (Widget* child : std::initializer_list<Widget*>{mNextButton, mPrevButton, mWpmRadio, mAccuracyRadio,
                                                        mAdjustedRadio})
        child->SetVisible(active);
    if (active) {
        mPrevButton->SetVisible(mLessonIndex != 0);
        mNextButton->SetVisible(mLessonIndex + 1 < LessonManager::NUM_LESSONS);
    }
}

void TutorialPanel::ShowLesson(int n)
{
    for (int i = 0; i <= n && i < LessonManager::NUM_LESSONS; ++i)
        StepForward();
}

void TutorialPanel::ShowButton(Widget* button, bool shown)
{
    button->SetDisabled(!shown);
    button->mDoFinger = shown;
    button->SetVisible(shown && mVisible);
}

void TutorialPanel::StepForward()
{
    if (mLessonIndex + 1 < LessonManager::NUM_LESSONS) {
        ShowButton(mPrevButton, true);
        ++mLessonIndex;
        if (mLessonIndex == LAST_LESSON)
            ShowButton(mNextButton, false);
        BuildGraph();
    }
    SetTitle();
    MarkDirty();
}

void TutorialPanel::StepBack()
{
    if (mLessonIndex - 1 >= 0) {
        ShowButton(mNextButton, true);
        --mLessonIndex;
        if (mLessonIndex == 0)
            ShowButton(mPrevButton, false);
        BuildGraph();
    }
    SetTitle();
    MarkDirty();
}

void TutorialPanel::SelectKind(int kind)
{
    mGraphKind = kind;
    BuildGraph();
    mWpmRadio->SetDisabled(kind == KIND_WPM);
    mAdjustedRadio->SetDisabled(kind == KIND_ADJUSTED);
    mAccuracyRadio->SetDisabled(kind == KIND_ACCURACY);
}

void TutorialPanel::ButtonDepress(int id)
{
    switch (id) {
    case NEXT_BUTTON:
        StepForward();
        break;
    case PREV_BUTTON:
        StepBack();
        break;
    case WPM_RADIO:
        SelectKind(KIND_WPM);
        break;
    case ADJUSTED_RADIO:
        SelectKind(KIND_ADJUSTED);
        break;
    case ACCURACY_RADIO:
        SelectKind(KIND_ACCURACY);
        break;
    default:
        return;
    }
    MarkDirty();
}

TutorialPanel::Scale TutorialPanel::ComputeScale(int kind, int best)
{
    Scale s;
    if (kind == KIND_ACCURACY) {
        s.max = 100;
        s.step = 10;
        s.lines = 11;
        s.pixelsPerStep = 19;
        return s;
    }
    s.max = std::max(0, best);
    s.step = s.max > 9 ? 10 : 1;
    s.lines = s.max / s.step + 2;
    s.pixelsPerStep = GRAPH_HEIGHT / s.lines;
    return s;
}

void TutorialPanel::SetTitle()
{
    const char* kind = KIND_NAMES[mGraphKind];
    mGraphTitle = mLessonIndex == 0 ? FormatString("TYPING TEST: %s", kind)
                                    : FormatString("LESSON %d: %s", mLessonIndex, kind);
}

void TutorialPanel::BuildGraph()
{
    const int group = GroupOf(mGraphKind);
    const bool known = mProfile != nullptr && mLessonIndex >= 0 && mLessonIndex < LessonManager::NUM_LESSONS;
    const StatRecord record = known ? mProfile->mLessonStats[size_t(mLessonIndex)] : StatRecord();
    mScale = ComputeScale(mGraphKind, record.Best(group));
    const int values[NUM_BARS] = {record.Average(group), record.Best(group), record.Last(group)};
    bool any = false;
    for (int i = 0; i < NUM_BARS; ++i) {
        Bar& bar = mBars[size_t(i)];
        bar.value = values[i];
        // In proportion to the scale, the part between grid lines included.
        bar.target = std::max(0, mScale.pixelsPerStep * bar.value / mScale.step);
        bar.shown = 0;
        any = any || bar.target > 0;
        mValueTexts[size_t(i)] = FormatString(mGraphKind == KIND_ACCURACY ? "%d%%" : "%d", bar.value);
    }
    // One number for every grid line, however fast the best result.
    mGridTexts.clear();
    for (int i = 0; i < mScale.lines; ++i)
        mGridTexts.push_back(FormatString("%d", mScale.step * i));
    mText = any ? GRAPH_TEXTS[mGraphKind] : ZERO_TEXTS[mGraphKind];
    SetTitle();
    if (!known || mProfile->mLessonResult[size_t(mLessonIndex)] == -1)
        mText = "You have not completed this lesson yet.";
    MarkDirty();
}

void TutorialPanel::Update()
{
    Widget::Update();
    if (!mActive)
        return;
    if (mTimer->mStopped) {
        mTimer->SetDisabled(false);
        mTimer->Reset();
        return;
    }
    const bool growing = std::any_of(mBars.begin(), mBars.end(), [](const Bar& b) { return b.shown < b.target; });
    if (mTimer->GetElapsed() > 4 && growing) {
        for (Bar& bar : mBars)
            bar.shown = std::min(bar.shown + BAR_GROWTH, bar.target);
        MarkDirty();
        mTimer->Reset();
    }
}

void TutorialPanel::Draw(Graphics* g)
{
    if (!mActive)
        return;
    Image* card = mApp->GetImage(KeyboardGuide::ImageIndex("tab_panel_white"));
    if (card != nullptr)
        g->DrawImage(card, CARD_X, CARD_Y);
    Font* titleFont = mApp->mFontRockwell13Bold;
    Font* textFont = mApp->mFontRockwell13;
    int textBottom = TEXT_Y;
    g->SetColor(Color::Black);
    if (titleFont != nullptr) {
        g->SetFont(titleFont);
        WriteString(g, mGraphTitle, 245, 55, 350, 0);
    }
    if (textFont != nullptr) {
        g->SetFont(textFont);
        int width = mWidth - 275;
        if (card != nullptr)
            width = std::min(width, CARD_X + card->GetWidth() - CARD_MARGIN - TEXT_X);
        textBottom = TEXT_Y + WriteWordWrapped(g, Rect(TEXT_X, TEXT_Y, width, 2 * textFont->GetHeight()), mText);
    }
    const bool any = std::any_of(mBars.begin(), mBars.end(), [](const Bar& b) { return b.target > 0; });
    if (!any)
        return;

    g->SetColor(Color(255, 204, 0));
    g->FillRect(AXIS_X, BASE_Y, 309, 2);
    // The upright axis rises as far as the scale: to its top grid line, which whole
    // pixels per step leave below the graph's full height. It stops short of the
    // explanation's last line rather than running through its words.
    const int topLine = BASE_Y - mScale.pixelsPerStep * (mScale.lines - 1);
    const int axisTop = std::max(topLine, textBottom + AXIS_GAP);
    g->FillRect(AXIS_X, axisTop, 2, BASE_Y - axisTop);
    Font* gridFont = mApp->mFontMyriad12Bold;
    for (int i = 0; i < mScale.lines; ++i) {
        const int y = BASE_Y - mScale.pixelsPerStep * i;
        g->SetColor(Color::Black);
        g->FillRect(AXIS_X, y, 309, 2);
        if (gridFont != nullptr && i < int(mGridTexts.size())) {
            const std::string& text = mGridTexts[size_t(i)];
            g->SetFont(gridFont);
            g->DrawString(text, 271 - gridFont->StringWidth(text), y + gridFont->GetAscent() / 2);
        }
    }
    for (int i = 0; i < NUM_BARS; ++i) {
        const int h = mBars[size_t(i)].shown;
        if (h <= 0)
            continue;
        g->SetColor(Color(20, 20, 20, 128));
        g->FillRect(BAR_X[i] + 5, 345 - h, BAR_WIDTH, h - 5);
        g->SetColor(BAR_COLORS[i]);
        g->FillRect(BAR_X[i], BASE_Y - h, BAR_WIDTH, h);
    }
    if (textFont != nullptr) {
        g->SetFont(textFont);
        g->SetColor(Color::Black);
        // Centred under its bar, unless that would take it into the card's frame.
        const int cardRight = card != nullptr ? CARD_X + card->GetWidth() - CARD_FRAME_RIGHT - LABEL_GAP : mWidth;
        for (int i = 0; i < NUM_BARS; ++i) {
            const int width = textFont->StringWidth(BAR_LABELS[i]);
            const int x = std::min(LABEL_X[i] + (BAR_WIDTH - width) / 2, cardRight - width);
            WriteString(g, BAR_LABELS[i], x, LABEL_Y);
        }
    }
    if (titleFont != nullptr) {
        // White on bars of any colour: outlined, on a dark chip, since the pale
        // green bar would leave the letters held up by their rim alone.
        for (int i = 0; i < NUM_BARS; ++i) {
            const int y = BASE_Y + titleFont->GetAscent() / 2 - mBars[size_t(i)].shown / 2;
            if (y <= 0)
                continue;
            const int width = titleFont->StringWidth(mValueTexts[size_t(i)]) + 2 * VALUE_CHIP_MARGIN;
            g->SetColor(VALUE_CHIP);
            g->FillRect(BAR_X[i] + (BAR_WIDTH - width) / 2, y - titleFont->GetAscent() - VALUE_CHIP_MARGIN, width,
                        titleFont->GetHeight() + VALUE_CHIP_MARGIN);
            g->SetFont(mApp->OutlinedFont(titleFont));
            g->SetColor(Color::White);
            WriteString(g, mValueTexts[size_t(i)], BAR_X[i], y, BAR_WIDTH, 0);
        }
    }
}

} // namespace Zant
