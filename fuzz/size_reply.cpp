// The client's reading of a SIZE reply.
#include <cstddef>
#include <cstdint>
#include <string>

#include "filelist/listing_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring reply(data, data + size);
    SizeFromReply(reply);
    LeadingNumber(reply);
    return 0;
}
