#include "game/shell/TypingTutor.h"

#include <algorithm>
#include <climits>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/StringUtil.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/Lesson.h"
#include "game/shell/LessonManager.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {

constexpr int LAST_LESSON = LessonManager::NUM_LESSONS - 1;
// Lessons from this one on show whether they were passed.
constexpr int FIRST_JUDGED_LESSON = 8;
constexpr int LINES_PER_PAGE = 4;
constexpr int CARET_ROOM = 3;

const Color GREEN(0, 255, 0);
// Texts drawn on every frame, made once.
const std::string PASSED_TEXT = "PASSED!";
const std::string FAILED_TEXT = "FAILED!";
const std::string START_TEXT = "Start typing to begin";
const std::string STATISTICS_TEXT = "STATISTICS";
// The side panel between its rules, on whose centre its headings stand.
constexpr int PANEL_LEFT = 472;
constexpr int PANEL_WIDTH = 152;
constexpr int CENTRED = 0;
const std::string RESULTS_TEXT = "Your words per minute (WPM) are shown below. The adjusted WPM is shown just below that. "
                                 "Your adjusted WPM takes into account the number of errors you made while typing.";
const Color WHITE(255, 255, 255);
const Color HEADING_COLOR(0, 200, 230);
// The verdicts' green (0, 220, 0) and red (255, 0, 0) and the clock's red, each
// darkened (scaled towards black, keeping its hue) as far as it takes to read at
// 4.5:1 by itself on the cream panel where it stands.
const Color PASSED_COLOR(0, 124, 0);
const Color FAILED_COLOR(215, 0, 0);
// The clock's red keeps a margin (about 5:1) over the panel's lightest part.
const Color CLOCK_COLOR(182, 0, 0);


struct ButtonPlace {
    int id;
    const char* label;
    int x, y, width, height;
};

// Next, Prev, Back To Menu, Options.
const ButtonPlace BUTTON_PLACES[] = {
    {TypingTutor::NEXT_BUTTON, "Next", 587, 380, 50, 30},
    {TypingTutor::PREV_BUTTON, "Prev", 468, 380, 50, 30},
    {TypingTutor::MENU_BUTTON, "Back To Menu", 466, 447, 170, 25},
    {TypingTutor::OPTIONS_BUTTON, "Options", 466, 425, 170, 25},
};

bool IsLineEndOrSpace(char c) { return c == '\r' || c == '\n' || c == ' '; }

// A one-pixel line from x1 to x2, both ends included, in the current colour.
void HorizontalLine(Graphics* g, int x1, int x2, int y) { g->FillRect(x1, y, x2 - x1 + 1, 1); }

} // namespace

// ---- Construction.

TypingTutor::TypingTutor(WinBTApp* app, const std::string& dataFolder) : mFish(app), mApp(app)
{
    Image* buttonImage = mApp->GetImage(KeyboardGuide::ImageIndex("dbutton"));
    if (buttonImage != nullptr)
        mDisabledButtonImage = mApp->TransformImagePixels(buttonImage, Color(255, 255, 255, 128));
    mNextButton = MakeButton(0);
    mPrevButton = MakeButton(1);
    mMenuButton = MakeButton(2);
    mOptionsButton = MakeButton(3);

    mLessonManager = new LessonManager(mApp);
    mLessonManager->mDataFolder = dataFolder;

    mSecondTimer = new BTTimer();
    mBlinkTimer = new BTTimer();
    mErrorBlinkTimer = new BTTimer();
    mErrorBlinkTimer->SetDisabled(true);

    // A new player starts with the typing test, everyone else where they left off.
    int start = 0;
    if (const UserProfile* profile = mApp->mCurProfile) {
        start = std::clamp(profile->mLastLesson, 0, LAST_LESSON);
        if (start == 0 && profile->mLessonResult[0] == 1)
            start = 1;
    }
    for (int i = 0; i <= start; ++i) {
        MoveForward();
        if (GetLessonIndex() != i)
            break; // a lesson that cannot be read
    }
    if (GetLessonIndex() == 0)
        mPrevButton->SetVisible(false);
}

