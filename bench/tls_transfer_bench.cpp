// Moves a 256 MiB file each way through CFtpSession against the stand-in service with TLS
// on, once with the session protected and once in clear, and prints the protected speed as
// a ratio of the clear one. Measures only: it never fails on a figure.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "ftp/ftp_session.h"
#include "platform/fs/file_system.h"
#include "support/scripted_ftp_server.h"
#include "support/server_certificates.h"
#include "support/service_process.h"
#include "support/test_device.h"

namespace {

using Clock = std::chrono::steady_clock;
using platform::net::TlsMode;
using testing_support::ScriptedFtpServer;

constexpr std::uint64_t kFileSize = 256ull << 20;
constexpr int kRounds = 3;

void WritePattern(const std::filesystem::path& path) {
    platform::fs::File file;
    file.OpenHost(path, platform::fs::File::Mode::CreateAlways);
    constexpr std::size_t kChunk = 1 << 20;
    for (std::uint64_t offset = 0; offset < kFileSize; offset += kChunk) {
        const std::string chunk = ScriptedFtpServer::Pattern(offset, kChunk);
        file.Write(chunk.data(), chunk.size());
    }
}

struct Speeds {
    double down = 0;  // MB/s, best of the rounds
    double up = 0;
};

// The best of several rounds each way, in one session logged in with `mode`.
Speeds Measure(const testing_support::ServiceProcess& service,
               const testing_support::ServerCertificates& certificates, TlsMode mode) {
    testing_support::TestDevice::Options options;
    options.ftpPort = static_cast<std::uint16_t>(service.FtpPort());
    options.tls = mode;
    options.caFile = certificates.Authority();
    testing_support::TestDevice device(options);
    WritePattern(device.Root() / "up.bin");
    CFtpSession session;
    if (!session.Connect(L"127.0.0.1", 21) || !session.Login(L"alice", L"secret")) {
        std::fprintf(stderr, "log-in failed\n");
        return {};
    }
    const auto timed = [](auto&& transfer) {
        const auto start = Clock::now();
        const bool done = transfer();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!done) {
            std::fprintf(stderr, "a transfer failed\n");
            return 0.0;
        }
        return kFileSize / 1e6 / seconds;
    };
    Speeds best;
    for (int round = 0; round < kRounds; ++round) {
        best.down =
            std::max(best.down, timed([&] {
                         return session.RetrieveFile(L"big.bin", L"down.bin") &&
                                std::filesystem::file_size(device.Root() / "down.bin") == kFileSize;
                     }));
        best.up = std::max(best.up, timed([&] {
                               return session.StoreFile(L"up.bin",
                                                        L"up" + std::to_wstring(round) + L".bin",
                                                        CFtpSession::PriorRemoteFile::Absent,
                                                        CFtpSession::StoreTarget::CurrentFolder);
                           }));
    }
    session.Quit();
    return best;
}

}  // namespace

int main() {
    const testing_support::ServerCertificates certificates;
    testing_support::ServiceProcess service(
        {"alice:secret"}, {"--tls-cert", certificates.Certificate().string(), "--tls-key",
                           certificates.Key().string()});
    WritePattern(service.AccountDir("alice") / "big.bin");
    const Speeds clear = Measure(service, certificates, TlsMode::Off);
    const Speeds secure = Measure(service, certificates, TlsMode::Require);
    std::printf("256 MiB each way against the stand-in service, best of %d rounds\n", kRounds);
    std::printf("| TLS download, 256 MiB | %.2f of clear (%.1f vs %.1f MB/s) | goal >= 0.8 |\n",
                clear.down > 0 ? secure.down / clear.down : 0.0, secure.down, clear.down);
    std::printf("| TLS upload, 256 MiB | %.2f of clear (%.1f vs %.1f MB/s) | goal >= 0.8 |\n",
                clear.up > 0 ? secure.up / clear.up : 0.0, secure.up, clear.up);
    return 0;
}
