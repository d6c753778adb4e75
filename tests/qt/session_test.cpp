// Whole sessions in the real widgets against the stand-in service: a person logs in, moves
// between the views, ticks rows, downloads with the progress bar moving, cancels with a
// click on CANCEL, opens the tap-and-hold menu and answers the exit question.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <fstream>
#include <set>

#include "gui_test.h"
#include "platform/ui/toolkit.h"
#include "qt/command_bar_view.h"
#include "qt/picture_view.h"
#include "qt/title_strip.h"
#include "res/resource.h"
#include "service_device.h"
#include "support/service_process.h"
#include "support/temp_folder.h"

namespace testing_support::qt {
namespace {

std::string Bytes(std::size_t count, unsigned seed) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>((i * 131 + seed * 17 + (i >> 9)) & 0xFF);
    }
    return bytes;
}

class Session : public GuiTest {
  protected:
    TempFolder deviceRoot{"stowbox-qt-device"};
    ServiceProcess service{{"alice:secret"}};

    void SetUp() override {
        frontend.SetAutomation(&driver);
        deviceRoot.WriteFile("notes.txt", "Shopping list\n");
        deviceRoot.WriteFile("Photos/beach.jpg", Bytes(3000, 1));
    }

    void WriteRemote(const std::string& relative, const std::string& bytes) {
        const auto path = service.AccountDir("alice") / "My Device on Stowbox" / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    void Run() {
        script::DeviceOptions options = DeviceOn(service, deviceRoot.Path());
        options.webServer =
            platform::net::Endpoint{service.Host(), static_cast<std::uint16_t>(service.WebPort())};
        script::RunProgram(frontend, options);
        EXPECT_TRUE(driver.AllStepsRan());
    }

    QString Title() const { return Shown().Title().Title(); }
    void Click(QWidget& widget) {
        ASSERT_TRUE(widget.isVisible());
        ASSERT_TRUE(widget.isEnabled());
        QTest::mouseClick(&widget, Qt::LeftButton);
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
    int RowOf(const std::wstring& name) const {
        const auto names = Names();
        const auto found = std::find(names.begin(), names.end(), name);
        return found == names.end() ? -1 : static_cast<int>(found - names.begin());
    }
    platform::ui::ListView& FileList() const {
        return dynamic_cast<platform::ui::ListView&>(*Shown().Model().GetDlgItem(IDC_FILELIST));
    }

    void LogIn() {
        driver.Add("log in", [this] {
            QTest::keyClicks(&Widget<QLineEdit>(IDC_USERNAME), "alice");
            QTest::keyClicks(&Widget<QLineEdit>(IDC_PASSWORD), "secret");
            Click(Widget<QPushButton>(IDC_LOGIN));
        });
    }
    void Exit() {
        driver.Add("exit", [this] {
            AnswerBox(QMessageBox::Yes);
            Click(ToolButton(ID_EXIT));
        });
    }
};

TEST_F(Session, LogsInSwitchesViewsAndAnswersTheExitQuestion) {
    WriteRemote("readme.txt", "Welcome\n");
    WriteRemote("Music/song.mp3", Bytes(5000, 2));
    driver.Add("empty fields", [&] {
        EXPECT_EQ(Title(), "Kestra");
        AnswerBox(QMessageBox::Ok);
        Click(Widget<QPushButton>(IDC_LOGIN));
    });
    driver.Add("type and log in", [&] {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].title, "Kestra.htp");
        EXPECT_EQ(Boxes()[0].text, "Enter User Name");
        EXPECT_FALSE(Boxes()[0].yesNo);
        QTest::keyClicks(&Widget<QLineEdit>(IDC_USERNAME), "alice");
        QTest::keyClicks(&Widget<QLineEdit>(IDC_PASSWORD), "secret");
        EXPECT_NE(Widget<QLineEdit>(IDC_PASSWORD).displayText(), "secret");
        Shot("typed");
        Click(Widget<QPushButton>(IDC_LOGIN));
    });
    driver.Add("local view", [&] {
        EXPECT_EQ(Title(), "My Device");
        EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Photos", L"notes.txt"}));
        EXPECT_TRUE(ToolButton(ID_UPLOAD).isVisible());
        EXPECT_TRUE(ToolButton(ID_DOWNLOAD).isHidden());
        EXPECT_TRUE(ToolButton(ID_HELP).isHidden());
        EXPECT_TRUE(ToolButton(ID_MOVE).isHidden());
        EXPECT_EQ(ToolButton(ID_UPLOAD).toolTip(), "Upload Files (Ctrl+U)");
        Shot("local");
        Click(ToolButton(ID_SHOW_REMOTE));
    });
    driver.Add("remote view", [&] {
        EXPECT_EQ(Title(), "Stowbox");
        EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Music", L"readme.txt"}));
        EXPECT_TRUE(ToolButton(ID_DOWNLOAD).isVisible());
        EXPECT_TRUE(ToolButton(ID_UPLOAD).isHidden());
        QComboBox& path = Widget<QComboBox>(IDC_PATHBOX);
        EXPECT_EQ(path.currentText(), "**  My Device on Stowbox");
        Shot("remote");
        Click(ToolButton(ID_SHOW_LOCAL));
    });
    driver.Add("exit, no", [&] {
        EXPECT_EQ(Title(), "My Device");
        AnswerBox(QMessageBox::No);
        Click(ToolButton(ID_EXIT));
    });
    driver.Add("still there", [&] {
        ASSERT_EQ(Boxes().size(), 2u);
        EXPECT_EQ(Boxes()[1].text, "Do You Want To Exit");
        EXPECT_TRUE(Boxes()[1].yesNo);
        EXPECT_TRUE(Boxes()[1].stopIcon);
        EXPECT_EQ(Title(), "My Device");
    });
    Exit();
    Run();
    EXPECT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(frontend.ShownView(), nullptr) << "every window closed";
}

