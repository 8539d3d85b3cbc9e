#pragma once
// A headless game application for the tutor: lesson files in a temporary folder, a
// player profile on an in-memory settings store, recorded sounds, dialogs and
// messages, and a widget manager that runs the updates.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/util/MersenneTwister.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TypingTutor.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "tests/support/TestSupport.h"

namespace TutorTests {

struct Question {
    std::string header;
    std::string lines;
    std::string footer;
};

class TutorApp : public Zant::WinBTApp {
public:
    void PlaySound(int id) override { sounds.push_back(id); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<int> sounds;
    std::vector<std::string> messages;
};

class TutorFixture : public ::testing::Test {
protected:
    static constexpr uint32_t SEED = 321;

    TutorFixture()
    {
        Platform::SetSettingsStore(&store);
        Platform::SetMessageBoxes(&boxes);
        store.CreateKey("SOFTWARE\\Vorlix\\Plindor");
        delete Zant::gGameRandom;
        Zant::gGameRandom = new Zant::MersenneTwister(SEED);
        app = std::make_unique<TutorApp>();
        app->mWidgetManager = new Zant::WidgetManager(app.get());
        app->mProfileMgr = new Zant::UserProfileMgr(app.get());
        profile = new Zant::UserProfile(app.get());
        profile->mName = "Tester";
        profile->mUserNumber = 1;
        app->mProfileMgr->AddUserProfile(profile);
        app->mCurProfile = profile;
        std::filesystem::create_directories(dir.File("data"));
        for (int i = 0; i < 19; ++i)
            WriteLesson(i, "", {{"ab c", "de"}});
    }
    ~TutorFixture() override
    {
        CloseTutor();
        app.reset();
        delete Zant::gGameRandom;
        Zant::gGameRandom = nullptr;
        Platform::SetSettingsStore(nullptr);
        Platform::SetMessageBoxes(nullptr);
    }

    // A lesson file: limit lines (as "<MAXERRORS>2</MAXERRORS>\n") and the tasks' lines.
    void WriteLesson(int index, const std::string& limits, const std::vector<std::vector<std::string>>& tasks)
    {
        std::string text = "<LESSON>\n<HEADINGS>\n<H>Heading</H>\n</HEADINGS>\n<DESCRIPTION>Lesson " +
                           std::to_string(index) + "</DESCRIPTION>\n" + limits;
        for (const auto& lines : tasks) {
            text += "<TASK>\n<HEADING>1</HEADING>\n";
            for (const std::string& line : lines)
                text += "<TEXT>" + line + "</TEXT>\n";
            text += "</TASK>\n";
        }
        TestSupport::WriteFile(dir.File("data/lesson" + std::to_string(index) + ".xml"), text + "</LESSON>\n");
    }

    Zant::TypingTutor& OpenTutor()
    {
        tutor = new Zant::TypingTutor(app.get(), dir.Path());
        tutor->Resize(0, 0, 640, 480);
        app->mWidgetManager->AddWidget(tutor);
        app->mWidgetManager->SetFocus(tutor);
        return *tutor;
    }
    void CloseTutor()
    {
        if (tutor == nullptr)
            return;
        app->mWidgetManager->RemoveWidget(tutor);
        delete tutor;
        tutor = nullptr;
    }
    // The game's message dialog as it stands; an empty header when none is up.
    Question OpenQuestion()
    {
        const Zant::Dialog* dialog = app->FindDialog(Zant::TypingTutor::QUESTION_DIALOG);
        if (dialog == nullptr)
            return {};
        return {dialog->mDialogHeader, dialog->mDialogLines, dialog->mDialogFooter};
    }
    void Updates(int count)
    {
        for (int i = 0; i < count; ++i)
            app->mWidgetManager->UpdateFrame();
    }
    // Types text, with some updates after each key.
    void Type(const std::string& text, int updatesPerKey = 0)
    {
        for (char c : text) {
            tutor->KeyChar(c);
            Updates(updatesPerKey);
        }
    }

    TestSupport::TempDir dir;
    Platform::SettingsStore store;
    Platform::FakeMessageBoxService boxes;
    std::unique_ptr<TutorApp> app;
    Zant::UserProfile* profile = nullptr; // owned by the profile manager
    Zant::TypingTutor* tutor = nullptr;
};

} // namespace TutorTests
