// The move command in the real widgets: Ctrl+M opens the folder picker from the Remote view
// only, a double click walks down, MOVE FILE moves the ticked files.

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <fstream>

#include "app/globals.h"
#include "gui_test.h"
#include "res/resource.h"
#include "service_device.h"
#include "support/service_process.h"
#include "support/temp_folder.h"

namespace testing_support::qt {
namespace {

namespace fs = std::filesystem;

class MoveDialog : public GuiTest {
  protected:
    TempFolder deviceRoot{"stowbox-qt-device"};
    ServiceProcess service{{"alice:secret"}};

    fs::path RemoteRoot() const { return service.AccountDir("alice") / "My Device on Stowbox"; }
    void WriteRemote(const std::string& relative, const std::string& bytes) const {
        const auto path = RemoteRoot() / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    const platform::ui::ListView& ListModel(int id) const {
        return dynamic_cast<const platform::ui::ListView&>(*Shown().Model().GetDlgItem(id));
    }
    int RowOf(int listId, const std::wstring& name) const {
        const auto& list = ListModel(listId);
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (list.GetItemText(row, 0) == name) {
                return row;
            }
        }
        return -1;
    }
    std::string ShownClass() const { return Shown().Model().ClassName(); }
    void PressCtrlM() { QTest::keyClick(&frontend.Screen(), Qt::Key_M, Qt::ControlModifier); }
    void Click(QWidget& widget) {
        ASSERT_TRUE(widget.isVisible());
        QTest::mouseClick(&widget, Qt::LeftButton);
    }
};

TEST_F(MoveDialog, CtrlMInTheRemoteViewMovesTickedFilesAndDoesNothingOnTheDevice) {
    deviceRoot.WriteFile("a.txt", "device a");
    WriteRemote("a.txt", "remote a");
    WriteRemote("b.txt", "remote b");
    WriteRemote("Docs/Work/plan.txt", "p");
    frontend.SetAutomation(&driver);
    driver.Add("log in", [&] {
        QTest::keyClicks(&Widget<QLineEdit>(IDC_USERNAME), "alice");
        QTest::keyClicks(&Widget<QLineEdit>(IDC_PASSWORD), "secret");
        Click(Widget<QPushButton>(IDC_LOGIN));
    });
    driver.Add("Ctrl+M on the device's files", [&] {
        TickRow(List(IDC_FILELIST), RowOf(IDC_FILELIST, L"a.txt"));
        PressCtrlM();
    });
    driver.Add("still the Local view", [&] {
        EXPECT_EQ(ShownClass(), "CFileManagerDlg");
        EXPECT_EQ(g_strOpenRemote, L"") << "the move command ran";
        EXPECT_TRUE(Boxes().empty());
        Click(ToolButton(ID_SHOW_REMOTE));
    });
    driver.Add("tick and Ctrl+M", [&] {
        TickRow(List(IDC_FILELIST), RowOf(IDC_FILELIST, L"a.txt"));
        TickRow(List(IDC_FILELIST), RowOf(IDC_FILELIST, L"b.txt"));
        EXPECT_TRUE(ToolButton(ID_MOVE).isHidden());
        PressCtrlM();
    });
    driver.Add("the picker at the remote root", [&] {
        ASSERT_EQ(ShownClass(), "CMoveFileDlg");
        EXPECT_EQ(Shown().Model().GetWindowText(), L"MOVE FILE");
        EXPECT_EQ(Widget<QComboBox>(IDC_MOVE_PATHBOX).currentText(), "**  My Device on Stowbox");
        ASSERT_EQ(ListModel(IDC_MOVE_FOLDERLIST).GetItemCount(), 1);
        EXPECT_EQ(ListModel(IDC_MOVE_FOLDERLIST).GetItemText(0, 0), L" Docs");
        DoubleTapRow(List(IDC_MOVE_FOLDERLIST), 0);
    });
    driver.Add("in Docs", [&] {
        QComboBox& path = Widget<QComboBox>(IDC_MOVE_PATHBOX);
        EXPECT_EQ(path.count(), 3);
        EXPECT_EQ(path.currentText(), "***  Docs");
        ASSERT_EQ(ListModel(IDC_MOVE_FOLDERLIST).GetItemCount(), 1);
        EXPECT_EQ(ListModel(IDC_MOVE_FOLDERLIST).GetItemText(0, 0), L" Work");
        TapRow(List(IDC_MOVE_FOLDERLIST), 0);
        Shot("work-chosen");
        Click(Widget<QPushButton>(IDC_MOVE_FILE));
    });
    driver.Add("moved, a fresh window in Docs", [&] {
        EXPECT_EQ(ShownClass(), "CFileManagerDlg");
        EXPECT_EQ(RowOf(IDC_FILELIST, L"Work"), 0);
        EXPECT_TRUE(ToolButton(ID_DOWNLOAD).isVisible());
        AnswerBox(QMessageBox::Yes);
        Click(ToolButton(ID_EXIT));
    });
    script::RunProgram(frontend, DeviceOn(service, deviceRoot.Path()));
    EXPECT_TRUE(driver.AllStepsRan());
    EXPECT_EQ(frontend.ShownView(), nullptr) << "every window of the chain closed";
    std::ifstream moved(RemoteRoot() / "Docs" / "Work" / "a.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(moved), {}), "remote a");
    EXPECT_TRUE(fs::is_regular_file(RemoteRoot() / "Docs" / "Work" / "b.txt"));
    EXPECT_FALSE(fs::exists(RemoteRoot() / "a.txt"));
    EXPECT_EQ(deviceRoot.ReadFile("a.txt"), "device a");
}

}  // namespace
}  // namespace testing_support::qt
