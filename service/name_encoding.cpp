#include "name_encoding.h"

#include "platform/text/codepage.h"

namespace stowbox::service {

namespace {

// Bytes with no character in Windows-1252. The conversion would turn them into control
// characters, names no Windows-1252 client means to send.
constexpr std::string_view kUndefinedAnsiBytes = "\x81\x8D\x8F\x90\x9D";

}  // namespace

std::optional<std::string> wire_to_disk(NameEncoding encoding, std::string_view wire) {
    if (encoding == NameEncoding::utf8) {
        return platform::text::IsUtf8(wire) ? std::optional(std::string(wire)) : std::nullopt;
    }
    if (wire.find_first_of(kUndefinedAnsiBytes) != std::string_view::npos) {
        return std::nullopt;
    }
    return platform::text::ToUtf8(platform::text::FromAnsi(wire));
}

std::optional<std::string> disk_to_wire(NameEncoding encoding, std::string_view disk) {
    if (encoding == NameEncoding::utf8) {
        return std::string(disk);
    }
    // Bytes of a name that is not UTF-8 decode to stand-ins the code page has no byte for, so
    // such a name is left out too.
    auto wire = platform::text::ToAnsiExact(platform::text::FromUtf8(disk));
    // Only what the client could send back to mean this same name: not the undefined bytes.
    if (!wire || wire->find_first_of(kUndefinedAnsiBytes) != std::string::npos) {
        return std::nullopt;
    }
    return wire;
}

}  // namespace stowbox::service
