// Copying a device file. The copy is written to a temporary file beside the target and
// renamed into place, so a failed copy never leaves a half-written or emptied target.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fs/file_system.h"
#include "platform/fs/posix_io.h"

namespace platform::fs {
namespace {

constexpr std::size_t kCopyBlock = 64 * 1024;

// A temporary file that is removed unless it was renamed into place.
class TempFile {
  public:
    explicit TempFile(const std::filesystem::path& beside) {
        // A fixed short name: the target's own name may already be as long as names go.
        std::string pattern = (beside.parent_path() / ".copy-XXXXXX").string();
        m_fd = detail::UniqueFd(::mkostemp(pattern.data(), O_CLOEXEC));
        if (m_fd.Valid()) {
            m_path = pattern;
        }
    }
    ~TempFile() {
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int Fd() const { return m_fd.Get(); }
    const std::filesystem::path& Path() const { return m_path; }
    bool Close() { return ::close(m_fd.Release()) == 0; }
    void Keep() { m_path.clear(); }

  private:
    detail::UniqueFd m_fd;
    std::filesystem::path m_path;
};

bool CopyBytes(int from, int to) {
    std::vector<unsigned char> buffer(kCopyBlock);
    for (;;) {
        const ssize_t n = detail::ReadSome(from, buffer.data(), buffer.size());
        if (n <= 0) {
            return n == 0;
        }
        if (!detail::WriteAll(to, buffer.data(), static_cast<std::size_t>(n))) {
            return false;
        }
    }
}

}  // namespace

bool FileSystem::CopyFile(std::wstring_view from, std::wstring_view to, bool failIfExists) const {
    const auto source = HostPath(from);
    const auto target = HostPath(to);
    if (!source || !target || *target == m_root) {
        return false;
    }
    const auto input = detail::OpenRegular(*source, detail::OpenIntent::Read, true);
    struct stat in {};
    if (!input.Valid() || ::fstat(input.Get(), &in) != 0) {
        return false;
    }
    struct stat out {};
    if (::lstat(target->c_str(), &out) == 0) {
        // Copying a file onto itself would empty it; folders and pipes are never replaced,
        // and the device refuses to overwrite a read-only file.
        const bool sameFile = out.st_dev == in.st_dev && out.st_ino == in.st_ino;
        if (failIfExists || sameFile || !S_ISREG(out.st_mode) || (out.st_mode & S_IWUSR) == 0) {
            return false;
        }
    }

    TempFile temp(*target);
    if (temp.Path().empty() || !CopyBytes(input.Get(), temp.Fd()) ||
        ::fchmod(temp.Fd(), in.st_mode & 0777) != 0 || !temp.Close()) {
        return false;
    }
    const bool placed = failIfExists ? detail::RenameNoReplace(temp.Path(), *target)
                                     : ::rename(temp.Path().c_str(), target->c_str()) == 0;
    if (placed) {
        temp.Keep();
    }
    return placed;
}

}  // namespace platform::fs
