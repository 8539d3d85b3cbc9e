#pragma once
// The typing tutor screen: one lesson at a time, typed character by character
// against its text, timed in updates, judged against the lesson's limits and
// recorded in the current player's profile.
#include <memory>
#include <string>

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"
#include "game/common/BTTimer.h"
#include "game/shell/KeyboardGuide.h"
#include "game/shell/TutorFish.h"

namespace Zant {

class DialogButton;
class Font;
class Image;
class Lesson;
class LessonManager;
class LessonTask;
class WinBTApp;

class TypingTutor : public Widget, public ButtonListener {
public:
    // Button ids.
    static constexpr int NEXT_BUTTON = 88;
    static constexpr int PREV_BUTTON = 89;
    static constexpr int MENU_BUTTON = 90;
    static constexpr int OPTIONS_BUTTON = 91;
    // States.
    static constexpr int STATE_WAITING = 0;
    static constexpr int STATE_TYPING = 1;
    static constexpr int STATE_RESULTS = 2;
    // The game's message dialog, which asks the tutor's questions.
    static constexpr int QUESTION_DIALOG = 500;

    // dataFolder: where the lesson files' data folder lies ("" = the working folder).
    explicit TypingTutor(WinBTApp* app, const std::string& dataFolder = std::string());
    ~TypingTutor() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    void Update() override;
    void GotFocus() override;
    void LostFocus() override;
    void KeyChar(char c) override;
    void MouseMove(int x, int y) override;

    using ButtonListener::ButtonPress;
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;

    // The index of the lesson shown; -1 when none could be read.
    int GetLessonIndex() const;
    // Results of an attempt: words per minute (raw and adjusted for errors) and accuracy.
    struct Results {
        int rawWpm = 0;
        int adjWpm = 0;
        int accuracy = 0;
    };
    static Results ComputeResults(int elapsedSeconds, int typed, int correct, int errors);
    // The typing level of an adjusted WPM, with its colour markup.
    static const char* TypingLevel(int adjWpm);

public:
    DialogButton* mNextButton = nullptr;
    DialogButton* mPrevButton = nullptr;
    DialogButton* mMenuButton = nullptr;
    DialogButton* mOptionsButton = nullptr;
    LessonManager* mLessonManager = nullptr;
    Lesson* mLesson = nullptr;
    int mTimeLeft = -1;
    int mCurTask = 0;
    int mErrors = 0;
    int mCorrect = 0;
    int mTyped = 0;
    int mRawWpm = 0;
    int mAdjWpm = 0;
    int mAccuracy = 0;
    int mElapsed = 0;
    bool mFirstTry = true;
    char mExpectedChar = ' ';
    // The fingers, Shift side, key labels and key highlights.
    KeyboardGuide mGuide;
    BTTimer* mSecondTimer = nullptr;
    BTTimer* mBlinkTimer = nullptr;
    BTTimer* mErrorBlinkTimer = nullptr;
    bool mShowHighlights = true;
    int mState = STATE_WAITING;
    // Creatures swimming behind the panels while the player is not typing.
    TutorFish mFish;
    bool mShowUnderline = true;
    int mFirstVisibleLine = 0;
    int mPauseCount = 0;
    WinBTApp* mApp;
    bool mAskedViewStats = false;
    bool mAskedQuit = false;

private:
    // A button of the table of places (0 Next, 1 Prev, 2 Back To Menu, 3 Options).
    DialogButton* MakeButton(int place);
    void MoveForward();
    void MoveBack();
    // After the lesson manager moved: the new lesson, or the missing-data message.
    bool EnterLesson(Lesson* lesson);
    void ResetAttempt();
    void PrepareNextChar();
    void Advance();
    void EndLesson();
    void RecordResults(bool passed);
    void PlayTypeSound();
    LessonTask* CurrentTask() const;
    void RefreshTexts();

    void DrawPanel(Graphics* g);
    void DrawLines(Graphics* g, const LessonTask& task);
    void DrawResults(Graphics* g);
    // x of the next character of the current line, from the line's start.
    int TypedWidth(Font* font, const std::string& line, int count) const;

    Image* mDisabledButtonImage = nullptr; // owned
    // Texts of the panel, made when what they show changes rather than on each draw.
    std::string mTitleText;
    std::string mTimeText;
    std::string mProgressText;
    std::string mErrorsText;
    std::string mRawWpmText;
    std::string mAdjWpmText;
    std::string mAccuracyText;
    std::string mCharText = std::string(1, ' ');
};

} // namespace Zant
