#pragma once
// A data connection read and written in large pieces while the transfers still move it in
// their small blocks: a block costs a copy, not a system call (nor a TLS record).

#include <cstddef>
#include <vector>

namespace platform::net {
class Socket;
}

namespace ftp {

// Reads the connection kDataBuffer bytes at a time and hands them out in any smaller size.
class DataReader {
  public:
    explicit DataReader(platform::net::Socket& socket);

    // Up to `size` bytes into `out`: their count, 0 once the peer ended the stream in order,
    // -1 once it broke or timed out. Bytes that arrived before a break are handed out first.
    int Receive(char* out, std::size_t size);

  private:
    platform::net::Socket& m_socket;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    int m_streamEnd = 1;  // what the socket said last when it gave no bytes: 0 or -1
};

// Gathers blocks and sends them kDataBuffer bytes at a time.
class DataWriter {
  public:
    explicit DataWriter(platform::net::Socket& socket);

    // False once the connection broke; the bytes are then lost with it.
    bool Send(const char* data, std::size_t size);
    // Sends what is gathered. False when the connection broke.
    bool Flush();

  private:
    platform::net::Socket& m_socket;
    std::vector<char> m_buffer;
    bool m_broken = false;
};

}  // namespace ftp