TEST_F(Session, DoubleTapOpensAFolderAndTheLongPressMenuOpens) {
    WriteRemote("Music/song.mp3", Bytes(5000, 2));
    WriteRemote("readme.txt", "Welcome\n");
    LogIn();
    driver.Add("remote", [&] { Click(ToolButton(ID_SHOW_REMOTE)); });
    driver.Add("double tap Music", [&] {
        ASSERT_EQ(Names().front(), L"Music");
        DoubleTapRow(List(IDC_FILELIST), 0);
    });
    driver.Add("in Music", [&] {
        ASSERT_EQ(Names().size(), 1u);
        EXPECT_NE(Names()[0].find(L"song.mp3"), std::wstring::npos);
        QComboBox& path = Widget<QComboBox>(IDC_PATHBOX);
        EXPECT_EQ(path.count(), 3);
        EXPECT_TRUE(path.currentText().endsWith("Music"));
        Shot("music");
        // Back up one level through the path box.
        path.setFocus();
        QTest::keyClick(&path, Qt::Key_Up);
    });
    driver.Add("back in the remote root", [&] {
        EXPECT_EQ(Names().size(), 2u);
        ChooseMenuEntry("Share File");
        LongPressRow(List(IDC_FILELIST), 1);
    });
    driver.Add("right click", [&] {
        ChooseMenuEntry("");
        RightClickRow(List(IDC_FILELIST), 0);
    });
    driver.Add("menus seen", [&] {
        ASSERT_EQ(Menus().size(), 2u);
        for (const QStringList& entries : Menus()) {
            EXPECT_EQ(entries, (QStringList{"Cut", "-", "Copy", "-", "Paste", "-", "Share File"}));
        }
    });
    Exit();
    Run();
}

