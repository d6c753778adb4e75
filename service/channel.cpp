#include "channel.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>

namespace stowbox::service {

namespace {

enum class Next { again, closed, timed_out, stopped, failed };

// After a TLS call that did not complete: waits for what TLS needs to go on (`again`), or
// says why it cannot.
Next await_tls(SSL* ssl, int result, int fd, int stop_fd, std::chrono::milliseconds timeout) {
    short events = 0;
    switch (SSL_get_error(ssl, result)) {
        case SSL_ERROR_WANT_READ:
            events = POLLIN;
            break;
        case SSL_ERROR_WANT_WRITE:
            events = POLLOUT;
            break;
        case SSL_ERROR_ZERO_RETURN:
            return Next::closed;
        default:
            ERR_clear_error();
            return Next::failed;
    }
    switch (wait_for(fd, events, stop_fd, timeout)) {
        case WaitResult::ready:
            return Next::again;
        case WaitResult::timed_out:
            return Next::timed_out;
        case WaitResult::stopped:
            return Next::stopped;
        case WaitResult::failed:
            break;
    }
    return Next::failed;
}

std::chrono::milliseconds time_left(std::chrono::steady_clock::time_point deadline) {
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now()));
}

}  // namespace

bool Channel::start_tls(SslPtr tls, int stop_fd, std::chrono::milliseconds timeout) {
    // TLS reads and writes the socket itself, and must never block in doing so.
    const int flags = ::fcntl(fd_.get(), F_GETFL);
    if (!tls || flags < 0 || ::fcntl(fd_.get(), F_SETFL, flags | O_NONBLOCK) != 0 ||
        SSL_set_fd(tls.get(), fd_.get()) != 1) {
        ERR_clear_error();
        tls_failed_ = true;
        return false;
    }
    tls_ = std::move(tls);
    // A whole deadline, so that a peer sending its handshake a byte at a time cannot hold on.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const int result = SSL_accept(tls_.get());
        if (result == 1) {
            return true;
        }
        if (await_tls(tls_.get(), result, fd_.get(), stop_fd, time_left(deadline)) != Next::again) {
            tls_failed_ = true;
            return false;
        }
    }
}

bool Channel::resumed_session() const {
    return tls_ && SSL_session_reused(tls_.get()) == 1;
}

bool Channel::send_all(std::string_view data, int stop_fd, std::chrono::milliseconds timeout) {
    if (!tls_) {
        return !tls_failed_ && stowbox::service::send_all(fd_.get(), data, stop_fd, timeout);
    }
    while (!data.empty()) {
        std::size_t sent = 0;
        const int result = SSL_write_ex(tls_.get(), data.data(), data.size(), &sent);
        if (result == 1) {
            data.remove_prefix(sent);
        } else if (await_tls(tls_.get(), result, fd_.get(), stop_fd, timeout) != Next::again) {
            tls_failed_ = true;
            return false;
        }
    }
    return true;
}

RecvResult Channel::recv_some(char* buffer, std::size_t size, int stop_fd,
                              std::chrono::milliseconds timeout) {
    if (!tls_) {
        return tls_failed_ ? RecvResult{RecvResult::Kind::failed}
                           : stowbox::service::recv_some(fd_.get(), buffer, size, stop_fd, timeout);
    }
    for (;;) {
        std::size_t got = 0;
        const int result = SSL_read_ex(tls_.get(), buffer, size, &got);
        if (result == 1) {
            return {RecvResult::Kind::data, got};
        }
        switch (await_tls(tls_.get(), result, fd_.get(), stop_fd, timeout)) {
            case Next::again:
                continue;
            case Next::closed:
                return {RecvResult::Kind::closed};
            case Next::timed_out:
                return {RecvResult::Kind::timed_out};
            case Next::stopped:
                return {RecvResult::Kind::stopped};
            case Next::failed:
                break;
        }
        // A connection cut without TLS's own end may have been cut by anyone on the path.
        tls_failed_ = true;
        return {RecvResult::Kind::failed};
    }
}

void Channel::gather_reads(std::size_t size) {
    if (!tls_ && !tls_failed_) {
        const int low_water = int(size);
        // Only a hint: without it, reads just come in smaller pieces.
        ::setsockopt(fd_.get(), SOL_SOCKET, SO_RCVLOWAT, &low_water, sizeof low_water);
    }
}

bool Channel::has_pending() const {
    return tls_ && SSL_pending(tls_.get()) > 0;
}

void Channel::finish(int stop_fd, std::chrono::milliseconds timeout) {
    if (!tls_ || tls_failed_) {
        return;
    }
    // Only our half is sent; the peer's answer to it is not awaited.
    for (;;) {
        const int result = SSL_shutdown(tls_.get());
        if (result >= 0 ||
            await_tls(tls_.get(), result, fd_.get(), stop_fd, timeout) != Next::again) {
            return;
        }
    }
}

}  // namespace stowbox::service
