// Commands that look at or change the account's folder tree.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "durable_file.h"
#include "ftp_session.h"
#include "private_files.h"
#include "stale_uploads.h"

namespace stowbox::service {

namespace {

bool is_folder(const std::string& host_path) {
    struct stat info {};
    return ::stat(host_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A name kept for unfinished uploads: anything else of that name would be hidden, and
// removed as if left over.
bool reserved_name(const std::string& vpath) {
    return is_partial_file_name(last_part(vpath));
}

}  // namespace

void FtpSession::cmd_cwd(const std::string& arg) {
    const auto vpath = pick_path(arg.empty() ? "/" : arg);
    const auto target = vpath ? fs().target(*vpath) : std::nullopt;
    if (!target || !is_folder(*target)) {
        reply(550, "No such folder");
        return;
    }
    cwd_ = *vpath;
    reply(250, "Folder changed");
}

void FtpSession::cmd_cdup(const std::string&) {
    cmd_cwd("..");
}

void FtpSession::cmd_mkd(const std::string& arg) {
    const auto vpath = arg.empty() ? std::nullopt : pick_path(arg);
    const auto entry = vpath ? fs().entry(*vpath) : std::nullopt;
    if (!entry) {
        reply(550, "Cannot create the folder there");
        return;
    }
    if (reserved_name(*vpath)) {
        reply(553, "Folder name not allowed");
        return;
    }
    struct stat info {};
    if (::lstat(entry->c_str(), &info) == 0) {
        const auto target = fs().target(*vpath);
        if (target && is_folder(*target)) {
            reply(521, "Folder already exists");
        } else {
            reply(550, "Something else of that name exists");
        }
        return;
    }
    if (make_private_folder(*entry)) {
        const auto quoted = quoted_for_client(*vpath);
        reply(257, quoted ? *quoted + " created" : std::string("Folder created"));
    } else if (errno == EEXIST) {
        reply(521, "Folder already exists");
    } else {
        reply(550, "Cannot create the folder");
    }
}

void FtpSession::cmd_rmd(const std::string& arg) {
    const auto vpath = arg.empty() ? std::nullopt : pick_path(arg);
    const auto entry = vpath && *vpath != "/" ? fs().entry(*vpath) : std::nullopt;
    struct stat info {};
    if (!entry || ::lstat(entry->c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        reply(550, "No such folder");
        return;
    }
    // Files of unfinished uploads are never listed, so they must not keep a folder that
    // looks empty.
    bool removed = ::rmdir(entry->c_str()) == 0;
    int error = errno;
    if (!removed && (error == ENOTEMPTY || error == EEXIST) && clear_only_partial_files(*entry)) {
        removed = ::rmdir(entry->c_str()) == 0;
        error = errno;
    }
    if (!removed) {
        reply(550, error == ENOTEMPTY || error == EEXIST ? "Folder is not empty"
                                                         : "Cannot remove the folder");
        return;
    }
    reply(250, "Folder removed");
}

void FtpSession::cmd_dele(const std::string& arg) {
    const auto vpath = arg.empty() ? std::nullopt : pick_path(arg);
    const auto entry = vpath ? fs().entry(*vpath) : std::nullopt;
    struct stat info {};
    // A link is removed itself, never what it points to.
    if (!entry || ::lstat(entry->c_str(), &info) != 0 || S_ISDIR(info.st_mode) ||
        ::unlink(entry->c_str()) != 0) {
        reply(550, "No such file");
        return;
    }
    reply(250, "File deleted");
}

void FtpSession::cmd_size(const std::string& arg) {
    const auto vpath = arg.empty() ? std::nullopt : pick_path(arg);
    const auto target = vpath ? fs().target(*vpath) : std::nullopt;
    struct stat info {};
    if (!target || ::stat(target->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        reply(550, "No such file");
        return;
    }
    reply(213, std::to_string(info.st_size));
}

void FtpSession::cmd_rnfr(const std::string& arg) {
    const auto vpath = arg.empty() ? std::nullopt : pick_path(arg);
    const auto entry = vpath && *vpath != "/" ? fs().entry(*vpath) : std::nullopt;
    struct stat info {};
    if (!entry || ::lstat(entry->c_str(), &info) != 0) {
        reply(550, "No such file or folder");
        return;
    }
    rename_from_ = *entry;
    reply(350, "Ready for RNTO");
}

void FtpSession::cmd_rnto(const std::string& arg) {
    if (!rename_from_) {
        reply(503, "Send RNFR first");
        return;
    }
    const std::string from = std::move(*rename_from_);
    rename_from_.reset();
    const auto vpath = arg.empty() ? std::nullopt : pick_path(arg);
    const auto entry =
        vpath && *vpath != "/" && !reserved_name(*vpath) ? fs().entry(*vpath) : std::nullopt;
    if (!entry || std::rename(from.c_str(), entry->c_str()) != 0) {
        reply(553, "Cannot rename to that name");
        return;
    }
    reply(250, "Renamed");
}

}  // namespace stowbox::service
