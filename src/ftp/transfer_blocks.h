#pragma once
// The sizes the transfers move data in; the benchmarks measure with the same ones.

#include <cstddef>

namespace ftp {

// The blocks the transfer loops move, each with its cancel check.
inline constexpr std::size_t kReceiveBlock = 255;  // listings and downloads
inline constexpr std::size_t kSendBlock = 256;     // uploads
// The data connection is read and written this much at a time.
inline constexpr std::size_t kDataBuffer = 64 * 1024;
// An upload this small goes out before the server answers its STOR: any peer's receive window
// takes it whole, so a server that refuses the upload and never reads cannot stall the send.
inline constexpr std::size_t kEarlyUpload = 32 * 1024;
// Uploads read the file this much at a time.
inline constexpr std::size_t kReadAhead = 64 * 1024;
// Received blocks gather here before they go to the file: few writes, bounded memory.
inline constexpr std::size_t kWriteBuffer = 64 * 1024;

}  // namespace ftp
