#include "platform/fs/staged_file.h"

#include <cstdint>
#include <random>
#include <string>
#include <system_error>

#include "platform/fs/host_path.h"

namespace platform::fs {
namespace {

namespace stdfs = std::filesystem;

// Host file names are limited to 255 bytes; the temporary name adds its marks to a prefix
// of the target's name.
constexpr std::size_t kMaxNamePrefix = 200;
constexpr std::string_view kTemporaryMark = ".part-";
constexpr std::size_t kSuffixDigits = 16;

template <class Char>
bool HasTemporaryForm(std::basic_string_view<Char> name) {
    const std::size_t tail = kTemporaryMark.size() + kSuffixDigits;
    if (name.size() < 2 + tail || name.front() != Char('.')) {
        return false;
    }
    const std::size_t mark = name.size() - tail;
    for (std::size_t i = 0; i < kTemporaryMark.size(); ++i) {
        if (name[mark + i] != Char(kTemporaryMark[i])) {
            return false;
        }
    }
    for (std::size_t i = mark + kTemporaryMark.size(); i < name.size(); ++i) {
        const Char ch = name[i];
        if (!((ch >= Char('0') && ch <= Char('9')) || (ch >= Char('a') && ch <= Char('f')))) {
            return false;
        }
    }
    return true;
}

std::string RandomSuffix() {
    std::random_device device;
    const std::uint64_t value = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix(kSuffixDigits, '0');
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        suffix[i] = kDigits[(value >> (4 * i)) & 0xF];
    }
    return suffix;
}

stdfs::path TemporaryBeside(const stdfs::path& target) {
    const std::string name = target.filename().string().substr(0, kMaxNamePrefix);
    return target.parent_path() / ("." + name + std::string(kTemporaryMark) + RandomSuffix());
}

// Removes the temporary files of a host folder (not of its subfolders).
void RemoveStaleTemporaries(const stdfs::path& folder) {
    std::error_code ec;
    for (stdfs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        // Only plain files: a link or folder of that name was not made by a staged file.
        if (HasTemporaryForm(std::string_view(name)) && it->is_regular_file(ignored) &&
            !it->is_symlink(ignored)) {
            stdfs::remove(it->path(), ignored);
        }
    }
}

}  // namespace

StagedFile::~StagedFile() {
    Discard();
}

bool StagedFile::Open(const FileSystem& fs, std::wstring_view devicePath) {
    Discard();
    if (!IsBareName(detail::LastElement(devicePath))) {
        return false;
    }
    const auto target = fs.HostPath(devicePath);
    std::error_code ec;
    if (!target || stdfs::is_directory(*target, ec)) {
        return false;
    }
    RemoveStaleTemporaries(target->parent_path());
    m_target = *target;
    m_temporary = TemporaryBeside(*target);
    if (!m_file.OpenHost(m_temporary, File::Mode::CreateAlways)) {
        Discard();
        return false;
    }
    return true;
}

bool StagedFile::Write(const void* data, std::size_t count) {
    return m_file.Write(data, count);
}

bool StagedFile::Commit() {
    if (m_temporary.empty()) {
        return false;
    }
    m_file.Close();
    std::error_code ec;
    stdfs::rename(m_temporary, m_target, ec);
    if (ec) {
        Discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void StagedFile::Discard() {
    m_file.Close();
    if (!m_temporary.empty()) {
        std::error_code ignored;
        stdfs::remove(m_temporary, ignored);
        m_temporary.clear();
    }
}

bool IsStagingFileName(std::wstring_view name) {
    return HasTemporaryForm(name);
}

}  // namespace platform::fs
