// Going down by double taps and back up through the path box, in both views.

#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "support/scenario.h"

namespace {

class Navigation : public testing_support::Scenario {};

TEST_F(Navigation, LocalDoubleTapsAndEarlierPathEntries) {
    device.WriteFile("Photos/a.jpg", std::string(1025, 'a'));
    device.WriteFile("Photos/b.txt", std::string(1024, 'b'));
    device.WriteFile("Photos/2003/c.jpg", "c");
    device.WriteFile("zz.txt", "z");
    const std::string photos =
        "expect rows 3\n"
        "expect row 0 \"2003\" \"\" \"1\"\n"
        "expect row 1 \"a.jpg\" \"1KB\" \"2\"\n"
        "expect row 2 \"b.txt\" \"1024\" \"2\"\n";
    const auto result = Run(LoginSteps() +
                            "expect row 0 \"Photos\"\n"
                            "doubletap 0\n"
                            "expect path 1 \"My Device\" \"** Photos\"\n" +
                            photos +
                            "doubletap 0\n"
                            "expect path 2 \"My Device\" \"** Photos\" \"*** 2003\"\n"
                            "expect rows 1\n"
                            "expect row 0 \"c.jpg\" \"1\" \"2\"\n"
                            // A file: nothing opens.
                            "doubletap 0\n"
                            "expect path 2 \"My Device\" \"** Photos\" \"*** 2003\"\n"
                            "expect rows 1\n"
                            // The last entry again lists the same folder, removing nothing.
                            "select IDC_PATHBOX 2\n"
                            "expect path 2 \"My Device\" \"** Photos\" \"*** 2003\"\n"
                            "expect rows 1\n"
                            "select IDC_PATHBOX 1\n"
                            "expect path 1 \"My Device\" \"** Photos\"\n" +
                            photos +
                            "select IDC_PATHBOX 0\n"
                            "expect path 0 \"My Device\"\n"
                            "expect rows 2\n"
                            "expect row 0 \"Photos\" \"\" \"1\"\n"
                            "expect row 1 \"zz.txt\" \"1\" \"2\"\n" +
                            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
}

TEST_F(Navigation, RemoteDoubleTapsReadSizesFromTheListing) {
    MakeAccountFolder("My Device on Stowbox/Music/Live");
    WriteAccountFile("My Device on Stowbox/Music/alpha.mp3", std::string(2048, 'a'));
    WriteAccountFile("My Device on Stowbox/Music/song.mp3", std::string(1024, 's'));
    WriteAccountFile("My Device on Stowbox/notes.txt", std::string(1025, 'n'));
    const std::string music =
        "expect rows 3\n"
        "expect row 0 \"Live\" \"\" \"1\"\n"
        "expect row 1 \"alpha.mp3\" \"2KB\" \"2\"\n"
        "expect row 2 \"song.mp3\" \"1024\" \"2\"\n";
    const std::string root =
        "expect rows 2\n"
        "expect row 0 \"Music\" \"\" \"1\"\n"
        "expect row 1 \"notes.txt\" \"1KB\" \"2\"\n";
    const auto result =
        Run(LoginSteps() + "command ID_SHOW_REMOTE\n" + root +
            "doubletap 0\n"
            "expect path 2 \"Stowbox\" \"**  My Device on Stowbox\" \"*** Music\"\n" +
            music +
            "doubletap 0\n"
            "expect path 3 \"Stowbox\" \"**  My Device on Stowbox\" \"*** Music\" \"**** Live\"\n"
            "expect rows 0\n"
            "select IDC_PATHBOX 2\n"
            "expect path 2 \"Stowbox\" \"**  My Device on Stowbox\" \"*** Music\"\n" +
            music +
            "select IDC_PATHBOX 1\n"
            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n" +
            root +
            "select IDC_PATHBOX 0\n"
            "expect path 0 \"Stowbox\"\n"
            "expect rows 1\n"
            "expect row 0 \"My Device on Stowbox\" \"\" \"1\"\n"
            // Down again from the account's top.
            "doubletap 0\n"
            "expect path 1 \"Stowbox\" \"** My Device on Stowbox\"\n" +
            root + ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
}

TEST_F(Navigation, RemoteFolderWithBlanksInItsName) {
    WriteAccountFile("My Device on Stowbox/My Docs/a.txt", "a");
    const auto result =
        Run(LoginSteps() +
            "command ID_SHOW_REMOTE\n"
            "expect row 0 \"My Docs\" \"\" \"1\"\n"
            "doubletap 0\n"
            "expect path 2 \"Stowbox\" \"**  My Device on Stowbox\" \"*** My Docs\"\n"
            "expect rows 1\n"
            "expect row 0 \"a.txt\" \"1\" \"2\"\n" +
            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
}

}  // namespace
