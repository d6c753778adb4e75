// The HTTP client's byte rules: splitting a URL into cut-to-fit parts, and finding the end of a
// response head. The first input byte picks the buffer sizes, so short buffers are cut too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "web/http_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t bufferSize = size > 0 ? 1 + data[0] % 64 : 1;
    const std::string text(reinterpret_cast<const char*>(data), size);

    // SplitUrl reads up to the first zero byte and writes only inside its buffers.
    std::vector<char> scheme(bufferSize), host(bufferSize), path(bufferSize);
    int port = -1;
    SplitUrl(text.c_str(), scheme.data(), scheme.size(), host.data(), host.size(), path.data(),
             path.size(), port);
    for (const std::vector<char>* part : {&scheme, &host, &path}) {
        if (std::memchr(part->data(), '\0', part->size()) == nullptr) {
            std::abort();  // not zero-terminated inside its buffer
        }
    }

    // The head ends where the scanner says it does, and never beyond the bytes given.
    const std::size_t head = HeadLength(text.data(), text.size());
    if (head > text.size()) {
        std::abort();
    }
    HeadEndScanner scanner;
    std::size_t scanned = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (scanner.Push(text[i])) {
            scanned = i + 1;
            break;
        }
    }
    if (scanned != head) {
        std::abort();
    }
    return 0;
}
