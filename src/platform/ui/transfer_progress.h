#pragma once
// How far the running file transfer has come: finer than a progress bar's steps, for a front
// end that can show it.

#include <cstdint>
#include <optional>
#include <string>

namespace platform::ui {

struct TransferProgress {
    std::wstring fileName;
    std::uint64_t bytesDone = 0;
    std::optional<std::uint64_t> fileSize;  // nothing when the size is not known
    bool running = true;                    // false once this file's transfer has ended
};

}  // namespace platform::ui
