// While the program waits for a slow server, the screen keeps being painted, the command bar
// and the buttons are drawn inactive, and input does not reach the program.

#include <gmock/gmock.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <string>

#include "gui_test.h"
#include "platform/ui/list_view.h"
#include "qt/title_strip.h"
#include "res/resource.h"
#include "script/run_program.h"
#include "support/scripted_ftp_server.h"
#include "support/temp_folder.h"

namespace testing_support::qt {
namespace {

constexpr int kFiles = 20;

std::string FileName(int index) {
    return "f" + std::to_string(100 + index) + ".txt";
}

// Counts the shown window's paints while the program is busy, and looks at the screen
// during one of them as a person would.
class BusyPaints final : public QObject {
  public:
    explicit BusyPaints(qtfront::QtFrontend& frontend) : m_frontend(frontend) {}

    std::function<void()> onBusyPaint;
    int count = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_frontend.InputBlocked() &&
            watched == m_frontend.ShownView()) {
            ++count;
            if (onBusyPaint) {
                onBusyPaint();
            }
        }
        return false;
    }

  private:
    qtfront::QtFrontend& m_frontend;
};

class NetworkWait : public GuiTest {
  protected:
    ScriptedFtpServer server{Slow()};
    TempFolder deviceRoot{"stowbox-qt-wait"};
    BusyPaints paints{frontend};

    static ScriptedFtpServer::Options Slow() {
        ScriptedFtpServer::Options options;
        options.replyDelay = std::chrono::milliseconds(150);
        return options;
    }

    const platform::ui::ListView& FileList() const {
        return dynamic_cast<const platform::ui::ListView&>(
            *Shown().Model().GetDlgItem(IDC_FILELIST));
    }

    void SetUp() override {
        deviceRoot.WriteFile("notes.txt", "Shopping list\n");
        frontend.SetAutomation(&driver);
        app.installEventFilter(&paints);
    }
};

TEST_F(NetworkWait, TheScreenIsPaintedWhileAFolderIsListedAndInputIsSwallowed) {
    std::string listing;
    for (int i = 0; i < kFiles; ++i) {
        listing += "-rw-r--r--   1 alice    support      9 Dec 07 12:34 " + FileName(i) + "\r\n";
    }
    server.Greet()
        .Command("USER alice\r\n", "331 Password\r\n")
        .Command("PASS secret\r\n", "230 In\r\n")
        .NoFeatures()
        .Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n")
        .Listing("/My Device on Stowbox", listing);
    for (int i = 0; i < kFiles; ++i) {
        server.Command("SIZE " + FileName(i) + "\r\n", "213 " + std::to_string(i + 1) + "\r\n");
    }
    server.Command("QUIT\r\n", "221 Bye\r\n").AwaitControlClosed();
    server.Start();

    bool toolbarLooked = false;
    bool toolbarLookedInactive = true;
    bool cancelStayedLive = true;
    bool tappedWhileBusy = false;
    int markBeforeTap = -2;
    int markAfterTap = -2;
    driver.Add("log in", [&] {
        QTest::keyClicks(&Widget<QLineEdit>(IDC_USERNAME), "alice");
        QTest::keyClicks(&Widget<QLineEdit>(IDC_PASSWORD), "secret");
        QTest::mouseClick(&Widget<QPushButton>(IDC_LOGIN), Qt::LeftButton);
    });
    driver.Add("list the account", [&] {
        EXPECT_EQ(Shown().Title().Title(), "My Device");
        EXPECT_GT(paints.count, 0) << "the login's waits painted the login dialog";
        paints.count = 0;
        paints.onBusyPaint = [&] {
            toolbarLooked = true;
            toolbarLookedInactive = toolbarLookedInactive && !ToolButton(ID_EXIT).isEnabled() &&
                                    Shown().Model().GetCommandBar().IsEnabled(ID_EXIT);
            // A press on CANCEL still ends a transfer, so it does not look dead.
            cancelStayedLive =
                cancelStayedLive && Widget<QPushButton>(IDC_CANCEL_TRANSFER).isEnabled();
            if (paints.count == 1) {
                // Input comes between paints, not inside one.
                QTimer::singleShot(0, [&] {
                    tappedWhileBusy = frontend.InputBlocked();
                    markBeforeTap = FileList().GetSelectionMark();
                    TapRow(List(IDC_FILELIST), 0);
                    markAfterTap = FileList().GetSelectionMark();
                    Shot("busy");
                });
            }
        };
        QTest::mouseClick(&ToolButton(ID_SHOW_REMOTE), Qt::LeftButton);
    });
    driver.Add("listed", [&] {
        paints.onBusyPaint = nullptr;
        EXPECT_EQ(Shown().Title().Title(), "Stowbox");
        EXPECT_GE(paints.count, 10) << "about three seconds of waiting, painted every 80 ms";
        EXPECT_TRUE(toolbarLooked);
        EXPECT_TRUE(toolbarLookedInactive) << "drawn inactive, the model still enabled";
        EXPECT_TRUE(cancelStayedLive);
        EXPECT_TRUE(tappedWhileBusy);
        EXPECT_NE(markBeforeTap, 0);
        EXPECT_EQ(markAfterTap, markBeforeTap) << "the tap during the wait was swallowed";
        EXPECT_EQ(FileList().GetItemCount(), kFiles);
        EXPECT_TRUE(ToolButton(ID_EXIT).isEnabled()) << "idle again: drawn as the model says";
        Shot("listed");
        AnswerBox(QMessageBox::Yes);
        QTest::mouseClick(&ToolButton(ID_EXIT), Qt::LeftButton);
    });

    script::DeviceOptions options;
    options.root = deviceRoot.Path();
    options.ftpServer = platform::net::Endpoint{"127.0.0.1", server.Port()};
    script::RunProgram(frontend, options);
    EXPECT_TRUE(driver.AllStepsRan());
    const auto& result = server.Finish();
    EXPECT_EQ(result.transcript, server.ExpectedTranscript());
    EXPECT_THAT(result.problems, testing::IsEmpty());
}

}  // namespace
}  // namespace testing_support::qt
