#include "platform/net/wait_ready.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/net/socket.h"

namespace platform::net {

using Clock = std::chrono::steady_clock;

int PollTimeout(const std::optional<Clock::time_point>& deadline) {
    if (!deadline) {
        return -1;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

bool WaitReady(int fd, short events, const std::optional<Clock::time_point>& deadline,
               const Network& network) {
    pollfd waiting{fd, events, 0};
    const bool hooked = network.HasWaitHook();
    for (;;) {
        int timeout = PollTimeout(deadline);
        if (hooked) {
            network.Waiting();
            const int slice = static_cast<int>(Network::kWaitSlice.count());
            timeout = timeout < 0 ? slice : std::min(timeout, slice);
        }
        const int ready = ::poll(&waiting, 1, timeout);
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        if (deadline && Clock::now() >= *deadline) {
            return false;
        }
    }
}

}  // namespace platform::net
