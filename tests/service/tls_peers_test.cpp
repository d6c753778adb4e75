// A widely used command-line FTP client against the service with forced TLS: it must verify
// our certificate, protect every data connection and move bytes unchanged both ways.
#include <gtest/gtest.h>

#include "service_test_kit.h"
#include "support/server_certificates.h"

namespace testing_support {
namespace {

TEST(ServiceTlsPeers, LftpWithForcedTlsLogsInListsUploadsAndDownloads) {
    if (!HaveProgram("openssl") || !HaveProgram("lftp")) {
        GTEST_SKIP() << "openssl and lftp are needed on PATH";
    }
    const ServerCertificates certificates;
    const TestService service([&](stowbox::service::ServiceConfig& config) {
        config.tls_certificate = certificates.Certificate();
        config.tls_key = certificates.Key();
        config.require_tls = true;
        config.failed_login_delay = {};
    });
    const std::string sent = PatternBytes(3 << 20, 5);
    const std::string kept = PatternBytes(2 << 20, 9);
    const auto upload = service.Root() / "sent.bin";
    const auto download = service.Root() / "kept-copy.bin";
    WriteHostFile(upload, sent);
    WriteHostFile(service.Home() / "kept.bin", kept);

    // cmd:fail-exit makes any refused command fail the run; one try each, bounded in time.
    const std::string script =
        "set cmd:fail-exit true; set net:max-retries 1; set net:timeout 10; "
        "set ftp:ssl-force true; set ftp:ssl-protect-data true; "
        "set ssl:verify-certificate true; set ssl:ca-file " +
        certificates.Authority().string() +
        "; "
        "open -u alice,secret -p " +
        std::to_string(service.FtpPort()) +
        " 127.0.0.1; "
        "put " +
        upload.string() + " -o sent.bin; ls; get kept.bin -o " + download.string();
    const auto result = RunProgram({"lftp", "-c", script});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find(" 3145728 "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("kept.bin"), std::string::npos) << result.output;
    EXPECT_EQ(ReadHostFile(service.Home() / "sent.bin"), sent);
    EXPECT_EQ(ReadHostFile(download), kept);
}

}  // namespace
}  // namespace testing_support
