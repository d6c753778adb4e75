// UTF-8 conversions of codepage.h: host file names are UTF-8.
#include <cstdint>
#include <optional>

#include "platform/text/codepage.h"

namespace platform::text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
// Where a byte that belongs to no valid sequence goes: lone low surrogates, which no valid
// UTF-8 decodes to.
constexpr char32_t kEscapedByteBase = 0xDC00;
constexpr char32_t kFirstEscapedByte = kEscapedByteBase + 0x80;
constexpr char32_t kLastEscapedByte = kEscapedByteBase + 0xFF;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code >= kFirstEscapedByte && code <= kLastEscapedByte) {
        out.push_back(static_cast<char>(code - kEscapedByteBase));
        return;
    }
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        code = kReplacement;
    }
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Decodes one character at `pos` and advances past it, or nothing when no valid sequence
// starts there (`pos` stays).
std::optional<char32_t> DecodeValid(std::string_view bytes, std::size_t& pos) {
    const std::size_t start = pos;
    const auto lead = static_cast<unsigned char>(bytes[pos++]);
    if (lead < 0x80) {
        return lead;
    }
    int length = 0;
    char32_t code = 0;
    // The allowed range of the second byte rules out overlong forms, surrogates and
    // values above U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        pos = start;
        return std::nullopt;
    }
    for (int i = 1; i < length; ++i) {
        const bool allowed =
            pos < bytes.size() && (i == 1 ? (static_cast<unsigned char>(bytes[pos]) >= low &&
                                             static_cast<unsigned char>(bytes[pos]) <= high)
                                          : IsContinuation(static_cast<unsigned char>(bytes[pos])));
        if (!allowed) {
            pos = start;
            return std::nullopt;
        }
        const auto next = static_cast<unsigned char>(bytes[pos]);
        code = (code << 6) | (next & 0x3F);
        ++pos;
    }
    return code;
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t ch : text) {
        // wchar_t is signed here: a negative value must not pass as a small code.
        AppendUtf8(out, static_cast<char32_t>(static_cast<std::uint32_t>(ch)));
    }
    return out;
}

std::wstring FromUtf8(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (const std::optional<char32_t> code = DecodeValid(bytes, pos)) {
            text.push_back(static_cast<wchar_t>(*code));
        } else {
            // Only the byte that starts no valid sequence is escaped: the next one is decoded
            // afresh, so no valid character is swallowed.
            text.push_back(
                static_cast<wchar_t>(kEscapedByteBase + static_cast<unsigned char>(bytes[pos++])));
        }
    }
    return text;
}

bool IsUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (!DecodeValid(bytes, pos)) {
            return false;
        }
    }
    return true;
}

}  // namespace platform::text
