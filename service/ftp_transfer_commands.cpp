// Commands that move bytes over a passive data connection.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <system_error>
#include <vector>

#include "ascii_case.h"
#include "durable_file.h"
#include "ftp_session.h"
#include "net_io.h"

namespace stowbox::service {

namespace {

// Files are read and the data connection written and read in blocks of this size; an upload
// is read once at least half a block has come, so that a sender writing small pieces does
// not cost a wake-up and a receive each.
constexpr std::size_t kTransferBlock = 256 * 1024;

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

bool FtpSession::open_passive() {
    passive_.reset();
    try {
        passive_ = listen_tcp(local_endpoint(control_.fd()).sin_addr, 0, 4);
    } catch (const std::system_error&) {
        reply(425, "Cannot open a passive port");
        return false;
    }
    return true;
}

void FtpSession::cmd_pasv(const std::string&) {
    // After EPSV ALL the client has promised to use nothing else, and a box on the way may
    // rely on it.
    if (epsv_all_) {
        reply(503, "Only EPSV after EPSV ALL");
        return;
    }
    if (!open_passive()) {
        return;
    }
    const in_addr address = local_endpoint(control_.fd()).sin_addr;
    const auto* a = reinterpret_cast<const unsigned char*>(&address.s_addr);
    const unsigned port = ntohs(local_endpoint(passive_.get()).sin_port);
    reply(227, "Entering Passive Mode (" + std::to_string(a[0]) + "," + std::to_string(a[1]) + "," +
                   std::to_string(a[2]) + "," + std::to_string(a[3]) + "," +
                   std::to_string(port / 256) + "," + std::to_string(port % 256) + ")");
}

void FtpSession::cmd_epsv(const std::string& arg) {
    const std::string protocol = upper_ascii(arg);
    if (protocol == "ALL") {
        epsv_all_ = true;
        reply(200, "EPSV ALL accepted");
        return;
    }
    // Protocol 1 is IPv4, the only one the service listens on.
    if (!protocol.empty() && protocol != "1") {
        const bool number = protocol.find_first_not_of("0123456789") == std::string::npos;
        reply(number ? 522 : 501,
              number ? "Network protocol not supported, use (1)" : "Unknown network protocol");
        return;
    }
    if (!open_passive()) {
        return;
    }
    const unsigned port = ntohs(local_endpoint(passive_.get()).sin_port);
    reply(229, "Entering Extended Passive Mode (|||" + std::to_string(port) + "|)");
}

void FtpSession::cmd_rest(const std::string& arg) {
    std::uintmax_t offset = 0;
    const auto [end, error] = std::from_chars(arg.data(), arg.data() + arg.size(), offset);
    if (arg.empty() || error != std::errc() || end != arg.data() + arg.size()) {
        reply(501, "REST needs a byte offset");
        return;
    }
    restart_at_ = offset;
    reply(350, "Restarting at " + std::to_string(offset) + ". Send STORE or RETRIEVE.");
}

void FtpSession::cmd_retr(const std::string& arg) {
    UniqueFd listener = std::move(passive_);
    const std::uintmax_t offset = transfer_offset_;
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
    const std::uintmax_t size = std::uintmax_t(info.st_size);
    if (offset > size) {
        reply(554, "Restart offset beyond the end of the file");
        return;
    }
    if (offset > 0 && ::lseek(file.get(), off_t(offset), SEEK_SET) != off_t(offset)) {
        reply(451, "Cannot read the file");
        return;
    }
    Channel data =
        open_data(std::move(listener), "Sending (" + std::to_string(size - offset) + " bytes)");
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
    data.gather_reads(kTransferBlock / 2);
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
    // The client would send only the rest of the file, and the whole file is replaced by
    // what comes: refused, so that a file is never cut short.
    if (transfer_offset_ > 0) {
        reply(504, "Resuming an upload is not supported");
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
