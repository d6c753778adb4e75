#include "durable_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "private_files.h"

namespace stowbox::service {

bool is_partial_file_name(std::string_view name) {
    return name.starts_with(kPartialFilePrefix);
}

DurableFile::DurableFile(std::string folder)
    : folder_(std::move(folder)),
      path_(folder_ + "/" + std::string(kPartialFilePrefix) + "XXXXXX") {
    fd_.reset(::mkostemp(path_.data(), O_CLOEXEC));
    if (!fd_) {
        path_.clear();
        return;
    }
    if (::fchmod(fd_.get(), kPrivateFileMode) != 0) {
        discard();
    }
}

void DurableFile::discard() {
    fd_.reset();
    if (!path_.empty()) {
        ::unlink(path_.c_str());
        path_.clear();
    }
}

bool DurableFile::write(const char* bytes, std::size_t size) {
    if (!fd_ || !write_all(fd_.get(), bytes, size)) {
        return false;
    }
    written_ += static_cast<off_t>(size);
    if (written_ - started_ >= kWritebackStep) {
        // Only a hint, so its failure changes nothing: commit's fsync is what makes the file
        // safe, and it then waits for the last part alone.
        ::sync_file_range(fd_.get(), started_, written_ - started_, SYNC_FILE_RANGE_WRITE);
        started_ = written_;
    }
    return true;
}

bool DurableFile::take_owner_and_mode(const struct stat& model) {
    struct stat own {};
    if (!fd_ || ::fstat(fd_.get(), &own) != 0) {
        return false;
    }
    // Only an owner that differs is set: changing it may take privileges the caller lacks.
    if ((own.st_uid != model.st_uid || own.st_gid != model.st_gid) &&
        ::fchown(fd_.get(), model.st_uid, model.st_gid) != 0) {
        return false;
    }
    return ::fchmod(fd_.get(), model.st_mode & 07777) == 0;
}

bool DurableFile::commit(const std::string& final_path) {
    if (!fd_ || ::fsync(fd_.get()) != 0) {
        return false;
    }
    fd_.reset();
    if (std::rename(path_.c_str(), final_path.c_str()) != 0) {
        return false;
    }
    path_.clear();
    // The rename itself lives in the folder, and is only durable once the folder is. If
    // that fails the file is in place but not known to be safe, so it is not called stored.
    const UniqueFd folder(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder && ::fsync(folder.get()) == 0;
}

}  // namespace stowbox::service
