#pragma once

#include <chrono>
#include <cstddef>
#include <string_view>

#include "net_io.h"
#include "tls_context.h"
#include "unique_fd.h"

namespace stowbox::service {

// A connected stream socket, in clear or, once start_tls has succeeded, under TLS. Every wait
// ends when the server stops or the time runs out, as with the plain calls of net_io.h.
class Channel {
  public:
    Channel() = default;
    explicit Channel(UniqueFd fd) : fd_(std::move(fd)) {}

    explicit operator bool() const { return static_cast<bool>(fd_); }
    int fd() const { return fd_.get(); }
    bool secure() const { return static_cast<bool>(tls_); }

    // Runs the server side of the TLS handshake on the socket, all within `timeout`. False when
    // it fails; the channel is then good for nothing but closing.
    bool start_tls(SslPtr tls, int stop_fd, std::chrono::milliseconds timeout);
    // True when the handshake resumed an earlier session instead of making a new one.
    bool resumed_session() const;

    bool send_all(std::string_view data, int stop_fd, std::chrono::milliseconds timeout);
    RecvResult recv_some(char* buffer, std::size_t size, int stop_fd,
                         std::chrono::milliseconds timeout);
    // Lets a wait in recv_some end only once `size` bytes are there, or the peer has ended
    // or the wait has timed out, so that a fast upload is read in a few large pieces
    // whatever sizes its sender writes. Only in clear: TLS reads whole records itself, and
    // a TLS peer may wait for our end of TLS before it closes.
    void gather_reads(std::size_t size);
    // True when bytes already received wait to be read, though the socket has none.
    bool has_pending() const;
    // Ends TLS in good order, so that the peer can tell the end of the data from a cut
    // connection. A channel in clear needs nothing.
    void finish(int stop_fd, std::chrono::milliseconds timeout);

  private:
    UniqueFd fd_;
    SslPtr tls_;  // declared after the socket, so that it goes first
    bool tls_failed_ = false;
};

}  // namespace stowbox::service
