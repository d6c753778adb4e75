#include "test_dialog.h"

#include "platform/ui/toolkit.h"
#include "res/resource.h"

namespace testing_support::qt {

using namespace platform::ui;

namespace {

constexpr ControlTemplate kControls[] = {
    {kUserEdit, ControlKind::Edit, L"", {48, 4, 80, 12}, kStyleBorder | kStyleAutoHScroll, 0},
    {kPasswordEdit,
     ControlKind::Edit,
     L"",
     {48, 20, 80, 12},
     kStyleBorder | kStyleAutoHScroll | kStylePassword,
     0},
    {kGoButton, ControlKind::Button, L"GO", {4, 36, 40, 14}, 0, 0},
    {kRememberBox, ControlKind::CheckBox, L"Remember", {50, 36, 70, 12}, 0, 0},
    {kChoiceCombo, ControlKind::ComboBox, L"", {4, 54, 120, 60}, kStyleDropDownList, 0},
    {kRowsList, ControlKind::ListView, L"", {0, 66, 159, 86}, kStyleReport, 0},
    {kProgressBar, ControlKind::ProgressBar, L"", {4, 156, 108, 9}, 0, 0},
    {kCancelButton, ControlKind::Button, L"CANCEL", {115, 154, 41, 12}, 0, 0},
    {0, ControlKind::Picture, L"", {0, 0, 159, 34}, 0, IDB_NEWFOLDER_BACKGROUND},
};
constexpr DialogTemplate kTemplate{900, L"Test window", L"Verdana",         8, 160,
                                   177, kControls,      IDB_MAIN_BACKGROUND};

constexpr CommandBarButtonTemplate kButtons[] = {
    {kShownCommand, 0, L"Shown"},
    {kHiddenCommand, 1, L"Hidden"},
    {kDisabledCommand, 2, L"Disabled"},
};
constexpr CommandBarButtonTemplate kHelpButton[] = {{kHelpCommand, 7, L""}};

}  // namespace

const DialogTemplate& TestTemplate() {
    return kTemplate;
}

TestDialog::TestDialog(bool withHelp, std::wstring title)
    : Dialog(kTemplate), m_withHelp(withHelp), m_title(std::move(title)) {
    BindControl(kRowsList, list);
    SetTransferCancelControl(kCancelButton);
}

bool TestDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    SetWindowText(m_title);
    list.InsertColumn(0, L"Name", ColumnAlign::Left, 150);
    list.InsertColumn(1, L"Size", ColumnAlign::Right, 60);
    list.InsertColumn(2, L"No", ColumnAlign::Right, 0);
    list.SetCheckBoxes(true);
    GetCommandBar().AddButtons(kButtons);
    if (m_withHelp) {
        GetCommandBar().AddButtons(kHelpButton);
        GetCommandBar().HideButton(kHelpCommand, true);
    }
    GetCommandBar().HideButton(kHiddenCommand, true);
    GetCommandBar().EnableButton(kDisabledCommand, false);
    AddRows(initialRows);
    return true;
}

void TestDialog::AddRows(int count) {
    const int first = list.GetItemCount();
    for (int i = first; i < first + count; ++i) {
        const int row = list.InsertItem(i, L"row " + std::to_wstring(i), i % 2);
        list.SetItemText(row, 1, std::to_wstring(i * 10));
        list.SetItemText(row, 2, i % 2 == 0 ? L"1" : L"2");
    }
}

bool TestDialog::OnMessage(const Message& message) {
    if (message.kind == MessageKind::Command && message.id == kEndCommand) {
        EndDialog(0);
        return true;
    }
    received.push_back(message);
    if (onMessage) {
        onMessage(message);
    }
    if (message.kind == MessageKind::Close) {
        return Dialog::OnMessage(message);  // the toolkit's meaning: every run ends
    }
    return true;
}

std::vector<Message> TestDialog::Received(MessageKind kind, int code) const {
    std::vector<Message> found;
    for (const Message& message : received) {
        if (message.kind == kind && (kind != MessageKind::Notify || message.code == code)) {
            found.push_back(message);
        }
    }
    return found;
}

DialogDevice::DialogDevice(Frontend& frontend)
    : m_device(frontend, m_root.Path()), m_active(m_device) {}

Message EndMessage() {
    Message end;
    end.kind = MessageKind::Command;
    end.id = kEndCommand;
    return end;
}

}  // namespace testing_support::qt
