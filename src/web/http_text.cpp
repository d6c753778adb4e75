#include "web/http_text.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Copies up to `count` bytes, cut to what the buffer holds with its terminating zero.
void CopyCut(char* target, std::size_t size, const char* source, std::size_t count) {
    if (size == 0) {
        return;
    }
    const std::size_t kept = std::min(count, size - 1);
    std::memcpy(target, source, kept);
    target[kept] = '\0';
}

}  // namespace

bool IsHostChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == ':';
}

void SplitUrl(const char* url, char* scheme, std::size_t schemeSize, char* host,
              std::size_t hostSize, char* path, std::size_t pathSize, int& port) {
    CopyCut(scheme, schemeSize, "", 0);
    CopyCut(host, hostSize, "", 0);
    CopyCut(path, pathSize, "", 0);
    port = kHttpDefaultPort;

    const std::string copy(url != nullptr ? url : "");
    std::size_t rest = 0;
    const std::size_t colon = copy.find(':');
    if (colon != std::string::npos) {
        CopyCut(scheme, schemeSize, copy.data(), colon);
        rest = colon + 1;
    } else {
        CopyCut(scheme, schemeSize, "HTTP", 4);
    }
    if (copy.compare(rest, 2, "//") == 0) {
        rest += 2;
    }
    std::size_t hostEnd = rest;
    while (hostEnd < copy.size() && IsHostChar(copy[hostEnd])) {
        ++hostEnd;
    }
    CopyCut(path, pathSize, copy.data() + hostEnd, copy.size() - hostEnd);
    CopyCut(host, hostSize, copy.data() + rest, hostEnd - rest);

    if (hostSize == 0) {
        return;
    }
    char* portColon = std::strchr(host, ':');
    if (portColon == nullptr) {
        return;
    }
    *portColon = '\0';
    // Digits up to the first other character; no digits give 0. Past any real port the
    // number stops growing, so that it cannot overflow.
    port = 0;
    for (const char* digit = portColon + 1; *digit >= '0' && *digit <= '9'; ++digit) {
        port = std::min(port * 10 + (*digit - '0'), 1'000'000);
    }
}

bool HeadEndScanner::Push(char byte) {
    if (byte == '\n') {
        const bool emptyLine = m_lineCharacters == 0;
        m_lineCharacters = 0;
        return emptyLine;
    }
    if (byte != '\r') {
        ++m_lineCharacters;
    }
    return false;
}

std::size_t HeadLength(const char* bytes, std::size_t count) {
    HeadEndScanner scanner;
    for (std::size_t i = 0; i < count; ++i) {
        if (scanner.Push(bytes[i])) {
            return i + 1;
        }
    }
    return count;
}
