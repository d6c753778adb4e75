#pragma once
// A session on a test device, talking to a scripted server through the program's built-in
// address (127.0.0.1:21 is routed to the server).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "ftp/ftp_session.h"
#include "support/scripted_ftp_server.h"
#include "support/test_device.h"

class FtpTest : public ::testing::Test {
  protected:
    FtpTest() = default;
    // A client that waits at most `timeout` for a reply or a data block, and for a greeting.
    explicit FtpTest(std::chrono::milliseconds timeout)
        : device(RoutedTo(server.Port(), timeout, timeout)) {}

    static testing_support::TestDevice::Options RoutedTo(
        std::uint16_t port, std::chrono::milliseconds timeout = std::chrono::seconds(10),
        std::chrono::milliseconds greetingTimeout = std::chrono::seconds(10)) {
        testing_support::TestDevice::Options options;
        options.ftpPort = port;
        options.ioTimeout = timeout;
        options.greetingTimeout = greetingTimeout;
        return options;
    }

    // Starts the script and connects; the script must begin with Greet().
    void StartAndConnect() {
        server.Start();
        ASSERT_TRUE(session.Connect(L"127.0.0.1", 21));
    }

    // What every transfer sends before its command.
    void ScriptPassive(const std::string& addressNumbers = "127,0,0,1") {
        server.Command("TYPE I\r\n", "200 Type set to I\r\n")
            .Expect("PASV \r\n")
            .ReplyPasv(addressNumbers);
    }

    // What an upload sends before its STOR: whether `path` holds a file is asked on the way.
    void ScriptUploadPassive(const std::string& path,
                             const std::string& sizeReply = "550 No such file\r\n") {
        server.Command("TYPE I\r\n", "200 Type set to I\r\n")
            .Command("SIZE " + path + "\r\n", sizeReply)
            .Expect("PASV \r\n")
            .ReplyPasv();
    }

    // A download (or listing) whose bytes all arrive.
    void ScriptDownload(const std::string& command, const std::string& bytes,
                        const std::string& finalReply = "226 Transfer complete\r\n") {
        ScriptPassive();
        server.Command(command, "150 Opening BINARY mode data connection\r\n")
            .AcceptData()
            .SendData(bytes)
            .CloseData()
            .Reply(finalReply);
    }

    void ScriptUpload(const std::string& command,
                      const std::string& finalReply = "226 Transfer complete\r\n") {
        // "STOR PATH\r\n"
        ScriptUploadPassive(command.substr(5, command.size() - 7));
        server.Command(command, "150 Ok to send data\r\n")
            .AcceptData()
            .ReceiveData()
            .Reply(finalReply);
    }

    // Every test's script is checked when it ends, whether or not the test looked earlier.
    void TearDown() override { ExpectScriptRan(); }

    // Ends the script and checks that the client sent exactly the scripted bytes.
    const testing_support::ScriptedFtpServer::Result& ExpectScriptRan() {
        const auto& result = server.Finish();
        EXPECT_EQ(result.transcript, server.ExpectedTranscript());
        EXPECT_THAT(result.problems, ::testing::IsEmpty());
        return result;
    }

    testing_support::ScriptedFtpServer server;
    testing_support::TestDevice device{RoutedTo(server.Port())};
    CFtpSession session;
};

// For tests whose script starts with the usual greeting.
class GreetedFtpTest : public FtpTest {
  protected:
    void SetUp() override { server.Greet(); }
};
