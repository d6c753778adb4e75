// Moves a 64 MiB file each way through CFtpSession against a loopback server, and the same
// bytes through the fastest plain loop: 256 KiB per receive and per send, no blocks and no
// cancel check (uploads: sent from memory), so the ratio shows what the client's per-block
// work costs. Prints MB/s, the ratio of the two and the peak memory after each direction
// (the upload's includes the bare loop's 64 MiB in memory). Measures only: it never fails on
// a figure.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ftp/ftp_session.h"
#include "ftp/transfer_blocks.h"
#include "support/scripted_ftp_server.h"
#include "support/test_device.h"

namespace {

using Clock = std::chrono::steady_clock;
using testing_support::ScriptedFtpServer;
using testing_support::TestDevice;

constexpr std::uint64_t kFileSize = 64ull << 20;
constexpr int kRounds = 3;
// What the bare loop moves per system call.
constexpr std::size_t kBareBuffer = 256 * 1024;
using ftp::kWriteBuffer;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double MegabytesPerSecond(double seconds) {
    return kFileSize / 1e6 / seconds;
}

// CPU seconds of the whole process so far (user and system, every thread): unlike the wall
// time, hardly moved by other work on the machine.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The best wall time and the least CPU time of several runs of one loop.
struct Best {
    double wall = 1e9;
    double cpu = 1e9;
    template <class Fn>
    void Run(Fn&& fn) {
        const double before = CpuSeconds();
        wall = std::min(wall, fn());
        cpu = std::min(cpu, CpuSeconds() - before);
    }
};

long PeakKibibytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void ScriptClientTransfer(ScriptedFtpServer& server, const std::string& command, bool download) {
    server.Greet()
        .Command("TYPE I\r\n", "200 Type set to I\r\n")
        .Expect("PASV \r\n")
        .ReplyPasv()
        .Command(command, "150 Opening data connection\r\n")
        .AcceptData();
    if (download) {
        server.SendPattern(kFileSize).CloseData();
    } else {
        server.ReceivePattern();
    }
    server.Reply("226 Transfer complete\r\n");
}

bool Check(const ScriptedFtpServer::Result& result, const char* what) {
    if (!result.problems.empty()) {
        std::fprintf(stderr, "%s: %s\n", what, result.problems.front().c_str());
        return false;
    }
    return true;
}

// A download by the plainest loop: each large receive goes to the file as it is.
double BareDownload(TestDevice& device) {
    ScriptedFtpServer server;
    server.AcceptData().SendPattern(kFileSize).CloseData();
    server.Start();
    const auto start = Clock::now();
    platform::net::Socket socket;
    socket.Create(device.Device().Net());
    socket.Connect("127.0.0.1", server.DataPort());
    platform::fs::File file;
    file.OpenHost(device.Root() / "bare.bin", platform::fs::File::Mode::CreateAlways);
    std::vector<char> buffer(kBareBuffer);
    for (int count; (count = socket.Receive(buffer.data(), buffer.size())) > 0;) {
        file.Write(buffer.data(), static_cast<std::size_t>(count));
    }
    file.Close();
    const double seconds = Seconds(start);
    Check(server.Finish(), "bare download");
    return seconds;
}

double ClientDownload(TestDevice& device) {
    ScriptedFtpServer server;
    ScriptClientTransfer(server, "RETR big.bin\r\n", true);
    server.Start();
    CFtpSession session;
    session.Connect(L"127.0.0.1", server.Port());
    const auto start = Clock::now();
    const bool done = session.RetrieveFile(L"big.bin", L"big.bin");
    const double seconds = Seconds(start);
    if (!Check(server.Finish(), "download") || !done ||
        std::filesystem::file_size(device.Root() / "big.bin") != kFileSize) {
        std::fprintf(stderr, "download failed\n");
    }
    return seconds;
}

// The same bytes as an upload, sent from memory in large sends, without a session, a file or
// a cancel check: what an upload could reach at best.
double BareUpload(TestDevice& device, const std::string& bytes) {
    ScriptedFtpServer server;
    server.AcceptData().ReceivePattern();
    server.Start();
    const auto start = Clock::now();
    platform::net::Socket socket;
    socket.Create(device.Device().Net());
    socket.Connect("127.0.0.1", server.DataPort());
    for (std::size_t offset = 0; offset < bytes.size();) {
        const int sent =
            socket.Send(bytes.data() + offset, std::min(kBareBuffer, bytes.size() - offset));
        if (sent <= 0) {
            break;
        }
        offset += static_cast<std::size_t>(sent);
    }
    socket.Close();
    const auto& result = server.Finish();
    const double seconds = Seconds(start);
    if (!Check(result, "bare upload") || result.patternBytes != kFileSize) {
        std::fprintf(stderr, "bare upload incomplete\n");
    }
    return seconds;
}

double ClientUpload() {
    ScriptedFtpServer server;
    ScriptClientTransfer(server, "STOR up.bin\r\n", false);
    server.Start();
    CFtpSession session;
    session.Connect(L"127.0.0.1", server.Port());
    const auto start = Clock::now();
    // No file of that name on the server: the upload needs no SIZE probe first.
    const bool done = session.StoreFile(L"up.bin", L"up.bin", CFtpSession::PriorRemoteFile::Absent,
                                        CFtpSession::StoreTarget::CurrentFolder);
    const double seconds = Seconds(start);
    const auto& result = server.Finish();
    if (!Check(result, "upload") || !done || result.patternBytes != kFileSize) {
        std::fprintf(stderr, "upload failed\n");
    }
    return seconds;
}

void WriteUploadSource(TestDevice& device) {
    platform::fs::File file;
    file.OpenHost(device.Root() / "up.bin", platform::fs::File::Mode::CreateAlways);
    for (std::uint64_t offset = 0; offset < kFileSize; offset += kWriteBuffer) {
        const std::string chunk = ScriptedFtpServer::Pattern(offset, kWriteBuffer);
        file.Write(chunk.data(), chunk.size());
    }
}

void Report(const char* direction, const Best& bare, const Best& client, long peakKibibytes) {
    std::printf(
        "%-8s bare %8.1f MB/s   CFtpSession %8.1f MB/s   ratio %.2f   CPU s bare %.2f, "
        "CFtpSession %.2f\n",
        direction, MegabytesPerSecond(bare.wall), MegabytesPerSecond(client.wall),
        bare.wall / client.wall, bare.cpu, client.cpu);
    // A row of the bench command's table.
    std::printf(
        "| %s, 64 MiB | %.1f MB/s, %.2f of the bare loop's %.1f MB/s | CPU %.2f s (bare "
        "%.2f s); peak memory %.1f MiB |\n",
        direction, MegabytesPerSecond(client.wall), bare.wall / client.wall,
        MegabytesPerSecond(bare.wall), client.cpu, bare.cpu, peakKibibytes / 1024.0);
}

}  // namespace

int main() {
    TestDevice device;
    Best bareDown, clientDown, bareUp, clientUp;
    for (int round = 0; round < kRounds; ++round) {
        bareDown.Run([&] { return BareDownload(device); });
        clientDown.Run([&] { return ClientDownload(device); });
    }
    const long peakAfterDownloads = PeakKibibytes();
    WriteUploadSource(device);
    const std::string uploadBytes = ScriptedFtpServer::Pattern(0, kFileSize);
    for (int round = 0; round < kRounds; ++round) {
        bareUp.Run([&] { return BareUpload(device, uploadBytes); });
        clientUp.Run([&] { return ClientUpload(); });
    }
    std::printf("64 MiB each way, best of %d rounds\n", kRounds);
    Report("download", bareDown, clientDown, peakAfterDownloads);
    Report("upload", bareUp, clientUp, PeakKibibytes());
    std::printf(
        "peak memory after the downloads: %.1f MiB (whole process, server thread "
        "included)\n",
        peakAfterDownloads / 1024.0);
    return 0;
}
