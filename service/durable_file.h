#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "unique_fd.h"

namespace stowbox::service {

// Files being received are written under this prefix in their final folder. Listings leave
// them out; one left behind by a service that was stopped mid-write is removed later.
inline constexpr std::string_view kPartialFilePrefix = ".stowbox-upload-";

bool is_partial_file_name(std::string_view name);

// A new file that takes the place of another only once complete and on disk: written under
// a hidden name beside its final one, private to the service, removed unless committed.
class DurableFile {
  public:
    // Creates the hidden file in `folder`; test the object to see whether that worked.
    explicit DurableFile(std::string folder);
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;
    ~DurableFile() { discard(); }

    explicit operator bool() const { return static_cast<bool>(fd_); }

    bool write(const char* bytes, std::size_t size);

    // Gives the file the owner, group and permission bits of `model`, so that a file
    // rewritten by an administrator stays the service's. False with errno set on failure.
    bool take_owner_and_mode(const struct stat& model);

    // Flushes the bytes to disk, renames the file to `final_path` (in the same folder) and
    // flushes the folder, so that once this returns true the file survives a power cut.
    bool commit(const std::string& final_path);

    // Removes the hidden file. Done before a failure is answered, so that a client that
    // hears of the failure finds the folder as it was.
    void discard();

  private:
    // The disk starts on what was written every this many bytes, while the rest still comes.
    static constexpr off_t kWritebackStep = 8 << 20;

    std::string folder_;
    std::string path_;
    UniqueFd fd_;
    off_t written_ = 0;  // bytes written so far
    off_t started_ = 0;  // bytes whose writeback was started
};

}  // namespace stowbox::service
