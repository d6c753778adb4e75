#include "ftp_session.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <exception>
#include <iostream>

#include "net_io.h"

namespace stowbox::service {

namespace {

std::string upper_ascii(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return result;
}

// A path inside a 257 reply: a double quote in it is doubled.
std::string quote_path(std::string_view path) {
    std::string quoted = "\"";
    for (const char c : path) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

}  // namespace

FtpSession::FtpSession(UniqueFd control, const AccountBook& accounts, const ServiceConfig& config,
                       int stop_fd, std::function<void()> on_login)
    : control_(std::move(control)),
      accounts_(accounts),
      config_(config),
      stop_fd_(stop_fd),
      on_login_(std::move(on_login)),
      login_deadline_(std::chrono::steady_clock::now() + config.login_timeout),
      peer_(peer_endpoint(control_.get()).sin_addr),
      framer_(config.max_command_line) {}

const FtpSession::Command* FtpSession::find_command(std::string_view verb) {
    static constexpr std::array<Command, 19> commands{{
        {"USER", &FtpSession::cmd_user, false}, {"PASS", &FtpSession::cmd_pass, false},
        {"QUIT", &FtpSession::cmd_quit, false}, {"NOOP", &FtpSession::cmd_noop, true},
        {"SYST", &FtpSession::cmd_syst, true},  {"TYPE", &FtpSession::cmd_type, true},
        {"PWD", &FtpSession::cmd_pwd, true},    {"CWD", &FtpSession::cmd_cwd, true},
        {"CDUP", &FtpSession::cmd_cdup, true},  {"MKD", &FtpSession::cmd_mkd, true},
        {"RMD", &FtpSession::cmd_rmd, true},    {"DELE", &FtpSession::cmd_dele, true},
        {"SIZE", &FtpSession::cmd_size, true},  {"RNFR", &FtpSession::cmd_rnfr, true},
        {"RNTO", &FtpSession::cmd_rnto, true},  {"PASV", &FtpSession::cmd_pasv, true},
        {"LIST", &FtpSession::cmd_list, true},  {"STOR", &FtpSession::cmd_stor, true},
        {"RETR", &FtpSession::cmd_retr, true},
    }};
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [&](const Command& c) { return c.name == verb; });
    return it == commands.end() ? nullptr : &*it;
}

void FtpSession::run() {
    reply(220, "Stowbox service ready");
    while (open_) {
        std::string line;
        switch (read_line(line)) {
            case ReadStatus::ended:
                return;
            case ReadStatus::too_long:
                reply(500, "Command line too long");
                break;
            case ReadStatus::line:
                execute(line);
                break;
        }
    }
}

FtpSession::ReadStatus FtpSession::read_line(std::string& line) {
    // The deadline covers the whole line, so a client that sends a byte now and then
    // cannot hold the session for ever.
    using Clock = std::chrono::steady_clock;
    const auto idle_deadline = Clock::now() + config_.idle_timeout;
    std::array<char, 8192> buffer{};
    for (;;) {
        if (auto next = framer_.next()) {
            if (next->too_long) {
                return ReadStatus::too_long;
            }
            line = std::move(next->text);
            return ReadStatus::line;
        }
        const bool login_first = login_deadline_ && *login_deadline_ < idle_deadline;
        const auto deadline = login_first ? *login_deadline_ : idle_deadline;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const auto got = left.count() > 0 ? recv_some(control_.get(), buffer.data(), buffer.size(),
                                                      stop_fd_, left)
                                          : RecvResult{RecvResult::Kind::timed_out};
        if (got.kind == RecvResult::Kind::timed_out) {
            reply(421, login_first ? "Login time-out, closing the connection"
                                   : "Idle time-out, closing the connection");
            return ReadStatus::ended;
        }
        if (got.kind != RecvResult::Kind::data) {
            return ReadStatus::ended;
        }
        framer_.feed({buffer.data(), got.size});
    }
}

void FtpSession::execute(const std::string& line) {
    const auto blank = line.find(' ');
    const std::string verb = upper_ascii(line.substr(0, blank));
    const std::string arg = blank == std::string::npos ? std::string() : line.substr(blank + 1);
    const Command* command = find_command(verb);
    if (account_ == nullptr && (command == nullptr || command->needs_login)) {
        reply(530, "Please log in with USER and PASS");
        return;
    }
    if (command == nullptr) {
        reply(502, "Command not implemented");
        return;
    }
    // A rename is only completed by the command right after RNFR.
    if (command->handler != &FtpSession::cmd_rnto) {
        rename_from_.reset();
    }
    try {
        (this->*command->handler)(arg);
    } catch (const std::exception& error) {
        std::cerr << "stowbox-service: " << verb << " failed: " << error.what() << '\n';
        reply(451, "Local error");
    }
}

void FtpSession::reply(int code, std::string_view text) {
    const std::string line = std::to_string(code) + " " + std::string(text) + "\r\n";
    if (!send_all(control_.get(), line, stop_fd_, config_.data_timeout)) {
        open_ = false;
    }
}

std::optional<std::string> FtpSession::pick_path(const std::string& arg) const {
    auto as_is = resolve_virtual(cwd_, arg);
    const auto first = arg.find_first_not_of(' ');
    if (first == 0 || first == std::string::npos) {
        return as_is;
    }
    auto trimmed = resolve_virtual(cwd_, std::string_view(arg).substr(first));
    if (!trimmed) {
        return as_is;
    }
    if (!as_is) {
        return trimmed;
    }
    return presence(*trimmed) > presence(*as_is) ? trimmed : as_is;
}

int FtpSession::presence(const std::string& vpath) const {
    const auto entry = fs().entry(vpath);
    if (!entry) {
        return 0;
    }
    struct stat info {};
    return ::lstat(entry->c_str(), &info) == 0 ? 2 : 1;
}

void FtpSession::cmd_user(const std::string& arg) {
    user_ = arg;
    account_ = nullptr;
    fs_.reset();
    reply(331, "Password required");
}

void FtpSession::cmd_pass(const std::string& arg) {
    account_ = user_.empty() ? nullptr : accounts_.authenticate(user_, arg);
    user_.clear();
    if (account_ == nullptr) {
        reply(530, "Login incorrect");
        return;
    }
    fs_.emplace(account_->home);
    cwd_ = "/";
    if (login_deadline_) {
        login_deadline_.reset();
        if (on_login_) {
            on_login_();
        }
    }
    reply(230, "Logged in");
}

void FtpSession::cmd_quit(const std::string&) {
    reply(221, "Goodbye");
    open_ = false;
}

void FtpSession::cmd_noop(const std::string&) {
    reply(200, "OK");
}

void FtpSession::cmd_syst(const std::string&) {
    reply(215, "UNIX Type: L8");
}

void FtpSession::cmd_type(const std::string& arg) {
    // Every transfer is binary whatever the type: the client never asks for one and
    // expects its bytes back unchanged.
    const std::string type = upper_ascii(arg);
    if (type == "A" || type == "A N" || type == "I" || type == "L 8") {
        reply(200, "Type set to " + type);
    } else if (type.empty()) {
        reply(501, "Missing type");
    } else {
        reply(504, "Type not supported");
    }
}

void FtpSession::cmd_pwd(const std::string&) {
    reply(257, quote_path(cwd_) + " is the current directory");
}

}  // namespace stowbox::service
