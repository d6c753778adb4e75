// While a file goes up or comes down, the bar fills within the file's step and names the
// file, its bytes and the rate; the steps a script sees stay the program's own.

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <chrono>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "gui_test.h"
#include "platform/ui/progress_bar.h"
#include "qt/file_progress.h"
#include "qt/progress_view.h"
#include "res/resource.h"
#include "service_device.h"
#include "support/service_process.h"
#include "support/temp_folder.h"

namespace testing_support::qt {
namespace {

constexpr std::size_t kFileBytes = 2 * 1024 * 1024;
// Every so many blocks the test holds the transfer back a little longer than the report
// interval, so that several reports come whatever the machine's speed.
constexpr int kChecksBetweenPauses = 1000;
constexpr auto kPause = std::chrono::milliseconds(30);

// What the bar showed at one cancel check.
struct Seen {
    int step;  // the model's position: what a script's `progress` prints
    double fine;
    QString text;
};

class FileProgressShown : public GuiTest {
  protected:
    TempFolder deviceRoot{"stowbox-qt-device"};
    ServiceProcess service{{"alice:secret"}};
    std::map<QString, std::vector<Seen>> seen;  // by the file the text names

    void SetUp() override {
        frontend.SetAutomation(&driver);
        deviceRoot.WriteFile("up.bin", std::string(kFileBytes, 'u'));
        for (const char* name : {"a.bin", "b.bin"}) {
            const auto path = service.AccountDir("alice") / "My Device on Stowbox" / name;
            std::filesystem::create_directories(path.parent_path());
            std::ofstream(path, std::ios::binary) << std::string(kFileBytes, 'd');
        }
        driver.onCancelCheck = [this](int check) {
            const auto& model = dynamic_cast<const platform::ui::ProgressBar&>(
                *Shown().Model().GetDlgItem(IDC_PROGRESS));
            const auto& view = Widget<qtfront::ProgressView>(IDC_PROGRESS);
            seen[view.TransferText().section("  ", 0, 0)].push_back(
                {model.GetPos(), view.FinePosition(), view.TransferText()});
            if (check % kChecksBetweenPauses == 0) {
                if (check == 3 * kChecksBetweenPauses) {
                    Shot("uploading");
                }
                std::this_thread::sleep_for(kPause);
            }
        };
    }

    void TickAndRun(const std::vector<QString>& names, int command) {
        auto& list = List(IDC_FILELIST);
        for (const QString& name : names) {
            const auto found = list.model()->match(list.model()->index(0, 0), Qt::DisplayRole, name,
                                                   1, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            TickRow(list, found[0].row());
        }
        AnswerBox(QMessageBox::Ok);
        QTest::mouseClick(&ToolButton(command), Qt::LeftButton);
    }

    // Within the file's step the fill rises through several places, never past the next
    // step, while the model stays at the step; the text names the file, its size and a rate.
    void ExpectStepFilled(const QString& name, int step) {
        const std::vector<Seen>& checks = seen[name];
        ASSERT_FALSE(checks.empty()) << name.toStdString();
        std::set<double> inside;
        double last = step;
        for (const Seen& one : checks) {
            EXPECT_EQ(one.step, step) << name.toStdString();
            EXPECT_GE(one.fine, last) << name.toStdString() << ": the fill never goes back";
            EXPECT_LE(one.fine, step + 1) << name.toStdString();
            last = one.fine;
            if (one.fine > step) {
                inside.insert(one.fine);
            }
            EXPECT_TRUE(one.text.contains(" of 2.0 MB")) << one.text.toStdString();
        }
        EXPECT_GE(inside.size(), 3u) << name.toStdString() << ": the bar filled within the step";
        // Reports come every few milliseconds, not with every block.
        EXPECT_LT(inside.size(), checks.size() / 10) << name.toStdString();
        EXPECT_TRUE(checks.back().text.contains(QRegularExpression(R"(  \d+\.\d [KMG]B/s$)")))
            << checks.back().text.toStdString();
    }
};

TEST_F(FileProgressShown, BarFillsWithinEachFileStepAndNamesTheFileItsBytesAndTheRate) {
    driver.Add("log in", [&] {
        QTest::keyClicks(&Widget<QLineEdit>(IDC_USERNAME), "alice");
        QTest::keyClicks(&Widget<QLineEdit>(IDC_PASSWORD), "secret");
        QTest::mouseClick(&Widget<QPushButton>(IDC_LOGIN), Qt::LeftButton);
    });
    driver.Add("upload", [&] { TickAndRun({"up.bin"}, ID_UPLOAD); });
    driver.Add("remote", [&] { QTest::mouseClick(&ToolButton(ID_SHOW_REMOTE), Qt::LeftButton); });
    driver.Add("download", [&] { TickAndRun({"a.bin", "b.bin"}, ID_DOWNLOAD); });
    driver.Add("downloaded", [&] {
        const auto& view = Widget<qtfront::ProgressView>(IDC_PROGRESS);
        EXPECT_EQ(view.TransferText().toStdString(), "") << "the text leaves with the transfer";
        EXPECT_EQ(view.FinePosition(), 0.0);
        AnswerBox(QMessageBox::Yes);
        QTest::mouseClick(&ToolButton(ID_EXIT), Qt::LeftButton);
    });
    script::RunProgram(frontend, DeviceOn(service, deviceRoot.Path()));
    EXPECT_TRUE(driver.AllStepsRan());

    ASSERT_GE(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0].text, "File Upload Completed");
    EXPECT_EQ(Boxes()[1].text, "File Download Completed");
    ExpectStepFilled("up.bin", 0);
    ExpectStepFilled("a.bin", 0);
    ExpectStepFilled("b.bin", 1);
}

// Sizes and rates in the words a person reads at a glance.
TEST(FileProgressText, BytesAndRateReadAtAGlance) {
    const std::pair<std::uint64_t, const char*> counts[] = {
        {1023, "1023 B"}, {1024, "1.0 KB"}, {1'048'550, "1.0 MB"}, {5'905'580'032, "5.5 GB"}};
    for (const auto& [bytes, text] : counts) {
        EXPECT_EQ(qtfront::ByteCountText(bytes).toStdString(), text) << bytes;
    }
    using namespace std::chrono_literals;
    qtfront::FileProgress progress;
    const auto start = qtfront::FileProgress::Clock::now();
    // The rate spans about the last second: the slow start drops out of it.
    for (const auto& [bytes, after] : {std::pair{0, 0ms}, {1 << 20, 1000ms}, {9 << 20, 2000ms}}) {
        progress.Update({L"big.bin", static_cast<std::uint64_t>(bytes), std::nullopt, true},
                        start + after);
    }
    EXPECT_EQ(progress.AmountText().toStdString(), "9.0 MB  8.0 MB/s");
    // The next file starts its rate afresh.
    progress.Update({L"next.bin", 250, 1024, true}, start + 2100ms);
    EXPECT_EQ(progress.AmountText().toStdString(), "250 B of 1.0 KB");
}

}  // namespace
}  // namespace testing_support::qt
