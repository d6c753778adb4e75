#include "web/byte_buffer.h"

#include <cstring>
#include <limits>
#include <new>

ByteBuffer::ByteBuffer() : m_start(std::make_unique<char[]>(kStartCapacity)) {}

void ByteBuffer::Double() {
    if (m_capacity > std::numeric_limits<std::size_t>::max() / 2) {
        throw std::bad_alloc();
    }
    auto grown = std::make_unique<char[]>(m_capacity * 2);
    std::memcpy(grown.get(), m_start.get(), m_end);
    m_start = std::move(grown);
    m_capacity *= 2;
}

void ByteBuffer::Push(char byte) {
    if (m_end >= m_capacity) {
        Double();
    }
    m_start[m_end++] = byte;
}

void ByteBuffer::Append(const char* data, std::size_t count) {
    while (m_end + count >= m_capacity) {
        Double();
    }
    if (count > 0) {
        std::memcpy(m_start.get() + m_end, data, count);
        m_end += count;
    }
}

void ByteBuffer::Terminate() {
    if (m_end >= m_capacity) {
        Double();
    }
    m_start[m_end] = '\0';
}
