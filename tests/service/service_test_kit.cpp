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

namespace stowbox::service::test {

namespace {

// Only a guard against a hung test: no assertion depends on it.
constexpr int kReadTimeoutMs = 30000;

sockaddr_in loopback(std::uint16_t port, const char* address) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    ::inet_pton(AF_INET, address, &endpoint.sin_addr);
    return endpoint;
}

bool wait_readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, kReadTimeoutMs) > 0;
}

}  // namespace

TestService::TestService(const std::function<void(ServiceConfig&)>& adjust) {
    std::string pattern = std::filesystem::temp_directory_path() / "stowbox-service-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    root_ = pattern;
    ServiceConfig config;
    config.root = root_;
    config.accounts = {{"alice", "secret", 10}, {"bob", "pw", 3}};
    if (adjust) {
        adjust(config);
    }
    service_ = std::make_unique<Service>(config);
    service_->start();
}

TestService::~TestService() {
    service_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

UniqueFd connect_to(std::uint16_t port, const char* from_address) {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const auto local = loopback(0, from_address);
    const auto remote = loopback(port, "127.0.0.1");
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
        throw std::runtime_error("cannot connect to port " + std::to_string(port));
    }
    return fd;
}

void send_text(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t sent = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) {
            throw std::runtime_error("send failed");
        }
        done += std::size_t(sent);
    }
}

std::string read_to_end(int fd) {
    std::string data;
    char buffer[65536];
    while (wait_readable(fd)) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);  // sockets and pipes alike
        if (got <= 0) {
            break;
        }
        data.append(buffer, std::size_t(got));
    }
    return data;
}

bool drip_until_answered(int fd, const std::string& text, std::chrono::milliseconds pause) {
    for (const char c : text) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, int(pause.count())) > 0 || ::send(fd, &c, 1, MSG_NOSIGNAL) != 1) {
            return true;
        }
    }
    return false;
}

FtpClient::FtpClient(std::uint16_t port) : control_(connect_to(port)) {}

std::string FtpClient::reply() {
    std::string reply;
    for (;;) {
        const auto end = buffer_.find("\r\n");
        if (end != std::string::npos) {
            const std::string line = buffer_.substr(0, end + 2);
            buffer_.erase(0, end + 2);
            reply += line;
            if (line.size() >= 4 && line[3] == ' ') {
                return reply;
            }
            continue;
        }
        char chunk[4096];
        const ssize_t got = wait_readable(fd()) ? ::recv(fd(), chunk, sizeof chunk, 0) : -1;
        if (got <= 0) {
            return reply + buffer_;  // closed: whatever came
        }
        buffer_.append(chunk, std::size_t(got));
    }
}

std::string FtpClient::command(const std::string& line) {
    send_text(fd(), line + "\r\n");
    return reply();
}

std::string FtpClient::login(const std::string& user, const std::string& password) {
    command("USER " + user);
    return command("PASS " + password);
}

UniqueFd FtpClient::passive() {
    const std::string text = command("PASV ");
    unsigned h1, h2, h3, h4, p1, p2;
    const auto open = text.find('(');
    if (code_of(text) != 227 || open == std::string::npos ||
        std::sscanf(text.c_str() + open, "(%u,%u,%u,%u,%u,%u)", &h1, &h2, &h3, &h4, &p1, &p2) !=
            6) {
        throw std::runtime_error("bad PASV reply: " + text);
    }
    return connect_to(std::uint16_t(p1 * 256 + p2));
}

std::string FtpClient::list(std::string& data, const std::string& command_line) {
    UniqueFd channel = passive();
    const std::string first = command(command_line);
    if (code_of(first) != 150) {
        return first;
    }
    data = read_to_end(channel.get());
    return reply();
}

std::string FtpClient::retrieve(const std::string& name, std::string& data) {
    return list(data, "RETR " + name);
}

std::string FtpClient::store(const std::string& name, const std::string& data) {
    UniqueFd channel = passive();
    const std::string first = command("STOR " + name);
    if (code_of(first) != 150) {
        return first;
    }
    send_text(channel.get(), data);
    channel.reset();
    return reply();
}

int code_of(const std::string& reply) {
    return reply.size() >= 3 ? std::atoi(reply.substr(0, 3).c_str()) : 0;
}

ProgramResult run_program(const std::vector<std::string>& args) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDERR_FILENO);
    std::vector<char*> argv;
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_fds[1]);
    UniqueFd output(pipe_fds[0]);
    ProgramResult result;
    if (spawned != 0) {
        return result;
    }
    result.output = read_to_end(output.get());
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool have_program(const std::string& name) {
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

void write_file(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string pattern_bytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 16);
    }
    return bytes;
}

}  // namespace stowbox::service::test
