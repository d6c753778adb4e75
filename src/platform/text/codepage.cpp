#include "platform/text/codepage.h"

#include <array>
#include <cstdint>

namespace platform::text {
namespace {

// Characters of the bytes 0x80 to 0x9F. The five bytes the code page leaves undefined
// stand for the control characters of the same code, so that they survive a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

wchar_t AnsiToWide(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return static_cast<wchar_t>(kHighControls[byte - 0x80]);
    }
    return static_cast<wchar_t>(byte);
}

std::optional<char> WideToAnsi(wchar_t ch) {
    const auto code = static_cast<char32_t>(static_cast<std::uint32_t>(ch));
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<char>(code);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == code) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

}  // namespace

std::string ToAnsi(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t ch : text) {
        bytes.push_back(WideToAnsi(ch).value_or('?'));
    }
    return bytes;
}

std::optional<std::string> ToAnsiExact(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t ch : text) {
        const std::optional<char> byte = WideToAnsi(ch);
        if (!byte) {
            return std::nullopt;
        }
        bytes.push_back(*byte);
    }
    return bytes;
}

std::wstring FromAnsi(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (char byte : bytes) {
        text.push_back(AnsiToWide(static_cast<unsigned char>(byte)));
    }
    return text;
}

std::wstring FromBytes(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (char byte : bytes) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    }
    return text;
}

}  // namespace platform::text
