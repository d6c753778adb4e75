#pragma once
// Collects one HTTP answer as it arrives: the head up to and including its empty line, then
// the body. Only a bounded answer is kept: the client asks for a short text, and a host that
// streams without end must not make the device's memory grow with it.

#include <cstddef>

#include "web/byte_buffer.h"
#include "web/http_text.h"

class HttpAnswerReader {
  public:
    // Head and body together.
    static constexpr std::size_t kMaxAnswerBytes = 64 * 1024;

    // Takes the next received bytes, split anywhere. False once the answer has grown past
    // kMaxAnswerBytes: it is then no answer, and nothing more is taken.
    bool Take(const char* data, std::size_t count);

    bool HeadEnded() const { return m_headEnded; }
    bool TooLong() const { return m_tooLong; }
    // Zero-terminated.
    ByteBuffer& Head() { return m_head; }
    ByteBuffer& Body() { return m_body; }

  private:
    ByteBuffer m_head;
    ByteBuffer m_body;
    HeadEndScanner m_scanner;
    bool m_headEnded = false;
    bool m_tooLong = false;
};
