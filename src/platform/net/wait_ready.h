#pragma once
// Waiting for a socket of the device's network, for the sockets and the TLS spoken over them.

#include <chrono>
#include <optional>

namespace platform::net {

class Network;

// Milliseconds left until `deadline` for poll(); -1 (no limit) without a deadline.
int PollTimeout(const std::optional<std::chrono::steady_clock::time_point>& deadline);

// Waits until `fd` is ready for `events`; false once `deadline` has passed or on an error.
// With a wait hook the wait goes in slices and the hook runs before each, so the device's
// screen stays alive however long the peer takes.
bool WaitReady(int fd, short events,
               const std::optional<std::chrono::steady_clock::time_point>& deadline,
               const Network& network);

}  // namespace platform::net
