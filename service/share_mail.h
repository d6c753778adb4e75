#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace stowbox::service {

struct ShareMail {
    std::string from;
    std::string to;
    std::string bcc;  // empty: no Bcc header
    std::string sharer;
    std::string file_name;
    std::string link;
    int downloads = 0;
    bool write_allowed = false;
    bool password_protected = false;
    std::time_t date = 0;
    std::string message_id;
};

// The value with CR, LF and NUL removed, so that it cannot start a header of its own.
std::string header_safe(std::string_view value);

// "Thu, 07 Dec 2023 12:34:56 +0000"
std::string mail_date(std::time_t when);

// The RFC 5322 message that announces a share, CR LF line ends.
std::string render_share_mail(const ShareMail& mail);

// Puts `text` into `outbox`/`name` whole or not at all. Throws std::runtime_error.
void write_outbox_file(const std::filesystem::path& outbox, const std::string& name,
                       std::string_view text);

}  // namespace stowbox::service
