// The update check: the question and its stamp, the request the game sends, and the
// waiting dialog against a loopback server that offers a newer version, says there
// is none, answers nonsense or never answers at all.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>
#include <thread>

#include "framework/net/InternetManager.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/UpdateCheckDialog.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/WinBTApp.h"
#include "tests/net/LoopbackServer.h"
#include "tests/options/DialogParts.h"
#include "tests/support/AppFixture.h"
#include "tests/support/TestSupport.h"

using namespace Zant;
using NetTest::LoopbackServer;

namespace {

using OptionsTest::LineFont;
using OptionsTest::Picture;

constexpr int QUESTION = 2531;
constexpr int CHECK = 2532;
constexpr int NEW_VERSION = 12532;
constexpr int RESULT = 22532;
const char* const PATH = "/win32updatecheck.php?prod=Plindor&ver=1.01&referid=abc%20def";

class UpdateApp : public WinBTApp {
public:
    bool OpenWebPage(const std::string& url, bool quitAfterOpen) override
    {
        opened = url;
        quitAfter = quitAfterOpen;
        return true;
    }
    std::string opened;
    bool quitAfter = false;
};

LoopbackServer::Reply Ok(const std::string& body)
{
    return {{"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body}};
}

class UpdateCheckTest : public ::testing::Test {
protected:
    UpdateCheckTest() : fixture(false)
    {
        app().SetImage(IMAGE_DIALOG, Picture(320, 300));
        app().SetImage(IMAGE_DBUTTON, Picture(90, 30));
        app().SetImage(217, Picture(32, 16));
        app().mFontRockwell13 = new LineFont();
        app().mFontRockwell13Bold = new LineFont();
        app().mProdName = "Plindor";
        app().mProductVersion = "1.01";
        app().mReferId = "abc def";
        app().mInternetManager = new InternetManager(folder.Path());
        EXPECT_TRUE(server.Start());
        app().mUpdateHost = "127.0.0.1:" + std::to_string(server.Port());
    }
    ~UpdateCheckTest() override
    {
        fixture.app.reset();
        server.Stop();
        delete gGameRandom;
        gGameRandom = nullptr;
    }
    UpdateApp& app() { return *fixture.app; }
    UpdateCheckDialog* CheckDialog() { return dynamic_cast<UpdateCheckDialog*>(app().FindDialog(CHECK)); }
    // Updates the application (10 ms apart) until the check dialog has its answer.
    bool RunUntilAnswered(int limitMs = 5000)
    {
        for (int waited = 0; waited < limitMs; waited += 10) {
            app().mWidgetManager->UpdateFrame();
            UpdateCheckDialog* dialog = CheckDialog();
            if (dialog != nullptr && dialog->mDone)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    TestSupport::TempDir folder;
    LoopbackServer server;
    TestSupport::AppFixture<UpdateApp> fixture;
};

} // namespace

TEST_F(UpdateCheckTest, RequestValuesArePercentEncoded)
{
    struct Case {
        const char* product;
        const char* version;
        const char* referrer;
        const char* query;
    };
    const Case cases[] = {
        {"Plindor", "1.01", "abc def", "prod=Plindor&ver=1.01&referid=abc%20def"},
        {"Plindor", "1.01", "", "prod=Plindor&ver=1.01&referid="},
        {"P&L", "1.0+b", "a=b/c?d#e%", "prod=P%26L&ver=1.0%2Bb&referid=a%3Db%2Fc%3Fd%23e%25"},
        {"Plindor", "1.01", "x-y_z.~", "prod=Plindor&ver=1.01&referid=x-y_z.~"},
        {"Plindor", "1.01", "caf\xc3\xa9\r\n", "prod=Plindor&ver=1.01&referid=caf%C3%A9%0D%0A"},
    };
    app().mUpdateHost = "update.example";
    for (const Case& c : cases) {
        app().mProdName = c.product;
        app().mProductVersion = c.version;
        app().mReferId = c.referrer;
        EXPECT_EQ(app().UpdateCheckUrl(), std::string("http://update.example/win32updatecheck.php?") + c.query)
            << c.referrer;
    }
}

TEST_F(UpdateCheckTest, QuestionStampsTheTimeAndNoSendsNothing)
{
    app().mLastVerCheckQueryTime = 0;
    const long long before = static_cast<long long>(std::time(nullptr));
    app().AskForUpdateCheck();
    EXPECT_GE(app().mLastVerCheckQueryTime, before);
    Dialog* question = app().FindDialog(QUESTION);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->mDialogHeader, "UPDATES");
    EXPECT_EQ(question->mX, 165);
    EXPECT_EQ(question->mY, 99);
    EXPECT_EQ(question->mWidth, 330);
    EXPECT_EQ(question->mHeight, question->GetPreferredHeight(330));
    ASSERT_NE(question->mNoButton, nullptr);

    app().ButtonDepress(QUESTION + 3000);
    EXPECT_EQ(app().FindDialog(QUESTION), nullptr);
    EXPECT_EQ(app().FindDialog(CHECK), nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(UpdateCheckTest, ExactRequestLineWithAReferrerHoldingSpaces)
{
    server.Serve(PATH, Ok("0\r\nhttp://example.invalid/get\r\n"));
    app().AskForUpdateCheck();
    app().ButtonDepress(QUESTION + 2000);
    EXPECT_EQ(app().FindDialog(QUESTION), nullptr);
    ASSERT_TRUE(RunUntilAnswered());
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), std::string("GET ") + PATH + " HTTP/1.0");
}

TEST_F(UpdateCheckTest, RepliesEndInTheRightAnswer)
{
    struct Case {
        const char* name;
        LoopbackServer::Reply reply;
        int answerId;
        const char* header;
    };
    const Case cases[] = {
        {"newer version", Ok("1\nhttp://example.invalid/get\n"), NEW_VERSION, "New Version"},
        {"up to date", Ok("0\r\nhttp://example.invalid/get\r\n"), RESULT, "Up to Date"},
        {"not an update reply", Ok("<html>Service unavailable</html>\n"), RESULT, "UPDATE CHECK"},
        {"empty reply", Ok(""), RESULT, "UPDATE CHECK"},
        {"server error", {{"HTTP/1.0 500 Internal Server Error\r\n\r\n1\n"}}, RESULT, "UPDATE CHECK"},
        {"cut-off headers", {{"HTTP/1.0 200"}}, RESULT, "UPDATE CHECK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.ServeOnce(PATH, c.reply);
        app().CheckForUpdates();
        UpdateCheckDialog* dialog = CheckDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->mDialogHeader, "UPDATE CHECK");
        EXPECT_EQ(dialog->mX, 146);
        EXPECT_EQ(dialog->mY, 50);
        EXPECT_EQ(dialog->mWidth, 420);
        ASSERT_TRUE(RunUntilAnswered());
        Dialog* answer = app().FindDialog(c.answerId);
        ASSERT_NE(answer, nullptr);
        EXPECT_EQ(answer->mDialogHeader, c.header);
        EXPECT_EQ(answer->mX, dialog->mX + 32);
        EXPECT_EQ(answer->mY, dialog->mY - 32);
        EXPECT_EQ(app().FindDialog(c.answerId == RESULT ? NEW_VERSION : RESULT), nullptr);

        if (c.answerId == NEW_VERSION) {
            app().ButtonDepress(NEW_VERSION + 2000);
            EXPECT_EQ(app().opened, "http://example.invalid/get");
            EXPECT_TRUE(app().quitAfter);
            app().mQuitAfterWebPage = false;
        } else {
            app().ButtonDepress(RESULT + 2000);
        }
        EXPECT_EQ(app().FindDialog(c.answerId), nullptr);
        EXPECT_EQ(app().FindDialog(CHECK), nullptr);
        app().FlushWidgetDeletions();
    }
}

TEST_F(UpdateCheckTest, CancelEndsTheCheckOfAServerThatNeverAnswers)
{
    server.Serve(PATH, {{}, true});
    app().CheckForUpdates();
    app().CheckForUpdates(); // asking twice leaves one dialog
    EXPECT_EQ(app().CountDialogs(), 1);
    UpdateCheckDialog* dialog = CheckDialog();
    ASSERT_NE(dialog, nullptr);

    // The bar scrolls one pixel every third update and wraps after 32.
    for (int i = 0; i < 95; ++i)
        dialog->Update();
    EXPECT_EQ(dialog->mBarOffset, 31);
    dialog->Update();
    EXPECT_EQ(dialog->mBarOffset, 0);
    EXPECT_FALSE(dialog->mDone);

    ASSERT_NE(dialog->mYesButton, nullptr);
    EXPECT_EQ(dialog->mYesButton->mLabel, "CANCEL");
    const auto start = std::chrono::steady_clock::now();
    app().ButtonDepress(CHECK + 2000);
    EXPECT_EQ(app().FindDialog(CHECK), nullptr);
    app().FlushWidgetDeletions();
    HTTPTransfer& transfer = app().mInternetManager->GetUpdateCheckTransfer();
    while (transfer.GetResultCode() == HTTPTransfer::RESULT_IN_PROGRESS &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(1))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::RESULT_ABORTED);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(app().CountDialogs(), 0) << "no answer follows a cancelled check";
}

TEST(UpdateReply, ReadableRepliesStartWithANumber)
{
    const struct {
        const char* body;
        bool readable;
    } cases[] = {
        {"0\r\nhttp://x/\r\n", true}, {"\n\n1\n", true},  {" 1\n", false},  {"1 \r\n", true},
        {"", false},                  {"yes\n1\n", false}, {"-\n", false},   {"12abc\n", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdateCheckDialog::IsReadableReply(c.body), c.readable) << '"' << c.body << '"';
}
