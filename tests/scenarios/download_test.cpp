// The download command: checked remote files to the device's top folder, with progress,
// cancellation and the stop at a folder row.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/scenario.h"

namespace {

using Strings = std::vector<std::string>;

class Download : public testing_support::Scenario {
  protected:
    // Every byte value, so that nothing is translated on the way.
    static std::string Binary(std::size_t size) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>(i * 7 % 256);
        }
        return bytes;
    }
    // Names in the device's top folder, hidden ones too, sorted.
    std::vector<std::string> DeviceEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(device.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

const char* const kLocked = "window \"Stowbox\" disabled 32788 32789 32791 32793 32796 32807";
const char* const kUnlocked =
    "expect enabled ID_SHOW_LOCAL ID_SHOW_REMOTE ID_DOWNLOAD ID_NEW_FOLDER ID_DELETE ID_MOVE\n";

TEST_F(Download, ThreeCheckedFilesArriveWithProgressAndCheckMarksCleared) {
    const std::string one = Binary(1000);
    const std::string two = Binary(70000);
    WriteAccountFile("My Device on Stowbox/one.bin", one);
    WriteAccountFile("My Device on Stowbox/two.bin", two);
    WriteAccountFile("My Device on Stowbox/three.txt", "three");
    WriteAccountFile("My Device on Stowbox/four.txt", "four");
    device.WriteFile("three.txt", "an older three");
    std::vector<std::string> repaints;
    const auto result = RunRecordingRepaints(LoginSteps() +
                                                 "command ID_SHOW_REMOTE\n"
                                                 "command ID_DOWNLOAD\n"
                                                 "expect box \"Select a file for Download\"\n"
                                                 "expect row 1 \"one.bin\"\n"
                                                 "expect row 2 \"three.txt\"\n"
                                                 "expect row 3 \"two.bin\"\n"
                                                 "check 1\n"
                                                 "check 2\n"
                                                 "check 3\n"
                                                 "command ID_DOWNLOAD\n"
                                                 "expect box \"File Download Completed\"\n"
                                                 "expect no-box\n"
                                                 "expect unchecked 1\n"
                                                 "expect unchecked 2\n"
                                                 "expect unchecked 3\n"
                                                 "expect progress 0\n"
                                                 "expect rows 4\n" +
                                                 std::string(kUnlocked) + ExitSteps(),
                                             repaints);
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(repaints, (Strings{kLocked, "progress 1/3", "progress 2/3", "progress 3/3"}));
    EXPECT_EQ(device.ReadFile("one.bin"), one);
    EXPECT_EQ(device.ReadFile("two.bin"), two);
    EXPECT_EQ(device.ReadFile("three.txt"), "three");
    // Nothing else: no unchecked file, no leftover of the transfers.
    EXPECT_EQ(DeviceEntries(), (Strings{"one.bin", "three.txt", "two.bin"}));
}

TEST_F(Download, CancelTapDuringTheSecondFileKeepsTheFirstAndTheOldSecond) {
    WriteAccountFile("My Device on Stowbox/a.txt", "first");
    WriteAccountFile("My Device on Stowbox/b.bin", Binary(200000));
    WriteAccountFile("My Device on Stowbox/c.txt", "third");
    device.WriteFile("b.bin", "the device's own b");
    std::vector<std::string> repaints;
    // The first file takes a couple of blocks, the second hundreds.
    const auto result = RunRecordingRepaints(LoginSteps() +
                                                 "command ID_SHOW_REMOTE\n"
                                                 "expect row 0 \"a.txt\"\n"
                                                 "expect row 1 \"b.bin\"\n"
                                                 "expect row 2 \"c.txt\"\n"
                                                 "check 0\n"
                                                 "check 1\n"
                                                 "check 2\n" +
                                                 TapCancelAtBlock(10) +
                                                 "command ID_DOWNLOAD\n"
                                                 "expect box \"File Transfer Cancelled\"\n"
                                                 "expect no-box\n"
                                                 "expect unchecked 0\n"
                                                 "expect unchecked 1\n"
                                                 "expect unchecked 2\n"
                                                 "expect progress 0\n" +
                                                 kUnlocked + ExitSteps(),
                                             repaints);
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(repaints, (Strings{kLocked, "progress 1/3", "progress 0/3"}));
    EXPECT_EQ(device.ReadFile("a.txt"), "first");
    EXPECT_EQ(device.ReadFile("b.bin"), "the device's own b");
    EXPECT_EQ(DeviceEntries(), (Strings{"a.txt", "b.bin"}));
}

TEST_F(Download, CheckedFolderRowStopsTheCommand) {
    WriteAccountFile("My Device on Stowbox/a.txt", "a");
    WriteAccountFile("My Device on Stowbox/k/inside.txt", "i");
    WriteAccountFile("My Device on Stowbox/z.txt", "z");
    const auto result = Run(LoginSteps() +
                            "command ID_SHOW_REMOTE\n"
                            // By name, descending: the folder between the files.
                            "header 0\n"
                            "expect row 0 \"z.txt\"\n"
                            "expect row 1 \"k\"\n"
                            "expect row 2 \"a.txt\"\n"
                            "check 0\n"
                            "check 1\n"
                            "check 2\n"
                            "command ID_DOWNLOAD\n"
                            "expect box \"File Transfer Cancelled\"\n"
                            "expect unchecked 0\n"
                            "expect unchecked 1\n"
                            "expect unchecked 2\n" +
                            kUnlocked + ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(DeviceEntries(), (Strings{"z.txt"}));
}

TEST_F(Download, LeftoversOfAKilledRunAreNeverShownAndTheNextDownloadClearsThem) {
    WriteAccountFile("My Device on Stowbox/a.txt", "a");
    device.WriteFile(".a.txt.part-0123456789abcdef", "half of an old a");
    device.WriteFile("mine.txt", "mine");
    const auto result = Run(LoginSteps() +
                            "expect rows 1\n"
                            "expect row 0 \"mine.txt\"\n"
                            "command ID_SHOW_REMOTE\n"
                            "check 0\n"
                            "command ID_DOWNLOAD\n"
                            "expect box \"File Download Completed\"\n"
                            "command ID_SHOW_LOCAL\n"
                            "expect rows 2\n" +
                            ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(DeviceEntries(), (Strings{"a.txt", "mine.txt"}));
}

}  // namespace
