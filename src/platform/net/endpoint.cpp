#include <charconv>

#include "platform/net/socket.h"

namespace platform::net {

std::optional<Endpoint> ParseEndpoint(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0) {
        return std::nullopt;
    }
    const char* first = text.data() + colon + 1;
    const char* last = text.data() + text.size();
    // from_chars takes digits only: no sign, blank or second colon gets through.
    unsigned long port = 0;
    const auto [end, error] = std::from_chars(first, last, port);
    if (first == last || error != std::errc() || end != last || port == 0 || port > 65535) {
        return std::nullopt;
    }
    return Endpoint{text.substr(0, colon), static_cast<std::uint16_t>(port)};
}

}  // namespace platform::net
