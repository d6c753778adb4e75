#include "web/query_text.h"

#include <cwchar>

#include "platform/text/codepage.h"

namespace {

bool StaysAsItIs(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           std::wcschr(L"-._~@/$!'()*,;:", c) != nullptr;
}

}  // namespace

std::wstring QueryValue(std::wstring_view value) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring encoded;
    encoded.reserve(value.size());
    for (const wchar_t c : value) {
        if (c != L'\0' && StaysAsItIs(c)) {
            encoded += c;
            continue;
        }
        for (const char byte : platform::text::ToUtf8(std::wstring_view(&c, 1))) {
            const auto code = static_cast<unsigned char>(byte);
            encoded += L'%';
            encoded += kHex[code >> 4];
            encoded += kHex[code & 0xF];
        }
    }
    return encoded;
}
