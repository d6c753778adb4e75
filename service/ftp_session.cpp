#include "ftp_session.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <exception>
#include <iostream>
#include <utility>

#include "ascii_case.h"
#include "net_io.h"

namespace stowbox::service {

namespace {

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
                       const TlsContext* tls, int stop_fd,
                       std::function<bool(const Account&)> on_login)
    : control_(std::move(control)),
      accounts_(accounts),
      config_(config),
      tls_(tls),
      stop_fd_(stop_fd),
      on_login_(std::move(on_login)),
      login_deadline_(std::chrono::steady_clock::now() + config.login_timeout),
      peer_(peer_endpoint(control_.fd()).sin_addr),
      framer_(config.max_command_line) {}

const FtpSession::Command* FtpSession::find_command(std::string_view verb) {
    // The session's own commands work before login too: a client asks for the features and
    // sets its encoding when it likes.
    static constexpr std::array<Command, 27> commands{{
        {"USER", &FtpSession::cmd_user, false, false},
        {"PASS", &FtpSession::cmd_pass, false, false},
        {"QUIT", &FtpSession::cmd_quit, false, false},
        {"FEAT", &FtpSession::cmd_feat, false, false},
        {"OPTS", &FtpSession::cmd_opts, false, false},
        {"NOOP", &FtpSession::cmd_noop, true, false},
        {"SYST", &FtpSession::cmd_syst, true, false},
        {"TYPE", &FtpSession::cmd_type, true, false},
        {"PWD", &FtpSession::cmd_pwd, true, false},
        {"CWD", &FtpSession::cmd_cwd, true, true},
        {"CDUP", &FtpSession::cmd_cdup, true, false},
        {"MKD", &FtpSession::cmd_mkd, true, true},
        {"RMD", &FtpSession::cmd_rmd, true, true},
        {"DELE", &FtpSession::cmd_dele, true, true},
        {"SIZE", &FtpSession::cmd_size, true, true},
        {"RNFR", &FtpSession::cmd_rnfr, true, true},
        {"RNTO", &FtpSession::cmd_rnto, true, true},
        {"PASV", &FtpSession::cmd_pasv, true, false},
        {"EPSV", &FtpSession::cmd_epsv, true, false},
        {"LIST", &FtpSession::cmd_list, true, true},
        {"NLST", &FtpSession::cmd_nlst, true, true},
        {"MLSD", &FtpSession::cmd_mlsd, true, true},
        {"MLST", &FtpSession::cmd_mlst, true, true},
        {"MDTM", &FtpSession::cmd_mdtm, true, true},
        {"REST", &FtpSession::cmd_rest, true, false},
        {"STOR", &FtpSession::cmd_stor, true, true},
        {"RETR", &FtpSession::cmd_retr, true, true},
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
                open_ = false;
                break;
            case ReadStatus::too_long:
                reply(500, "Command line too long");
                break;
            case ReadStatus::line:
                execute(line);
                break;
        }
    }
    control_.finish(stop_fd_, config_.data_timeout);
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
        const auto got = left.count() > 0
                             ? control_.recv_some(buffer.data(), buffer.size(), stop_fd_, left)
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
    std::string arg = blank == std::string::npos ? std::string() : line.substr(blank + 1);
    const Command* command = find_command(verb);
    if (command == nullptr && tls_ != nullptr) {
        command = find_tls_command(verb);
    }
    // A restart offset only holds for the command right after REST.
    transfer_offset_ = std::exchange(restart_at_, std::nullopt).value_or(0);
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
    if (command->takes_name) {
        auto on_disk = wire_to_disk(encoding_, arg);
        if (!on_disk) {
            rename_from_.reset();  // a refused RNTO ends the rename too
            reply(553, "File name not allowed");
            return;
        }
        arg = std::move(*on_disk);
    }
    try {
        (this->*command->handler)(arg);
    } catch (const std::exception& error) {
        std::cerr << "stowbox-service: " << verb << " failed: " << error.what() << '\n';
        reply(451, "Local error");
    }
}

void FtpSession::reply(int code, std::string_view text) {
    send_reply_text(std::to_string(code) + " " + std::string(text) + "\r\n");
}

void FtpSession::reply_lines(int code, const std::vector<std::string_view>& lines) {
    std::string text;
    std::size_t index = 0;
    for (const auto line : lines) {
        const bool first = index == 0;
        const bool last = ++index == lines.size();
        text += first || last ? std::to_string(code) + (last ? " " : "-") : std::string(" ");
        text += line;
        text += "\r\n";
    }
    send_reply_text(text);
}

void FtpSession::send_reply_text(const std::string& text) {
    if (!control_.send_all(text, stop_fd_, config_.data_timeout)) {
        open_ = false;
    }
}

std::optional<std::string> FtpSession::quoted_for_client(const std::string& vpath) const {
    const auto wire = disk_to_wire(encoding_, vpath);
    return wire ? std::optional(quote_path(*wire)) : std::nullopt;
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
    if (config_.require_tls && !control_.secure()) {
        reply(530, "This server requires TLS: use AUTH TLS before USER");
        return;
    }
    user_ = arg;
    account_ = nullptr;
    fs_.reset();
    reply(331, "Password required");
}

void FtpSession::cmd_pass(const std::string& arg) {
    // A wrong password is answered a while after it came, however long checking it took,
    // and only a few are allowed per connection: guessing costs time on every try.
    const auto answer_at = std::chrono::steady_clock::now() + config_.failed_login_delay;
    const auto account = user_.empty() ? nullptr : accounts_.authenticate(user_, arg);
    user_.clear();
    account_ = nullptr;
    fs_.reset();
    if (account == nullptr) {
        ++failed_logins_;
        if (!pause_until(stop_fd_, answer_at)) {
            open_ = false;
            return;
        }
        reply(530, "Login incorrect");
        if (failed_logins_ >= config_.max_login_failures) {
            reply(421, "Too many failed log-ins, closing the connection");
            open_ = false;
        }
        return;
    }
    if (on_login_ && !on_login_(*account)) {
        reply(530, "Too many sessions for this account, try again later");
        return;
    }
    account_ = account;
    fs_.emplace(account_->home);
    cwd_ = "/";
    login_deadline_.reset();
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

void FtpSession::cmd_feat(const std::string&) {
    std::vector<std::string_view> lines{
        "Features:", "UTF8", "SIZE",        "PASV",
        "EPSV",      "MDTM", "REST STREAM", "MLST type*;size*;modify*;"};
    if (tls_ != nullptr) {
        lines.insert(lines.end(), {"AUTH TLS", "PBSZ", "PROT"});
    }
    lines.push_back("End");
    reply_lines(211, lines);
}

void FtpSession::cmd_opts(const std::string& arg) {
    const std::string option = upper_ascii(arg);
    if (option == "UTF8 ON") {
        encoding_ = NameEncoding::utf8;
        reply(200, "UTF8 set to on");
    } else if (option == "UTF8 OFF") {
        encoding_ = NameEncoding::windows_1252;
        reply(200, "UTF8 set to off");
    } else {
        reply(501, "Option not understood");
    }
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
    // A folder entered through UTF-8 may have a name the code page cannot hold; saying a
    // near name instead would send the client elsewhere.
    if (const auto quoted = quoted_for_client(cwd_)) {
        reply(257, *quoted + " is the current directory");
    } else {
        reply(550, "Cannot name the current folder in this encoding; use OPTS UTF8 ON");
    }
}

}  // namespace stowbox::service
