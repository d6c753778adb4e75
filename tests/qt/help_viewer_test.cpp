// The help command opens the device's help page, or the page installed with the program when
// the device has none, without writing anything into the device.

#include <gtest/gtest.h>

#include <QTest>

#include <fstream>

#include "gui_test.h"
#include "platform/ui/toolkit.h"
#include "qt/help_viewer.h"
#include "support/temp_folder.h"
#include "test_dialog.h"

namespace testing_support::qt {
namespace {

const std::wstring kViewer = L"PegHelp.exe";
const std::wstring kCommandLine = L"file:\\Windows\\Kestra.htm";

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class HelpPage : public ::testing::Test {
  protected:
    static std::filesystem::path Shipped() { return qtfront::ShippedHelpPage(); }

    TempFolder root{"stowbox-help"};
    platform::fs::FileSystem files{root.Path()};
};

TEST_F(HelpPage, IsTheInstalledOneUnlessTheDeviceHasItsOwnAndNothingIsWritten) {
    // The page the build put where an installed program finds it.
    const auto page = qtfront::PrepareHelpPage(files, kViewer, kCommandLine, Shipped());
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(*page, Shipped());
    const std::string text = Read(*page);
    EXPECT_NE(text.find("<html"), std::string::npos);
    EXPECT_NE(text.find("F1"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(root.Path())) << "the device folder is the person's";

    // A page the person put there is theirs: it is shown.
    root.WriteFile("Windows/Kestra.htm", "my own notes");
    EXPECT_EQ(qtfront::PrepareHelpPage(files, kViewer, kCommandLine, Shipped()),
              root.Path() / "Windows" / "Kestra.htm");
}

TEST_F(HelpPage, OtherProgramsPagesPathsLeavingTheDeviceAndAMissingInstallOpenNothing) {
    EXPECT_FALSE(qtfront::PrepareHelpPage(files, L"notepad.exe", kCommandLine, Shipped()));
    EXPECT_FALSE(qtfront::PrepareHelpPage(files, kViewer, L"file:\\Windows\\Other.htm", Shipped()));
    EXPECT_FALSE(
        qtfront::PrepareHelpPage(files, kViewer, L"file:\\..\\..\\etc\\passwd", Shipped()));
    // A program whose installed page is gone, or that cannot tell where it is installed.
    EXPECT_FALSE(
        qtfront::PrepareHelpPage(files, kViewer, kCommandLine, root.Path() / "no-such.htm"));
    EXPECT_FALSE(qtfront::PrepareHelpPage(files, kViewer, kCommandLine, {}));
    EXPECT_TRUE(std::filesystem::is_empty(root.Path()));
    // A page of another name that is there opens; the viewer's name is not case-sensitive.
    root.WriteFile("Manual.htm", "x");
    EXPECT_EQ(
        qtfront::PrepareHelpPage(files, L"\\Windows\\PEGHELP.EXE", L"file:\\Manual.htm", Shipped()),
        root.Path() / "Manual.htm");
}

class HelpCommand : public GuiTest {
  protected:
    DialogDevice device{frontend};
    TestDialog dialog;
};

TEST_F(HelpCommand, OpensThePageInTheDesktopsBrowser) {
    std::vector<QUrl> opened;
    frontend.openUrl = [&](const QUrl& url) {
        opened.push_back(url);
        return true;
    };
    frontend.SetAutomation(&driver);
    driver.Add("help", [&] {
        EXPECT_TRUE(frontend.StartProgram(kViewer, kCommandLine));
        EXPECT_FALSE(frontend.StartProgram(L"calc.exe", L""));
        platform::ui::PostMessage(EndMessage());
    });
    dialog.RunModal();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_EQ(opened[0].toLocalFile().toStdString(), qtfront::ShippedHelpPage().string());
    EXPECT_TRUE(std::filesystem::is_empty(device.Root()));
}

TEST_F(HelpCommand, ShowsThePageInItsOwnViewerWhenTheDesktopCannot) {
    int tries = 0;
    frontend.openUrl = [&](const QUrl&) {
        ++tries;
        return false;
    };
    frontend.SetAutomation(&driver);
    driver.Add("help twice", [&] {
        EXPECT_EQ(frontend.HelpViewer(), nullptr);
        EXPECT_TRUE(frontend.StartProgram(kViewer, kCommandLine));
        ASSERT_NE(frontend.HelpViewer(), nullptr);
        qtfront::HelpWindow* viewer = frontend.HelpViewer();
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_TRUE(viewer->source().toLocalFile().endsWith("/Kestra.htm"));
        EXPECT_TRUE(viewer->toPlainText().contains("F1"));
        // Over the program's window, not in a corner of the screen.
        const QPoint offset =
            viewer->frameGeometry().center() - frontend.Screen().window()->frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
        // Asked again after each of the keys that close it, the same viewer comes back.
        for (const QKeySequence& keys :
             {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
            QTest::keySequence(viewer, keys);
            EXPECT_FALSE(viewer->isVisible()) << keys.toString().toStdString();
            EXPECT_TRUE(frontend.StartProgram(kViewer, kCommandLine));
            EXPECT_EQ(frontend.HelpViewer(), viewer);
            EXPECT_TRUE(viewer->isVisible());
        }
        EXPECT_FALSE(frontend.StartProgram(kViewer, L"file:\\Windows\\Other.htm"));
        platform::ui::PostMessage(EndMessage());
    });
    dialog.RunModal();
    EXPECT_EQ(tries, 3);
}

}  // namespace
}  // namespace testing_support::qt