// The file list from the keyboard: Tab reaches it, the arrows move the mark, Space ticks,
// Enter opens a folder and Shift+F10 opens the hold menu of the marked row, drawn marked.
TEST_F(Session, TheFileListWorksFromTheKeyboard) {
    LogIn();
    driver.Add("tab to the list and tick", [&] {
        ASSERT_EQ(Names(), (std::vector<std::wstring>{L"Photos", L"notes.txt"}));
        qtfront::ReportListView& list = List(IDC_FILELIST);
        for (int step = 0; step < 12 && QApplication::focusWidget() != &list; ++step) {
            ASSERT_NE(QApplication::focusWidget(), nullptr);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        ASSERT_EQ(QApplication::focusWidget(), &list) << "Tab never reached the list";
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Down);
        EXPECT_EQ(FileList().GetSelectionMark(), 1);
        QTest::keyClick(&list, Qt::Key_Space);
        EXPECT_TRUE(FileList().GetCheck(1));
        EXPECT_FALSE(FileList().GetCheck(0));
        QTest::keyClick(&list, Qt::Key_Down);  // stays on the last row
        EXPECT_EQ(FileList().GetSelectionMark(), 1);
        QTest::keyClick(&list, Qt::Key_Up);
        EXPECT_EQ(FileList().GetSelectionMark(), 0);
        QTest::keyClick(&list, Qt::Key_Return);
    });
    driver.Add("in Photos, hold menu", [&] {
        const auto names = Names();
        ASSERT_NE(std::find(names.begin(), names.end(), L"beach.jpg"), names.end());
        qtfront::ReportListView& list = List(IDC_FILELIST);
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_End);
        ASSERT_EQ(FileList().GetSelectionMark(), RowOf(L"beach.jpg"));
        ChooseMenuEntry("");
        QTest::keyClick(&list, Qt::Key_F10, Qt::ShiftModifier);
    });
    driver.Add("hold menu seen", [&] {
        ASSERT_EQ(Menus().size(), 1u);
        EXPECT_EQ(Menus()[0].last(), "Share File");
        ASSERT_EQ(HeldRows().size(), 1u);
        EXPECT_EQ(HeldRows()[0], RowOf(L"beach.jpg")) << "the hold menu's row is drawn marked";
        EXPECT_EQ(List(IDC_FILELIST).HeldRow(), -1) << "and unmarked once it closed";
    });
    Exit();
    Run();
}

TEST_F(Session, DownloadsTickedRowsWithTheProgressBarMoving) {
    const std::string first = Bytes(150'000, 3);
    const std::string second = Bytes(150'000, 4);
    WriteRemote("a.bin", first);
    WriteRemote("b.bin", second);
    WriteRemote("Music/song.mp3", Bytes(5000, 2));
    std::set<int> progressSeen;
    bool pictureTaken = false;
    driver.onCancelCheck = [&](int) {
        const int value = Widget<QProgressBar>(IDC_PROGRESS).value();
        progressSeen.insert(value);
        if (value == 1 && !pictureTaken) {
            pictureTaken = true;
            Shot("downloading");
        }
    };
    LogIn();
    driver.Add("remote", [&] { Click(ToolButton(ID_SHOW_REMOTE)); });
    driver.Add("tick", [&] {
        ASSERT_EQ(Names().size(), 3u);
        ASSERT_EQ(RowOf(L"Music"), 0) << "folders first";
        TickRow(List(IDC_FILELIST), RowOf(L"a.bin"));
        TickRow(List(IDC_FILELIST), RowOf(L"b.bin"));
        EXPECT_TRUE(FileList().GetCheck(RowOf(L"a.bin")));
        EXPECT_TRUE(FileList().GetCheck(RowOf(L"b.bin")));
        EXPECT_FALSE(FileList().GetCheck(0));
        Shot("ticked");
        AnswerBox(QMessageBox::Ok);
        Click(ToolButton(ID_DOWNLOAD));
    });
    driver.Add("downloaded", [&] {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, "File Download Completed");
        EXPECT_EQ(deviceRoot.ReadFile("a.bin"), first);
        EXPECT_EQ(deviceRoot.ReadFile("b.bin"), second);
        for (int row = 0; row < 3; ++row) {
            EXPECT_FALSE(FileList().GetCheck(row)) << row;
        }
        EXPECT_TRUE(progressSeen.count(0) && progressSeen.count(1))
            << "the bar moved while the files came";
        EXPECT_EQ(Widget<QProgressBar>(IDC_PROGRESS).value(), 0);
        EXPECT_TRUE(ToolButton(ID_SHOW_LOCAL).isEnabled());
    });
    Exit();
    Run();
}

// A click on CANCEL, or Escape, part way through a download stops it.
TEST_F(Session, AClickOnCancelOrEscapeStopsTheDownload) {
    WriteRemote("big.bin", Bytes(3'000'000, 5));
    int checksBefore = 0;
    int pressed = 0;
    bool byKey = false;
    driver.onCancelCheck = [&](int check) {
        if (check != checksBefore + 200) {
            return;
        }
        if (byKey) {
            // The keyboard's CANCEL, wherever the focus is.
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus != nullptr ? focus : &Widget<QPushButton>(IDC_CANCEL_TRANSFER),
                            Qt::Key_Escape);
        } else {
            Shot("before-cancel");
            // During a transfer the button itself does nothing; its place on the screen
            // is what the transfer looks for.
            QTest::mouseClick(&Widget<QPushButton>(IDC_CANCEL_TRANSFER), Qt::LeftButton);
        }
        ++pressed;
    };
    LogIn();
    driver.Add("remote", [&] { Click(ToolButton(ID_SHOW_REMOTE)); });
    for (const bool key : {false, true}) {
        driver.Add(key ? "download, Escape" : "download, click", [&, key] {
            ASSERT_EQ(Names(), (std::vector<std::wstring>{L"big.bin"}));
            byKey = key;
            checksBefore = driver.CancelChecks();
            TickRow(List(IDC_FILELIST), 0);
            AnswerBox(QMessageBox::Ok);
            Click(ToolButton(ID_DOWNLOAD));
        });
        driver.Add(key ? "cancelled by Escape" : "cancelled by click", [&, key] {
            EXPECT_EQ(pressed, key ? 2 : 1);
            ASSERT_EQ(Boxes().size(), key ? 2u : 1u);
            EXPECT_EQ(Boxes().back().text, "File Transfer Cancelled");
            EXPECT_LT(driver.CancelChecks() - checksBefore, 3'000'000 / 255)
                << "the transfer stopped early";
            EXPECT_FALSE(std::filesystem::exists(deviceRoot.Path() / "big.bin"));
            EXPECT_FALSE(FileList().GetCheck(0));
            EXPECT_EQ(Widget<QProgressBar>(IDC_PROGRESS).value(), 0);
        });
    }
    Exit();
    Run();
}

