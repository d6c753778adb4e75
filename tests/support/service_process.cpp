#include "support/service_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "support/fd.h"

extern char** environ;

namespace testing_support {

namespace {

// Generous, since the service may be built with sanitizers on a busy machine.
constexpr auto kStartTimeout = std::chrono::seconds(60);
constexpr auto kStopTimeout = std::chrono::seconds(20);

// Parses "ftp HOST:PORT"; false when the line is something else.
bool parseEndpoint(const std::string& line, const std::string& kind, std::string& host, int& port) {
    if (line.rfind(kind + " ", 0) != 0) {
        return false;
    }
    const auto colon = line.rfind(':');
    if (colon == std::string::npos || colon <= kind.size() + 1) {
        return false;
    }
    host = line.substr(kind.size() + 1, colon - kind.size() - 1);
    port = std::atoi(line.c_str() + colon + 1);
    return port > 0;
}

}  // namespace

ServiceProcess::ServiceProcess(std::vector<std::string> accounts,
                               std::vector<std::string> extraArgs) {
    std::vector<std::string> args{
        STOWBOX_SERVICE_PATH, "--root", Root().string(), "--listen", "127.0.0.1",
        "--ftp-port",         "0",      "--web-port",    "0"};
    for (const auto& account : accounts) {
        args.push_back("--account");
        args.push_back(account);
    }
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    m_args = args;
    try {
        Start(args);
    } catch (...) {
        Stop();
        throw;
    }
}

// The child stops before the folder goes.
ServiceProcess::~ServiceProcess() {
    Stop();
}

std::filesystem::path ServiceProcess::AccountDir(const std::string& name) const {
    return Root() / "accounts" / name;
}

std::filesystem::path ServiceProcess::OutboxDir() const {
    return Root() / "outbox";
}

void ServiceProcess::Restart(int signal) {
    Stop(signal);
    m_ftpPort = 0;
    m_webPort = 0;
    Start(m_args);
}

void ServiceProcess::Start(const std::vector<std::string>& args) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot create a pipe");
    }
    const Fd read_end(pipe_fds[0]);
    Fd write_end(pipe_fds[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, write_end.Get(), STDOUT_FILENO);
    // The child starts with default signal handling whatever the test program changed.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> argv;
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const int spawned = ::posix_spawn(&m_pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    // Only the child writes now, so the pipe ends when the child's output does.
    write_end.Reset();
    if (spawned != 0) {
        m_pid = -1;
        throw std::runtime_error(std::string("cannot start ") + argv[0]);
    }

    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (m_ftpPort == 0 || m_webPort == 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{read_end.Get(), POLLIN, 0};
        char buffer[256];
        ssize_t got = 0;
        if (left.count() <= 0 || ::poll(&p, 1, int(left.count())) <= 0 ||
            (got = ::read(read_end.Get(), buffer, sizeof buffer)) <= 0) {
            throw std::runtime_error("stowbox-service did not announce its ports; it printed: " +
                                     output);
        }
        output.append(buffer, std::size_t(got));
        std::size_t end;
        while ((end = output.find('\n')) != std::string::npos) {
            const std::string line = output.substr(0, end);
            output.erase(0, end + 1);
            std::string host;
            int port = 0;
            if (parseEndpoint(line, "ftp", host, port)) {
                m_ftpPort = port;
                m_host = host;
            } else if (parseEndpoint(line, "web", host, port)) {
                m_webPort = port;
            }
        }
    }
}

int ServiceProcess::Stop(int signal) {
    if (m_pid <= 0) {
        return 0;
    }
    ::kill(m_pid, signal);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    for (;;) {
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid || (done < 0 && errno != EINTR)) {
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_pid = -1;
    return status;
}

}  // namespace testing_support
