#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace stowbox::service {

// Joins `arg` to the virtual folder `cwd` ("/" is the account's top folder): runs of "/"
// collapse, "." is dropped, ".." goes up. Returns "/" or "/a/b", or nullopt when the path
// climbs above the top or holds a NUL, CR or LF byte.
std::optional<std::string> resolve_virtual(std::string_view cwd, std::string_view arg);

// The last part of a virtual path: "/a/b" gives "b".
std::string last_part(std::string_view vpath);

// Maps virtual paths to host paths inside one account's folder. Every call resolves
// symbolic links afresh and refuses what lands outside, so a link planted or swapped
// at any time cannot lead out.
class AccountFs {
  public:
    explicit AccountFs(std::string home) : home_(std::move(home)) {}

    // The host path `vpath` finally points to, with every link followed; nullopt when it
    // does not exist or lies outside the account.
    std::optional<std::string> target(std::string_view vpath) const;

    // The host path of the directory entry `vpath` names, its last part not followed (so
    // it may be missing or a link); nullopt unless its folder exists inside the account.
    std::optional<std::string> entry(std::string_view vpath) const;

    // `host_path` with links followed, when that exists inside the account.
    std::optional<std::string> contained(const std::string& host_path) const;

  private:
    std::string home_;
};

}  // namespace stowbox::service