DialogButton* TypingTutor::MakeButton(int place)
{
    auto* button = new DialogButton(mApp->GetImage(KeyboardGuide::ImageIndex("dbutton")), BUTTON_PLACES[place].id,
                                    this);
    button->mDisabledImage = mDisabledButtonImage;
    mApp->DressLightButton(button);
    return button;
}

TypingTutor::~TypingTutor()
{
    const int index = GetLessonIndex();
    if (UserProfile* profile = mApp->mCurProfile; profile != nullptr && index >= 0) {
        // Leaving the typing test moves the player on to the first lesson.
        profile->mLastLesson = index == 0 ? 1 : index;
        if (mApp->mProfileMgr != nullptr)
            mApp->mProfileMgr->WriteUserProfileToRegistry(profile, false, false);
    }
    for (DialogButton* button : {mNextButton, mPrevButton, mMenuButton, mOptionsButton})
        delete button;
    delete mDisabledButtonImage;
    delete mLessonManager;
    delete mSecondTimer;
    delete mBlinkTimer;
    delete mErrorBlinkTimer;
}

void TypingTutor::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    DialogButton* buttons[] = {mNextButton, mPrevButton, mMenuButton, mOptionsButton};
    for (size_t i = 0; i < std::size(buttons); ++i) {
        const ButtonPlace& place = BUTTON_PLACES[i];
        buttons[i]->Resize(place.x, place.y, place.width, place.height);
        buttons[i]->mLabel = place.label;
    }
    for (BTTimer* timer : {mSecondTimer, mBlinkTimer, mErrorBlinkTimer})
        manager->AddWidget(timer);
    for (DialogButton* button : buttons) {
        manager->AddWidget(button);
        manager->BringToFront(button);
    }
}

void TypingTutor::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    for (Widget* widget : std::initializer_list<Widget*>{mNextButton, mPrevButton, mMenuButton, mOptionsButton,
                                                         mSecondTimer, mBlinkTimer, mErrorBlinkTimer})
        manager->RemoveWidget(widget);
}

// ---- Focus and mouse.

void TypingTutor::GotFocus()
{
    Widget::GotFocus();
    mPauseCount = std::max(0, mPauseCount - 1);
    for (DialogButton* button : {mNextButton, mPrevButton, mMenuButton, mOptionsButton})
        button->SetDisabled(false);
}

void TypingTutor::LostFocus()
{
    Widget::LostFocus();
    ++mPauseCount;
    MarkDirty();
    for (DialogButton* button : {mNextButton, mPrevButton, mMenuButton, mOptionsButton}) {
        button->SetDisabled(true);
        button->MarkDirty();
    }
}

void TypingTutor::MouseMove(int x, int y)
{
    Widget::MouseMove(x, y);
    mApp->SelectCursor(CURSOR_POINTER);
}

// ---- Buttons.

void TypingTutor::ButtonPress(int id) { mApp->PlaySound(SOUND_BUTTONCLICK); }

void TypingTutor::ButtonDepress(int id)
{
    switch (id) {
    case NEXT_BUTTON:
        mPrevButton->SetVisible(true);
        MoveForward();
        break;
    case PREV_BUTTON:
        mNextButton->SetVisible(true);
        MoveBack();
        break;
    case MENU_BUTTON:
        MarkDirty();
        mAskedQuit = true;
        mApp->DoMessageDialog2("QUIT?", "Are you sure you want\nto quit the typing tutor?\n", "", true, "YES", "NO");
        break;
    case OPTIONS_BUTTON:
        MarkDirty();
        break;
    default:
        break;
    }
}

// ---- Moving between lessons.

int TypingTutor::GetLessonIndex() const { return mLesson != nullptr ? mLessonManager->mCurLesson : -1; }

void TypingTutor::MoveForward()
{
    if (mLesson == nullptr && !mLessonManager->GetFailedFile().empty())
        return; // a lesson could not be read: the tutor has stopped
    if (mLessonManager->mCurLesson + 1 < LessonManager::NUM_LESSONS) {
        if (mLesson != nullptr)
            mLesson->ResetProgress();
        if (!EnterLesson(mLessonManager->LoadLesson()))
            return;
    }
    if (mLessonManager->mCurLesson + 1 > LAST_LESSON)
        mNextButton->SetVisible(false);
    MarkDirty();
}

