// Names through sessions of both encodings: the disk holds UTF-8, each client its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "service_test_kit.h"

namespace testing_support {
namespace {

std::set<std::string> HostNames(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(ServiceFtpNameEncoding, SameFilesThroughBothEncodings) {
    TestService service;
    const auto home = service.Home();
    FtpClient utf8(service.FtpPort()), ansi(service.FtpPort());
    utf8.Reply();
    ansi.Reply();
    EXPECT_EQ(utf8.Command("FEAT"),
              "211-Features:\r\n UTF8\r\n SIZE\r\n PASV\r\n EPSV\r\n MDTM\r\n REST STREAM\r\n MLST "
              "type*;size*;modify*;\r\n211 End\r\n");
    for (const char* line : {"OPTS UTF8 MAYBE", "OPTS MODE Z", "OPTS"}) {
        EXPECT_EQ(CodeOf(utf8.Command(line)), 501) << line;
    }
    EXPECT_EQ(CodeOf(utf8.Command("opts utf8 on")), 200);
    ASSERT_EQ(CodeOf(utf8.Login()), 230);
    ASSERT_EQ(CodeOf(ansi.Login()), 230);

    const std::string cafe = "Caf\xc3\xa9 r\xc3\xa9sum\xc3\xa9.txt";
    const std::string tokyo = "\xe6\x9d\xb1\xe4\xba\xac";
    EXPECT_EQ(CodeOf(utf8.Store(cafe, "cafe")), 226);
    EXPECT_EQ(CodeOf(utf8.Store(tokyo + ".txt", "tokyo")), 226);
    EXPECT_EQ(CodeOf(utf8.Command("MKD " + tokyo)), 257);
    WriteHostFile(home / "host\xff.txt", "not UTF-8");
    EXPECT_EQ(CodeOf(ansi.Store("Na\xefve \x80.txt", PatternBytes(3000, 1))), 226);
    EXPECT_EQ(HostNames(home), (std::set<std::string>{cafe, tokyo + ".txt", tokyo, "host\xff.txt",
                                                      "Na\xc3\xafve \xe2\x82\xac.txt"}));

    std::string data;
    EXPECT_EQ(CodeOf(ansi.List(data)), 226);
    EXPECT_NE(data.find(" Caf\xe9 r\xe9sum\xe9.txt\r\n"), std::string::npos) << data;
    EXPECT_NE(data.find(" Na\xefve \x80.txt\r\n"), std::string::npos) << data;
    EXPECT_EQ(std::count(data.begin(), data.end(), '\n'), 2) << "only those two can be said";
    EXPECT_EQ(CodeOf(utf8.Retrieve("Na\xc3\xafve \xe2\x82\xac.txt", data)), 226);
    EXPECT_EQ(data, PatternBytes(3000, 1));
    EXPECT_EQ(ansi.Command("SIZE Caf\xe9 r\xe9sum\xe9.txt"), "213 4\r\n");
    EXPECT_EQ(ansi.Command("MKD R\xe9sum\xe9"), "257 \"/R\xe9sum\xe9\" created\r\n");

    // A folder the code page cannot name: neither PWD nor LIST says its name.
    EXPECT_EQ(CodeOf(ansi.Command("OPTS UTF8 ON")), 200);
    EXPECT_EQ(CodeOf(ansi.Command("CWD " + tokyo)), 250);
    EXPECT_EQ(CodeOf(ansi.Command("OPTS UTF8 OFF")), 200);
    EXPECT_EQ(CodeOf(ansi.Command("PWD")), 550);
    EXPECT_EQ(CodeOf(utf8.Command("RMD /" + tokyo)), 250);
    EXPECT_EQ(CodeOf(utf8.Store("/" + tokyo, "now a file")), 226);
    EXPECT_EQ(CodeOf(ansi.List(data)), 226);
    EXPECT_EQ(data, "");

    // Names invalid in the session's encoding change nothing; a refused RNTO ends the rename.
    const auto before = HostNames(home);
    EXPECT_EQ(CodeOf(utf8.Command("RNFR /" + cafe)), 350);
    EXPECT_EQ(CodeOf(utf8.Command("RNTO /bad\xe9")), 553);
    EXPECT_EQ(CodeOf(utf8.Command("RNTO /good")), 503);
    EXPECT_EQ(CodeOf(utf8.Command("DELE /" + cafe + "\xff")), 553);
    EXPECT_EQ(CodeOf(utf8.Store("/bad\xe9", "x")), 553);
    for (const char* line : {"MKD /x\x81", "RMD /R\xe9sum\xe9\x8d", "RNFR /\x90"}) {
        EXPECT_EQ(CodeOf(ansi.Command(line)), 553) << line;
    }
    EXPECT_EQ(CodeOf(ansi.Store("/x\x9d", "x")), 553);
    EXPECT_EQ(HostNames(home), before);
}

}  // namespace
}  // namespace testing_support
