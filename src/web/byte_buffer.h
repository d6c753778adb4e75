#pragma once
// A growable byte buffer for collecting an answer: it starts at 10 bytes and doubles.

#include <cstddef>
#include <memory>
#include <string>

class ByteBuffer {
  public:
    static constexpr std::size_t kStartCapacity = 10;

    ByteBuffer();

    // Doubles first when the data already fills the buffer.
    void Push(char byte);
    // Doubles until the data and `count` more bytes leave room behind them.
    void Append(const char* data, std::size_t count);
    // Places a zero byte behind the data; later writes overwrite it.
    void Terminate();

    const char* Data() const { return m_start.get(); }
    std::size_t Length() const { return m_end; }
    std::size_t Capacity() const { return m_capacity; }
    std::string Bytes() const { return std::string(m_start.get(), m_end); }

  private:
    void Double();

    std::unique_ptr<char[]> m_start;
    std::size_t m_end = 0;  // the next byte to write
    std::size_t m_capacity = kStartCapacity;
};
