#include <algorithm>

#include "platform/net/socket.h"

namespace platform::net {

bool Network::Startup() {
    if (m_options.failStartup) {
        return false;
    }
    m_started = true;
    return true;
}

void Network::AddRoute(Endpoint from, Endpoint to) {
    // A later route for the same endpoint replaces the earlier one.
    const auto same = [&from](const auto& route) { return route.first == from; };
    std::erase_if(m_routes, same);
    m_routes.emplace_back(std::move(from), std::move(to));
}

Endpoint Network::Resolve(const Endpoint& target) const {
    for (const auto& [from, to] : m_routes) {
        if (from == target) {
            return to;
        }
    }
    return target;
}

}  // namespace platform::net
