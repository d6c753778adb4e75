#include <algorithm>

#include "platform/net/socket.h"
#include "platform/net/tls_context.h"

namespace platform::net {

bool Network::Startup() {
    if (m_options.failStartup) {
        return false;
    }
    // Cheap until the first protected connection makes it ready.
    m_tlsClient = std::make_shared<const TlsContext>(m_options.caFile);
    m_started = true;
    return true;
}

void Network::AddRoute(Endpoint from, Endpoint to, bool protect) {
    // A later route for the same endpoint replaces the earlier one.
    const auto same = [&from](const Route& route) { return route.from == from; };
    std::erase_if(m_routes, same);
    m_routes.push_back({std::move(from), std::move(to), protect});
}

void Network::ProtectionBegan() const {
    if (++m_protectedSockets == 1 && m_protectionHook) {
        m_protectionHook(true);
    }
}

void Network::ProtectionEnded() const {
    if (--m_protectedSockets == 0 && m_protectionHook) {
        m_protectionHook(false);
    }
}

Endpoint Network::Resolve(const Endpoint& target) const {
    for (const Route& route : m_routes) {
        if (route.from == target) {
            return route.to;
        }
    }
    return target;
}

bool Network::ProtectsRoute(const Endpoint& target) const {
    return std::any_of(m_routes.begin(), m_routes.end(), [&target](const Route& route) {
        return route.from == target && route.protect;
    });
}

}  // namespace platform::net
