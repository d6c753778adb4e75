// The client's reading of a LIST text: line splitting and the name and kind of each line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "filelist/listing_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring listing(data, data + size);
    ForEachListingLine(listing, [](const std::wstring& line) {
        const CListingEntry entry = ParseListingLine(line);
        // A name is a piece of its own line.
        if (entry.strName.size() > line.size() || entry.strName.find(L'\n') != std::wstring::npos) {
            std::abort();
        }
        LeadingNumber(line);
    });
    return 0;
}
