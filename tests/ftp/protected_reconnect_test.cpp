// A session that logged in protected stays protected when it is mended: a reconnect whose
// AUTH TLS is refused (as a host on the way that strips it would) sends no user name, even
// when the device would otherwise go on in clear.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>

#include "ftp/ftp_session.h"
#include "support/scripted_ftp_server.h"
#include "support/server_certificates.h"
#include "support/service_process.h"
#include "support/test_device.h"

namespace {

using testing_support::ScriptedFtpServer;

TEST(ProtectedReconnect, RefusedAuthOnReconnectSendsNoUserName) {
    const testing_support::ServerCertificates certificates;
    testing_support::ServiceProcess service(
        {"alice:secret"}, {"--tls-cert", certificates.Certificate().string(), "--tls-key",
                           certificates.Key().string()});
    testing_support::TestDevice::Options options;
    options.ftpPort = static_cast<std::uint16_t>(service.FtpPort());
    options.tls = platform::net::TlsMode::Try;
    options.caFile = certificates.Authority();
    testing_support::TestDevice device(options);

    CFtpSession session;
    ASSERT_TRUE(session.Connect(L"127.0.0.1", 21));
    ASSERT_TRUE(session.Login(L"alice", L"secret"));
    EXPECT_TRUE(device.Device().Net().HasProtectedConnection());

    // The service goes; the built-in address now leads to a server that refuses AUTH TLS.
    ScriptedFtpServer stripper;
    stripper.Greet()
        .Command("AUTH TLS\r\n", "502 Command not implemented\r\n")
        .AwaitControlClosed();
    stripper.Start();
    device.Device().Net().AddRoute({"127.0.0.1", 21}, {"127.0.0.1", stripper.Port()});
    service.Stop(SIGKILL);

    session.SendAndRead(L"NOOP");
    EXPECT_EQ(session.TakeConnectionNotice(), CFtpSession::ConnectionNotice::Lost);
    EXPECT_FALSE(device.Device().Net().HasProtectedConnection());
    session.SendAndRead(L"NOOP");  // the mend, refused before the user name
    EXPECT_EQ(session.TakeConnectionNotice(), CFtpSession::ConnectionNotice::ReconnectFailed);
    EXPECT_FALSE(session.IsConnected());

    const auto& result = stripper.Finish();
    EXPECT_EQ(result.transcript, stripper.ExpectedTranscript());
    EXPECT_THAT(result.problems, testing::IsEmpty());
}

}  // namespace
