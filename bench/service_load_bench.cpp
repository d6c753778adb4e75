// The stand-in service under load: 32 sessions from one address at once, each logging in and
// downloading the same 8 MiB file with a plain FTP client of its own. The sessions use four
// accounts, so that none holds more than the service allows one account.
// Prints the MB/s of the bytes that arrived and were compared with the file; a session that
// was refused or got a wrong byte counts nothing and fails the run.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "support/scripted_ftp_server.h"
#include "support/service_process.h"

namespace {

using Clock = std::chrono::steady_clock;
using testing_support::ScriptedFtpServer;

constexpr int kSessions = 32;
constexpr int kAccounts = 4;
constexpr std::size_t kFileSize = 8u << 20;

// One blocking connection on 127.0.0.1, closed at the end.
class Connection {
  public:
    explicit Connection(int port) : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        m_ok = m_fd >= 0 &&
               ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Connection() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool Ok() const { return m_ok; }
    int Fd() const { return m_fd; }

    bool Send(const std::string& text) {
        return ::send(m_fd, text.data(), text.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(text.size());
    }

    // One reply line (the service answers with single lines), without its CR LF.
    std::string Reply() {
        for (;;) {
            const auto end = m_pending.find("\r\n");
            if (end != std::string::npos) {
                std::string line = m_pending.substr(0, end);
                m_pending.erase(0, end + 2);
                return line;
            }
            char buffer[512];
            const ssize_t count = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (count <= 0) {
                return {};
            }
            m_pending.append(buffer, static_cast<std::size_t>(count));
        }
    }

    std::string Command(const std::string& line) { return Send(line + "\r\n") ? Reply() : ""; }

  private:
    int m_fd;
    bool m_ok = false;
    std::string m_pending;
};

bool Code(const std::string& reply, const char* code) {
    return reply.rfind(code, 0) == 0;
}

// The port of a "227 ... (h1,h2,h3,h4,p1,p2)" reply, 0 when there is none.
int PasvPort(const std::string& reply) {
    int numbers[6] = {};
    const auto open = reply.find('(');
    if (open == std::string::npos ||
        std::sscanf(reply.c_str() + open + 1, "%d,%d,%d,%d,%d,%d", &numbers[0], &numbers[1],
                    &numbers[2], &numbers[3], &numbers[4], &numbers[5]) != 6) {
        return 0;
    }
    return numbers[4] * 256 + numbers[5];
}

// Logs in, downloads the file and compares it; the bytes that arrived right, or 0.
std::size_t Download(int port, int account) {
    Connection control(port);
    if (!control.Ok() || !Code(control.Reply(), "220") ||
        !Code(control.Command("USER user" + std::to_string(account)), "331") ||
        !Code(control.Command("PASS secret"), "230") || !Code(control.Command("TYPE I"), "200")) {
        return 0;
    }
    Connection data(PasvPort(control.Command("PASV")));
    if (!data.Ok() || !Code(control.Command("RETR big.bin"), "150")) {
        return 0;
    }
    std::vector<char> buffer(64 * 1024);
    std::size_t received = 0;
    bool same = true;
    for (;;) {
        const ssize_t count = ::recv(data.Fd(), buffer.data(), buffer.size(), 0);
        if (count <= 0) {
            break;
        }
        const auto size = static_cast<std::size_t>(count);
        same = same &&
               std::string_view(buffer.data(), size) == ScriptedFtpServer::Pattern(received, size);
        received += size;
    }
    const bool complete = Code(control.Reply(), "226");
    control.Command("QUIT");
    return same && complete && received == kFileSize ? received : 0;
}

}  // namespace

int main() {
    std::vector<std::string> accounts;
    for (int i = 0; i < kAccounts; ++i) {
        accounts.push_back("user" + std::to_string(i) + ":secret");
    }
    testing_support::ServiceProcess service{accounts};
    const std::string bytes = ScriptedFtpServer::Pattern(0, kFileSize);
    for (int i = 0; i < kAccounts; ++i) {
        std::ofstream file(service.AccountDir("user" + std::to_string(i)) / "big.bin",
                           std::ios::binary);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::size_t> received(kSessions);
    std::vector<std::thread> sessions;
    const auto start = Clock::now();
    for (int i = 0; i < kSessions; ++i) {
        sessions.emplace_back([&, i] { received[i] = Download(service.FtpPort(), i % kAccounts); });
    }
    for (auto& session : sessions) {
        session.join();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const int good = static_cast<int>(std::count(received.begin(), received.end(), kFileSize));
    // Only the bytes that arrived and were checked.
    const double megabytes = static_cast<double>(good) * kFileSize / 1e6;
    std::printf("%d sessions x 8 MiB: %d complete and byte for byte right, %.2f s, %.1f MB/s\n",
                kSessions, good, seconds, megabytes / seconds);
    if (good == kSessions) {
        std::printf(
            "| stand-in service, %d sessions x 8 MiB download | %.1f MB/s total | %d of %d "
            "byte for byte right |\n",
            kSessions, megabytes / seconds, good, kSessions);
    } else {
        std::printf(
            "| stand-in service, %d sessions x 8 MiB download | FAILED: %d of %d sessions "
            "refused or wrong | %.1f MB/s of checked bytes |\n",
            kSessions, kSessions - good, kSessions, megabytes / seconds);
    }
    return good == kSessions ? 0 : 1;
}
