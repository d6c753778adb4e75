// The Remote view's sizes asked ahead of their replies: the same bytes on the wire and the
// same rows as one SIZE after the other, in a few round trips.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "ftp/ftp_session.h"
#include "headless/run_script.h"
#include "script/run_program.h"
#include "support/latency_relay.h"
#include "support/program_state.h"
#include "support/scripted_ftp_server.h"
#include "support/service_process.h"
#include "support/temp_folder.h"

namespace {

using testing_support::ScriptedFtpServer;

const char* const kLogin =
    "type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"secret\"\nclick IDC_LOGIN\n";
const char* const kExit = "answer yes\ncommand ID_EXIT\n";
constexpr int kCommandsBeforeListing = 4;  // USER, PASS, FEAT, CWD

std::string FileName(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "f%03d.txt", index);
    return name;
}

// A LIST text of `files` files with a folder before every tenth.
std::string ListingText(int files) {
    std::string text;
    for (int i = 0; i < files; ++i) {
        if (i % 10 == 0) {
            text += "drwxr-xr-x   2 alice    support      4096 Dec 07 12:34 d" + std::to_string(i) +
                    "\r\n";
        }
        text += "-rw-r--r--   1 alice    support      9 Dec 07 12:34 " + FileName(i) + "\r\n";
    }
    return text;
}

// What the server answers to the SIZE of file i: i + 1 KB and a byte; every seventh is missing.
std::string SizeReply(int index) {
    return index % 7 == 3 ? "550 No such file\r\n"
                          : "213 " + std::to_string((index + 1) * 1024 + 1) + "\r\n";
}

// Its size column: whole KB, or "0" when the size is missing.
std::string SizeText(int index) {
    return index % 7 == 3 ? "0" : std::to_string(index + 1) + "KB";
}

// Name to size column of every row that `show` printed last.
std::map<std::string, std::string> ShownSizes(const std::string& transcript) {
    std::map<std::string, std::string> sizes;
    std::istringstream lines(transcript);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("show ", 0) == 0) {
            sizes.clear();
        }
        const auto first = line.find('|');
        const auto second = line.find('|', first + 1);
        const auto third = line.find('|', second + 1);
        if (line.rfind("  ", 0) == 0 && first != std::string::npos && third != std::string::npos) {
            sizes[line.substr(first + 1, second - first - 1)] =
                line.substr(second + 1, third - second - 1);
        }
    }
    return sizes;
}

class PipelinedListing : public ::testing::Test {
  protected:
    script::ScriptResult Run(ScriptedFtpServer& server, const std::string& script) {
        server.Start();
        return Run(platform::net::Endpoint{"127.0.0.1", server.Port()}, script);
    }

    script::ScriptResult Run(platform::net::Endpoint endpoint, const std::string& script) {
        script::DeviceOptions options;
        options.root = device.Path();
        options.ftpServer = endpoint;
        // What an earlier case of this process left in the program must not steer this one.
        testing_support::ResetProgramState();
        return headless::RunScriptText(script, options, transcript);
    }

    // Login, the Remote view (CWD of the remote root, PWD, LIST), nothing more.
    static void ScriptUpToSizes(ScriptedFtpServer& server, const std::string& listing) {
        server.Greet()
            .Command("USER alice\r\n", "331 Password\r\n")
            .Command("PASS secret\r\n", "230 In\r\n")
            .NoFeatures()
            .Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n")
            .Listing("/My Device on Stowbox", listing);
    }

    testing_support::TempFolder device;
    std::ostringstream transcript;
};

TEST_F(PipelinedListing, SlowServerGetsTheSequentialBytesInFewRoundTripsAndRowsAreRight) {
    constexpr int kFiles = 200;
    ScriptedFtpServer::Options slow;
    slow.replyDelay = std::chrono::milliseconds(2);
    ScriptedFtpServer server(slow);
    ScriptUpToSizes(server, ListingText(kFiles));
    for (int i = 0; i < kFiles; ++i) {
        server.Command("SIZE " + FileName(i) + "\r\n", SizeReply(i));
    }
    server.Command("QUIT\r\n", "221 Bye\r\n").AwaitControlClosed();

    const auto result = Run(server, std::string(kLogin) + "command ID_SHOW_REMOTE\nexpect rows " +
                                        std::to_string(kFiles + kFiles / 10) + "\nshow\n" + kExit);
    EXPECT_EQ(result.status, 0) << result.message;
    const auto& finished = server.Finish();
    EXPECT_EQ(finished.transcript, server.ExpectedTranscript());
    EXPECT_THAT(finished.problems, testing::IsEmpty());

    const auto sizes = ShownSizes(transcript.str());
    for (int i = 0; i < kFiles; ++i) {
        EXPECT_EQ(sizes.at(FileName(i)), SizeText(i)) << FileName(i);
        if (i % 10 == 0) {
            EXPECT_EQ(sizes.at("d" + std::to_string(i)), "");
        }
    }

    // From PWD to the last SIZE: each time the server found no command waiting, the client
    // had waited for a reply first.
    ASSERT_EQ(finished.linesWaiting.size(), kCommandsBeforeListing + 4 + kFiles + 1u);
    const auto listing = finished.linesWaiting.begin() + kCommandsBeforeListing;
    const auto sizesEnd = finished.linesWaiting.end() - 1;
    // PWD, TYPE I, PASV, LIST, then the SIZE commands: PASV came with TYPE I, and the SIZE
    // commands in one window.
    EXPECT_GE(listing[2], 1) << "PASV sent with TYPE I";
    EXPECT_LE(std::count(listing, sizesEnd, 0), 4);
    EXPECT_LE(*std::max_element(listing, sizesEnd), int(CFtpSession::kMaxPipelinedCommands));
    EXPECT_GE(*std::max_element(listing, sizesEnd), kFiles - 1) << "sent ahead";
}

