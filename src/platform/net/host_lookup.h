#pragma once
// The device's host name lookup, for code that builds its peer address itself.

#include <cstdint>
#include <string>

namespace platform::net {

// The first IPv4 address the lookup finds for a dotted address or a name, in network byte
// order; 0 when it finds nothing.
std::uint32_t LookupHostAddress(const std::string& name);

// "127.0.0.1" for an address in network byte order.
std::string DottedAddress(std::uint32_t address);

}  // namespace platform::net
