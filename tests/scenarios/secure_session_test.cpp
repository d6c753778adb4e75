// The session protected with TLS against the stand-in service with a throw-away authority:
// a forced-TLS service used end to end, and the servers the program must not log in to.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "support/scenario.h"
#include "support/scripted_run.h"
#include "support/server_certificates.h"

namespace {

using platform::net::TlsMode;
using testing_support::ServerCertificates;

const char* const kCertificateNames = "IP:127.0.0.1,DNS:localhost";

// The certificates must exist before the service that serves them starts.
struct Certificates {
    explicit Certificates(const std::string& names) : certificates(names) {}
    ServerCertificates certificates;
};

class SecureSession : public Certificates, public testing_support::Scenario {
  protected:
    SecureSession()
        : Certificates(kCertificateNames),
          Scenario({std::string(kUser) + ":" + kPassword},
                   {"--tls-cert", certificates.Certificate().string(), "--tls-key",
                    certificates.Key().string(), "--require-tls"}) {
        tls = TlsMode::Require;
        caFile = certificates.Authority();
    }
};

TEST_F(SecureSession, ForcedTlsLogsInListsUploadsAndDownloadsWholeFiles) {
    std::string payload(300000, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<char>(i * 13 % 251);
    }
    WriteAccountFile("My Device on Stowbox/down.bin", payload);
    device.WriteFile("up.bin", payload);
    const auto result = Run(LoginSteps() +
                            "expect row 0 \"up.bin\"\n"
                            "check 0\n"
                            "command ID_UPLOAD\n"
                            "expect box \"File Upload Completed\"\n"
                            "command ID_SHOW_REMOTE\n"
                            "expect row 0 \"down.bin\"\n"
                            "expect row 1 \"up.bin\"\n"
                            "check 0\n"
                            "command ID_DOWNLOAD\n"
                            "expect box \"File Download Completed\"\n" +
                            ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_NE(result.transcript.find("window open \"Kestra\" CLoginDlg\nsecure connection\n"),
              std::string::npos)
        << result.transcript;
    EXPECT_EQ(testing_support::ReadHostFile(RemoteRoot() / "up.bin"), payload);
    EXPECT_EQ(device.ReadFile("down.bin"), payload);
}

// The web host given as https://, the FTP session in clear: the download-limit query and the
// share request go over HTTPS and verify the certificate, and the session does not pass for a
// protected one.
class SecureWeb : public Certificates, public testing_support::Scenario {
  protected:
    SecureWeb()
        : Certificates(kCertificateNames),
          Scenario({std::string(kUser) + ":" + kPassword},
                   {"--tls-cert", certificates.Certificate().string(), "--tls-key",
                    certificates.Key().string()}) {
        webOverTls = true;
        WriteAccountFile("My Device on Stowbox/report.pdf", "pdf");
    }

    static std::string ShareSteps(const std::string& limitCheck) {
        return LoginSteps() +
               "command ID_SHOW_REMOTE\n"
               "mark 0\n"
               "command ID_SHARE\n" +
               limitCheck +
               "type IDC_SHARE_FROM \"alice@example.com\"\n"
               "type IDC_SHARE_TO \"carol@example.com\"\n"
               "click IDC_GENERATE_SHARE\n";
    }
    std::size_t Mails() const {
        const auto entries = std::filesystem::directory_iterator(service.OutboxDir());
        return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
    }
};

TEST_F(SecureWeb, SharesOverHttpsWithTheAuthorityAndRefusesWithoutIt) {
    caFile = certificates.Authority();
    auto result = Run(ShareSteps("expect path 9 \"1\" \"2\" \"3\" \"4\" \"5\" \"6\" \"7\" "
                                 "\"8\" \"9\" \"10\"\n") +
                      "expect no-box\nexpect title \"My Device\"\n" + ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(Mails(), 1u);
    EXPECT_EQ(result.transcript.find("\nsecure connection\n"), std::string::npos)
        << "a web request is no part of the FTP session:\n"
        << result.transcript;

    // Without the authority neither request is made: the password stays off the wire.
    caFile.clear();
    result = Run(ShareSteps("expect box \"Retrieve Failed\"\n") + "click IDC_SHARE_CANCEL\n" +
                 ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_NE(result.transcript.find("box \"Kestra.htp\" \"The server's certificate is not "
                                     "trusted\nunable to get local issuer certificate\""),
              std::string::npos)
        << result.transcript;
    EXPECT_EQ(Mails(), 1u);
}

using TryTls = testing_support::Scenario;

// A service without TLS refuses AUTH TLS (530 before a log-in) and the session goes on in clear.
TEST_F(TryTls, ServiceWithoutTlsIsUsedInClear) {
    tls = TlsMode::Try;
    WriteAccountFile("My Device on Stowbox/a.txt", "a");
    const auto result =
        Run(LoginSteps() + "command ID_SHOW_REMOTE\nexpect row 0 \"a.txt\"\n" + ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(result.transcript.find("\nsecure connection\n"), std::string::npos);
}

// What the person sees when the log-in stops before the user name goes out.
struct Refusal {
    const char* name;
    const char* certificateNames;
    bool trustAuthority;
    bool serviceTls;
    const char* message;  // the first line of the box
};

const Refusal kRefusals[] = {
    {"UnknownAuthority", kCertificateNames, false, true, "The server's certificate is not trusted"},
    {"WrongHostName", "DNS:elsewhere.example", true, true,
     "The server's certificate is not trusted"},
    {"ServiceWithoutTls", kCertificateNames, true, false,
     "The server does not offer a secure connection"},
};

class RefusedServer : public Certificates,
                      public testing_support::Scenario,
                      public ::testing::WithParamInterface<Refusal> {
  protected:
    RefusedServer()
        : Certificates(GetParam().certificateNames),
          Scenario({std::string(kUser) + ":" + kPassword}, ServiceArgs()) {
        tls = TlsMode::Require;
        if (GetParam().trustAuthority) {
            caFile = certificates.Authority();
        }
    }
    std::vector<std::string> ServiceArgs() const {
        if (!GetParam().serviceTls) {
            return {};
        }
        return {"--tls-cert", certificates.Certificate().string(), "--tls-key",
                certificates.Key().string()};
    }
};

TEST_P(RefusedServer, ShowsWhyAndStaysAtTheLogin) {
    const auto result = Run(LoginSteps() + "expect title \"Kestra\"\ncommand IDCANCEL\n");
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    const std::string box = std::string("box \"Kestra.htp\" \"") + GetParam().message;
    EXPECT_NE(result.transcript.find(box), std::string::npos) << result.transcript;
    EXPECT_EQ(result.transcript.find("\nsecure connection\n"), std::string::npos);
    EXPECT_EQ(result.transcript.find("CFileManagerDlg"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusedServer, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

using RequiredTls = testing_support::ScriptedRun;

// The exact wire: after the refused AUTH nothing goes out, no USER and no PASS.
TEST_F(RequiredTls, RefusedAuthEndsTheLogInWithNothingMoreSent) {
    tls = TlsMode::Require;
    server.Greet().Command("AUTH TLS\r\n", "502 Command not implemented\r\n").AwaitControlClosed();
    const auto result =
        Run("type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"secret\"\nclick IDC_LOGIN\n"
            "expect box \"The server does not offer a secure connection\"\n"
            "command IDCANCEL\n");
    EXPECT_EQ(result.status, 0) << result.message;
}

}  // namespace