TEST_F(Session, SharesTheMarkedFileAndReturnsToARemoteView) {
    WriteRemote("readme.txt", "Welcome\n");
    LogIn();
    driver.Add("remote", [&] { Click(ToolButton(ID_SHOW_REMOTE)); });
    driver.Add("mark and share", [&] {
        ASSERT_EQ(RowOf(L"readme.txt"), 0);
        TapRow(List(IDC_FILELIST), 0);
        Click(ToolButton(ID_SHARE));
    });
    driver.Add("fill in", [&] {
        EXPECT_EQ(Title(), "Share File");
        QLineEdit& name = Widget<QLineEdit>(IDC_SHARE_FILENAME);
        EXPECT_EQ(name.text(), "readme.txt");
        EXPECT_TRUE(name.isReadOnly());
        QComboBox& downloads = Widget<QComboBox>(IDC_SHARE_DOWNLOADS);
        EXPECT_EQ(downloads.count(), 10) << "the account's limit";
        EXPECT_EQ(downloads.currentText(), "10");
        EXPECT_EQ(Widget<QLineEdit>(IDC_SHARE_PASSWORD).echoMode(), QLineEdit::Password);
        QTest::keyClicks(&Widget<QLineEdit>(IDC_SHARE_FROM), "alice@example.com");
        QTest::keyClicks(&Widget<QLineEdit>(IDC_SHARE_TO), "carol@example.com");
        QTest::keyClicks(&name, "typed");
        EXPECT_EQ(name.text(), "readme.txt") << "read-only";
        Click(Widget<QCheckBox>(IDC_SHARE_WRITE));
        EXPECT_TRUE(Widget<QCheckBox>(IDC_SHARE_WRITE).isChecked());
        Shot("share-filled");
        Click(Widget<QPushButton>(IDC_GENERATE_SHARE));
    });
    driver.Add("remote again", [&] {
        EXPECT_EQ(Title(), "My Device");
        EXPECT_EQ(Names(), (std::vector<std::wstring>{L"readme.txt"}));
        EXPECT_TRUE(ToolButton(ID_UPLOAD).isHidden());
        EXPECT_TRUE(ToolButton(ID_SHARE).isVisible());
        EXPECT_TRUE(Boxes().empty());
    });
    Exit();
    Run();
    std::size_t mails = 0;
    for (const auto& entry : std::filesystem::directory_iterator(service.OutboxDir())) {
        mails += entry.path().extension() == ".eml" ? 1 : 0;
    }
    EXPECT_EQ(mails, 1u);
}

