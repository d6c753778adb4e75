#include "web/http_answer.h"

bool HttpAnswerReader::Take(const char* data, std::size_t count) {
    if (m_tooLong) {
        return false;
    }
    if (count > kMaxAnswerBytes - (m_head.Length() + m_body.Length())) {
        m_tooLong = true;
        return false;
    }
    std::size_t at = 0;
    while (!m_headEnded && at < count) {
        m_head.Push(data[at]);
        m_headEnded = m_scanner.Push(data[at]);
        ++at;
    }
    if (at < count) {
        m_body.Append(data + at, count - at);
    }
    m_head.Terminate();
    m_body.Terminate();
    return true;
}
