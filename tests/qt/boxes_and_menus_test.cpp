// Message boxes, pop-up menus and the wait cursor as a person meets them.

#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>

#include "gui_test.h"
#include "platform/ui/application.h"
#include "platform/ui/menu.h"
#include "platform/ui/toolkit.h"
#include "qt/device_metrics.h"
#include "qt/device_screen.h"
#include "qt/message_box.h"
#include "qt/popup_menu.h"
#include "res/templates.h"
#include "test_dialog.h"

namespace testing_support::qt {
namespace {

using platform::ui::MessageBoxAnswer;
using platform::ui::MessageBoxButtons;
using platform::ui::MessageBoxIcon;
using platform::ui::MessageKind;

constexpr int kCopy = 32816;
constexpr int kPaste = 32814;

constexpr platform::ui::MenuItemTemplate kItems[] = {
    {kCopy, L"Copy"}, {0, L""}, {kPaste, L"Paste"}};
constexpr platform::ui::MenuTemplate kPopup{185, L"POP UP", kItems};

class BoxesAndMenus : public GuiTest {
  protected:
    DialogDevice device{frontend};
    TestDialog dialog;
    std::vector<MessageBoxAnswer> answers;
    std::vector<int> chosen;

    void SetUp() override { frontend.SetAutomation(&driver); }
    void Ask(MessageBoxButtons buttons, MessageBoxIcon icon) {
        answers.push_back(
            platform::ui::ShowMessageBox(L"Do You Want To Exit", L"Kestra.htp", buttons, icon));
    }
    void Pop() {
        const auto menu = platform::ui::Menu::LoadPopup(kPopup);
        ASSERT_TRUE(menu.has_value());
        chosen.push_back(menu->TrackPopup({60, 150}, dialog.list));
    }
};

TEST_F(BoxesAndMenus, BoxesAreAnsweredAsAPersonChooses) {
    driver.Add("boxes", [&] {
        AnswerBox(QMessageBox::No);
        Ask(MessageBoxButtons::YesNo, MessageBoxIcon::Stop);
        AnswerBox(QMessageBox::Yes);
        Ask(MessageBoxButtons::YesNo, MessageBoxIcon::Stop);
        AnswerBox(QMessageBox::Ok);
        Ask(MessageBoxButtons::Ok, MessageBoxIcon::None);
        ASSERT_EQ(Boxes().size(), 3u);
        EXPECT_EQ(Boxes()[0].title, "Kestra.htp");
        EXPECT_EQ(Boxes()[0].text, "Do You Want To Exit");
        EXPECT_TRUE(Boxes()[0].stopIcon);
        EXPECT_TRUE(Boxes()[0].yesNo);
        EXPECT_FALSE(Boxes()[2].yesNo);
        EXPECT_EQ(answers, (std::vector<MessageBoxAnswer>{
                               MessageBoxAnswer::No, MessageBoxAnswer::Yes, MessageBoxAnswer::Ok}));
        platform::ui::PostMessage(EndMessage());
    });
    dialog.RunModal();
    EXPECT_TRUE(driver.AllStepsRan());
}

// A question's default is No: Enter keeps the files, Y or a click answers Yes, Escape No.
TEST_F(BoxesAndMenus, EnterAnswersNoToAQuestionAndYDoesNot) {
    driver.Add("keys", [&] {
        for (const int key : {Qt::Key_Return, Qt::Key_Y, Qt::Key_Escape}) {
            AnswerBoxWithKey(key);
            Ask(MessageBoxButtons::YesNo, MessageBoxIcon::Stop);
        }
        AnswerBoxWithKey(Qt::Key_Return);
        Ask(MessageBoxButtons::Ok, MessageBoxIcon::None);
        EXPECT_EQ(answers,
                  (std::vector<MessageBoxAnswer>{MessageBoxAnswer::No, MessageBoxAnswer::Yes,
                                                 MessageBoxAnswer::No, MessageBoxAnswer::Ok}));
        platform::ui::PostMessage(EndMessage());
    });
    dialog.RunModal();
    EXPECT_TRUE(driver.AllStepsRan());
}

// A box is the device's: drawn at the screen's scale, centred on the screen and inside it,
// without minimise or maximise buttons.
TEST_F(BoxesAndMenus, BoxesAreDrawnOnTheDeviceScreenAtItsScale) {
    std::vector<QRect> screens;
    for (const int factor : {1, 3}) {
        qtfront::DeviceScreen screen{qtfront::Scale{factor}};
        screen.move(40, 30);
        screen.show();
        AnswerBox(QMessageBox::Yes);
        EXPECT_EQ(
            qtfront::RunMessageBox(screen, qtfront::Scale{factor}, L"Do You Want To Exit",
                                   L"Kestra.htp", MessageBoxButtons::YesNo, MessageBoxIcon::Stop),
            MessageBoxAnswer::Yes);
        screens.emplace_back(screen.mapToGlobal(QPoint(0, 0)), screen.size());
    }
    ASSERT_EQ(Boxes().size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const SeenBox& box = Boxes()[i];
        EXPECT_TRUE(screens[i].contains(box.frame)) << i;
        // Centred, give or take the rounding of the two centres.
        EXPECT_LE((box.frame.center() - screens[i].center()).manhattanLength(), 4) << i;
        EXPECT_FALSE(box.flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(box.stopIcon);
        EXPECT_EQ(box.title, "Kestra.htp");
    }
    // Three times the device pixels: three times the size, give or take the font's rounding.
    const double wide = double(Boxes()[1].frame.width()) / Boxes()[0].frame.width();
    const double high = double(Boxes()[1].frame.height()) / Boxes()[0].frame.height();
    EXPECT_NEAR(wide, 3.0, 0.35);
    EXPECT_NEAR(high, 3.0, 0.35);
}

TEST_F(BoxesAndMenus, AChosenMenuEntryGoesToTheOwnerControl) {
    driver.Add("menus", [&] {
        ChooseMenuEntry("Paste");
        Pop();
        ChooseMenuEntry("");
        Pop();
        ASSERT_EQ(Menus().size(), 2u);
        EXPECT_EQ(Menus()[0], (QStringList{"Copy", "-", "Paste"}));
        EXPECT_EQ(chosen, (std::vector<int>{kPaste, 0}));
    });
    driver.Add("posted", [&] {
        ASSERT_EQ(dialog.list.messages.size(), 1u);
        EXPECT_EQ(dialog.list.messages[0].kind, MessageKind::Command);
        EXPECT_EQ(dialog.list.messages[0].id, kPaste);
        EXPECT_TRUE(dialog.Received(MessageKind::Command).empty())
            << "the window's table does not see its control's menu commands";
        platform::ui::PostMessage(EndMessage());
    });
    dialog.RunModal();
    EXPECT_TRUE(driver.AllStepsRan());
}

// The menu is as wide as its longest entry at every scale: nothing is drawn cut off (the
// harness compares what the menu draws with its entries).
TEST_F(BoxesAndMenus, EveryEntryIsDrawnWholeAtEveryScale) {
    const auto menu = platform::ui::Menu::LoadPopup(res::FileListPopupMenu());
    ASSERT_TRUE(menu.has_value());
    for (const int factor : {1, 2, 3, 4, 5}) {
        ChooseMenuEntry("");
        EXPECT_EQ(qtfront::RunPopupMenu(*menu, QPoint(10, 10), nullptr,
                                        qtfront::DeviceFont(qtfront::Scale{factor}, 8)),
                  0);
    }
    ASSERT_EQ(Menus().size(), 5u);
    EXPECT_EQ(Menus()[4], (QStringList{"Cut", "-", "Copy", "-", "Paste", "-", "Share File"}));
}

TEST_F(BoxesAndMenus, TheWaitCursorShowsWhileTheProgramIsBusy) {
    driver.Add("cursor", [&] {
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        platform::ui::BeginWaitCursor();
        platform::ui::BeginWaitCursor();
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // A box over the busy window shows the arrow, and the wait cursor comes back.
        AnswerBox(QMessageBox::Ok);
        Ask(MessageBoxButtons::Ok, MessageBoxIcon::None);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        platform::ui::EndWaitCursor();
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
        platform::ui::EndWaitCursor();
        platform::ui::EndWaitCursor();  // one too many changes nothing
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        platform::ui::PostMessage(EndMessage());
    });
    dialog.RunModal();
    EXPECT_TRUE(driver.AllStepsRan());
}

}  // namespace
}  // namespace testing_support::qt
