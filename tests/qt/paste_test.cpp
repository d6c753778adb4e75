// Paste from the real pop-up menu: a device file copied in the Local view and pasted in the
// Remote view is uploaded into the folder shown, and its row appears there.

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "gui_test.h"
#include "res/resource.h"
#include "service_device.h"
#include "support/service_process.h"
#include "support/temp_folder.h"

namespace testing_support::qt {
namespace {

class PasteMenu : public GuiTest {
  protected:
    TempFolder deviceRoot{"stowbox-qt-device"};
    ServiceProcess service{{"alice:secret"}};

    std::filesystem::path RemoteRoot() const {
        return service.AccountDir("alice") / "My Device on Stowbox";
    }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        const auto& list =
            dynamic_cast<const platform::ui::ListView&>(*Shown().Model().GetDlgItem(IDC_FILELIST));
        for (int row = 0; row < list.GetItemCount(); ++row) {
            names.push_back(list.GetItemText(row, 0));
        }
        return names;
    }
    void Click(QWidget& widget) {
        ASSERT_TRUE(widget.isVisible());
        ASSERT_TRUE(widget.isEnabled());
        QTest::mouseClick(&widget, Qt::LeftButton);
    }
};

TEST_F(PasteMenu, CopyOnTheDevicePastedInTheRemoteViewAppearsThere) {
    frontend.SetAutomation(&driver);
    deviceRoot.WriteFile("notes.txt", "Shopping list\n");
    std::filesystem::create_directories(RemoteRoot());
    std::ofstream(RemoteRoot() / "readme.txt") << "Welcome\n";

    driver.Add("log in", [&] {
        QTest::keyClicks(&Widget<QLineEdit>(IDC_USERNAME), "alice");
        QTest::keyClicks(&Widget<QLineEdit>(IDC_PASSWORD), "secret");
        Click(Widget<QPushButton>(IDC_LOGIN));
    });
    driver.Add("copy", [&] {
        ASSERT_EQ(Names(), (std::vector<std::wstring>{L"notes.txt"}));
        ChooseMenuEntry("Copy");
        LongPressRow(List(IDC_FILELIST), 0);
    });
    driver.Add("remote", [&] { Click(ToolButton(ID_SHOW_REMOTE)); });
    driver.Add("paste", [&] {
        ASSERT_EQ(Names(), (std::vector<std::wstring>{L"readme.txt"}));
        ChooseMenuEntry("Paste");
        AnswerBox(QMessageBox::Ok);
        LongPressRow(List(IDC_FILELIST), 0);
    });
    driver.Add("the row appears", [&] {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, "File Upload Completed");
        EXPECT_EQ(Names(), (std::vector<std::wstring>{L"notes.txt", L"readme.txt"}));
        EXPECT_TRUE(std::filesystem::exists(RemoteRoot() / "notes.txt"));
        Shot("pasted");
        // The copy stays recorded: pasting again asks before replacing.
        ChooseMenuEntry("Paste");
        AnswerBox(QMessageBox::No);
        LongPressRow(List(IDC_FILELIST), 0);
    });
    driver.Add("asked", [&] {
        ASSERT_EQ(Boxes().size(), 2u);
        EXPECT_EQ(Boxes()[1].text, "Do you want to replace the exisiting file.");
        EXPECT_TRUE(Boxes()[1].yesNo);
        EXPECT_TRUE(Boxes()[1].stopIcon);
        AnswerBox(QMessageBox::Yes);
        Click(ToolButton(ID_EXIT));
    });

    script::RunProgram(frontend, DeviceOn(service, deviceRoot.Path()));
    EXPECT_TRUE(driver.AllStepsRan());
    EXPECT_EQ(frontend.ShownView(), nullptr) << "every window closed";
}

}  // namespace
}  // namespace testing_support::qt
