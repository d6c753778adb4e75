#pragma once
// The device's 8-bit text: its ANSI code page is Windows-1252.

#include <optional>
#include <string>
#include <string_view>

namespace platform::text {

// Wide text to Windows-1252 bytes; a character the code page cannot hold becomes '?'.
std::string ToAnsi(std::wstring_view text);

// Wide text to Windows-1252 bytes when the code page holds every character, else nothing:
// for names, where a '?' would make another name.
std::optional<std::string> ToAnsiExact(std::wstring_view text);

// Windows-1252 bytes to wide text. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same code.
std::wstring FromAnsi(std::string_view bytes);

// Each byte taken as the character with that code (0 to 255), as replies are read.
std::wstring FromBytes(std::string_view bytes);

// Host file names and UTF-8 servers' names. A byte that is no part of a valid sequence
// decodes to U+DC80 + (byte - 0x80) and encodes back to itself, so such a name is kept
// byte for byte and can never meet a valid name. Other wide values without a character
// encode as U+FFFD.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view bytes);
// Whether the bytes are valid UTF-8 throughout.
bool IsUtf8(std::string_view bytes);

}  // namespace platform::text