void TypingTutor::MoveBack()
{
    if (mLesson == nullptr)
        return;
    if (mLessonManager->mCurLesson > 0) {
        mLesson->ResetProgress();
        if (!EnterLesson(mLessonManager->PrevLesson()))
            return;
        if (mLessonManager->mCurLesson == 0)
            mPrevButton->SetVisible(false);
    }
    MarkDirty();
}

bool TypingTutor::EnterLesson(Lesson* lesson)
{
    if (lesson == nullptr) {
        // A lesson file is part of the installation: without it the tutor cannot go
        // on, and the program stops as it does for any missing data file.
        mLesson = nullptr;
        mState = STATE_RESULTS;
        mApp->ShowMessage(WinBTApp::MissingFileMessage(mLessonManager->GetFailedFile()));
        mApp->mExitCode = EXIT_FATAL;
        mApp->mCloseRequest = true;
        MarkDirty();
        return false;
    }
    mLesson = lesson;
    mLesson->ResetProgress();
    ResetAttempt();
    PrepareNextChar();
    return true;
}

void TypingTutor::ResetAttempt()
{
    mTimeLeft = mLesson->mLessonTime;
    mCurTask = mErrors = mCorrect = mTyped = 0;
    mState = STATE_WAITING;
    mFirstTry = true;
    mElapsed = 0;
    mExpectedChar = ' ';
    mGuide.ResetFingers();
    mGuide.Clear();
    mFirstVisibleLine = 0;
    mSecondTimer->SetDisabled(true);
    RefreshTexts();
}

LessonTask* TypingTutor::CurrentTask() const
{
    if (mLesson == nullptr || mCurTask < 0 || mCurTask >= int(mLesson->mTasks.size()))
        return nullptr;
    return &mLesson->mTasks[size_t(mCurTask)];
}

void TypingTutor::PrepareNextChar()
{
    mGuide.Clear();
    const LessonTask* task = CurrentTask();
    if (task == nullptr)
        return;
    mExpectedChar = task->mLines[size_t(task->mCurLine)][size_t(task->mCurPos)];
    mGuide.Prepare(mExpectedChar);
    mFirstTry = true;
}

// ---- Typing.

void TypingTutor::PlayTypeSound() { mApp->PlaySound(SOUND_TYPE + mApp->GetGameRandom().Next() % 3); }

void TypingTutor::KeyChar(char c)
{
    MarkDirty();
    LessonTask* task = CurrentTask();
    if (mState == STATE_RESULTS || task == nullptr)
        return;
    if (mState == STATE_WAITING) {
        mSecondTimer->SetDisabled(false);
        mSecondTimer->Reset();
        mState = STATE_TYPING;
        mFish.Clear();
    }
    mApp->SelectCursor(CURSOR_NONE);

    const std::string& line = task->mLines[size_t(task->mCurLine)];
    const int pos = task->mCurPos;
    // A space or line end at either end of a line only clicks: it is neither progress
    // nor an error.
    if ((pos == 0 || pos == int(line.size()) - 1) && IsLineEndOrSpace(c)) {
        PlayTypeSound();
        return;
    }
    if (c != mExpectedChar) {
        if (mFirstTry) {
            mErrorBlinkTimer->SetDisabled(false);
            mErrorBlinkTimer->Reset();
            mShowHighlights = true;
            mFirstTry = false;
            ++mErrors;
            RefreshTexts();
        }
        mApp->PlaySound(SOUND_WRONG);
        return;
    }
    mErrorBlinkTimer->SetDisabled(true);
    mShowHighlights = true;
    mShowUnderline = true;
    mBlinkTimer->Reset();
    PlayTypeSound();
    ++mTyped;
    if (mFirstTry)
        ++mCorrect;
    Advance();
    if (mState == STATE_TYPING)
        PrepareNextChar();
}

