// The commands other FTP clients send: name lists, extended passive mode, machine listings,
// modification times and restarted downloads, over a raw control connection.
#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string_view>

#include "service_test_kit.h"

namespace testing_support {
namespace {

using namespace stowbox::service;

// One command line and what comes back: the start of the first reply, and for a transfer
// (first reply 150) the bytes on the data connection, sent for STOR, received otherwise.
struct Step {
    const char* line;
    const char* reply;
    const char* data = "";
};

class ServicePeerCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto home = service.Home();
        WriteHostFile(home / "a.txt", "hello world");
        WriteHostFile(home / "Docs" / "b.txt", "bb");
        std::filesystem::create_directory(home / "Docs" / "Sub");
        WriteHostFile(service.Root() / "outside.txt", "secret");
        std::filesystem::create_symlink(service.Root() / "outside.txt", home / "out");
        // 2026-01-02 03:04:05 UTC
        const timespec times[2] = {{1767323045, 0}, {1767323045, 0}};
        for (const auto& path : {home / "a.txt", home / "Docs"}) {
            ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        }
        ASSERT_EQ(CodeOf(client.Reply()), 220);
        ASSERT_EQ(CodeOf(client.Login()), 230);
    }

    void run(const std::vector<Step>& steps) {
        for (const auto& step : steps) {
            const std::string reply = client.Command(step.line);
            EXPECT_EQ(reply.rfind(step.reply, 0), 0u) << step.line << " -> " << reply;
            unsigned port = 0;
            if (std::sscanf(reply.c_str(), "229 Entering Extended Passive Mode (|||%u|)", &port) ==
                1) {
                data = ConnectTo(std::uint16_t(port));
            } else if (CodeOf(reply) == 150) {
                if (std::string_view(step.line).starts_with("STOR")) {
                    SendText(data.Get(), step.data);
                    data.Reset();
                } else {
                    EXPECT_EQ(ReadToEnd(data.Get()), step.data) << step.line;
                }
                const std::string last = client.Reply();
                EXPECT_EQ(CodeOf(last), 226) << step.line << " -> " << last;
            }
        }
    }

    TestService service;
    FtpClient client{service.FtpPort()};
    Fd data;
};

TEST_F(ServicePeerCommands, AnswerAsTheirStandardsSay) {
    run({
        {"EPSV", "229 "},
        {"NLST", "150 ", "Docs\r\na.txt\r\n"},
        {"EPSV 1", "229 "},
        {"NLST -a Docs", "150 ", "Sub\r\nb.txt\r\n"},
        {"EPSV", "229 "},
        {"NLST a.txt", "150 ", "a.txt\r\n"},
        {"EPSV", "229 "},
        {"NLST missing", "550 "},
        {"EPSV", "229 "},
        {"NLST ../..", "550 "},
        {"EPSV", "229 "},
        {"NLST out", "550 "},
        {"EPSV", "229 "},
        {"MLSD", "150 ",
         "type=dir;modify=20260102030405; Docs\r\n"
         "type=file;size=11;modify=20260102030405; a.txt\r\n"},
        {"EPSV", "229 "},
        {"MLSD a.txt", "501 "},
        {"MLST a.txt",
         "250-Listing\r\n type=file;size=11;modify=20260102030405; /a.txt\r\n250 End\r\n"},
        {"MLST", "250-Listing\r\n type=dir;modify="},
        {"MLST /Docs/../out", "550 "},
        {"MLST /..", "550 "},
        {"MDTM a.txt", "213 20260102030405\r\n"},
        {"MDTM Docs", "550 "},
        {"MDTM missing", "550 "},
        {"MDTM out", "550 "},
        {"EPSV 2", "522 "},
        {"EPSV x", "501 "},
        {"EPSV", "229 "},
        {"REST 6", "350 Restarting at 6. Send STORE or RETRIEVE.\r\n"},
        {"RETR a.txt", "150 Sending (5 bytes)", "world"},
        {"EPSV", "229 "},
        {"RETR a.txt", "150 ", "hello world"},
        {"REST 11", "350 "},
        {"EPSV", "229 "},
        {"RETR a.txt", "150 ", "hello world"},
        {"EPSV", "229 "},
        {"REST 11", "350 "},
        {"RETR a.txt", "150 ", ""},
        {"EPSV", "229 "},
        {"REST 12", "350 "},
        {"RETR a.txt", "554 "},
        {"REST -1", "501 "},
        {"REST 1x", "501 "},
        {"EPSV", "229 "},
        {"REST 3", "350 "},
        {"STOR a.txt", "504 "},
        {"EPSV", "229 "},
        {"REST 0", "350 "},
        {"STOR new.txt", "150 ", "new"},
        {"EPSV ALL", "200 "},
        {"PASV", "503 "},
        {"EPSV", "229 "},
    });
    EXPECT_EQ(ReadHostFile(service.Home() / "a.txt"), "hello world");
    EXPECT_EQ(ReadHostFile(service.Home() / "new.txt"), "new");
}

}  // namespace
}  // namespace testing_support
