#include "platform/net/host_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

namespace platform::net {

std::uint32_t LookupHostAddress(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (name.empty() || ::getaddrinfo(name.c_str(), nullptr, &hints, &list) != 0) {
        return 0;
    }
    std::uint32_t address = 0;
    for (const addrinfo* info = list; info != nullptr; info = info->ai_next) {
        if (info->ai_family == AF_INET && info->ai_addrlen >= sizeof(sockaddr_in)) {
            sockaddr_in found{};
            std::memcpy(&found, info->ai_addr, sizeof found);
            address = found.sin_addr.s_addr;
            break;
        }
    }
    ::freeaddrinfo(list);
    return address;
}

std::string DottedAddress(std::uint32_t address) {
    in_addr raw{};
    raw.s_addr = address;
    char dotted[INET_ADDRSTRLEN] = {};
    return ::inet_ntop(AF_INET, &raw, dotted, sizeof dotted) != nullptr ? dotted : "";
}

}  // namespace platform::net
