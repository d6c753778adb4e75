// The help command opens the device's help page; the page installed with the program is
// copied into the device only when it is missing.

#include <gtest/gtest.h>

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

TEST_F(HelpPage, IsWrittenOnlyWhenAskedForAndMissing) {
    EXPECT_TRUE(std::filesystem::is_empty(root.Path())) << "nothing before the help command";
    // The page the build put where an installed program finds it.
    const auto page = qtfront::PrepareHelpPage(files, kViewer, kCommandLine, Shipped());
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(*page, root.Path() / "Windows" / "Kestra.htm");
    const std::string text = Read(*page);
    EXPECT_NE(text.find("<html"), std::string::npos);
    EXPECT_NE(text.find("F1"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "Windows" / "Kestra.htm.partial"));

    // A page the person put there is theirs: it is shown, not replaced.
    root.WriteFile("Windows/Kestra.htm", "my own notes");
    EXPECT_EQ(qtfront::PrepareHelpPage(files, kViewer, kCommandLine, Shipped()), page);
    EXPECT_EQ(Read(*page), "my own notes");
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
    EXPECT_TRUE(opened[0].toLocalFile().endsWith("/Windows/Kestra.htm"));
    EXPECT_TRUE(std::filesystem::exists(opened[0].toLocalFile().toStdString()));
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
        EXPECT_TRUE(viewer->source().toLocalFile().endsWith("/Windows/Kestra.htm"));
        EXPECT_TRUE(viewer->toPlainText().contains("F1"));
        viewer->close();
        // Asked again, the same viewer comes back.
        EXPECT_TRUE(frontend.StartProgram(kViewer, kCommandLine));
        EXPECT_EQ(frontend.HelpViewer(), viewer);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_FALSE(frontend.StartProgram(kViewer, L"file:\\Windows\\Other.htm"));
        platform::ui::PostMessage(EndMessage());
    });
    dialog.RunModal();
    EXPECT_EQ(tries, 2);
}

}  // namespace
}  // namespace testing_support::qt
