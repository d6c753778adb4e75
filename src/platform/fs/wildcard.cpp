#include "platform/fs/host_path.h"

namespace platform::fs::detail {
namespace {

// Folds case the way the device compares names: ASCII, Latin-1 and the letters of the
// code page's 0x80-0x9F row. A fixed table keeps the result independent of the locale.
wchar_t Fold(wchar_t ch) {
    if ((ch >= L'A' && ch <= L'Z') || (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7)) {
        return static_cast<wchar_t>(ch + 0x20);
    }
    switch (ch) {
        case 0x0160:  // S caron
        case 0x0152:  // OE
        case 0x017D:  // Z caron
            return static_cast<wchar_t>(ch + 1);
        case 0x0178:  // Y diaeresis
            return 0xFF;
        default:
            return ch;
    }
}

bool Match(std::wstring_view pattern, std::wstring_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = std::wstring_view::npos;  // the last "*" seen, for backtracking
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starAt = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == L'?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != std::wstring_view::npos) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

bool WildcardMatch(std::wstring_view pattern, std::wstring_view name) {
    if (Match(pattern, name)) {
        return true;
    }
    // As on the device, "*.*" is every name, including names without a dot.
    return pattern.ends_with(L".*") && Match(pattern.substr(0, pattern.size() - 2), name);
}

}  // namespace platform::fs::detail
