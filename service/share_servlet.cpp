#include <fcntl.h>
#include <httplib.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <ctime>
#include <exception>
#include <memory>
#include <vector>

#include "account_fs.h"
#include "password_hash.h"
#include "plain_reply.h"
#include "servlets.h"
#include "share_mail.h"
#include "unique_fd.h"

namespace stowbox::service {

namespace {

constexpr std::size_t kBlock = 64 * 1024;

void answer(httplib::Response& response, int status, const std::string& text) {
    plain_reply(response, status, text + "\n");
}

std::optional<int> parse_downloads(const std::string& text, int limit) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end || value < 1 || value > limit) {
        return std::nullopt;
    }
    return value;
}

// Opens the regular file at `vpath` of `account`; empty when it is missing or leads out.
UniqueFd open_shared_file(const Account& account, const std::string& vpath, off_t& size) {
    const auto target = AccountFs(account.home).target(vpath);
    UniqueFd file;
    if (target) {
        file.reset(::open(target->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    }
    struct stat info {};
    if (!file || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {};
    }
    size = info.st_size;
    return file;
}

void create_share(ServletContext& context, const httplib::Request& request,
                  httplib::Response& response) {
    constexpr std::array<const char*, 10> fields{"user",     "filename", "filepath",     "NOD",
                                                 "password", "write",    "stowpassword", "TO",
                                                 "BCC",      "FROM"};
    for (const char* field : fields) {
        if (!request.has_param(field)) {
            answer(response, 400, std::string("error: the request lacks ") + field);
            return;
        }
    }
    auto value = [&request](const char* field) { return request.get_param_value(field); };
    const auto account =
        authenticate_braked(context, request, value("user"), value("stowpassword"), response);
    if (account == nullptr) {
        return;
    }
    // The client closes the file name with "$f".
    std::string file_name = value("filename");
    if (file_name.ends_with("$f")) {
        file_name.resize(file_name.size() - 2);
    }
    const auto downloads = parse_downloads(value("NOD"), account->download_limit);
    if (file_name.empty() || value("TO").empty() || value("FROM").empty() || !downloads) {
        answer(response, 400,
               "error: filename, TO and FROM must not be empty and NOD must be 1 to " +
                   std::to_string(account->download_limit));
        return;
    }
    const auto vpath = resolve_virtual("/", value("filepath") + file_name);
    off_t size = 0;
    if (!vpath || !open_shared_file(*account, *vpath, size)) {
        answer(response, 404, "error: no such file");
        return;
    }
    const std::string password = value("password");
    if (password.find('\0') != std::string::npos) {
        answer(response, 400, "error: the share password may not hold a NUL byte");
        return;
    }
    Share share{account->name, *vpath, *downloads,
                password.empty() ? std::string() : hash_password(password),
                value("write") == "TRUE"};
    const std::string token = context.shares.add(share);
    ShareMail mail;
    mail.from = value("FROM");
    mail.to = value("TO");
    mail.bcc = value("BCC");
    mail.sharer = account->name;
    mail.file_name = file_name;
    mail.link = "http://" + request.local_addr + ":" + std::to_string(request.local_port) +
                "/share/" + token;
    mail.downloads = share.downloads_left;
    mail.write_allowed = share.write_allowed;
    mail.password_protected = !share.password_hash.empty();
    mail.date = std::time(nullptr);
    mail.message_id = token + "@stowbox.invalid";
    try {
        write_outbox_file(context.outbox, token + ".eml", render_share_mail(mail));
    } catch (const std::exception&) {
        context.shares.remove(token);
        answer(response, 500, "error: the share could not be mailed");
        return;
    }
    answer(response, 200, "Share created; the link was mailed to " + header_safe(mail.to));
}

// What one download response sends, and the download it counts once the last byte is out.
struct Delivery {
    UniqueFd file;
    std::size_t size = 0;
    std::size_t delivered = 0;  // bytes sent in order from the first
    std::unique_ptr<ShareStore::Download> download;
};

// Whether the password given for a protected share is right; answers 429 or 403 itself.
bool share_password_accepted(ServletContext& context, const httplib::Request& request,
                             const std::string& token, const Share& share,
                             httplib::Response& response) {
    if (share.password_hash.empty()) {
        return true;
    }
    auto attempt = context.guesses.begin(client_key(request), "share " + token);
    if (!attempt.admitted()) {
        refuse_guessing(response, attempt.refused_for());
        return false;
    }
    if (!verify_password(request.get_param_value("password"), share.password_hash)) {
        attempt.failed();
        answer(response, 403, "error: this share needs its password");
        return false;
    }
    attempt.succeeded();
    return true;
}

void serve_share(ServletContext& context, const httplib::Request& request,
                 httplib::Response& response) {
    const std::string token = request.matches[1];
    const auto share = context.shares.find(token);
    if (!share) {
        answer(response, 404, "error: no such share");
        return;
    }
    if (!share_password_accepted(context, request, token, *share, response)) {
        return;
    }
    if (share->downloads_left <= 0) {
        answer(response, 410, "error: this share has reached its number of downloads");
        return;
    }
    const auto account = context.accounts.find(share->account);
    auto delivery = std::make_shared<Delivery>();
    off_t size = 0;
    delivery->file = account ? open_shared_file(*account, share->file, size) : UniqueFd();
    if (!delivery->file) {
        answer(response, 404, "error: the shared file is gone");
        return;
    }
    delivery->size = std::size_t(size);
    // A download counts only when the whole file has gone out; sending parts would let a
    // client fetch the file piece by piece without ever using one up.
    response.set_header("Accept-Ranges", "none");
    if (request.has_header("Range")) {
        // No body: the web library would cut any body down to the range asked for.
        response.status = 416;
        response.set_header("Content-Range", "bytes */" + std::to_string(size));
        return;
    }
    // HEAD sends no bytes, so it holds and counts nothing.
    if (request.method != "HEAD") {
        delivery->download = context.shares.start_download(token);
        if (!delivery->download) {
            response.set_header("Retry-After", "60");
            answer(response, 503, "error: this share's last downloads are under way");
            return;
        }
    }
    std::string name = header_safe(share->file.substr(share->file.rfind('/') + 1));
    name.erase(
        std::remove_if(name.begin(), name.end(), [](char c) { return c == '"' || c == '\\'; }),
        name.end());
    response.set_header("Content-Disposition", "attachment; filename=\"" + name + "\"");
    if (delivery->size == 0) {
        // Nothing to send, so nothing can stop short.
        if (delivery->download) {
            delivery->download->complete();
        }
        response.set_content("", "application/octet-stream");
        return;
    }
    response.set_content_provider(
        delivery->size, "application/octet-stream",
        [delivery](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            std::vector<char> block(std::min(length, kBlock));
            const ssize_t got =
                ::pread(delivery->file.get(), block.data(), block.size(), off_t(offset));
            // A file that shrank meanwhile ends the response early.
            if (got <= 0 || !sink.write(block.data(), std::size_t(got))) {
                return false;
            }
            if (offset == delivery->delivered) {
                delivery->delivered += std::size_t(got);
            }
            if (delivery->delivered == delivery->size && delivery->download) {
                delivery->download->complete();
                delivery->download.reset();
            }
            return true;
        });
}

}  // namespace

void add_share_servlet(httplib::Server& server, ServletContext& context) {
    server.Get("/qmanager/servlet/KestraShare",
               [&context](const httplib::Request& request, httplib::Response& response) {
                   create_share(context, request, response);
               });
    server.Get(R"(/share/([0-9a-f]+))",
               [&context](const httplib::Request& request, httplib::Response& response) {
                   serve_share(context, request, response);
               });
}

}  // namespace stowbox::service
