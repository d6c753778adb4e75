#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace stowbox::service {

// How a session's client writes names on the wire. The disk always holds UTF-8, so the
// same file reads the same through either kind of session.
enum class NameEncoding {
    windows_1252,  // every session starts so, until OPTS UTF8 ON
    utf8,
};

// A name or path the client sent, as the disk holds it; nothing when it is not valid in
// the session's encoding: malformed UTF-8, or in Windows-1252 one of the five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
std::optional<std::string> wire_to_disk(NameEncoding encoding, std::string_view wire);

// A name or path from the disk as the client is to read it; nothing when the session cannot
// say it exactly, so that it is never shown as another name. A name that is not valid UTF-8
// goes to a UTF-8 session as its raw bytes.
std::optional<std::string> disk_to_wire(NameEncoding encoding, std::string_view disk);

}  // namespace stowbox::service
