#include "bare_ftp_client.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace bench {
namespace {

constexpr std::size_t kBuffer = 256 * 1024;

int ConnectLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        return fd;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return -1;
}

// The port of a "227 ... (h1,h2,h3,h4,p1,p2)" reply, 0 when there is none.
int PasvPort(const std::string& reply) {
    int n[6] = {};
    const auto open = reply.find('(');
    if (open == std::string::npos || std::sscanf(reply.c_str() + open + 1, "%d,%d,%d,%d,%d,%d",
                                                 &n[0], &n[1], &n[2], &n[3], &n[4], &n[5]) != 6) {
        return 0;
    }
    return n[4] * 256 + n[5];
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t count = ::send(fd, data, size, MSG_NOSIGNAL);
        if (count <= 0) {
            return false;
        }
        data += count;
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

}  // namespace

BareFtpClient::BareFtpClient(int port, const std::string& user, const std::string& password,
                             const std::string& folder)
    : m_control(ConnectLoopback(port)) {
    if (m_control < 0) {
        m_failure = "cannot connect";
        return;
    }
    // Each step only when the one before held: m_failure names the first that did not.
    static_cast<void>(
        Expect(Reply(), "220", "greeting") && Expect(Command("USER " + user), "331", "USER") &&
        Expect(Command("PASS " + password), "230", "PASS") &&
        Expect(Command("TYPE I"), "200", "TYPE") && Expect(Command("CWD " + folder), "250", "CWD"));
}

BareFtpClient::~BareFtpClient() {
    if (m_control >= 0) {
        Command("QUIT");
        ::close(m_control);
    }
}

std::string BareFtpClient::Reply() {
    for (;;) {
        // The service answers with single lines.
        if (const auto end = m_pending.find("\r\n"); end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 2);
            return line;
        }
        char buffer[512];
        const ssize_t count = ::recv(m_control, buffer, sizeof buffer, 0);
        if (count <= 0) {
            return {};
        }
        m_pending.append(buffer, static_cast<std::size_t>(count));
    }
}

std::string BareFtpClient::Command(const std::string& line) {
    const std::string text = line + "\r\n";
    return WriteAll(m_control, text.data(), text.size()) ? Reply() : "";
}

bool BareFtpClient::Expect(const std::string& reply, const char* code, const std::string& what) {
    if (reply.rfind(code, 0) == 0) {
        return true;
    }
    if (m_failure.empty()) {
        m_failure = what + " answered \"" + reply + "\"";
    }
    return false;
}

// The data connection of a transfer command whose 150 came, or -1.
int BareFtpClient::OpenData(const std::string& command) {
    if (!m_failure.empty()) {
        return -1;
    }
    const int data = ConnectLoopback(PasvPort(Command("PASV")));
    if (data < 0) {
        m_failure = "no data connection";
        return -1;
    }
    if (!Expect(Command(command), "150", command)) {
        ::close(data);
        return -1;
    }
    return data;
}

bool BareFtpClient::Download(const std::string& name, const std::filesystem::path& local) {
    const int data = OpenData("RETR " + name);
    if (data < 0) {
        return false;
    }
    const int file = ::open(local.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<char> buffer(kBuffer);
    bool written = file >= 0;
    for (ssize_t count; written && (count = ::recv(data, buffer.data(), kBuffer, 0)) > 0;) {
        written = ::write(file, buffer.data(), static_cast<std::size_t>(count)) == count;
    }
    ::close(data);
    if (file >= 0) {
        ::close(file);
    }
    return Expect(Reply(), "226", "RETR's end") && written;
}

bool BareFtpClient::Upload(const std::filesystem::path& local, const std::string& name) {
    const int file = ::open(local.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0 && m_failure.empty()) {
        m_failure = "cannot read " + local.string();
    }
    const int data = file < 0 ? -1 : OpenData("STOR " + name);
    std::vector<char> buffer(kBuffer);
    bool sent = data >= 0;
    for (ssize_t count; sent && (count = ::read(file, buffer.data(), kBuffer)) > 0;) {
        sent = WriteAll(data, buffer.data(), static_cast<std::size_t>(count));
    }
    if (data >= 0) {
        ::close(data);
    }
    if (file >= 0) {
        ::close(file);
    }
    return sent && Expect(Reply(), "226", "STOR's end");
}

}  // namespace bench
