// Scripts of the headless script language played in the real widgets, with a picture of
// the screen for every window that opens, every `show` step and every message box; and,
// where Xvfb is installed, one such session in a real X window.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <QApplication>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "gui_test.h"
#include "qt/gui_run.h"
#include "script/script.h"
#include "script/script_player.h"
#include "service_device.h"
#include "support/service_process.h"
#include "support/temp_folder.h"

namespace testing_support::qt {
namespace {

constexpr const char* kLogIn =
    "type IDC_USERNAME \"alice\"\n"
    "type IDC_PASSWORD \"secret\"\n"
    "click IDC_LOGIN\n"
    "expect title \"My Device\"\n";

std::vector<std::string> Pictures(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ScriptInWidgets : public ::testing::Test {
  protected:
    int argc = 1;
    char name[8] = "test_qt";
    char* argv[2] = {name, nullptr};
    QApplication app{argc, argv};
    TempFolder deviceRoot{"stowbox-qt-device"};
    ServiceProcess service{{"alice:secret"}};
    std::filesystem::path pictures = ArtifactFolder();
    std::ostringstream transcript;

    script::DeviceOptions Device() const { return DeviceOn(service, deviceRoot.Path()); }
    script::ScriptResult Play(const std::string& text) {
        script::ParseResult parsed = script::ParseScript(text);
        EXPECT_FALSE(parsed.error.has_value());
        return qtfront::RunScriptInWidgets(std::move(parsed.steps),
                                           {Device(), qtfront::Scale{2}, pictures}, transcript);
    }
    void WriteRemote(const std::string& relative, const std::string& bytes) {
        const auto path = service.AccountDir("alice") / "My Device on Stowbox" / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
};

TEST_F(ScriptInWidgets, PlaysTheScriptAndSavesPicturesOfTheScreen) {
    WriteRemote("readme.txt", "Welcome\n");
    const auto result = Play(std::string(kLogIn) +
                             "show\n"
                             "command ID_SHOW_REMOTE\n"
                             "expect rows 1\n"
                             "check 0\n"
                             "command ID_DOWNLOAD\n"
                             "expect box \"File Download Completed\"\n"
                             "show\n"
                             "answer yes\n"
                             "command ID_EXIT\n");
    EXPECT_EQ(result.status, script::kStatusOk) << result.message << transcript.str();
    EXPECT_NE(transcript.str().find("window open \"Kestra\" CLoginDlg"), std::string::npos);
    EXPECT_EQ(deviceRoot.ReadFile("readme.txt"), "Welcome\n");
    EXPECT_EQ(Pictures(pictures), (std::vector<std::string>{
                                      "001-open-CLoginDlg.png",
                                      "002-open-CFileManagerDlg.png",
                                      "003-show.png",
                                      "004-box.png",
                                      "005-show.png",
                                      "006-box.png",
                                  }));
    const QImage screen(QString::fromStdString((pictures / "005-show.png").string()));
    EXPECT_EQ(screen.size(), QSize(480, 640));
}

TEST_F(ScriptInWidgets, AQuestionWithoutAnAnswerEndsTheRunInsteadOfWaiting) {
    const auto result = Play(std::string(kLogIn) + "command ID_EXIT\n");
    EXPECT_EQ(result.status, script::kStatusBadStep);
    EXPECT_NE(result.message.find("Do You Want To Exit"), std::string::npos) << result.message;
}

TEST_F(ScriptInWidgets, ATapOnCancelAtATransferBlockCancelsTheDownload) {
    WriteRemote("big.bin", std::string(400'000, 'x'));
    const auto result = Play(std::string(kLogIn) +
                             "command ID_SHOW_REMOTE\n"
                             "check 0\n"
                             "tap-at-block 20 202 285\n"
                             "command ID_DOWNLOAD\n"
                             "expect box \"File Transfer Cancelled\"\n"
                             "expect unchecked 0\n"
                             "answer yes\n"
                             "command ID_EXIT\n");
    EXPECT_EQ(result.status, script::kStatusOk) << result.message << transcript.str();
    EXPECT_FALSE(std::filesystem::exists(deviceRoot.Path() / "big.bin"));
}

TEST_F(ScriptInWidgets, RunsInARealXWindowWhereXvfbIsInstalled) {
#ifndef STOWBOX_XVFB_RUN
    GTEST_SKIP() << "xvfb-run is not installed";
#else
    WriteRemote("readme.txt", "Welcome\n");
    const std::filesystem::path script =
        deviceRoot.Path().parent_path() / (deviceRoot.Path().filename().string() + ".script");
    std::ofstream(script) << kLogIn
                          << "command ID_SHOW_REMOTE\nshow\nanswer yes\ncommand ID_EXIT\n";
    // Under the sanitizers, the X11 platform's D-Bus library keeps memory to the end. The
    // tester's own device settings stay out of it.
    const std::string command =
        std::string("env -u QT_QPA_PLATFORM XDG_CONFIG_HOME='") + script.string() +
        ".config' LSAN_OPTIONS=suppressions=" + STOWBOX_LSAN_SUPPRESSIONS + " " + STOWBOX_XVFB_RUN +
        " -a -s '-screen 0 640x800x24' '" + STOWBOX_CLIENT_PATH + "' --script '" + script.string() +
        "' --screenshots '" + pictures.string() + "' --device-root '" + deviceRoot.Path().string() +
        "' --server " + service.Host() + ":" + std::to_string(service.FtpPort()) + " > '" +
        (pictures.string() + ".log") + "' 2>&1";
    const int status = std::system(command.c_str());
    std::filesystem::remove(script);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see " << pictures.string() << ".log";
    EXPECT_EQ(Pictures(pictures),
              (std::vector<std::string>{"001-open-CLoginDlg.png", "002-open-CFileManagerDlg.png",
                                        "003-show.png", "004-box.png"}));
#endif
}

}  // namespace
}  // namespace testing_support::qt
