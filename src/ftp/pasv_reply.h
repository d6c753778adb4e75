#pragma once
// The data connection address that a PASV reply offers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ftp {

struct PassiveAddress {
    std::string host;  // dotted address as the reply gives it
    std::uint16_t port{};
    bool operator==(const PassiveAddress&) const = default;
};

// Reads the six comma-separated numbers after the reply's first "(": four address bytes,
// then the port's high and low byte. Nothing unless all six are there, each from 0 to 255.
std::optional<PassiveAddress> ParsePasvReply(std::wstring_view reply);

}  // namespace ftp
