// The service's path resolution: a virtual path joined to a current folder, and mapped into
// an account's folder that holds links leading in and out. The input is the current folder,
// a line feed, and the argument.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "account_fs.h"

namespace {

namespace fs = std::filesystem;
using namespace stowbox::service;

struct Tree {
    Tree() {
        std::string pattern = fs::temp_directory_path() / "stowbox-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        root = pattern;
        fs::create_directories(root / "home" / "sub" / "deeper");
        fs::create_directories(root / "outside");
        fs::create_directory_symlink(root / "outside", root / "home" / "out");
        fs::create_directory_symlink(root / "home" / "sub", root / "home" / "inner");
        fs::create_symlink("../..", root / "home" / "sub" / "up");
        home = fs::canonical(root / "home").string();
    }
    ~Tree() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    bool Inside(std::string_view host_path) const {
        return host_path == home || (host_path.starts_with(home + "/"));
    }

    fs::path root;
    std::string home;
};

// "/" or "/a/b" with no empty, "." or ".." part.
bool Normal(const std::string& path) {
    if (path == "/") {
        return true;
    }
    if (!path.starts_with('/') || path.ends_with('/')) {
        return false;
    }
    for (std::size_t start = 1; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part = std::string_view(path).substr(start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Tree tree;
    static const AccountFs account(tree.home);
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\n');
    // The current folder is always a path resolved earlier.
    const auto cwd = resolve_virtual("/", input.substr(0, split));
    if (!cwd) {
        return 0;
    }
    const auto arg = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    const auto path = resolve_virtual(*cwd, arg);
    if (!path) {
        return 0;
    }
    if (!Normal(*path) || resolve_virtual("/", *path) != path ||
        path->find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos) {
        std::abort();
    }
    if (const auto target = account.target(*path); target && !tree.Inside(*target)) {
        std::abort();
    }
    if (const auto entry = account.entry(*path);
        entry && *entry != tree.home && !tree.Inside(fs::path(*entry).parent_path().string())) {
        std::abort();
    }
    return 0;
}
