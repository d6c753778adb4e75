#include "share_mail.h"

#include <array>
#include <cstdio>
#include <stdexcept>

#include "private_files.h"

namespace stowbox::service {

std::string header_safe(std::string_view value) {
    std::string safe;
    for (const char c : value) {
        if (c != '\r' && c != '\n' && c != '\0') {
            safe += c;
        }
    }
    return safe;
}

std::string mail_date(std::time_t when) {
    constexpr std::array<const char*, 7> days{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    constexpr std::array<const char*, 12> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t{};
    ::gmtime_r(&when, &t);
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%s, %02d %s %04d %02d:%02d:%02d +0000",
                  days[std::size_t(t.tm_wday) % 7], t.tm_mday, months[std::size_t(t.tm_mon) % 12],
                  t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    return text.data();
}

std::string render_share_mail(const ShareMail& mail) {
    const std::string name = header_safe(mail.file_name);
    std::string text;
    auto line = [&text](std::string_view content) {
        text += content;
        text += "\r\n";
    };
    line("From: " + header_safe(mail.from));
    line("To: " + header_safe(mail.to));
    if (!header_safe(mail.bcc).empty()) {
        line("Bcc: " + header_safe(mail.bcc));
    }
    line("Subject: " + header_safe(mail.sharer) + " shared \"" + name + "\" with you");
    line("Date: " + mail_date(mail.date));
    line("Message-ID: <" + header_safe(mail.message_id) + ">");
    line("MIME-Version: 1.0");
    line("Content-Type: text/plain; charset=windows-1252");
    line("Content-Transfer-Encoding: 8bit");
    line("");
    line(header_safe(mail.sharer) + " has shared the file \"" + name + "\" with you.");
    line("");
    line("Link: " + mail.link);
    line("Downloads allowed: " + std::to_string(mail.downloads));
    line(std::string("Writing allowed: ") + (mail.write_allowed ? "yes" : "no"));
    line(std::string("Password protected: ") + (mail.password_protected ? "yes" : "no"));
    return text;
}

void write_outbox_file(const std::filesystem::path& outbox, const std::string& name,
                       std::string_view text) {
    const auto partial = outbox / ("." + name + ".partial");
    // A mail holds a live share link: private to the service, like the files it shares.
    if (!write_private_file(partial, text)) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw std::runtime_error("cannot write " + partial.string());
    }
    std::error_code error;
    std::filesystem::rename(partial, outbox / name, error);
    if (error) {
        std::filesystem::remove(partial, error);
        throw std::runtime_error("cannot put " + name + " into the outbox");
    }
}

}  // namespace stowbox::service
