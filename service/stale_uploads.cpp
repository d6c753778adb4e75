#include "stale_uploads.h"

#include <system_error>
#include <vector>

#include "durable_file.h"

namespace stowbox::service {

namespace {

// Only regular files: a link or folder of such a name was not made by an upload.
bool is_partial_file(const std::filesystem::directory_entry& entry) {
    std::error_code error;
    return is_partial_file_name(entry.path().filename().string()) &&
           entry.symlink_status(error).type() == std::filesystem::file_type::regular;
}

std::size_t remove_all_of(const std::vector<std::filesystem::path>& paths) {
    std::size_t removed = 0;
    for (const auto& path : paths) {
        std::error_code error;
        removed += std::filesystem::remove(path, error) ? 1 : 0;
    }
    return removed;
}

}  // namespace

std::size_t remove_stale_uploads(const std::filesystem::path& folder) {
    // Collected first: a folder is not changed while it is being read.
    std::vector<std::filesystem::path> stale;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator
             it(folder, std::filesystem::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
        if (is_partial_file(*it)) {
            stale.push_back(it->path());
        }
    }
    return remove_all_of(stale);
}

bool clear_only_partial_files(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> partial;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (!is_partial_file(*it)) {
            return false;
        }
        partial.push_back(it->path());
    }
    return !error && !partial.empty() && remove_all_of(partial) == partial.size();
}

}  // namespace stowbox::service
