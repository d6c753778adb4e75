// LIST, STOR and RETR over passive data connections.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <regex>
#include <thread>

#include "service_test_kit.h"

namespace testing_support {
namespace {

using namespace stowbox::service;

class ServiceFtpTransfers : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(CodeOf(client.Reply()), 220);
        ASSERT_EQ(CodeOf(client.Login()), 230);
    }

    TestService service{[](ServiceConfig& config) {
        config.data_timeout = std::chrono::milliseconds(500);
        // Twenty sessions connect at once: all of them may wait for their log-in together.
        config.max_pending_logins = 32;
        config.max_sessions_per_account = 32;
    }};
    FtpClient client{service.FtpPort()};
};

// What the client takes as the name: after the first ":" and the blank behind it.
std::string client_name(const std::string& line) {
    return line.substr(line.find(' ', line.find(':')) + 1);
}

TEST_F(ServiceFtpTransfers, ListsSortedEntriesInTheShapeTheClientParses) {
    const auto home = service.Home();
    std::filesystem::create_directory(home / "My Device on Stowbox");
    WriteHostFile(home / "notes.txt", std::string(2048, 'n'));
    WriteHostFile(home / "a b c.txt", "");
    std::string data;
    EXPECT_EQ(CodeOf(client.List(data)), 226);

    const std::regex shape(
        R"(([d-])[rwx-]{9} +\d+ alice +support      (\d+) [A-Z][a-z]{2} \d\d \d\d:\d\d (.+))");
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t end; (end = data.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = data.substr(start, end - start);
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, shape)) << line;
        EXPECT_EQ(client_name(line), match[3]);
        names.push_back(match[3]);
        if (match[3] == "notes.txt") {
            EXPECT_EQ(match[1], "-");
            EXPECT_EQ(match[2], "2048");
        }
        if (match[3] == "My Device on Stowbox") {
            EXPECT_EQ(match[1], "d");
        }
    }
    EXPECT_EQ(start, data.size()) << "every line ends in CR LF";
    EXPECT_EQ(names, (std::vector<std::string>{"My Device on Stowbox", "a b c.txt", "notes.txt"}));

    EXPECT_EQ(CodeOf(client.List(data, "LIST -la notes.txt")), 226);
    EXPECT_EQ(client_name(data), "notes.txt\r\n");
    EXPECT_EQ(CodeOf(client.List(data, "LIST Missing")), 550);
    EXPECT_EQ(CodeOf(client.Command("LIST")), 425) << "no PASV before it";
}

TEST_F(ServiceFtpTransfers, StoresAndRetrievesEveryByteWhateverTheType) {
    const auto home = service.Home();
    std::filesystem::create_directory(home / "My Device on Stowbox");
    const std::string bytes = PatternBytes(300000, 1) + "\r\n\n\r\0end" + std::string(3, '\0');
    EXPECT_EQ(CodeOf(client.Command("TYPE A")), 200);
    EXPECT_EQ(CodeOf(client.Store("/My Device on Stowbox/data.bin", bytes)), 226);
    EXPECT_EQ(ReadHostFile(home / "My Device on Stowbox" / "data.bin"), bytes);

    std::string got;
    EXPECT_EQ(CodeOf(client.Command("CWD /My Device on Stowbox")), 250);
    EXPECT_EQ(CodeOf(client.Retrieve("data.bin", got)), 226);
    EXPECT_EQ(got, bytes);

    EXPECT_EQ(CodeOf(client.Store("data.bin", "short")), 226) << "replaces the file";
    EXPECT_EQ(ReadHostFile(home / "My Device on Stowbox" / "data.bin"), "short");
    EXPECT_EQ(CodeOf(client.Store("empty", "")), 226);
    EXPECT_EQ(CodeOf(client.Retrieve("empty", got)), 226);
    EXPECT_EQ(got, "");

    EXPECT_EQ(CodeOf(client.Retrieve("missing", got)), 550);
    EXPECT_EQ(CodeOf(client.Retrieve("/My Device on Stowbox", got)), 550) << "a folder";
    EXPECT_EQ(CodeOf(client.Store("Missing/x", "x")), 550);
    EXPECT_EQ(CodeOf(client.Store("/My Device on Stowbox", "x")), 550) << "a folder";
    EXPECT_EQ(CodeOf(client.Command("RETR data.bin")), 425) << "no PASV before it";
    EXPECT_EQ(CodeOf(client.Command("STOR new.bin")), 425) << "no PASV before it";
    EXPECT_FALSE(std::filesystem::exists(home / "My Device on Stowbox" / "new.bin"));
}

