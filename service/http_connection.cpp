#include "http_connection.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <string_view>

#include "net_io.h"

namespace stowbox::service {

namespace {

std::chrono::milliseconds time_left(std::chrono::steady_clock::time_point deadline) {
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now()));
}

}  // namespace

HttpConnection::HttpConnection(UniqueFd fd, int stop_fd, std::chrono::milliseconds timeout,
                               std::size_t max_head)
    : channel_(std::move(fd)),
      stop_fd_(stop_fd),
      timeout_(timeout),
      read_deadline_(Clock::now() + timeout),
      max_head_(max_head) {}

bool HttpConnection::secure(SslPtr tls) {
    return channel_.start_tls(std::move(tls), stop_fd_, time_left(read_deadline_));
}

void HttpConnection::finish() {
    channel_.finish(stop_fd_, timeout_);
}

bool HttpConnection::is_readable() const {
    return begin_ < end_ || channel_.has_pending() ||
           wait_for(channel_.fd(), POLLIN, stop_fd_, time_left(read_deadline_)) ==
               WaitResult::ready;
}

bool HttpConnection::is_writable() const {
    return wait_for(channel_.fd(), POLLOUT, stop_fd_, timeout_) == WaitResult::ready;
}

bool HttpConnection::fill() {
    const auto got =
        channel_.recv_some(buffer_.data(), buffer_.size(), stop_fd_, time_left(read_deadline_));
    if (got.kind != RecvResult::Kind::data) {
        return false;
    }
    begin_ = 0;
    end_ = got.size;
    return true;
}

std::size_t HttpConnection::take_head_bytes(const char* bytes, std::size_t size) {
    constexpr std::string_view head_end = "\r\n\r\n";
    std::size_t taken = 0;
    while (taken < size && !head_done_) {
        if (head_size_ == max_head_) {
            head_too_long_ = true;
            break;
        }
        const char c = bytes[taken++];
        ++head_size_;
        if (c == head_end[std::size_t(head_end_matched_)]) {
            head_done_ = ++head_end_matched_ == int(head_end.size());
        } else {
            head_end_matched_ = c == '\r' ? 1 : 0;
        }
    }
    return head_done_ ? size : taken;
}

ssize_t HttpConnection::read(char* ptr, size_t size) {
    if (size == 0) {
        return 0;
    }
    if (begin_ == end_ && !fill()) {
        return -1;
    }
    std::size_t count = std::min(size, end_ - begin_);
    count = take_head_bytes(buffer_.data() + begin_, count);
    if (count == 0) {
        return -1;
    }
    std::copy_n(buffer_.data() + begin_, count, ptr);
    begin_ += count;
    return ssize_t(count);
}

ssize_t HttpConnection::write(const char* ptr, size_t size) {
    return channel_.send_all({ptr, size}, stop_fd_, timeout_) ? ssize_t(size) : -1;
}

void HttpConnection::get_remote_ip_and_port(std::string& ip, int& port) const {
    const auto endpoint = peer_endpoint(channel_.fd());
    ip = format_ipv4(endpoint.sin_addr);
    port = ntohs(endpoint.sin_port);
}

void HttpConnection::get_local_ip_and_port(std::string& ip, int& port) const {
    const auto endpoint = local_endpoint(channel_.fd());
    ip = format_ipv4(endpoint.sin_addr);
    port = ntohs(endpoint.sin_port);
}

}  // namespace stowbox::service
