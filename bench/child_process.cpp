#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string_view>
#include <thread>

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

// In the child between fork and exec: only calls that are safe there.
[[noreturn]] void ExecChild(const ChildCommand& command, const std::vector<char*>& argv,
                            const std::vector<char*>& envp, int errorFd) {
    const int null = ::open("/dev/null", O_RDWR);
    const int output = command.output.empty()
                           ? null
                           : ::open(command.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(null, STDIN_FILENO);
    ::dup2(output, STDOUT_FILENO);
    ::dup2(errorFd, STDERR_FILENO);
    if (::chdir(command.workingDir.c_str()) == 0) {
        ::execvpe(argv[0], argv.data(), envp.data());
    }
    ::_exit(127);
}

// This process's environment with HOME and XDG_CONFIG_HOME below `home`: no user settings.
std::vector<std::string> Environment(const std::filesystem::path& home) {
    std::vector<std::string> entries{"HOME=" + home.string(),
                                     "XDG_CONFIG_HOME=" + (home / ".config").string()};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        if (!text.starts_with("HOME=") && !text.starts_with("XDG_CONFIG_HOME=")) {
            entries.emplace_back(text);
        }
    }
    return entries;
}

std::string Tail(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    std::string tail = text.str();
    if (tail.size() > 300) {
        tail = "..." + tail.substr(tail.size() - 300);
    }
    for (char& c : tail) {
        c = c == '\n' || c == '|' ? ' ' : c;  // one table cell
    }
    return tail;
}

std::string Ending(int status) {
    if (WIFEXITED(status)) {
        return "exit status " + std::to_string(WEXITSTATUS(status));
    }
    return WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status)) : "ended oddly";
}

// Pointers into `texts` for exec, ended by a null.
std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

struct Ended {
    int status = 0;
    rusage usage{};
    bool killed = false;
};

// Waits for the child, killing it once the timeout has passed.
Ended Wait(pid_t pid, std::chrono::seconds timeout) {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    Ended ended;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!changed.wait_for(lock, timeout, [&] { return done; })) {
            ended.killed = true;
            ::kill(pid, SIGKILL);
        }
    });
    while (::wait4(pid, &ended.status, 0, &ended.usage) < 0 && errno == EINTR) {
    }
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    changed.notify_all();
    watchdog.join();
    return ended;
}

}  // namespace

ChildRun RunChild(const ChildCommand& command) {
    const auto errorPath = command.home / "stderr.txt";
    const int errorFd = ::open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    std::vector<std::string> args = command.argv;
    std::vector<std::string> environment = Environment(command.home);
    const std::vector<char*> argv = Pointers(args);
    const std::vector<char*> envp = Pointers(environment);
    const std::string name = std::filesystem::path(args[0]).filename().string();
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ExecChild(command, argv, envp, errorFd);
    }
    ::close(errorFd);
    ChildRun run;
    if (pid < 0) {
        run.failure = "cannot start " + name;
        return run;
    }
    const Ended ended = Wait(pid, command.timeout);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.peakKibibytes = ended.usage.ru_maxrss;
    run.ok = !ended.killed && WIFEXITED(ended.status) && WEXITSTATUS(ended.status) == 0;
    if (!run.ok) {
        run.failure =
            name + " " +
            (ended.killed ? "killed after " + std::to_string(command.timeout.count()) + " s"
                          : Ending(ended.status)) +
            ": " + Tail(errorPath);
    }
    return run;
}

}  // namespace bench
