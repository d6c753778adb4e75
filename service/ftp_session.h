#pragma once

#include <netinet/in.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "account.h"
#include "account_fs.h"
#include "channel.h"
#include "durable_file.h"
#include "line_framer.h"
#include "name_encoding.h"
#include "service_config.h"
#include "tls_context.h"
#include "unique_fd.h"

namespace stowbox::service {

// One FTP control connection, run to its end on the calling thread.
class FtpSession {
  public:
    // `on_login` runs at each right password; when it says no (the account has as many
    // sessions as it may), the log-in is refused. Without `tls` the session knows no AUTH.
    FtpSession(UniqueFd control, const AccountBook& accounts, const ServiceConfig& config,
               const TlsContext* tls, int stop_fd,
               std::function<bool(const Account&)> on_login = {});

    void run();

  private:
    using Handler = void (FtpSession::*)(const std::string& arg);
    struct Command {
        std::string_view name;
        Handler handler;
        bool needs_login;
        bool takes_name;  // the argument is a path, converted to the disk's encoding first
    };
    static const Command* find_command(std::string_view verb);
    // AUTH, PBSZ and PROT, known only when the service has a certificate.
    static const Command* find_tls_command(std::string_view verb);

    enum class ReadStatus { line, too_long, ended };
    ReadStatus read_line(std::string& line);
    void execute(const std::string& line);
    void reply(int code, std::string_view text);
    // A multi-line reply: the first and last lines carry the code, the others are sent with
    // a leading blank, so that none of them can be taken for the last.
    void reply_lines(int code, const std::vector<std::string_view>& lines);
    void send_reply_text(const std::string& text);
    // `vpath` quoted as in a 257 reply, in the session's encoding; nothing when it cannot
    // be said in it.
    std::optional<std::string> quoted_for_client(const std::string& vpath) const;

    // Paths. The argument is resolved against the current folder; when it begins with
    // blanks and the form without them names more (an existing entry, or at least an
    // existing folder to put it in), that form is used: the client may send one blank too
    // many before a name.
    std::optional<std::string> pick_path(const std::string& arg) const;
    int presence(const std::string& vpath) const;
    const AccountFs& fs() const { return *fs_; }

    // Data connection.
    // False once the client has been told that it must protect its data connections first.
    bool transfer_allowed();
    // Waits for the client on the PASV listener; empty when it does not come in time.
    UniqueFd accept_data(UniqueFd listener);
    // The data connection of a transfer: PASV must have come; then `prepare`, when given,
    // readies the transfer (and replies itself when it cannot); then the client must connect,
    // and the 150 reply `opening` goes out. Empty when the transfer cannot go on; the client
    // has had its reply.
    // Under PROT P the data connection is then protected.
    Channel open_data(UniqueFd listener, const std::string& opening,
                      const std::function<bool()>& prepare = nullptr);
    // TLS on the data connection, resuming the control connection's session; false (the data
    // connection closed) once the client has been told it failed.
    bool protect_data(Channel& data);
    bool send_data(Channel& data, std::string_view bytes);
    // A new passive listener on the control connection's address; false once the client has
    // been told it failed.
    bool open_passive();

    // The file or folder a listing command names (the current folder when `arg` is empty).
    struct Listed {
        std::string vpath;
        std::string host;
        struct stat info;
    };
    std::optional<Listed> listed_target(const std::string& arg) const;
    // One line of a listing for the entry `name` (in the session's encoding).
    using LineFormat = std::function<std::string(std::string_view name, const struct stat&)>;
    // A line for a file, a line for each entry of a folder that the session can name.
    std::string listing_text(const Listed& listed, const LineFormat& line) const;
    // Sends the listing of what `arg` names over the data connection; `folder_only` refuses
    // a file.
    void send_listing(const std::string& arg, bool folder_only, const LineFormat& line);
    // Where STOR is to write, or nothing once the client has been told it cannot.
    std::optional<std::string> store_destination(const std::string& arg);
    // Receives an upload until the client ends the data connection; false once the client has
    // been told it failed (the file discarded).
    bool receive_upload(Channel data, DurableFile& upload);

    // Commands; ftp_session.cpp holds the session ones, ftp_path_commands.cpp the ones that
    // change the folder tree, ftp_transfer_commands.cpp those with a data connection,
    // ftp_tls_commands.cpp those that turn on TLS.
    void cmd_user(const std::string& arg);
    void cmd_pass(const std::string& arg);
    void cmd_quit(const std::string& arg);
    void cmd_noop(const std::string& arg);
    void cmd_syst(const std::string& arg);
    void cmd_feat(const std::string& arg);
    void cmd_opts(const std::string& arg);
    void cmd_auth(const std::string& arg);
    void cmd_pbsz(const std::string& arg);
    void cmd_prot(const std::string& arg);
    void cmd_type(const std::string& arg);
    void cmd_pwd(const std::string& arg);
    void cmd_cwd(const std::string& arg);
    void cmd_cdup(const std::string& arg);
    void cmd_mkd(const std::string& arg);
    void cmd_rmd(const std::string& arg);
    void cmd_dele(const std::string& arg);
    void cmd_size(const std::string& arg);
    void cmd_rnfr(const std::string& arg);
    void cmd_rnto(const std::string& arg);
    void cmd_pasv(const std::string& arg);
    void cmd_epsv(const std::string& arg);
    void cmd_rest(const std::string& arg);
    void cmd_list(const std::string& arg);
    void cmd_nlst(const std::string& arg);
    void cmd_mlsd(const std::string& arg);
    void cmd_mlst(const std::string& arg);
    void cmd_mdtm(const std::string& arg);
    void cmd_stor(const std::string& arg);
    void cmd_retr(const std::string& arg);

    Channel control_;
    const AccountBook& accounts_;
    const ServiceConfig& config_;
    const TlsContext* tls_;
    int stop_fd_;
    std::function<bool(const Account&)> on_login_;
    std::size_t failed_logins_ = 0;
    // Set until the first login; the connection is closed when it passes.
    std::optional<std::chrono::steady_clock::time_point> login_deadline_;
    in_addr peer_{};
    LineFramer framer_;
    bool open_ = true;
    NameEncoding encoding_ = NameEncoding::windows_1252;
    // Random, set at AUTH TLS: only connections given it may resume the control connection's
    // TLS session.
    std::string tls_scope_;
    bool protect_transfers_ = false;  // PROT P

    std::string user_;
    std::shared_ptr<const Account> account_;
    std::optional<AccountFs> fs_;
    std::string cwd_ = "/";
    std::optional<std::string> rename_from_;    // host path named by the last RNFR
    UniqueFd passive_;                          // listener opened by the last PASV or EPSV
    bool epsv_all_ = false;                     // after EPSV ALL, PASV is refused
    std::optional<std::uintmax_t> restart_at_;  // set by REST, for the next command only
    std::uintmax_t transfer_offset_ = 0;        // where the running RETR starts
};

}  // namespace stowbox::service
