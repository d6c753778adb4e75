// The script runner: parsing, checks, and the exit statuses 0 to 3.

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>

#include <sstream>

#include "headless/run_script.h"
#include "script/run_program.h"
#include "script/script.h"
#include "script/script_player.h"
#include "support/fd.h"
#include "support/program_state.h"
#include "support/temp_folder.h"

namespace {

// A loopback port where nothing listens.
std::uint16_t ClosedPort() {
    const testing_support::Fd fd(socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

class ScriptRunner : public ::testing::Test {
  protected:
    testing_support::TempFolder device;
    std::ostringstream transcript;

    script::ScriptResult Run(const std::string& script, bool failSockets = false) {
        script::DeviceOptions options;
        options.root = device.Path();
        options.ftpServer = platform::net::Endpoint{"127.0.0.1", ClosedPort()};
        options.failSocketStartup = failSockets;
        // What an earlier case of this process left in the program must not steer this one.
        testing_support::ResetProgramState();
        return headless::RunScriptText(script, options, transcript);
    }
};

}  // namespace

TEST(ScriptParser, SplitsQuotedWordsWithEscapesAndSkipsComments) {
    const auto parsed = script::ParseScript(
        "# a comment\n\n  type 1001 \"a \\\"b\\\" \\\\ c\"\r\n   # another\nexpect rows 3\n");
    ASSERT_FALSE(parsed.error);
    ASSERT_EQ(parsed.steps.size(), 2u);
    EXPECT_EQ(parsed.steps[0].line, 3);
    EXPECT_EQ(parsed.steps[0].verb, "type");
    EXPECT_EQ(parsed.steps[0].args, (std::vector<std::wstring>{L"1001", L"a \"b\" \\ c"}));
    EXPECT_EQ(parsed.steps[1].args, (std::vector<std::wstring>{L"rows", L"3"}));

    EXPECT_TRUE(script::ParseScript("type IDC_USERNAME \"open\n").error);
    EXPECT_EQ(script::Quote(L"say \"hi\" \\"), L"\"say \\\"hi\\\" \\\\\"");
}

TEST(ScriptParser, IdsMayBeNamedOnlyWhereAnIdIsExpected) {
    const auto parsed = script::ParseScript(
        "command ID_SHOW_REMOTE\ncommand 32789\ntype IDC_USERNAME \"ID_CUT\"\n"
        "click IDC_MOVE_CANCEL\nexpect visible ID_UPLOAD 57670 IDOK\nexpect title \"ID_EXIT\"\n"
        "expect text IDC_SHARE_FROM \"IDCANCEL\"\nexpect row 0 \"ID_EXIT\"\n");
    ASSERT_FALSE(parsed.error) << *parsed.error;
    const std::vector<std::vector<std::wstring>> expected = {
        {L"32789"},
        {L"32789"},
        {L"1001", L"ID_CUT"},
        {L"1010"},
        {L"visible", L"32790", L"57670", L"1"},
        {L"title", L"ID_EXIT"},
        {L"text", L"1049", L"IDCANCEL"},
        {L"row", L"0", L"ID_EXIT"},
    };
    ASSERT_EQ(parsed.steps.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(parsed.steps[i].args, expected[i]) << "step " << i;
    }
    EXPECT_EQ(script::ParseScript("command ID_EXIT\n\nclick IDC_NOPE\n").error,
              "line 3: unknown name 'IDC_NOPE'");
}

TEST_F(ScriptRunner, ProgramThatEndsWithEveryCheckHeldGivesZero) {
    const auto result = Run(
        "type IDC_USERNAME \"\"\nclick IDC_LOGIN\nexpect box \"Enter User Name\"\nexpect no-box\n"
        "type IDC_USERNAME \"   \"\nclick IDC_LOGIN\nexpect box \"Enter Password\"\n"
        "type IDC_PASSWORD \"pw\"\nclick IDC_LOGIN\nexpect box \"Error Connecting to Server\"\n"
        "help\nexpect box \"Help\"\nexpect title \"Kestra\"\ncommand IDCANCEL\nexpect no-box\n");
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(transcript.str(),
              "window open \"Kestra\" CLoginDlg\n"
              "box \"Kestra.htp\" \"Enter User Name\" ok -> ok\n"
              "box \"Kestra.htp\" \"Enter Password\" ok -> ok\n"
              "box \"Kestra.htp\" \"Error Connecting to Server\" ok -> ok\n"
              "box \"Kestra.htp\" \"Help\" ok -> ok\n"
              "window close \"Kestra\" CLoginDlg\n");
}

TEST_F(ScriptRunner, FailedCheckGivesOneAndNamesTheLine) {
    const auto result = Run("click IDC_LOGIN\nexpect box \"Enter Password\"\ncommand IDCANCEL\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.message.find("line 2"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("Enter User Name"), std::string::npos) << result.message;
}

TEST_F(ScriptRunner, StepsThatCannotApplyGiveTwo) {
    EXPECT_EQ(Run("click 4711\n").status, 2);                         // unknown id
    EXPECT_EQ(Run("menu ID_COPY\n").status, 2);                       // menu without hold
    EXPECT_EQ(Run("frobnicate\n").status, 2);                         // unknown step
    EXPECT_EQ(Run("type IDC_USERNAME \"unclosed\n").status, 2);       // unreadable script
    EXPECT_EQ(Run("command IDCANCEL\nclick IDC_LOGIN\n").status, 2);  // steps after the end
    EXPECT_EQ(Run("click IDC_LOGIN\n", /*failSockets=*/true).status, 2);
}

TEST_F(ScriptRunner, ScriptThatRunsOutWhileTheProgramWaitsGivesThree) {
    EXPECT_EQ(Run("").status, 3);
    EXPECT_EQ(Run("type IDC_USERNAME \"alice\"\n").status, 3);
}

TEST_F(ScriptRunner, SocketStartupFailureShowsOneBoxAndNoLoginDialog) {
    const auto result =
        Run("expect box \"Windows CE sockets initialization failed.\"\nexpect no-box\n",
            /*failSockets=*/true);
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(transcript.str(),
              "box \"Kestra.htp\" \"Windows CE sockets initialization failed.\" ok -> ok\n");
}
