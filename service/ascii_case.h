#pragma once
// Commands, options and their keywords are matched without regard to case.

#include <string>
#include <string_view>

namespace stowbox::service {

// `text` with a-z made A-Z; every other byte (a name's UTF-8 too) stays as it is.
inline std::string upper_ascii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

}  // namespace stowbox::service
