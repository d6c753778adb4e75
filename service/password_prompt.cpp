#include "password_prompt.h"

#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <iostream>

namespace stowbox::service {

namespace {

// A password longer than this is a pasted file, not a password.
constexpr std::size_t kMaxPasswordLine = 4096;

// Turns the terminal's echo off while it lives; Enter still shows as a new line.
class EchoOff {
  public:
    explicit EchoOff(int fd) : fd_(fd), active_(::tcgetattr(fd, &saved_) == 0) {
        termios quiet = saved_;
        quiet.c_lflag &= tcflag_t(~ECHO);
        quiet.c_lflag |= ECHONL;
        active_ = active_ && ::tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;
    ~EchoOff() {
        if (active_) {
            ::tcsetattr(fd_, TCSAFLUSH, &saved_);
        }
    }

  private:
    int fd_;
    termios saved_{};
    bool active_;
};

void interrupt_read(int) {}

// While it lives, Ctrl+C and the other stop signals end a pending read instead of the
// process, so that the terminal gets its echo back before the program ends.
class StopSignalsInterruptReads {
  public:
    StopSignalsInterruptReads() {
        struct sigaction action {};
        action.sa_handler = interrupt_read;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            ::sigaction(kSignals[i], &action, &saved_[i]);
        }
    }
    StopSignalsInterruptReads(const StopSignalsInterruptReads&) = delete;
    StopSignalsInterruptReads& operator=(const StopSignalsInterruptReads&) = delete;
    ~StopSignalsInterruptReads() {
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            ::sigaction(kSignals[i], &saved_[i], nullptr);
        }
    }

  private:
    static constexpr std::array<int, 4> kSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    std::array<struct sigaction, 4> saved_{};
};

// One line from standard input without its line end, read a byte at a time so that
// nothing after it is taken. Nullopt with `error` set at once when nothing came, when the
// read was interrupted or when the line is too long.
std::optional<std::string> read_line(std::string& error) {
    std::string line;
    for (;;) {
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) {
            error = "cancelled";
            return std::nullopt;
        }
        if (got < 0) {
            error = "cannot read standard input";
            return std::nullopt;
        }
        if (got == 0 || c == '\n') {
            if (got == 0 && line.empty()) {
                error = "no password on standard input";
                return std::nullopt;
            }
            break;
        }
        if (line.size() >= kMaxPasswordLine) {
            error = "the password is longer than " + std::to_string(kMaxPasswordLine) + " bytes";
            return std::nullopt;
        }
        line += c;
    }
    if (line.ends_with('\r')) {
        line.pop_back();
    }
    return line;
}

std::optional<std::string> ask_on_terminal(std::string& error) {
    const StopSignalsInterruptReads interruptible;
    const EchoOff quiet(STDIN_FILENO);
    std::cerr << "New password: " << std::flush;
    auto first = read_line(error);
    if (!first) {
        return std::nullopt;
    }
    std::cerr << "The same again: " << std::flush;
    const auto second = read_line(error);
    if (!second) {
        return std::nullopt;
    }
    if (*first != *second) {
        error = "the two passwords differ";
        return std::nullopt;
    }
    return first;
}

}  // namespace

std::optional<std::string> read_new_password(std::string& error) {
    if (::isatty(STDIN_FILENO)) {
        auto password = ask_on_terminal(error);
        if (!password) {
            // The key that ended the question left no line end: the error starts afresh.
            std::cerr << "\n";
        }
        return password;
    }
    return read_line(error);
}

}  // namespace stowbox::service
