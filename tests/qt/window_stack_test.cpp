// The screen shows the innermost window; closing the desktop window ends every run.

#include <QTest>

#include "gui_test.h"
#include "platform/ui/toolkit.h"
#include "qt/title_strip.h"
#include "test_dialog.h"

namespace testing_support::qt {
namespace {

using platform::ui::MessageKind;

constexpr int kOpenInner = 40050;

class WindowStack : public GuiTest {
  protected:
    DialogDevice device{frontend};
    TestDialog outer{true, L"Outer"};
    TestDialog inner{true, L"Inner"};

    void SetUp() override {
        frontend.SetAutomation(&driver);
        outer.onMessage = [this](const platform::ui::Message& message) {
            if (message.kind == MessageKind::Command && message.id == kOpenInner) {
                inner.RunModal();
            }
        };
    }
};

TEST_F(WindowStack, TheInnermostWindowIsShownAndTheOuterReturnsWhenItEnds) {
    driver.Add("open the inner window", [&] {
        EXPECT_EQ(Shown().Title().Title(), "Outer");
        platform::ui::Message open;
        open.kind = MessageKind::Command;
        open.id = kOpenInner;
        platform::ui::PostMessage(open);
    });
    driver.Add("inner shown", [&] {
        EXPECT_EQ(&Shown().Model(), &inner);
        EXPECT_TRUE(frontend.ViewOf(outer)->isHidden());
        inner.SetWindowText(L"Inner, renamed");
        EXPECT_EQ(Shown().Title().Title(), "Inner, renamed");
        Shot("inner");
        platform::ui::PostMessage(EndMessage());
    });
    driver.Add("outer again", [&] {
        EXPECT_EQ(frontend.ViewOf(inner), nullptr);
        EXPECT_EQ(&Shown().Model(), &outer);
        EXPECT_TRUE(Shown().isVisible());
        // The inner window's models are gone from the screen: changing them shows nothing.
        inner.list.InsertColumn(0, L"gone", platform::ui::ColumnAlign::Left, 10);
        platform::ui::PostMessage(EndMessage());
    });
    outer.RunModal();
    EXPECT_TRUE(driver.AllStepsRan());
}

TEST_F(WindowStack, ClosingTheDesktopWindowEndsEveryRun) {
    driver.Add("open the inner window", [&] {
        platform::ui::Message open;
        open.kind = MessageKind::Command;
        open.id = kOpenInner;
        platform::ui::PostMessage(open);
    });
    driver.Add("close", [&] { frontend.Screen().close(); });
    outer.RunModal();
    EXPECT_TRUE(driver.AllStepsRan());
    EXPECT_FALSE(outer.IsCreated());
    EXPECT_FALSE(inner.IsCreated());
    EXPECT_EQ(frontend.ShownView(), nullptr);
}

}  // namespace
}  // namespace testing_support::qt