void TypingTutor::Advance()
{
    LessonTask* task = CurrentTask();
    if (++task->mCurPos >= int(task->mLines[size_t(task->mCurLine)].size())) {
        task->mCurPos = 0;
        ++task->mCurLine;
    }
    if (task->mCurLine >= int(task->mLines.size())) {
        ++mCurTask;
        task = CurrentTask();
        if (task == nullptr) {
            EndLesson();
            return;
        }
        task->mCurLine = 0;
        task->mCurPos = 0;
        mFirstVisibleLine = 0;
        RefreshTexts();
    }
    // The text is shown in pages of four lines.
    if (task->mCurLine % LINES_PER_PAGE == 0)
        mFirstVisibleLine = task->mCurLine;
}

// ---- Updates.

void TypingTutor::Update()
{
    Widget::Update();
    if (mPauseCount > 0)
        return;
    if (mState == STATE_TYPING) {
        if (mErrorBlinkTimer->GetElapsed() > 399) {
            mShowHighlights = !mShowHighlights;
            mErrorBlinkTimer->Reset();
            MarkDirty();
        }
        if (mSecondTimer->GetElapsed() > 999) {
            ++mElapsed;
            bool timeUp = false;
            if (mLesson->mLessonTime != -1) {
                --mTimeLeft;
                RefreshTexts();
                timeUp = mTimeLeft < 1;
            }
            if (timeUp) {
                EndLesson();
                mSecondTimer->SetDisabled(true);
            } else {
                mSecondTimer->Reset();
            }
        }
    }
    if (mState == STATE_WAITING || mState == STATE_TYPING) {
        if (mBlinkTimer->GetElapsed() > 499) {
            MarkDirty();
            mBlinkTimer->Reset();
            mShowUnderline = !mShowUnderline;
        }
    }
    if (mState == STATE_WAITING || mState == STATE_RESULTS) {
        if (mUpdateCnt % 5 == 0 && mFish.Count() < TutorFish::MAX_FISH)
            mFish.Add(mWidth, mHeight);
        mFish.Update();
        MarkDirty();
    }
}

// ---- Results.

TypingTutor::Results TypingTutor::ComputeResults(int elapsedSeconds, int typed, int correct, int errors)
{
    Results r;
    if (elapsedSeconds > 0) {
        const double minutes = elapsedSeconds / 60.0;
        r.adjWpm = std::max(0, int(correct * 0.2 / minutes));
        r.rawWpm = std::max(0, int(typed * 0.2 / minutes));
    }
    if (errors + correct > 0)
        r.accuracy = int(double(correct) / (errors + correct) * 100);
    return r;
}

const char* TypingTutor::TypingLevel(int adjWpm)
{
    if (adjWpm >= 80)
        return "^5600D4^X-Treme";
    if (adjWpm >= 60)
        return "^5600D4^Expert";
    if (adjWpm >= 40)
        return "^5600D4^Hard";
    if (adjWpm >= 30)
        return "^5600D4^Normal";
    return "^5600D4^Easy";
}

void TypingTutor::EndLesson()
{
    const int maxErrors = mLesson->mMaxErrors != -1 ? mLesson->mMaxErrors : INT_MAX;
    const int minWpm = mLesson->mMinWpm != -1 ? mLesson->mMinWpm : -50;
    int minTasks = mLesson->mMinTasks != -1 ? mLesson->mMinTasks : int(mLesson->mTasks.size());
    if (minTasks == 0)
        minTasks = -5;
    const int minAccuracy = mLesson->mMinAccuracy != -1 ? mLesson->mMinAccuracy : -10;

    mApp->SelectCursor(CURSOR_POINTER);
    mState = STATE_RESULTS;
    const Results r = ComputeResults(mElapsed, mTyped, mCorrect, mErrors);
    mRawWpm = r.rawWpm;
    mAdjWpm = r.adjWpm;
    mAccuracy = r.accuracy;
    const bool passed =
        mErrors <= maxErrors && mAdjWpm >= minWpm && mCurTask >= minTasks && mAccuracy >= minAccuracy;
    RecordResults(passed);

    mGuide.ResetFingers();
    mGuide.Clear();
    mSecondTimer->SetDisabled(true);
    RefreshTexts();

    if (GetLessonIndex() > 0) {
        mAskedViewStats = true;
        mApp->DoMessageDialog2("VIEW STATS?", "Would you like to view your typing stats?", "", true, "YES", "NO");
    } else {
        mAskedQuit = true;
        mApp->DoMessageDialog("Test Completed!",
                              FormatString("Your raw Words Per Minute score is %d WPM. Adjusted for the number of "
                                           "errors you made, your final WPM is:\n\n      ^5600D4^%d Words Per "
                                           "Minute\n\n   ^000000^Your typing level is: %s.\n\n\n\n",
                                           mRawWpm, mAdjWpm, TypingLevel(mAdjWpm)),
                              "Return to Main Menu", false);
    }
}

