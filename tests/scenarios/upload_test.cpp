// The upload command: checked device files into the remote root, checked device folders
// with their whole content, each file in its own remote folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/scenario.h"

namespace {

using Strings = std::vector<std::string>;

class Upload : public testing_support::Scenario {
  protected:
    // Everything below the remote root, folders with a trailing "/", sorted.
    Strings RemoteTree() const {
        Strings entries;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(RemoteRoot())) {
            std::string name = entry.path().lexically_relative(RemoteRoot()).generic_string();
            entries.push_back(entry.is_directory() ? name + "/" : name);
        }
        std::sort(entries.begin(), entries.end());
        return entries;
    }
    std::string Remote(const std::string& relative) const {
        std::ifstream in(RemoteRoot() / relative, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

const char* const kLockedMyDevice = "window \"My Device\" disabled 32788 32789 32790 57670 32807";
const char* const kLockedUploading =
    "window \"Uploading Files\" disabled 32788 32789 32790 57670 32807";
const char* const kUnlocked =
    "expect title \"My Device\"\n"
    "expect enabled ID_SHOW_LOCAL ID_SHOW_REMOTE ID_UPLOAD ID_HELP ID_MOVE\n"
    "expect progress 0\n";

TEST_F(Upload, CheckedFileTwoLevelsDownLandsInTheRemoteRoot) {
    device.WriteFile("Photos/2003/deep.jpg", "deep bytes");
    MakeAccountFolder("My Device on Stowbox");
    std::vector<std::string> repaints;
    const auto result = RunRecordingRepaints(LoginSteps() +
                                                 "doubletap 0\n"
                                                 "doubletap 0\n"
                                                 "expect row 0 \"deep.jpg\"\n"
                                                 "command ID_UPLOAD\n"
                                                 "expect box \"Select a file/folder for Upload\"\n"
                                                 "check 0\n"
                                                 "command ID_UPLOAD\n"
                                                 "expect box \"File Upload Completed\"\n"
                                                 "expect no-box\n"
                                                 "expect unchecked 0\n" +
                                                 std::string(kUnlocked) + ExitSteps(),
                                             repaints);
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(repaints, (Strings{kLockedMyDevice, kLockedUploading, "progress 1/1"}));
    EXPECT_EQ(RemoteTree(), (Strings{"deep.jpg"}));
    EXPECT_EQ(Remote("deep.jpg"), "deep bytes");
}

TEST_F(Upload, CheckedFoldersLandWholeEveryFileInItsOwnFolder) {
    // Subfolders enumerate before the files beside them: those files must still land in
    // the folder they belong to.
    device.WriteFile("Photos/2003/b.jpg", "b");
    device.WriteFile("Photos/2003/c.jpg", "c");
    for (int i = 0; i < 50; ++i) {
        device.WriteFile("Photos/2004/f" + std::to_string(100 + i) + ".jpg", std::to_string(i));
    }
    device.WriteFile("Photos/a.jpg", "a");
    device.WriteFile("Photos/z.jpg", "z");
    // A link back to the folder itself: never followed.
    std::filesystem::create_directory_symlink(".", device.Path() / "Photos" / "loop");
    std::filesystem::create_directories(device.Path() / "Empty");
    device.WriteFile("top.txt", "top");
    // Already in the account: added to, same names overwritten.
    WriteAccountFile("My Device on Stowbox/Photos/a.jpg", "old a");
    WriteAccountFile("My Device on Stowbox/Photos/kept.jpg", "kept");

    std::vector<std::string> repaints;
    const auto result = RunRecordingRepaints(LoginSteps() +
                                                 "expect row 0 \"Empty\"\n"
                                                 "expect row 1 \"Photos\"\n"
                                                 "expect row 2 \"top.txt\"\n"
                                                 "check 0\n"
                                                 "check 1\n"
                                                 "check 2\n"
                                                 "command ID_UPLOAD\n"
                                                 "expect box \"File Upload Completed\"\n"
                                                 "expect no-box\n"
                                                 "expect unchecked 0\n"
                                                 "expect unchecked 1\n"
                                                 "expect unchecked 2\n" +
                                                 std::string(kUnlocked) + ExitSteps(),
                                             repaints);
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    // One step per checked row, however many files a folder holds.
    EXPECT_EQ(repaints, (Strings{kLockedMyDevice, kLockedUploading, "progress 1/3", "progress 2/3",
                                 "progress 3/3"}));
    Strings expected = {
        "Empty/",       "Photos/",      "Photos/2003/",    "Photos/2003/b.jpg", "Photos/2003/c.jpg",
        "Photos/2004/", "Photos/a.jpg", "Photos/kept.jpg", "Photos/z.jpg",      "top.txt"};
    for (int i = 0; i < 50; ++i) {
        expected.push_back("Photos/2004/f" + std::to_string(100 + i) + ".jpg");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(RemoteTree(), expected);
    EXPECT_EQ(Remote("Photos/a.jpg"), "a");
    EXPECT_EQ(Remote("Photos/z.jpg"), "z");
    EXPECT_EQ(Remote("Photos/2003/c.jpg"), "c");
    EXPECT_EQ(Remote("Photos/2004/f149.jpg"), "49");
    EXPECT_EQ(Remote("top.txt"), "top");
}

TEST_F(Upload, FolderThatCannotBeEnteredStoresNothingElsewhere) {
    // A remote file takes the folder's name: the folder can be neither made nor entered.
    WriteAccountFile("My Device on Stowbox/Photos", "a file");
    WriteAccountFile("My Device on Stowbox/a.jpg", "the account's own a");
    device.WriteFile("Photos/a.jpg", "device a");
    const auto result = Run(LoginSteps() +
                            "check 0\n"
                            "command ID_UPLOAD\n"
                            "expect box \"File Transfer Cancelled\"\n" +
                            kUnlocked + ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(RemoteTree(), (Strings{"Photos", "a.jpg"}));
    EXPECT_EQ(Remote("a.jpg"), "the account's own a");
}

TEST_F(Upload, FolderUploadThatLeftFilesBehindDoesNotClaimSuccess) {
    // 2003 cannot be made (a remote file has its name): its files stay behind, the rest goes.
    WriteAccountFile("My Device on Stowbox/Photos/2003", "a file");
    device.WriteFile("Photos/2003/b.jpg", "b");
    device.WriteFile("Photos/a.jpg", "a");
    device.WriteFile("Photos/z.jpg", "z");
    device.WriteFile("Whole/w.txt", "w");
    // A download's leftover is not the user's file: never uploaded.
    device.WriteFile("Whole/.w.txt.part-0123456789abcdef", "stale");
    const auto result = Run(LoginSteps() +
                            "expect row 0 \"Photos\"\n"
                            "expect row 1 \"Whole\"\n"
                            "check 0\n"
                            "check 1\n"
                            "command ID_UPLOAD\n"
                            "expect box \"File Transfer Cancelled\"\n"
                            "expect no-box\n"
                            "expect unchecked 0\n"
                            "expect unchecked 1\n" +
                            std::string(kUnlocked) + ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(RemoteTree(), (Strings{"Photos/", "Photos/2003", "Photos/a.jpg", "Photos/z.jpg",
                                     "Whole/", "Whole/w.txt"}));
    EXPECT_EQ(Remote("Photos/z.jpg"), "z");
}

TEST_F(Upload, FreshAccountTakesAFolderAndAFile) {
    // No remote root yet: the upload makes it, as the Remote view would.
    device.WriteFile("Photos/a.jpg", "a");
    device.WriteFile("top.txt", "top");
    ASSERT_FALSE(std::filesystem::exists(RemoteRoot()));
    const auto result = Run(LoginSteps() +
                            "check 0\n"
                            "check 1\n"
                            "command ID_UPLOAD\n"
                            "expect box \"File Upload Completed\"\n"
                            "command ID_SHOW_REMOTE\n"
                            "expect row 0 \"Photos\" \"\" \"1\"\n"
                            "expect row 1 \"top.txt\" \"3\" \"2\"\n" +
                            ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(RemoteTree(), (Strings{"Photos/", "Photos/a.jpg", "top.txt"}));
    EXPECT_EQ(Remote("top.txt"), "top");
}

TEST_F(Upload, CancelTapDuringATopLevelFileEndsTheCommand) {
    device.WriteFile("a.bin", std::string(100000, 'a'));
    device.WriteFile("b.txt", "b");
    MakeAccountFolder("My Device on Stowbox");
    std::vector<std::string> repaints;
    const auto result = RunRecordingRepaints(LoginSteps() +
                                                 "expect row 0 \"a.bin\"\n"
                                                 "check 0\n"
                                                 "check 1\n" +
                                                 TapCancelAtBlock(10) +
                                                 "command ID_UPLOAD\n"
                                                 "expect box \"File Transfer Cancelled\"\n"
                                                 "expect no-box\n"
                                                 "expect unchecked 0\n"
                                                 "expect unchecked 1\n" +
                                                 kUnlocked + ExitSteps(),
                                             repaints);
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(repaints, (Strings{kLockedMyDevice, kLockedUploading, "progress 0/2"}));
    // The partial file was removed; the second file was never sent.
    EXPECT_EQ(RemoteTree(), Strings{});
}

}  // namespace
