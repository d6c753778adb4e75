// The client's reading of the sizes a server states: a SIZE reply, and the byte count a 150
// reply announces.
#include <cstddef>
#include <cstdint>
#include <string>

#include "filelist/listing_line.h"
#include "ftp/announced_size.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring reply(data, data + size);
    SizeFromReply(reply);
    LeadingNumber(reply);
    ftp::AnnouncedSize(reply);
    return 0;
}
