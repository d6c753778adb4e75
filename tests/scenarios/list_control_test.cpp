// The file list's pop-up menu, the clipboard record of cut and copy, and the name sort.

#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "support/scenario.h"

namespace {

class ListControl : public testing_support::Scenario {
  protected:
    void DeviceFiles() {
        device.WriteFile("Photos/a.jpg", "a");
        device.WriteFile("Photos/ lead.txt", "l");
        device.WriteFile("Documents/letter.doc", "x");
        device.WriteFile("readme.txt", "r");
        device.WriteFile("small.txt", "s");
        device.WriteFile("big.bin", "b");
        device.WriteFile("two.txt", "t");
    }
};

TEST_F(ListControl, HoldOnEmptySpaceNamesNothingToCutOrCopy) {
    DeviceFiles();
    const auto result = Run(LoginSteps() +
                            "hold 3\n"
                            "menu ID_CUT\n"
                            "hold none\n"
                            "menu ID_COPY\n"
                            "expect box \"Select a file to copy\"\n"
                            "hold none\n"
                            "menu ID_CUT\n"
                            "expect box \"Select a file to cut\"\n"
                            // Share File does nothing; the cut pasted onto itself neither.
                            "hold 0\n"
                            "menu ID_SHARE_FILE_MENU\n"
                            "hold 0\n"
                            "menu ID_PASTE\n"
                            "expect no-box\n" +
                            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    // The cut before the failed attempts is still pending.
    EXPECT_EQ(theApp.m_strClipIsCut, L"TRUE");
    EXPECT_EQ(theApp.m_strClipName, L"readme.txt");
    EXPECT_EQ(theApp.m_strClipPath, L"/readme.txt");
    EXPECT_EQ(theApp.m_strCutSource, L"Local");
    EXPECT_EQ(theApp.m_nClipItem, 0);
}

TEST_F(ListControl, LocalRecordsKeepNamesAsTheyAre) {
    DeviceFiles();
    const auto result = Run(LoginSteps() +
                            "expect row 0 \"Photos\"\n"
                            "doubletap 0\n"
                            "expect row 0 \" lead.txt\"\n"
                            "hold 0\n"
                            "menu ID_CUT\n" +
                            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(theApp.m_strClipName, L" lead.txt");
    EXPECT_EQ(theApp.m_strClipPath, L"/Photos/ lead.txt");
    EXPECT_EQ(theApp.m_strClipIsCut, L"TRUE");
    EXPECT_EQ(theApp.m_strCutSource, L"Local");
    EXPECT_EQ(theApp.m_strCopySource, L"");
}

TEST_F(ListControl, RemoteCopyAfterALocalCutReplacesIt) {
    DeviceFiles();
    WriteAccountFile("My Device on Stowbox/Docs/notes.txt", "n");
    const auto result = Run(LoginSteps() +
                            "hold 3\n"
                            "menu ID_CUT\n"
                            "command ID_SHOW_REMOTE\n"
                            "doubletap 0\n"
                            "expect row 0 \"notes.txt\"\n"
                            "hold 0\n"
                            "menu ID_COPY\n" +
                            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(theApp.m_strClipName, L"notes.txt");
    EXPECT_EQ(theApp.m_strClipPath, L"/My Device on Stowbox/Docs/notes.txt");
    EXPECT_EQ(theApp.m_strClipIsCut, L"FALSE");
    EXPECT_EQ(theApp.m_strCopySource, L"Remote");
    EXPECT_EQ(theApp.m_strCutSource, L"");
}

TEST_F(ListControl, LocalCopyInsideAFolder) {
    DeviceFiles();
    const auto result = Run(LoginSteps() +
                            "doubletap 0\n"
                            "expect row 1 \"a.jpg\"\n"
                            "hold 1\n"
                            "menu ID_COPY\n" +
                            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(theApp.m_strClipName, L"a.jpg");
    EXPECT_EQ(theApp.m_strClipPath, L"/Photos/a.jpg");
    EXPECT_EQ(theApp.m_strCopySource, L"Local");
}

TEST_F(ListControl, RemoteCutAtTheRemoteRoot) {
    WriteAccountFile("My Device on Stowbox/notes.txt", "n");
    const auto result = Run(LoginSteps() +
                            "command ID_SHOW_REMOTE\n"
                            "hold 0\n"
                            "menu ID_CUT\n" +
                            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(theApp.m_strClipName, L"notes.txt");
    EXPECT_EQ(theApp.m_strClipPath, L"/My Device on Stowbox/notes.txt");
    EXPECT_EQ(theApp.m_strCutSource, L"Remote");
    EXPECT_EQ(theApp.m_strCopySource, L"");
}

TEST_F(ListControl, NameHeaderAlternatesStartingDescendingForTheWholeRun) {
    DeviceFiles();
    const std::string descending =
        "expect row 0 \"two.txt\"\n"
        "expect row 1 \"small.txt\"\n"
        "expect row 2 \"readme.txt\"\n"
        "expect row 3 \"big.bin\"\n"
        "expect row 4 \"Photos\"\n"
        "expect row 5 \"Documents\"\n";
    const std::string ascending =
        "expect row 0 \"Documents\"\n"
        "expect row 1 \"Photos\"\n"
        "expect row 2 \"big.bin\"\n"
        "expect row 3 \"readme.txt\"\n"
        "expect row 4 \"small.txt\"\n"
        "expect row 5 \"two.txt\"\n";
    const auto result = Run(LoginSteps() + "header 0\n" + descending + "header 0\n" + ascending +
                            "header 1\nheader 2\n" + ascending + "header 0\n" + descending +
                            // A refill keeps the direction: the next click sorts ascending.
                            "command ID_SHOW_LOCAL\n"
                            "expect row 0 \"Photos\"\n"
                            "header 0\n" +
                            ascending + ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
}

}  // namespace
