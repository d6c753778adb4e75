#pragma once

#include <httplib.h>

#include <array>
#include <chrono>
#include <cstddef>

#include "channel.h"

namespace stowbox::service {

// One web connection as the HTTP library reads and writes it, with the limits that keep a
// slow or greedy client from holding the server: the whole request must arrive within the
// time-out of the connection's start, its head (request line and headers) is bounded, and
// every write of the response must make progress within the time-out (a shared file may be
// large). Reads past a limit fail. The connection is in clear, or under TLS once secure()
// succeeded.
class HttpConnection final : public httplib::Stream {
  public:
    HttpConnection(UniqueFd fd, int stop_fd, std::chrono::milliseconds timeout,
                   std::size_t max_head);

    // The TLS handshake, within the time the whole request has; false when it fails.
    bool secure(SslPtr tls);
    // Ends TLS in good order once the response is out.
    void finish();

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    int socket() const override { return channel_.fd(); }

    // True once the head grew past its bound.
    bool head_too_long() const { return head_too_long_; }

  private:
    using Clock = std::chrono::steady_clock;

    // Receives more into the buffer; false when the peer closed, failed or ran out of time.
    bool fill();
    // Counts bytes handed out toward the head's bound, until the blank line that ends it.
    std::size_t take_head_bytes(const char* bytes, std::size_t size);

    Channel channel_;
    int stop_fd_;
    std::chrono::milliseconds timeout_;
    Clock::time_point read_deadline_;
    std::size_t max_head_;
    std::size_t head_size_ = 0;
    int head_end_matched_ = 0;  // bytes of "\r\n\r\n" seen at the end so far
    bool head_done_ = false;
    bool head_too_long_ = false;
    std::array<char, 4096> buffer_{};
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

}  // namespace stowbox::service
