#include "ftp/announced_size.h"

#include <cwctype>
#include <limits>

namespace ftp {
namespace {

constexpr std::wstring_view kBytes = L"bytes)";

bool IsDigit(wchar_t ch) {
    return ch >= L'0' && ch <= L'9';
}

// The number of "(N bytes)" starting at `open`, nothing when the text there is not one.
std::optional<std::uint64_t> SizeAt(std::wstring_view reply, std::size_t open) {
    std::size_t at = open + 1;
    std::uint64_t number = 0;
    const std::size_t first = at;
    for (; at < reply.size() && IsDigit(reply[at]); ++at) {
        const auto digit = static_cast<std::uint64_t>(reply[at] - L'0');
        if (number > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
            return std::nullopt;
        }
        number = number * 10 + digit;
    }
    if (at == first || at >= reply.size() || reply[at] != L' ') {
        return std::nullopt;
    }
    while (at < reply.size() && reply[at] == L' ') {
        ++at;
    }
    if (reply.size() - at < kBytes.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kBytes.size(); ++i) {
        if (std::towlower(static_cast<wint_t>(reply[at + i])) != static_cast<wint_t>(kBytes[i])) {
            return std::nullopt;
        }
    }
    return number;
}

}  // namespace

std::optional<std::uint64_t> AnnouncedSize(std::wstring_view reply) {
    // The last one counts: a file's own name may hold such a text.
    for (std::size_t open = reply.rfind(L'('); open != std::wstring_view::npos;
         open = open == 0 ? std::wstring_view::npos : reply.rfind(L'(', open - 1)) {
        if (const auto size = SizeAt(reply, open)) {
            return size;
        }
    }
    return std::nullopt;
}

}  // namespace ftp
