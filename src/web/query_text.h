#pragma once
// Values put into the query of a URL.

#include <string>
#include <string_view>

// The service's web host, built in; the device's network routes it.
inline constexpr const wchar_t* kWebHost = L"127.0.0.1";

// The value with every character that cannot stand in a query value percent-encoded:
// blank, "&", "=", "#", "%", "+", "?", control characters, the other characters a URL may not
// hold, and every non-ASCII character as its UTF-8 bytes. Letters, digits, "-", ".", "_",
// "~", "@", "/", "$" and the harmless "!'()*,;:" stay as they are, so ordinary values go out
// unchanged. Without this a password holding "&write=TRUE" would set another field, and a
// blank would break the request line.
std::wstring QueryValue(std::wstring_view value);
