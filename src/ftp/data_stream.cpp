#include "ftp/data_stream.h"

#include <algorithm>
#include <cstring>

#include "ftp/transfer_blocks.h"
#include "platform/net/socket.h"

namespace ftp {

DataReader::DataReader(platform::net::Socket& socket) : m_socket(socket), m_buffer(kDataBuffer) {}

int DataReader::Receive(char* out, std::size_t size) {
    if (m_begin == m_end) {
        if (m_streamEnd <= 0) {
            return m_streamEnd;
        }
        const int count = m_socket.Receive(m_buffer.data(), m_buffer.size());
        if (count <= 0) {
            m_streamEnd = count < 0 ? -1 : 0;
            return m_streamEnd;
        }
        m_begin = 0;
        m_end = static_cast<std::size_t>(count);
    }
    const std::size_t count = std::min(size, m_end - m_begin);
    std::memcpy(out, m_buffer.data() + m_begin, count);
    m_begin += count;
    return static_cast<int>(count);
}

DataWriter::DataWriter(platform::net::Socket& socket) : m_socket(socket) {
    m_buffer.reserve(kDataBuffer);
}

bool DataWriter::Send(const char* data, std::size_t size) {
    if (m_buffer.size() + size > kDataBuffer && !Flush()) {
        return false;
    }
    m_buffer.insert(m_buffer.end(), data, data + size);
    return !m_broken;
}

bool DataWriter::Flush() {
    std::size_t sent = 0;
    while (!m_broken && sent < m_buffer.size()) {
        const int count = m_socket.Send(m_buffer.data() + sent, m_buffer.size() - sent);
        if (count <= 0) {
            m_broken = true;
        } else {
            sent += static_cast<std::size_t>(count);
        }
    }
    m_buffer.clear();
    return !m_broken;
}

}  // namespace ftp