void TypingTutor::RecordResults(bool passed)
{
    const int index = GetLessonIndex();
    UserProfile* profile = mApp->mCurProfile;
    if (profile == nullptr) {
        if (passed)
            mLesson->mResult = 1;
        return;
    }
    profile->AddLessonStat1(mRawWpm, index);
    profile->AddLessonStat2(mAdjWpm, index);
    profile->AddLessonStat3(mAccuracy, index);
    int& stored = profile->mLessonResult[size_t(index)];
    if (passed) {
        stored = 1;
        mLesson->mResult = 1;
    } else if (stored == -1) {
        // A lesson once passed stays passed.
        stored = 0;
        mLesson->mResult = 0;
    }
    profile->AddWpm(mAdjWpm);
    profile->mLastLesson = index;
    if (mApp->mProfileMgr != nullptr)
        mApp->mProfileMgr->WriteUserProfileToRegistry(profile, false, false);
}

// ---- Drawing.

void TypingTutor::RefreshTexts()
{
    const int index = GetLessonIndex();
    mTitleText = index == 0 ? std::string("TYPING TEST") : FormatString("LESSON %d", index);
    mTimeText = mTimeLeft % 60 < 10 ? FormatString("TIME %d:0%d", mTimeLeft / 60, mTimeLeft % 60)
                                    : FormatString("TIME %d:%d", mTimeLeft / 60, mTimeLeft % 60);
    const size_t tasks = mLesson != nullptr ? mLesson->mTasks.size() : 0;
    mProgressText = FormatString("%d%% COMPLETE", tasks > 0 ? int(mCurTask * 100 / int(tasks)) : 0);
    mErrorsText = FormatString("%d ERRORS", mErrors);
    mRawWpmText = FormatString("%d WPM", mRawWpm);
    mAdjWpmText = FormatString("%d WPM Adjusted", mAdjWpm);
    mAccuracyText = FormatString("%d%% Accuracy", mAccuracy);
}

int TypingTutor::TypedWidth(Font* font, const std::string& line, int count) const
{
    int width = 0;
    for (int i = 0; i < count && i < int(line.size()); ++i)
        width += font->CharWidth(line[size_t(i)]);
    return width;
}

void TypingTutor::Draw(Graphics* g)
{
    if (Image* water = mApp->GetImage(IMAGE_WATER1))
        g->DrawImage(water, 0, 0);
    if (mState != STATE_TYPING)
        mFish.Draw(g);
    if (Image* background = mApp->GetImage(KeyboardGuide::ImageIndex("tutor_bg")))
        g->DrawImage(background, 0, 0);
    if (mLesson != nullptr)
        DrawPanel(g);

    if (mPauseCount > 0) {
        g->SetColor(Color(0, 0, 0, 128));
        g->FillRect(0, 0, 464, mHeight);
        if (Font* font = mApp->mFontSwiss24) {
            static const std::string PAUSED = "PAUSED";
            g->SetFont(font);
            g->SetColor(Color(200, 200, 200));
            g->DrawString(PAUSED, 231 - font->StringWidth(PAUSED) / 2,
                          mHeight / 2 - font->GetHeight() / 2 + font->GetAscent());
        }
    }
}

