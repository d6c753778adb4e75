#include <unistd.h>

#include <utility>

#include "platform/fs/file_system.h"
#include "platform/fs/posix_io.h"

namespace platform::fs {
namespace {

detail::OpenIntent IntentOf(File::Mode mode) {
    return mode == File::Mode::Read ? detail::OpenIntent::Read : detail::OpenIntent::Create;
}

}  // namespace

File::~File() {
    Close();
}

File::File(File&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool File::Open(const FileSystem& fs, std::wstring_view devicePath, Mode mode) {
    Close();
    const auto host = fs.HostPath(devicePath);
    if (!host) {
        return false;
    }
    // The resolved path has no links left; one appearing there now is refused.
    m_fd = detail::OpenRegular(*host, IntentOf(mode), true).Release();
    return IsOpen();
}

bool File::OpenHost(const std::filesystem::path& hostPath, Mode mode) {
    Close();
    m_fd = detail::OpenRegular(hostPath, IntentOf(mode), false).Release();
    return IsOpen();
}

long File::Read(void* buffer, std::size_t count) {
    if (!IsOpen()) {
        return -1;
    }
    return static_cast<long>(detail::ReadSome(m_fd, buffer, count));
}

bool File::Write(const void* data, std::size_t count) {
    return IsOpen() && detail::WriteAll(m_fd, data, count);
}

long long File::Seek(long long offset, Origin origin) {
    if (!IsOpen()) {
        return -1;
    }
    int whence = SEEK_SET;
    if (origin == Origin::Current) {
        whence = SEEK_CUR;
    } else if (origin == Origin::End) {
        whence = SEEK_END;
    }
    return ::lseek(m_fd, static_cast<off_t>(offset), whence);
}

void File::Close() {
    if (m_fd >= 0) {
        ::close(std::exchange(m_fd, -1));
    }
}

}  // namespace platform::fs
