#pragma once
// The size a server announces when it opens a download: "150 Opening ... for a.bin (1234
// bytes)." A received byte count that differs from it is a broken transfer.

#include <cstdint>
#include <optional>
#include <string_view>

namespace ftp {

// The number of the reply's last "(N bytes)" (any case, blanks between), nothing when the
// reply has none or the number does not fit 64 bits.
std::optional<std::uint64_t> AnnouncedSize(std::wstring_view reply);

}  // namespace ftp
