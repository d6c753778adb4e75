// Commands that move bytes over a passive data connection.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "durable_file.h"
#include "ftp_session.h"
#include "list_format.h"
#include "net_io.h"

namespace stowbox::service {

namespace {

constexpr std::size_t kTransferBlock = 64 * 1024;

// True when the peer of `fd` has closed or reset the connection. Bytes waiting to be read
// (a command sent ahead) do not count: the peer may well still be there to read the reply.
bool peer_hung_up(int fd) {
    pollfd state{fd, POLLRDHUP, 0};
    while (::poll(&state, 1, 0) < 0) {
        if (errno != EINTR) {
            return true;
        }
    }
    if ((state.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) {
        return true;
    }
    char byte = 0;
    const ssize_t got = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

bool listable_name(const std::string& name) {
    return name != "." && name != ".." && !is_partial_file_name(name) &&
           name.find_first_of("\r\n") == std::string::npos;
}

std::string last_part(const std::string& vpath) {
    return vpath.substr(vpath.rfind('/') + 1);
}

}  // namespace

UniqueFd FtpSession::accept_data(UniqueFd listener) {
    if (!listener) {
        return {};
    }
    const auto deadline = std::chrono::steady_clock::now() + config_.data_timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 ||
            wait_for(listener.get(), POLLIN, stop_fd_, left) != WaitResult::ready) {
            return {};
        }
        UniqueFd connection(::accept4(listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
        // Only the control connection's own host may take the data: anyone else is turned
        // away and the wait goes on.
        if (connection && peer_endpoint(connection.get()).sin_addr.s_addr == peer_.s_addr) {
            return connection;
        }
    }
}

bool FtpSession::send_data(Channel& data, std::string_view bytes) {
    return data.send_all(bytes, stop_fd_, config_.data_timeout);
}

Channel FtpSession::open_data(UniqueFd listener, const std::string& opening,
                              const std::function<bool()>& prepare) {
    if (!listener) {
        reply(425, "Use PASV first");
        return {};
    }
    if (prepare && !prepare()) {
        return {};
    }
    Channel data(accept_data(std::move(listener)));
    if (!data) {
        reply(425, "No data connection");
        return {};
    }
    reply(150, opening);
    if (protect_transfers_ && !protect_data(data)) {
        return {};
    }
    return data;
}

void FtpSession::cmd_pasv(const std::string&) {
    passive_.reset();
    const in_addr address = local_endpoint(control_.fd()).sin_addr;
    try {
        passive_ = listen_tcp(address, 0, 4);
    } catch (const std::system_error&) {
        reply(425, "Cannot open a passive port");
        return;
    }
    const auto* a = reinterpret_cast<const unsigned char*>(&address.s_addr);
    const unsigned port = ntohs(local_endpoint(passive_.get()).sin_port);
    reply(227, "Entering Passive Mode (" + std::to_string(a[0]) + "," + std::to_string(a[1]) + "," +
                   std::to_string(a[2]) + "," + std::to_string(a[3]) + "," +
                   std::to_string(port / 256) + "," + std::to_string(port % 256) + ")");
}

std::string FtpSession::listing_text(const std::string& vpath, const std::string& target,
                                     const struct stat& info) const {
    std::string listing;
    if (S_ISREG(info.st_mode)) {
        if (const auto name = disk_to_wire(encoding_, last_part(vpath))) {
            listing = format_list_line(
                {*name, info.st_mode, info.st_nlink, std::uintmax_t(info.st_size), info.st_mtime},
                account_->name);
        }
    } else {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& item : std::filesystem::directory_iterator(target, error)) {
            names.push_back(item.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        for (const auto& name : names) {
            // A name the session cannot say exactly is left out rather than shown as another
            // name, which the client would then send back to mean a different file.
            const auto shown = listable_name(name) ? disk_to_wire(encoding_, name) : std::nullopt;
            const auto inside = shown ? fs().contained(target + "/" + name) : std::nullopt;
            struct stat item {};
            if (!inside || ::stat(inside->c_str(), &item) != 0 ||
                !(S_ISREG(item.st_mode) || S_ISDIR(item.st_mode))) {
                continue;  // links leading out, and things that are neither file nor folder
            }
            listing += format_list_line(
                {*shown, item.st_mode, item.st_nlink, std::uintmax_t(item.st_size), item.st_mtime},
                account_->name);
        }
    }
    return listing;
}

void FtpSession::cmd_list(const std::string& arg) {
    UniqueFd listener = std::move(passive_);
    if (!transfer_allowed()) {
        return;
    }
    // Options such as "-a" or "-l" that some clients send change nothing here.
    std::string path = arg;
    while (path.starts_with('-')) {
        const auto end = path.find(' ');
        path = end == std::string::npos ? std::string() : path.substr(end + 1);
    }
    const auto vpath = path.empty() ? std::optional(cwd_) : pick_path(path);
    const auto target = vpath ? fs().target(*vpath) : std::nullopt;
    struct stat info {};
    if (!target || ::stat(target->c_str(), &info) != 0) {
        reply(550, "No such file or folder");
        return;
    }
    const std::string listing = listing_text(*vpath, *target, info);
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

void FtpSession::cmd_retr(const std::string& arg) {
    UniqueFd listener = std::move(passive_);
    if (!transfer_allowed()) {
        return;
    }
    const auto vpath = arg.empty() ? std::nullopt : pick_path(arg);
    const auto target = vpath ? fs().target(*vpath) : std::nullopt;
    UniqueFd file;
    struct stat info {};
    if (target) {
        file.reset(::open(target->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    }
    if (!file || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        reply(550, "No such file");
        return;
    }
    Channel data =
        open_data(std::move(listener), "Sending (" + std::to_string(info.st_size) + " bytes)");
    if (!data) {
        return;
    }
    std::vector<char> block(kTransferBlock);
    for (;;) {
        const ssize_t got = ::read(file.get(), block.data(), block.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            data = Channel();
            reply(451, "Cannot read the file");
            return;
        }
        if (got == 0) {
            break;
        }
        if (!send_data(data, {block.data(), std::size_t(got)})) {
            data = Channel();
            reply(426, "Data connection broken");
            return;
        }
    }
    // Under TLS, the client tells a whole file from a cut one by this end.
    data.finish(stop_fd_, config_.data_timeout);
    data = Channel();
    reply(226, "Transfer complete");
}

std::optional<std::string> FtpSession::store_destination(const std::string& arg) {
    const auto vpath = arg.empty() ? std::nullopt : pick_path(arg);
    auto destination = vpath && *vpath != "/" ? fs().entry(*vpath) : std::nullopt;
    struct stat info {};
    if (destination && ::lstat(destination->c_str(), &info) == 0) {
        // Replacing: write where an existing name finally points, if that is inside.
        destination = fs().target(*vpath);
        if (destination && (::stat(destination->c_str(), &info) != 0 || S_ISDIR(info.st_mode))) {
            destination.reset();
        }
    }
    if (!destination) {
        reply(550, "Cannot store a file there");
        return std::nullopt;
    }
    // Such a file would be taken for an unfinished upload and removed.
    if (is_partial_file_name(last_part(*destination))) {
        reply(553, "File name not allowed");
        return std::nullopt;
    }
    return destination;
}

bool FtpSession::receive_upload(Channel data, DurableFile& upload) {
    std::vector<char> block(kTransferBlock);
    for (;;) {
        const auto got = data.recv_some(block.data(), block.size(), stop_fd_, config_.data_timeout);
        if (got.kind == RecvResult::Kind::closed) {
            // A TLS client may wait for our end of TLS before it reads the reply.
            data.finish(stop_fd_, config_.data_timeout);
            return true;
        }
        if (got.kind != RecvResult::Kind::data) {
            data = Channel();
            upload.discard();
            reply(426, "Data connection broken; file not stored");
            return false;
        }
        if (!upload.write(block.data(), got.size)) {
            data = Channel();
            upload.discard();
            reply(451, "Cannot write the file");
            return false;
        }
    }
}

void FtpSession::cmd_stor(const std::string& arg) {
    UniqueFd listener = std::move(passive_);
    if (!transfer_allowed()) {
        return;
    }
    const auto destination = store_destination(arg);
    if (!destination) {
        return;
    }
    std::optional<DurableFile> upload;
    Channel data = open_data(std::move(listener), "Ready to receive", [&] {
        upload.emplace(destination->substr(0, destination->rfind('/')));
        if (!*upload) {
            reply(550, "Cannot create the file");
            return false;
        }
        return true;
    });
    if (!data || !receive_upload(std::move(data), *upload)) {
        return;
    }
    // A client killed mid-upload ends its data connection in good order all the same; what
    // tells a finished upload from that is its control connection, still open when the
    // data ends.
    if (peer_hung_up(control_.fd())) {
        upload->discard();
        reply(426, "Control connection closed; file not stored");
        return;
    }
    if (!upload->commit(*destination)) {
        upload->discard();
        reply(451, "Cannot store the file");
        return;
    }
    reply(226, "Transfer complete");
}

}  // namespace stowbox::service
