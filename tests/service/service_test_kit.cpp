#include "service_test_kit.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace testing_support {

namespace {

// Only a guard against a hung test: no assertion depends on it.
constexpr int kReadTimeoutMs = 30000;

sockaddr_in Loopback(std::uint16_t port, const char* address) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    ::inet_pton(AF_INET, address, &endpoint.sin_addr);
    return endpoint;
}

bool WaitReadable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, kReadTimeoutMs) > 0;
}

}  // namespace

TestService::TestService(const std::function<void(stowbox::service::ServiceConfig&)>& adjust) {
    stowbox::service::ServiceConfig config;
    config.root = Root();
    config.accounts = {{"alice", "secret", 10}, {"bob", "pw", 3}};
    if (adjust) {
        adjust(config);
    }
    m_service = std::make_unique<stowbox::service::Service>(config);
    m_service->start();
}

Fd ConnectTo(std::uint16_t port, const char* fromAddress) {
    Fd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const auto local = Loopback(0, fromAddress);
    const auto remote = Loopback(port, "127.0.0.1");
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
        throw std::runtime_error("cannot connect to port " + std::to_string(port));
    }
    return fd;
}

void SendText(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t sent = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) {
            throw std::runtime_error("send failed");
        }
        done += std::size_t(sent);
    }
}

std::string ReadToEnd(int fd) {
    std::string data;
    char buffer[65536];
    while (WaitReadable(fd)) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);  // sockets and pipes alike
        if (got <= 0) {
            break;
        }
        data.append(buffer, std::size_t(got));
    }
    return data;
}

bool DripUntilAnswered(int fd, const std::string& text, std::chrono::milliseconds pause) {
    for (const char c : text) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, int(pause.count())) > 0 || ::send(fd, &c, 1, MSG_NOSIGNAL) != 1) {
            return true;
        }
    }
    return false;
}

FtpClient::FtpClient(std::uint16_t port, const char* fromAddress)
    : m_from(fromAddress), m_control(ConnectTo(port, fromAddress)) {}

std::string FtpClient::Reply() {
    std::string reply;
    for (;;) {
        const auto end = m_buffer.find("\r\n");
        if (end != std::string::npos) {
            const std::string line = m_buffer.substr(0, end + 2);
            m_buffer.erase(0, end + 2);
            reply += line;
            if (line.size() >= 4 && line[3] == ' ') {
                return reply;
            }
            continue;
        }
        char chunk[4096];
        const ssize_t got =
            WaitReadable(ControlFd()) ? ::recv(ControlFd(), chunk, sizeof chunk, 0) : -1;
        if (got <= 0) {
            return reply + m_buffer;  // closed: whatever came
        }
        m_buffer.append(chunk, std::size_t(got));
    }
}

std::string FtpClient::Command(const std::string& line) {
    SendText(ControlFd(), line + "\r\n");
    return Reply();
}

std::string FtpClient::Login(const std::string& user, const std::string& password) {
    Command("USER " + user);
    return Command("PASS " + password);
}

Fd FtpClient::Passive() {
    const std::string text = Command("PASV ");
    unsigned h1, h2, h3, h4, p1, p2;
    const auto open = text.find('(');
    if (CodeOf(text) != 227 || open == std::string::npos ||
        std::sscanf(text.c_str() + open, "(%u,%u,%u,%u,%u,%u)", &h1, &h2, &h3, &h4, &p1, &p2) !=
            6) {
        throw std::runtime_error("bad PASV reply: " + text);
    }
    return ConnectTo(std::uint16_t(p1 * 256 + p2), m_from);
}

std::string FtpClient::List(std::string& data, const std::string& commandLine) {
    Fd channel = Passive();
    const std::string first = Command(commandLine);
    if (CodeOf(first) != 150) {
        return first;
    }
    data = ReadToEnd(channel.Get());
    return Reply();
}

std::string FtpClient::Retrieve(const std::string& name, std::string& data) {
    return List(data, "RETR " + name);
}

std::string FtpClient::Store(const std::string& name, const std::string& data) {
    Fd channel = Passive();
    const std::string first = Command("STOR " + name);
    if (CodeOf(first) != 150) {
        return first;
    }
    SendText(channel.Get(), data);
    channel.Reset();
    return Reply();
}

int CodeOf(const std::string& reply) {
    return reply.size() >= 3 ? std::atoi(reply.substr(0, 3).c_str()) : 0;
}

ProgramResult RunProgram(const std::vector<std::string>& args) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const Fd output(pipeFds[0]);
    Fd writeEnd(pipeFds[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDERR_FILENO);
    std::vector<char*> argv;
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    writeEnd.Reset();
    ProgramResult result;
    if (spawned != 0) {
        return result;
    }
    result.output = ReadToEnd(output.Get());
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool HaveProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (!folder.empty() && ::access((folder + "/" + name).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

std::string PatternBytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 16);
    }
    return bytes;
}

}  // namespace testing_support
