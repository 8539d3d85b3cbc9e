#pragma once
// The tutor's page of the statistics screen: for one lesson at a time a bar graph of
// the average, best and most recent result in words per minute, adjusted words per
// minute or accuracy, with buttons to step through the lessons and choose the measure.
#include <array>
#include <string>
#include <vector>

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"
#include "game/common/BTTimer.h"

namespace Zant {

class ButtonWidget;
class DialogButton;
class UserProfile;
class WinBTApp;

class TutorialPanel : public Widget, public ButtonListener {
public:
    static constexpr int NEXT_BUTTON = 98121;
    static constexpr int PREV_BUTTON = 98122;
    static constexpr int WPM_RADIO = 98123;
    static constexpr int ACCURACY_RADIO = 98124;
    static constexpr int ADJUSTED_RADIO = 98125;
    // Graph kinds.
    static constexpr int KIND_WPM = 0;
    static constexpr int KIND_ADJUSTED = 1;
    static constexpr int KIND_ACCURACY = 2;
    static constexpr int NUM_BARS = 3;
    // Pixels a bar grows per update.
    static constexpr int BAR_GROWTH = 20;

    struct Bar {
        int shown = 0;
        int target = 0;
        int value = 0;
    };

    explicit TutorialPanel(WinBTApp* app);
    ~TutorialPanel() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    void Update() override;
    // Shown (and its children with it) or put away.
    virtual void SetActive(bool active);

    void ButtonDepress(int id) override;

    void SetProfile(UserProfile* profile) { mProfile = profile; }
    // Steps forward n + 1 times, so that a new panel shows lesson n.
    void ShowLesson(int n);
    // The scale of a graph of kind for the best value shown.
    struct Scale {
        int max = 0;
        int step = 1;
        int lines = 2;
        int pixelsPerStep = 0;
    };
    static Scale ComputeScale(int kind, int best);

public:
    DialogButton* mNextButton = nullptr;
    DialogButton* mPrevButton = nullptr;
    ButtonWidget* mWpmRadio = nullptr;
    ButtonWidget* mAccuracyRadio = nullptr;
    ButtonWidget* mAdjustedRadio = nullptr;
    BTTimer* mTimer = nullptr;
    Scale mScale;
    std::array<Bar, NUM_BARS> mBars{};
    int mLessonIndex = -1;
    int mGraphKind = KIND_WPM;
    std::string mGraphTitle = "LESSON 1: Words Per Minute";
    std::string mText;
    std::string mTitle = "Tutorial Mode";
    UserProfile* mProfile = nullptr;
    bool mActive = true;
    WinBTApp* mApp;

private:
    void StepForward();
    void StepBack();
    void SelectKind(int kind);
    void BuildGraph();
    void SetTitle();
    void ShowButton(Widget* button, bool shown);

    // Texts of the graph, made when it is built rather than on each draw.
    std::array<std::string, NUM_BARS> mValueTexts;
    std::vector<std::string> mGridTexts;
};

} // namespace Zant
