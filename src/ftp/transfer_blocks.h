#pragma once
// The sizes the transfers move data in; the benchmarks measure with the same ones.

#include <cstddef>

namespace ftp {

inline constexpr std::size_t kReceiveBlock = 255;  // per receive call: listings and downloads
inline constexpr std::size_t kSendBlock = 256;     // per send: uploads
// Uploads read the file this much at a time and send it in blocks of kSendBlock.
inline constexpr std::size_t kReadAhead = 64 * 1024;
// Received blocks gather here before they go to the file: few writes, bounded memory.
inline constexpr std::size_t kWriteBuffer = 64 * 1024;

}  // namespace ftp
