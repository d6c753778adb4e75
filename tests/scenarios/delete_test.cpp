// The delete command: checked remote files and empty remote folders after one question.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/scenario.h"

namespace {

class Delete : public testing_support::Scenario {};

TEST_F(Delete, EmptyFolderAndFileGoFullFolderStaysNoSendsNothing) {
    MakeAccountFolder("My Device on Stowbox/Empty");
    WriteAccountFile("My Device on Stowbox/Full/inside.txt", "i");
    WriteAccountFile("My Device on Stowbox/a.txt", "a");
    WriteAccountFile("My Device on Stowbox/b.txt", "b");
    const auto result = Run(LoginSteps() +
                            "command ID_SHOW_REMOTE\n"
                            "command ID_DELETE\n"
                            "expect box \"Select a File or a Folder to delete\"\n"
                            "expect row 0 \"Full\"\n"
                            "expect row 1 \"Empty\"\n"
                            "expect row 2 \"b.txt\"\n"
                            "expect row 3 \"a.txt\"\n"
                            "check 0\n"
                            "check 1\n"
                            "check 3\n"
                            "answer no\n"
                            "command ID_DELETE\n"
                            "expect box \"Do You Want To Delete The Selected Files and Folders\"\n"
                            "expect no-box\n"
                            "expect checked 0\n"
                            "expect checked 1\n"
                            "expect unchecked 2\n"
                            "expect checked 3\n"
                            "expect rows 4\n"
                            "answer yes\n"
                            "command ID_DELETE\n"
                            "expect box \"Do You Want To Delete The Selected Files and Folders\"\n"
                            "expect box \"Directory is not empty\"\n"
                            "expect no-box\n"
                            "expect rows 2\n"
                            "expect row 0 \"Full\" \"\" \"1\"\n"
                            "expect unchecked 0\n"
                            "expect row 1 \"b.txt\" \"1\" \"2\"\n" +
                            ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_FALSE(std::filesystem::exists(RemoteRoot() / "Empty"));
    EXPECT_FALSE(std::filesystem::exists(RemoteRoot() / "a.txt"));
    EXPECT_TRUE(std::filesystem::exists(RemoteRoot() / "Full" / "inside.txt"));
    EXPECT_TRUE(std::filesystem::exists(RemoteRoot() / "b.txt"));
}

TEST_F(Delete, InsideASubfolderTheListShowsItsRestUnderTheRootEntries) {
    WriteAccountFile("My Device on Stowbox/Music/old.mp3", "o");
    WriteAccountFile("My Device on Stowbox/Music/song.mp3", "s");
    WriteAccountFile("My Device on Stowbox/old.mp3", "the root's own");
    const auto result = Run(LoginSteps() +
                            "command ID_SHOW_REMOTE\n"
                            "doubletap 0\n"
                            "expect row 0 \"old.mp3\"\n"
                            "check 0\n"
                            "answer yes\n"
                            "command ID_DELETE\n"
                            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n"
                            "expect rows 1\n"
                            "expect row 0 \"song.mp3\"\n" +
                            ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_FALSE(std::filesystem::exists(RemoteRoot() / "Music" / "old.mp3"));
    EXPECT_TRUE(std::filesystem::exists(RemoteRoot() / "old.mp3"));
}

}  // namespace