void TypingTutor::DrawPanel(Graphics* g)
{
    Font* font = mApp->mFontMyriad14Bold;
    const int index = GetLessonIndex();
    if (font != nullptr) {
        g->SetFont(font);
        g->SetColor(Color::Black);
        WriteString(g, mTitleText, 472, 75);
        if (index >= FIRST_JUDGED_LESSON && mLesson->mResult == 1) {
            g->SetColor(PASSED_COLOR);
            WriteString(g, PASSED_TEXT, 472, 75, 145, 1);
        } else if (index >= FIRST_JUDGED_LESSON && mLesson->mResult == 0) {
            g->SetColor(FAILED_COLOR);
            WriteString(g, FAILED_TEXT, 472, 75, 145, 1);
        }
    }
    g->SetColor(Color::Black);
    HorizontalLine(g, 472, 617, 86);

    mGuide.Draw(g, mApp, font, mShowHighlights);

    if (mState == STATE_RESULTS) {
        DrawResults(g);
        return;
    }
    if (mApp->mFontGillSans10Bold != nullptr) {
        g->SetFont(mApp->mFontGillSans10Bold);
        g->SetColor(Color::Black);
        WriteWordWrapped(g, Rect(472, 95, 152, 127), mLesson->mDescription);
    }
    const LessonTask* task = CurrentTask();
    if (font != nullptr && task != nullptr) {
        g->SetFont(font);
        g->SetColor(HEADING_COLOR);
        WriteWordWrapped(g, Rect(10, 5, 460, 55), task->mHeading);
        DrawLines(g, *task);
    }

    g->SetColor(Color::Black);
    HorizontalLine(g, 472, 624, 247);
    if (mLesson->mLessonTime != -1 && mApp->mFontRockwell13 != nullptr) {
        g->SetFont(mApp->mFontRockwell13);
        g->SetColor(CLOCK_COLOR);
        WriteString(g, mTimeText, PANEL_LEFT, 270, PANEL_WIDTH, CENTRED);
    }
    g->SetColor(Color::Black);
    HorizontalLine(g, 472, 624, 280);
    if (font != nullptr) {
        g->SetFont(font);
        g->SetColor(Color::Black);
        if (mState == STATE_WAITING) {
            WriteString(g, START_TEXT, 472, 300);
        } else {
            WriteString(g, mProgressText, 472, 300);
            WriteString(g, mErrorsText, 472, 310 + font->GetHeight());
        }
    }
}

void TypingTutor::DrawLines(Graphics* g, const LessonTask& task)
{
    Font* font = g->GetFont();
    const bool typing = mState == STATE_TYPING && mPauseCount == 0;
    const int last = std::min(mFirstVisibleLine + LINES_PER_PAGE, int(task.mLines.size()));
    // A whole line's height and a little more from one line to the next: the caret
    // under the current letter stays clear of the line below.
    const int step = font->GetHeight() + CARET_ROOM;
    int y = 65;
    for (int i = mFirstVisibleLine; i < last; ++i, y += step) {
        const std::string& line = task.mLines[size_t(i)];
        // Lines drawn a character at a time: the typed part green, the rest white.
        const int typedCount = !typing ? 0 : i < task.mCurLine ? int(line.size()) : i == task.mCurLine ? task.mCurPos : 0;
        int x = 16;
        for (int k = 0; k < int(line.size()); ++k) {
            mCharText[0] = line[size_t(k)];
            g->SetColor(k < typedCount ? GREEN : WHITE);
            g->DrawString(mCharText, x, y);
            x += font->CharWidth(mCharText[0]);
        }
        if (i == task.mCurLine && mShowUnderline && task.mCurPos < int(line.size())) {
            const int start = 16 + TypedWidth(font, line, task.mCurPos);
            g->SetColor(WHITE);
            HorizontalLine(g, start, start + font->CharWidth(line[size_t(task.mCurPos)]), y + 5);
        }
    }
}

void TypingTutor::DrawResults(Graphics* g)
{
    g->SetColor(Color::Black);
    if (mApp->mFontGillSans10Bold != nullptr) {
        g->SetFont(mApp->mFontGillSans10Bold);
        WriteWordWrapped(g, Rect(472, 95, 152, 127), RESULTS_TEXT);
    }
    HorizontalLine(g, 472, 624, 257);
    HorizontalLine(g, 472, 624, 295);
    if (Font* font = mApp->mFontMyriad14Bold) {
        g->SetFont(font);
        WriteString(g, STATISTICS_TEXT, PANEL_LEFT, 282, PANEL_WIDTH, CENTRED);
        WriteString(g, mRawWpmText, 472, 315);
        WriteString(g, mAdjWpmText, 472, 335);
        WriteString(g, mAccuracyText, 472, 355);
    }
}

} // namespace Zant
