// Commands that describe files and folders: listings over a data connection, and the facts
// of one entry on the control connection.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "durable_file.h"
#include "fact_format.h"
#include "ftp_session.h"
#include "list_format.h"

namespace stowbox::service {

namespace {

bool listable_name(const std::string& name) {
    return name != "." && name != ".." && !is_partial_file_name(name) &&
           name.find_first_of("\r\n") == std::string::npos;
}

// Options such as "-a" or "-l" that some clients send before a path change nothing here.
std::string without_options(std::string arg) {
    while (arg.starts_with('-')) {
        const auto end = arg.find(' ');
        arg = end == std::string::npos ? std::string() : arg.substr(end + 1);
    }
    return arg;
}

}  // namespace

std::optional<FtpSession::Listed> FtpSession::listed_target(const std::string& arg) const {
    auto vpath = arg.empty() ? std::optional(cwd_) : pick_path(arg);
    auto target = vpath ? fs().target(*vpath) : std::nullopt;
    struct stat info {};
    if (!target || ::stat(target->c_str(), &info) != 0) {
        return std::nullopt;
    }
    return Listed{std::move(*vpath), std::move(*target), info};
}

std::string FtpSession::listing_text(const Listed& listed, const LineFormat& line) const {
    if (S_ISREG(listed.info.st_mode)) {
        const auto name = disk_to_wire(encoding_, last_part(listed.vpath));
        return name ? line(*name, listed.info) : std::string();
    }
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(listed.host, error)) {
        names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const auto& name : names) {
        // A name the session cannot say exactly is left out rather than shown as another
        // name, which the client would then send back to mean a different file.
        const auto shown = listable_name(name) ? disk_to_wire(encoding_, name) : std::nullopt;
        const auto inside = shown ? fs().contained(listed.host + "/" + name) : std::nullopt;
        struct stat item {};
        if (!inside || ::stat(inside->c_str(), &item) != 0 ||
            !(S_ISREG(item.st_mode) || S_ISDIR(item.st_mode))) {
            continue;  // links leading out, and things that are neither file nor folder
        }
        listing += line(*shown, item);
    }
    return listing;
}

void FtpSession::send_listing(const std::string& arg, bool folder_only, const LineFormat& line) {
    UniqueFd listener = std::move(passive_);
    if (!transfer_allowed()) {
        return;
    }
    const auto listed = listed_target(arg);
    if (!listed) {
        reply(550, "No such file or folder");
        return;
    }
    if (folder_only && !S_ISDIR(listed->info.st_mode)) {
        reply(501, "Not a folder");
        return;
    }
    const std::string listing = listing_text(*listed, line);
    Channel data = open_data(std::move(listener), "Here comes the listing");
    if (!data) {
        return;
    }
    const bool sent = send_data(data, listing);
    if (sent) {
        data.finish(stop_fd_, config_.data_timeout);
    }
    data = Channel();
    reply(sent ? 226 : 426, sent ? "Listing sent" : "Data connection broken");
}

void FtpSession::cmd_list(const std::string& arg) {
    send_listing(without_options(arg), false, [this](std::string_view name, const auto& info) {
        return format_list_line({std::string(name), info.st_mode, info.st_nlink,
                                 std::uintmax_t(info.st_size), info.st_mtime},
                                account_->name);
    });
}

void FtpSession::cmd_nlst(const std::string& arg) {
    send_listing(without_options(arg), false,
                 [](std::string_view name, const auto&) { return std::string(name) + "\r\n"; });
}

void FtpSession::cmd_mlsd(const std::string& arg) {
    send_listing(arg, true, [](std::string_view name, const auto& info) {
        return format_facts_line(info, name);
    });
}

void FtpSession::cmd_mlst(const std::string& arg) {
    const auto listed = listed_target(arg);
    if (!listed) {
        reply(550, "No such file or folder");
        return;
    }
    const auto name = disk_to_wire(encoding_, listed->vpath);
    if (!name) {
        reply(550, "Cannot name that entry in this encoding; use OPTS UTF8 ON");
        return;
    }
    // The entry line goes out with one leading blank, as the machine listing wants it.
    const std::string entry = format_facts(listed->info) + " " + *name;
    reply_lines(250, {"Listing", entry, "End"});
}

void FtpSession::cmd_mdtm(const std::string& arg) {
    const auto listed = arg.empty() ? std::nullopt : listed_target(arg);
    if (!listed || !S_ISREG(listed->info.st_mode)) {
        reply(550, "No such file");
        return;
    }
    reply(213, format_fact_time(listed->info.st_mtime));
}

}  // namespace stowbox::service
