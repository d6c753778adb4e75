// Names in any script: whole through a UTF-8 server, and through a server that knows only the
// code page, refused by name where the code page cannot hold them while the rest arrive.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mixed_script_folder.h"
#include "support/scenario.h"
#include "support/scripted_run.h"

namespace {

class MixedScriptNames : public testing_support::Scenario {};

TEST_F(MixedScriptNames, AFolderOfManyScriptsComesBackByteForByte) {
    mixed_script::WriteFolder(device);
    const auto result = Run(LoginSteps() + mixed_script::RoundTripSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    mixed_script::ExpectEveryFileBack(RemoteRoot() / "Intl", device.Path());
}

class CodePageServer : public testing_support::ScriptedRun {};

TEST_F(CodePageServer, NamesItCannotHoldAreRefusedByNameAndTheRestArrive) {
    for (const auto& file : mixed_script::Files()) {
        device.WriteFile(file.name, file.bytes);
    }
    server.Greet()
        .Command("USER alice\r\n", "331 Password\r\n")
        .Command("PASS secret\r\n", "230 In\r\n")
        // Features, but not UTF8: names go in Windows-1252.
        .Command("FEAT\r\n", "211-Features:\r\n SIZE\r\n PASV\r\n211 End\r\n");
    for (const std::string name : {"Caf\xE9 r\xE9sum\xE9.txt", "plain.txt"}) {
        const std::string path = "/My Device on Stowbox/" + name;
        server.Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n")
            .Command("PWD\r\n", "257 \"/My Device on Stowbox\" is current\r\n")
            .Command("TYPE I\r\n", "200 Binary\r\n")
            .Command("SIZE " + path + "\r\n", "550 No such file\r\n")
            .Expect("PASV \r\n")
            .ReplyPasv()
            .Command("STOR " + path + "\r\n", "150 Send\r\n")
            .AcceptData()
            .ReceiveData()
            .Reply("226 Stored\r\n");
    }
    server.Command("QUIT\r\n", "221 Bye\r\n").AwaitControlClosed();
    const auto refused = [](const std::string& name) {
        return "expect box \"Cannot send \\\"" + name +
               "\\\": the server cannot take this name\"\n";
    };
    const auto result =
        Run("type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"secret\"\nclick IDC_LOGIN\n"
            "expect rows 5\n"
            "expect row 0 \"Caf\u00e9 r\u00e9sum\u00e9.txt\"\n"
            "expect row 1 \"plain.txt\"\n"
            "check 0\ncheck 1\ncheck 2\ncheck 3\ncheck 4\n"
            "command ID_UPLOAD\n" +
            refused("\u5317\u4eac.txt") + refused("\u65e5\u672c\u8a9e.txt") +
            refused("\u6771\u4eac.txt") +
            "expect box \"File Transfer Cancelled\"\n"
            "expect no-box\n"
            "answer yes\ncommand ID_EXIT\n");
    EXPECT_EQ(result.status, 0) << result.message << '\n' << transcript.str();
    EXPECT_EQ(server.Finish().dataReceived, "latinascii");
}

}  // namespace
