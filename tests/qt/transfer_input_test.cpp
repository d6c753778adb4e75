// While a transfer runs, input is swallowed and a press becomes a stylus-down with
// device-screen coordinates for the cancel check; the progress bar still repaints.

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <thread>

#include "gui_test.h"
#include "platform/ui/progress_bar.h"
#include "platform/ui/toolkit.h"
#include "test_dialog.h"

namespace testing_support::qt {
namespace {

using platform::ui::MessageKind;

constexpr int kTransfer = 40060;
constexpr int kBlocks = 40;

class TransferInput : public GuiTest {
  protected:
    DialogDevice device{frontend};
    TestDialog dialog;
    // What the stand-in transfer's cancel checks took, in order.
    std::vector<platform::ui::Message> taken;
    std::vector<int> progressShown;

    void SetUp() override {
        frontend.SetAutomation(&driver);
        dialog.onMessage = [this](const platform::ui::Message& message) {
            if (message.kind == MessageKind::Command && message.id == kTransfer) {
                Transfer();
            }
        };
    }

    // Like a transfer: one cancel check per block, the progress bar moving on.
    void Transfer() {
        auto& bar = static_cast<platform::ui::ProgressBar&>(*dialog.GetDlgItem(kProgressBar));
        bar.SetRange(0, kBlocks);
        for (int block = 1; block <= kBlocks; ++block) {
            if (auto message = platform::ui::TakeOldestMessage()) {
                taken.push_back(*message);
            }
            bar.SetPos(block);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
};

TEST_F(TransferInput, APressBecomesAStylusDownAndEverythingElseIsSwallowed) {
    driver.onCancelCheck = [&](int check) {
        if (check == 5) {
            QTest::keyClicks(&Widget<QLineEdit>(kUserEdit), "typed");
            QTest::mouseClick(&Widget<QPushButton>(kGoButton), Qt::LeftButton);
        }
        if (check == 10) {
            // On the button's centre, as a person would tap it.
            QTest::mouseClick(&Widget<QPushButton>(kCancelButton), Qt::LeftButton);
        }
        if (check == 20) {
            progressShown.push_back(Widget<QProgressBar>(kProgressBar).value());
            Shot("during");
        }
    };
    driver.Add("start", [&] {
        platform::ui::Message start;
        start.kind = MessageKind::Command;
        start.id = kTransfer;
        platform::ui::PostMessage(start);
    });
    driver.Add("after", [&] {
        EXPECT_EQ(driver.CancelChecks(), kBlocks);
        ASSERT_EQ(taken.size(), 2u) << "one stylus-down per press, nothing else";
        const platform::ui::Rect go =
            platform::ui::DialogRectToScreen(dialog.GetDlgItem(kGoButton)->Template().rect);
        const platform::ui::Rect cancel =
            platform::ui::DialogRectToScreen(dialog.GetDlgItem(kCancelButton)->Template().rect);
        EXPECT_EQ(taken[0].kind, MessageKind::StylusDown);
        EXPECT_TRUE(go.Contains(taken[0].point));
        EXPECT_EQ(taken[1].kind, MessageKind::StylusDown);
        EXPECT_TRUE(cancel.Contains(taken[1].point));
        EXPECT_LE(std::abs(taken[1].point.x - cancel.Centre().x), 1);
        EXPECT_LE(std::abs(taken[1].point.y - cancel.Centre().y), 1);
        // The file manager's CANCEL lies in the transfer cancel area; so does this one.
        EXPECT_GE(taken[1].point.x, 180);
        EXPECT_GE(taken[1].point.y, 240);

        EXPECT_EQ(dialog.GetDlgItem(kUserEdit)->GetWindowText(), L"");
        EXPECT_TRUE(dialog.Received(MessageKind::Command).size() == 1u)
            << "only the transfer's own command reached the window";
        ASSERT_EQ(progressShown.size(), 1u);
        EXPECT_EQ(progressShown[0], 19) << "the bar shows the position as it moves";
        // After the transfer, input works again.
        QTest::keyClicks(&Widget<QLineEdit>(kUserEdit), "ok");
        EXPECT_EQ(dialog.GetDlgItem(kUserEdit)->GetWindowText(), L"ok");
        platform::ui::PostMessage(EndMessage());
    });
    dialog.RunModal();
    EXPECT_TRUE(driver.AllStepsRan());
}

}  // namespace
}  // namespace testing_support::qt
