#pragma once

#include <cstddef>
#include <filesystem>

namespace stowbox::service {

// Partial files (see DurableFile) outlive a service stopped in the middle of an upload:
// nothing lists or finishes them, yet they keep their folder from being removed.

// Removes every partial file anywhere below `folder`; to be called before any session
// runs. Returns how many went.
std::size_t remove_stale_uploads(const std::filesystem::path& folder);

// When `folder` holds nothing but partial files, removes them and returns true, so that
// the folder, empty as far as any listing shows, can be removed.
bool clear_only_partial_files(const std::filesystem::path& folder);

}  // namespace stowbox::service