// The login dialog is centred below the title strip; every other dialog fills the area
// between the title strip and the command bar, its background covering all of it.
TEST_F(Session, DialogsArePlacedAsTheDeviceDoes) {
    using platform::ui::Rect;
    const auto expectPlaced = [this](const Rect& area, int controlId, Rect controlDu) {
        EXPECT_EQ(Shown().Model().GetWindowRect(), area);
        const QRect widgetArea = qtfront::Scale{2}.ToWidget(area);
        // The background picture, where the template has one, covers the whole dialog.
        const auto pictures = Shown().findChildren<qtfront::PictureView*>();
        const auto& controls = Shown().Model().Template().controls;
        if (std::any_of(controls.begin(), controls.end(), [&](const auto& control) {
                return control.bitmap == Shown().Model().Template().backgroundBitmap;
            })) {
            EXPECT_TRUE(std::any_of(pictures.begin(), pictures.end(), [&](const QWidget* picture) {
                return picture->geometry() == widgetArea;
            })) << "no background covers the dialog";
        }
        // Controls keep their places relative to the dialog's corner.
        const Rect control = platform::ui::DialogRectToScreen(controlDu);
        EXPECT_EQ(Shown().ControlWidget(controlId)->geometry().topLeft(),
                  QPoint(2 * (area.x + control.x), 2 * (area.y + control.y - 26)));
        for (const auto* child : Shown().findChildren<QWidget*>()) {
            if (child->parentWidget() == &Shown() && child->isVisible() &&
                child != static_cast<const QWidget*>(&Shown().CommandBar()) &&
                child != static_cast<const QWidget*>(&Shown().Title())) {
                EXPECT_TRUE(widgetArea.contains(child->geometry()))
                    << child->metaObject()->className();
            }
        }
    };
    driver.Add("login centred", [&] {
        expectPlaced({16, 32, 208, 281}, IDC_USERNAME, {48, 9, 79, 14});
        Shot("login");
        // Typed, and Enter presses LOGIN.
        QTest::keyClicks(&Widget<QLineEdit>(IDC_USERNAME), "alice");
        QTest::keyClicks(&Widget<QLineEdit>(IDC_PASSWORD), "secret");
        QTest::keyClick(&Widget<QLineEdit>(IDC_PASSWORD), Qt::Key_Return);
    });
    driver.Add("file manager fills the screen", [&] {
        EXPECT_EQ(Title(), "My Device");
        expectPlaced({0, 26, 240, 268}, IDC_FILELIST, {0, 11, 159, 143});
        // A tap still lands on the control drawn under it.
        const QRect path = Widget<QComboBox>(IDC_PATHBOX).geometry();
        EXPECT_EQ(Shown().Model().GetDlgItem(IDC_PATHBOX)->ScreenRect().x * 2, path.x());
        platform::ui::Message open;
        open.kind = platform::ui::MessageKind::Command;
        open.id = ID_NEW_FOLDER;
        platform::ui::PostMessage(open);
    });
    driver.Add("new folder fills the screen", [&] {
        expectPlaced({0, 26, 240, 268}, IDC_FOLDERNAME, {47, 6, 73, 12});
        // No grey band right of and below the template's own size.
        const QImage screen = frontend.Grab();
        EXPECT_NE(screen.pixelColor(460, 560), QColor(0xf4, 0xf5, 0xf7));
        Shot("new-folder");
        // Escape presses Cancel: nothing is made.
        QTest::keyClicks(&Widget<QLineEdit>(IDC_FOLDERNAME), "Kept out");
        QTest::keyClick(&Widget<QLineEdit>(IDC_FOLDERNAME), Qt::Key_Escape);
    });
    driver.Add("back in the file manager", [&] {
        EXPECT_EQ(Shown().Model().Template().id, IDD_FILEMANAGER);
        EXPECT_FALSE(std::filesystem::exists(service.AccountDir("alice") / "My Device on Stowbox" /
                                             "Kept out"));
        EXPECT_TRUE(Boxes().empty());
    });
    Exit();
    Run();
}

TEST_F(Session, ClosingTheDesktopWindowAsksLikeExit) {
    LogIn();
    driver.Add("close, answer No", [&] {
        EXPECT_EQ(Title(), "My Device");
        AnswerBox(QMessageBox::No);
        frontend.Screen().close();
    });
    driver.Add("still running; close, answer Yes", [&] {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, "Do You Want To Exit");
        EXPECT_TRUE(Boxes()[0].yesNo);
        EXPECT_EQ(Title(), "My Device");
        AnswerBox(QMessageBox::Yes);
        frontend.Screen().close();
    });
    Run();
    EXPECT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(frontend.ShownView(), nullptr);
}

}  // namespace
}  // namespace testing_support::qt
