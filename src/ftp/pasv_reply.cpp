#include "ftp/pasv_reply.h"

#include <array>

namespace ftp {
namespace {

// One number from 0 to 255 at `pos` (blanks before it allowed); advances `pos` past it.
std::optional<int> ReadByteNumber(std::wstring_view text, std::size_t& pos) {
    while (pos < text.size() && text[pos] == L' ') {
        ++pos;
    }
    const std::size_t start = pos;
    int value = 0;
    while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
        value = value * 10 + static_cast<int>(text[pos] - L'0');
        if (value > 255) {
            return std::nullopt;
        }
        ++pos;
    }
    if (pos == start) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<PassiveAddress> ParsePasvReply(std::wstring_view reply) {
    const std::size_t open = reply.find(L'(');
    if (open == std::wstring_view::npos) {
        return std::nullopt;
    }
    std::array<int, 6> numbers{};
    std::size_t pos = open + 1;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            if (pos >= reply.size() || reply[pos] != L',') {
                return std::nullopt;
            }
            ++pos;
        }
        const auto number = ReadByteNumber(reply, pos);
        if (!number) {
            return std::nullopt;
        }
        numbers[i] = *number;
    }
    PassiveAddress address;
    address.host = std::to_string(numbers[0]) + '.' + std::to_string(numbers[1]) + '.' +
                   std::to_string(numbers[2]) + '.' + std::to_string(numbers[3]);
    address.port = static_cast<std::uint16_t>(numbers[4] * 256 + numbers[5]);
    return address;
}

}  // namespace ftp
