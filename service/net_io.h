#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "unique_fd.h"

namespace stowbox::service {

enum class WaitResult { ready, timed_out, stopped, failed };

// Waits until `fd` has one of `events`, the stop descriptor becomes readable, or the time
// runs out. Stop wins over readiness so that shutdown is never delayed by a busy peer.
WaitResult wait_for(int fd, short events, int stop_fd, std::chrono::milliseconds timeout);

// Waits until `until`; false when the server stops first.
bool pause_until(int stop_fd, std::chrono::steady_clock::time_point until);

std::optional<in_addr> parse_ipv4(const std::string& text);
std::string format_ipv4(in_addr address);

// A listening IPv4 stream socket; port 0 picks a free one. Throws std::system_error.
UniqueFd listen_tcp(in_addr address, std::uint16_t port, int backlog);

sockaddr_in local_endpoint(int fd);
sockaddr_in peer_endpoint(int fd);

// Sends every byte without raising SIGPIPE. False when the peer is gone, a wait for
// buffer space times out, or the server stops.
bool send_all(int fd, std::string_view data, int stop_fd, std::chrono::milliseconds timeout);

struct RecvResult {
    enum class Kind { data, closed, timed_out, stopped, failed };
    Kind kind;
    std::size_t size = 0;
};

// Receives whatever is available, up to `size` bytes, waiting at most `timeout` for it.
// Bytes that came during the wait are returned even when a low-water mark set on the socket
// was not reached in time.
RecvResult recv_some(int fd, char* buffer, std::size_t size, int stop_fd,
                     std::chrono::milliseconds timeout);

}  // namespace stowbox::service
