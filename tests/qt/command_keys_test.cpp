// The desktop keys of the commands, in a window of the file manager's template and command
// bar: each key issues its command id as the button or the hold menu entry would, and
// nothing where the button cannot be pressed or the program is busy.

#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <string>

#include "gui_test.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/menu.h"
#include "platform/ui/toolkit.h"
#include "qt/window_view.h"
#include "res/resource.h"
#include "res/templates.h"
#include "test_dialog.h"

namespace testing_support::qt {
namespace {

using platform::ui::Message;
using platform::ui::MessageKind;

// A list that opens the file list's hold menu and records the entries chosen in it.
class HoldMenuList final : public platform::ui::ListView {
  public:
    bool OnMessage(const Message& message) override {
        if (message.kind == MessageKind::Notify) {
            heldRow = HitTest(message.point);
            platform::ui::Menu::LoadPopup(res::FileListPopupMenu())
                ->TrackPopup(message.point, *this);
        } else {
            *log += "entry " + std::to_string(message.id) + " row " + std::to_string(heldRow);
        }
        return true;
    }
    std::string* log = nullptr;
    int heldRow = -2;
};

// The file manager's controls and command bar; it records what reaches it in `log`.
class KeysWindow final : public platform::ui::Dialog {
  public:
    KeysWindow() : Dialog(res::FileManagerDialog()) {
        BindControl(IDC_FILELIST, list);
        BindControl(IDC_PATHBOX, path);
        list.log = &log;
    }
    const char* ClassName() const override { return "KeysWindow"; }
    bool OnMessage(const Message& message) override {
        if (message.kind == MessageKind::Command && message.id == kEndCommand) {
            EndDialog(0);
        } else if (message.kind == MessageKind::Command) {
            log += "command " + std::to_string(message.id);
        } else if (message.kind == MessageKind::Notify) {
            log += "path " + std::to_string(path.GetCurSel());
        }
        return true;
    }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        list.InsertColumn(0, L"Name", platform::ui::ColumnAlign::Left, 180);
        for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) {
            list.InsertItem(list.GetItemCount(), name, 1);
            path.InsertString(-1, name);
        }
        list.SelectRow(1);
        path.SetCurSel(2);
        GetCommandBar().AddButtons(res::FileManagerToolbar());
        GetCommandBar().HideButton(ID_UPLOAD, true);
        GetCommandBar().EnableButton(ID_SHARE, false);
        return true;
    }
    HoldMenuList list;
    platform::ui::ComboBox path;
    std::string log;
};

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::string did;  // what reached the window; empty: nothing
    bool busy = false;
};

std::string Command(int id) {
    return "command " + std::to_string(id);
}

const KeyCase kCases[] = {
    {"Delete", Qt::Key_Delete, Qt::NoModifier, Command(ID_DELETE)},
    {"NewFolder", Qt::Key_N, Qt::ControlModifier, Command(ID_NEW_FOLDER)},
    {"Exit", Qt::Key_Q, Qt::ControlModifier, Command(ID_EXIT)},
    {"MyDevice", Qt::Key_1, Qt::ControlModifier, Command(ID_SHOW_LOCAL)},
    {"Stowbox", Qt::Key_2, Qt::ControlModifier, Command(ID_SHOW_REMOTE)},
    {"Download", Qt::Key_D, Qt::ControlModifier, Command(ID_DOWNLOAD)},
    {"UploadHidden", Qt::Key_U, Qt::ControlModifier, ""},
    {"ShareDisabled", Qt::Key_S, Qt::ControlModifier, ""},
    {"ExitWhileBusy", Qt::Key_Q, Qt::ControlModifier, "", true},
    {"Cut", Qt::Key_X, Qt::ControlModifier, "entry " + std::to_string(ID_CUT) + " row 1"},
    {"Copy", Qt::Key_C, Qt::ControlModifier, "entry " + std::to_string(ID_COPY) + " row 1"},
    {"Paste", Qt::Key_V, Qt::ControlModifier, "entry " + std::to_string(ID_PASTE) + " row 1"},
    {"Backspace", Qt::Key_Backspace, Qt::NoModifier, "path 1"},
    {"AltUp", Qt::Key_Up, Qt::AltModifier, "path 1"},
};

void PrintTo(const KeyCase& key, std::ostream* out) {
    *out << key.name;
}

class CommandKeys : public GuiTest, public ::testing::WithParamInterface<KeyCase> {
  protected:
    DialogDevice device{frontend};
    KeysWindow window;

    void Run(std::function<void()> press, const std::string& did) {
        frontend.SetAutomation(&driver);
        driver.Add("press", std::move(press));
        driver.Add("end", [&] {
            EXPECT_EQ(window.log, did);
            EXPECT_TRUE(Menus().empty()) << "the menu was chosen from, not left open";
            platform::ui::PostMessage(EndMessage());
        });
        window.RunModal();
        EXPECT_TRUE(driver.AllStepsRan());
    }
};

TEST_P(CommandKeys, IssueTheCommandAsItsButtonOrMenuEntryWould) {
    const KeyCase& key = GetParam();
    Run(
        [&] {
            Shown().SetInputBlocked(key.busy);
            ASSERT_NE(QApplication::focusWidget(), nullptr);
            QTest::keyClick(QApplication::focusWidget(), key.key, key.modifiers);
        },
        key.did);
}

INSTANTIATE_TEST_SUITE_P(Keys, CommandKeys, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The keys show on their buttons, and Tab goes on from the window's controls to the bar.
TEST_F(CommandKeys, ShowOnTheButtonsWhichTabReaches) {
    Run(
        [&] {
            EXPECT_EQ(ToolButton(ID_DOWNLOAD).toolTip(), "DownLoad Files (Ctrl+D)");
            EXPECT_EQ(ToolButton(ID_EXIT).toolTip(), "Ctrl+Q");
            EXPECT_EQ(ToolButton(ID_MOVE).toolTip(), "Move Files (Ctrl+M)");
            Shown().ControlWidget(IDC_CANCEL_TRANSFER)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget(), &ToolButton(ID_SHOW_LOCAL));
        },
        "");
}

}  // namespace
}  // namespace testing_support::qt
