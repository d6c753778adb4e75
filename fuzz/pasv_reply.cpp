// The client's reading of a PASV reply: any bytes, as the reply reader widens them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ftp/pasv_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring reply(data, data + size);
    const auto address = ftp::ParsePasvReply(reply);
    // Whatever it accepts is a dotted address of four numbers.
    if (address && (address->host.size() < 7 || address->host.size() > 15)) {
        std::abort();
    }
    return 0;
}