TEST_F(PipelinedListing, ConnectionEndingHalfWayIsToldAndTheNextStepReconnectsToTheFolder) {
    ScriptedFtpServer server;
    ScriptUpToSizes(server, ListingText(6));
    for (int i = 0; i < 3; ++i) {
        server.Command("SIZE " + FileName(i) + "\r\n", SizeReply(i));
    }
    server.CloseControl();
    // The next step: the same log-in, back to the folder the session was in, then the step.
    server.Greet()
        .Command("USER alice\r\n", "331 Password\r\n")
        .Command("PASS secret\r\n", "230 In\r\n")
        .NoFeatures()
        .Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n")
        .Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n")
        .Listing("/My Device on Stowbox", "")
        .Command("QUIT\r\n", "221 Bye\r\n");

    const auto result = Run(server, std::string(kLogin) +
                                        "command ID_SHOW_REMOTE\n"
                                        "expect box \"Connection to the server lost\"\n"
                                        "expect rows 7\n"
                                        "show\n"
                                        "command ID_SHOW_REMOTE\n"
                                        "expect no-box\n"
                                        "expect rows 0\n"
                                        "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n" +
                                        kExit);
    EXPECT_EQ(result.status, 0) << result.message;
    const auto& finished = server.Finish();
    EXPECT_EQ(finished.controlConnections, 2);
    // The rest was already on its way when the connection ended; the server may have read it.
    std::string transcript = finished.transcript;
    const std::string late = "SIZE f003.txt\r\nSIZE f004.txt\r\nSIZE f005.txt\r\n";
    if (const auto at = transcript.find(late); at != std::string::npos) {
        transcript.erase(at, late.size());
    }
    EXPECT_EQ(transcript, server.ExpectedTranscript());
    EXPECT_THAT(finished.problems, testing::IsEmpty());
    const std::map<std::string, std::string> expected{
        {"d0", ""},        {"f000.txt", "1KB"}, {"f001.txt", "2KB"}, {"f002.txt", "3KB"},
        {"f003.txt", "0"}, {"f004.txt", "0"},   {"f005.txt", "0"}};
    EXPECT_EQ(ShownSizes(this->transcript.str()), expected);
}

// Over a relay that holds the service's replies, so that they arrive in other pieces.
TEST_F(PipelinedListing, TenThousandFilesFromTheStandInServiceComeThroughWhole) {
    constexpr int kFiles = 10'000;
    testing_support::ServiceProcess service{{"alice:secret"}};
    const auto root = service.AccountDir("alice") / "My Device on Stowbox";
    std::filesystem::create_directories(root);
    for (int i = 0; i < kFiles; ++i) {
        std::ofstream(root / ("n" + std::to_string(i))) << std::string(i % 3000, 'x');
    }
    testing_support::LatencyRelay relay(static_cast<std::uint16_t>(service.FtpPort()),
                                        std::chrono::milliseconds(1));
    const auto result = Run(platform::net::Endpoint{"127.0.0.1", relay.Port()},
                            std::string(kLogin) + "command ID_SHOW_REMOTE\nexpect rows " +
                                std::to_string(kFiles) + "\nshow\n" + kExit);
    EXPECT_EQ(result.status, 0) << result.message;
    const auto sizes = ShownSizes(transcript.str());
    ASSERT_EQ(sizes.size(), static_cast<std::size_t>(kFiles));
    for (int i = 0; i < kFiles; ++i) {
        // Bytes up to 1024, whole KB above.
        const int bytes = i % 3000;
        const std::string shown = bytes <= 1024  ? std::to_string(bytes)
                                  : bytes < 2048 ? "1KB"
                                                 : "2KB";
        ASSERT_EQ(sizes.at("n" + std::to_string(i)), shown) << i;
    }
}

}  // namespace