TEST_F(ServiceFtpTransfers, TwentySessionsInParallelKeepEveryByte) {
    constexpr int kSessions = 20;
    std::vector<std::string> failures(kSessions);
    std::vector<std::thread> threads;
    for (int i = 0; i < kSessions; ++i) {
        threads.emplace_back([&, i] {
            try {
                FtpClient session(service.FtpPort());
                session.Reply();
                session.Login();
                const std::string name = "file" + std::to_string(i) + ".bin";
                const std::string bytes = PatternBytes(200000 + std::size_t(i) * 4099, i);
                std::string back;
                if (CodeOf(session.Store(name, bytes)) != 226 ||
                    CodeOf(session.Retrieve(name, back)) != 226 || back != bytes) {
                    failures[i] = name + " did not come back intact";
                }
            } catch (const std::exception& error) {
                failures[i] = error.what();
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (int i = 0; i < kSessions; ++i) {
        EXPECT_EQ(failures[i], "");
        EXPECT_EQ(ReadHostFile(service.Home() / ("file" + std::to_string(i) + ".bin")),
                  PatternBytes(200000 + std::size_t(i) * 4099, i));
    }
}

TEST_F(ServiceFtpTransfers, DataConnectionMustComeFromTheControlPeerAndInTime) {
    WriteHostFile(service.Home() / "f.txt", "payload");
    // 127.0.0.2 is loopback too, but another host as far as the server can tell.
    std::string got;
    {
        Fd stranger;
        Fd own;
        const std::string pasv = client.Command("PASV ");
        unsigned p1 = 0, p2 = 0;
        ASSERT_EQ(
            std::sscanf(pasv.c_str(), "227 Entering Passive Mode (127,0,0,1,%u,%u)", &p1, &p2), 2)
            << pasv;
        stranger = ConnectTo(std::uint16_t(p1 * 256 + p2), "127.0.0.2");
        own = ConnectTo(std::uint16_t(p1 * 256 + p2));
        EXPECT_EQ(CodeOf(client.Command("RETR f.txt")), 150);
        EXPECT_EQ(ReadToEnd(own.Get()), "payload");
        EXPECT_EQ(CodeOf(client.Reply()), 226);
        EXPECT_EQ(ReadToEnd(stranger.Get()), "");
    }
    EXPECT_EQ(CodeOf(client.Command("PASV ")), 227);
    EXPECT_EQ(CodeOf(client.Command("RETR f.txt")), 425) << "nobody connected";
    EXPECT_EQ(CodeOf(client.Retrieve("f.txt", got)), 226) << "the session goes on";
}

TEST_F(ServiceFtpTransfers, BrokenUploadKeepsTheOldFileAndTheServerRuns) {
    const auto home = service.Home();
    WriteHostFile(home / "keep.txt", "old contents");
    {
        Fd data = client.Passive();
        EXPECT_EQ(CodeOf(client.Command("STOR keep.txt")), 150);
        SendText(data.Get(), "half of the new");
        const linger abort_on_close{1, 0};  // close with a reset, not an orderly end
        ::setsockopt(data.Get(), SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
    }
    EXPECT_EQ(CodeOf(client.Reply()), 426);
    EXPECT_EQ(ReadHostFile(home / "keep.txt"), "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home),
                            std::filesystem::directory_iterator()),
              1)
        << "no partial file left behind";

    // A client that vanishes in the middle of a download.
    WriteHostFile(home / "big.bin", PatternBytes(8 << 20, 3));
    {
        FtpClient rude(service.FtpPort());
        rude.Reply();
        rude.Login();
        Fd data = rude.Passive();
        EXPECT_EQ(CodeOf(rude.Command("RETR big.bin")), 150);
    }
    FtpClient next(service.FtpPort());
    EXPECT_EQ(CodeOf(next.Reply()), 220);
    EXPECT_EQ(CodeOf(next.Login()), 230);
}

// Uploads are read in large pieces; a sender slower than that is still making progress, and
// only one that stops sending altogether fails.
TEST_F(ServiceFtpTransfers, SlowUploadIsStoredAndAStalledOneIsNot) {
    WriteHostFile(service.Home() / "keep.txt", "old contents");
    {
        Fd data = client.Passive();
        ASSERT_EQ(CodeOf(client.Command("STOR slow.txt")), 150);
        for (const char* piece : {"one ", "two ", "three"}) {
            SendText(data.Get(), piece);
            std::this_thread::sleep_for(std::chrono::milliseconds(350));  // past a time-out
        }
    }
    EXPECT_EQ(CodeOf(client.Reply()), 226);
    EXPECT_EQ(ReadHostFile(service.Home() / "slow.txt"), "one two three");

    Fd data = client.Passive();
    ASSERT_EQ(CodeOf(client.Command("STOR keep.txt")), 150);
    SendText(data.Get(), "new but stalled");
    EXPECT_EQ(CodeOf(client.Reply()), 426);
    EXPECT_EQ(ReadHostFile(service.Home() / "keep.txt"), "old contents");
}

}  // namespace
}  // namespace testing_support
