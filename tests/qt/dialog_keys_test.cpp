// Enter and Escape in the program's dialogs press the buttons their templates name, as a
// press of that button would: a swap would cancel where a person meant to go ahead.

#include <QTest>
#include <vector>

#include "gui_test.h"
#include "platform/ui/dialog.h"
#include "platform/ui/toolkit.h"
#include "res/resource.h"
#include "res/templates.h"
#include "test_dialog.h"

namespace testing_support::qt {
namespace {

using platform::ui::DialogTemplate;
using platform::ui::kNoButton;
using platform::ui::Message;
using platform::ui::MessageKind;

// A dialog of the program's template that only records the commands it gets.
class TemplateDialog final : public platform::ui::Dialog {
  public:
    using Dialog::Dialog;
    const char* ClassName() const override { return "TemplateDialog"; }
    bool OnMessage(const Message& message) override {
        if (message.kind != MessageKind::Command) {
            return false;
        }
        if (message.id == kEndCommand) {
            EndDialog(0);
        } else {
            pressed.push_back(message.id);
        }
        return true;
    }
    std::vector<int> pressed;
};

struct KeyCase {
    const char* dialog;
    const DialogTemplate& (*tmpl)();
    int enter;  // the button Enter presses
    int escape;
};

const KeyCase kCases[] = {
    {"Login", res::LoginDialog, IDC_LOGIN, kNoButton},
    {"MoveFile", res::MoveFileDialog, IDC_MOVE_FILE, IDC_MOVE_CANCEL},
    {"ShareFile", res::ShareFileDialog, IDC_GENERATE_SHARE, IDC_SHARE_CANCEL},
    {"NewFolder", res::NewFolderDialog, platform::ui::kIdOk, platform::ui::kIdCancel},
};

void PrintTo(const KeyCase& keys, std::ostream* out) {
    *out << keys.dialog;
}

std::vector<int> Pressed(int button) {
    return button == kNoButton ? std::vector<int>{} : std::vector<int>{button};
}

class EnterAndEscape : public GuiTest, public ::testing::WithParamInterface<KeyCase> {
  protected:
    DialogDevice device{frontend};
};

TEST_P(EnterAndEscape, PressTheDefaultAndTheCancelButton) {
    const KeyCase& keys = GetParam();
    TemplateDialog dialog(keys.tmpl());
    frontend.SetAutomation(&driver);
    driver.Add("Enter", [&] { QTest::keyClick(&Shown(), Qt::Key_Return); });
    driver.Add("Escape", [&] {
        EXPECT_EQ(dialog.pressed, Pressed(keys.enter)) << "Enter";
        dialog.pressed.clear();
        QTest::keyClick(&Shown(), Qt::Key_Escape);
    });
    driver.Add("end", [&] {
        EXPECT_EQ(dialog.pressed, Pressed(keys.escape)) << "Escape";
        platform::ui::PostMessage(EndMessage());
    });
    dialog.RunModal();
    EXPECT_TRUE(driver.AllStepsRan());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, EnterAndEscape, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.dialog); });

}  // namespace
}  // namespace testing_support::qt
